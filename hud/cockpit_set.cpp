// The cockpit's elements of a mission, and the HUD-mode command's choice
// among the three that are shown one at a time.
#include "hud/elements.h"
#include "hud/hud.h"
#include "world/pools.h"
#include "world/records.h"

HUD *hudOrbSpheres[3];
HUD *hudModeElements[3];

namespace {

HUD *Listed(HUD *hud, bool hidden) {
    if (hidden) hud->flags |= HudFlag::Hidden;
    hudRegister(hud);
    return hud;
}

}  // namespace

void hudCreateCockpitSet() {
    for (HUD *&orb : hudOrbSpheres) {
        // The spheres of an earlier mission are not listed: they go back to
        // the pool here.
        if (orb && orb->draw == hudDrawOrb) orb->flags &= ~HudFlag::InUse;
        orb = nullptr;
    }
    for (uint32_t n = 0; n < 7; ++n) {
        HUD *trail = dunAllocHUD();
        hudInitTrail(trail, nullptr, n);
        Listed(trail, false);
    }
    HUD *lagrange = dunAllocHUD();
    hudInitLagrangeMarker(lagrange, "LAGRANGE");
    Listed(lagrange, false);
    HUD *mounts = dunAllocHUD();
    hudInitMountMarkers(mounts, nullptr, 0);
    hudModeElements[0] = Listed(mounts, true);
    HUD *arcs = dunAllocHUD();
    hudInitWeaponArcs(arcs, nullptr, 0);
    hudModeElements[1] = Listed(arcs, true);
    HUD *targeting = dunAllocHUD();
    hudInitTargetingHud(targeting, nullptr, 0);
    Listed(targeting, false);
    HUD *streaks = dunAllocHUD();
    hudInitSpeedStreaks(streaks, nullptr, 0);
    Listed(streaks, false);
    HUD *boxes = dunAllocHUD();
    hudInitSubsystemBoxes(boxes, nullptr, 0);
    hudModeElements[2] = Listed(boxes, true);
    HUD *crosses = dunAllocHUD();
    hudInitCrossHud(crosses, nullptr, 0);
    Listed(crosses, true);
    HUD *outline = dunAllocHUD();
    hudInitTargetOutline(outline, nullptr, 0);
    Listed(outline, false);
    HUD *perimeter = dunAllocHUD();
    hudInitPerimeterBox(perimeter, nullptr, 0);
    Listed(perimeter, true);
    dunPerimeterBox = perimeter;
    static const int32_t kViewingDistances[3] = {6500, 5500, 8500};
    for (int k = 0; k < 3; ++k) {
        hudOrbSpheres[k] = dunAllocHUD();
        hudInitOrbSphere(hudOrbSpheres[k], nullptr, 0, kViewingDistances[k]);
    }
}

void hudSetMode(int mode) {
    for (int k = 0; k < 3; ++k)
        if (HUD *h = hudModeElements[k]) {
            if (mode == k + 1) h->flags &= ~HudFlag::Hidden;
            else h->flags |= HudFlag::Hidden;
        }
}
