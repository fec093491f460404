// The mission briefing: a slideshow of text sections and films that the
// script plays between BRF_DECLARE and BRF_END and that the player steps
// through (next, back, pause), and the state its statements share with the
// cockpit's briefing controls.
#pragma once

#include <cstdint>

struct ScriptRun;
struct Smack;

// A briefing has sections 0..31; a section number outside them is not
// recorded, and a step back to an unrecorded section starts the briefing
// again from its BRF_BEGIN.
constexpr int kBriefingSections = 32;

extern int32_t gBriefingSection;
extern uint32_t gBriefingSectionStart[kBriefingSections];  // BRF_SECT tokens; 0 unrecorded
// The player's requests: the next section (skip), the one before (back),
// and the pause mode, the paused flag (the player must resume) and the
// section's text typed out.
extern uint8_t gBriefingSkip;
extern uint8_t gBriefingBack;
extern uint8_t gBriefingPauseMode;
extern uint8_t gBriefingPaused;
extern uint8_t gBriefingTextShown;
// Clock units the section still waits; BRF_PAUSE adds to it, every wait
// takes the frame step off it.
extern int32_t gBriefingPauseTimer;
// The briefing's film, drawn into the main view at its place (-1: centred
// on that axis); the briefing-video flag is gBriefingVideoShowing.
extern Smack *gBriefingVideo;
extern int16_t gBriefingVideoX, gBriefingVideoY;

// The section state cleared (a briefing begins, the player leaves it).
void ResetBriefingSection();
// The film's next frame into a rectangle of the screen; it is forgotten
// when it has ended.
void dunDrawBriefingVideo(const int16_t rect[4]);
// True while the briefing's film plays and has frames to come.
bool BriefingVideoRunning();
// The routine of a briefing the player left goes on after its BRF_END.
void BriefingLeaveToEnd(ScriptRun &run);
