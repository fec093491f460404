// The load-progress display.
#include "app/progress.h"

#include <cstdio>
#include <cstring>

#include "app/game.h"
#include "core/options.h"
#include "app/shell.h"
#include "app/shellcall.h"
#include "gui/feed.h"
#include "platform/display.h"
#include "RES/gfx2d.h"
#include "script/career.h"
#include "script/mission.h"


void ShowLoadProgressStep(const char *text) {
    if (!(optFrontEndStart || (gMissionFromCommandLine && CardMode))) return;
    if (!gLoading) return;
    if (optConsole) {
        char line[512];
        std::snprintf(line, sizeof line, "%s", text ? text : "");
        size_t n = std::strlen(line);
        if (n && line[n - 1] == '\n') line[n - 1] = 0;
        BitmapFont *saved = gFeedFont;
        gFeedFont = BFont;
        CALL(guiPostFeedText, line, 0);
        while (CALL(guiFeedTyping)) CALL(guiTypeNextChar);
        CALL(DisplayBeginFrame, &TheDisplayMode);
        if (TheDisplayMode.screen) CALL(FillRect, TheDisplayMode.screen, 0, 20, 8, 20 + 620 - 1, 8 + 82 - 1);
        CALL(guiDrawTextFeed, 20, 8, 600, 82);
        CALL(DisplayPresent, &TheDisplayMode);
        PumpMessages();
        gFeedFont = saved;
        return;
    }
    CALL(DisplayBeginFrame, &TheDisplayMode);
    ++gLoadProgress;
    BarGauge bar;
    bar.x = gMissionFromCommandLine ? 123 : 54;
    bar.y = 399;
    bar.width = gMissionFromCommandLine ? 400 : 538;
    bar.height = 14;
    if (ResolutionMode == 1 || ResolutionMode == 2) {
        bar.x = int16_t(bar.x + (TheDisplayMode.width - 640) / 2);
        bar.y = int16_t(bar.y + (TheDisplayMode.height - 480) / 2);
    }
    bar.value = gLoadProgress;
    uint16_t total = CALL(MissionLoadSize, gCurrentMission);
    bar.maximum = total ? (float)total : 132.0f;
    CALL(guiDrawBarSegmented, &bar);
    CALL(DisplayPresent, &TheDisplayMode);
    PumpMessages();
}
