// The weapons station: the weapon groups and cycling, the four slots,
// automatic and forward tracking, rapid and ripple fire, and its read-outs.
#pragma once

#include <cstdint>

struct GuiWindow;
struct Weapon;

extern uint16_t gWepGroup;  // 0 the beam group, 1 the missile group
// The rapid and ripple switches are the fire routine's own modes (rapid
// beam fire, and the move to the next hostile after each shot).
extern uint8_t &gWepRapid, &gWepRipple;  // 0 or 0xFF
extern uint8_t gWepAuto, gWepForwardTrack;  // 0 or 0xFF
extern Weapon *gWepSlots[4];
extern uint8_t gWepIconsDirty;
extern Weapon *gWepSelected;
extern char gWepLastMessage[64];

// Back to the start: beam group, auto and forward tracking on, the rest off.
void guiWepReset();
void guiWepShowSelection(const Weapon *weapon);
void guiWepFillSlots();
void guiWepSelectSlot(GuiWindow *window);
void guiWepToggleAuto(GuiWindow *window);
// The arc code of a mount with automatic tracking on or off.
uint16_t guiWepTrackingArc(uint16_t code, bool tracking);
// The words of the labels in the current language.
const char *guiWepFireModeWord();
const char *guiWepTrackWord();
// The racks and rounds read-outs of a weapon (never below 0).
float guiWepRacks(const Weapon *weapon);
float guiWepRounds(const Weapon *weapon);
