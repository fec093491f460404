// Object statements: creation, cameras, placement, switches and symbols.
#include <cmath>

#include "RES/util.h"
#include "ai/contacts.h"
#include "core/progress.h"
#include "platform/display.h"
#include "platform/keyboard.h"
#include "present/cameras.h"
#include "present/p3d.h"
#include "present/scene.h"
#include "present/sky/sky.h"
#include "present/sky/stars.h"
#include "script/objects.h"
#include "script/statements.h"
#include "script_fixture.h"
#include "world/collision.h"
#include "world/contact.h"
#include "world/flight.h"
#include "world/msghandler.h"
#include "world/objlist.h"
#include "world/step.h"

using namespace scripttest;

namespace {

class ObjectStatements : public ScriptTest {
protected:
    void SetUp() override {
        ScriptTest::SetUp();
        gPlacementMode = 0xFF;
        gPlacementReference = nullptr;
        WorldOriginOffset = {0, 0, 0};
        dunPlayerCamera = dunWeaponCamera = dunViewCamera = nullptr;
    }
    void TearDown() override {
        WorldOriginOffset = {0, 0, 0};
        dunPlayerCamera = dunWeaponCamera = dunViewCamera = nullptr;
        dunPlayerShip = dunControlledObject = nullptr;
        gPlacementReference = nullptr;
        ScriptTest::TearDown();
    }
    static SceneItem *Obj(const char *name) { return ScriptSymbolObject(Sym(name)); }
};

TEST_F(ObjectStatements, CamerasFillTheirSlots) {
    SceneItem *ship = MakeObject("Ship");
    Place(ship, 10, 20, 30);
    Start("SCENEITEM CamPly CamWep CamCon\n"
          "CAMERA CamPly CAM_PLAYER Ship 1 2 3\n"
          "CAMERA CamWep CAM_PLAYER Ship 0 0 0\n"
          "CAMERA CamCon CAM_CONTACT Ship 0 0 0\n");
    SceneItem *player = ScriptSymbolObject(Sym("CamPly"));
    SceneItem *weapon = ScriptSymbolObject(Sym("CamWep"));
    ASSERT_NE(player, nullptr);
    ASSERT_NE(weapon, nullptr);
    EXPECT_EQ(player->control, CameraPlayer);
    EXPECT_EQ(player->avatar->cameraTarget, ship);
    EXPECT_EQ(player->sim->position.z, 3.0);
    EXPECT_EQ(player->flags & (SceneFlag::Appended | SceneFlag::LateControl), SceneFlag::Appended | SceneFlag::LateControl);
    EXPECT_FALSE(player->avatar->root->flags & TDPFlag::Collidable);
    // "CamWep" is always a weapon camera, and fills both slots.
    EXPECT_EQ(weapon->control, CameraWeapon);
    EXPECT_EQ(dunPlayerCamera, weapon);
    EXPECT_EQ(dunWeaponCamera, weapon);
    EXPECT_EQ(dunViewCamera, ScriptSymbolObject(Sym("CamCon")));
    EXPECT_EQ(gLastScriptCamera, dunViewCamera);
    // Without a target nothing is made.
    Start("SCENEITEM Nobody CamX\nCAMERA CamX CAM_TRACK Nobody 0 0 0\n");
    EXPECT_EQ(ScriptSymbolObject(Sym("CamX")), nullptr);
}

TEST_F(ObjectStatements, RelativePlacementAddsTheReference) {
    SceneItem *ship = MakeObject("Ship");
    Place(ship, 1000, 0, 0);
    MakeObject("Cam");
    Start("SCENEITEM C2\nRELATIVE Ship\nCAMERA C2 CAM_FIXED Ship 5 6 7\nABSOLUTE\n");
    SceneItem *camera = ScriptSymbolObject(Sym("C2"));
    ASSERT_NE(camera, nullptr);
    EXPECT_EQ(camera->sim->position.x, 1005.0);
    EXPECT_EQ(camera->sim->position.y, 6.0);
    EXPECT_EQ(gPlacementMode, 0xFF);
    EXPECT_EQ(gPlacementReference, ship);
}

TEST_F(ObjectStatements, CreateMakesANamedObjectWithItsRoutines) {
    Start("MODEL Md\nSCENEITEM Ship\nCREATE Ship Hull Md CONTROL_FREE SIM_MAIN\nPLAYER Ship\n");
    SceneItem *ship = Obj("Ship");
    ASSERT_NE(ship, nullptr);
    EXPECT_EQ(ScriptSymbolObject(gSymLastShip), ship);
    EXPECT_EQ(ScriptSymbolThing(Sym("Hull")), ship->avatar->root);
    EXPECT_EQ(ScriptSymbolThing(gSymLast3dp), ship->avatar->root);
    EXPECT_EQ(ship->simulator, dunFlyShip);
    EXPECT_FLOAT_EQ(ship->sim->mass, 8500.0f);
    EXPECT_TRUE(ship->avatar->root->flags & TDPFlag::HasActor);
    EXPECT_EQ(ship->avatar->modelUpdate, dunCopySimToModel);
    EXPECT_EQ(ship->messageHandler, dunHandleMessages);
    EXPECT_NE(ship->receiverId, 0u);
    // PLAYER makes it the player's ship, flown by the player.
    EXPECT_EQ(dunPlayerShip, ship);
    EXPECT_EQ(dunControlledObject, ship);
    EXPECT_EQ(ship->control, dunControlPlayer);
    EXPECT_EQ(ScriptSymbolObject(gSymGleamHead), ship);
    EXPECT_EQ(gPlacementReference, ship);
}

TEST_F(ObjectStatements, RoutineKeywordsAreChecked) {
    const struct {
        const char *line, *message;
    } cases[] = {
        {"CREATE A B Md SIM_MAIN SIM_MAIN", "CREATE Expected CONTROL Routine"},
        {"CREATE A B Md CONTROL_AI CONTROL_AI", "CREATE Expected SIMULATOR Routine"},
        {"CONTROL A SIM_MAIN", "CONTROL Expected CONTROL Routine"},
    };
    for (const auto &c : cases) {
        const std::string text = std::string("MODEL Md\nSCENEITEM A\n") + c.line + "\n";
        const std::string fatal = FatalText([&] { Start(text); });
        EXPECT_NE(fatal.find(c.message), std::string::npos) << fatal;
    }
}

TEST_F(ObjectStatements, PlacementModes) {
    SceneItem *ship = MakeObject("Ship");
    SceneItem *ref = MakeObject("Ref");
    Place(ref, 1000, 0, 0);
    WorldOriginOffset = {50, 60, 70};
    Start("PLACE Ship 100 200 300\n");
    EXPECT_DOUBLE_EQ(ship->sim->position.x, 50.0);
    EXPECT_EQ(ship->sim->matrix.m[14], 230.0f);
    // Relative without a reference leaves the numbers as they are.
    Start("ABSOLUTE\nRELATIVE Missing\nPLACE Ship 100 200 300\n");
    EXPECT_DOUBLE_EQ(ship->sim->position.x, 100.0);
    Start("RELATIVE Ref\nPLACE Ship 100 200 300\nVEL Ship 1 2 3\n");
    EXPECT_DOUBLE_EQ(ship->sim->position.x, 1100.0);
    EXPECT_EQ(ship->sim->velocity.z, 3.0f);
    Start("ABSOLUTE\n");
    EXPECT_EQ(gPlacementMode, 0xFF);
}

TEST_F(ObjectStatements, NewObjectsArePushedClearOfShips) {
    ShipInfo info{};
    SceneItem *ship = MakeObject("Ship");
    ship->sim->shipInfo = &info;
    ship->sim->radius = 100;
    SceneItem *box = MakeObject("Box");
    box->sim->radius = 100;
    Start("PLACE Box 0 0 100\n");
    // Clearance 1.5 x 100 + 1.5 x 100 along the way from the ship.
    EXPECT_FLOAT_EQ(box->sim->matrix.m[14], 400.0f);
    EXPECT_DOUBLE_EQ(box->sim->position.z, 400.0);
    // At the ship's own centre there is no way out: it stays.
    Start("PLACE Box 0 0 0\n");
    EXPECT_FLOAT_EQ(box->sim->matrix.m[14], 0.0f);
}

TEST_F(ObjectStatements, SwitchesWithoutOnOrOff) {
    SceneItem *ship = MakeObject("Ship");
    struct Case {
        const char *line;
        uint32_t simFlags, itemFlags;
    } cases[] = {
        {"INDESTRUCT Ship", SimFlag::Protected, 0x200},
        {"INDESTRUCT Ship OFF", 0, 0x200},  // the nearest-object recording stays
        {"TRACEABLE Ship OFF", 0, 0x200 | SceneFlag::Untraceable},
        {"TRACEABLE Ship", 0, 0x200},
        {"DSHIELD Ship", SimFlag::Shielded, 0x200},
        {"DSHIELD Ship OFF", 0, 0x200},
    };
    for (const Case &c : cases) {
        Start(std::string(c.line) + "\n");
        EXPECT_EQ(ship->sim->flags & (SimFlag::Protected | SimFlag::Shielded), c.simFlags) << c.line;
        EXPECT_EQ(ship->flags & (0x200 | SceneFlag::Untraceable), c.itemFlags) << c.line;
    }
    EXPECT_NE(FatalText([] { Start("PERMANENT Ship\n"); }).find("Unrecognized Token"), std::string::npos);
}

TEST_F(ObjectStatements, CopiesGiveANewSymbolEveryKind) {
    SceneItem *ship = MakeObject("Ship");
    Start("COPY_SYM Fresh Ship\nCOPY_SCN Other Ship\n");
    EXPECT_EQ(Sym("Fresh")->kind, SymKind::Any);
    EXPECT_EQ(Obj("Fresh"), ship);
    EXPECT_EQ(Obj("Other"), ship);
    Start("VAR A B\nSET B 7\nCOPY_VAR A B\n");
    EXPECT_EQ(Var("A"), 7);
}

TEST_F(ObjectStatements, RotTurnsZThenXThenY) {
    SceneItem *ship = MakeObject("Ship");
    Start("ROT Ship 90 0 0 5 6 7\n");
    // 90 degrees about Y takes the forward axis to +X or -X.
    EXPECT_NEAR(std::fabs(ship->sim->matrix.m[8]), 1.0f, 1e-3);
    EXPECT_EQ(ship->yawSpin, 5.0f);
    EXPECT_EQ(ship->pitchSpin, 6.0f);
    EXPECT_EQ(ship->rollSpin, 7.0f);
}

TEST_F(ObjectStatements, DirectorCutsToTheObjectAndLocksTheCamera) {
    SceneItem *ship = MakeObject("Ship");
    SceneItem *other = MakeObject("Other");
    SceneItem *cam = MakeObject("CamPly");
    dunPlayerCamera = cam;
    for (uint8_t &on : gCameraEventEnable) on = 1;
    // Flying at a station, no cinematic running: the statement turns the
    // external view on itself.
    gCinematicView = 0;
    gCinematicHold = 0;
    gCameraLock = 0;
    Start("DIRECTOR Ship Other CAM_CHASE 300\n");
    EXPECT_EQ(gCinematicView, 1);
    EXPECT_EQ(gEventRow, kScriptCameraRow);
    EXPECT_EQ(gCinematicSubject, ship);
    EXPECT_EQ(gCinematicSecond, other);
    EXPECT_EQ(cam->control, CameraChase);
    EXPECT_EQ(gCinematicHold, 300);
    EXPECT_EQ(gCameraLock, 1);
    // Other events cannot take the camera now.
    EventCameraTrigger(other, nullptr, 5);
    EXPECT_EQ(gCinematicSubject, ship);
    gCameraLock = 0;
    gCinematicView = 0;
    gCameraEvents[kScriptCameraRow].routine = CameraTrack;
    gCameraEvents[kScriptCameraRow].hold = 500;
}

TEST_F(ObjectStatements, CorpseSkipsItsSecondOperandEvenAKeyword) {
    MakeObject("Ship");
    Start("VAR X\nCORPSE Ship SET\nSET X 4\n");
    EXPECT_EQ(Var("X"), 4);
}

TEST_F(ObjectStatements, AScriptCameraChasesAtItsRateAndDistance) {
    SceneItem *ship = MakeObject("Ship");
    ship->sim->radius = 300;
    dunControlledObject = ship;
    gCinematicView = 0;
    LookReset();
    Start("SCENEITEM Cam\nCAMERA Cam CAM_PURSUIT Ship 0 0 0\n");
    SceneItem *camera = Obj("Cam");
    ASSERT_NE(camera, nullptr);
    EXPECT_EQ(camera->control, CameraChase);
    dunFrameSeconds = 0.02f;
    for (int i = 0; i < 200; ++i) CameraChase(camera);
    // Behind the ship at the least distance, looking past it.
    EXPECT_NEAR(camera->sim->matrix.m[14], -900.0f, 1.0f);
    EXPECT_GT(camera->sim->matrix.m[10], 0.99f);
}

TEST_F(ObjectStatements, LodSwapSetsTheDetailSwitch) {
    Start("LOD_SWAP 12 30 3\n");
    EXPECT_EQ(gP3D.detailLow, 12.0f);
    EXPECT_EQ(gP3D.detailHigh, 30.0f);
    EXPECT_EQ(gP3D.detailMargin, 3.0f);
    Start("LOD_SWAP 10 24\n");
    EXPECT_EQ(gP3D.detailMargin, 0.0f);
}

TEST_F(ObjectStatements, PlaceBehindCountsOnInItsLiteralOnlyWithBothObjects) {
    MakeObject("Ship");
    MakeObject("Lead");
    ScriptToken *pc = Compile(
        "VAR X\nCALL Slot\nCALL Slot\nCALL Slot\nBRA Done\n"
        "Slot:\nPLACE_BEHIND Ship Lead 3 0\nRETURN\n"
        "Gone:\nPLACE_BEHIND Ship Nobody 3 0\nADD X 1\nRETURN\n"
        "Done:\nCALL Gone\n");
    const ScriptToken *start = pc;
    ScriptProcessor(&pc, 0);
    std::vector<float> counters;
    for (const ScriptToken &t : Statements(start))
        if (t.code == Sc::Data) counters.push_back(ScriptDataFloat(t.arg));
    // Slot 0, 1, 2 taken: the literal reads 3. Without the leader the two
    // operands run as no-op tokens and the statement after runs.
    ASSERT_GE(counters.size(), 4u);
    EXPECT_EQ(counters[1], 3.0f);
    EXPECT_EQ(counters[3], 0.0f);
    EXPECT_EQ(Var("X"), 1);
}

TEST_F(ObjectStatements, VelTowardsFliesOrDrivesAtTheTarget) {
    SceneItem *ship = MakeObject("Ship");
    Place(MakeObject("Target"), 0, 0, 5000);
    ship->sim->velocity = {1, 2, 3};
    Start("VEL_TOWARDS Ship Target 10 ON\n");
    EXPECT_EQ(ship->sim->thrust.z, 1000.0f);
    EXPECT_EQ(ship->sim->ldsTarget, 1000.0f);
    EXPECT_TRUE(ship->sim->flags & SimFlag::Lds);
    EXPECT_EQ(ship->sim->velocity.x, 1.0f) << "the velocity is kept";
    EXPECT_NEAR(ship->sim->matrix.m[10], 1.0f, 1e-5) << "turned to face the target";
    Start("VEL_TOWARDS Ship Target 10\n");
    EXPECT_NEAR(ship->sim->velocity.z, 1000.0f, 1e-3);
    EXPECT_NEAR(ship->sim->velocity.x, 0.0f, 1e-3);
    EXPECT_FALSE(ship->sim->flags & SimFlag::Lds);
    EXPECT_EQ(ship->sim->ldsTarget, 0.0f);
}

TEST_F(ObjectStatements, PlanetMakesABodyOfTheSkyWorld) {
    gPlanetTextureRequest = 0;
    Start("SCENEITEM Moon\nPLANET Moon \"earth\" 2\n");
    SceneItem *moon = Obj("Moon");
    ASSERT_NE(moon, nullptr);
    EXPECT_EQ(gCurrentPlanet, moon);
    EXPECT_FLOAT_EQ(moon->sim->radius, 200000.0f);
    EXPECT_FLOAT_EQ(moon->avatar->root->radius, 200000.0f);
    EXPECT_FLOAT_EQ(moon->sim->mass, 1000.0f * 1000.0f * 1000.0f * 3.14159f * 5500.0f);
    EXPECT_TRUE(moon->avatar->root->flags & TDPFlag::SkyWorld);
    EXPECT_STREQ(moon->avatar->root->materialName, "earth");
    EXPECT_EQ(moon->avatar->scale, 2);
    EXPECT_EQ(moon->avatar->collisionPriority, 88);
    EXPECT_EQ(moon->avatar->contactHandler, dunContactGravityBody);
    EXPECT_TRUE(moon->avatar->flags16 & AvatarState::GravityBody);
    EXPECT_EQ(moon->avatar->presentation, P3DPlaceSkyBody);
    EXPECT_EQ(gPlanetTextureRequest, 1);
    Start("SCENEITEM Sun\nPLANET Sun \"sun\" 4 0 ON\n");
    EXPECT_EQ(Obj("Sun")->avatar->presentation, P3DPlaceSkyBodyFull);
}

TEST_F(ObjectStatements, ScaleOnceRunsOnceAndTheNextStatementEveryTime) {
    ScriptToken *pc = Compile("MODEL Md\nVAR X\nCALL S\nCALL S\nBRA D\nS:\nSCALE_ONCE Md 200\nADD X 1\nRETURN\nD:\n");
    const ScriptToken *start = pc;
    ScriptProcessor(&pc, 0);
    EXPECT_EQ(Var("X"), 2);
    int remarks = 0;
    for (const ScriptToken &t : Statements(start)) remarks += t.code == Sc::Remark;
    EXPECT_EQ(remarks, 3) << "the statement and its two operands";
}

TEST_F(ObjectStatements, StarfieldClearsTheScreenOnlyInFlight) {
    std::vector<uint8_t> screen(64 * 48, 9);
    ScreenSurface = Surface{screen.data(), 64, 48, 0, 0, 64, 1};
    gInFrontEnd = 1;
    Start("STARFIELD 1200 ON\n");
    EXPECT_EQ(screen[100], 9);
    EXPECT_EQ(gP3D.nebulaOn, 0xFF);
    gInFrontEnd = 0;
    gLoading = 1;
    Start("STARFIELD 1200 OFF 0\n");
    EXPECT_EQ(screen[100], 0);
    EXPECT_EQ(gLoading, 0);
    EXPECT_EQ(gP3D.nebulaOn, 0);
    EXPECT_NE(FatalText([] { Start("STARFIELD 1200 5\n"); }).find("Unrecognized Token"), std::string::npos);
    ScreenSurface = Surface{};
}

TEST_F(ObjectStatements, StarfieldCountsScriptKindsFromOneAndTakesThePlayersSystemAtZero) {
    SceneItem *player = MakeObject("Ship");
    player->systemNumber = 1;
    dunPlayerShip = player;
    // Kind k of the script is nebula kind k - 1; -1 and -2 are the special
    // skies. The entry shows which ramps were filled.
    struct Case {
        const char *line;
        int16_t stars;
        int entry;
        uint8_t rgb[3];
    } cases[] = {
        {"STARFIELD 50 ON 3 45\n", 50, 207, {0, 0, 198 * 31 / 32}},  // kind 2: one ramp to (0, 0, 198)
        {"STARFIELD 9999 ON 1 0\n", 1200, 192, {65, 0, 0}},           // kind 0: its second ramp starts at B
        {"STARFIELD 10 ON -1 0\n", 10, 176, {30, 0, 0}},
        {"STARFIELD 10 ON -2 0\n", 10, 192, {0, 40, 80}},
        {"STARFIELD 10 ON 0\n", 10, 192, {15, 28, 51}},               // system 1 is kind 19
    };
    for (const Case &c : cases) {
        P3DResetSkyState();
        Start(c.line);
        EXPECT_EQ(gStars.count, c.stars) << c.line;
        const uint8_t *e = P3DSkyPalette() + 4 * c.entry;
        EXPECT_EQ(e[0], c.rgb[0]) << c.line;
        EXPECT_EQ(e[1], c.rgb[1]) << c.line;
        EXPECT_EQ(e[2], c.rgb[2]) << c.line;
    }
    // Switched off, the sky is left as it was.
    Start("STARFIELD 10 OFF 3 0\n");
    EXPECT_EQ(P3DSkyPalette()[4 * 192 + 2], 51);
}

TEST_F(ObjectStatements, AnLdsFieldWidensTheObjectAndGivesItTheScriptsGlobeOnce) {
    SceneItem *ship = MakeObject("Ship");
    TDP *root = dunAttachTDP(ship);
    ship->sim->radius = root->radius = 100;
    ship->flags |= 0x200;
    gScriptHud = nullptr;
    Start("ATTACH_LDS_FIELD Ship\n");
    EXPECT_EQ(ship->sim->radius, 600.0f);
    EXPECT_EQ(root->radius, 600.0f);
    EXPECT_EQ(ship->avatar->contactHandler, dunContactScripted);
    EXPECT_TRUE(root->flags & 0x8000);
    EXPECT_FALSE(ship->flags & 0x200);
    HUD *globe = gScriptHud;
    ASSERT_NE(globe, nullptr);
    Start("ATTACH_LDS_FIELD Ship OFF\n");
    EXPECT_EQ(ship->sim->radius, 100.0f);
    EXPECT_EQ(ship->avatar->contactHandler, dunCollideShips);
    EXPECT_TRUE(ship->flags & 0x200);
    Start("ATTACH_LDS_FIELD Ship ON\n");
    EXPECT_EQ(gScriptHud, globe) << "one globe a mission";
}

TEST_F(ObjectStatements, SizeRotRelAndNoContact) {
    SceneItem *ship = MakeObject("Ship");
    dunGameClock = 4321;
    Start("SIZE Ship 750\nROT_REL Ship 90 0 0\nNOCONTACT Ship OFF\n");
    EXPECT_EQ(ship->sim->radius, 750.0f);
    EXPECT_NEAR(std::fabs(ship->sim->matrix.m[8]), 1.0f, 1e-5);
    EXPECT_EQ(dunContactListChanged, 4321u);
    dunGameClock = 0;
}

}  // namespace
