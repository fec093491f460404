// The engineering station: the focus component of the player ship's
// network and its walks, the four repair teams and their priority, the view
// filter, component picking in the ship view and the essential gauges.
#pragma once

#include <cstdint>

struct EngComponent;
struct GuiWindow;
struct RepairTeam;

extern uint8_t gGuiEngFollow;  // the focus was set by the player
// The team slot serving each entry of the component table (0 none, 1-4).
extern int16_t gGuiEngListTeam[40];
// The repair teams in priority order, and a word per team slot.
extern RepairTeam *gGuiEngTeamOrder[4];
extern uint16_t gGuiEngTeamWord[4];
extern uint8_t gGuiEngTeamChanged[4];
// The view's pick point (model units) and whether there is one.
extern float gGuiEngPick[2];
extern uint8_t gGuiEngPicked;
extern GuiWindow *gGuiEngLabel;
constexpr float kGuiEngWireDistance = 300.0f;

void guiEngDefaultFocus();
void guiEngCentreOnFocus();
void guiEngNextSystem();
void guiEngPrevSystem();
void guiEngPrevWithinGroup();
void guiEngNextWithinGroup();
void guiEngPrevGroup();
void guiEngNextGroup();
void guiEngClearFollow();
// Team 0-3 to the focus component.
void guiEngAssignTeamKey(int team);
void guiEngPromoteTeam(GuiWindow *window);
// The slot's bit toggled in the view filter.
void guiEngToggleSlot(GuiWindow *window);
// The component of column `column` whose row band holds the y offset from
// the column's top, or null.
EngComponent *guiEngListRowAt(int column, int y);
// A view point (model units): the smallest hit rectangle of the components
// the filter lets through that holds it; none clears the pick.
EngComponent *guiEngPickAt(float x, float y);
void guiEngViewLeave();
// The gauges' values; false when the component is missing (the gauge keeps
// its value).
bool guiEngGaugeValue(int gauge, float *value, float *max);
