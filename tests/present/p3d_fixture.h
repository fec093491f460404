// A 3D set-up for the presentation's tests: the library begun with a
// renderer (the recording one, or our software renderer), a screen surface
// of the asked depth, a fresh world, the frame profiler recording its marks.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "../render/recording_renderer.h"
#include "RES/util.h"
#include "common/fatal_hook.h"
#include "core/frame.h"
#include "core/options.h"
#include "core/profiler.h"
#include "core/value_recorder.h"
#include "gui/screen.h"
#include "gui/window.h"
#include "hud/draw.h"
#include "platform/display.h"
#include "present/effects.h"
#include "present/hooks.h"
#include "present/p3d.h"
#include "present/scene.h"
#include "present/views.h"
#include "render/front/front.h"
#include "render/pmap/pixelmap.h"
#include "render/scene/scene.h"
#include "script/settings.h"
#include "world/messages.h"
#include "world/objlist.h"
#include "world/records.h"
#include "world/services.h"
#include "world/step.h"

namespace presenttest {

// A cube model of half-size `half` (model units), registered.
inline vt_model *Cube(const char *name, float half, int faces = 12) {
    vt_model *m = VtModelAllocate(name, 8, faces);
    std::memcpy(m->vertices, VtDefaultModel()->vertices, 8 * sizeof(vt_vertex));
    for (int i = 0; i < faces; ++i) m->faces[i] = VtDefaultModel()->faces[i % 12];
    for (int i = 0; i < 8; ++i)
        for (float &c : m->vertices[i].p.v) c *= half;
    m->flags |= VT_MODF_UPDATEABLE;
    return VtModelAdd(m);
}

class P3DTest : public testing::Test {
protected:
    // depth 8 or 16; recording: the recording renderer, else our own.
    void Start(int depth, bool recording = true, int width = 640, int height = 480) {
        ResetOptions();
        P3DResetStateDefaults();
        gViewSecondary = gViewZoomRequest = gViewZoomState = gViewWindowMode = 0;
        gViewNoSceneScript = gViewNoSceneGui = 0;
        gGuiFullScreen = 0;
        StationId = 1;
        gExitFilm[0] = 0;
        gFixedStep = 0;
        dunFrameStep = 2;
        dunFrameSeconds = 0.02f;
        dunFrameCounter = 1;
        dunControlledObject = dunPlayerShip = nullptr;
        dunPlayerCamera = nullptr;
        P3DViewedObject = nullptr;
        // The world reaches the presentation through its table, as in the game.
        P3DInstallWorldHooks();
        dunMsgInit();
        dunResetWorld();
        ASSERT_EQ(VtBeginAll(), VT_E_OK);
        if (recording) rec = new vttest::RecordingRenderer();
        PixelDepth = depth;
        BytesPerPixel = uint16_t(depth / 8);
        pixels.assign(size_t(width) * height * (depth / 8), 0xAB);
        ScreenSurface = Surface{pixels.data(),     int16_t(width), int16_t(height), 0, 0, int16_t(width * (depth / 8)),
                                int16_t(depth / 8)};
        for (int i = 0; i < 256; ++i) {
            palette[4 * i] = uint8_t(i);
            palette[4 * i + 1] = uint8_t(255 - i);
            palette[4 * i + 2] = uint8_t(i / 2);
        }
        gCurrentPalette = palette;
        std::memset(&profile, 0, sizeof profile);
        gProfileRecorder = &profile;
        ProfilerStart(&profile);
        P3DInitialise();
    }
    void TearDown() override {
        gProfileRecorder = nullptr;
        dunResetWorld();
        P3DShutdown();
        VtEndAll();
        delete rec;
        rec = nullptr;
        ScreenSurface = Surface{};
        gCurrentPalette = nullptr;
        WorldSetPresentHooks(nullptr);
        P3DSetHudHooks(nullptr);
    }

    // The profiler's marks since the last call.
    std::vector<std::string> Marks() {
        std::vector<std::string> out;
        for (uint32_t i = 0; i < profile.writeIndex; ++i) out.push_back(profile.checkpointNames[i]);
        profile.writeIndex = 0;
        return out;
    }
    // Scenes the recording renderer drew since the last call.
    int Scenes() {
        int n = 0;
        if (rec)
            for (const std::string &line : rec->take()) n += line == "frameEnd";
        return n;
    }

    // A scene object at (x, y, z) facing +z, presented by the standard
    // routine, whose root part shows the model.
    static SceneItem *Object(vt_model *model, float x, float y, float z, float radius) {
        SceneItem *item = dunCreateSceneItem();
        dunLinkSceneItem(item, 0);
        Sim *sim = dunAttachSim(item, nullptr);
        TDP *root = dunAttachTDP(item);
        dunSetDrawRoutines(item, dunCopySimToModel, P3DUpdatePresentation);
        sim->position = {x, y, z};
        sim->matrix.m[12] = x;
        sim->matrix.m[13] = y;
        sim->matrix.m[14] = z;
        dunCopySimToModel(item);
        root->model = model;
        root->radius = radius;
        root->flags |= TDPFlag::HasActor;
        return item;
    }

    // A 3D view pane over the rectangle, viewing through the cell.
    P3DPane *View(SceneItem **cell, int x, int y, int w, int h) {
        pane = P3DPane{&pane, int16_t(x), int16_t(y), int16_t(w), int16_t(h), cell, paneDirty, nullptr, nullptr};
        return &pane;
    }

    uint8_t Pixel8(int x, int y) const { return pixels[size_t(y) * ScreenSurface.pitch + x]; }
    uint16_t Pixel16(int x, int y) const {
        uint16_t v;
        std::memcpy(&v, &pixels[size_t(y) * ScreenSurface.pitch + 2 * x], 2);
        return v;
    }

    vttest::RecordingRenderer *rec = nullptr;
    std::vector<uint8_t> pixels;
    uint8_t palette[1024];
    ValueRecorder profile;
    P3DPane pane{};
    int16_t paneDirty[4] = {};
};

}  // namespace presenttest
