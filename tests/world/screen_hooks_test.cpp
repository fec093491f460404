#include <string>
#include <vector>

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

}  // namespace
