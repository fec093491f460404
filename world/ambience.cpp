// The ambient chatter and the cockpit's view flags.
#include "RES/util.h"
#include "RES/vecmath.h"
#include "core/frame.h"
#include "platform/sound.h"
#include "world/docking.h"
#include "world/flight.h"
#include "world/messages.h"
#include "world/msghandler.h"
#include "world/objlist.h"
#include "world/objroutines.h"
#include "world/records.h"
#include "world/services.h"
#include "world/simplace.h"

uint8_t dunAmbienceEnabled = 0xFF;
int32_t dunAmbienceCountdown = 0;
int32_t dunAmbientEventVolume = -2100;

namespace {

constexpr int32_t kWepStation = 3;

}  // namespace

void dunRandomAmbientEvent() {
    if (!dunAmbienceEnabled) return;
    if (dunAmbienceCountdown > 0) {
        dunAmbienceCountdown -= dunFrameStep;
        if (dunAmbienceCountdown < 0) dunAmbienceCountdown = 0;
        return;
    }
    const int slot = 47 + dunRand15() % 15;
    const int32_t base = SoundSlots[slot].baseFrequency;
    const int32_t frequency = int32_t((1.05 - (dunRand15() % 100) * 0.001) * base);
    SoundPlay(slot, dunAmbientEventVolume, frequency, 0, 0);
    dunAmbienceCountdown = 100 + dunRand15() % 600;
    if (dunRand15() % 2 == 0) {
        dunAmbientEventVolume = -2100 - dunRand15() % 800;
    } else {
        // The next chatter waits for this one to end.
        const int32_t rate = SoundSlots[slot].baseFrequency;
        dunAmbienceCountdown = rate != 0 ? int32_t(int64_t(SoundSlots[slot].size) * 100 / rate) : 100;
    }
}

void dunUpdateViewFlag() {
    const SceneItem *c = dunControlledObject;
    const Weapon *w = c && c->sim ? c->sim->currentWeapon : nullptr;
    const bool on = dunCall(dunGui().currentStation) == kWepStation && w && (w->flags & WeaponFlag::AutoTracking);
    dunCall(dunGui().setWeaponView, on ? 1 : 0);
}

void dunCycleViewMode() { dunCall(dunGui().cycleViewMode); }

void dunResetObjectRoutines() {
    dunClearTargetList();
    dunWaypointTotal = -1;
    dunFixedAsteroids = 0;
    dunAmbienceCountdown = 0;
}
