// Interim bodies of this subsystem's operations whose modules are not built
// yet. Each says so once in the log.
#include "ai/contacts.h"
#include "ai/states.h"
#include "app/interim.h"

void dunai_InitStateRegistry() { PENDING_ONCE("dunai_InitStateRegistry"); }
void dunInitContacts() { PENDING_ONCE("dunInitContacts"); }
