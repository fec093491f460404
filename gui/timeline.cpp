// The career timeline's two lists: their nodes, layout, drawing over a grid,
// scrolling by the mouse, selection by click and by key.
#include "gui/timeline.h"

#include <algorithm>
#include <cstdio>
#include <initializer_list>

#include "RES/font.h"
#include "RES/gfx2d.h"
#include "RES/resman.h"
#include "RES/text.h"
#include "RES/util.h"
#include "core/frame.h"
#include "core/options.h"
#include "gui/front.h"
#include "gui/gadgets.h"
#include "gui/window.h"
#include "platform/keyboard.h"
#include "script/career.h"
#include "script/mission.h"

TimelineList gTimelinePlayed = {0, nullptr, nullptr, 0, 0, 0, 0, 0, 0, 0, 0};
TimelineList gTimelineOpen = {1, nullptr, nullptr, 0, 0, 0, 0, 0, 0, 0, 0};
int32_t gTimelineBlink;

namespace {

constexpr int kBonusMission = 90;
constexpr int kGap = 10;
constexpr int kBandHeight = 20;
constexpr int kNormalColour = 64 - 7, kSelectedColour = 64 + 1;
constexpr char kSampleTitle[] = "WITH EXTREME PREJUDICE";

const BitmapFont *TitleFont(bool selected) {
    const char *name = selected ? "FrontB" : "HFont";
    const BitmapFont *font = guiFont(static_cast<ResourceHandle *>(GetScriptSymbolValue(name)));
    return font ? font : guiFont(static_cast<ResourceHandle *>(GetScriptSymbolValue("HFont")));
}

void Append(TimelineList *list, TimelineNode *node) {
    TimelineNode **link = &list->first;
    while (*link) link = &(*link)->next;
    *link = node;
}

TimelineNode *Last(TimelineList *list) {
    TimelineNode *n = list->first;
    while (n && n->next) n = n->next;
    return n;
}

TimelineNode *Previous(TimelineList *list, TimelineNode *node) {
    for (TimelineNode *n = list->first; n; n = n->next)
        if (n->next == node) return n;
    return nullptr;
}

bool Holds(TimelineList *list, TimelineNode *node) {
    for (TimelineNode *n = list->first; n; n = n->next)
        if (n == node) return true;
    return false;
}

int16_t Clamp16(int v, int lo, int hi) { return int16_t(std::max(lo, std::min(v, hi))); }

// The scroll range of a list in its window (0 when it fits).
int ScrollRange(const TimelineList *list, bool across) {
    const int extent = across ? list->extentW : list->extentH;
    const int view = across ? list->viewW : list->viewH;
    return std::max(0, extent - view);
}

void ClampScroll(TimelineList *list) {
    list->scrollX = Clamp16(list->scrollX, 0, ScrollRange(list, true));
    list->scrollY = Clamp16(list->scrollY, 0, ScrollRange(list, false));
}

// The scroll offset that puts the node in the middle of the list's view.
void CentreOn(TimelineList *list, const TimelineNode *node) {
    if (!node) return;
    if (list->vertical) list->scrollY = int16_t((node->rect[1] + node->rect[3]) / 2 - list->viewH / 2);
    else list->scrollX = int16_t((node->rect[0] + node->rect[2]) / 2 - list->viewW / 2);
    ClampScroll(list);
}

void DrawBox(Surface *s, const int16_t *r, int colour, const ClipRect *clip) {
    DrawLineClipped(s, r[0], r[1], r[2], r[1], colour, clip);
    DrawLineClipped(s, r[2], r[1], r[2], r[3], colour, clip);
    DrawLineClipped(s, r[2], r[3], r[0], r[3], colour, clip);
    DrawLineClipped(s, r[0], r[3], r[0], r[1], colour, clip);
    DrawLineClipped(s, r[0], r[3] - kBandHeight, r[2], r[3] - kBandHeight, colour, clip);
}

// A node drawn at the list's origin.
void DrawNode(Surface *s, const TimelineNode *node, int ox, int oy, bool selected, bool across,
              const ClipRect *clip) {
    TimelineNode moved = *node;
    TimelineNode *n = &moved;
    for (int i = 0; i < 4; ++i) n->rect[i] = int16_t(node->rect[i] + (i % 2 ? oy : ox));
    const int colour = TimelineBoxColour(selected);
    DrawBox(s, n->rect, colour, clip);
    if (across && node->next) {
        const int y = (n->rect[1] + n->rect[3]) / 2;
        DrawLineClipped(s, n->rect[2], y, node->next->rect[0] + ox, y, colour, clip);
    }
    const BitmapFont *font = TitleFont(selected);
    if (!font) return;
    // The name, wrapped inside the box above the band.
    ClipRect inner = {int16_t(n->rect[0] + 2), int16_t(n->rect[1] + 2), int16_t(n->rect[2] - 2),
                      int16_t(n->rect[3] - kBandHeight - 1)};
    inner.left = std::max(inner.left, clip->left);
    inner.top = std::max(inner.top, clip->top);
    inner.right = std::min(inner.right, clip->right);
    inner.bottom = std::min(inner.bottom, clip->bottom);
    if (n->mission && inner.right >= inner.left && inner.bottom >= inner.top) {
        int x = n->rect[0] + 4, y = n->rect[1] + font->lineHeight + 2;
        dunDrawTextWrapWidth(s, &x, &y, n->mission->name, font, &inner, n->width - 8);
        if (n->kind != 0 && FrontDebugTexts() && n->mission->index >= 0 && n->mission->index < kCareerMissions) {
            char text[32];
            std::snprintf(text, sizeof text, "Outcome %i", int(gCaptainSlot.resultValue[n->mission->index]));
            guiDrawFontText(s, n->rect[0] + 4, n->rect[3] - kBandHeight - 4, text, font, &inner);
        }
    }
    ClipRect band = {int16_t(n->rect[0] + 1), int16_t(n->rect[3] - kBandHeight + 1), int16_t(n->rect[2] - 1),
                     int16_t(n->rect[3] - 1)};
    band.left = std::max(band.left, clip->left);
    band.top = std::max(band.top, clip->top);
    band.right = std::min(band.right, clip->right);
    band.bottom = std::min(band.bottom, clip->bottom);
    if (band.right < band.left || band.bottom < band.top) return;
    const int baseline = n->rect[3] - kBandHeight / 2 + font->lineHeight / 2;
    char text[32];
    std::snprintf(text, sizeof text, "%i", int(n->kind == 0 ? n->maxScore : n->score));
    guiDrawFontText(s, n->rect[0] + 4, baseline, text, font, &band);
    if (n->kind != 0 && n->maxScore > 0) {
        std::snprintf(text, sizeof text, "%i%%", TimelinePercent(n->score, n->maxScore));
        guiDrawFontText(s, (n->rect[0] + n->rect[2]) / 2 - guiTextWidth(text, font) / 2, baseline, text, font, &band);
    }
    if (n->mission && n->mission->missionNumber >= kBonusMission && n->mission->index >= 0 &&
        n->mission->index < kCareerMissions) {
        const int seconds = gCareerState.bestTime[n->mission->index] / 100;
        std::snprintf(text, sizeof text, "%i:%02i", seconds / 60, seconds % 60);
        guiDrawFontText(s, n->rect[2] - 4 - guiTextWidth(text, font), baseline, text, font, &band);
    }
}

}  // namespace

int TimelinePercent(int32_t score, int32_t maximum) {
    if (maximum <= 0) return 0;
    const int64_t p = int64_t(score) * 100 / maximum;
    return int(std::clamp<int64_t>(p, 0, 100));
}

void AdvanceTimelineBlink(int32_t centiseconds) {
    gTimelineBlink += centiseconds;
    if (gTimelineBlink > 100) gTimelineBlink = 0;
}

void AdvanceTimelineBlinkOnce() {
    // Both views draw each frame; the counter moves once.
    static uint32_t frame;
    if (frame == dunFrameCounter) return;
    frame = dunFrameCounter;
    AdvanceTimelineBlink(dunFrameStep);
}

int TimelineBoxColour(bool selected) {
    if (!selected) return kNormalColour;
    return gTimelineBlink < 20 ? kNormalColour : kSelectedColour;
}

void frontAddTimelineNode(const MissionRecord *mission) {
    if (!mission) return;
    auto *n = static_cast<TimelineNode *>(dunAlloc(sizeof(TimelineNode)));
    if (!n) return;
    const int row = mission->index;
    const bool inTable = row >= 0 && row < kCareerMissions;
    const bool played = inTable && gCaptainSlot.played[row] != 0;
    n->mission = mission;
    n->kind = int16_t(!played ? 0 : mission->missionNumber >= kBonusMission ? 2 : 1);
    if (played) {
        n->score = gCaptainSlot.resultShare[row];
        n->debrief = frontLoadDebrief(mission, gCaptainSlot.resultValue[row]);
    }
    n->maxScore = mission->resultMax;
    n->time = CaptainMissionTime(row);
    n->width = kTimelineNodeWidth;
    const BitmapFont *font = TitleFont(false);
    n->height = int16_t((font ? CountWrappedLines(kSampleTitle, font, kTimelineNodeWidth) : 16) + 30);
    Append(played ? &gTimelinePlayed : &gTimelineOpen, n);
}

void frontFreeTimelines() {
    for (TimelineList *list : {&gTimelineOpen, &gTimelinePlayed}) {
        for (TimelineNode *node = list->first; node;) {
            TimelineNode *next = node->next;
            dunFree(node->debrief);
            dunFree(node);
            node = next;
        }
        list->first = list->selected = nullptr;
    }
}

void frontLayoutTimeline(TimelineList *list) {
    int x = kGap, y = kGap, w = 0, h = 0;
    list->selected = nullptr;
    for (TimelineNode *n = list->first; n; n = n->next) {
        n->rect[0] = int16_t(x);
        n->rect[1] = int16_t(y);
        n->rect[2] = int16_t(x + n->width);
        n->rect[3] = int16_t(y + n->height);
        w = std::max(w, int(n->rect[2]));
        h = std::max(h, int(n->rect[3]));
        if (list->vertical) y += n->height + kGap;
        else x += n->width + kGap;
        if (n->mission && n->mission->index == gCareerMission && !list->selected) list->selected = n;
    }
    list->extentW = int16_t(w + kGap);
    list->extentH = int16_t(h + kGap);
    const TimelineNode *to = list->selected ? list->selected : Last(list);
    list->scrollX = list->scrollY = 0;
    if (to) {
        if (list->vertical) list->scrollY = int16_t(to->rect[1] - kGap);
        else list->scrollX = int16_t(to->rect[0] - kGap);
    }
    if (list->viewW || list->viewH) ClampScroll(list);
    // The play buttons follow the selected point, also after a rebuild (a
    // new career, the return from a mission) that nobody clicked.
    FrontRefreshSelection();
}

void frontDrawGrid(GuiWindow *window, int offsetX, int offsetY) {
    ClipRect r;
    if (!guiGadgetRect(window, &r)) return;
    Surface *s = guiScreen();
    if (!CardMode && r.right - r.left >= 2 && r.bottom - r.top >= 2)
        FillRect(s, 0, r.left + 1, r.top + 1, r.right - 1, r.bottom - 1);
    constexpr int kCell = 32, kColour = 51;
    const int startX = r.left + (((r.left + offsetX) % kCell) + kCell) % kCell;
    const int startY = r.top + (((r.top + offsetY) % kCell) + kCell) % kCell;
    for (int x = startX; x <= r.right; x += kCell) DrawLineClipped(s, x, r.top, x, r.bottom, kColour, &r);
    for (int y = startY; y <= r.bottom; y += kCell) DrawLineClipped(s, r.left, y, r.right, y, kColour, &r);
}

void frontDrawMovingGrid(GuiWindow *window) {
    if (CardMode) {
        window->value += 10.0f * dunFrameSeconds;
        window->max += 10.0f * dunFrameSeconds;
    }
    frontDrawGrid(window, int(window->value), int(window->max));
    guiReload(window);
}

void frontDrawTimeline(GuiWindow *window, TimelineList *list) {
    ClipRect r;
    if (!list || !guiGadgetRect(window, &r)) return;
    Surface *s = guiScreen();
    list->viewW = int16_t(r.right - r.left + 1);
    list->viewH = int16_t(r.bottom - r.top + 1);
    ClampScroll(list);
    FillRect(s, 0, r.left, r.top, r.right, r.bottom);
    frontDrawGrid(window, list->scrollX, list->scrollY);
    // A list smaller than its window is centred in it.
    const int dx = list->extentW < list->viewW ? (list->viewW - list->extentW) / 2 : -list->scrollX;
    const int dy = list->extentH < list->viewH ? (list->viewH - list->extentH) / 2 : -list->scrollY;
    list->originX = int16_t(r.left + dx);
    list->originY = int16_t(r.top + dy);
    for (const TimelineNode *n = list->first; n; n = n->next)
        DrawNode(s, n, list->originX, list->originY, n == list->selected, !list->vertical, &r);
    guiReload(window);
}

void frontScrollTimeline(GuiWindow *window, TimelineList *list) {
    ClipRect r;
    if (!list || !guiGadgetRect(window, &r)) return;
    const bool across = !list->vertical;
    const int view = across ? r.right - r.left + 1 : r.bottom - r.top + 1;
    const int extent = across ? list->extentW : list->extentH;
    int16_t &offset = across ? list->scrollX : list->scrollY;
    if (extent - view <= kGap) {
        offset = 0;
        return;
    }
    if (!guiPointInWindow(window, gMouse.x, gMouse.y)) return;
    const float f = across ? float(gMouse.x - r.left) / float(view) : float(gMouse.y - r.top) / float(view);
    const float step = float(std::min<int32_t>(dunFrameStep, 4)) * 5.0f;
    float next = float(offset);
    if (f < 0.33f) next -= (0.33f - f) * step;
    else if (f > 0.67f) next += (f - 0.67f) * step;
    offset = Clamp16(int(next), 0, extent - view);
}

void frontClickTimeline(TimelineList *list) {
    if (!list) return;
    for (TimelineNode *n = list->first; n; n = n->next) {
        const int x0 = n->rect[0] + list->originX, y0 = n->rect[1] + list->originY;
        const int x1 = n->rect[2] + list->originX, y1 = n->rect[3] + list->originY;
        if (gMouse.x >= x0 && gMouse.x <= x1 && gMouse.y >= y0 && gMouse.y <= y1) {
            FrontSelectNode(list, n);
            return;
        }
    }
}

TimelineNode *FrontSelectedNode() {
    return gTimelinePlayed.selected ? gTimelinePlayed.selected : gTimelineOpen.selected;
}

void FrontSelectNode(TimelineList *list, TimelineNode *node) {
    TimelineList *other = list == &gTimelineOpen ? &gTimelinePlayed : &gTimelineOpen;
    other->selected = nullptr;
    list->selected = node;
    if (node && node->mission) gCareerMission = node->mission->index;
    CentreOn(list, node);
    FrontRefreshSelection();
    guiMarkRedraw();
}

void FrontTimelineKey(int scan) {
    TimelineList *open = &gTimelineOpen, *archive = &gTimelinePlayed;
    switch (scan) {
    case 72:  // Up: the previous new mission
        if (!open->first) return;
        if (!open->selected) FrontSelectNode(open, Last(open));
        else if (TimelineNode *p = Previous(open, open->selected)) FrontSelectNode(open, p);
        else CentreOn(open, open->selected);
        break;
    case 80:  // Down: the next new mission
        if (!open->first) return;
        if (!open->selected) FrontSelectNode(open, Last(open));
        else if (open->selected->next) FrontSelectNode(open, open->selected->next);
        break;
    case 75: {  // Left: the previous archive entry
        if (!archive->first) return;
        TimelineNode *at = FrontSelectedNode();
        if (!at || !Holds(archive, at)) FrontSelectNode(archive, Last(archive));
        else if (TimelineNode *p = Previous(archive, at)) FrontSelectNode(archive, p);
        break;
    }
    case 77: {  // Right: the next archive entry
        if (!archive->first) return;
        TimelineNode *at = FrontSelectedNode();
        if (!at || !Holds(archive, at)) FrontSelectNode(archive, archive->first);
        else if (at->next) FrontSelectNode(archive, at->next);
        break;
    }
    default: break;
    }
}
