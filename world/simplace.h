// Small reads and writes of an object's place that the object routines
// share.
#pragma once

#include "world/records.h"

// The float position: the translation row of the Sim's matrix.
inline Vec3 dunFloatPosition(const Sim *s) { return {s->matrix.m[12], s->matrix.m[13], s->matrix.m[14]}; }

// Row r of a matrix: 0..2 the X, Y and Z axes, 3 the translation.
inline Vec3 dunMatRow(const Mat4 &m, int r) { return {m.m[4 * r], m.m[4 * r + 1], m.m[4 * r + 2]}; }

inline void dunSetMatRow(Mat4 &m, int r, const Vec3 &v) {
    m.m[4 * r] = v.x;
    m.m[4 * r + 1] = v.y;
    m.m[4 * r + 2] = v.z;
}

// The float position follows the double one.
inline void dunSyncFloatPosition(Sim *s) {
    s->matrix.m[12] = float(s->position.x);
    s->matrix.m[13] = float(s->position.y);
    s->matrix.m[14] = float(s->position.z);
}

// A ship in the sense of the targeting tests: in use, Avatar flag 4 and
// none of 0x40011.
inline bool dunIsShip(const SceneItem *item) {
    return item && item->avatar && item->sim && (item->flags & SceneFlag::InUse) &&
           (item->avatar->flags & AvatarFlag::Ship) && !(item->avatar->flags & AvatarFlag::NotShipBits);
}
