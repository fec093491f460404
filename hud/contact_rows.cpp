// The seven contact rows of the flight view: the window of the contact list
// the sensors keep, one row per entry in the list's order, the current
// contact marked, each in the colour of the side it was identified as.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "RES/font.h"
#include "ai/contacts.h"
#include "gui/cockpit.h"
#include "gui/gadgets.h"
#include "hud/draw.h"
#include "hud/hud.h"
#include "hud/view.h"
#include "world/records.h"

HudContactRow hudContactRows[kHudContactRows];

namespace {

constexpr int kRowWidth = 176;

void Point(int row, Contact *entry) {
    if (row < 0 || row >= kHudContactRows) return;
    hudContactRows[row].row = int16_t(row);
    hudContactRows[row].link = entry;
}

// The current contact's row is drawn from the list, not from an element of
// its own: the entry's element link is simply forgotten.
void DropLink(Contact *entry) {
    if (entry) entry->hudLink = nullptr;
}

const ContactRowHooks kRowHooks = {Point, DropLink};

bool Shown(const Contact *c) {
    return c && (c->flags & ContactFlag::InUse) && c->object && c->object->sim && (c->object->flags & SceneFlag::InUse);
}

}  // namespace

void hudInstallContactRows() {
    for (int i = 0; i < kHudContactRows; ++i) hudContactRows[i] = {int16_t(i), nullptr};
    dunContactRowHooks = &kRowHooks;
}

void hudDrawContactRows() {
    if (!HudFont || HudFlatView) return;
    int cx, cy;
    hudViewCentre(&cx, &cy);
    const int line = std::max<int>(9, HudFont->lineHeight + 2);
    // The rows stand in the view's lower left corner, the first at the top.
    const int left = HudViewRect.left + 6 - cx;
    const int top = HudViewRect.bottom - 6 - kHudContactRows * line - cy;
    for (const HudContactRow &r : hudContactRows) {
        const Contact *c = r.link;
        if (!Shown(c)) continue;
        int colour = guiSideColour(c->side, false);
        if (c->kind == 2) colour = 97;
        // A side just identified blinks for its 150 centiseconds.
        if (c->sideTimer > 0 && c->sideTimer % 20 <= 10) colour = hudBandDarker(colour, 7);
        const int y0 = top + r.row * line, y1 = y0 + line - 1;
        char name[96];
        guiFormatShipName(name, sizeof name, c->object);
        if (!name[0] && c->object->avatar && c->object->avatar->waypointName)
            std::snprintf(name, sizeof name, "%s", c->object->avatar->waypointName);
        char range[32];
        std::snprintf(range, sizeof range, "%.1f", double(std::max(0.0f, c->range) / 100000));
        // The name gives way to the range at the row's right end.
        const int room = kRowWidth - 12 - hudTextWidth(range);
        for (size_t n = std::strlen(name); n > 0 && hudTextWidth(name) > room; --n) name[n - 1] = 0;
        const bool current = c == dunCurrentContact;
        if (current) {
            hudLine(left, y0, left + kRowWidth, y0, colour);
            hudLine(left + kRowWidth, y0, left + kRowWidth, y1, colour);
            hudLine(left + kRowWidth, y1, left, y1, colour);
            hudLine(left, y1, left, y0, colour);
        }
        hudText(left + 3, y1 - 1, name, colour);
        hudText(left + kRowWidth - 3 - hudTextWidth(range), y1 - 1, range, colour);
    }
}
