// The worlds of the space view: the main world with its camera and lights,
// and the background worlds (planets, stars, nebula, the 3D card's cockpit)
// with the celestial sphere.
#include <cstring>

#include "RES/gfx2d.h"
#include "RES/resman.h"
#include "core/log.h"
#include "core/options.h"
#include "platform/display.h"
#include "present/frame_passes.h"
#include "present/lwo/lwo.h"
#include "present/p3d.h"
#include "present/views.h"
#include "render/front/front.h"
#include "render/scene/scene.h"
#include "world/services.h"

namespace {

constexpr float kSkyBound = 1e32f;
vt_token_value kBestAntialiasing[] = {{VTT_ANTIALIASING_T, {}}, {VTT_END, {}}};

vt_actor *World() { return VtActorAllocate(VT_ACTOR_NONE, nullptr); }

vt_actor *Camera(vt_actor *parent, uint8_t type, vt_angle fov, float hither, float yon) {
    vt_actor *a = VtActorAllocate(VT_ACTOR_CAMERA, nullptr);
    if (!a) return nullptr;
    auto *c = static_cast<vt_camera *>(a->type_data);
    c->type = type;
    c->field_of_view = fov;
    c->hither_z = hither;
    c->yon_z = yon;
    c->aspect = 1;
    if (parent) VtActorAdd(parent, a);
    return a;
}

// A light of the type (-1: the library's default), turned about Y, then Z.
vt_actor *Light(vt_actor *parent, int type, int turnY, int turnZ) {
    vt_actor *a = VtActorAllocate(VT_ACTOR_LIGHT, nullptr);
    if (!a) return nullptr;
    if (type >= 0) static_cast<vt_light *>(a->type_data)->type = uint8_t(type);
    a->t.type = VT_TRANSFORM_MATRIX34;
    if (turnY || turnZ) {
        VtMatrix34RotateY(&a->t.t.mat, vt_angle(turnY));
        P3DRotateAboutZ(&a->t.t.mat, turnZ);
    }
    VtActorAdd(parent, a);
    return a;
}

vt_colour PaletteColour(int index) {
    const uint8_t *p = CurrentPalette ? CurrentPalette : LastPalette;
    if (!p) return 0;
    return vt_colour(p[4 * index]) << 16 | vt_colour(p[4 * index + 1]) << 8 | p[4 * index + 2];
}

// Sky models keep custom bounds so that nothing culls them.
void SkyBounds(vt_model *m) {
    m->flags |= VT_MODF_CUSTOM_BOUNDS;
    for (int k = 0; k < 3; ++k) {
        m->bounds.min.v[k] = -kSkyBound;
        m->bounds.max.v[k] = kSkyBound;
    }
}

vt_actor *ModelActor(vt_actor *parent, vt_model *model, vt_material *material) {
    vt_actor *a = VtActorAllocate(VT_ACTOR_MODEL, nullptr);
    if (!a) return nullptr;
    a->model = model;
    a->material = material;
    VtActorAdd(parent, a);
    return a;
}

// An octahedron with its poles given twice: the sphere until the script
// sets one.
vt_model *CelestialSphereModel() {
    vt_model *m = VtModelAllocate("celestial_sph", 8, 8);
    if (!m) return nullptr;
    static const float kPoints[8][3] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0},
                                        {0, 0, 1}, {0, 0, -1}, {0, 1, 0}, {0, -1, 0}};
    static const uint16_t kFaces[8][3] = {{0, 2, 4}, {4, 2, 1}, {1, 2, 5}, {5, 2, 0},
                                          {0, 4, 3}, {4, 1, 3}, {1, 5, 3}, {5, 0, 3}};
    for (int i = 0; i < 8; ++i) {
        VtVector3Set(&m->vertices[i].p, kPoints[i][0], kPoints[i][1], kPoints[i][2]);
        std::memcpy(m->faces[i].vertices, kFaces[i], sizeof kFaces[i]);
    }
    m->flags |= 6;
    return VtModelAdd(m);
}

void LoadPanels() {
    static const char *const kPanels[4] = {"vek\\resource\\shapes\\PanelCmd.lwo", "vek\\resource\\shapes\\PanelNav.lwo",
                                           "vek\\resource\\shapes\\PanelWep.lwo",
                                           "vek\\resource\\shapes\\PanelEng.lwo"};
    for (int i = 0; i < 4; ++i) {
        vt_model *m = static_cast<vt_model *>(LwoLoadModel(kPanels[i], nullptr, nullptr));
        gP3D.panelModels[i] = m;
        if (!m) continue;
        for (int f = 0; f < m->nfaces; ++f)
            if (vt_material *mat = m->faces[f].material) {
                mat->flags &= ~0x20020u;
                VtMaterialUpdate(mat, VT_MATU_ALL);
            }
    }
}

vt_model *PanelModel(int panel) { return panel >= 0 && panel < 4 ? gP3D.panelModels[panel] : nullptr; }

}  // namespace

void P3DBuildMainScene() {
    if (gP3D.mainWorld) VtActorFree(gP3D.mainWorld);
    gP3D.mainWorld = World();
    if (!gP3D.mainWorld) return;
    gP3D.mainCamera =
        Camera(gP3D.mainWorld, VT_CAMERA_PERSPECTIVE, 0, 1000 / kP3DWorldDivisor, 10000000 / kP3DWorldDivisor);
    if (gP3D.mainCamera) {
        auto *c = static_cast<vt_camera *>(gP3D.mainCamera->type_data);
        c->width = c->height = 80000;
        P3DRotateAboutX(&gP3D.mainCamera->t.t.mat, 32760);
    }
    if (CardMode) {
        gP3D.orderTable = VtZsOrderTableAllocate(1024, 1, 4);
        VtZsActorOrderTableSet(gP3D.mainWorld, gP3D.orderTable);
    }
    gP3D.light1 = Light(gP3D.mainWorld, -1, 16380, 60076);
    if (gP3D.light1 && !CardMode) VtLightEnable(gP3D.light1);
    if (CardMode) {
        gP3D.light2 = Light(gP3D.mainWorld, VT_LIGHT_DIRECT, 49156, 5460);
        if (gP3D.light2) {
            static_cast<vt_light *>(gP3D.light2->type_data)->colour =
                gP3D.skyColour ? vt_colour(gP3D.skyLight[0]) << 16 | vt_colour(gP3D.skyLight[1]) << 8 | gP3D.skyLight[2]
                               : PaletteColour(207);
            VtLightEnable(gP3D.light2);
        }
    }
    gP3D.flashLight = Light(gP3D.mainWorld, VT_LIGHT_POINT, 0, 0);
    if (gP3D.flashLight) static_cast<vt_light *>(gP3D.flashLight->type_data)->attenuation_l = 0.00004f;
}

void P3DBuildBackgroundScenes() {
    if (gP3D.planetWorld || !VtSceneDbRoot()) return;
    gP3D.planetWorld = World();
    gP3D.starWorld = World();
    if (!gP3D.planetWorld || !gP3D.starWorld) return;
    gP3D.planetCamera =
        Camera(gP3D.planetWorld, VT_CAMERA_PERSPECTIVE, 8190, 1000000 / kP3DSkyDivisor, 1e14f / kP3DSkyDivisor);
    if (CardMode) {
        gP3D.cockpitWorld = World();
        gP3D.cockpitCamera =
            Camera(gP3D.cockpitWorld, VT_CAMERA_PARALLEL, vt_angle(gP3D.fieldOfView * 182), 1000, 10000000);
        if (gP3D.cockpitCamera) {
            auto *c = static_cast<vt_camera *>(gP3D.cockpitCamera->type_data);
            c->width = 64000;
            c->height = 48000;
            vt_matrix34 &m = gP3D.cockpitCamera->t.t.mat;
            VtMatrix34Identity(&m);
            m.m[1][1] = -1;
            m.m[2][2] = -1;
        }
        LoadPanels();
        gP3D.panelActor = ModelActor(gP3D.cockpitWorld, PanelModel(gGuiPanel), nullptr);
        if (gP3D.panelActor) {
            gP3D.panelActor->t.type = VT_TRANSFORM_MATRIX34;
            float *at = gP3D.panelActor->t.t.mat.m[3];
            at[0] = 32000;
            at[1] = 24000;
            at[2] = 100000;
        }
        gP3D.cockpitLight = Light(gP3D.cockpitWorld, VT_LIGHT_DIRECT, 0, 0);
        if (gP3D.cockpitLight) {
            static_cast<vt_light *>(gP3D.cockpitLight->type_data)->colour = 0xFFFFFF;
            P3DRotateAboutX(&gP3D.cockpitLight->t.t.mat, 32760);
            VtLightEnable(gP3D.cockpitLight);
        }
    }
    gP3D.nebulaWorld = World();
    gP3D.nebulaCamera = Camera(gP3D.nebulaWorld, VT_CAMERA_PERSPECTIVE, 8190, gP3D.skyColour ? 10000.0f : 1000000.0f,
                               gP3D.skyColour ? 1e13f
                               : CardMode     ? 1e15f
                                              : 1e11f);
    CelestialSphereModel();
    if (gP3D.nebulaOn && !gP3D.skyColour) {
        auto *handle = static_cast<ResourceHandle *>(dunCall(dunScript().symbolValue, "SphMd"));
        vt_model *sphere = handle ? static_cast<vt_model *>(resmanLoad(handle)) : nullptr;
        if (sphere) {
            if (sphere->bounds.max.v[0] < 100000000.0f) {
                P3DShadeModelVertices(sphere, PixelDepth == 8 ? 0 : 176, PixelDepth == 8 ? 255 : 207, nullptr);
                NormaliseModelRadius(sphere, CardMode ? 20000.0f : 1e10f);
            }
            SkyBounds(sphere);
            gP3D.celestialSphere = ModelActor(gP3D.nebulaWorld, sphere, P3DEffectMaterial("nebula_purple"));
            if (gP3D.celestialSphere) P3DRotateAboutX(&gP3D.celestialSphere->t.t.mat, 4732);
        }
    }
    if (optHardStars) {
        if (vt_model *shell = P3DBuildStarShell(500, 18000)) {
            SkyBounds(shell);
            if (vt_material *stuff = P3DEffectMaterial("starstuff")) {
                kBestAntialiasing[0].v = VtValueU32(VTT_BEST_QUALITY);
                stuff->extra_prim = kBestAntialiasing;
                VtMaterialUpdate(stuff, VT_MATU_EXTRA_PRIM);
            }
            gP3D.hardStars = ModelActor(gP3D.nebulaWorld, shell, P3DEffectMaterial("starstuff"));
        }
    }
}

// Only the software nebula has a sphere actor; without one the script's
// sphere has nothing to go on.
void P3DSetCelestialSphere(vt_model *model) {
    if (!gP3D.celestialSphere || !model) {
        dunDebugPrint("P3DSetCelestialSphere: no celestial sphere in this set-up\n");
        return;
    }
    if (vt_model *old = gP3D.celestialSphere->model; old && old != model) {
        VtModelRemove(old);
        VtModelFree(old);
    }
    vt_pixelmap *map = model->nfaces && model->faces[0].material ? model->faces[0].material->colour_map : nullptr;
    P3DShadeModelVertices(model, 0, 255, map);
    NormaliseModelRadius(model, 1e10f);
    SkyBounds(model);
    gP3D.celestialSphere->model = model;
}

vt_model *P3DPanelModel(int panel) { return PanelModel(panel); }
