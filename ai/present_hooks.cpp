// The AI's side of the presentation's calls: the weapon camera's mounts,
// the contact table the cameras read, and the power shares the look keys
// move.
#include "ai/contacts.h"
#include "ai/scores.h"
#include "ai/weapons.h"
#include "present/hooks.h"

void dunai_InstallPresentHooks() {
    static const PresentAiHooks hooks = {
        dunPlaceMount,
        dunChooseMount,
        [] { return dunCurrentContact ? dunCurrentContact->object : nullptr; },
        [](const SceneItem *item) {
            for (const Contact &c : dunContacts)
                if ((c.flags & ContactFlag::InUse) && c.object == item) return true;
            return false;
        },
        [] { return dunPowerShares; },
        dunShiftPowerShare,
    };
    P3DSetAiHooks(&hooks);
}
