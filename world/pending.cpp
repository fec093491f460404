// Interim bodies of this subsystem's operations whose modules are not built
// yet. Each says so once in the log.
#include "core/pending.h"
#include "world/collision.h"
#include "world/contact.h"
#include "world/damage.h"
#include "world/docking.h"
#include "world/flight.h"
#include "world/msghandler.h"
#include "world/objroutines.h"
#include "world/stations.h"
#include "world/records.h"
#include "world/wreck.h"

SceneItem *dunBreakNearest(SceneItem *, TDP *, int, float, float, float, float) {
    PENDING_ONCE("dunBreakNearest");
    return nullptr;
}
SceneItem *dunBreakNearestIntoSceneItems(SceneItem *, TDP *, int, float, float, float, float, uint8_t, uint8_t) {
    PENDING_ONCE("dunBreakNearestIntoSceneItems");
    return nullptr;
}
SceneItem *dunBreakIntoWreck(SceneItem *) {
    PENDING_ONCE("dunBreakIntoWreck");
    return nullptr;
}
