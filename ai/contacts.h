// The player's contact list.
#pragma once

void dunInitContacts();
