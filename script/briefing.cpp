// The briefing statements: a briefing's declarations run once, its
// sections wait for their text, pauses and film, and the player's next,
// back and pause requests move through them; its end opens the objectives
// and lets the world go on.
#include "script/briefing.h"

#include <cstring>

#include "RES/resman.h"
#include "core/frame.h"
#include "core/options.h"
#include "platform/display.h"
#include "platform/smack.h"
#include "platform/sound.h"
#include "platform/video.h"
#include "script/compiler.h"
#include "script/conditions.h"
#include "script/interp.h"
#include "script/objectives.h"
#include "script/screens.h"
#include "script/settings.h"
#include "script/statements.h"
#include "script/symbols.h"
#include "world/services.h"

int32_t gBriefingSection;
uint32_t gBriefingSectionStart[kBriefingSections];
uint8_t gBriefingSkip, gBriefingBack, gBriefingPauseMode, gBriefingPaused, gBriefingTextShown;
int32_t gBriefingPauseTimer;
Smack *gBriefingVideo;
int16_t gBriefingVideoX, gBriefingVideoY;

namespace {

constexpr int32_t kPauseStep = 200;
constexpr int32_t kObjectivesShowTime = 1000;

// The briefing a statement belongs to: the row whose declaration and end
// hold it, else the one requested.
int BriefingOf(uint32_t token) {
    for (int b = 0; b < kBriefingCount; ++b)
        if (gBriefingDeclare[b] && gBriefingDeclare[b] <= token && token < gBriefingEnd[b]) return b;
    return gBriefingNumber >= 0 && gBriefingNumber < kBriefingCount ? gBriefingNumber : -1;
}

// Runs the statement again next turn; the section's pause runs down
// meanwhile (to 0: a long wait for text does not eat a later pause).
void Wait(ScriptRun &run) {
    gBriefingPauseTimer = gBriefingPauseTimer > dunFrameStep ? gBriefingPauseTimer - dunFrameStep : 0;
    run.pc = run.statement;
    gScriptRunStatus = ScriptStatus::Yield;
}

bool TextTyped() { return !dunCall(ScriptGui().feedTyping); }

bool SectionFinished() { return TextTyped() && gBriefingPauseTimer <= 0 && !BriefingVideoRunning(); }

void CloseVideo() {
    if (VideoWindowOpen(gBriefingVideo)) VideoClose(gBriefingVideo);
    gBriefingVideo = nullptr;
    gBriefingVideoShowing = 0;
}

// The step back: to the start of a section (0 below 0); one never
// recorded, or out of the table, starts the briefing again.
void JumpToSection(ScriptRun &run, int32_t section) {
    gBriefingPauseTimer = 0;
    gBriefingBack = 0;
    if (section < 0) section = 0;
    uint32_t target = section < kBriefingSections ? gBriefingSectionStart[section] : 0;
    if (!target) {
        const int b = BriefingOf(run.statement);
        target = b >= 0 ? gBriefingBegin[b] : 0;
    }
    if (target) run.pc = target;
}

void StDeclare(ScriptRun &run) {
    const int b = BriefingOf(run.statement);
    if (b < 0) return;
    // The declarations after it run once a mission; later requests of the
    // briefing start at its BRF_BEGIN.
    if (!gBriefingDeclared[b]) {
        gBriefingDeclared[b] = 1;
        return;
    }
    if (gBriefingBegin[b]) run.pc = gBriefingBegin[b];
}

void StBegin(ScriptRun &) { gBriefingPauseTimer = 0; }

void StSection(ScriptRun &run) {
    const int32_t n = ScriptTrunc(DecodeNumberOperand(run));
    if (gBriefingLeave && gScriptStackDepth >= 0) {
        BriefingLeaveToEnd(run);
        return;
    }
    gBriefingSection = n;
    if (n >= 0 && n < kBriefingSections) gBriefingSectionStart[n] = run.statement;
    if (gBriefingPaused || gBriefingPauseTimer > 0) {
        if (TextTyped()) gBriefingTextShown = 1;
        Wait(run);
        return;
    }
    if (!gBriefingSkip) {
        if (!SectionFinished()) {
            Wait(run);
            return;
        }
    } else {
        CloseVideo();
    }
    gBriefingSkip = 0;
    if (gBriefingBack) JumpToSection(run, n - 2);
}

void StVideo(ScriptRun &run) {
    if (BriefingVideoRunning()) {
        Wait(run);
        return;
    }
    if (gBriefingLeave && gScriptStackDepth >= 0) {
        BriefingLeaveToEnd(run);
        dunCall(ScriptGui().resetTextFeed);
        return;
    }
    ScriptSymbol *film = DecodeSymbolOperand(run, SymKind::Resource | SymKind::MustExist);
    int32_t x = ScriptTrunc(OptionalNumberOperand(run));
    int32_t y = ScriptTrunc(OptionalNumberOperand(run));
    if (y <= 0) y = -1;
    if (x <= 0) {
        CloseVideo();
        x = -1;
    }
    const ResourceHandle *h = ScriptSymbolResource(film);
    if (!h || !VideoOpenInWindow(&gBriefingVideo, h->name, 0, 0, 0, 0) || !gBriefingVideo) {
        gBriefingVideo = nullptr;
        return;
    }
    gBriefingVideoShowing = 1;
    gBriefingVideoX = int16_t(x);
    gBriefingVideoY = int16_t(y);
}

void StPause(ScriptRun &run) {
    if (!gBriefingPauseMode) {
        gBriefingPauseTimer += kPauseStep;
        return;
    }
    if (gBriefingBack) return;
    if (gBriefingPauseTimer > 0 || (!gBriefingSkip && !SectionFinished())) {
        Wait(run);
        return;
    }
    if (!gBriefingSkip) gBriefingPaused = 1;
}

void StWaitText(ScriptRun &run) {
    if (!gBriefingSkip && (gBriefingPauseTimer > 0 || !TextTyped())) {
        Wait(run);
        return;
    }
    gBriefingSkip = 1;
}

void StWaitVideo(ScriptRun &run) {
    if (!gBriefingSkip && BriefingVideoRunning()) {
        Wait(run);
        return;
    }
    gBriefingSkip = 1;
}

void StEnd(ScriptRun &run) {
    if (!gBriefingSkip && !SectionFinished()) {
        Wait(run);
        return;
    }
    CloseVideo();
    gBriefingSkip = 0;
    if (gBriefingBack) {
        JumpToSection(run, gBriefingSection - 1);
        return;
    }
    gBriefingOpen = 0;
    gBriefingRequest = 0;
    gObjectivesPanelCountdown = kObjectivesShowTime;
    dunCall(ScriptGui().openObjectives);
    dunFrozen = 0;
    // The sounds paused as the briefing began play on with the world.
    SoundResumeAll();
    dunCall(ScriptGui().resetTextFeed);
    DisplaySetPalette(gCurrentPalette);
    dunCall(ScriptGui().markRedraw);
}

}  // namespace

bool BriefingVideoRunning() {
    if (!gBriefingVideoShowing || !VideoWindowOpen(gBriefingVideo)) return false;
    return gBriefingVideo->Frames > 0 && gBriefingVideo->FrameNum < gBriefingVideo->Frames;
}

void dunDrawBriefingVideo(const int16_t rect[4]) {
    if (!gBriefingVideoShowing || !gBriefingVideo) return;
    if (!VideoWindowOpen(gBriefingVideo)) {
        gBriefingVideo = nullptr;
        return;
    }
    const int w = int(gBriefingVideo->Width), h = int(gBriefingVideo->Height);
    const int x = gBriefingVideoX < 0 ? (rect[0] + rect[2] + 1 - w) / 2 : rect[0] + gBriefingVideoX;
    const int y = gBriefingVideoY < 0 ? (rect[1] + rect[3] + 1 - h) / 2 : rect[1] + gBriefingVideoY;
    const int16_t place[4] = {int16_t(x), int16_t(y), int16_t(x + w - 1), int16_t(y + h - 1)};
    // The film closes itself after its last frame.
    if (!VideoFrameToRect(gBriefingVideo, place)) gBriefingVideo = nullptr;
}

void BriefingLeaveToEnd(ScriptRun &run) {
    const int b = BriefingOf(run.statement);
    if (b >= 0 && gBriefingEnd[b]) run.pc = gBriefingEnd[b];
    gBriefingLeave = 0;
}

void ResetBriefingSection() {
    gBriefingSection = 0;
    std::memset(gBriefingSectionStart, 0, sizeof gBriefingSectionStart);
    gBriefingSkip = gBriefingBack = gBriefingPaused = gBriefingTextShown = 0;
    gBriefingPauseMode = optBrfPause ? 1 : 0;
    gBriefingPauseTimer = 0;
    CloseVideo();
}

const ScriptStatementRow kBriefingStatements[] = {
    {380, StDeclare},  {381, StBegin},     {382, StSection}, {383, StVideo}, {384, StPause},
    {385, StWaitText}, {386, StWaitVideo}, {387, StEnd},     {0, nullptr},
};
