// The GUI's side of the presentation's calls: the hat's commands and the
// main view's images.
#include "gui/keys.h"
#include "gui/window.h"
#include "present/hooks.h"

void guiInstallPresentHooks() {
    static const PresentGuiHooks hooks = {
        guiHatAction,
        [] {
            if (gGuiMainView) gGuiMainView->image = gGuiMainView->imageAlt = nullptr;
        },
    };
    P3DSetGuiHooks(&hooks);
}
