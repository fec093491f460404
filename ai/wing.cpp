// The player's wing and its commands.
#include "ai/wing.h"

#include <cstdio>
#include <cstring>

#include "ai/scores.h"
#include "ai/states.h"
#include "world/docking.h"
#include "world/mission_state.h"
#include "world/objlist.h"
#include "world/services.h"

// Code 7's confirmation and the "no target" refusal share text 15.
const WingCommandDef dunWingCommands[kWingCommands] = {
    {17, 0, 0, 0, 0}, {9, 0, 0, 0, 0},  {10, 0, 1, 1, 0}, {11, 1, 0, 1, 0}, {12, 1, 0, 1, 0},
    {13, 0, 0, 0, 0}, {14, 0, 0, 0, 0}, {15, 0, 0, 0, 0}, {18, 1, 0, 1, 0},
};

WingSlot dunWing[kWingSlots];
int16_t dunWingSelected = -1;
int32_t dunWingDisplayTimer;
char dunWingText[kWingTextBytes];

namespace {

constexpr const char *kOrderName = "FollowPlayer";
constexpr uint32_t kStartStates[kWingCommands] = {0, 44, 46, 28, 0, 63, 34, 63, 14};
constexpr uint32_t kStateEscort = 51, kStateCombatFollower = 43;
constexpr uint32_t kAggressive = 0x1400, kStance = 0x1C00, kFlee = 0x1000;
constexpr uint32_t kDockMaskIgnored = 0x40000000 | 0x800 | 0x4;
constexpr uint32_t kOrderParameter = 5;

ShipInfo *ShipOf(const SceneItem *o) { return o && o->sim ? o->sim->shipInfo : nullptr; }
bool InUse(const SceneItem *o) { return o && (o->flags & SceneFlag::InUse) && o->sim; }

const char *Text(int n) {
    const char *t = dunCall(dunGui().cockpitText, n);
    return t ? t : "";
}

bool Refuse(int message) {
    if (message >= 0) std::snprintf(dunWingText, sizeof dunWingText, "%s", Text(message));
    return false;
}

bool Docking(const ShipInfo *info) {
    const int k = info->currentOrder;
    if (k < 0 || k >= kOrderSlots) return false;
    const uint32_t s = info->orders[k].startState;
    return s == 14 || s == 15 || s == 16;
}

bool SameSystem(const SceneItem *a, const SceneItem *b) { return a && b && a->systemNumber == b->systemNumber; }

void Command(SceneItem *commander, WingSlot &slot, int code) {
    const int16_t k = dunai_GiveWingOrder(commander, slot.object, code);
    if (k > 0) {
        slot.lastCommand = uint16_t(code);
        slot.commandTime = uint32_t(gMissionClock);
    }
}

}  // namespace

void dunai_ComposeWingText(char *out, size_t size, const char *text, const char *first, const char *second) {
    if (!out || size == 0) return;
    std::string s;
    int used = 0;
    for (const char *p = text ? text : ""; *p; ++p) {
        if (p[0] == '%' && p[1] == 's' && used < 2) {
            s += (used++ == 0 ? first : second) ?: "";
            ++p;
        } else {
            s += *p;
        }
    }
    std::snprintf(out, size, "%s", s.c_str());
}

void dunai_ResetWing() {
    std::memset(dunWing, 0, sizeof dunWing);
    dunWingSelected = -1;
    dunWingDisplayTimer = 0;
    dunWingText[0] = 0;
}

void dunai_PruneWing() {
    for (WingSlot &w : dunWing)
        if (w.object && (!(w.object->flags & SceneFlag::InUse) || !w.object->sim)) w.object = nullptr;
}

bool dunai_AddWingman(SceneItem *ship) {
    if (dunSuspendSwitch || !ship) return false;
    dunai_PruneWing();
    int free = -1;
    for (int i = kWingSlots - 1; i >= 0; --i) {
        if (dunWing[i].object == ship) return false;
        if (!dunWing[i].object) free = i;
    }
    if (free < 0) return false;
    dunWing[free] = WingSlot{ship, 0, 0, 0};
    return true;
}

bool dunai_WingCommandIs(int command) { return dunWing[0].object && dunWing[0].lastCommand == command; }

bool dunai_CanGiveWingCommand(SceneItem *commander, SceneItem *wingman, int code, bool readOut) {
    (void)commander;
    if (code < 0 || code >= kWingCommands) return Refuse(-1);
    const WingCommandDef &row = dunWingCommands[code];
    SceneItem *controlled = dunControlledObject;
    SceneItem *G = controlled && controlled->sim ? controlled->sim->goal : nullptr;
    SceneItem *T = controlled && controlled->sim ? controlled->sim->target : nullptr;
    SceneItem *O = G, *named = T;
    if (readOut && wingman && wingman->sim) {
        if (code == WingCode::Defend)
            O = wingman->avatar ? wingman->avatar->subject : nullptr;
        else if (row.usesTarget)
            O = T;
        else
            O = wingman->sim->goal;
        named = O ? O : T;
    }
    const ShipInfo *mine = ShipOf(wingman);
    if (!mine) return Refuse(-1);
    const bool aimed = code == 2 || code == 3 || code == 4 || code == 8;
    if (aimed && O == wingman) return Refuse(WingText::OwnSide);
    if (!SameSystem(wingman, controlled)) return Refuse(-1);
    const ShipInfo *theirs = ShipOf(O);
    if (code == WingCode::AttackMyTarget && theirs && theirs->side == mine->side) return Refuse(WingText::OwnSide);
    if (code == WingCode::Dock && theirs && O->avatar) {
        const uint32_t mask = dunai_SideTargetMask(commander) & ~kDockMaskIgnored;
        const uint32_t f = O->avatar->flags;
        const int type = theirs->typeCode;
        if ((f & mask) && !(f & AvatarFlag::Dead) && type != 4 && type != 1 && type != 11)
            return Refuse(WingText::OwnSide);
    }
    if (code == WingCode::Defend && O && O->avatar && wingman->avatar &&
        !(O->avatar->flags & wingman->avatar->flags & AvatarFlag::SideBits))
        return Refuse(WingText::NoCommonSide);
    const char *text = Text(row.message);
    if (!row.namesObject) {
        std::snprintf(dunWingText, sizeof dunWingText, "%s", text);
        return true;
    }
    SceneItem *object = nullptr;
    if (row.usesTarget) {
        if (!named) return Refuse(WingText::NoTarget);
        object = named;
    }
    if (row.usesGoal) {
        if (!O) return Refuse(WingText::NoGoal);
        object = O;
    }
    const ShipInfo *info = ShipOf(object);
    if (!info) return Refuse(WingText::NoTarget);
    const bool hidden = object->avatar && (object->avatar->flags16 & AvatarState::NoContact);
    const char *name = info->name ? info->name : info->className;
    dunai_ComposeWingText(dunWingText, sizeof dunWingText, text, "%s", hidden ? " " : (name ? name : " "));
    return true;
}

int16_t dunai_GiveWingOrder(SceneItem *commander, SceneItem *wingman, int code) {
    if (!wingman || wingman == dunControlledObject || code < 0 || code >= kWingCommands) return -1;
    ShipInfo *info = ShipOf(wingman);
    if (!info) return -1;
    if (code != WingCode::StandDown && dunGetDockedPartner(wingman)) dunUndock(wingman);
    if (!dunai_CanGiveWingCommand(commander, wingman, code, false)) return -1;
    Sim *s = wingman->sim;
    if (Docking(info)) dunReleaseDockingPorts(wingman, s->target);
    // A full brain refuses the command rather than losing its
    // self-preservation slot.
    const int16_t slot = dunai_FindOrAddOrderSlot(info, kOrderName);
    if (slot < 0) return -1;
    dunai_SetOrder(info, slot, 0, 0, 0, 100, dunai_EvalDefault, kOrderParameter, 0);
    info->orders[slot].priority = 100;
    SceneItem *controlled = dunControlledObject;
    SceneItem *G = controlled && controlled->sim ? controlled->sim->goal : nullptr;
    SceneItem *T = controlled && controlled->sim ? controlled->sim->target : nullptr;
    uint32_t state = kStartStates[code];
    switch (code) {
    case WingCode::Hold: return slot;
    case WingCode::FollowMe:
        if (ShipInfo *lead = ShipOf(commander)) {
            info->group = lead->group;
            lead->flags |= ShipFlag::GroupHolder;
            commander->sim->flags |= kAggressive;
        }
        info->leader = commander;
        break;
    case WingCode::AttackMyTarget:
        s->goal = s->target = G;
        s->flags |= kAggressive;
        break;
    case WingCode::Defend: wingman->avatar->subject = G; break;
    case WingCode::Escort:
        if (ShipInfo *t = ShipOf(T)) {
            state = kStateCombatFollower;
            info->group = t->group;
            info->leader = G;
            t->flags |= ShipFlag::GroupHolder;
            T->sim->flags |= kAggressive;
        } else {
            state = kStateEscort;
            s->target = G;
        }
        break;
    case WingCode::Engage:
        if (T) s->target = G;
        s->flags = (s->flags & ~kStance) | kFlee;
        break;
    case WingCode::StandDown: dunai_SetOrder(info, slot, 0, 0, 0, 0, dunai_EvalDefault, 0, 0); break;
    case WingCode::Dock:
        if (T) s->target = G;
        break;
    default: break;
    }
    dunai_SetOrderState(info, slot, state, 0, 0, 0);
    dunai_StartOrder(wingman, slot);
    return slot;
}

void dunai_CommandWing(SceneItem *commander, int code) {
    if (dunSuspendSwitch) return;
    dunai_PruneWing();
    const int selected = dunWingSelected;
    if (selected == -1) {
        for (WingSlot &w : dunWing) {
            if (!w.object || !SameSystem(w.object, dunControlledObject)) continue;
            if (code == WingCode::Dock && w.lastCommand == WingCode::Dock) continue;
            Command(commander, w, code);
        }
    } else if (selected >= 0 && selected < kWingSlots && dunWing[selected].object) {
        WingSlot &w = dunWing[selected];
        if (SameSystem(w.object, dunControlledObject) && !(code == WingCode::Dock && w.lastCommand == WingCode::Dock))
            Command(commander, w, code);
    }
    dunWingSelected = -1;
    dunWingDisplayTimer = kWingDisplayTicks;
}

const char *dunai_ListWing() {
    static std::string list;
    const char *heading = dunCall(dunGui().cockpitText, WingText::Heading);
    if (!heading) return nullptr;
    list = heading;
    list += "\n";
    for (int i = 0; i < kWingSlots; ++i) {
        const SceneItem *o = dunWing[i].object;
        if (!o) continue;
        const ShipInfo *info = ShipOf(o);
        char line[96];
        std::snprintf(line, sizeof line, "%i - %s\n", i + 1, info && info->name ? info->name : "");
        list += line;
    }
    return list.c_str();
}

void dunai_ListWingCommands(SceneItem *commander, std::string &out) {
    for (const WingSlot &w : dunWing) {
        if (!w.object || w.object == dunControlledObject || !SameSystem(w.object, dunControlledObject)) continue;
        dunai_CanGiveWingCommand(commander, w.object, w.lastCommand, true);
        out += dunWingText;
        out += "\n";
    }
}
