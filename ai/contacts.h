// The contact list: the objects each side knows of, and the nearest threats.
#pragma once

struct SceneItem;
// Forgetting an object: every ship's navigation target (and every weapon's
// target and every ship's goal) that points at it is cleared.
void dunForgetTargetEverywhere(SceneItem *item);
void dunForgetGoalEverywhere(SceneItem *item);
// The contact list's clock starts again (a new star system).
void dunResetContactClock();

#include <cstdint>

struct SceneItem;

void dunRemoveContact(SceneItem *item);
void dunRefreshContacts();

// Clears the 100-entry contact table.
void dunInitContacts();
// True when the object is in the contact table.
bool dunIsContact(const SceneItem *item);
// Ships of a side, not counting those with Avatar flag 8 nor the player's.
int dunCountShipsOfSide(int side);
// The contact filter: 0, 1, 2 or 7.
extern int32_t dunContactFilter;
// The game clock when the contact list last changed.
extern uint32_t dunContactListChanged;

// ---- The contact table --------------------------------------------------------------------

constexpr int kMaxContacts = 100;

namespace ContactFlag {
constexpr uint16_t InUse = 0x1;
constexpr uint16_t Listed = 0x4;     // shown in the current class's list
constexpr uint16_t Trail = 0x8;      // a HUD trail follows it
}  // namespace ContactFlag

// One contact of the controlled ship's sensors.
struct Contact {
    void *hudLink;           // the HUD element that shows the entry
    int16_t displayIndex;    // row in the sorted list
    int16_t sideTimer;       // centiseconds; 150 when the identified side changes (the HUD flashes it)
    SceneItem *object;
    uint16_t flags;          // ContactFlag
    uint16_t kind;           // class: 0 ships, 1 munitions, 2 debris, 4 gravity bodies, 7 navigation bodies
    uint32_t side;           // identified side bits; 1024 while not identified
    float signal;
    float range;             // from the controlled object
    float sortValue;
};
extern Contact dunContacts[kMaxContacts];
// The selected contact (none: null) and the class the list shows.
extern Contact *dunCurrentContact;
extern uint32_t dunTargetingMode;
// Set when a target is selected; the HUD's contact drawing animates the
// selection box and clears it.
extern uint8_t dunTargetSelected;
// The player's targets: the weapon target and the navigation target.
extern SceneItem *dunWeaponTarget;
extern SceneItem *dunNavigationTarget;
// The contact list's current entry's object (none: null), stepping it, the
// searches the cockpit's targeting keys make, and the filter's bookkeeping.
SceneItem *dunCurrentContactObject();
void dunPrevTarget();
void dunNextTarget();
// The next hostile contact becomes the player's target.
void dunNextHostileTarget();
SceneItem *dunNearestTargetBySide(SceneItem *item);
SceneItem *dunNearestEnemyContact();
SceneItem *dunNearestEnemyShipContact();
// The contact filter changed: the list scrolls back to its top and has no
// current entry.
void dunContactFilterChanged();
// Unlimited detection range (a debug switch).
extern uint8_t dunDetectInfinite;
// The engineering shares back to their defaults (the cockpit's centre key).
void dunResetPowerShares();
// Moves an amount of power to the share x from the larger of y and z.
void dunShiftPowerShare(float amount, float *x, float *y, float *z);
// Places the object in slot n of a formation behind the leader (five
// columns a row, spacing apart).
void dunFormationPosition(SceneItem *item, SceneItem *leader, float spacing, int slot);
