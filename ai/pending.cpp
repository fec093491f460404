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
// Escort, followers, guards and turret defence.
PENDING_STATE(dunai_UmovingGuardState)
PENDING_STATE(dunai_DefNetGuardState)
PENDING_STATE(dunai_DefendMothership)
PENDING_STATE(dunai_LDADeffTwo)
PENDING_STATE(dunai_RotationalDeff)
PENDING_STATE(dunai_DeflectorState)
PENDING_STATE(dunai_CombatFollower)
PENDING_STATE(dunai_FollowPlayerState)
