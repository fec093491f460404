// The 3D presentation: start-up per mission, scene, effects, cameras.
#pragma once

struct SceneItem;

void P3DInitialise();
void P3DFreeScene();
// The texture-map replacements: the named texture is drawn with the picture.
void LoadTextureReplacement(const char *texture, const char *file);
void FreeTextureReplacements();
// Content tool: renders the lens-flare icon set from a palette and a colour map.
void GenerateFlareIcons(void *output, const void *palette, const void *colourMap);
// Shuts the 3D system down; plays the pending exit film, which ends the program.
void P3DShutdown();
void P3DSetObjectModel(SceneItem *item, void *model);
void SpawnShipDestruction(SceneItem *item);
void EventCameraTrigger(SceneItem *item, SceneItem *other, int event);
void DrawShadeTablePanel(const char *path);
// Renders the main world into a 3D view (-1: the current one) of the
// 3D-card driver's back buffer; nothing outside 3D-card mode.
void P3DRenderSceneToView(int view);
