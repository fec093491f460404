// Dialogue markup over arbitrary bytes: parsed within the text, played to
// its end or a reply, answered and cleared; the only way out is the report
// of unbalanced brackets.
#include <cstdlib>
#include <cstring>
#include <string>

#include "RES/resman.h"
#include "core/frame.h"
#include "fuzz_files.h"
#include "hud/missionlog.h"
#include "platform/sound.h"
#include "script/dialogue.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzzfiles::EnterDataRoot();
    SoundEnabled = 0;  // no speech samples to look for
    gRawStep = 20;
    std::string text(reinterpret_cast<const char *>(data), size);
    ResourceHandle handle{};
    std::snprintf(handle.name, sizeof handle.name, "%s", "vek\\resource\\text\\d01\\t001.txt");
    handle.data = text.data();
    handle.type = ResTxt2Txt;
    try {
        dunStartDialogue(&handle, nullptr, nullptr, nullptr);
    } catch (const fuzzfiles::Fatal &e) {
        if (std::strcmp(e.what(), "Dialogue parse error - Number of brackets in dialogue is wrong.")) std::abort();
        return 0;
    }
    for (int frame = 0; frame < 3000 && gDialogueQueue; ++frame) {
        dunUpdateDialogue();
        if (gDialogueQueue && (gDialogueQueue->state & DialogueState::Waiting)) {
            if (!gDialogueChoices) break;
            dunSelectDialogueSpeaker(gDialogueChoices->addressee);
            dunPlayDialogueChoice(gDialogueChoiceSlots[0] ? gDialogueChoiceSlots[0] : gDialogueChoices);
        }
    }
    dunClearDialogue();
    MissionLogReset();
    return 0;
}
