#include "core/frame.h"

uint32_t dunGameClock;
uint32_t dunFrameCounter;
int32_t dunFrameStep;
float dunFrameSeconds = 0.01f;
float dunTimeScale = 1.0f;
int32_t gRawStep;
uint8_t dunFrozen, dunKeepControlledMoving;
uint8_t dunPrevKeyTable[256];
int32_t dunFrameSkipCount;
uint16_t gSystemTransferPending;
void *gTransferBody;
int32_t gFixedRate = 15;
uint8_t gFixedStep;
uint8_t gPaused, gScreenshotRequest, gDeveloperKeys;
