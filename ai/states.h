// The AI behaviour states.
#pragma once

void dunai_InitStateRegistry();
