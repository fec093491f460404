// The player's wing: up to 13 AI ships that take short commands from the
// cockpit's wing keys (follow me, attack my target, defend, hold, dock ...).
// A command becomes the wingman's "FollowPlayer" order with a start state
// chosen by the command. Adding a wingman, testing the last command and
// commanding the wing are declared with the brain (ai/brain.h).
#pragma once

#include <cstdint>
#include <string>

#include "ai/brain.h"

constexpr int kWingSlots = 13;
constexpr int kWingCommands = 9;
constexpr int32_t kWingDisplayTicks = 300;
constexpr size_t kWingTextBytes = 256;

namespace WingCode {
constexpr int Hold = 0, FollowMe = 1, AttackMyTarget = 2, Defend = 3, Escort = 4, Wait = 5, Engage = 6,
              StandDown = 7, Dock = 8;
}  // namespace WingCode

struct WingSlot {
    SceneItem *object;
    uint32_t commandTime;  // mission time of the last command
    uint16_t lastCommand;
    uint8_t listening;
};

// One row of the command table: the confirmation text, and what the
// command names.
struct WingCommandDef {
    uint16_t message;
    uint8_t usesTarget;
    uint8_t usesGoal;
    uint8_t namesObject;
    uint8_t spare;
};
extern const WingCommandDef dunWingCommands[kWingCommands];

// The game texts of refusals and the read-out heading.
namespace WingText {
constexpr int OwnSide = 5, NoCommonSide = 7, NoTarget = 15, NoGoal = 16, Heading = 26;
}  // namespace WingText

extern WingSlot dunWing[kWingSlots];
// The wingman the next command goes to: -1 all of them (the cockpit keys
// set it; every command sets it back).
extern int16_t dunWingSelected;
// Set to 300 by every command; the HUD counts it down while it shows the
// confirmation.
extern int32_t dunWingDisplayTimer;
// The last confirmation or refusal.
extern char dunWingText[kWingTextBytes];

void dunai_ResetWing();
void dunai_PruneWing();
// Composes the confirmation (or refusal) of the command into dunWingText;
// true when the wingman may take it. With the read-out flag it describes
// the wingman's current command instead.
bool dunai_CanGiveWingCommand(SceneItem *commander, SceneItem *wingman, int code, bool readOut);
// The wingman's brain slot that carries the command, or -1 when refused.
int16_t dunai_GiveWingOrder(SceneItem *commander, SceneItem *wingman, int code);
// The text's first two "%s" take the arguments; any other conversion is
// printed as written; the result never passes the buffer.
void dunai_ComposeWingText(char *out, size_t size, const char *text, const char *first, const char *second);
// The debug read-out: the heading and "n - name" lines (null when the
// heading text is missing); each wingman's current command.
const char *dunai_ListWing();
void dunai_ListWingCommands(SceneItem *commander, std::string &out);
