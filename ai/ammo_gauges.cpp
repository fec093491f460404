// The cockpit's named ammunition gauges: the gauges bound to one weapon
// share its rounds, each showing its part as the weapon fires.
#include <algorithm>
#include <cstring>

#include "ai/scores.h"
#include "ai/weapons.h"
#include "world/records.h"

namespace {

AmmoGauge gGauges[kAmmoGauges];
int gGaugeCount;
AmmoGauge *gFirst;

int32_t TotalRounds(const Weapon *w) { return int32_t(w->rounds[2]) * w->rounds[1] + w->rounds[0]; }

}  // namespace

AmmoGauge *dunAddAmmoGauge(const char *name) {
    if (gGaugeCount >= kAmmoGauges || !name) return nullptr;
    AmmoGauge *g = &gGauges[gGaugeCount++];
    *g = AmmoGauge{};
    g->name = name;
    AmmoGauge **end = &gFirst;
    while (*end) end = &(*end)->next;
    *end = g;
    return g;
}

void dunClearAmmoGauges() {
    gGaugeCount = 0;
    gFirst = nullptr;
}

AmmoGauge *dunAmmoGaugeList() { return gFirst; }

void dunBindAmmoGauge(const char *name, Weapon *weapon, int32_t parameter, ScriptSymbol *extra) {
    if (!name || !weapon) return;
    AmmoGauge *last = nullptr;
    for (AmmoGauge *g = gFirst; g; g = g->next) {
        if (std::strcmp(g->name, name) != 0) continue;
        g->weapon = weapon;
        g->parameter = uint32_t(parameter);
        last = g;
    }
    if (last) last->extra = extra;
    int n = 0;
    for (AmmoGauge *g = gFirst; g; g = g->next) n += g->weapon == weapon;
    if (n == 0) return;
    int32_t rounds = std::max(1, TotalRounds(weapon));
    for (AmmoGauge *g = gFirst; g && n > 0; g = g->next) {
        if (g->weapon != weapon) continue;
        const int32_t share = rounds / n;
        rounds -= share;
        g->share = g->value = share;
        g->offset = rounds;
        --n;
    }
}

void dunUpdateAmmoGauges() {
    for (AmmoGauge *g = gFirst; g; g = g->next)
        if (g->weapon) g->value = std::clamp(TotalRounds(g->weapon) - g->offset, 0, std::max(0, g->share));
}
