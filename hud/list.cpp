// The list of HUD elements and the per-frame pass over it.
#include <cstring>

#include "RES/font.h"
#include "RES/resman.h"
#include "ai/contacts.h"
#include "core/frame.h"
#include "core/log.h"
#include "core/options.h"
#include "gui/cockpit.h"
#include "gui/window.h"
#include "hud/draw.h"
#include "hud/elements.h"
#include "hud/hud.h"
#include "present/p3d.h"
#include "script/mission.h"
#include "world/objlist.h"
#include "world/records.h"
#include "world/universe.h"

HUD *hudList[kMaxHudElements];
int16_t hudCount;
uint8_t hudOpen;
int16_t hudAnimDirection;
int16_t hudAnimCounter;
SceneItem *hudRememberedTarget;
uint8_t hudTargetChanged;

namespace {

// The fonts' resource handles, found by name once: a handle outlives the
// mission's release and the shutdown, which empty it, whereas the font it
// held is freed, so the fonts are read from the handles at every pass.
bool gFontsLooked;
const ResourceHandle *gVectorFont, *gBitmapFont;

// The index the pass is at: a removal at or before it moves it back one, so
// that a record's routine may take itself (or any other) out of the list
// without the walk skipping the next record.
int gWalk = -1;
bool gWalking;

const ResourceHandle *HandleOf(const char *name) {
    return static_cast<const ResourceHandle *>(GetScriptSymbolValue(name));
}

void RefreshFonts() {
    if (gVectorFont) HudVectorFont = static_cast<const VectorFont *>(gVectorFont->data);
    if (gBitmapFont) HudFont = static_cast<BitmapFont *>(gBitmapFont->data);
}

bool LiveShip(const SceneItem *t) {
    return t && (t->flags & SceneFlag::InUse) && t->sim && t->sim->shipInfo;
}

}  // namespace

const ResourceHandle *hudMessageFont() { return gBitmapFont; }

void hudSetMessageFont(const ResourceHandle *font) {
    gBitmapFont = font;
    HudFont = nullptr;
    RefreshFonts();
}

void hudRegister(HUD *hud) {
    if (!gFontsLooked) {
        gFontsLooked = true;
        gVectorFont = HandleOf("VFont");
        if (!HudFont) gBitmapFont = HandleOf("BFont");
        RefreshFonts();
    }
    if (hudCount == 0) {
        hudAnimCounter = 0;
        hudAnimDirection = 1;
        hudOpen = 0;
    }
    if (hudCount >= kMaxHudElements) dunFatalError("Exceeded Max no. of HUDs");
    hudList[hudCount++] = hud;
}

void hudUnregister(int index) {
    if (index < 0 || index >= hudCount) return;
    HUD *hud = hudList[index];
    std::memmove(&hudList[index], &hudList[index + 1], sizeof(HUD *) * size_t(hudCount - index - 1));
    hudList[--hudCount] = nullptr;
    hud->flags &= ~HudFlag::InUse;
    if (gWalking && index <= gWalk) --gWalk;
}

int hudRemove(HUD *hud) {
    for (int i = 0; i < hudCount; ++i)
        if (hudList[i] == hud) {
            hudUnregister(i);
            return 1;
        }
    return 0;
}

void hudClearList() {
    for (int i = 0; i < hudCount; ++i) {
        hudList[i]->flags &= ~HudFlag::InUse;
        hudList[i] = nullptr;
    }
    hudCount = 0;
    gWalk = -1;
    // The cockpit set's spheres hang on windows, not in the list.
    for (HUD *&orb : hudOrbSpheres) {
        if (orb) orb->flags &= ~HudFlag::InUse;
        orb = nullptr;
    }
    for (HUD *&h : hudModeElements) h = nullptr;
    hudTrailFollowMode = 0;
    dunTargetSelected = 0;
    if (gBitmapFont) HudFont = nullptr;
    HudVectorFont = nullptr;
    gFontsLooked = false;
    gVectorFont = gBitmapFont = nullptr;
}

void hudRemoveOffSystemMarkers() {
    for (int i = 0; i < hudCount;) {
        HUD *h = hudList[i];
        const SceneItem *t = h->target;
        if (h->draw == hudDrawMarker && t && !(t->flags & SceneFlag::KeepAcrossSystems) &&
            (!(t->flags & SceneFlag::InUse) || t->systemNumber != dunCurrentSystem)) {
            hudUnregister(i);
            continue;
        }
        ++i;
    }
}

void hudShowAll() {
    hudOpen = 1;
    for (int i = 0; i < hudCount; ++i) hudList[i]->flags &= ~HudFlag::Hidden;
}

void hudHideAll() {
    hudOpen = 0;
    for (int i = 0; i < hudCount; ++i) hudList[i]->flags |= HudFlag::Hidden;
}

void hudToggleOpen() {
    if (gMissionEndState || gGuiFullScreen) return;
    if (hudOpen) {
        hudOpen = 0;
        hudAnimCounter = kHudAnimationLength;
        hudAnimDirection = -1;
    } else {
        hudAnimCounter = 0;
        hudAnimDirection = 1;
    }
}

void hudDrawOne(HUD *hud) {
    if (hud->flags & HudFlag::Hidden) return;
    if (hud->rebuild && !hud->target && !(hud->flags & (HudFlag::Untargeted | HudFlag::Untargeted2))) return;
    if ((hud->flags & HudFlag::LiveShip) && !LiveShip(hud->target)) return;
    if (hud->draw) hud->draw(hud);
    else hudDrawDefault(hud);
}

void hudDrawInView(HUD *hud) {
    if (!dunControlledObject || !hud) return;
    RefreshFonts();
    vt_pixelmap *const pixelmap = HudPixelmap;
    const HudRect rect = HudViewRect;
    const float scale = HudProjectScale;
    HUD *const hung = hudInViewRecord;
    HudPixelmap = gP3D.colourTarget;
    HudViewRect = {gP3D.viewRect[0], gP3D.viewRect[1], gP3D.viewRect[2], gP3D.viewRect[3]};
    HudProjectScale = gP3D.projectionScale;
    hudInViewRecord = hud;
    hudProjectInView();
    hudDrawOne(hud);
    hudInViewRecord = hung;
    HudPixelmap = pixelmap;
    HudViewRect = rect;
    HudProjectScale = scale;
}

void hudShiftPositions(float dx, float dy, float dz) {
    for (int i = 0; i < hudCount; ++i) {
        HUD *h = hudList[i];
        if (!(h->flags & HudFlag::WorldAnchored)) continue;
        const int n = h->pointCount < kHudPoints ? h->pointCount : kHudPoints;
        for (int p = 0; p < n; ++p) {
            h->points[p].world.x += dx;
            h->points[p].world.y += dy;
            h->points[p].world.z += dz;
        }
    }
}

void hudMoveRecord(SceneItem *from, SceneItem *to) {
    if (!from || from == to) return;
    for (int i = 0; i < hudCount; ++i)
        if (hudList[i]->target == from) hudList[i]->target = to;
}

void hudPlaceOnTarget(HUD *hud) {
    SceneItem *t = hud->target;
    if (!t) return;
    if (!(t->flags & SceneFlag::InUse)) {
        if (hud->draw == hudDrawOutline) return;
        hud->target = nullptr;
        hud->flags &= ~HudFlag::InUse;
        hudRemove(hud);
        return;
    }
    if (!t->sim) return;
    const Mat4 &m = t->sim->matrix;
    const Vec3d &at = t->sim->position;
    const int n = int16_t(hud->pointCount) < 0 ? 0 : hud->pointCount < kHudPoints ? hud->pointCount : kHudPoints;
    for (int p = 0; p < n; ++p) {
        HUDPoint &pt = hud->points[p];
        Vec3 turned;
        MatTransformPointTransposed(turned, pt.local, m);
        pt.world = {float(at.x + double(turned.x)), float(at.y + double(turned.y)), float(at.z + double(turned.z))};
    }
}

void hudDrawAll() {
    RefreshFonts();
    if (!optNoHud) {
        if (hudAnimDirection > 0) {
            hudDrawOpenCloseBar(hudAnimCounter * 100 / kHudAnimationLength);
            hudAnimCounter = int16_t(hudAnimCounter + dunFrameStep);
            if (hudAnimCounter > kHudAnimationLength) {
                hudOpen = 1;
                hudAnimDirection = 0;
                hudTrailFollowMode = 0;
            }
        } else if (hudAnimDirection < 0) {
            hudDrawOpenCloseBar(hudAnimCounter * 100 / kHudAnimationLength);
            hudAnimCounter = int16_t(hudAnimCounter - dunFrameStep);
            if (hudAnimCounter < 0) hudAnimDirection = 0;
        }
        // Director mode shows the caption alone; a target change waits for
        // the first frame after it.
        if (gCinematicView) {
            hudDrawCaption();
            return;
        }
        bool changed = hudTargetChanged;
        SceneItem *selected = dunCurrentContact ? dunCurrentContact->object : nullptr;
        if (selected != hudRememberedTarget) {
            hudRememberedTarget = selected;
            changed = true;
        }
        gWalking = true;
        for (gWalk = 0; gWalk < hudCount; ++gWalk) {
            HUD *h = hudList[gWalk];
            if (!dunFrozen && h->perFrame) {
                h->perFrame(h);
                if (gWalk < 0 || gWalk >= hudCount || hudList[gWalk] != h) continue;
            }
            if (hudOpen && h->target != dunControlledObject) {
                hudProjectPoints(h);
                hudDrawOne(h);
                if (gWalk < 0 || gWalk >= hudCount || hudList[gWalk] != h) continue;
            }
            if (changed && h->rebuild) h->rebuild(h, selected, h->parameter);
        }
        gWalking = false;
        gWalk = -1;
    }
    hudDrawCockpitOverlay();
    hudTargetChanged = 0;
}
