#include "world/sound_place.h"

#include <gtest/gtest.h>

#include "present/scene.h"
#include "world/objlist.h"
#include "world/records.h"

namespace {

TEST(SoundPosition, ObjectsSeenFromThePlayerCamera) {
    SceneItem cam{}, ship{}, obj{};
    Avatar camAv{}, obj_av{};
    camAv.matrix.m[0] = camAv.matrix.m[5] = camAv.matrix.m[10] = camAv.matrix.m[15] = 1;
    cam.avatar = &camAv;
    obj.avatar = &obj_av;
    obj_av.position = {-5000, 0, 0};
    int32_t vol = 7, pan = 7, freq = 7;
    dunPlayerCamera = nullptr;
    EXPECT_EQ(SoundPositionFromCamera(&obj, &vol, &pan), 0);
    EXPECT_EQ(vol, 7);
    dunPlayerCamera = &cam;
    SceneItem *oldShip = dunPlayerShip;
    dunPlayerShip = &ship;
    EXPECT_DOUBLE_EQ(SoundPositionFromCamera(&obj, &vol, &pan), 5000);
    EXPECT_EQ(vol, -10);
    EXPECT_EQ(pan, -10000);
    Vec3 dir{};
    SoundPositionFromCameraAlt(&obj, &vol, &pan, &dir);
    EXPECT_FLOAT_EQ(dir.x, -1.0f);
    SoundParamsForObject(&obj, &freq, 1.0f);
    EXPECT_EQ(freq, 22050);
    ship.systemNumber = 2;  // the player ship is elsewhere
    EXPECT_DOUBLE_EQ(SoundPositionFromCamera(&obj, &vol, &pan), 1e11);
    EXPECT_EQ(vol, -10000);
    dunPlayerShip = oldShip;
    dunPlayerCamera = nullptr;
}

}  // namespace
