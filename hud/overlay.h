// The cockpit status overlay's own state and the pieces of it that compute
// what it shows (hudDrawCockpitOverlay itself is declared in hud/hud.h).
#pragma once

#include <cstddef>
#include <cstdint>

struct SceneItem;
struct Sim;

// The missiles the player launched, listed by the missile routines this
// frame; the overlay shows the first five and empties the list.
constexpr int kHudMissileSlots = 12;
constexpr int kHudMissileShown = 5;
struct HudListedMissile {
    SceneItem *missile;
    SceneItem *goal;
    float range;  // world units to the goal when listed
};
extern HudListedMissile hudMissiles[kHudMissileSlots];
extern int32_t hudMissileCount;

// The throttle gauge's drag box (left, top, right, bottom), the y the drag
// is measured from and the speed per pixel; the drag flag is HudThrottleDrag.
extern int16_t hudThrottleBox[4];
extern float hudThrottleOrigin, hudThrottleScale;
// The key prompt's scroll offset in pixels.
extern int32_t hudPromptOffset;

// "%02i" of 100 / the frame step; 100 for a step of 0.
void hudFrameStepText(char *out, size_t size, int32_t step);
// "R: %.1f" in units of 100000, or "R: %.1fKK" in thousands of them from 1000 up.
void hudMissileRangeText(char *out, size_t size, float range);
// The emergency line shows in the second half of every mission second.
bool hudEmergencyBlinkOn(int32_t missionTime);
// The time left to the target time, never below 0, as minutes and seconds.
void hudTimeLeftText(char *out, size_t size, int32_t targetTime, int32_t missionTime);
// The FTL signal strength in percent at a distance.
float hudFtlStrength(double distance);
// The marquee's offset before and after a frame's drawing.
int32_t hudMarqueeBefore(int32_t offset, int32_t width);
int32_t hudMarqueeAfter(int32_t offset, int32_t width, int32_t step);
// The thrust scale's speed per pixel and a speed's marker height (clamped
// to +-50 pixels); a top speed of 0 gives 0.
float hudThrustScale(float topSpeed);
int hudThrustMarker(float speed, float topSpeed);
// The LDS scale's marker height of a speed (20 pixels a decade from 10^5);
// 0 for a stopped drive.
int hudLdsMarker(float speed);
// One frame of the throttle drag: the flag clears with the button up and
// sets with it pressed inside the drag box; while set, the mouse's height
// sets the demanded speed, within the navigation station's range.
void hudThrottleDragStep(Sim *ship, int32_t mouseX, int32_t mouseY, bool buttonDown);
// The read-out's name of an object: "NONE", the ship name, the registered
// name, or "UNNAMED".
const char *hudReadoutName(const SceneItem *object);
