// The HUD's side of the presentation's calls: its lines in the wire
// drawings and its drawing over the 3D views.
#include "hud/draw.h"
#include "hud/hud.h"
#include "present/hooks.h"

void hudInstallPresentHooks() {
    static const PresentHudHooks hooks = {
        hudDrawLineIn,
        hudDrawAll,
        [](void *hud) { hudDrawInView(static_cast<HUD *>(hud)); },
    };
    P3DSetHudHooks(&hooks);
    hudInstallContactRows();
}
