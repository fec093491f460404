// Small gadgets the station screens share: the dialogue window's scroll
// arrows and toggle, the ship-name line, the capsule jump button and help
// mode's note.
#include <cstdio>
#include <cstring>

#include "RES/font.h"
#include "RES/resman.h"
#include "gui/bound.h"
#include "gui/cockpit.h"
#include "gui/gadgets.h"
#include "gui/window.h"
#include "platform/keyboard.h"
#include "script/mission.h"
#include "script/settings.h"
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
    const char *full = info->className ? info->className : "";
    const char *shortName = info->name ? info->name : "";
    // A scripted ship's short name is the last word of its full name, so
    // "Raider Kestrel" would read "Raider Kestrel Kestrel": the full name
    // alone says it all then.
    const size_t fullLength = std::strlen(full), shortLength = std::strlen(shortName);
    const bool endsWithShort = shortLength <= fullLength &&
                               std::strcmp(full + fullLength - shortLength, shortName) == 0 &&
                               (shortLength == fullLength || full[fullLength - shortLength - 1] == ' ');
    if (endsWithShort) std::snprintf(out, size_t(size), "%s", full);
    else std::snprintf(out, size_t(size), "%s %s", full, shortName);
}

void guiCapsuleJump(GuiWindow *) {
    // The jump's payload is the system number, 0 here.
    const uint8_t system[4] = {};
    if (dunPlayerShip) dunMsgPost(dunPlayerShip->receiverId, dunPlayerShip->receiverId, 0, 16, 4, system);
}

// ---- Help mode's note ------------------------------------------------------------------------

GuiWindow *gGuiHelpNote;

namespace {

// The note goes once help mode is left or another note took its place.
int8_t UpdateHelpNote(GuiWindow *note) {
    if (!gGuiHelpMode || gGuiHelpNote != note) {
        if (gGuiHelpNote == note) gGuiHelpNote = nullptr;
        guiMarkForDelete(note);
        return 0;
    }
    return guiDefaultHandler(note);
}

}  // namespace

void guiOpenHelpNote(GuiWindow *window) {
    if (!window || window->helpNoteIndex < 0) return;
    const char *text = ScriptTextSlot(window->helpNoteIndex);
    if (!*text) return;
    auto *fontHandle = static_cast<ResourceHandle *>(GetScriptSymbolValue("RFont"));
    const BitmapFont *font = guiFont(fontHandle);
    // Sized to the text in the standard font with a margin round it.
    int width = guiTextWidth(text, font), lines = 1;
    for (const char *c = text; *c; ++c) lines += *c == '\n';
    const int lineHeight = font ? font->lineHeight : 10;
    // A note left on another screen may have gone with it; its record may
    // hold another window by now.
    if (gGuiHelpNote && (gGuiHelpNote->flags & GuiFlag::InUse) && gGuiHelpNote->update == UpdateHelpNote)
        guiMarkForDelete(gGuiHelpNote);
    GuiWindow *note = guiCreateWindow(GUI_TOP_L, nullptr, nullptr, UpdateHelpNote, guiDrawHelpNote, 0, 0, 0, 0, 0);
    // At the mouse, whatever the mode's coordinate adjustment.
    note->x = int16_t(gMouse.x);
    note->y = int16_t(gMouse.y);
    note->w = int16_t(width + 10);
    note->h = int16_t(lines * lineHeight + 10);
    note->hitTest = guiNeverHit;
    note->font = fontHandle;
    note->text = text;
    guiClampToScreen(note);
    guiReload(note);
    gGuiHelpNote = note;
}
