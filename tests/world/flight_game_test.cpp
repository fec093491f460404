// The sample mission's player ship ("CREATE_SHIP Player ... 0 0 0" with
// "ENGINE Player 7000 500 0 0 90 90 90 700") flown through the world's step
// by key messages and the stick, against a reference computation of the
// same thrust and turn.
#include <cmath>

#include "flight_fixture.h"

namespace {

class SamplePlayerFlight : public FlightTest {
protected:
    static void Key(uint8_t scan, bool down) {
        if (down)
            OnKeyDown(nullptr, 0, 1, scan, scan);
        else
            OnKeyUp(nullptr, 0, 1, scan, scan);
    }
};

}  // namespace

TEST_F(SamplePlayerFlight, KeysAndStickFlyWhereTheReferenceSays) {
    SceneItem *player = PlayerShip();
    const double dt = 0.1, thrust = 7000.0, maxRate = 90.0;
    dunFrameStep = 10;
    dunFrameSeconds = float(dt);

    // 3 s on the thrust key, straight ahead.
    Key(0x39, true);
    for (int i = 0; i < 30; ++i) Frame();
    Key(0x39, false);
    double vz = 30 * thrust * dt, z = 0;
    for (int k = 1; k <= 30; ++k) z += k * thrust * dt * dt;

    // 2 s of half stick to pitch, then 10 s to let the turn run out; the
    // ship coasts meanwhile. The reference follows the same laws: the
    // command moves 1/8 towards the stick, the rate at most 9 per step.
    const double stick = 164.0;
    double demand = 0, rate = 0, pitch = 0;
    for (int i = 0; i < 120; ++i) {
        dunStickY = i < 20 ? float(stick) : 0.0f;
        Frame();
        demand += ((i < 20 ? stick : 0.0) - demand) / 8.0;
        const double target = demand * 0.01 * maxRate;
        const double d = target - rate;
        rate = std::fabs(d) >= maxRate * dt ? rate + (d > 0 ? maxRate * dt : -maxRate * dt) : target;
        pitch += rate * dt;
        z += vz * dt;
    }
    ASSERT_GT(pitch, 30.0);
    ASSERT_LT(std::fabs(rate), 1e-3);
    // A pitch about X turns the forward axis from +Z towards -Y.
    const double fy = -std::sin(pitch * M_PI / 180.0), fz = std::cos(pitch * M_PI / 180.0);
    EXPECT_NEAR(Forward(player).y, fy, 1e-4);
    EXPECT_NEAR(Forward(player).z, fz, 1e-4);

    // 3 s more on the thrust key along the new heading.
    Key(0x39, true);
    double y = 0, vy = 0;
    for (int k = 1; k <= 30; ++k) {
        Frame();
        vy += fy * thrust * dt;
        vz += fz * thrust * dt;
        y += vy * dt;
        z += vz * dt;
    }
    Key(0x39, false);

    const Vec3d &p = player->sim->position;
    EXPECT_NEAR(p.x, 0.0, 1e-6);
    EXPECT_NEAR(p.y, y, std::fabs(y) * 1e-4 + 1.0);
    EXPECT_NEAR(p.z, z, z * 1e-4);
    EXPECT_NEAR(player->sim->velocity.y, vy, std::fabs(vy) * 1e-4 + 0.5);
    EXPECT_NEAR(player->sim->velocity.z, vz, vz * 1e-4);
}
