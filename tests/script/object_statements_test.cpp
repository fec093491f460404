// The object statements the ships stand on: cameras and placement.
#include "present/cameras.h"
#include "present/scene.h"
#include "script/objects.h"
#include "script_fixture.h"

using namespace scripttest;

namespace {

class ObjectStatements : public ScriptTest {
protected:
    void SetUp() override {
        ScriptTest::SetUp();
        dunPlayerCamera = dunWeaponCamera = dunViewCamera = nullptr;
        gPlacementMode = 0xFF;
        gPlacementReference = nullptr;
    }
    void TearDown() override {
        dunPlayerCamera = dunWeaponCamera = dunViewCamera = nullptr;
        ScriptTest::TearDown();
    }
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

}  // namespace
