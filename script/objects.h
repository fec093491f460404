// Support routines of the object statements that other parts of the script
// system use.
#pragma once

#include "world/records.h"

// A camera object aimed at the target by its control routine: linked
// appended, with a Sim and the camera fields of its Avatar.
SceneItem *CreateScriptCamera(SceneItem *target, ControlRoutine control);
// A new object from a model (which may be null) with a control routine and
// a simulator: linked in the ordinary part of the list, with its receiver,
// message handler, Sim, draw routines, mass 8500, root part and radii.
SceneItem *CreateScriptObject(void *model, ControlRoutine control, SimulatorRoutine simulator);
// Script coordinates to world coordinates in place: absolute placement takes
// off the world's origin offset, relative placement adds the reference
// object's position.
void ApplyPlacementMode(double *x, double *y, double *z);
// Keeps a newly placed object off the ships it would overlap.
void PushClearOfShips(SceneItem *item);
// The object relative placement is measured from (RELATIVE and PLAYER).
extern SceneItem *gPlacementReference;

// An object's place, the float position following the double one.
void SetScriptObjectPosition(SceneItem *item, double x, double y, double z);
// The camera CAMERA made last, and the planet PLANET made last.
extern SceneItem *gLastScriptCamera;
extern SceneItem *gCurrentPlanet;
// The wire globe MACROOB and ATTACH_LDS_FIELD share, one a mission.
struct HUD;
extern HUD *gScriptHud;
