// The checkpoint readers and the chooser's list over arbitrary bytes: the
// same bytes as each of the four files of a slot; whatever they hold, the
// restore stays inside the objectives table, the weapons and the tallies,
// and a save over them rewrites them whole.
#include <cstdlib>
#include <cstring>

#include "ai/scores.h"
#include "fuzz_files.h"
#include "script/career.h"
#include "script/checkpoints.h"
#include "script/mission.h"
#include "script/objectives.h"
#include "world/objlist.h"
#include "world/records.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzzfiles::EnterDataRoot();
    for (const char *name : {"vek/slot_d0.sav", "vek/slot_o0.sav", "vek/slot_w0.sav", "vek/slot_k0.sav"})
        fuzzfiles::Write(name, data, size);
    // The player's ship with a beam (a level) and two launchers (counters).
    static SceneItem ship;
    static Sim sim;
    static Weapon weapons[3];
    ship = SceneItem{};
    sim = Sim{};
    for (Weapon &w : weapons) w = Weapon{};
    weapons[0].flags = WeaponFlag::AutoFire | WeaponFlag::Charge;
    weapons[0].next = &weapons[1];
    weapons[1].next = &weapons[2];
    sim.weapons = weapons;
    ship.sim = &sim;
    dunPlayerShip = &ship;
    gCareerState.word[StateWord::Slot] = 0;
    // The key most seeds carry, and one taken from the bytes.
    for (int32_t mission : {1, size ? int32_t(data[0] % 8) : 0}) {
        gCurrentMission = mission;
        gChosenCheckpoint = size > 1 ? data[1] % 4 : 1;
        dunLoadGame();
        dunLoadWeaponValues();
        int32_t ids[32];
        char titles[32][kSaveTitleBytes];
        const int n = dunListSaveGames(mission, 0, ids, titles, 32);
        if (n < 1 || n > 32 || ids[0] != -1) std::abort();
        for (int i = 0; i < n; ++i)
            if (!std::memchr(titles[i], 0, kSaveTitleBytes)) std::abort();
    }
    dunSaveGame("Fuzzed", 1);
    dunPlayerShip = nullptr;
    dunResetObjectives();
    dunWeaponTallies = WeaponTallies{};
    return 0;
}
