#include <string>
#include <vector>

#include "world/mission_state.h"
#include "world/services.h"
#include "world_fakes.h"
#include "world_fixture.h"

namespace {

// The screens hear of the lost ship while it is still the player's ship, and
// are handed the wreck to follow once it has taken its place (the event
// camera takes it after them); a world reset empties the HUD through them
// too.
TEST_F(WorldTest, TheWreckTellsTheScreensAboveInOrder) {
    WorldFakes above;
    SceneItem *ship = MakeObject();
    dunPlayerShip = dunControlledObject = ship;
    dunDeleteSceneItem(ship);
    SceneItem *wreck = dunPlayerShip;
    ASSERT_NE(wreck, ship);
    std::vector<std::string> screens;
    for (const std::string &n : above.Names())
        if (n == "playerShipLost" || n == "followWreck" || n == "eventCamera") screens.push_back(n);
    EXPECT_EQ(screens, (std::vector<std::string>{"playerShipLost", "followWreck", "eventCamera"}));
    EXPECT_EQ(above.Find("playerShipLost")->item, ship);
    EXPECT_EQ(above.Find("followWreck")->item, wreck);
    EXPECT_EQ(above.Find("followWreck")->other, wreck);  // already the player's ship
    const int clears = above.hudClears;
    dunResetWorld();
    EXPECT_EQ(above.hudClears, clears + 1);
}

// The AI's control routines, the stock dialogue and the parts of a loss
// that are the script's and the AI's go through their tables.
TEST_F(WorldTest, TheStepAndALossReachTheAiAndTheScriptThroughTheirTables) {
    WorldFakes above;
    SceneItem *brain = MakeObject(), *free = MakeObject();
    brain->control = SceneRoutineTable[3].routine;  // CONTROL_AI
    free->control = SceneRoutineTable[4].routine;   // CONTROL_AIFREE
    dunStockDialogueRequest = 1;
    dunSimulationStep();
    dunSimulationStep();
    ASSERT_EQ(above.Count("think"), 2);
    EXPECT_EQ(above.Find("think")->item, brain);
    ASSERT_EQ(above.Count("thinkFree"), 2);
    EXPECT_EQ(above.Find("thinkFree")->item, free);
    EXPECT_EQ(above.Count("runStockDialogue"), 1) << "once per request";
    EXPECT_EQ(dunStockDialogueRequest, 0);

    SceneItem *ship = MakeObject();
    ship->sim->shipInfo = dunAllocShipInfo();
    dunPlayerShip = dunControlledObject = ship;
    dunDeleteSceneItem(ship);
    SceneItem *wreck = dunPlayerShip;
    ASSERT_NE(wreck, ship);
    for (const char *name : {"removeContact", "clearWeapons", "cancelDialogue"}) {
        ASSERT_NE(above.Find(name), nullptr) << name;
        EXPECT_EQ(above.Find(name)->item, ship) << name;
    }
    EXPECT_EQ(above.Find("symbolValue")->text, "CorpseMd");
    EXPECT_EQ(above.Find("defaultShipClassSetup")->item, wreck);
    EXPECT_EQ(above.Find("defaultShipClassSetup")->text, "Debris");
}

// Tests and a game without a floor above run with the tables empty: the
// step of an AI ship, a stock dialogue request, the loss of the player's
// ship and the reset call nothing, and the world's own part still happens.
TEST_F(WorldTest, WithNoTableTheStepALossAndTheResetCallNothingAbove) {
    SceneItem *brain = MakeObject();
    brain->control = SceneRoutineTable[3].routine;
    dunStockDialogueRequest = 1;
    for (int i = 0; i < 3; ++i) dunSimulationStep();
    EXPECT_EQ(dunStockDialogueRequest, 0);
    SceneItem *ship = MakeObject(SceneFlag::Counted);
    ship->sim->shipInfo = dunAllocShipInfo();
    dunMissionCounter = 1;
    dunPlayerShip = dunControlledObject = ship;
    dunDeleteSceneItem(ship);
    EXPECT_NE(dunPlayerShip, ship);
    EXPECT_EQ(dunMissionCounter, 0);
    EXPECT_EQ(dunMissionEndCountdown, 1000);
    EXPECT_EQ(dunPlayerShip->avatar->root->routine, nullptr) << "no presentation: no actor to follow";
    dunSimulationStep();
    dunResetWorld();
    EXPECT_EQ(dunPlayerShip, nullptr);
}

}  // namespace
