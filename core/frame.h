// Clock and flow words of the game frame that the world reads.
#pragma once

#include <cstdint>

extern uint32_t dunGameClock;      // centiseconds
extern uint32_t dunFrameCounter;   // advanced once per frame
extern int32_t dunFrameStep;       // centiseconds of this frame
extern float dunFrameSeconds;      // this frame in seconds
extern float dunTimeScale;         // 1.0 normally; raised by the fast drive
extern int32_t gRawStep;           // this frame's step after clamping, before the time scale
extern uint8_t dunFrozen;          // the pause: only the controlled object moves, nothing is posted
extern uint8_t dunKeepControlledMoving;  // while frozen the controlled object still moves
// The 256-byte copy of the key-state table kept from the previous frame.
extern uint8_t dunPrevKeyTable[256];
extern int32_t gFixedRate;        // frames per second of the fixed-step (capture) mode (15)
extern uint8_t gPaused;            // the game's pause: idle turns only read keys
extern uint8_t gScreenshotRequest; // the frame saves a screenshot
// Debug commands of the cockpit and the front end are enabled ("powers",
// or the front end's hidden key sequence).
extern uint8_t gDeveloperKeys;
extern uint8_t gFixedStep;        // the fixed-step (capture) mode: every frame lasts 100 / gFixedRate cs
extern int32_t dunFrameSkipCount;  // frames the clock is skipping; engine sounds keep quiet meanwhile
// A system transfer the world asked for (a jump of the player's ship): the
// next frame moves the player when there is a transfer body.
extern uint16_t gSystemTransferPending;
extern void *gTransferBody;
