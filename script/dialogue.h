// Dialogue with speech.
#pragma once

void dunUpdateDialogue();
