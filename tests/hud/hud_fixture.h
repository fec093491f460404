// The HUD over a 640 x 480 test screen: the view is the whole screen with its
// centre at (320, 240) and a projection scale of 320; the viewer is a camera
// at the origin looking along +z (x right, y down); the player's ship flies
// there too. The world, the HUD list and the contact table start empty.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "../RES/gfx_fixture.h"
#include "ai/contacts.h"
#include "ai/scores.h"
#include "ai/weapons.h"
#include "common/fatal_hook.h"
#include "core/frame.h"
#include "core/options.h"
#include "gui/cockpit.h"
#include "gui/window.h"
#include "hud/draw.h"
#include "hud/elements.h"
#include "hud/hud.h"
#include "hud/view.h"
#include "platform/display.h"
#include "present/p3d.h"
#include "present/views.h"
#include "render/pmap/pixelmap.h"
#include "render/scene/scene.h"
#include "script/mission.h"
#include "world/messages.h"
#include "world/objlist.h"
#include "world/pools.h"
#include "world/records.h"
#include "world/simplace.h"
#include "world/step.h"
#include "world/universe.h"

namespace hudtest {

class HudTest : public testing::Test {
protected:
    gfxtest::Canvas canvas{640, 480, 1};
    vt_pixelmap view{};
    vt_actor actor{};  // stands for a part the renderer drew
    SceneItem *camera = nullptr;
    SceneItem *player = nullptr;

    void UseDepth(int bits) {
        gfxtest::SetDepth(bits);
        PixelDepth = uint8_t(bits);
        canvas = gfxtest::Canvas(640, 480, bits / 8);
        TheDisplayMode.screen = &canvas.s;
    }

    void SetUp() override {
        UseDepth(8);
        dunMsgInit();
        dunResetWorld();
        hudClearList();
        hudAnimDirection = hudAnimCounter = 0;
        hudOpen = 0;
        hudTargetChanged = 0;
        hudRememberedTarget = nullptr;
        std::memset(dunContacts, 0, sizeof dunContacts);
        std::memset(dunNearestThreats, 0, sizeof dunNearestThreats);
        dunCurrentContact = nullptr;
        dunTargetingMode = 0;
        dunTargetSelected = 0;
        dunWeaponTarget = dunNavigationTarget = nullptr;
        dunCurrentSubTarget = nullptr;
        std::memset(dunPowerShares, 0, sizeof dunPowerShares);
        HudViewRect = {0, 0, 639, 479};
        view = vt_pixelmap{};
        view.width = 640;
        view.height = 480;
        view.origin_x = 320;
        view.origin_y = 240;
        HudPixelmap = &view;
        HudProjectScale = 320;
        HudOwnLines = 0xFF;
        HudFlatView = 0;
        HudFont = nullptr;
        gP3D.viewRect[0] = 0, gP3D.viewRect[1] = 0, gP3D.viewRect[2] = 639, gP3D.viewRect[3] = 479;
        gP3D.colourTarget = &view;
        gP3D.projectionScale = 320;
        gP3D.zoomFactor = 1;
        gP3D.fieldOfView = 90;
        dunFrameStep = 10;
        dunFrameSeconds = 0.1f;
        dunFrameCounter = 1;
        dunGameClock = 0;
        gMissionClock = 0;
        dunFrozen = 0;
        dunCurrentSystem = 1;  // a run starts in system 1
        gGuiFullScreen = 0;
        gGuiInterference = 0;
        gGuiWeaponsView = 0;
        gCinematicView = 0;
        gMissionEndState = 0;
        optNoHud = 0;
        hudSphereMode = 0;
        hudStreakSpacing = 100000;
        hudStreakCoarse = 1e6f;
        camera = Object(0, 0, 0);
        player = Ship(0, 0, 0, 1000);
        dunPlayerShip = dunControlledObject = player;
        gP3D.viewObject = camera;
    }

    void TearDown() override {
        hudClearList();
        dunPlayerShip = dunControlledObject = nullptr;
        gP3D.viewObject = nullptr;
        gP3D.colourTarget = nullptr;
        HudPixelmap = nullptr;
        HudFont = nullptr;
        TheDisplayMode.screen = nullptr;
        PixelDepth = 8;
        gfxtest::SetDepth(8);
    }

    // A linked object with a Sim and a root part at a position.
    static SceneItem *Object(double x, double y, double z) {
        SceneItem *item = dunCreateSceneItem();
        dunLinkSceneItem(item, 0);
        dunAttachSim(item, nullptr);
        dunAttachTDP(item);
        Place(item, x, y, z);
        return item;
    }
    static void Place(SceneItem *item, double x, double y, double z) {
        item->sim->position = {x, y, z};
        dunSyncFloatPosition(item->sim);
    }
    static SceneItem *Ship(double x, double y, double z, float radius) {
        SceneItem *item = Object(x, y, z);
        item->sim->shipInfo = dunAllocShipInfo();
        item->sim->radius = radius;
        item->avatar->flags |= AvatarFlag::Ship;
        return item;
    }
    // A listed contact of the object.
    static Contact &AddContact(SceneItem *object, uint16_t kind = 0, uint32_t side = 0x40, float range = 0) {
        for (Contact &c : dunContacts)
            if (!c.flags) {
                c = Contact{};
                c.object = object;
                c.kind = kind;
                c.side = side;
                c.range = range;
                c.flags = ContactFlag::InUse | ContactFlag::Listed;
                return c;
            }
        ADD_FAILURE() << "contact table full";
        return dunContacts[0];
    }
    // The renderer drew the object's root part this frame with this box
    // (relative to the view's centre).
    void Drawn(SceneItem *object, int16_t l, int16_t t, int16_t r, int16_t b) {
        TDP *root = object->avatar->root;
        root->actor = &actor;
        root->drawnFrame = dunFrameCounter;
        root->screenRect[0] = l, root->screenRect[1] = t, root->screenRect[2] = r, root->screenRect[3] = b;
    }
    // A HUD record from the pool, registered.
    static HUD *Listed() {
        HUD *h = dunAllocHUD();
        hudRegister(h);
        return h;
    }
    // Pixels of a colour in a rectangle of the screen (inclusive).
    int CountIn(unsigned colour, int x0, int y0, int x1, int y1) const {
        int n = 0;
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) n += canvas.At(x, y) == colour;
        return n;
    }
    // Pixels that are not background in a rectangle.
    int InkIn(int x0, int y0, int x1, int y1) const {
        int n = 0;
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) n += canvas.At(x, y) != 0;
        return n;
    }
    void Clear() { std::fill(canvas.bytes.begin(), canvas.bytes.end(), 0); }
    unsigned C(int index) const {
        return canvas.bpp() == 1 ? unsigned(index) : PaletteToRgb565(CurrentPalette, unsigned(index));
    }
};

}  // namespace hudtest
