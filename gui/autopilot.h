// The autopilot's order routines: what each navigation program gives the
// ship to do, in normal flight and in the LDS drive; the jump to the star
// system chosen on the map; the weapons station's re-aim of the sub-targets.
#pragma once

#include <cstdint>

struct SceneItem;

// Each routine gives its order in slot 1 of the ship's brain (weight 80,
// the default evaluation with 80) and starts it. The routines that need a
// target take the ship's navigation target (its Sim target); without one,
// or with one they refuse, no order is given and the ship's autopilot flag
// is cleared.
void guiAutoStop(SceneItem *ship);
// State 18 (target, 3) towards a target of Avatar bit 24, else 49 (0,
// target); the same in normal and in LDS flight.
void guiAutoApproach(SceneItem *ship);
void guiAutoFormate(SceneItem *ship);
// Refused for a live hostile target other than types 1, 4 and 11.
void guiAutoDock(SceneItem *ship);
void guiAutoStopRelative(SceneItem *ship);
void guiAutoPursue(SceneItem *ship);
void guiAutoEvade(SceneItem *ship);
void guiAutoLdaDefence(SceneItem *ship);
// Refused while the target is in the LDS drive.
void guiAutoMatchVelocity(SceneItem *ship);
// FORMATE and PURSUE in the drive: "LDS On" with 1,500,000.
void guiAutoLdsFormate(SceneItem *ship);

// The slot the programs use and its weight.
constexpr int kAutopilotSlot = 1;
constexpr int32_t kAutopilotWeight = 80;

// The weapons station's sub-target buttons: the aim points 0 to 3 of the
// controlled object picked again for its target.
void guiReaimSubTargets();

// Set by the map's capsule button: the ship jumps to the chosen Lagrange
// destination (dunTargetLpBody of system dunTargetLpStar) once it can.
extern uint8_t gGuiSystemJumpRequest;
