// The debriefing that ends a mission: its text (with the remapped missions
// and the fallback files), the spoken version, the end films of the
// campaign's last missions, and the way back to the front end's screen.
#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "RES/slab.h"
#include "RES/util.h"
#include "core/files.h"
#include "core/frame.h"
#include "core/options.h"
#include "gui/feed.h"
#include "gui/front.h"
#include "gui/screen.h"
#include "platform/sound.h"
#include "platform/video.h"
#include "script/career.h"
#include "script/compiler.h"
#include "script/mission.h"

int32_t gDebriefHoldTime;

namespace {

constexpr size_t kDebriefBytes = 2499;
constexpr int kBonusMission = 90;

const char *LanguagePrefix() { return gLanguage == 1 ? "frn_" : gLanguage == 2 ? "ger_" : nullptr; }

// Reads at most 2499 bytes of an open entry into a block of its exact
// length, terminated.
char *ReadText(FILE *f, uint32_t size) {
    char buffer[kDebriefBytes + 1];
    const size_t wanted = size < kDebriefBytes ? size : kDebriefBytes;
    const size_t n = std::fread(buffer, 1, wanted, f);
    buffer[n] = 0;
    const size_t length = std::strlen(buffer);
    auto *copy = static_cast<char *>(dunAlloc(length + 1));
    if (copy) std::memcpy(copy, buffer, length + 1);
    return copy;
}

char *TryDebrief(const char *path) {
    uint32_t size = 0;
    FILE *f = frontOpenLocalized("text", path, &size);
    if (!f) return nullptr;
    char *text = ReadText(f, size);
    slabClose(f);
    if (text && !*text) EmptyGameFile(path, "the debriefing is blank");
    return text;
}

// Plays the spoken debriefing of the outcome, else of outcome 0; its
// centiseconds, 0 when there is none.
int32_t PlaySpokenDebrief(int number, int outcome) {
    static const char *const kFormats[3] = {"%s\\dbf_%02i_%01i.wav", "%sFrench\\dbf_%02i_%01i.wav",
                                            "%sGerman\\dbf_%02i_%01i.wav"};
    const char *format = kFormats[gLanguage < 3 ? gLanguage : 0];
    char path[kFolderBytes + 32];
    for (int tryOutcome : {outcome, 0}) {
        std::snprintf(path, sizeof path, format, gAudioFolder, number, tryOutcome);
        if (!GameFileExists(path)) continue;
        if (SoundSlot *speech = SpeechPlayFile(path)) return SoundDurationCs(speech);
        return 0;
    }
    return 0;
}

}  // namespace

bool FrontDebugTexts() { return gDeveloperKeys != 0; }

FILE *frontOpenLocalized(const char *slab, const char *name, uint32_t *size) {
    if (!name) return nullptr;
    char slabName[64], path[260];
    std::snprintf(slabName, sizeof slabName, "%s", slab ? slab : "");
    std::snprintf(path, sizeof path, "%s", name);
    if (const char *prefix = LanguagePrefix()) {
        LocaliseTextPath(path, prefix);
        // The language's texts have a slab of their own: "text" alone names
        // it too.
        if (!std::strcmp(slabName, "text")) std::snprintf(slabName, sizeof slabName, "%s", prefix);
        else LocaliseTextPath(slabName, prefix);
    }
    return slabOpen(slab ? slabName : nullptr, path, size);
}

char *frontLoadDebrief(const MissionRecord *mission, int outcome) {
    if (!mission || mission->missionNumber >= kBonusMission) return nullptr;
    if (outcome == 2) outcome = 0;
    int number = mission->missionNumber;
    switch (mission->index) {
    case 42: number = 47; break;
    case 43: number = 48; break;
    case 45: number = 50; break;
    case 47: number = 36; break;
    case 52: number = 43; break;
    default: break;
    }
    if (number == 39) return nullptr;
    if (number == 44) number = 39;
    if (mission->index == 42) outcome = 0;
    char path[200];
    if (mission->missionNumber == 0) {
        std::snprintf(path, sizeof path, "vek\\resource\\text\\debrief\\%s.txt", mission->name);
        return TryDebrief(path);
    }
    std::snprintf(path, sizeof path, "vek\\resource\\text\\debrief\\dbf_%02i_%i.txt", number, outcome);
    if (char *text = TryDebrief(path)) return text;
    std::snprintf(path, sizeof path, "vek\\resource\\text\\debrief\\dbf_%02i_0.txt", number);
    if (char *text = TryDebrief(path)) return text;
    if (FrontDebugTexts()) return TryDebrief("vek\\resource\\text\\debrief\\dbf_null.txt");
    return nullptr;
}

bool frontHasEndFilm(int mission, int result) {
    if (mission < 0 || mission >= kCareerMissions) return false;
    const int number = gMissionTable[mission].missionNumber;
    return (number == 37 && mission == 37) || (number == 43 && result == 1) || number == 44;
}

void frontPlayEndFilm(int mission, int result) {
    static const char *const kFilms[3][3] = {{"out1.smk", "out1frn.smk", "out1ger.smk"},
                                             {"out2.smk", "out2frn.smk", "out2ger.smk"},
                                             {"out3.smk", "out3frn.smk", "out3ger.smk"}};
    if (!frontHasEndFilm(mission, result)) return;
    const int number = gMissionTable[mission].missionNumber;
    const int film = number == 44 ? 0 : number == 43 ? 1 : 2;
    if (PlayVideo(kFilms[film][gLanguage < 3 ? gLanguage : 0])) VideoPlaying = 1;
    // The end runs one frame later, while the film plays in silence.
    gMissionOverNextFrame = 1;
    gMissionOver = 0;
    SoundStopAll();
}

void frontShowDebrief(int missionIndex, int outcome) {
    gDebriefHoldTime = 0;
    const bool inTable = missionIndex >= 0 && missionIndex < kCareerMissions;
    const MissionRecord *mission = inTable ? &gMissionTable[missionIndex] : nullptr;
    const int result = dunMissionSuccess ? 1 : 0;
    char *text = frontLoadDebrief(mission, outcome);
    if (text && !frontHasEndFilm(missionIndex, result)) {
        guiPostFeedText(text, 0);
        dunFree(text);
        const int32_t spoken = PlaySpokenDebrief(mission->missionNumber, outcome);
        if (spoken > 0) gDebriefHoldTime = spoken + 100;
        return;
    }
    dunFree(text);
    gMissionOver = 1;
    frontPlayEndFilm(missionIndex, result);
}

void frontReturnScreen() {
    FrontClosePageFilm();
    if (gFrontPage != FrontPage::Action) {
        guiSetScreen("FrontTime");
        gKeyHoldOff = 5;
        gFrontPage = gFrontRequestedPage = FrontPage::Time;
    } else {
        guiSetScreen("FrontHome");
        gFrontRequestedPage = 23;
    }
    FrontRefreshSelection();
}
