// The contact list: what the controlled ship's sensors show, rebuilt from the
// scene twice a second, the sorted display of one class with its seven-row
// window, the four nearest threats, and selection and cycling.
#include "ai/contacts.h"

#include <cmath>

#include "ai/combat.h"
#include "core/frame.h"
#include "world/messages.h"
#include "world/msghandler.h"
#include "world/objlist.h"
#include "world/simplace.h"
#include "world/step.h"
#include "world/universe.h"

Contact dunContacts[kMaxContacts];
Contact *dunCurrentContact;
Contact *dunLastCurrentContact;
Contact *dunContactDisplay[kMaxContacts];
uint32_t dunTargetingMode;
int32_t dunContactFilter;
uint32_t dunContactFilterIndex;
uint16_t dunContactSortMode = 1;
int32_t dunContactInterval = 50;
uint32_t dunNextContactRefresh;
uint8_t dunContactsRefreshed;
uint16_t dunContactsInMode, dunContactRowsVisible, dunContactTotal;
uint16_t dunContactClassCounts[8];
int16_t dunContactWindowTop, dunContactCurrentIndex;
uint8_t dunContactAutoSelect;
uint16_t dunThreatCount;
uint32_t dunSelectionStamps[2];
uint8_t dunTargetSelected;
uint32_t dunContactListChanged;
SceneItem *dunWeaponTarget;
SceneItem *dunNavigationTarget;
uint8_t dunDetectInfinite;
const ContactRowHooks *dunContactRowHooks;

namespace {

constexpr uint32_t kFilterMasks[] = {0xffffffffu, 0x40, 0x80, 0x100, 0x600, 0};
constexpr int kFilterMaskCount = int(sizeof kFilterMasks / sizeof kFilterMasks[0]);
constexpr float kIdentifyFactor[7] = {0.15f, 0.5f, 0.15f, 0.1f, 0.1f, 0.5f, 0.5f};
// Side 6 has no weight of its own and counts as the lowest.
constexpr int kStrengthWeight[7] = {1, 2, 6, 5, 4, 3, 1};
constexpr float kSignalConstant = 1.429e12f;
constexpr float kNavigationBodyRange = 9e12f;
constexpr float kMinimumSensorRange = 1e7f;
constexpr float kLargeBodyRadius = 6.5e9f;
constexpr int kRows = 7;

bool ObjectInUse(const SceneItem *o) { return o && (o->flags & SceneFlag::InUse); }

int SideIndex(const SceneItem *o) {
    const int side = o->sim && o->sim->shipInfo ? o->sim->shipInfo->side : 0;
    return side < 0 ? 0 : side > 6 ? 6 : side;
}

float ApproxDistance(const SceneItem *from, const SceneItem *to) {
    const Vec3d &p = from->sim->position, &q = to->sim->position;
    return VecLengthApprox({float(q.x - p.x), float(q.y - p.y), float(q.z - p.z)});
}

uint32_t CurrentSystemFlags() {
    for (int i = 0; i < dunNamedStarCount; ++i)
        if (dunStars[i].system && dunStars[i].system == dunCurrentSystem) return dunStars[i].flags;
    return 0;
}

void Remove(SceneItem *o) { dunRemoveContact(o); }

void TakeStamps() {
    dunSelectionStamps[0] = dunGameClock;
    dunSelectionStamps[1] = dunFrameCounter;
    dunTargetSelected = 255;
}

void KeepInWindow(int index) {
    if (index < dunContactWindowTop) dunContactWindowTop = int16_t(index);
    if (index >= dunContactWindowTop + kRows) dunContactWindowTop = int16_t(index - (kRows - 1));
}

// The strength order's key: a ship's side weight, then its hull strength (a
// body: weight 1, then its radius), then its speed. A key is total, so the
// sort needs no division and cannot meet a NaN comparison.
struct StrengthKey {
    int weight;
    double strength, speed;
};

double Finite(double v) { return std::isnan(v) ? -INFINITY : v; }

StrengthKey KeyOf(const Contact *c) {
    const Sim *s = c->object->sim;
    if (s && s->shipInfo)
        return {kStrengthWeight[SideIndex(c->object)], double(s->shipInfo->hullStrength), Finite(c->sortValue)};
    return {1, Finite(s ? s->radius : 0.0f), Finite(c->sortValue)};
}

bool Before(const Contact *a, const Contact *b, bool byDistance) {
    if (byDistance) {
        const double da = Finite(a->range), db = Finite(b->range);
        return da != db ? da < db : a < b;
    }
    const StrengthKey ka = KeyOf(a), kb = KeyOf(b);
    if (ka.weight != kb.weight) return ka.weight > kb.weight;
    if (ka.strength != kb.strength) return ka.strength > kb.strength;
    if (ka.speed != kb.speed) return ka.speed > kb.speed;
    return a < b;
}

// An insertion sort of at most 100 pointers: in place, and stable.
void SortDisplay(int n) {
    const bool byDistance = dunTargetingMode == 7 || dunContactSortMode == 1;
    for (int i = 1; i < n; ++i) {
        Contact *c = dunContactDisplay[i];
        int j = i;
        for (; j > 0 && Before(c, dunContactDisplay[j - 1], byDistance); --j)
            dunContactDisplay[j] = dunContactDisplay[j - 1];
        dunContactDisplay[j] = c;
    }
}

void BuildDisplay() {
    int top = dunContactWindowTop;
    if (top > dunContactsInMode - kRows) top = dunContactsInMode - kRows;
    dunContactWindowTop = int16_t(top < 0 ? 0 : top);
    dunContactRowsVisible = 0;
    int n = 0;
    for (Contact &c : dunContacts) {
        c.flags &= ~ContactFlag::Listed;
        if (!(c.flags & ContactFlag::InUse) || c.kind != dunTargetingMode) continue;
        c.flags |= ContactFlag::Listed;
        dunContactDisplay[n++] = &c;
        if (dunContactRowsVisible < kRows) ++dunContactRowsVisible;
    }
    if (dunContactSortMode && n >= 2) SortDisplay(n);
    dunContactCurrentIndex = -1;
    for (int i = 0; i < n; ++i) {
        dunContactDisplay[i]->displayIndex = int16_t(i);
        if (dunContactDisplay[i] == dunCurrentContact) dunContactCurrentIndex = int16_t(i);
    }
    for (int i = n; i < kMaxContacts; ++i) dunContactDisplay[i] = nullptr;
    if (dunContactCurrentIndex >= 0) KeepInWindow(dunContactCurrentIndex);
    if (!dunCurrentContact && n > 0) {
        dunCurrentContact = dunContactDisplay[0];
        dunContactCurrentIndex = 0;
        dunContactWindowTop = 0;
    }
    if (dunContactRowHooks && dunContactRowHooks->point)
        for (int row = 0; row < kRows; ++row) {
            const int k = dunContactWindowTop + row;
            dunContactRowHooks->point(row, k < n ? dunContactDisplay[k] : nullptr);
        }
}

// The object is lost to the sensors: it is forgotten, unless the autopilot
// flies at it and may keep it.
bool Lost(SceneItem *o) {
    Sim *own = dunControlledObject->sim;
    if (own->target != o) {
        Remove(o);
        return true;
    }
    if (!(own->flags & SimFlag::Autopilot)) {
        own->target = own->goal = nullptr;
        Remove(o);
        return true;
    }
    if (!(o->flags & SceneFlag::Untraceable)) return false;
    own->target = own->goal = nullptr;
    Remove(o);
    own->flags &= ~SimFlag::Autopilot;
    dunSetShipTarget();
    own->autopilotTarget = nullptr;
    own->thrust = {0, 0, 0};
    return true;
}

void UpdateSide(Contact *e) {
    const uint32_t side = e->object->avatar->flags & AvatarFlag::SideMask;
    if (side != e->side) {
        e->side = side;
        e->sideTimer = 150;
    }
}

void UpdateObject(SceneItem *o, int k) {
    if (o == dunControlledObject) {
        Remove(o);
        return;
    }
    const float range = std::max(o->sim->radius * 1000.0f, kMinimumSensorRange);
    const float d = ApproxDistance(dunControlledObject, o);
    const float identify = range * (o->sim->shipInfo ? kIdentifyFactor[SideIndex(o)] : 0.5f);
    const uint32_t flags = o->avatar->flags;
    float signal = 0.0f;
    if (k != 7 && k != 4) {
        const uint32_t index = dunContactFilterIndex < uint32_t(kFilterMaskCount) ? dunContactFilterIndex : 0;
        if (!(flags & kFilterMasks[index])) {
            Remove(o);
            return;
        }
        const float ratio = d > 0.0f ? o->sim->signature * kSignalConstant / (d * d) : INFINITY;
        signal = std::log10(std::max(1.0f, std::isnan(ratio) ? 1.0f : std::min(ratio, 3.4e38f)));
        if (!dunDetectInfinite && d > range && signal == 0.0f && Lost(o)) return;
    }
    if (k == 7 && !dunDetectInfinite) {
        if (d > kNavigationBodyRange || (flags & 0x2000000)) return;
        if (!(CurrentSystemFlags() & 0x4) && !(flags & 0x2000000) && o->sim->radius >= kLargeBodyRadius) return;
    }
    ++dunContactClassCounts[k];
    Contact *e = dunAddContact(k, o);
    if (!e) return;
    if (e->kind == dunTargetingMode) ++dunContactsInMode;
    if (dunContactAutoSelect) {
        const Sim *own = dunControlledObject->sim;
        if (own->goal == o || (!dunCurrentContact && own->target == o)) dunCurrentContact = e;
    }
    if (d < identify || dunDetectInfinite) UpdateSide(e);
    e->range = d;
    e->sortValue = o->sim->speed;
    e->signal = signal;
    ++dunContactTotal;
    if ((flags & AvatarFlag::MunitionRound) && !(o->flags & SceneFlag::BeltTracked) &&
        o->sim->goal == dunControlledObject)
        dunAddThreat(o, d);
}

template <class F>
void EachObject(F &&visit) {
    SceneItem *head = dunSceneListHead();
    for (SceneItem *o = head->next; o && o != head; o = o->next) visit(o);
}

int DisplayPosition(const Contact *c) {
    if (!c) return -1;
    for (int i = 0; i < kMaxContacts && dunContactDisplay[i]; ++i)
        if (dunContactDisplay[i] == c) return i;
    return -1;
}

void MakeCurrent(int index) {
    dunCurrentContact = dunContactDisplay[index];
    dunContactCurrentIndex = int16_t(index);
    TakeStamps();
    KeepInWindow(index);
    dunNextContactRefresh = dunGameClock;
}

}  // namespace

int dunContactClass(const SceneItem *o) {
    const uint32_t f = o && o->avatar ? o->avatar->flags : 0;
    if (f & 0x4) return 0;
    if (f & 0x10) return 1;
    if (f & 0x8) return 0;
    if (f & 0x1) return 2;
    if (f & AvatarFlag::NavigationBody) return 7;
    if (f & AvatarFlag::LagrangeTurned) return 4;
    return -1;
}

void dunInitContacts() {
    for (Contact &c : dunContacts) c = Contact{};
    for (int i = 0; i < kRows; ++i) dunContactDisplay[i] = nullptr;
    dunTargetingMode = 0;
    dunContactSortMode = 1;
    dunContactInterval = 50;
    dunNextContactRefresh = dunGameClock;
    dunContactsRefreshed = 0;
    dunCurrentContact = dunLastCurrentContact = nullptr;
    dunContactWindowTop = dunContactCurrentIndex = 0;
    dunContactsInMode = dunContactTotal = dunThreatCount = 0;
    dunClearSubTarget();
}

void dunRefreshContacts() {
    for (Contact &c : dunContacts)
        if ((c.flags & ContactFlag::InUse) && c.sideTimer >= 0) c.sideTimer = int16_t(c.sideTimer - dunFrameStep);
    dunContactsRefreshed = 0;
    if (int32_t(dunGameClock - dunNextContactRefresh) < 0) return;
    dunNextContactRefresh = dunGameClock + uint32_t(dunContactInterval);
    dunContactsRefreshed = 255;
    for (ThreatEntry &t : dunNearestThreats) t = {nullptr, 1e8f};
    dunThreatCount = 0;
    dunContactTotal = dunContactsInMode = 0;
    if (dunCurrentContact && !ObjectInUse(dunCurrentContact->object)) dunCurrentContact = nullptr;
    for (uint16_t &n : dunContactClassCounts) n = 0;
    // Entries whose objects left the scene are dropped with them.
    for (Contact &c : dunContacts)
        if ((c.flags & ContactFlag::InUse) && !ObjectInUse(c.object)) dunClearContactEntry(&c);
    if (dunControlledObject && dunControlledObject->sim)
        EachObject([](SceneItem *o) {
            if (!o->avatar || !o->sim || !(o->flags & SceneFlag::InUse)) return;
            const int k = dunContactClass(o);
            if (k >= 0) UpdateObject(o, k);
        });
    BuildDisplay();
    if (dunCurrentContact != dunLastCurrentContact) {
        dunLastCurrentContact = dunCurrentContact;
        if (dunCurrentContact && dunContactRowHooks && dunContactRowHooks->dropLink)
            dunContactRowHooks->dropLink(dunCurrentContact);
        if (dunCurrentContact) dunCurrentContact->hudLink = nullptr;
    }
    dunContactAutoSelect = 0;
}

bool dunIsContact(const SceneItem *item) {
    if (!item) return false;
    for (const Contact &c : dunContacts)
        if ((c.flags & ContactFlag::InUse) && c.object == item) return true;
    return false;
}

Contact *dunAddContact(int k, SceneItem *object) {
    if (!object || object == dunControlledObject) return nullptr;
    if (object->avatar && (object->avatar->flags16 & AvatarState::NoContact)) return nullptr;
    Contact *free = nullptr, *held = nullptr;
    for (Contact &c : dunContacts) {
        if ((c.flags & ContactFlag::InUse) && c.object == object) {
            held = &c;
            break;
        }
        if (!free && !(c.flags & ContactFlag::InUse)) free = &c;
    }
    Contact *e = held ? held : free;
    if (!e) return nullptr;
    e->kind = uint16_t(k);
    if (e->object != object || !held) {
        e->sideTimer = 0;
        e->side = 1024;
        e->flags = ContactFlag::InUse;
        e->object = object;
        if (object->sim) object->sim->contactBack = e;
    }
    return e;
}

void dunRemoveContact(SceneItem *item) {
    if (!item) return;
    bool removed = false;
    for (Contact &c : dunContacts) {
        if (!(c.flags & ContactFlag::InUse) || c.object != item) continue;
        if (&c == dunCurrentContact) dunCurrentContact = nullptr;
        if (&c == dunLastCurrentContact) dunLastCurrentContact = nullptr;
        dunClearContactEntry(&c);
        removed = true;
    }
    if (removed && (item->flags & SceneFlag::SelfDeleting))
        dunMsgPost(item->receiverId, item->receiverId, 100, MsgRemove, 0, nullptr);
    dunNextContactRefresh = dunGameClock;
}

void dunUpdateContactSide(SceneItem *item) {
    if (item && item->sim && item->avatar)
        if (Contact *e = static_cast<Contact *>(item->sim->contactBack);
            e && (e->flags & ContactFlag::InUse) && e->object == item)
            UpdateSide(e);
}

void dunClearContactEntry(Contact *entry) {
    if (entry->object && entry->object->sim && entry->object->sim->contactBack == entry)
        entry->object->sim->contactBack = nullptr;
    entry->flags = 0;
    entry->object = nullptr;
}

void dunResetContactClock() { dunNextContactRefresh = dunGameClock; }

void dunAddThreat(SceneItem *object, float distance) {
    if (dunThreatCount < 4) {
        dunNearestThreats[dunThreatCount++] = {object, distance};
        return;
    }
    for (ThreatEntry &t : dunNearestThreats)
        if (t.distance > distance) {
            t = {object, distance};
            return;
        }
}

void dunSelectTarget(SceneItem *item) {
    if (item && item->avatar) {
        const uint32_t f = item->avatar->flags;
        uint32_t mode = dunTargetingMode;
        if (f & AvatarFlag::NavigationBody) mode = 7;
        if (f & (AvatarFlag::MunitionRound | AvatarFlag::BeamRound)) mode = 1;
        if (f & AvatarFlag::Ship) mode = 0;
        dunTargetingMode = mode;
        dunContactFilter = int32_t(mode);
    }
    dunNextContactRefresh = dunGameClock;
    dunRefreshContacts();
    for (int i = 0; i < kMaxContacts && dunContactDisplay[i]; ++i)
        if (dunContactDisplay[i]->object == item) {
            dunCurrentContact = dunContactDisplay[i];
            dunContactCurrentIndex = int16_t(i);
            TakeStamps();
            KeepInWindow(i);
            break;
        }
}

void dunNextTarget() {
    const int p = DisplayPosition(dunCurrentContact);
    if (p < 0 || dunContactsInMode == 0) return;
    const int next = p + 1 >= dunContactsInMode || !dunContactDisplay[p + 1] ? 0 : p + 1;
    MakeCurrent(next);
}

void dunPrevTarget() {
    const int p = DisplayPosition(dunCurrentContact);
    if (p < 0 || dunContactsInMode == 0) return;
    int prev = p - 1;
    if (prev < 0 || !dunContactDisplay[prev]) prev = dunContactsInMode - 1;
    while (prev > 0 && !dunContactDisplay[prev]) --prev;
    MakeCurrent(prev);
}

void dunNextHostileTarget() {
    SceneItem *own = dunControlledObject;
    if (!own || !own->avatar || !own->sim) return;
    const uint32_t mine = own->avatar->flags & AvatarFlag::SideMask;
    const Contact *start = dunCurrentContact;
    for (int i = 0; i < 101; ++i) {
        dunNextTarget();
        if (dunCurrentContact == start) break;
        const uint32_t side = dunCurrentContact ? dunCurrentContact->side & AvatarFlag::SideMask : mine;
        if (side != mine && !(side & AvatarFlag::Mine)) break;
    }
    SceneItem *selected = nullptr;
    if (dunCurrentContact && (dunCurrentContact->side & AvatarFlag::SideMask) != mine)
        selected = dunCurrentContact->object;
    dunWeaponTarget = selected;
    own->sim->goal = selected;
    dunNextContactRefresh = dunGameClock;
}

SceneItem *dunCurrentContactObject() { return dunCurrentContact ? dunCurrentContact->object : nullptr; }

void dunContactFilterChanged() {
    // The cockpit's filter steps through the classes the list shows.
    const int32_t f = dunContactFilter;
    dunTargetingMode = f == 1 || f == 2 || f == 7 ? uint32_t(f) : 0;
    dunCurrentContact = nullptr;
    dunContactWindowTop = 0;
    dunContactAutoSelect = 255;
    dunNextContactRefresh = dunGameClock;
}

void dunSelectWaypointTarget(SceneItem *item) {
    dunSelectTarget(item);
    dunNavigationTarget = item;
    if (dunControlledObject && dunControlledObject->sim) dunControlledObject->sim->target = item;
}
