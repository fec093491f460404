// Hard points: the firing-arc test of a mount code, the direction of a
// mount, and the frame a mount looks along.
#include <cmath>

#include "ai/weapons.h"
#include "present/views.h"
#include "world/objlist.h"

uint8_t dunIgnoreRange;

namespace {

constexpr int32_t kWeaponsStation = 3;

constexpr float kTan3 = 0.0524078f;
constexpr float kTan15 = 0.26794919f;
constexpr float kTan30 = 0.57735027f;
constexpr float kTan75 = 3.73205081f;
constexpr float kDiagonal = 0.70710678f;

// clang-format off
const Vec3 kDirections[9] = {{0, 0, 1},  {0, 0, 1},          {-0.7071f, 0, 0.7071f}, {-1, 0, 0},
                             {-0.7071f, 0, -0.7071f}, {0, 0, -1}, {0.7071f, 0, -0.7071f}, {1, 0, 0},
                             {0.7071f, 0, 0.7071f}};
// clang-format on
// The firing angle of each direction, degrees about Y.
const float kFireAngles[9] = {0, 0, 45, 85, 135, 180, 225, 275, 315};

// |a / b|; a point on the axis itself (0 / 0) lies inside every arc, and
// anything else over 0 outside all of them.
float Ratio(float a, float b) {
    if (b != 0.0f) return std::fabs(a / b);
    return a == 0.0f ? 0.0f : INFINITY;
}

// (x, z) turned into the hard point's frame, so that its direction is +z.
void IntoMountFrame(unsigned direction, float &x, float &z) {
    const float c = kDiagonal, x0 = x, z0 = z;
    switch (direction) {
    case 2: x = c * x0 + c * z0, z = -c * x0 + c * z0; break;
    case 3: x = z0, z = -x0; break;
    case 4: x = -c * x0 + c * z0, z = -c * x0 - c * z0; break;
    case 5: x = -x0, z = -z0; break;
    case 6: x = -c * x0 - c * z0, z = c * x0 - c * z0; break;
    case 7: x = -z0, z = x0; break;
    case 8: x = c * x0 - c * z0, z = c * x0 + c * z0; break;
    default: break;
    }
}

}  // namespace

uint8_t dunMountArcTest(SceneItem *ship, float x, float y, float z, uint16_t code, const Weapon *weapon) {
    const bool controlled = ship && ship == dunControlledObject;
    if (!dunIgnoreRange && !controlled && weapon && (weapon->flags & WeaponFlag::Beam) &&
        VecLengthApprox(Vec3{x, y, z}) >= 2.0f * weapon->range)
        return 0;
    const unsigned direction = code & MountCode::Direction;
    if (direction == MountCode::AllRound) return 0xFF;

    // From the weapons station the player aims over wide arcs.
    const bool station = controlled && StationId == kWeaponsStation;
    const float h = std::sqrt(x * x + z * z);
    const float rise = Ratio(y, h);
    switch (station ? MountCode::Elevation75 : code & MountCode::Elevation) {
    case MountCode::UpperHalf:
        if (y < 0.0f) return 0;
        break;
    case MountCode::LowerHalf:
        if (y > 0.0f) return 0;
        break;
    case MountCode::Elevation75:
        if (rise > kTan75) return 0;
        break;
    case MountCode::Elevation15:
        if (rise > kTan15) return 0;
        break;
    default:
        if (rise > kTan30) return 0;
        break;
    }

    IntoMountFrame(direction, x, z);
    if (z < 0.0f) return 0;
    const float across = Ratio(x, z);
    switch (station ? MountCode::AzimuthHalfSpace : code & MountCode::Azimuth) {
    case MountCode::AzimuthHalfSpace: return 0xFF;
    case MountCode::Azimuth3: return rise < kTan3 && across < kTan3 ? 0xFF : 0;
    case MountCode::Azimuth15: return across < kTan15 ? 0xFF : 0;
    default: return across < kTan30 ? 0xFF : 0;
    }
}

void dunMountPosition(Vec3 *out, uint16_t mountCode) {
    const unsigned code = mountCode & MountCode::Direction;
    *out = code < 9 ? kDirections[code] : Vec3{0, 0, 1};
}

void dunMountFrame(uint16_t mountCode, Mat4 *out, float dx, float dy, float dz) {
    Vec3 forward = {dx, dy, dz};
    VecNormalise(forward);
    Vec3 second;
    VecCross(Vec3{1, 0, 0}, forward, second);
    // Looking exactly abeam the cross product with x is no axis at all: the
    // frame takes the one of a direction just off abeam in the level plane.
    if (VecNormalise(second) < 1e-6f) second = {0, -1, 0};
    Vec3 first;
    VecCross(forward, second, first);
    VecNormalise(first);
    MatIdentity(*out);
    const Vec3 rows[3] = {first, second, forward};
    for (int r = 0; r < 3; ++r) {
        out->m[4 * r] = rows[r].x;
        out->m[4 * r + 1] = rows[r].y;
        out->m[4 * r + 2] = rows[r].z;
    }
    const unsigned code = mountCode & MountCode::Direction;
    MatRotateY(code < 9 ? kFireAngles[code] : 0.0f, *out);
}
