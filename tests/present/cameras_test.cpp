// Camera routines, the event and action cameras and the pilot's look input.
#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "RES/util.h"
#include "ai/combat.h"
#include "ai/contacts.h"
#include "ai/weapons.h"
#include "core/frame.h"
#include "core/options.h"
#include "gui/bindings.h"
#include "gui/cockpit.h"
#include "gui/keys.h"
#include "common/virtual_stick.h"
#include "os/input.h"
#include "platform/joystick.h"
#include "platform/keyboard.h"
#include "present/cameras.h"
#include "present/effects.h"
#include "present/hooks.h"
#include "present/views.h"
#include "world/flight.h"
#include "world/messages.h"
#include "world/objlist.h"
#include "world/records.h"

namespace {

int gEntered, gDropped;

class Cameras : public testing::Test {
protected:
    void SetUp() override {
        ResetOptions();
        dunMsgInit();
        dunResetWorld();
        dunFrameStep = 10;
        dunFrameSeconds = 0.1f;
        dunGameClock = 10000;
        dunFrameCounter = 1;
        dunPlayerShip = dunControlledObject = nullptr;
        dunRemoteLinked = nullptr;
        gCinematicView = 0;
        gCinematicHold = 0;
        gCameraEventsOn = 0xFF;
        P3DResetCameraWords();
        LookInit();
        gEntered = gDropped = 0;
        gCameraViewHooks = {[] { ++gEntered; }, nullptr, [] { ++gDropped; }, nullptr, nullptr, nullptr};
        // The contact table and the hat's commands as in the game.
        dunai_InstallPresentHooks();
        guiInstallPresentHooks();
        player = Object(0, 0, 0, 500);
        dunPlayerShip = dunControlledObject = player;
        camera = Object(0, 0, -5000, 0);
        dunPlayerCamera = camera;
        std::memset(KeyDownTable, 0, sizeof KeyDownTable);
        dunStickX = dunStickY = dunTwist = 0;
    }
    void TearDown() override {
        gCameraViewHooks = {};
        P3DSetAiHooks(nullptr);
        P3DSetGuiHooks(nullptr);
        dunPlayerCamera = nullptr;
        dunPlayerShip = dunControlledObject = nullptr;
        gCinematicView = 0;
        dunResetWorld();
    }
    static SceneItem *Object(float x, float y, float z, float radius) {
        SceneItem *item = dunCreateSceneItem();
        dunLinkSceneItem(item, 0);
        dunAttachSim(item, nullptr);
        item->sim->radius = radius;
        Put(item, x, y, z);
        return item;
    }
    static void Put(SceneItem *item, float x, float y, float z) {
        item->sim->matrix.m[12] = x;
        item->sim->matrix.m[13] = y;
        item->sim->matrix.m[14] = z;
        item->sim->position = {x, y, z};
    }
    static Vec3 Pos(const SceneItem *i) { return {i->sim->matrix.m[12], i->sim->matrix.m[13], i->sim->matrix.m[14]}; }
    static Vec3 Forward(const SceneItem *i) { return {i->sim->matrix.m[8], i->sim->matrix.m[9], i->sim->matrix.m[10]}; }
    SceneItem *player = nullptr, *camera = nullptr;
};

TEST_F(Cameras, TrackTurnsToTheSubjectAndStaysPut) {
    Put(camera, 0, 0, -5000);
    CameraTrack(camera);
    EXPECT_NEAR(Forward(camera).z, 1.0f, 1e-6);
    EXPECT_EQ(Pos(camera).z, -5000.0f);
    EXPECT_EQ(P3DViewedObject, player);
    // Straight above the subject the matrix stays whole.
    Put(camera, 0, 4000, 0);
    CameraTrack(camera);
    for (float v : camera->sim->matrix.m) EXPECT_TRUE(std::isfinite(v));
    EXPECT_NEAR(Forward(camera).y, -1.0f, 1e-6);
    EXPECT_NEAR(camera->sim->matrix.m[0] * camera->sim->matrix.m[0] + camera->sim->matrix.m[2] * camera->sim->matrix.m[2],
                1.0f, 1e-5);
}

TEST_F(Cameras, ChaseNeverSwingsAheadOfItsSubject) {
    camera->avatar->lifetimeCounter = 1000;  // approach rate: k = 0.1 a step
    camera->avatar->cameraMinDistance = 3000;
    // The kept offset starts ahead of the ship (its forward is +Z).
    camera->sim->tumble = {3000, 0, 4000};
    CameraChase(camera);
    // Distance: 2 x radius 1000 is below the minimum, 3000 taken.
    const Vec3 p = Pos(camera);
    EXPECT_LE(p.z, 0.0f);
    EXPECT_NEAR(std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z), 3000.0f, 1.0f);
    // The kept offset is smoothed, not flattened: 0.9 x 4000 - 0.1 x 3000.
    EXPECT_NEAR(camera->sim->tumble.z, 3300.0f, 1e-2);
    // Settled behind, the camera sits a distance behind and looks ahead.
    for (int i = 0; i < 200; ++i) CameraChase(camera);
    EXPECT_NEAR(Pos(camera).z, -3000.0f, 1.0f);
    EXPECT_GT(Forward(camera).z, 0.99f);
}

TEST_F(Cameras, PlayerEyeOffsetsAndShake) {
    struct Case {
        float radius;
        uint16_t type;
        Vec3 eye;
    } cases[] = {
        {500, 0, {0, 0, 500}},
        {1500, 0, {0, 0, 400}},  // above 1100: 1100 less
        {500, 7, {-500, 0, 0}},  // type 7 looks from the side
    };
    ShipInfo info{};
    player->sim->shipInfo = &info;
    for (const Case &c : cases) {
        player->sim->radius = c.radius;
        info.typeCode = c.type;
        CameraPlayer(camera);
        const Vec3 p = Pos(camera);
        EXPECT_NEAR(p.x, c.eye.x, 1e-3) << c.radius << " " << c.type;
        EXPECT_NEAR(p.z, c.eye.z, 1e-3) << c.radius << " " << c.type;
    }
    player->sim->shipInfo = nullptr;
    gShakeCount = gShakeLength = 100;
    CameraPlayer(camera);
    EXPECT_EQ(gShakeCount, 90);
}

TEST_F(Cameras, LookAtObjectQuarterWayAndDegenerateCases) {
    // A small near target: the camera sits a quarter of the way from eye to
    // target, docked to the eye.
    SceneItem *target = Object(0, 0, 2000, 100);
    camera->avatar->subject = target;
    camera->sim->host = player;
    CameraLookAtObject(camera);
    EXPECT_NEAR(Pos(camera).z, 500.0f, 1e-2);
    EXPECT_NEAR(Forward(camera).z, 1.0f, 1e-6);
    // Looking straight down the eye's up axis takes the side axis instead.
    Put(target, 0, 5000, 0);
    CameraLookAtObject(camera);
    for (float v : camera->sim->matrix.m) EXPECT_TRUE(std::isfinite(v));
    EXPECT_NEAR(Forward(camera).y, 1.0f, 1e-6);
    // An eye at its target: the camera keeps its matrix.
    Put(target, 0, 0, 0);
    const Mat4 before = camera->sim->matrix;
    CameraLookAtObject(camera);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(camera->sim->matrix.m[i], before.m[i]);
}

TEST_F(Cameras, EventRules) {
    for (uint8_t &on : gCameraEventEnable) on = 1;
    SceneItem *other = Object(1000, 0, 0, 100);
    // A disabled row, mode 0 outside a cinematic and other objects do nothing.
    gCameraEventEnable[11] = 0;
    EventCameraTrigger(player, nullptr, 11);
    EventCameraTrigger(player, nullptr, 5);
    EventCameraTrigger(other, nullptr, 10);
    EXPECT_EQ(gCinematicView, 0);
    EXPECT_EQ(gEntered, 0);
    // Row 10 starts a cinematic and cuts at once.
    EventCameraTrigger(player, other, 10);
    EXPECT_EQ(gCinematicView, 1);
    EXPECT_EQ(gEntered, 1);
    EXPECT_EQ(gEventRow, 10);
    EXPECT_EQ(gCinematicHold, 200);
    EXPECT_EQ(camera->control, CameraTrack);
    EXPECT_EQ(gLooking, 1);
    // A row-5 cut (priority 7), then a row-3 event 100 cs later is refused
    // but sets the hold; 400 cs after the cut a lower priority cuts.
    EventCameraTrigger(player, nullptr, 5);
    EXPECT_EQ(gEventRow, 5);
    dunGameClock += 100;
    gCinematicHold = 0;
    EventCameraTrigger(player, nullptr, 3);
    EXPECT_EQ(gEventRow, 5);
    EXPECT_EQ(gCinematicHold, 500);
    // The script's row always cuts.
    EventCameraTrigger(other, nullptr, kScriptCameraRow);
    EXPECT_EQ(gEventRow, kScriptCameraRow);
    EXPECT_EQ(gCinematicSubject, other);
    dunGameClock += 400;
    gCinematicHold = 0;
    EventCameraTrigger(player, nullptr, 3);
    EXPECT_EQ(gEventRow, 3);
    // The camera lock keeps the camera.
    gCameraLock = 1;
    dunGameClock += 1000;
    EventCameraTrigger(player, nullptr, kScriptCameraRow);
    EXPECT_EQ(gEventRow, 3);
}

TEST_F(Cameras, ActionCameraPicksTheBusiestShip) {
    gCameraViewHooks.onStation = [] { return true; };
    ShipInfo info{};
    SceneItem *calm = Object(0, 0, 9000, 100), *busy = Object(0, 0, 8000, 100), *tie = Object(0, 0, 7000, 100),
              *unseen = Object(0, 0, 6000, 100);
    for (SceneItem *s : {calm, busy, tie, unseen}) s->sim->shipInfo = &info;
    busy->turnDemand[1] = -25;
    tie->turnRemaining[0] = 20;
    // Only the ships of the contact table count: the busiest of all is not
    // among them.
    unseen->turnDemand[0] = 90;
    std::memset(dunContacts, 0, sizeof dunContacts);
    SceneItem *listed[] = {calm, busy, tie};
    for (int i = 0; i < 3; ++i) {
        dunContacts[i].object = listed[i];
        dunContacts[i].flags = ContactFlag::InUse;
    }
    gCinematicView = 1;
    gEventRow = 5;
    gCinematicHold = 0;
    gCinematicSubject = player;
    ActionCameraUpdate();
    EXPECT_EQ(gCinematicSubject, busy);
    EXPECT_EQ(gEventRow, 7);
    EXPECT_GE(gActionInterval, 400);
    EXPECT_LT(gActionInterval, 650);
    EXPECT_GE(gCinematicHold, 500);
    // Off the station screens it does nothing.
    gCameraViewHooks.onStation = [] { return false; };
    gCinematicSubject = player;
    ActionCameraUpdate();
    EXPECT_EQ(gCinematicSubject, player);
    std::memset(dunContacts, 0, sizeof dunContacts);
}

TEST_F(Cameras, LookKeysSteerTheDemands) {
    NoJoystick = 1;  // keyboard flight: 975 a second, decay 0.2
    JoystickPresent = 0;
    struct Step {
        uint8_t key;
        float before, after;
        float *demand;
    } steps[] = {
        {0x4D, 0, -97.5f, &dunStickX},    // Right: yaw towards negative
        {0x4B, -50, 0, &dunStickX},       // Left against a negative yaw resets it
        {0x50, 170, 180, &dunStickY},     // Down: pitch grows, clamped at 180
        {0x48, 170, 0, &dunStickY},       // Up against a positive pitch
        {0x4F, -10, -107.5f, &dunTwist},  // End: roll towards negative
    };
    for (const Step &s : steps) {
        dunStickX = dunStickY = dunTwist = 0;
        *s.demand = s.before;
        KeyDownTable[s.key] = 0xFF;
        dunPlayerShip->sim->flags = 0;
        LookUpdate();
        KeyDownTable[s.key] = 0;
        EXPECT_FLOAT_EQ(*s.demand, s.after) << int(s.key);
    }
    // Released keys decay; the damping divides once.
    dunStickX = 100;
    LookUpdate();
    EXPECT_FLOAT_EQ(dunStickX, 20.0f);
    gLookDamping = 1;
    LookUpdate();
    EXPECT_FLOAT_EQ(dunStickX, 1.0f);
    EXPECT_EQ(gLookDamping, 0);
    NoJoystick = 0;
}

// The joystick hat by its mode: 0 looks round, 1 gives the cockpit's
// contact commands (left steps the contact filter), 2 leaves its code to
// the flight's hat thrusters; the code is there in every mode. A hat
// position counts once it repeats.
TEST_F(Cameras, TheHatByItsMode) {
    ruvotest::VirtualStick stick(3, 4, 1);
    ASSERT_NE(stick.joy, nullptr);
    JoystickInit();
    ASSERT_TRUE(JoystickPresent);
    SDL_JoystickSetVirtualHat(stick.joy, 0, SDL_HAT_LEFT);
    const struct {
        uint8_t mode;
        int looking, filter, bits;
    } cases[] = {{0, 1, 0, 8}, {1, 0, 1, 8}, {2, 0, 0, 8}};
    for (const auto &c : cases) {
        JoyHatMode = c.mode;
        LookInit();
        guiResetKeyHandler();
        dunContactFilter = 0;
        dunHatBits = 0;
        LookUpdate();
        LookUpdate();
        EXPECT_EQ(gLooking, c.looking) << int(c.mode);
        EXPECT_EQ(dunContactFilter, c.filter) << int(c.mode);
        EXPECT_EQ(dunHatBits, c.bits) << int(c.mode);
    }
    JoyHatMode = 0;
    dunContactFilter = 0;
    dunHatBits = 0;
    JoystickPresent = 0;
}

TEST_F(Cameras, JoystickAxesSteerWhereTheKeysAreUp) {
    NoJoystick = 0;
    JoystickPresent = 0;  // the poll hands back the axes as they are
    JoyHatMode = 0;
    JoystickAxes[JOY_X] = 100;
    JoystickAxes[JOY_Y] = -60;
    JoystickAxes[JOY_RUDDER] = 40;
    JoystickAxes[JOY_POV] = -1;
    struct Case {
        uint8_t key;
        uint8_t swap;
        float yaw, pitch, roll;
    } cases[] = {
        {0, 0, -50, -30, 20},
        {0x4B, 0, 65, -30, 20},  // Left held: the key steers the yaw, the stick the others
        {0, 1, -20, -30, 50},  // swapped: rudder yaws, the stick's x rolls
        {0x83, 0, -50, -30, 85},  // button 4 rolls on top of the stick like a key
    };
    for (const Case &c : cases) {
        dunStickX = dunStickY = dunTwist = 0;
        dunAxisSwap = c.swap;
        if (c.key) KeyDownTable[c.key] = 0xFF;
        LookUpdate();
        if (c.key) KeyDownTable[c.key] = 0;
        EXPECT_FLOAT_EQ(dunStickX, c.yaw) << int(c.key) << " " << int(c.swap);
        EXPECT_FLOAT_EQ(dunStickY, c.pitch) << int(c.key) << " " << int(c.swap);
        EXPECT_FLOAT_EQ(dunTwist, c.roll) << int(c.key) << " " << int(c.swap);
    }
    dunAxisSwap = 0;
    std::memset(JoystickAxes, 0, sizeof JoystickAxes);
}

TEST_F(Cameras, TheHatLooksOnlyWhenItRepeatsAndTheLookKeysWithTheirShift) {
    NoJoystick = 1;
    JoystickPresent = 0;
    JoyHatMode = 0;
    gCameraViewHooks.fullScreen = [] { return true; };
    JoystickAxes[JOY_POV] = 9000;
    LookUpdate();
    EXPECT_EQ(gLooking, 0) << "a hat value seen once";
    LookUpdate();
    EXPECT_EQ(gLooking, 1);
    EXPECT_EQ(dunHatBits, 2);
    EXPECT_NEAR(gLookMatrix.m[8], 1.0f, 1e-6) << "looking right in the full-screen view";
    // The look-left key counts only with the Shift state it was bound with.
    JoystickAxes[JOY_POV] = -1;
    LookReset();
    gLookKeys[1] = {0x1E, -1};
    KeyDownTable[0x1E] = 0xFF;
    LookUpdate();
    EXPECT_EQ(gLooking, 0) << "Shift up";
    KeyDownTable[0x2A] = 0xFF;
    LookUpdate();
    EXPECT_EQ(gLooking, 1);
    EXPECT_NEAR(gLookMatrix.m[8], -1.0f, 1e-6);
    std::memset(gLookKeys, 0, sizeof gLookKeys);
    std::memset(JoystickAxes, 0, sizeof JoystickAxes);
    NoJoystick = 0;
}

TEST_F(Cameras, TheWeaponCameraLooksFromItsMountOrOverTheShipAtTheTarget) {
    Weapon side{};
    side.mountCode = 3;  // the side mount fires at 85 degrees
    side.mount = {100, 0, 0};
    player->sim->weapons = player->sim->currentWeapon = &side;
    gWeaponCameraTargetView = 0;
    gWeaponMountYaw = gWeaponMountPitch = 0;
    CameraWeapon(camera);
    EXPECT_NEAR(Pos(camera).x, 100.0f, 1e-3);
    EXPECT_NEAR(Forward(camera).y, 0.0f, 1e-6);
    EXPECT_NEAR(std::fabs(Forward(camera).x), std::sin(85 * 3.14159265f / 180), 1e-4);
    // The view follows the pilot's demand by the frame's share, within the
    // mount's arc, unless the hold key is down.
    gWeaponMount.angles[0] = -10;
    gWeaponMount.angles[1] = 10;
    gWeaponViewFlag = 1;
    dunStickX = -40;
    CameraWeapon(camera);
    EXPECT_FLOAT_EQ(gWeaponMountYaw, 4.0f);
    KeyDownTable[0x81] = 0xFF;
    CameraWeapon(camera);
    EXPECT_FLOAT_EQ(gWeaponMountYaw, 4.0f);
    KeyDownTable[0x81] = 0;
    for (int i = 0; i < 50; ++i) CameraWeapon(camera);
    EXPECT_FLOAT_EQ(gWeaponMountYaw, 10.0f);
    // The target view sits behind the ship and aims at the target; without
    // forward tracking it looks ahead from 1.2 radii out.
    SceneItem *target = Object(0, 0, 20000, 100);
    player->sim->goal = target;
    gWeaponCameraTargetView = 1;
    camera->sim->drive = Pos(target);
    CameraWeapon(camera);
    EXPECT_NEAR(Pos(camera).z, -950.0f, 1e-2);
    EXPECT_NEAR(Forward(camera).z, 1.0f, 1e-6);
    gWeaponForwardTracking = 0;
    CameraWeapon(camera);
    EXPECT_NEAR(Pos(camera).z, 600.0f, 1e-2);
    gWeaponForwardTracking = 1;
    gWeaponCameraTargetView = 0;
    gWeaponViewFlag = 0;
    gWeaponMount = ArcOutline{};
    player->sim->weapons = player->sim->currentWeapon = nullptr;
    player->sim->goal = nullptr;
}

TEST_F(Cameras, TheMissileViewFollowsThePlayersGuidedMissile) {
    dunPlayerCamera = camera;
    camera->control = CameraExternalSmooth;
    CameraExternalSmooth(camera);
    EXPECT_EQ(P3DViewedObject, nullptr) << "no missile: the chase of the ship";
    Weapon launcher{};
    launcher.flags = WeaponFlag::Missile;
    SceneItem *goal = Object(0, 0, 30000, 300), *missile = Object(0, 0, 10000, 50);
    missile->avatar->flags |= AvatarFlag::MunitionRound;
    missile->avatar->objectA = player;
    missile->avatar->roundWeapon = &launcher;
    missile->avatar->sidePartner = goal;
    CameraExternalSmooth(camera);
    EXPECT_EQ(P3DViewedObject, missile);
    // Over the missile, looking from its goal's side towards it.
    EXPECT_NEAR(Forward(camera).z, -1.0f, 1e-3);
    EXPECT_GT(Pos(camera).z, 10000.0f);
}

TEST_F(Cameras, TheWorldAndTheGuiSetTheViewState) {
    P3DSetViewShake(300, 270);
    EXPECT_EQ(gShakeCount, 300);
    EXPECT_EQ(gShakeLength, 300);
    gLooking = 1;
    gLookYaw = 20;
    MatRotateY(30, gLookMatrix);
    P3DResetViewCamera();
    EXPECT_EQ(gLooking, 0);
    EXPECT_EQ(gLookYaw, 0.0f);
    EXPECT_EQ(gLookMatrix.m[0], 1.0f);
    SceneItem *command = Object(0, 0, 0, 100), *hull = Object(0, 0, 100, 100), *view = Object(0, 0, 0, 0);
    dunViewCamera = view;
    P3DFollowCameras(command, hull);
    EXPECT_EQ(P3DViewedObject, command);
    EXPECT_EQ(camera->avatar->cameraTarget, command);
    EXPECT_EQ(view->avatar->cameraTarget, hull);
    P3DSetCameraSubject(hull);
    EXPECT_EQ(camera->avatar->subject, hull);
    dunViewCamera = nullptr;
}

}  // namespace
