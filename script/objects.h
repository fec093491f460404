// Support routines of the object statements that other parts of the script
// system use.
#pragma once

#include "world/records.h"

// A camera object aimed at the target by its control routine: linked
// appended, with a Sim and the camera fields of its Avatar.
SceneItem *CreateScriptCamera(SceneItem *target, ControlRoutine control);
// A scene object with a Sim, the standard routines and a root part showing
// the model (which may be null), added to the scene.
SceneItem *CreateScriptObject(void *model, ControlRoutine control, SimulatorRoutine simulator);
// Script coordinates to world coordinates in place: absolute placement takes
// the world origin off, relative placement adds the reference object's
// position.
void ApplyPlacementMode(float *x, float *y, float *z);
// Moves a newly placed object off the ships it lies inside.
void PushClearOfShips(SceneItem *item);

// The reference object of relative placement (RELATIVE, PLAYER); never
// cleared. The last camera CAMERA made.
extern SceneItem *gPlacementReference;
extern SceneItem *gScriptLastCamera;
