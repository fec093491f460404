// The GUI's side of the mission script's calls: its statements, the
// cockpit's and the front end's part in a mission's start and end, the feed
// the dialogue speaks on and the career timeline.
#include "gui/bindings.h"
#include "gui/cockpit.h"
#include "gui/docviewer.h"
#include "gui/feed.h"
#include "gui/front.h"
#include "gui/gui.h"
#include "gui/keys.h"
#include "gui/nav.h"
#include "gui/options.h"
#include "gui/screen.h"
#include "gui/script_statements.h"
#include "gui/timeline.h"
#include "gui/wep_station.h"
#include "gui/window.h"
#include "present/wireframe.h"
#include "script/screens.h"

void guiInstallScriptHooks() {
    static const ScriptGuiHooks hooks = {
        kWindowStatements,
        kSettingStatements,
        [] {
            guiNavCreatePrograms();
            guiResetTextFeed();
            guiClearMessageLine();
        },
        [] {
            frontMissionExit();
            frontSetPalette();
            frontReturnScreen();
            guiCloseComArmVideos();
        },
        [] {
            guiResetKeyHandler();
            guiNavReset();
            guiWepReset();
            WireframeResetSchematic();
        },
        docResetMedia,
        [] {
            if (!gGuiComArmOpen) return false;
            guiCloseComArmVideos();
            return true;
        },
        guiEndMission,
        guiPushFullScreen,
        guiSetScreen,
        guiMarkRedraw,
        [] {
            if (gGuiMainView) guiReload(gGuiMainView);
        },
        [] { gObjectivesOpen = 1; },
        guiResetTextFeed,
        [](const char *text) { return guiMessageTime(text, nullptr); },
        guiSetSpeaker,
        [] {
            if (gGuiChoiceWindow) guiReload(gGuiChoiceWindow);
        },
        [](uint16_t mode) { gSpeakerClipMode = mode; },
        frontAddTimelineNode,
        [] {
            frontLayoutTimeline(&gTimelineOpen);
            frontLayoutTimeline(&gTimelinePlayed);
        },
        frontFreeTimelines,
        [] { guiNavStopProgram(nullptr); },
        [](bool allowed) { guiNavDetachAllowed = allowed ? 0xFF : 0; },
        // The load-game statement puts the chooser up when the list has a
        // checkpoint besides the mission's start.
        [] {
            const int n = guiRefreshSaveList();
            if (n > 1) gGuiSaveListOpen = 1;
            return n;
        },
        [](uint16_t code) { return gGuiArcMirror ? guiMirrorArcCode(code) : code; },
        PlayDialogueLine,
        guiFeedTyping,
        [] {
            if (!gGuiComArmOpen) guiToggleComArm();
        },
        guiFindKeyBinding,
        [](const char *name) {
            gGuiScreen = nullptr;
            guiSetScreen(name);
        },
        [] { guiNavSelectProgram(guiNavSelectedProgram); },
    };
    ScriptSetGuiHooks(&hooks);
}
