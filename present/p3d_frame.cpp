// One frame of the space view: the pre-process (scene rebuild, frame-rate
// ring and detail thresholds, every object's presentation) and the render
// in its fixed order of passes, each closed by a profiler mark.
#include <algorithm>
#include <cmath>

#include "RES/gfx2d.h"
#include "core/frame.h"
#include "core/options.h"
#include "core/profiler.h"
#include "platform/display.h"
#include "present/cameras.h"
#include "present/frame_passes.h"
#include "present/hooks.h"
#include "present/p3d.h"
#include "present/scene.h"
#include "present/views.h"
#include "render/front/front.h"
#include "render/pmap/pixelmap.h"
#include "render/scene/scene.h"
#include "world/objlist.h"
#include "world/records.h"
#include "world/services.h"
#include "world/step.h"

P3DMarkObserver gP3DMarkObserver;
uint8_t gViewSecondary, gViewZoomRequest, gViewZoomState, gViewWindowMode, gViewNoSceneScript, gViewNoSceneGui;
uint8_t gViewNoHud;

namespace {

constexpr int kMaxSkyBodies = 64;
constexpr float kZoomRate = 15.0f;

void Mark(const char *name) {
    if (gViewSecondary) return;
    ProfilerCheckpoint(gProfileRecorder, name);
    if (gP3DMarkObserver) gP3DMarkObserver(name);
}

vt_actor *RootActor(SceneItem *item) {
    return item && item->avatar && item->avatar->root ? item->avatar->root->actor : nullptr;
}

void SetStyle(SceneItem *item, uint8_t style) {
    if (vt_actor *a = RootActor(item)) a->render_style = style;
}

// The engine effect of an object: the particle system of its root part's
// first child when that child is a particle part.
ParticleSystem *EngineEffect(SceneItem *item) {
    const TDP *root = item && item->avatar ? item->avatar->root : nullptr;
    if (!root || !root->child || !(root->child->flags & TDPFlag::Particle)) return nullptr;
    return static_cast<ParticleSystem *>(root->child->particleOrMaterial);
}

const uint8_t *Palette() { return CurrentPalette ? CurrentPalette : LastPalette; }

uint32_t Rgb565(int index) {
    const uint8_t *p = Palette();
    if (!p) return 0;
    const uint8_t *e = p + 4 * index;
    return uint32_t(e[0] >> 3) << 11 | uint32_t(e[1] >> 2) << 5 | uint32_t(e[2] >> 3);
}

void Render(vt_actor *world, vt_actor *camera, vt_pixelmap *colour, vt_pixelmap *depth) {
    if (!world || !camera || !colour) return;
    if (CardMode) VtZsSceneRender(world, camera, colour);
    else VtZbSceneRender(world, camera, colour, depth);
}

// A camera's aspect and field of view from the view rectangle.
void Frame(vt_actor *camera) {
    if (!camera) return;
    auto *c = static_cast<vt_camera *>(camera->type_data);
    const int16_t *r = gP3D.viewRect;
    c->aspect = r[3] != r[1] ? float(r[2] - r[0]) / float(r[3] - r[1]) : 1.0f;
    c->field_of_view = vt_angle(int(gP3D.fieldOfView * 182));
}

float FieldOfView() {
    float fov = StationId == 3 ? (gGuiFullScreen ? 88.0f : 82.0f) : (gGuiFullScreen ? 73.14f : 45.0f);
    if (gViewZoomRequest) {
        if (gP3D.zoomFactor >= 5) gP3D.zoomFactor = 5;
        else gP3D.zoomFactor += kZoomRate * dunFrameSeconds;
        if (!gGuiFullScreen || gCinematicView) {
            gViewZoomRequest = 0;
            gP3D.zoomFactor = 1;
            gViewZoomState = 2;
        }
    } else if (gP3D.zoomFactor > 1) {
        gP3D.zoomFactor -= kZoomRate * dunFrameSeconds;
        if (gP3D.zoomFactor <= 1) {
            gP3D.zoomFactor = 1;
            if (gViewZoomState == 1) {
                gGuiFullScreen = 0;
                gViewZoomState = 2;
                if (gCameraViewHooks.redraw) gCameraViewHooks.redraw();
            }
        }
    }
    if (gGuiFullScreen) fov /= gP3D.zoomFactor;
    if (gViewSecondary) fov = 45;
    const Sim *controlled = dunControlledObject ? dunControlledObject->sim : nullptr;
    if (controlled && (controlled->flags & SimFlag::TimedState) && dunTimedStateCountdown > 1.5f)
        fov *= std::fabs(dunTimedStateCountdown - 1.75f) * 0.12f + 0.97f;
    return fov;
}

void OwnShipsVisibility(SceneItem *viewObject) {
    SetStyle(dunPlayerShip, VT_RSTYLE_DEFAULT);
    SetStyle(dunControlledObject, VT_RSTYLE_DEFAULT);
    if (ParticleSystem *engine = EngineEffect(dunControlledObject))
        if (!(dunControlledObject->sim && (dunControlledObject->sim->flags & SimFlag::NoSpeedFloor)))
            engine->flags &= ~0x80u;
    if (const TDP *root =
            dunControlledObject && dunControlledObject->avatar ? dunControlledObject->avatar->root : nullptr) {
        if (root->actor && (root->flags & TDPFlag::Edges)) root->actor->render_style = VT_RSTYLE_EDGES;
        if (root->actor && (root->flags & TDPFlag::BoundingEdges)) root->actor->render_style = VT_RSTYLE_BOUNDING_EDGES;
    }
    const bool cockpitView = viewObject && viewObject->control == CameraPlayer;
    const bool hide = (((gViewSecondary && StationId != 4) || cockpitView) && gViewWindowMode == 2) ||
                      (StationId == 3 && !gCinematicView);
    if (hide) {
        SetStyle(dunControlledObject, VT_RSTYLE_NONE);
        if (ParticleSystem *engine = EngineEffect(dunControlledObject)) engine->flags |= 0x80u;
    }
    SetStyle(viewObject, VT_RSTYLE_NONE);
}

// The main camera rides on the viewing object's root actor, or on a
// viewpoint that takes the object's matrix when it has none.
void PlaceMainCamera(SceneItem *viewObject) {
    if (!gP3D.mainCamera || !viewObject || !viewObject->avatar) return;
    vt_actor *parent = RootActor(viewObject);
    if (!parent) {
        if (!gP3D.viewpoint) {
            gP3D.viewpoint = VtActorAllocate(VT_ACTOR_NONE, nullptr);
            if (!gP3D.viewpoint) return;
            VtActorAdd(gP3D.mainWorld, gP3D.viewpoint);
        }
        const Mat4 &m = viewObject->avatar->matrix;
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 3; ++c)
                gP3D.viewpoint->t.t.mat.m[r][c] = r == 3 ? m.m[4 * r + c] / kP3DWorldDivisor : m.m[4 * r + c];
        gP3D.viewpoint->t.type = VT_TRANSFORM_MATRIX34;
        parent = gP3D.viewpoint;
    }
    if (gP3D.mainCamera->parent != parent) {
        VtActorRemove(gP3D.mainCamera);
        VtActorAdd(parent, gP3D.mainCamera);
    }
}

// The viewing object's orientation, turned; the position divided by the
// sky divisor for the planet camera, the origin for the nebula's.
void PlaceSkyCameras(SceneItem *viewObject) {
    if (!gP3D.planetWorld || !viewObject || !viewObject->sim) return;
    const Mat4 &m = viewObject->sim->matrix;
    auto place = [&m](vt_actor *camera, bool atOrigin) {
        if (!camera) return;
        vt_matrix34 &t = camera->t.t.mat;
        camera->t.type = VT_TRANSFORM_MATRIX34;
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c) t.m[r][c] = m.m[4 * r + c];
        for (int c = 0; c < 3; ++c) t.m[3][c] = atOrigin ? 0 : m.m[12 + c] / kP3DSkyDivisor;
        P3DRotateAboutX(&t, 32760);
    };
    place(gP3D.planetCamera, false);
    if (gP3D.nebulaOn) place(gP3D.nebulaCamera, true);
}

// At 16 bits only the view's own pixels are cleared, as at 8: the GUI has
// already drawn its panels round the view in the same pass, and a fill of
// the whole screen would leave them black until their next repaint.
void Clear() {
    if (!gP3D.colourTarget) return;
    if (PixelDepth == 8) {
        VtPixelmapFill(gP3D.colourTarget, gFixedStep ? kP3DClearColour : gP3D.clearColour);
    } else if (!gP3D.screenCleared) {
        VtPixelmapFill(gP3D.colourTarget, Rgb565(gP3D.clearColour));
    } else {
        VtPixelmapFill(gP3D.colourTarget, 0);
    }
}

// Planets one at a time, farthest first, each alone with the planet camera
// in the planet world so that nearer ones cover it.
void DrawPlanets() {
    TDP *bodies[kMaxSkyBodies];
    const int n = P3DCollectSkyBodies(bodies, kMaxSkyBodies);
    VtActorRemove(gP3D.planetCamera);
    VtActorAdd(gP3D.starWorld, gP3D.planetCamera);
    Render(gP3D.starWorld, gP3D.planetCamera, gP3D.colourTarget, nullptr);
    for (bool swapped = true; swapped;) {
        swapped = false;
        for (int i = 0; i + 1 < n; ++i)
            if (bodies[i]->viewPosition.z < bodies[i + 1]->viewPosition.z) {
                std::swap(bodies[i], bodies[i + 1]);
                swapped = true;
            }
    }
    P3DRenderFlareBatch(0);
    // The planet camera lives in the planet world between frames.
    VtActorRemove(gP3D.planetCamera);
    VtActorAdd(gP3D.planetWorld, gP3D.planetCamera);
    for (int i = 0; i < n; ++i) {
        vt_actor *body = bodies[i]->actor, *home = body->parent;
        VtActorRemove(body);
        VtActorAdd(gP3D.planetWorld, body);
        Render(gP3D.planetWorld, gP3D.planetCamera, gP3D.colourTarget, nullptr);
        VtActorRemove(body);
        if (home) VtActorAdd(home, body);
    }
}

void Sky() {
    Frame(gP3D.nebulaCamera);
    if (gP3D.nebulaOn) Render(gP3D.nebulaWorld, gP3D.nebulaCamera, gP3D.colourTarget, nullptr);
    Mark("NEBULA");
    if (!gViewSecondary && !optHardStars) P3DDrawStarField();
    Mark("STARS");
    Frame(gP3D.planetCamera);
    if (!gViewSecondary) DrawPlanets();
    Mark("PLANETS");
}

void Cockpit() {
    if (!CardMode || !gP3D.cockpitWorld || gGuiFullScreen || gViewSecondary || int16_t(gGuiPanel) < 0) return;
    if (gP3D.cockpitLight)
        static_cast<vt_light *>(gP3D.cockpitLight->type_data)->colour =
            vt_colour(gPanelColour[0]) << 16 | vt_colour(gPanelColour[1]) << 8 | gPanelColour[2];
    if (gP3D.panelActor) gP3D.panelActor->model = P3DPanelModel(gGuiPanel);
    Render(gP3D.cockpitWorld, gP3D.cockpitCamera, gP3D.screen, gP3D.depth);
}

}  // namespace

void P3DPreprocessScene(SceneItem *viewObject, void *rectWords) {
    // Nothing is drawn before the first set-up has begun the library.
    if (!VtSceneDbRoot()) return;
    const auto *rect = static_cast<const int16_t *>(rectWords);
    gP3D.viewObject = viewObject;
    if (rect) {
        std::copy(rect, rect + 4, gP3D.viewRect);
        ViewClipRect = {rect[0], rect[1], rect[2], rect[3]};
    }
    gP3D.viewCentre[0] = (gP3D.viewRect[0] + gP3D.viewRect[2]) / 2.0f;
    gP3D.viewCentre[1] = (gP3D.viewRect[1] + gP3D.viewRect[3]) / 2.0f;
    if (viewObject && viewObject->sim)
        gP3D.viewerPosition = {float(viewObject->sim->position.x), float(viewObject->sim->position.y),
                               float(viewObject->sim->position.z)};
    SceneItem *head = dunSceneListHead();
    if (gP3D.rebuild) {
        P3DBuildMainScene();
        for (SceneItem *it = head->next; it != head; it = it->next)
            if (it->avatar) P3DBuildActorTree(it->avatar->root);
        gP3D.rebuild = 0;
        P3DPlaceAllSkyBodies();
    }
    // The frame rate of the last 30 frames, the fastest left out.
    gP3D.rateRing[gP3D.rateIndex] = 100.0f / float(dunFrameStep > 0 ? dunFrameStep : 1);
    gP3D.rateIndex = (gP3D.rateIndex + 1) % kP3DRateSamples;
    float sum = 0, highest = gP3D.rateRing[0];
    for (float sample : gP3D.rateRing) {
        sum += sample;
        highest = std::max(highest, sample);
    }
    gP3D.rateMean = (sum - highest) / float(kP3DRateSamples - 1);
    const float moved = std::fabs(gP3D.rateMean - gP3D.ratePreviousMean);
    const bool steady = moved > 0 && moved <= gP3D.rateBand;
    if (gP3D.autoDetail && !steady) {
        const float mean = gP3D.rateMean;
        gP3D.detailHigh = mean < 10 ? 800 : mean > 30 ? 28 : 800 - (mean - 10) / 20 * 772;
        gP3D.detailLow = gP3D.detailHigh / 10;
    }
    gP3D.ratePreviousMean = gP3D.rateMean;
    for (SceneItem *it = head->next, *next; it != head; it = next) {
        next = it->next;
        if (it->avatar && it->avatar->presentation) it->avatar->presentation(it);
    }
}

void P3DRenderFrame(SceneItem *viewObject, const int16_t rect[4]) {
    if (!VtSceneDbRoot()) return;
    if (!gViewSecondary) {
        std::copy(rect, rect + 4, gP3D.viewRect);
        const vt_pixelmap *t = gP3D.colourTarget;
        const int ox = t ? t->base_x + t->origin_x : 0, oy = t ? t->base_y + t->origin_y : 0;
        gP3D.viewRectInTarget[0] = int16_t(rect[0] - ox);
        gP3D.viewRectInTarget[1] = int16_t(rect[1] - oy);
        gP3D.viewRectInTarget[2] = int16_t(rect[2] - ox);
        gP3D.viewRectInTarget[3] = int16_t(rect[3] - oy);
    }
    gP3D.fieldOfView = FieldOfView();
    gP3D.projectionScale = float((rect[3] - rect[1]) / 2) / std::tan(gP3D.fieldOfView / 2 * 3.1415f / 180);
    HudProjectScale = gP3D.projectionScale;
    HudViewRect = {rect[0], rect[1], rect[2], rect[3]};
    HudPixelmap = gP3D.colourTarget;
    if (!CardMode && gP3D.screen) {
        gP3D.screen->pixels = ScreenSurface.pixels;
        if (gP3D.colourTarget) gP3D.colourTarget->pixels = ScreenSurface.pixels;
    }
    if (gP3D.backgroundFlash && viewObject && viewObject->sim) {
        P3DSetSunLight(viewObject, 0, 100, -1);
        P3DSunLightDim();
        gP3D.clearColour = uint8_t(int(std::fabs(viewObject->sim->matrix.m[8]) * 4 + 190));
    }
    Clear();
    Mark("SCRN CLR");
    OwnShipsVisibility(viewObject);
    PlaceMainCamera(viewObject);
    PlaceSkyCameras(viewObject);
    if (vt_pixelmap *depth = CardMode ? gP3D.depth : gP3D.depthTarget) VtPixelmapFill(depth, 0xFFFFFFFF);
    Mark("ZBUF CLR");
    if (!gViewNoSceneScript && !gViewNoSceneGui) {
        if (gP3D.planetWorld && gP3D.clearColour == kP3DClearColour) Sky();
        if (int16_t *dirty = gP3D.viewDirty) {
            dirty[0] = dirty[1] = 32767;
            dirty[2] = dirty[3] = -32767;
        }
        Frame(gP3D.mainCamera);
        Render(gP3D.mainWorld, gP3D.mainCamera, gP3D.colourTarget, gP3D.depthTarget);
        if (!gViewSecondary) P3DLensFlarePass();
        Mark("OBJECTS");
        if (!gViewSecondary) P3DParticlePass(rect[1]);
        Mark("PARTICLES");
        SetStyle(viewObject, VT_RSTYLE_DEFAULT);
        if (!gViewSecondary && !gViewNoHud) dunCall(P3DHud().drawAll);
    }
    if (!gViewSecondary) P3DRenderFlareBatch(1);
    Cockpit();
    if (!gViewSecondary) P3DRenderFlareBatch(2);
    Mark("HUD");
    // The flash colour and the interference hold for every view of this
    // frame; the GUI pass ends them (P3DEndViewEffects).
    if (gP3D.interference) JitterRect(&ScreenSurface, gP3D.interference, rect[0], rect[1], rect[2], rect[3]);
    gP3D.screenCleared = 1;
    if (gP3D.effectTexturesLoaded) P3DScrollUnlitTexture();
    SetStyle(dunControlledObject, VT_RSTYLE_DEFAULT);
    // The window's sub-pixelmap may go before the next frame.
    HudPixelmap = nullptr;
}
