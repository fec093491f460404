// The station read-outs drawn into 8-bit and 16-bit surfaces: what they
// read (contacts, the engineering network, repair teams, weapons, the
// checkpoint list) and where, checked by sampled pixels.
#include <cstring>

#include "ai/contacts.h"
#include "gui/cockpit.h"
#include "gui_fixture.h"
#include "world/engineering.h"
#include "world/objlist.h"
#include "world/records.h"

namespace guitest {
namespace {

class ReadoutTest : public GuiTest, public testing::WithParamInterface<int> {
protected:
    BlockFont font;
    SceneItem ship{}, other{};
    Sim shipSim{}, otherSim{};
    ShipInfo otherInfo{};
    Weapon weapons[3]{};
    EngComponent parts[4]{};
    Contact contact{};
    void SetUp() override {
        GuiTest::SetUp();
        UseCanvas(640, 480, GetParam());
        guiResetWindows();
        MakeRoot()->draw = nullptr;
        ship.sim = &shipSim;
        other.sim = &otherSim;
        otherInfo.name = "Kestrel";
        otherSim.shipInfo = &otherInfo;
        otherSim.approxSpeed = 12300;
        otherSim.hull = 70;
        for (int i = 0; i < 3; ++i) {
            weapons[i].name = "PBC";
            weapons[i].next = i < 2 ? &weapons[i + 1] : nullptr;
        }
        weapons[2].mountCode = 5;  // faces aft
        shipSim.weapons = weapons;
        shipSim.weaponCount = 3;
        const float health[4] = {1.0f, 0.7f, 0.3f, 0.1f};
        for (int i = 0; i < 4; ++i) {
            parts[i].names[0] = parts[i].names[1] = parts[i].names[2] = "PART";
            parts[i].health = health[i];
            dunComponentTable[i] = &parts[i];
        }
        dunComponentTableCount = 4;
        dunPlayerShip = dunEngineeringShip = &ship;
        contact.object = &other;
        contact.flags = ContactFlag::InUse;
        contact.side = 0x100;  // colour 64, filled in 53
    }
    void TearDown() override {
        dunPlayerShip = dunEngineeringShip = nullptr;
        dunComponentTableCount = 0;
        for (EngComponent *&c : dunComponentTable) c = nullptr;
        for (RepairTeam &t : dunRepairTeams) t = RepairTeam{};
        gGuiSaveCount = 0;
        gGuiSaveChosen = -1;
        gGuiEngFocus = nullptr;
        gGuiEngViewMask = 0x3F;
        gGuiEngTeam = 1;
        GuiTest::TearDown();
    }
    unsigned C(int index) const {
        return GetParam() == 8 ? (unsigned)index : PaletteToRgb565(CurrentPalette, (unsigned)index);
    }
    unsigned At(int x, int y) const { return canvas.At(x, y); }
    GuiWindow *Win(GuiDrawProc draw, int16_t x = 100, int16_t y = 100, int16_t w = 200, int16_t h = 20) {
        GuiWindow *win = Make(x, y, w, h, GUI_TOP_L, nullptr, draw);
        win->font = &font.handle;
        return win;
    }
};

TEST_P(ReadoutTest, ContactRowsBlinkInTheirSideColourAndSlotsClearWithoutOne) {
    GuiWindow *row = Win(guiDrawContactRow);  // 100..299 x 100..119
    row->userPtr = &contact;
    guiDrawContactRow(row);
    EXPECT_EQ(At(200, 100), C(64));  // frame
    EXPECT_EQ(At(165, 110), C(64));  // divider 65 pixels in
    EXPECT_EQ(At(180, 117), C(53));  // fill
    // While the side count-down runs, the row is filled only in the second
    // half of each 20 centiseconds.
    contact.sideTimer = 25;
    guiDrawContactRow(row);
    EXPECT_EQ(At(180, 117), C(0));
    contact.sideTimer = 35;
    guiDrawContactRow(row);
    EXPECT_EQ(At(180, 117), C(53));
    // Debris is drawn in 97.
    contact.sideTimer = 0;
    contact.kind = 2;
    guiDrawContactRow(row);
    EXPECT_EQ(At(200, 100), C(97));
    GuiWindow *slot = Win(guiDrawContactSlot, 100, 200);
    guiDrawContactSlot(slot);
    EXPECT_EQ(At(200, 200), C(0));
    slot->userPtr = &contact;
    guiDrawContactSlot(slot);
    EXPECT_EQ(At(200, 200), C(97));
    contact.flags = 0;  // gone from the table
    guiDrawContactSlot(slot);
    EXPECT_EQ(At(200, 200), C(0));
}

TEST_P(ReadoutTest, LevelBarsTakeTheHealthBandsOfTheShipsComponents) {
    GuiWindow *bars = Win(guiDrawLevelBars, 100, 100, 41, 40);  // four bars of 10 pixels
    guiDrawLevelBars(bars);
    const int colours[4] = {97, 160, 64, 58};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(At(105 + i * 10, 138), C(colours[i])) << i;
    // Fuller bars reach higher: the intact one near the top, the worst low.
    EXPECT_EQ(At(105, 103), C(97));
    EXPECT_EQ(At(135, 120), C(0));
    // Another ship's network is not shown.
    canvas = Canvas(640, 480, GetParam() / 8);
    TheDisplayMode.screen = &canvas.s;
    dunEngineeringShip = &other;
    guiDrawLevelBars(bars);
    EXPECT_EQ(At(105, 138), 0u);
}

TEST_P(ReadoutTest, EngineeringListButtonsAndRepairTeams) {
    gGuiEngFocus = &parts[1];
    GuiWindow *list = Win(guiDrawComponentList, 100, 100, 200, 100);  // rows of 10 from 102
    guiDrawComponentList(list);
    EXPECT_EQ(At(150, 112), C(47));  // the focus framed
    EXPECT_EQ(At(150, 102), C(0));
    GuiWindow *sys = Win(guiDrawSystemButton, 100, 300, 60, 20);
    sys->text = "HULL";
    sys->value = 2;
    guiDrawSystemButton(sys);
    EXPECT_EQ(sys->state, 1);
    EXPECT_EQ(At(130, 300), C(64));
    gGuiEngViewMask = 0x3F & ~4;
    guiDrawSystemButton(sys);
    EXPECT_EQ(sys->state, 0);
    gGuiEngTeam = 3;
    GuiWindow *team = Win(guiDrawTeamButton, 0, 400, 60, 20);
    team->text = "T";
    guiDrawTeamButton(team);
    EXPECT_EQ(team->x, 2 * 98 + 50);
    EXPECT_EQ(team->rect[0], 246);
    // A repair team at work shows its component; a free one is ready.
    dunRepairTeams[0].component = &parts[2];
    GuiWindow *repair = Win(guiDrawRepairTeam, 400, 100, 200, 40);
    guiDrawRepairTeam(repair);
    int ink = 0;
    for (int y = 100; y < 140; ++y)
        for (int x = 400; x < 600; ++x) ink += At(x, y) == C(64);
    EXPECT_GT(ink, 100);
}

TEST_P(ReadoutTest, CheckpointChooserRowsStayApartAndFollowTheMouse) {
    GuiWindow *chooser = Win(guiDrawSaveList, 100, 50, 300, 120);
    gGuiSaveListOpen = 1;
    guiDrawSaveList(chooser);  // no checkpoint: the hold ends
    EXPECT_EQ(gGuiSaveListOpen, 0);
    EXPECT_EQ(gGuiSaveListShown, 0);
    // Many checkpoints in a short window: rows one pixel apart at least.
    gGuiSaveCount = 12;
    for (int i = 0; i < 12; ++i) std::snprintf(gGuiSaveNames[i], kGuiSaveNameBytes, "Point %d", i);
    const int lh = 8, boxX = 100 + 2 * lh + 15, firstBase = 50 + lh + 65;
    gMouse.x = boxX + 20;
    gMouse.y = firstBase + (lh + 1) * 3 - 2;  // on the fourth row
    guiDrawSaveList(chooser);
    EXPECT_EQ(gGuiSaveListShown, 1);
    EXPECT_EQ(gGuiSaveChosen, 3);
    EXPECT_EQ(At(boxX + 3, firstBase + (lh + 1) * 3 - 3), C(159));  // chosen box
    EXPECT_EQ(At(boxX + 3, firstBase - 3), C(55));
    EXPECT_EQ(At(120, 50 + 50), C(166));  // the rule under the title
}

TEST_P(ReadoutTest, ScrollBarMountsCellsAndViewsDrawInsideTheirWindows) {
    GuiWindow *bar = Win(guiDrawScrollBar, 100, 100, 10, 102);  // 100 pixels of track
    bar->font = nullptr;  // no track picture: a cleared track
    bar->max = 40;
    bar->state = 10;
    bar->value = 30;  // the last page: the thumb at the bottom
    guiDrawScrollBar(bar);
    EXPECT_EQ(At(105, 195), C(29));
    EXPECT_EQ(At(105, 110), C(0));
    struct Kind {
        const char *name;
        GuiDrawProc draw;
    } const kinds[] = {{"mounts", guiDrawWeaponMounts},
                       {"cells", guiDrawCellRow},
                       {"station view", guiDrawStationView},
                       {"contact view", guiDrawContactView},
                       {"list", guiDrawComponentList},
                       {"repair", guiDrawRepairTeam},
                       {"row", guiDrawContactRow}};
    shipSim.goal = &other;
    dunCurrentContact = &contact;
    for (const Kind &k : kinds) {
        canvas = Canvas(640, 480, GetParam() / 8, 1);
        TheDisplayMode.screen = &canvas.s;
        const unsigned background = canvas.At(0, 0);
        GuiWindow *w = Win(k.draw, 200, 200, 150, 40);
        w->value = 3;
        w->max = 6;
        w->userPtr = &contact;
        k.draw(w);
        int inside = 0, outside = 0;
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x) {
                if (canvas.At(x, y) == background) continue;
                if (x >= w->rect[0] && x <= w->rect[2] && y >= w->rect[1] && y <= w->rect[3]) ++inside;
                else ++outside;
            }
        EXPECT_GT(inside, 0) << k.name;
        EXPECT_EQ(outside, 0) << k.name;
    }
    dunCurrentContact = nullptr;
    // The mount facing aft points its triangle down: its tip is low.
    canvas = Canvas(640, 480, GetParam() / 8);
    TheDisplayMode.screen = &canvas.s;
    GuiWindow *mounts = Win(guiDrawWeaponMounts, 0, 0, 300, 60);
    guiDrawWeaponMounts(mounts);
    // On the top row the forward mount shows its tip, the aft one its base.
    int forward = 0, aft = 0;
    for (int x = 2; x < 98; ++x) forward += At(x, 4) == C(242);
    for (int x = 202; x < 298; ++x) aft += At(x, 4) == C(242);
    EXPECT_EQ(forward, 1);
    EXPECT_GT(aft, 40);
}

INSTANTIATE_TEST_SUITE_P(Depths, ReadoutTest, testing::Values(8, 16));

// A scripted ship's short name is the last word of its full name: the
// read-outs say the full name once, and a class name without the ship's
// own name still gets it.
TEST(ShipName, TheShortNameIsNotSaidTwice) {
    struct Case {
        const char *full, *shortName, *shown;
    };
    const Case cases[] = {
        {"Raider Kestrel", "Kestrel", "Raider Kestrel"},
        {"Kestrel", "Kestrel", "Kestrel"},
        {"Corvette", "Kestrel", "Corvette Kestrel"},
        {"Raider Kestrels", "Kestrel", "Raider Kestrels Kestrel"},
        {"", "Kestrel", " Kestrel"},
        {nullptr, nullptr, ""},
    };
    for (const Case &c : cases) {
        ShipInfo info{};
        Sim sim{};
        SceneItem item{};
        info.className = c.full;
        info.name = c.shortName;
        sim.shipInfo = &info;
        item.sim = &sim;
        char out[32];
        guiFormatShipName(out, sizeof out, &item);
        EXPECT_STREQ(out, c.shown) << (c.full ? c.full : "(none)");
    }
    char out[8] = "x";
    guiFormatShipName(out, sizeof out, nullptr);
    EXPECT_STREQ(out, "");
}

}  // namespace
}  // namespace guitest
