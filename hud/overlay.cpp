// The cockpit's status overlay, drawn last in the HUD pass over the space
// view: the caption and marks, the mission clock, the bottom status line,
// the missile list, the key-prompt marquee, the hull bar, the time scale,
// the throttle gauge the mouse can drag, and the debug read-outs.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <utility>

#include "RES/font.h"
#include "RES/gfx2d.h"
#include "RES/text.h"
#include "RES/vecmath.h"
#include "ai/states.h"
#include "core/frame.h"
#include "core/options.h"
#include "gui/feed.h"
#include "gui/gadgets.h"
#include "gui/nav.h"
#include "gui/window.h"
#include "hud/draw.h"
#include "hud/elements.h"
#include "hud/hud.h"
#include "hud/missionlog.h"
#include "hud/overlay.h"
#include "platform/display.h"
#include "platform/keyboard.h"
#include "present/cameras.h"
#include "present/views.h"
#include "script/dialogue.h"
#include "script/mission.h"
#include "script/settings.h"
#include "world/engineering.h"
#include "world/mission_state.h"
#include "world/objlist.h"
#include "world/records.h"

HudListedMissile hudMissiles[kHudMissileSlots];
int32_t hudMissileCount;
int16_t hudThrottleBox[4];
float hudThrottleOrigin, hudThrottleScale;
int32_t hudPromptOffset;

namespace {

const char *ByLanguage(const char *const (&texts)[3]) { return texts[gLanguage < 3 ? gLanguage : 0]; }

ClipRect ViewClip() { return {HudViewRect.left, HudViewRect.top, HudViewRect.right, HudViewRect.bottom}; }

void Text(int x, int y, const char *text, int colour = -1, const ClipRect *clip = nullptr) {
    if (!HudFont || !TheDisplayMode.screen) return;
    const ClipRect view = ViewClip();
    dunDrawText(TheDisplayMode.screen, &x, &y, text, HudFont, colour < 0 ? HudColour : colour, clip ? clip : &view);
}

int Width(const char *text) {
    int w = 0, h = 0;
    if (HudFont) dunMeasureText(text, HudFont, &w, &h);
    return w;
}

void Centred(int y, const char *text, int colour = -1) {
    Text((HudViewRect.left + HudViewRect.right) / 2 - Width(text) / 2, y, text, colour);
}


// The gauge window the bar drawers read; never registered with the GUI.
GuiWindow gauge;
void Bar(void (*draw)(GuiWindow *), float value, float maximum, int x, int y, int w, int h) {
    gauge = GuiWindow{};
    gauge.value = value;
    gauge.max = maximum;
    gauge.x = int16_t(x), gauge.y = int16_t(y), gauge.w = int16_t(w), gauge.h = int16_t(h);
    draw(&gauge);
}

Sim *Controlled() { return dunControlledObject ? dunControlledObject->sim : nullptr; }

void DrawFrameRate() {
    char text[32];
    hudFrameStepText(text, sizeof text, dunFrameStep);
    Text(HudViewRect.right - 20, HudViewRect.top + 16, text);
}

void DrawReadout() {
    SceneItem *ship = dunControlledObject;
    const Sim *s = ship ? ship->sim : nullptr;
    const ShipInfo *info = s ? s->shipInfo : nullptr;
    if (!info) return;
    const uint8_t keep = HudColour;
    HudColour = uint8_t(hudSideColour(ship->avatar ? ship->avatar->flags : 0));
    const int x = HudViewRect.left + 48;
    int y = HudViewRect.top + 16;
    char line[160];
    auto put = [&](const char *text) {
        Text(x, y, text);
        y += 10;
    };
    const TDP *root = ship->avatar ? ship->avatar->root : nullptr;
    std::snprintf(line, sizeof line, "SHIP: %s A: %.1f", info->name ? info->name : "", root ? 900.0 * root->radius : 0.0);
    put(line);
    const OrderSlot *order = info->currentOrder >= 0 && info->currentOrder < 8 ? &info->orders[info->currentOrder] : nullptr;
    std::snprintf(line, sizeof line, "ORDER: %s", order && order->name ? order->name : "No Order");
    put(line);
    const StateFrame &top = info->states[info->stateTop >= 0 && info->stateTop < kStateFrames ? info->stateTop : 0];
    const char *state = top.state < uint32_t(kStateIds) && AiStateNames[top.state] ? AiStateNames[top.state] : "";
    std::snprintf(line, sizeof line, "STATE: %s", state);
    put(line);
    std::snprintf(line, sizeof line, "SUBSTATE: %i", int(top.step));
    put(line);
    const struct {
        const char *label;
        const SceneItem *object;
    } named[] = {{"NAVTARGET", s->goal}, {"WEPTARGET", s->target}, {"AVOID", ship->avatar ? ship->avatar->nearest : nullptr},
                 {"AVOID IGNORE", ship->avatar ? ship->avatar->ignored : nullptr}};
    for (const auto &n : named) {
        std::snprintf(line, sizeof line, "%s: %s", n.label, hudReadoutName(n.object));
        put(line);
    }
    const int hull = info->damage.maximum ? 100 - info->damage.damage * 100 / info->damage.maximum : 100;
    std::snprintf(line, sizeof line, "DAMAGE: %i", hull);
    put(line);
    put(s->flags & SimFlag::Lds ? "LDS" : "THR");
    std::snprintf(line, sizeof line, "SPEED %i m/s", int(VecLength(s->velocity) / 100.0));
    put(line);
    HudColour = keep;
}

void DrawMissionClock() {
    char text[32];
    const int t = gMissionClock;
    std::snprintf(text, sizeof text, "T: %i:%02i", t / 6000, (t / 100) % 60);
    Text(HudViewRect.right - 50, HudViewRect.bottom - 8, text);
}

// The bottom status line: the emergency warning, else waypoints, time left
// and the FTL signal.
void DrawBottomLine() {
    const int y = HudViewRect.bottom - 36;
    char text[128];
    const EngComponent *emergency =
        dunEmergencyInUse && dunControlledObject ? dunFindComponentByName(dunControlledObject, "EMERG ACC") : nullptr;
    if (emergency && emergency->value > 0.0f && hudEmergencyBlinkOn(gMissionClock)) {
        // In the frames it shows it is the only line.
        static const char *const kEmergency[3] = {"ON EMERGENCY POWER: %i SECONDS LEFT",
                                                  "SYST\xC8MES DE SECOURS RESTE %i SECONDES",
                                                  "IM NOTSTROMBETRIEB NOCH %i SEKUNDEN"};
        std::snprintf(text, sizeof text, ByLanguage(kEmergency), int(emergency->value * 20.0f));
        Centred(y, text);
        return;
    }
    bool waypoints = false;
    if (gWaypointCount > 0) {
        static const char *const kWay[3] = {"Waypoints left: %i", "Points de passage restants: %i",
                                            "verbleibende Koordinaten: %i"};
        std::snprintf(text, sizeof text, ByLanguage(kWay), gWaypointCount);
        Centred(y, text);
        waypoints = true;
    }
    if (gTargetTime != 0 && !gFeedShowing) {
        hudTimeLeftText(text, sizeof text, gTargetTime, gMissionClock);
        Centred(waypoints ? y - 12 : y, text);
    }
}

// Top-left warning: the shield, the blinking LDS inhibit, and once the
// mission is won its blinking text.
void DrawWarning() {
    const Sim *s = Controlled();
    const char *text = nullptr;
    const bool blink = dunGameClock % 200 > 100;
    if (!dunMissionSuccess || gCurrentMission == 99) {
        static const char *const kInhibit[3] = {"LDS INHIBIT", "LDS-IMPOSSIBLE", "LDS BLOCKIERT"};
        if (s && (s->flags & SimFlag::Shielded)) text = "SHIELD";
        else if (s && (s->flags & SimFlag::LdsBlocked) && blink) text = ByLanguage(kInhibit);
    } else if (blink) {
        text = ScriptTextSlot(208);
    }
    if (text && text[0]) Text(HudViewRect.left + 8, HudViewRect.top + 15, text);
}

void DrawMissileList() {
    const int n = hudMissileCount < kHudMissileShown ? hudMissileCount : kHudMissileShown;
    const bool wide = HudViewRect.right - HudViewRect.left > 640;
    const int right = HudViewRect.right - (wide ? 50 : 0);
    for (int i = 0; i < n; ++i) {
        const HudListedMissile &m = hudMissiles[i];
        const int y = HudViewRect.bottom - 34 - (n - 1) * 10 + i * 10;
        char text[48];
        std::snprintf(text, sizeof text, "MSL %i", i + 1);
        Text(right - 300, y, text);
        const Sim *ms = m.missile && (m.missile->flags & SceneFlag::InUse) ? m.missile->sim : nullptr;
        if (ms && ms->shipInfo && ms->shipInfo->name) {
            const ClipRect clip = {HudViewRect.left, HudViewRect.top, int16_t(right - 150), HudViewRect.bottom};
            Text(right - 250, y, ms->shipInfo->name, -1, &clip);
        }
        hudMissileRangeText(text, sizeof text, m.range);
        Text(right - 140, y, text);
    }
    hudMissileCount = 0;
}

void DrawKeyPrompt() {
    if (gFeedShowing) return;
    char text[256];
    dunPromptText(text, sizeof text);
    if (!text[0]) return;
    const int y = HudViewRect.top + (gGuiFullScreen ? 40 : 28);
    const int width = Width(text), view = HudViewRect.right - HudViewRect.left;
    if (width <= view) {
        Centred(y, text, 255);
        return;
    }
    hudPromptOffset = hudMarqueeBefore(hudPromptOffset, width);
    const ClipRect clip = {HudViewRect.left, int16_t(y - 14), HudViewRect.right, int16_t(y)};
    Text(HudViewRect.left - hudPromptOffset, y, text, 255, &clip);
    Text(HudViewRect.left - hudPromptOffset + width + 15, y, text, 255, &clip);
    hudPromptOffset = hudMarqueeAfter(hudPromptOffset, width, dunFrameStep);
}

void DrawThrottle() {
    Sim *s = Controlled();
    if (!s) return;
    int x = HudViewRect.left + 76;
    const int y = (HudViewRect.top + HudViewRect.bottom) / 2 - 110;
    int bx = x - 48;
    if (bx < 0) {
        x -= bx;
        bx = 0;
    }
    const bool lds = s->flags & SimFlag::Lds;
    const float top = s->flight ? s->flight->p8x100 : 0.0f;
    int my;
    if (!lds) {
        hudDrawLine(x, y, x, y + 100, HudColour);
        hudDrawLine(x - 5, y, x, y, HudColour);
        hudDrawLine(x - 10, y + 50, x, y + 50, HudColour);
        hudDrawLine(x - 5, y + 100, x, y + 100, HudColour);
        hudThrottleOrigin = float(y + 50);
        hudThrottleScale = hudThrustScale(top);
        my = y + 50 - hudThrustMarker(s->setSpeed, top);
        const int sy = y + 50 - hudThrustMarker(s->forwardSpeed, top);
        hudDrawLine(x - 5, sy, x + 10, sy, HudColour);
    } else {
        hudDrawLine(x, y - 20, x, y + 100, HudColour);
        for (int i = 0; i < 7; ++i) hudDrawLine(x - 5, y - 20 + 20 * i, x, y - 20 + 20 * i, HudColour);
        hudThrottleOrigin = float(y + 100);
        hudThrottleScale = 0.05f;
        my = std::max(y - 20, y + 100 - hudLdsMarker(s->setSpeed));
        const int sy = std::max(y - 20, y + 100 - hudLdsMarker(s->thrust.z));
        hudDrawLine(x - 5, sy, x + 10, sy, HudColour);
    }
    hudThrottleBox[0] = int16_t(bx), hudThrottleBox[1] = int16_t(my - 5);
    hudThrottleBox[2] = int16_t(x - 5), hudThrottleBox[3] = int16_t(my + 5);
    if (s->setSpeed != (lds ? s->thrust.z : s->forwardSpeed))
        hudDrawNumberBox(s->setSpeed / 100.0f, bx, my - 5, x - 5, my + 5, y - 15);
    hudDrawLine(x, my, x + 5, my - 5, HudColour);
    hudDrawLine(x, my, x + 5, my + 5, HudColour);
    hudDrawLine(x + 5, my - 5, x + 5, my + 5, HudColour);
    hudThrottleDragStep(s, gMouse.x, gMouse.y, gMouse.keyFlags & 1);
}

}  // namespace

// ---- the pieces, each testable -----------------------------------------------------

void hudListMissile(SceneItem *missile, SceneItem *goal, int32_t) {
    if (!missile || hudMissileCount >= kHudMissileSlots) return;
    float range = 0.0f;
    if (goal && goal->sim && missile->sim) {
        const Vec3d &a = missile->sim->position, &b = goal->sim->position;
        range = float(std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) + (a.z - b.z) * (a.z - b.z)));
    }
    hudMissiles[hudMissileCount++] = {missile, goal, range};
}

void hudFrameStepText(char *out, size_t size, int32_t step) { std::snprintf(out, size, "%02i", step > 0 ? 100 / step : 100); }

void hudMissileRangeText(char *out, size_t size, float range) {
    const float r = range / 100000.0f;
    if (r >= 1000.0f)
        std::snprintf(out, size, "R: %.1fKK", r / 1000.0f);
    else
        std::snprintf(out, size, "R: %.1f", r);
}

bool hudEmergencyBlinkOn(int32_t missionTime) { return missionTime % 100 > 50; }

void hudTimeLeftText(char *out, size_t size, int32_t targetTime, int32_t missionTime) {
    static const char *const kLeft[3] = {"Time Left: %i:%02i", "Temps restant: %i:%02i", "verbleibende Zeit: %i:%02i"};
    const int32_t left = targetTime - missionTime > 0 ? targetTime - missionTime : 0;
    std::snprintf(out, size, ByLanguage(kLeft), left / 6000, (left / 100) % 60);
}

float hudFtlStrength(double distance) {
    const double k = distance / 6e8 + 1.0;
    return float(100.0 / (k * k));
}

int32_t hudMarqueeBefore(int32_t offset, int32_t width) { return offset >= width + 15 ? 0 : offset; }

int32_t hudMarqueeAfter(int32_t offset, int32_t width, int32_t step) {
    offset += step / 2;
    return offset >= 2 * width + 15 ? 0 : offset;
}

float hudThrustScale(float topSpeed) { return topSpeed > 0.0f ? topSpeed / 50.0f : 0.0f; }

int hudThrustMarker(float speed, float topSpeed) {
    if (!(topSpeed > 0.0f)) return 0;
    float v = speed * 50.0f / topSpeed;
    v = v > 50.0f ? 50.0f : v < -50.0f ? -50.0f : v;
    return int(v);
}

int hudLdsMarker(float speed) {
    // The logarithmic scale starts at 10^5; a stopped drive sits at its foot.
    if (!(speed > 1.0f)) return 0;
    return int((std::log10(speed) - 5.0f) * 20.0f);
}

void hudThrottleDragStep(Sim *s, int32_t mouseX, int32_t mouseY, bool buttonDown) {
    if (!buttonDown) {
        HudThrottleDrag = 0;
        return;
    }
    if (!HudThrottleDrag && mouseX > hudThrottleBox[0] && mouseX < hudThrottleBox[2] && mouseY > hudThrottleBox[1] &&
        mouseY < hudThrottleBox[3])
        HudThrottleDrag = 1;
    if (!HudThrottleDrag || !s) return;
    const float pulled = hudThrottleOrigin - float(mouseY);
    s->setSpeed = (s->flags & SimFlag::Lds) ? std::pow(10.0f, pulled * 0.05f + 5.0f) : pulled * hudThrottleScale;
    guiNavThrottleRange();
}

const char *hudReadoutName(const SceneItem *object) {
    if (!object) return "NONE";
    if (object->sim && object->sim->shipInfo && object->sim->shipInfo->name) return object->sim->shipInfo->name;
    if (object->linkRecord) {
        const char *name = *static_cast<const char *const *>(object->linkRecord);
        if (name && name[0]) return name;
    }
    return "UNNAMED";
}

// ---- the overlay -----------------------------------------------------------------------

void hudDrawCockpitOverlay() {
    hudDrawCaption();
    if (HudDebugLevel == 1) DrawFrameRate();
    if (HudDebugLevel == 2 || HudDebugLevel == 3) DrawReadout();
    if (gCinematicView) {
        hudMissileCount = 0;
        return;
    }
    hudDrawCockpitMarks();
    if (gGuiFullScreen && dunControlledObject == dunPlayerShip) {
        const bool wide = HudViewRect.right - HudViewRect.left > 640;
        hudDrawPowerTriangle(24.0f, HudViewRect.right - 142 - (wide ? 40 : 0), HudViewRect.bottom - 32);
    }
    DrawMissionClock();
    if (const char *line = guiDrawMessageLine(); line && line[0]) Centred(HudViewRect.bottom - 24, line, 47);
    DrawBottomLine();
    DrawMissileList();
    if (HudDebugLevel == 0) DrawKeyPrompt();
    DrawWarning();
    // The hull bar: the hull structure's health, or the damage record's
    // share where the ship has no engineering network.
    if (const Sim *s = Controlled(); s && s->shipInfo) {
        const ShipDamage &d = s->shipInfo->damage;
        const EngComponent *hull = dunFindComponentByName(dunControlledObject, "HULL STRUCT");
        const float health = hull ? hull->health * 100.0f
                             : d.maximum > 0 ? 100.0f - float(d.damage) * 100.0f / float(d.maximum)
                                             : 100.0f;
        Bar(guiDrawBarHorizBanded, health, 100.0f, HudViewRect.right - 125, HudViewRect.top + 1, 106, 2);
    }
    if (dunTimeScale != 1.0f) {
        char text[32];
        std::snprintf(text, sizeof text, "TIME x%i", int(dunTimeScale));
        Text(HudViewRect.left + 8, HudViewRect.bottom - 6, text);
    }
    if (gGuiFullScreen && dunControlledObject) {
        // The two drive accelerators' power.
        for (const auto &[name, dy] : {std::pair{"LOWER LDA", 23}, std::pair{"UPPER LDA", 32}})
            if (const EngComponent *c = dunFindComponentByName(dunControlledObject, name))
                Bar(guiDrawBarHorizBanded, c->value * 100.0f, 100.0f, HudViewRect.left + 13, HudViewRect.bottom - dy, 45,
                    6);
    }
    DrawThrottle();
}
