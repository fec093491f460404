// Game initialisation, the game frame and shutdown.
#pragma once

#include <cstdint>

#include "core/frame.h"
#include "core/progress.h"
#include "script/mission.h"
#include "script/script.h"

struct ScriptToken;
struct BitmapFont;
struct SceneItem;

extern uint8_t gInFrontEnd;             // (kept with the keyboard, which reads it)
extern uint8_t gLaunchRequest;
extern uint8_t *gKeyState;               // the key-down table
extern int32_t gKeyHoldOff;              // frames in which queued keys are dropped
extern uint8_t gSkipPresent;

// The twelve named fonts and the standard palette (256 x 4).
extern BitmapFont *RFont, *BFont, *GFont, *MidFont, *ConsFont, *ConsFont1, *ConsFont2, *HFont, *DimFont, *A2Font,
    *A2DimFont, *VFont;
extern uint8_t gStandardPalette[1024];

int gameInit();
int gameFrame();
void gameShutdown();
void launchFileByExtension(const char *path);

// Resets the flow flags above to their start values (tests, a fresh start).
void ResetGameState();
