// Small gadgets the station screens share: the dialogue window's scroll
// arrows and toggle, the ship-name line, the capsule jump button.
#include <cstdio>
#include <cstring>

#include "RES/font.h"
#include "RES/resman.h"
#include "gui/bound.h"
#include "gui/cockpit.h"
#include "gui/gadgets.h"
#include "world/messages.h"
#include "world/objlist.h"
#include "world/records.h"

namespace {

// Moves the text window's start by one box width of glyphs (each glyph's
// width and a pixel; line breaks cost nothing), then back to a word's start.
void Scroll(GuiWindow *arrow, int direction) {
    GuiWindow *box = arrow ? arrow->parent : nullptr;
    if (!box) return;
    auto *resource = static_cast<ResourceHandle *>(const_cast<void *>(box->text));
    const char *text = resource ? static_cast<const char *>(resmanLoad(resource)) : nullptr;
    const BitmapFont *font = guiFont(box->font);
    if (!text || !font) return;
    const int length = int(std::strlen(text));
    int at = box->max > 0 ? int(box->max) : 0;
    if (at > length) at = length;
    auto cost = [&](char c) {
        if (c == '\r' || c == '\n') return 0;
        const Surface *glyph = font->glyph[uint8_t(c)];
        return (glyph ? glyph->width : 0) + 1;
    };
    int budget = box->w;
    if (direction < 0) {
        while (at > 0 && budget > 0) budget -= cost(text[--at]);
    } else {
        while (at < length && budget > 0) budget -= cost(text[at++]);
    }
    while (at > 0 && text[at - 1] != ' ' && text[at - 1] != '\n' && text[at - 1] != '\r') --at;
    box->max = float(at);
    guiRedrawWithChildren(box);
}

}  // namespace

void guiDialogueScrollUp(GuiWindow *arrow) { Scroll(arrow, -1); }
void guiDialogueScrollDown(GuiWindow *arrow) { Scroll(arrow, 1); }

void guiToggleDialogueWindow(GuiWindow *button) {
    if (!button) return;
    button->state = button->state ? 0 : 255;
    if (button->parent && button->parent->port) dunMsgPost(button->port, button->parent->port, 0, 10, 0, nullptr);
}

void guiFormatShipName(char *out, int size, const SceneItem *item) {
    if (size <= 0) return;
    out[0] = 0;
    const ShipInfo *info = item && item->sim ? item->sim->shipInfo : nullptr;
    if (!info) return;
    std::snprintf(out, size_t(size), "%s %s", info->className ? info->className : "", info->name ? info->name : "");
}

void guiCapsuleJump(GuiWindow *) {
    // The jump's payload is the system number, 0 here.
    const uint8_t system[4] = {};
    if (dunPlayerShip) dunMsgPost(dunPlayerShip->receiverId, dunPlayerShip->receiverId, 0, 16, 4, system);
}
