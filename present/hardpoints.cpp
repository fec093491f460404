// The weapons station's view: the weapon camera's picture with the player
// ship's hull and the current weapon's mount drawn over it as wireframes,
// the mount filling in face by face as the weapon reloads.
#include <cstdio>

#include "RES/text.h"
#include "platform/display.h"
#include "present/lspace.h"
#include "present/lwo/lwo.h"
#include "present/scene.h"
#include "present/views.h"
#include "render/scene/scene.h"
#include "world/objlist.h"
#include "world/records.h"

namespace {

// The hull, then the mounts: beam right and left, launcher right and left,
// and the same four in their ready forms.
const char *const kMountFiles[9] = {
    "vek\\resource\\shapes\\CorvAsm_WEP.lwo", "vek\\resource\\shapes\\WEP_RtPBC.lwo",
    "vek\\resource\\shapes\\WEP_LfPBC.lwo",   "vek\\resource\\shapes\\WEP_RtMAG.lwo",
    "vek\\resource\\shapes\\WEP_LfMAG.lwo",   "vek\\resource\\shapes\\WEP_RtPBCR.lwo",
    "vek\\resource\\shapes\\WEP_LfPBCR.lwo",  "vek\\resource\\shapes\\WEP_RtMAGR.lwo",
    "vek\\resource\\shapes\\WEP_LfMAGR.lwo",
};
const vt_model *gMountModels[9];
bool gMountModelsLoaded;

void LoadMountModels() {
    if (gMountModelsLoaded) return;
    gMountModelsLoaded = true;
    // A model that does not load leaves its mount undrawn.
    for (int i = 0; i < 9; ++i) gMountModels[i] = static_cast<const vt_model *>(LwoLoadModel(kMountFiles[i], nullptr, nullptr));
}

LSpaceCamera CameraOf(const SceneItem *camera) {
    LSpaceCamera c{};
    MatIdentity(c.matrix);
    if (camera && camera->sim) {
        c.position = camera->sim->position;
        c.matrix = camera->sim->matrix;
    }
    return c;
}

}  // namespace

void WeaponHardpointsForget() {
    gMountModelsLoaded = false;
    for (const vt_model *&m : gMountModels) m = nullptr;
}

void WeaponHardpointsDraw(P3DPane *pane) {
    if (!pane) return;
    // The weapon camera stands in for the window's own.
    SceneItem *cell = dunWeaponCamera;
    void *const savedUser = pane->user;
    if (cell) pane->user = &cell;
    P3DDrawViewWindow(pane);
    pane->user = savedUser;
    const SceneItem *ship = dunControlledObject;
    if (!ship || !ship->sim) return;
    LoadMountModels();
    P3DAllocViewBuffers(pane);
    vt_pixelmap *const savedTarget = HudPixelmap;
    const HudRect savedRect = HudViewRect;
    HudPixelmap = static_cast<vt_pixelmap *>(pane->image);
    HudViewRect = {pane->x, pane->y, int16_t(pane->x + pane->w - 1), int16_t(pane->y + pane->h - 1)};
    const LSpaceCamera camera = CameraOf(cell ? cell : dunPlayerCamera);
    const Vec3d &at = ship->sim->position;
    const Mat4 &matrix = ship->sim->matrix;
    LSpaceDrawModel(gMountModels[0], at, matrix, 97, camera, 2);
    if (const Weapon *w = ship->sim->currentWeapon) {
        const int side = w->mount.x <= 0 ? 1 : 0;
        const int kind = (w->flags & WeaponFlag::Beam) ? 0 : 2;
        const vt_model *mount = gMountModels[1 + kind + side];
        const vt_model *ready = gMountModels[5 + kind + side];
        const int faces = mount ? WeaponMountFaces(w, mount->nfaces) : 0;
        LSpaceDrawModel(mount, at, matrix, 64, camera, 1, faces);
        char text[16];
        WeaponMountText(w, text, sizeof text);
        if (text[0] && HudVectorFont) {
            int tx = (HudViewRect.left + HudViewRect.right) / 2 + 6, ty = (HudViewRect.top + HudViewRect.bottom) / 2 + 10;
            const ClipRect clip{HudViewRect.left, HudViewRect.top, HudViewRect.right, HudViewRect.bottom};
            vfontDrawTextScaled(&ScreenSurface, 8, &tx, &ty, text, HudVectorFont, &clip, 133);
        }
        if (mount && faces == mount->nfaces) LSpaceDrawModel(ready, at, matrix, 133, camera, 2);
    }
    HudPixelmap = savedTarget;
    HudViewRect = savedRect;
    P3DSelectViewBuffers(pane);
}
