#include <string>
#include <vector>

#include "world_fixture.h"

namespace {

std::vector<std::string> calls;

// The screens hear of the lost ship before the wreck becomes the player's
// ship, and are handed the wreck to follow after; a world reset empties the
// HUD through them too.
TEST_F(WorldTest, TheWreckTellsTheScreensAboveInOrder) {
    calls.clear();
    WorldScreenHooks screens{};
    screens.playerShipLost = [] { calls.push_back(dunPlayerDestroyed ? "lost late" : "lost"); };
    screens.followWreck = [](SceneItem *wreck) {
        calls.push_back(wreck == dunPlayerShip && wreck == dunControlledObject ? "follow" : "follow other");
    };
    screens.clearHud = [] { calls.push_back("clear hud"); };
    WorldSetScreenHooks(&screens);
    SceneItem *ship = MakeObject();
    dunPlayerShip = dunControlledObject = ship;
    dunDeleteSceneItem(ship);
    EXPECT_NE(dunPlayerShip, ship);
    dunResetWorld();
    EXPECT_EQ(calls, (std::vector<std::string>{"lost", "follow", "clear hud"}));
    WorldSetScreenHooks(nullptr);
}

}  // namespace
