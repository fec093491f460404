// The HUD's element list and its helpers.
#pragma once

// Bearing in degrees of the components (a, b): 90 - atan(b / a) in degrees,
// or -atan(b / a) in degrees - 90 when a < 0.
double hudBearingDegrees(double a, double b);

// Empties the list of HUD elements (world reset).
void hudClearList();
// Moves the HUD's world points by a shift of the world's origin.
void hudShiftPositions(float dx, float dy, float dz);
// The range of the HUD's contact marks, in world units (400,000 at each
// mission start).
extern float gHudRange;

struct HUD;
// The per-frame HUD pass: the open and close animation, the cockpit overlay
// and every registered HUD.
void hudDrawAll();
// One HUD in the current view window (nothing without the player object).
void hudDrawInView(HUD *hud);
// Every HUD element shown, or hidden; the HUD's open switch.
void hudShowAll();
void hudHideAll();
void hudToggleOpen();
// The cockpit's HUD elements of a mission.
void hudCreateCockpitSet();
