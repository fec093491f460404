// The speed laws of the point steering: how fast a ship closes a distance.
// 0.8 a d is the square of the speed from which braking at 40 % of the main
// acceleration stops the ship in d.
#include <algorithm>
#include <cmath>

#include "ai/steering.h"

namespace {

float Closing(const FlightParams *profile, float distance, float share) {
    const FlightParams &f = dunai_Figures(profile);
    const float v = std::sqrt(std::max(0.0f, share * f.p1 * distance));
    return std::min(v, f.p8x100);
}

float Standoff(const SceneItem *ship) { return ship && ship->avatar ? float(ship->avatar->standoff) : 0.0f; }

}  // namespace

float dunai_DefaultSpeedLimit(SceneItem *, const FlightParams *profile, float distance) {
    return Closing(profile, distance, 0.8f);
}

float dunai_StoppingSpeedLimit(SceneItem *, const FlightParams *profile, float distance) {
    return Closing(profile, distance, 0.4f);
}

float dunai_ApproachSpeedLimit(SceneItem *ship, const FlightParams *profile, float distance) {
    return dunai_DefaultSpeedLimit(ship, profile, distance);
}

float dunai_MinimumSpeedLimit(SceneItem *ship, const FlightParams *profile, float distance) {
    return std::max(dunai_DefaultSpeedLimit(ship, profile, distance), 500.0f);
}

float dunai_CruiseSpeedLimit(SceneItem *, const FlightParams *, float) { return 35000.0f; }

float dunai_StandoffSpeedLimit(SceneItem *ship, const FlightParams *profile, float distance) {
    const float r = distance - Standoff(ship);
    if (r > 0.0f) return Closing(profile, r, 0.8f);
    return -Closing(profile, -r, 0.8f);
}

float dunai_HoldBandSpeedLimit(SceneItem *ship, const FlightParams *profile, float distance) {
    const float k = Standoff(ship);
    if (distance > k) return dunai_DefaultSpeedLimit(ship, profile, distance - k);
    if (distance > k / 2.0f) return 0.0f;
    return -dunai_Figures(profile).p8x100;
}
