// The 3D presentation: start-up per mission, scene, effects, cameras.
#pragma once

struct SceneItem;

void P3DInitialise();
void P3DFreeScene();
void P3DSetObjectModel(SceneItem *item, void *model);
void SpawnShipDestruction(SceneItem *item);
void EventCameraTrigger(SceneItem *item, SceneItem *other, int event);
void DrawShadeTablePanel(const char *path);
// Renders the main world into a 3D view (-1: the current one) of the
// 3D-card driver's back buffer; nothing outside 3D-card mode.
void P3DRenderSceneToView(int view);
