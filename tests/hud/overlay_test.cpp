// The cockpit status overlay: the frame-step figure, the missile list and
// its range formats, the emergency blink, the marquee, time left and the FTL
// signal, the throttle scale and drag in both drive modes, the read-out's
// names, and a whole overlay drawn over the test screen.
#include <cmath>
#include <string>

#include "gui/nav.h"
#include "hud/missionlog.h"
#include "hud/overlay.h"
#include "hud_fixture.h"

namespace {

using hudtest::HudTest;

class Overlay : public HudTest {
protected:
    SceneItem *Ship(const char *name) {
        SceneItem *s = dunCreateSceneItem();
        dunLinkSceneItem(s, 0);
        dunAttachSim(s, nullptr);
        s->sim->shipInfo = dunAllocShipInfo();
        s->sim->shipInfo->name = name;
        s->sim->flight = &s->sim->shipInfo->current;
        return s;
    }
};

std::string Str(void (*fn)(char *, size_t, int32_t), int32_t v) {
    char text[64];
    fn(text, sizeof text, v);
    return text;
}

TEST_F(Overlay, TheFrameStepFigure) {
    EXPECT_EQ(Str(hudFrameStepText, 0), "100");
    EXPECT_EQ(Str(hudFrameStepText, 2), "50");
    EXPECT_EQ(Str(hudFrameStepText, 20), "05");
}

TEST_F(Overlay, MissileRanges) {
    struct Case {
        float range;
        const char *text;
    };
    const Case cases[] = {{150000000.0f, "R: 1.5KK"}, {99000000.0f, "R: 990.0"}, {100000000.0f, "R: 1.0KK"},
                          {0.0f, "R: 0.0"}, {250000.0f, "R: 2.5"}};
    for (const Case &c : cases) {
        char text[32];
        hudMissileRangeText(text, sizeof text, c.range);
        EXPECT_STREQ(text, c.text);
    }
}

TEST_F(Overlay, TheMissileListShowsFiveAndEmptiesEveryFrame) {
    SceneItem *goal = Ship("goal");
    goal->sim->position = {0, 0, 300000};
    for (int i = 0; i < 14; ++i) hudListMissile(Ship("MAG"), goal, 0);
    EXPECT_EQ(hudMissileCount, kHudMissileSlots);  // the list holds twelve
    EXPECT_FLOAT_EQ(hudMissiles[0].range, 300000.0f);
    hudListMissile(nullptr, goal, 0);
    EXPECT_EQ(hudMissileCount, kHudMissileSlots);
    hudDrawCockpitOverlay();
    EXPECT_EQ(hudMissileCount, 0);
    hudListMissile(Ship("MAG"), nullptr, 0);  // a goal already gone: range 0
    EXPECT_EQ(hudMissiles[0].range, 0.0f);
    hudDrawCockpitOverlay();
    EXPECT_EQ(hudMissileCount, 0);
}

TEST_F(Overlay, TheEmergencyLineBlinksOncePerSecond) {
    int on = 0;
    for (int32_t t = 0; t < 100; ++t) on += hudEmergencyBlinkOn(t);
    EXPECT_EQ(on, 49);  // 51..99
    EXPECT_FALSE(hudEmergencyBlinkOn(1050));
    EXPECT_TRUE(hudEmergencyBlinkOn(1051));
}

TEST_F(Overlay, TheMarqueeWraps) {
    const int width = 700;
    // Before drawing, an offset of width + 15 or more starts over.
    EXPECT_EQ(hudMarqueeBefore(714, width), 714);
    EXPECT_EQ(hudMarqueeBefore(715, width), 0);
    // After drawing, it grows by half the frame step, and 2 x width + 15 is 0.
    EXPECT_EQ(hudMarqueeAfter(100, width, 10), 105);
    EXPECT_EQ(hudMarqueeAfter(1410, width, 10), 0);
    EXPECT_EQ(hudMarqueeAfter(1409, width, 1), 1409);
    // Many frames never take it past the second copy.
    int32_t offset = 0;
    for (int i = 0; i < 1000; ++i) {
        offset = hudMarqueeBefore(offset, width);
        EXPECT_LT(offset, width + 15);
        offset = hudMarqueeAfter(offset, width, 20);
    }
}

TEST_F(Overlay, TimeLeftAndTheFtlSignal) {
    struct Case {
        int32_t target, now;
        uint16_t language;
        const char *text;
    };
    const Case cases[] = {{30000, 6000, 0, "Time Left: 4:00"},
                          {30000, 29950, 0, "Time Left: 0:00"},
                          {30000, 40000, 0, "Time Left: 0:00"},  // past: never negative
                          {12345, 0, 1, "Temps restant: 2:03"},
                          {12345, 0, 2, "verbleibende Zeit: 2:03"}};
    for (const Case &c : cases) {
        gLanguage = c.language;
        char text[64];
        hudTimeLeftText(text, sizeof text, c.target, c.now);
        EXPECT_STREQ(text, c.text);
    }
    gLanguage = 0;
    EXPECT_FLOAT_EQ(hudFtlStrength(0.0), 100.0f);
    EXPECT_FLOAT_EQ(hudFtlStrength(6e8), 25.0f);
    EXPECT_NEAR(hudFtlStrength(1.8e9), 6.25f, 1e-4);
}

TEST_F(Overlay, ThrottleMarkersClampAndSurviveZero) {
    EXPECT_EQ(hudThrustMarker(32500, 65000), 25);
    EXPECT_EQ(hudThrustMarker(200000, 65000), 50);
    EXPECT_EQ(hudThrustMarker(-200000, 65000), -50);
    EXPECT_EQ(hudThrustMarker(1000, 0), 0);  // no top speed
    EXPECT_EQ(hudThrustScale(0), 0.0f);
    EXPECT_EQ(hudThrustScale(65000), 1300.0f);
    EXPECT_EQ(hudLdsMarker(1e5f), 0);
    EXPECT_EQ(hudLdsMarker(1e7f), 40);
    EXPECT_EQ(hudLdsMarker(0.0f), 0);  // a stopped drive: no log of 0
}

TEST_F(Overlay, DraggingTheThrottleInBothModes) {
    SceneItem *ship = Ship("player");
    dunControlledObject = dunPlayerShip = ship;
    Sim *s = ship->sim;
    s->flight->p4 = 100000000;
    s->flightMode = 0;
    hudThrottleBox[0] = 28, hudThrottleBox[1] = 125, hudThrottleBox[2] = 71, hudThrottleBox[3] = 135;
    hudThrottleOrigin = 180.0f;
    hudThrottleScale = 1300.0f;
    HudThrottleDrag = 0;
    // Pressed outside the box: nothing.
    hudThrottleDragStep(s, 10, 130, true);
    EXPECT_EQ(HudThrottleDrag, 0);
    EXPECT_EQ(s->setSpeed, 0.0f);
    // On the box's edge is not inside it.
    hudThrottleDragStep(s, 28, 130, true);
    EXPECT_EQ(HudThrottleDrag, 0);
    // Inside: the drag holds, and follows the mouse out of the box.
    hudThrottleDragStep(s, 50, 130, true);
    EXPECT_EQ(HudThrottleDrag, 1);
    EXPECT_FLOAT_EQ(s->setSpeed, 50 * 1300.0f);
    hudThrottleDragStep(s, 300, 200, true);
    EXPECT_FLOAT_EQ(s->setSpeed, -20 * 1300.0f);
    // The navigation station's range applies (assisted flight: +-2500).
    s->flightMode = 2;
    hudThrottleDragStep(s, 300, 130, true);
    EXPECT_FLOAT_EQ(s->setSpeed, 2500.0f);
    // Released: the flag clears and the speed stays.
    hudThrottleDragStep(s, 50, 130, false);
    EXPECT_EQ(HudThrottleDrag, 0);
    EXPECT_FLOAT_EQ(s->setSpeed, 2500.0f);
    // The LDS scale: 10 ^ (pulled x 0.05 + 5).
    s->flags |= SimFlag::Lds;
    hudThrottleOrigin = 200.0f;
    hudThrottleScale = 0.05f;
    hudThrottleDragStep(s, 50, 130, true);
    hudThrottleDragStep(s, 50, 160, true);
    EXPECT_NEAR(s->setSpeed, 1e7f, 1e7f * 1e-5f);
    dunControlledObject = dunPlayerShip = nullptr;
}

TEST_F(Overlay, ReadoutNames) {
    SceneItem *named = Ship("Kestrel");
    SceneItem *plain = dunCreateSceneItem();
    dunLinkSceneItem(plain, 0);
    static const char *const kSymbol[2] = {"Beacon7", nullptr};
    static const char *const kEmpty[2] = {"", nullptr};
    EXPECT_STREQ(hudReadoutName(nullptr), "NONE");
    EXPECT_STREQ(hudReadoutName(named), "Kestrel");
    EXPECT_STREQ(hudReadoutName(plain), "UNNAMED");
    plain->linkRecord = const_cast<const char **>(kSymbol);
    EXPECT_STREQ(hudReadoutName(plain), "Beacon7");
    plain->linkRecord = const_cast<const char **>(kEmpty);
    EXPECT_STREQ(hudReadoutName(plain), "UNNAMED");
    plain->linkRecord = nullptr;
}

// The whole overlay over a flying ship, at each debug level, in both drives.
TEST_F(Overlay, TheWholeOverlayDraws) {
    SceneItem *ship = Ship("player");
    dunControlledObject = dunPlayerShip = ship;
    ship->sim->shipInfo->damage.maximum = 100;
    ship->sim->shipInfo->damage.damage = 30;
    ship->sim->flight->p8x100 = 0;  // no top speed
    gTargetTime = 30000;
    gWaypointCount = 3;
    for (int16_t level = 0; level < 4; ++level) {
        HudDebugLevel = level;
        dunFrameStep = level == 1 ? 0 : 10;
        hudDrawCockpitOverlay();
        ship->sim->flags ^= SimFlag::Lds;
        hudDrawCockpitOverlay();
    }
    HudDebugLevel = 0;
    gTargetTime = 0;
    gWaypointCount = -1;
    dunControlledObject = dunPlayerShip = nullptr;
    hudDrawCockpitOverlay();  // nothing controlled
}

}  // namespace
