// Interim bodies of this subsystem's operations whose modules are not built
// yet. Each says so once in the log.
#include <cstring>

#include "ai/brain.h"
#include "ai/contacts.h"
#include "ai/weapons.h"
#include "core/pending.h"
#include "world/objlist.h"
#include "world/records.h"

// The AI states whose handlers are not built yet: each says so once and
// yields, so that a ship running one holds its stack as it is.
#include "ai/states.h"
#define PENDING_STATE(handler)                                                                                     \
    StateCommand *handler(StateCommand *c, SceneItem *, int16_t, float, int32_t *, uint32_t, uint32_t, uint32_t) { \
        PENDING_ONCE(#handler);                                                                                    \
        return dunai_Yield(c, 1);                                                                                  \
    }
// Pursuit, range, orbit, gates, routes and watch.
PENDING_STATE(dunai_LagrangeState)
PENDING_STATE(dunai_PointAtState)
PENDING_STATE(dunai_SimplePursuit)
PENDING_STATE(dunai_AchieveRange)
PENDING_STATE(dunai_AchieveFieldRangeState)
PENDING_STATE(dunai_CapsuleState)
PENDING_STATE(dunai_BusDriver)
PENDING_STATE(dunai_BusDriverNotStopping)
PENDING_STATE(dunai_Loiter)
PENDING_STATE(dunai_tst_HoldFormation)
PENDING_STATE(dunai_SeekOrbitalSpeed)
PENDING_STATE(dunai_Watch)
