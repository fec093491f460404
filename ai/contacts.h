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
// The cockpit's contact filter: 0, 1, 2 or 7, the class the list shows.
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
    float signal;            // log10 of the signature over the squared distance, at least 0
    float range;             // from the controlled object (the approximate length)
    float sortValue;         // the object's speed; the strength order's tie-break
};
extern Contact dunContacts[kMaxContacts];
// The selected contact (none: null), the one the HUD last saw selected, and
// the class the list shows (0 ships, 1 munitions, 2 debris, 7 navigation).
extern Contact *dunCurrentContact;
extern Contact *dunLastCurrentContact;
extern uint32_t dunTargetingMode;
// The listed contacts of the current class in display order, then nulls;
// how many, the rows of the seven-row window that are filled, the window's
// top and the current contact's position.
extern Contact *dunContactDisplay[kMaxContacts];
extern uint16_t dunContactsInMode, dunContactRowsVisible, dunContactTotal;
extern uint16_t dunContactClassCounts[8];
extern int16_t dunContactWindowTop, dunContactCurrentIndex;
// Which flag mask filters the ships (an index 0..5 of the mask table; any
// other value filters nothing), the sort (1 distance, 2 strength), the
// refresh interval in centiseconds and the clock of the next refresh; the
// refreshed-this-frame flag (255); the auto-select flag.
extern uint32_t dunContactFilterIndex;
extern uint16_t dunContactSortMode;
extern int32_t dunContactInterval;
extern uint32_t dunNextContactRefresh;
extern uint8_t dunContactsRefreshed;
extern uint8_t dunContactAutoSelect;
// Threats stored in the world's threat list (world/step.h) this refresh.
extern uint16_t dunThreatCount;
// The clock and frame when the selection last changed.
extern uint32_t dunSelectionStamps[2];
// Set (255) when a target is selected; the HUD's contact drawing animates
// the selection box and clears it.
extern uint8_t dunTargetSelected;
// The player's targets: the weapon target (the selected target) and the
// navigation target.
extern SceneItem *dunWeaponTarget;
extern SceneItem *dunNavigationTarget;
// The cockpit's seven contact rows: pointed at the entries of the window
// (null: the row is empty), and an entry's element link dropped when it
// becomes the current contact. Installed by the screens; null in tests.
struct ContactRowHooks {
    void (*point)(int row, Contact *entry);
    void (*dropLink)(Contact *entry);
};
extern const ContactRowHooks *dunContactRowHooks;

// The class of an object by its Avatar flags, -1 for none.
int dunContactClass(const SceneItem *item);
// The object's entry (the one holding it, else the first free one) of class
// k; null for the controlled object, an object that is no contact, or a
// full table.
Contact *dunAddContact(int k, SceneItem *object);
void dunUpdateContactSide(SceneItem *item);
void dunClearContactEntry(Contact *entry);
// Four threats are kept: a fifth replaces the first stored that is farther.
void dunAddThreat(SceneItem *object, float distance);
// The contact list's current entry's object (none: null), stepping it, the
// searches the cockpit's targeting keys make, and the filter's bookkeeping.
SceneItem *dunCurrentContactObject();
void dunPrevTarget();
void dunNextTarget();
// The next hostile contact becomes the player's target.
void dunNextHostileTarget();
// The nearest contact the controlled object's side may target (the faction
// it is not of counts); the nearest enemy ship or mine contact; the next
// enemy ship after the current contact (null when it is the only one).
SceneItem *dunNearestTargetBySide(SceneItem *item);
SceneItem *dunNearestEnemyContact();
SceneItem *dunNearestEnemyShipContact();
// The contact filter changed: the list shows that class from its top and
// takes the goal or target as its current entry.
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
