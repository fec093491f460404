// The HUD's list and its per-frame pass: opening and closing, director mode,
// target changes, frozen games, records that leave the list during the
// pass, dead targets, placement and the list's limits.
#include <cmath>
#include <string>

#include "RES/font.h"
#include "RES/resman.h"
#include "hud_fixture.h"
#include "script/script.h"
#include "script/symbols.h"

namespace hudtest {
namespace {

using ruvotest::FatalError;

// What the pass did to the records, in order.
std::vector<std::string> gCalls;

std::string Name(const HUD *h) { return h->label ? h->label : "?"; }
void PerFrame(HUD *h) { gCalls.push_back("frame " + Name(h)); }
void Draw(HUD *h) { gCalls.push_back("draw " + Name(h)); }
void Rebuild(HUD *h, SceneItem *target, uint32_t parameter) {
    gCalls.push_back("rebuild " + Name(h) + (target ? " target" : " none") + " " + std::to_string(parameter));
}
void TakesItselfOut(HUD *h) {
    PerFrame(h);
    hudRemove(h);
}

class HudList : public HudTest {
protected:
    void SetUp() override {
        HudTest::SetUp();
        gCalls.clear();
    }
    HUD *Recording(const char *label, HudRoutine perFrame = PerFrame) {
        HUD *h = Listed();
        h->label = label;
        h->perFrame = perFrame;
        h->draw = Draw;
        return h;
    }
    void Frames(int n) {
        for (int i = 0; i < n; ++i) hudDrawAll();
    }
    int Draws() const {
        int n = 0;
        for (const std::string &c : gCalls) n += c.rfind("draw", 0) == 0;
        return n;
    }
    // The overlay (frame corners) was drawn at the top left.
    bool OverlayDrawn() const { return canvas.At(4, 4) != 0; }
};

TEST_F(HudList, TheFirstRecordOpensTheHudOver100Centiseconds) {
    hudOpen = 1;
    Recording("A");
    EXPECT_EQ(hudOpen, 0);
    EXPECT_EQ(hudAnimDirection, 1);
    EXPECT_EQ(hudAnimCounter, 0);
    // Ten frames of 10 cs bring the counter to 100, which is not past it.
    Frames(10);
    EXPECT_EQ(Draws(), 0);
    EXPECT_EQ(hudAnimCounter, 100);
    hudDrawAll();
    EXPECT_EQ(hudOpen, 1);
    EXPECT_EQ(hudAnimDirection, 0);
    EXPECT_EQ(Draws(), 1);
    // A second registration does not start the opening again.
    Recording("B");
    EXPECT_EQ(hudOpen, 1);
}

TEST_F(HudList, TheKeyRestartsAnOpeningAndClosesAnOpenHud) {
    Recording("A");
    Frames(5);
    hudToggleOpen();
    EXPECT_EQ(hudAnimCounter, 0);
    EXPECT_EQ(hudAnimDirection, 1);
    Frames(11);
    ASSERT_EQ(hudOpen, 1);
    gCalls.clear();
    hudToggleOpen();
    EXPECT_EQ(hudOpen, 0);
    EXPECT_EQ(hudAnimCounter, 100);
    EXPECT_EQ(hudAnimDirection, -1);
    Frames(10);
    EXPECT_EQ(hudAnimDirection, -1);  // counter 0: not below it yet
    hudDrawAll();
    EXPECT_EQ(hudAnimDirection, 0);
    EXPECT_EQ(Draws(), 0);
    // Ignored in the full-screen view and once the mission ends.
    gGuiFullScreen = 1;
    hudToggleOpen();
    gGuiFullScreen = 0;
    gMissionEndState = 1;
    hudToggleOpen();
    EXPECT_EQ(hudAnimDirection, 0);
    EXPECT_EQ(hudOpen, 0);
}

TEST_F(HudList, DirectorModeShowsTheCaptionOnlyAndDeliversATargetChangeAfterwards) {
    HUD *h = Recording("A");
    h->rebuild = Rebuild;
    h->parameter = 7;
    h->flags |= HudFlag::Untargeted;
    hudOpen = 1;
    hudDrawAll();
    ASSERT_TRUE(OverlayDrawn());
    Clear();
    gCalls.clear();
    gCinematicView = 1;
    SceneItem *enemy = Ship(0, 0, 50000, 100);
    dunCurrentContact = &AddContact(enemy);
    hudTargetChanged = 1;
    Frames(2);
    EXPECT_TRUE(gCalls.empty());
    EXPECT_FALSE(OverlayDrawn());
    EXPECT_EQ(hudTargetChanged, 1);
    gCinematicView = 0;
    hudDrawAll();
    EXPECT_EQ(gCalls, (std::vector<std::string>{"frame A", "draw A", "rebuild A target 7"}));
    EXPECT_TRUE(OverlayDrawn());
    EXPECT_EQ(hudTargetChanged, 0);
    gCalls.clear();
    hudDrawAll();
    EXPECT_EQ(gCalls, (std::vector<std::string>{"frame A", "draw A"}));
}

TEST_F(HudList, ARecordOnTheControlledObjectRunsButIsNotDrawn) {
    HUD *h = Recording("A");
    h->target = player;
    h->rebuild = Rebuild;
    hudOpen = 1;
    hudTargetChanged = 1;
    hudDrawAll();
    EXPECT_EQ(gCalls, (std::vector<std::string>{"frame A", "rebuild A none 0"}));
}

TEST_F(HudList, AFrozenGameRunsNoPerFrameRoutineButStillDraws) {
    Recording("A");
    hudOpen = 1;
    dunFrozen = 1;
    hudDrawAll();
    EXPECT_EQ(gCalls, (std::vector<std::string>{"draw A"}));
}

TEST_F(HudList, ARecordThatLeavesDuringThePassIsNeitherDrawnNorSkipsTheNext) {
    Recording("A");
    HUD *b = Recording("B", TakesItselfOut);
    Recording("C", TakesItselfOut);
    Recording("D");
    hudOpen = 1;
    hudDrawAll();
    EXPECT_EQ(gCalls, (std::vector<std::string>{"frame A", "draw A", "frame B", "frame C", "frame D", "draw D"}));
    EXPECT_EQ(hudCount, 2);
    EXPECT_FALSE(b->flags & HudFlag::InUse);
    // The same through the placement of a record whose target died.
    gCalls.clear();
    SceneItem *gone = Object(0, 0, 10000);
    HUD *e = Listed();
    e->label = "E";
    e->target = gone;
    e->perFrame = hudPlaceOnTarget;
    e->draw = Draw;
    Recording("F");
    dunDeleteSceneItem(gone);
    hudDrawAll();
    EXPECT_EQ(gCalls, (std::vector<std::string>{"frame A", "draw A", "frame D", "draw D", "frame F", "draw F"}));
}

TEST_F(HudList, ADeadTargetDropsTheRecordButTheOutlineKeepsItsRecord) {
    SceneItem *target = Ship(0, 0, 10000, 100);
    HUD *marker = Listed();
    hudInitMarker(marker, "M", target, 0);
    HUD *outline = Listed();
    hudInitTargetOutline(outline, target, 0);
    HUD *gnomon = Listed();
    hudInitGnomon(gnomon, target, 0);
    gnomon->perFrame = nullptr;  // kept by the live-ship test alone
    dunDeleteSceneItem(target);
    hudOpen = 1;
    hudDrawAll();
    EXPECT_EQ(hudCount, 2);
    EXPECT_FALSE(marker->flags & HudFlag::InUse);
    EXPECT_EQ(marker->target, nullptr);
    EXPECT_TRUE(outline->flags & HudFlag::InUse);
    EXPECT_EQ(hudList[0], outline);
    EXPECT_EQ(hudList[1], gnomon);
}

TEST_F(HudList, DrawOneSkipsWhatHasNothingToShow) {
    SceneItem *ship = Ship(0, 0, 10000, 100), *rock = Object(0, 0, 10000);
    struct Case {
        uint32_t flags;
        bool rebuild;
        SceneItem *target;
        bool drawn;
    } const cases[] = {
        {0, false, nullptr, true},
        {HudFlag::Hidden, false, ship, false},
        {0, true, nullptr, false},
        {HudFlag::Untargeted, true, nullptr, true},
        {HudFlag::Untargeted2, true, nullptr, true},
        {0, true, ship, true},
        {HudFlag::LiveShip, false, ship, true},
        {HudFlag::LiveShip, false, rock, false},
        {HudFlag::LiveShip, false, nullptr, false},
    };
    HUD h{};
    h.label = "X";
    h.draw = Draw;
    for (const Case &c : cases) {
        gCalls.clear();
        h.flags = c.flags;
        h.rebuild = c.rebuild ? Rebuild : nullptr;
        h.target = c.target;
        hudDrawOne(&h);
        EXPECT_EQ(gCalls.size(), c.drawn ? 1u : 0u) << c.flags << " " << c.rebuild;
    }
}

TEST_F(HudList, RemovalsShowingAndHiding) {
    HUD *a = Recording("A");
    HUD stray{};
    EXPECT_EQ(hudRemove(&stray), 0);
    EXPECT_EQ(hudCount, 1);
    HUD *b = Recording("B");
    hudHideAll();
    EXPECT_EQ(hudOpen, 0);
    EXPECT_TRUE(a->flags & HudFlag::Hidden);
    EXPECT_TRUE(b->flags & HudFlag::Hidden);
    hudShowAll();
    EXPECT_EQ(hudOpen, 1);
    EXPECT_FALSE(b->flags & HudFlag::Hidden);
    EXPECT_EQ(hudRemove(a), 1);
    EXPECT_EQ(hudList[0], b);
    EXPECT_FALSE(a->flags & HudFlag::InUse);
    hudClearList();
    EXPECT_EQ(hudCount, 0);
    EXPECT_FALSE(b->flags & HudFlag::InUse);
}

TEST_F(HudList, OffSystemMarkersLeaveTheListAdjacentOnesToo) {
    SceneItem *here = Object(0, 0, 1), *away = Object(0, 0, 2), *away2 = Object(0, 0, 3), *kept = Object(0, 0, 4),
              *gone = Object(0, 0, 5);
    away->systemNumber = away2->systemNumber = kept->systemNumber = 3;
    kept->flags |= SceneFlag::KeepAcrossSystems;
    HUD *m[5];
    SceneItem *targets[5] = {here, away, away2, gone, kept};
    for (int i = 0; i < 5; ++i) {
        m[i] = Listed();
        hudInitMarker(m[i], "M", targets[i], 0);
    }
    HUD *other = Recording("other");
    other->target = away;
    dunDeleteSceneItem(gone);
    hudRemoveOffSystemMarkers();
    ASSERT_EQ(hudCount, 3);
    EXPECT_EQ(hudList[0], m[0]);
    EXPECT_EQ(hudList[1], m[4]);
    EXPECT_EQ(hudList[2], other);
}

TEST_F(HudList, TheWorldsShiftMovesOnlyWorldAnchoredRecords) {
    HUD *anchored = Listed(), *plain = Listed();
    anchored->flags |= HudFlag::WorldAnchored;
    anchored->pointCount = plain->pointCount = 2;
    anchored->points[1].world = plain->points[1].world = {1, 2, 3};
    hudShiftPositions(10, 20, 30);
    EXPECT_FLOAT_EQ(anchored->points[1].world.x, 11);
    EXPECT_FLOAT_EQ(anchored->points[1].world.z, 33);
    EXPECT_FLOAT_EQ(plain->points[1].world.x, 1);
}

TEST_F(HudList, PlacementTurnsAndMovesThePointsWithTheTarget) {
    SceneItem *t = Object(1e9, 2.5, -3);
    MatRotationY(90, t->sim->matrix);
    HUD *h = Listed();
    h->target = t;
    h->pointCount = 1;
    h->points[0].local = {100, 0, 0};
    hudPlaceOnTarget(h);
    Vec3 turned;
    MatTransformPointTransposed(turned, {100, 0, 0}, t->sim->matrix);
    EXPECT_FLOAT_EQ(h->points[0].world.x, float(1e9 + turned.x));
    EXPECT_FLOAT_EQ(h->points[0].world.y, 2.5f + turned.y);
    EXPECT_NEAR(h->points[0].world.z, -3 + turned.z, 1e-3);
    EXPECT_NEAR(std::fabs(turned.z), 100, 1e-3);  // the point was turned
}

// The player's place going to another ship takes the records that
// followed the one along to the other.
TEST_F(HudList, TheRecordsOfOneShipGoToAnother) {
    SceneItem *from = Object(0, 0, 0), *to = Object(5, 0, 0), *third = Object(9, 0, 0);
    HUD *a = Listed(), *b = Listed(), *c = Listed();
    a->target = from;
    b->target = third;
    c->target = from;
    hudMoveRecord(from, to);
    EXPECT_EQ(a->target, to);
    EXPECT_EQ(b->target, third);
    EXPECT_EQ(c->target, to);
    hudMoveRecord(nullptr, third);
    EXPECT_EQ(a->target, to);
}

TEST_F(HudList, The257thRegistrationIsFatal) {
    HUD records[2];
    for (int i = 0; i < kMaxHudElements; ++i) hudRegister(&records[i % 2]);
    try {
        hudRegister(&records[0]);
        FAIL() << "no fatal error";
    } catch (const FatalError &e) {
        EXPECT_STREQ(e.what(), "Exceeded Max no. of HUDs");
    }
    EXPECT_EQ(hudCount, kMaxHudElements);
    hudClearList();
}

// The game's fonts are read from their resources at every pass: a mission's
// release empties the resource, and the HUD holds no freed font.
TEST_F(HudList, TheFontsFollowTheirResources) {
    InitializeScriptSystem();
    BitmapFont first{}, second{};
    ResourceHandle handle{};
    handle.data = &first;
    ScriptSetSymbolThing(AddScriptSymbol("BFont", nullptr, 0), &handle);
    Recording("A");
    EXPECT_EQ(HudFont, &first);
    handle.data = nullptr;  // released
    hudDrawAll();
    EXPECT_EQ(HudFont, nullptr);
    handle.data = &second;  // loaded again
    hudDrawAll();
    EXPECT_EQ(HudFont, &second);
    // A new mission's world forgets them.
    hudClearList();
    EXPECT_EQ(HudFont, nullptr);
    FreeScriptBuffers();
}

TEST_F(HudList, NoHudLeavesTheOverlayOnly) {
    Recording("A");
    hudOpen = 1;
    optNoHud = 1;
    hudDrawAll();
    EXPECT_TRUE(gCalls.empty());
    EXPECT_TRUE(OverlayDrawn());
}

TEST_F(HudList, AViewWindowsRecordIsProjectedWithTheViewsFactorAndDrawnThere) {
    HUD *orb = dunAllocHUD();
    hudInitOrbSphere(orb, nullptr, 0, 6500);
    gP3D.viewRect[0] = 100, gP3D.viewRect[1] = 100, gP3D.viewRect[2] = 299, gP3D.viewRect[3] = 299;
    vt_pixelmap window{};
    window.base_x = 100, window.base_y = 100, window.width = 200, window.height = 200;
    window.origin_x = window.origin_y = 100;
    gP3D.colourTarget = &window;
    gP3D.projectionScale = 345.244f;
    hudDrawInView(orb);
    // The sphere (radius 1000 at 6500) lies round the window's centre.
    const float r = 1000 * 345.244f / 6500;
    EXPECT_GT(InkIn(100, 100, 299, 299), 100);
    EXPECT_EQ(InkIn(0, 0, 639, 99), 0);
    EXPECT_EQ(InkIn(197, 200 - int(r) - 4, 203, 200 - int(r) - 3), 0);
    EXPECT_NE(InkIn(197, 200 - int(r) - 1, 203, 200 - int(r) + 1), 0);
    // The view's state is as it was.
    EXPECT_EQ(HudPixelmap, &view);
    EXPECT_EQ(HudViewRect.left, 0);
    // Nothing without a controlled object.
    Clear();
    dunControlledObject = nullptr;
    hudDrawInView(orb);
    EXPECT_EQ(InkIn(0, 0, 639, 479), 0);
}

}  // namespace
}  // namespace hudtest
