// The head-up display: the flat list of HUD elements drawn over the 3D view,
// its opening and closing, and the per-frame pass the 3D frame runs after
// the scene. The record itself is world/records.h's HUD.
#pragma once

#include <cstdint>

struct HUD;
struct SceneItem;

// Bearing in degrees of the components (a, b): 90 - atan(b / a) in degrees,
// or -atan(b / a) in degrees - 90 when a < 0.
double hudBearingDegrees(double a, double b);

// The range of the HUD's contact marks, in world units (400,000 at each
// mission start).
extern float gHudRange;
// Judges whether the selected sub-target lies within gHudRange.
void hudSubTargetStep();

// ---- The contact rows ------------------------------------------------------------------------

// The seven rows the contact list points at the entries of its window (null:
// the row is empty); installed as the list's row hooks at start-up.
struct Contact;
constexpr int kHudContactRows = 7;
struct HudContactRow {
    int16_t row;
    Contact *link;
};
extern HudContactRow hudContactRows[kHudContactRows];
void hudInstallContactRows();
// The rows in the flight view's lower left corner, the current contact framed.
void hudDrawContactRows();

// ---- The list ---------------------------------------------------------------------------------

constexpr int kMaxHudElements = 256;
// Listed records in registration order.
extern HUD *hudList[kMaxHudElements];
extern int16_t hudCount;
// The HUD is fully open and its elements are drawn.
extern uint8_t hudOpen;
// The opening and closing: direction 1 opening, -1 closing, 0 idle; the
// counter runs over 100 centiseconds.
constexpr int kHudAnimationLength = 100;
extern int16_t hudAnimDirection;
extern int16_t hudAnimCounter;
// The selected target the pass last saw, and the request to rebuild the
// elements for it (the controlled object's flight control may set it).
extern SceneItem *hudRememberedTarget;
extern uint8_t hudTargetChanged;

// Appends a record (fatal "Exceeded Max no. of HUDs" past 256); the first
// record of a mission starts the opening.
void hudRegister(HUD *hud);
// Takes the entry at an index out of the list (later ones move down) and
// gives the record back to its pool.
void hudUnregister(int index);
// 0 when the record is not listed.
int hudRemove(HUD *hud);
// Every record back to its pool, the list empty (world reset).
void hudClearList();
// The font resource the HUD's texts and the message line are drawn in
// ("BFont" unless the debug font key chose another; forgotten with the list).
struct ResourceHandle;
const ResourceHandle *hudMessageFont();
void hudSetMessageFont(const ResourceHandle *font);
// After a star-system change: the markers of objects gone or elsewhere.
void hudRemoveOffSystemMarkers();
void hudShowAll();
void hudHideAll();
// The open/close key.
void hudToggleOpen();
// One record with its draw routine, unless hidden or without what it needs.
void hudDrawOne(HUD *hud);
// One record in the current view window (the station spheres); nothing
// without a controlled object.
void hudDrawInView(HUD *hud);
// Moves the world-anchored records' points by a shift of the world's origin.
void hudShiftPositions(float dx, float dy, float dz);
// The player's place went from one ship to another: the listed records
// that followed the one follow the other.
void hudMoveRecord(SceneItem *from, SceneItem *to);
// The usual per-frame routine: the points follow the target's pose; a
// record whose target died leaves the list.
void hudPlaceOnTarget(HUD *hud);
// The per-frame pass, after the scene.
void hudDrawAll();

// The cockpit's status overlay, drawn last in the pass.
void hudDrawCockpitOverlay();

// ---- The cockpit's set --------------------------------------------------------------------

// Builds the cockpit's elements of a mission (the navigation station at
// mission start).
void hudCreateCockpitSet();
// The cockpit set's "ORB" spheres: navigation, weapons and engineering
// stations (viewing distances 6500, 5500, 8500); null before the set.
extern HUD *hudOrbSpheres[3];
// The cockpit set's elements that the HUD-mode command shows one at a time
// (mount markers, weapon arcs, sub-system boxes); null before the set.
extern HUD *hudModeElements[3];
// Shows the element of a HUD mode (1..3), or none of them (0).
void hudSetMode(int mode);
