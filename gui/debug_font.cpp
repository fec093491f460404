// The debug font key: the mission's bitmap fonts in turn as the message font.
#include <cstdio>

#include "RES/resman.h"
#include "gui/feed.h"
#include "gui/keys.h"
#include "hud/hud.h"
#include "script/symbols.h"

namespace {

bool IsMissionFont(ScriptSymbol *s) {
    if (s->kind != SymKind::Resource) return false;
    const ResourceHandle *h = ScriptSymbolResource(s);
    return h && (h->type == ResFnt2RFont || h->type == ResFon2RFont);
}

}  // namespace

void SelectNextScriptFont() {
    const ResourceHandle *current = hudMessageFont();
    ScriptSymbol *first = nullptr, *next = nullptr;
    bool passedCurrent = false;
    for (int32_t i = ScriptBaselineSymbolCount(); i < gScriptSymbolCount; ++i) {
        ScriptSymbol *s = &gScriptSymbols[i];
        if (!IsMissionFont(s)) continue;
        if (!first) first = s;
        if (passedCurrent) {
            next = s;
            break;
        }
        passedCurrent = ScriptSymbolResource(s) == current;
    }
    if (!next) next = first;
    if (!next) return;
    hudSetMessageFont(ScriptSymbolResource(next));
    // A sample line in the new font, when the mission has one to show.
    if (ScriptSymbol *line = FindScriptSymbol("TEST_DIALOGUE"); line && ScriptSymbolResource(line))
        PlayDialogueLine(line, nullptr, nullptr, nullptr);
    guiDisplayMessage(next->name, gMessageRemaining > 500 ? gMessageRemaining : 1000);
}
