#include "world/mission_state.h"

uint8_t dunStockDialogueRequest;
int32_t dunMissionCounter, dunDestructionTotal, dunAlarmTimer, dunMissionCountdown, dunMissionCountdownSeconds;
int32_t gWaypointCount = -1;
int32_t gMissionClock;
uint8_t dunMissionSuccess;
int32_t dunMissionEndCountdown;
int32_t dunMissionEndWord;
uint8_t gMissionOver;
int16_t dunDebrisCount;
int16_t dunDebrisCountLarge;
uint8_t dunDebrisColour;
uint8_t gSystemArrivalPending;
SceneItem *dunIgnoredObject;
int32_t dunIgnoreCountdown;
uint32_t dunRepairsSwitch = 0xFFFFFFFFu;
BodyRecord *dunTargetLpBody;
int32_t dunTargetLpStar;
