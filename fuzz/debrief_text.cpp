// The debriefing texts: any bytes as a mission's debriefing, read as the
// front end reads it and typed out through the text feed, drawn into a
// small surface frame after frame.
#include <cstdint>
#include <cstring>
#include <vector>

#include "RES/util.h"
#include "core/options.h"
#include "fuzz_files.h"
#include "gui/feed.h"
#include "gui/front.h"
#include "platform/display.h"
#include "platform/sound.h"
#include "script/career.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzzfiles::EnterDataRoot();
    static bool ready = [] {
        std::filesystem::create_directories("vek/resource/text/debrief");
        optNoSlab = 0xFF;
        SoundEnabled = 0;
        guiTextFeedInit();
        return true;
    }();
    (void)ready;
    fuzzfiles::Write("vek/resource/text/debrief/dbf_01_0.txt", data, size);
    osFlushPathCache();
    MissionRecord mission{};
    mission.missionNumber = 1;
    mission.index = 1;
    static std::vector<uint8_t> pixels(200 * 150);
    ScreenSurface = Surface{pixels.data(), 200, 150, 0, 0, 200, 1};
    for (int outcome : {0, 1, 2}) {
        char *text = frontLoadDebrief(&mission, outcome);
        if (!text) continue;
        if (std::strlen(text) > size) __builtin_trap();
        guiResetTextFeed();
        guiPostFeedText(text, outcome);
        dunFree(text);
        for (int frame = 0; frame < 200 && guiFeedTyping(); ++frame) {
            guiTypeNextChar();
            guiTextFeedTick();
            guiDrawTextFeed(4, 4, 190, 140);
        }
    }
    guiResetTextFeed();
    ScreenSurface = Surface{};
    return 0;
}
