// Dialogue with speech.
#pragma once

struct SceneItem;

int dunIsDialoguePlaying(int reserved);
void dunRunStockDialogue(int reserved);
// Cancels the queued lines that name the object.
void dunCancelDialogueById(SceneItem *item);
void dunClearDialogue();
void dunResetDialogueQueue();
