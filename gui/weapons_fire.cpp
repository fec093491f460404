// The weapons station's fire command (R_FIRE): the controlled object's
// current weapon fires at the weapon target, else at the nearest hostile
// contact the targeting finds; a refusal is heard and shown by the world's
// fire routine.
#include "gui/gui.h"
#include "world/flight.h"
#include "world/objlist.h"
#include "world/records.h"

void guiWepFire() {
    SceneItem *o = dunControlledObject;
    if (!o || !o->sim || !o->sim->currentWeapon) return;
    dunLockTarget(o);
}
