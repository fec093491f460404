// Dialogue with speech.
#pragma once

#include <cstdint>

void dunUpdateDialogue();

struct ScriptSymbol;
struct ResourceHandle;
struct SceneItem;
// Parses a dialogue text resource and queues it; its root node, or null.
void *dunStartDialogue(ResourceHandle *resource, void *target, ScriptSymbol *ownerSymbol, SceneItem *ownerObject);
// Set when the dialogue the player is in has been ended.
extern uint8_t gDialogueOver;
// True while a line of the dialogue named by the symbol is queued.
bool dunIsDialogueQueuedFor(const ScriptSymbol *dialogue);
