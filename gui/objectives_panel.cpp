// The objectives on the screens: the list the objectives panel shows over
// the main view (its display time, the blink of the current objective),
// and the mission status panel over the view at a mission's end: the
// mission's state, the objectives and their points, the time bonus, the
// shooting tallies, the kill points and the total, which is the score.
#include <algorithm>
#include <cstdio>

#include "RES/font.h"
#include "RES/text.h"
#include "ai/scores.h"
#include "ai/weapons.h"
#include "core/frame.h"
#include "core/options.h"
#include "gui/gadgets.h"
#include "gui/gui.h"
#include "gui/window.h"
#include "script/career.h"
#include "script/mission.h"
#include "script/objectives.h"
#include "script/settings.h"
#include "script/symbols.h"
#include "world/mission_state.h"
#include "world/objlist.h"

namespace {

constexpr int kListTitle = 213;
constexpr int kMissionLine = 200, kSucceededLine = 208, kFailedLine = 209, kFlyingLine = 218;
constexpr int kColourOpen = 159, kColourBlink = 151, kColourFailed = 57, kColourDone = 88;
constexpr int kColourNormal = 255;
constexpr int32_t kBlinkPeriod = 35;
// The status panel's columns, from the window's left edge + 20.
constexpr int kColumnMargin = 20, kColumn2 = 300, kColumn3 = 400, kColumnRight = 550;

const char *ByLanguage(const char *const texts[3]) { return texts[gLanguage < 3 ? gLanguage : 0]; }

const BitmapFont *NamedFont(const char *name) {
    return guiFont(static_cast<ResourceHandle *>(GetScriptSymbolValue(name)));
}

const BitmapFont *WindowFont(const GuiWindow *window) {
    if (const BitmapFont *f = guiFont(window->font)) return f;
    return NamedFont("GFont");
}

const char *ObjectiveText(const Objective &o) { return o.text ? o.text : ""; }

int StateColour(const Objective &o) {
    return o.state == ObjectiveState::Done     ? kColourDone
           : o.state == ObjectiveState::Failed ? kColourFailed
                                               : kColourOpen;
}

// The lines of the status panel, drawn or only measured.
class Panel {
public:
    Panel(Surface *surface, const ClipRect &clip, int left, int top, bool draw)
        : surface_(surface), clip_(clip), left_(left + kColumnMargin), y_(top), draw_(draw) {}
    // A line of up to four columns (null: empty), in a font and colour.
    void Line(const BitmapFont *font, int colour, const char *label, const char *second = nullptr,
              const char *third = nullptr, const char *right = nullptr) {
        if (!font) return;
        y_ += font->lineHeight + 2;
        if (!draw_) return;
        const char *texts[4] = {label, second, third, right};
        const int columns[4] = {0, kColumn2, kColumn3, kColumnRight};
        for (int i = 0; i < 4; ++i) {
            if (!texts[i] || !*texts[i]) continue;
            int x = left_ + columns[i], y = y_;
            dunDrawText(surface_, &x, &y, texts[i], font, colour, &clip_);
        }
    }
    void Gap(int pixels) { y_ += pixels; }
    void Rule(int right) {
        y_ += 4;
        if (draw_) FillRect(surface_, GuiColour::Strip, left_, y_, right - kColumnMargin, y_ + 1);
        y_ += 2;
    }
    int Bottom() const { return y_; }

private:
    Surface *surface_;
    ClipRect clip_;
    int left_;
    int y_;
    bool draw_;
};

template <class... T>
const char *Format(char (&buffer)[64], const char *format, T... values) {
    std::snprintf(buffer, sizeof buffer, format, values...);
    return buffer;
}

// The tally of a weapon type with its points, for each type that has any.
void TallyLines(Panel &panel, const BitmapFont *font, int kills, int points, const char *heading) {
    bool any = false;
    for (int t = 0; t < kTallyTypes; ++t) any = any || dunWeaponTallies.tally[kills][t] != 0;
    if (!any) return;
    panel.Line(font, kColourNormal, heading);
    for (int t = 0; t < kTallyTypes; ++t) {
        if (dunWeaponTallies.tally[kills][t] == 0) continue;
        char name[64], count[64], value[64];
        panel.Line(font, kColourNormal, Format(name, "%s:", kWeaponTypes[t].names[gLanguage < 3 ? gLanguage : 0]),
                   Format(count, "%i", dunWeaponTallies.tally[kills][t]), nullptr,
                   Format(value, "%i", dunWeaponTallies.tally[points][t]));
    }
}

}  // namespace

int guiListRowPitch(int windowHeight, int rows, int lineHeight) {
    if (rows < 2) return 1;
    const int pitch = (windowHeight - 75 - rows * lineHeight) / (rows - 1);
    // Many rows in a short window would overlap: at least a pixel apart.
    return std::clamp(pitch, 1, std::max(1, 2 * lineHeight));
}

void guiDrawObjectiveList(GuiWindow *window) {
    if (gObjectivesPanelCountdown > 0) {
        gObjectivesPanelCountdown -= dunFrameStep;
        if (gObjectivesPanelCountdown < 1) {
            gObjectivesPanelCountdown = 0;
            gObjectivesOpen = 0;
        }
    }
    gObjectiveBlinkTimer += dunFrameStep;
    if (gObjectiveBlinkTimer > kBlinkPeriod) {
        gObjectiveBlink = gObjectiveBlink ? 0 : 1;
        gObjectiveBlinkTimer = 0;
    }
    ClipRect r;
    guiReload(window);
    if (!guiGadgetRect(window, &r)) return;
    Surface *s = guiScreen();
    FillRect(s, 0, r.left, r.top, r.right, r.bottom);
    const BitmapFont *font = WindowFont(window);
    const BitmapFont *title = NamedFont("HFont");
    if (!title) title = font;
    if (!font) return;
    const int lh = font->lineHeight;
    int shown = 0;
    for (int i = 0; i < gObjectiveCount; ++i) shown += gObjectives[i].shown ? 1 : 0;
    FillRect(s, GuiColour::Strip, r.left + 10, r.top + 50, r.right - 10, r.top + 51);
    int tx = r.left + 2 * lh + 12, ty = r.top + lh + 20;
    dunDrawText(s, &tx, &ty, ScriptTextSlot(kListTitle), title, kColourNormal, &r);
    const int pitch = guiListRowPitch(r.bottom - r.top + 1, shown, lh);
    const int box = lh < 8 ? 5 : lh - 2;
    const int boxX = r.left + 2 * lh + 15;
    int row = 0;
    bool currentFound = false;
    for (int i = 0; i < gObjectiveCount; ++i) {
        const Objective &o = gObjectives[i];
        if (!o.shown) continue;
        const int base = r.top + lh + 65 + row++ * (lh + pitch);
        int colour = StateColour(o);
        // The first open objective is the current one, and blinks.
        if (o.state == ObjectiveState::Open && !currentFound) {
            currentFound = true;
            gCurrentObjective = int16_t(i);
            if (gObjectiveBlink) colour = kColourBlink;
        }
        guiDrawFrame(s, colour, boxX, base - box, boxX + box, base);
        if (box > 2) FillRect(s, colour, boxX + 1, base - box + 1, boxX + box - 1, base - 1);
        int x = boxX + box + 6, y = base;
        dunDrawText(s, &x, &y, ObjectiveText(o), font, colour, &r);
    }
}

int guiDrawMissionStatus(GuiWindow *window, const BitmapFont *normal, const BitmapFont *done, const BitmapFont *failed,
                         bool draw, int top) {
    static const char *const kStateLabels[3][3] = {{"NOT DONE", "NON ACCOMPLI", "NICHT AUSGEF\xDCHRT"},
                                                   {"FAILED", "NON ATTEINT", "GESCHEITERT"},
                                                   {"COMPLETED", "ATTEINT", "BEENDET"}};
    static const char *const kTimeBonus[3] = {"Time bonus", "Bonus de temps", "Zeitbonus"};
    static const char *const kKills[3] = {"Enemy ships destroyed", "Vaisseaux ennemis d\xE9truits",
                                          "Feindliche Schiffe zerst\xF6rt"};
    static const char *const kFriendly[3] = {"Friendly ships destroyed", "Vaisseaux alli\xE9s d\xE9truits",
                                             "Eigene Schiffe zerst\xF6rt"};
    static const char *const kKillPoints[3] = {"Kill points", "Points de combat", "Abschusspunkte"};
    static const char *const kKillLimit[3] = {"Kill points at most", "Points de combat maximum",
                                              "H\xF6"
                                              "chstens Abschusspunkte"};
    static const char *const kAccuracy[2][3] = {{"Beam accuracy",
                                                 "Pr\xE9"
                                                 "cision des rayons",
                                                 "Strahltreffer"},
                                                {"Missile accuracy",
                                                 "Pr\xE9"
                                                 "cision des missiles",
                                                 "Raketentreffer"}};
    static const char *const kTotal[3] = {"Total", "Total", "Gesamt"};
    static const char *const kRating[3] = {"Rating", "Note", "Bewertung"};
    if (!done) done = normal;
    if (!failed) failed = normal;
    ClipRect r;
    if (!window || !normal || !guiGadgetRect(window, &r)) return 0;
    const int language = gLanguage < 3 ? gLanguage : 0;
    Panel panel(guiScreen(), r, r.left, r.top + top, draw);
    char a[64], b[64];

    // 1. The mission and how it stands.
    const char *name =
        gCareerMission >= 0 && gCareerMission < kCareerMissions ? gMissionTable[gCareerMission].name : "";
    std::snprintf(a, sizeof a, "%s %s", ScriptTextSlot(kMissionLine), name);
    panel.Line(normal, kColourNormal, a);
    if (gCurrentMission != 99) {
        if (dunMissionSuccess) panel.Line(done, kColourDone, ScriptTextSlot(kSucceededLine));
        else if (gMissionEnded || dunMissionEndCountdown > 0 || dunPlayerDestroyed)
            panel.Line(failed, kColourFailed, ScriptTextSlot(kFailedLine));
        else panel.Line(normal, kColourNormal, ScriptTextSlot(kFlyingLine));
    }
    MissionScore score{};
    ComputeMissionScore(&score);

    // 2. The objectives that are shown, with the points they earned.
    if (gObjectiveCount > 0) {
        panel.Gap(4);
        panel.Line(normal, kColourNormal, ScriptTextSlot(kListTitle));
        for (int i = 0; i < gObjectiveCount; ++i) {
            const Objective &o = gObjectives[i];
            if (!o.shown) continue;
            const int state = std::clamp<int>(o.state, 0, 2);
            const BitmapFont *font = state == ObjectiveState::Done     ? done
                                     : state == ObjectiveState::Failed ? failed
                                                                       : normal;
            panel.Line(font, StateColour(o), ObjectiveText(o), nullptr, kStateLabels[state][language],
                       Format(a, "%i", state == ObjectiveState::Done ? o.score : 0));
        }
    }
    // 3. The time bonus.
    if (gTargetTime)
        panel.Line(normal, kColourNormal, kTimeBonus[language], nullptr, nullptr, Format(a, "%i", score.timeBonus));
    // 4. The shooting tallies.
    TallyLines(panel, normal, Tally::EnemyKills, Tally::EnemyPoints, kKills[language]);
    TallyLines(panel, normal, Tally::FriendlyKills, Tally::FriendlyPoints, kFriendly[language]);
    // 5. The kill points, and the limit they are held to.
    panel.Line(normal, kColourNormal, kKillPoints[language], nullptr, nullptr, Format(a, "%i", score.killPoints));
    if (gMaxKillBonus > 0)
        panel.Line(normal, kColourNormal, kKillLimit[language], nullptr, nullptr, Format(a, "%i", gMaxKillBonus));
    // 6. Accuracy.
    for (int i = 0; i < 2; ++i)
        if (dunWeaponTallies.shots[i] != 0)
            panel.Line(normal, kColourNormal, kAccuracy[i][language], nullptr, nullptr,
                       Format(a, "%.0f%%", 100.0 * dunWeaponTallies.hits[i] / dunWeaponTallies.shots[i]));
    // 7. The total is the score.
    gMissionScore = score.total;
    panel.Rule(r.right);
    panel.Line(done, kColourNormal, kTotal[language], nullptr, nullptr, Format(a, "%i", score.total));
    // 8. The rating against the mission's best result.
    const int32_t best =
        gCareerMission >= 0 && gCareerMission < kCareerMissions ? gMissionTable[gCareerMission].resultMax : 0;
    if (best != 0) {
        const int64_t rating = std::clamp<int64_t>(int64_t(score.total) * 100 / best, 0, 100);
        panel.Line(normal, kColourNormal, kRating[language], nullptr, nullptr, Format(b, "%2i%%", int(rating)));
    }
    // 9. The counter of the open-ended mission.
    if (gCurrentMission == 99 && dunMissionCounter >= 1)
        panel.Line(normal, kColourNormal, Format(a, "%i", dunMissionCounter));
    // 10. The closing line.
    panel.Rule(r.right);
    return panel.Bottom() - r.top;
}

void dunDrawObjectivesPanel() {
    GuiWindow *view = gGuiMainView;
    if (!view) return;
    const BitmapFont *normal = NamedFont("GFont");
    const BitmapFont *done = NamedFont("HFont");
    const BitmapFont *failed = NamedFont("MidFont");
    ClipRect r;
    if (!guiGadgetRect(view, &r)) return;
    // The end message blinks and the debriefing types above the panel.
    const int top = kDebriefTop + kDebriefHeight + 6;
    const int height = guiDrawMissionStatus(view, normal, done, failed, false, top);
    if (height <= 0) return;
    // A dark ground under the lines, so that they read over the scene.
    FillRect(guiScreen(), 0, r.left + 10, r.top + top - 6, r.right - 10, std::min<int>(r.bottom, r.top + height + 8));
    guiDrawMissionStatus(view, normal, done, failed, true, top);
}
