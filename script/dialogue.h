// Dialogue with speech.
#pragma once

#include <cstdint>

void dunUpdateDialogue();

struct ScriptSymbol;
// Set when the dialogue the player is in has been ended.
extern uint8_t gDialogueOver;
// True while a line of the dialogue named by the symbol is queued.
bool dunIsDialogueQueuedFor(const ScriptSymbol *dialogue);
