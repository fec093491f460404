// The standard message handler.
#pragma once

struct SceneItem;

void dunHandleMessages(SceneItem *item);
