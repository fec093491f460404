// Support routines of the object statements that other parts of the script
// system use.
#pragma once

#include "world/records.h"

// A camera object aimed at the target by its control routine: linked
// appended, with a Sim and the camera fields of its Avatar.
SceneItem *CreateScriptCamera(SceneItem *target, ControlRoutine control);
