#include "gui/feed.h"

#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <cstring>

#include "RES/font.h"
#include "RES/gfx2d.h"
#include "RES/resman.h"
#include "RES/text.h"
#include "core/files.h"
#include "core/frame.h"
#include "core/log.h"
#include "core/options.h"
#include "gui/cockpit.h"
#include "gui/window.h"
#include "hud/missionlog.h"
#include "platform/sound.h"
#include "script/dialogue.h"
#include "script/interp.h"
#include "script/mission.h"
#include "script/symbols.h"
#include "world/objlist.h"

// ---- Message line -------------------------------------------------------------------

namespace {
const char kBlankMessage[] = "---------";
}  // namespace

char gMessageText[kMessageLineBytes] = "---------";
int32_t gMessageDuration;
int32_t gMessageRemaining;
uint8_t gMessageNew;

void guiClearMessageLine() {
    std::memcpy(gMessageText, kBlankMessage, sizeof kBlankMessage);
    gMessageRemaining = gMessageDuration = 0;
    gMessageNew = 0;
}

void guiDisplayMessage(const char *text, int duration) {
    if (!text) return;
    if (std::strlen(text) > size_t(kMessageLineLimit)) dunFatalError("guiDisplayMessage String Overflow");
    // The line holds 79 characters; a longer text is cut there.
    const size_t n = std::min(std::strlen(text), sizeof gMessageText - 1);
    std::memcpy(gMessageText, text, n);
    gMessageText[n] = 0;
    gMessageDuration = duration;
    gMessageNew = 1;
}

const char *guiDrawMessageLine() {
    if (gMessageRemaining > 0 && std::strcmp(gMessageText, kBlankMessage) != 0) {
        gMessageRemaining -= gRawStep;
        if (gMessageRemaining < 1) {
            std::memcpy(gMessageText, kBlankMessage, sizeof kBlankMessage);
            gMessageRemaining = 0;
            gMessageNew = 0;
        }
    }
    if (gMessageNew) {
        gMessageRemaining = gMessageDuration < 25 ? 25 : gMessageDuration;
        gMessageNew = 0;
    }
    if (gMessageRemaining < 1) return nullptr;
    const int32_t elapsed = gMessageDuration - gMessageRemaining;
    if (elapsed < 100 && elapsed % 20 > 10) return nullptr;
    return gMessageText;
}

// ---- Text feed ------------------------------------------------------------------------

TextFeed gFeed;
BitmapFont *gFeedFont;
uint8_t gFeedShowing;
uint8_t gFeedAltPlacement;
uint8_t gFeedKeepHistory;
uint8_t gFeedSubtitles = 0xFF;
uint8_t gFeedReplyHold;
GuiWindow *gFeedWindow;
int32_t gSpeechTime;

namespace {

// The two named font sets: the feed font and its three companions.
const char *const kFeedFonts[2][4] = {
    {"ConsFont", "ConsFont1", "ConsFont2", "GFont"},  // normal placement
    {"A2Font", "A2DimFont", "MidFont", "DimFont"},    // alternate placement
};

BitmapFont *NamedFont(const char *name) {
    ResourceHandle *h = static_cast<ResourceHandle *>(GetScriptSymbolValue(name));
    // Only a registered resource handle stands for a font.
    if (!h || h < RESMAN.handles || h >= RESMAN.handles + ResourceHandleCount) return nullptr;
    return static_cast<BitmapFont *>(resmanLoad(h));
}

bool ScriptHold() { return gBriefingOpen != 0; }

int Advance(char c) { return gFeedFont ? gFeedFont->advance[uint8_t(c)] : 0; }

// Drops the oldest typed line (up to and with its line feed, or everything
// when there is none).
void DropOldestLine() {
    TextFeed &f = gFeed;
    if (f.write <= 0) return;
    int n = 0;
    while (n < f.write && f.chars[n] != '\n') ++n;
    if (n < f.write) ++n;  // the line feed goes with it
    std::memmove(f.chars, f.chars + n, size_t(f.write - n));
    std::memmove(f.colours, f.colours + n, size_t(f.write - n));
    f.write = int16_t(f.write - n);
    f.chars[f.write] = 0;
}

// Appends one typed character; the oldest lines make room when the buffer
// is full (wrapping adds line feeds a post did not count).
void Append(char c, uint8_t colour) {
    TextFeed &f = gFeed;
    while (f.write >= kFeedBytes - 1) DropOldestLine();
    f.chars[f.write] = c;
    f.colours[f.write] = colour;
    ++f.write;
}

bool EnsureFeed() {
    if (!gFeed.chars) guiTextFeedInit();
    return gFeed.chars != nullptr;
}

int32_t SpeechCentiseconds(const SoundSlot *slot) { return SoundDurationCs(slot) + 100; }

}  // namespace

void guiTextFeedInit() {
    if (!gFeed.chars) {
        gFeed.chars = static_cast<char *>(std::calloc(kFeedBytes, 1));
        gFeed.colours = static_cast<uint8_t *>(std::calloc(kFeedBytes, 1));
        if (!gFeed.chars || !gFeed.colours) {
            std::free(gFeed.chars);
            std::free(gFeed.colours);
            gFeed.chars = nullptr;
            gFeed.colours = nullptr;
            return;
        }
    }
    guiResetTextFeed();
}

void guiResetTextFeed() {
    TextFeed &f = gFeed;
    f.write = 0;
    if (f.chars) f.chars[0] = 0;
    f.pending[0] = 0;
    f.pendingLength = f.read = 0;
    gFeedShowing = 0;
    f.boxWidth = 640;
    f.boxHeight = 480;
    f.penX = 0;
    f.charDelay = kFeedCharDelay;
    f.pauseDelay = kFeedPauseDelay;
    f.hold = 0;
    f.accumulator = 0;
    gSpeechTime = 0;
    // A cue lost with the text must not play its clip for a later one.
    f.speech[0] = 0;
    if (BitmapFont *standard = NamedFont("RFont")) gFeedFont = standard;
    f.fonts[0] = gFeedFont;
}

void guiFreeTextFeed() {
    std::free(gFeed.chars);
    std::free(gFeed.colours);
    gFeed.chars = nullptr;
    gFeed.colours = nullptr;
    gFeed.write = 0;
}

bool guiFeedTyping() { return gFeed.read < gFeed.pendingLength; }

void guiPostFeedText(const char *text, int colourSet) {
    if (!text || gMissionEndState == 2) return;
    const char *const *set = kFeedFonts[gFeedAltPlacement ? 1 : 0];
    BitmapFont *font = NamedFont(set[0]);
    if (!font) font = gFeedFont;
    if (!font) return;
    if (!EnsureFeed()) return;
    TextFeed &f = gFeed;
    if (!gFeedKeepHistory) {
        // The reset also clears the speech time the caller may have just set.
        const int32_t speech = gSpeechTime;
        guiResetTextFeed();
        gSpeechTime = speech;
    }
    gFeedFont = f.fonts[0] = font;
    for (int i = 1; i < 4; ++i) f.fonts[i] = NamedFont(set[i]);
    f.fonts[4] = nullptr;
    // A feed text holds at most 4999 characters.
    size_t length = std::strlen(text);
    if (length > size_t(kFeedBytes - 1)) length = kFeedBytes - 1;
    while (f.write > 0 && f.write + int(length) + f.pendingLength >= kFeedBytes) DropOldestLine();
    while (guiFeedTyping()) guiTypeNextChar();
    while (f.write > 0 && f.write + int(length) >= kFeedBytes) DropOldestLine();
    std::memcpy(f.pending, text, length);
    f.pending[length] = 0;
    f.pendingLength = int16_t(length);
    f.colour = uint8_t(colourSet);
    f.read = 0;
    f.penX = 0;
    f.accumulator = 0;
    f.hold = -1;
    gFeedShowing = 1;
}

bool guiTypeNextChar() {
    if (!EnsureFeed()) return false;
    TextFeed &f = gFeed;
    if (f.read >= f.pendingLength) return false;
    const char c = f.pending[f.read];
    f.penX = int16_t(f.penX + Advance(c));
    int word = 0;
    for (int i = f.read + 1; i < f.pendingLength; ++i) {
        const char n = f.pending[i];
        if (n == ' ' || n == '\r' || n == '~' || n == '#') break;
        word += Advance(n);
    }
    if (f.penX + word + 12 > f.boxWidth && word + 12 <= f.boxWidth) {
        f.penX = 0;
        Append('\n', f.colour);
    }
    const bool last = f.read == f.pendingLength - 1;
    const bool skipBlank = f.penX == 0 && c == ' ' && !last;
    if (!skipBlank && c != '\r' && c != '~' && c != '#') Append(c, f.colour);
    ++f.read;
    bool pause = false;
    const char next = f.read < f.pendingLength ? f.pending[f.read] : 0;
    if (next == '\n') {
        f.penX = 0;
        pause = true;
    } else if (next == '~' || (c == '.' && next != '.')) {
        pause = true;
    }
    if (c == '#' && f.speech[0]) {
        if (SoundSlot *slot = SpeechPlayFile(f.speech)) gSpeechTime = SpeechCentiseconds(slot);
        else dunErrorBox("Could NOT Load!", f.speech);
        f.speech[0] = 0;
    }
    if (f.read >= f.pendingLength) Append('\n', f.colour);
    f.chars[f.write] = 0;
    if (gFeedWindow) guiReload(gFeedWindow);
    return pause;
}

int32_t guiMessageTime(const char *text, bool *hasCue) {
    if (hasCue) *hasCue = false;
    if (!text) return 100;
    // Counted wide and held to the range the callers store.
    int64_t total = 0;
    for (const char *p = text; *p; ++p) {
        switch (*p) {
        case '\n':
        case '~': total += kFeedPauseDelay; break;
        case '.':
            if (p[1] != '.') total += kFeedPauseDelay;
            break;
        case '#':
            if (hasCue) *hasCue = true;
            total += kFeedCharDelay;
            break;
        default: total += kFeedCharDelay; break;
        }
    }
    total += 100;
    return total > 0x7FFFFFFF ? 0x7FFFFFFF : int32_t(total);
}

void guiTextFeedTick() {
    TextFeed &f = gFeed;
    if (!f.chars) return;
    if (f.hold > 0) {
        f.hold = int16_t(f.hold - gRawStep);
        if (f.hold < 1) {
            gFeedShowing = 0;
            gMissionLogCursor = kMissionLogNoEntry;
            for (int i = 0; i < 3; ++i) Append('\n', f.colour);
            f.chars[f.write] = 0;
        }
    }
    if (!guiFeedTyping()) {
        if (!ScriptHold() && gFeedShowing && f.hold <= 0) f.hold = kFeedHoldTime;
        return;
    }
    if (ScriptHold() && gFeedReplyHold) return;
    f.accumulator -= gRawStep;
    while (f.accumulator < 0) {
        f.accumulator += f.charDelay;
        if (guiTypeNextChar()) f.accumulator += f.pauseDelay;
    }
}

void guiDrawTextFeed(int x, int y, int width, int height) {
    guiTextFeedTick();
    TextFeed &f = gFeed;
    if (!gFeedShowing || gGuiHelpMode || !f.chars) return;
    f.boxWidth = int16_t(width);
    f.boxHeight = int16_t(height);
    const BitmapFont *font = f.fonts[0] ? f.fonts[0] : gFeedFont;
    Surface *surface = guiScreen();
    if (!font || !surface) return;
    const int line = font->lineHeight;
    // Lines that no longer fit above the box's bottom are not drawn.
    int first = 0, total = 2 * line + 4;
    for (int i = f.write - 1; i >= 0; --i) {
        if (f.chars[i] == '\n') total += line;
        if (total >= height) {
            first = i + 1;
            break;
        }
    }
    ClipRect clip = {int16_t(x), int16_t(y), int16_t(x + width - 1), int16_t(y + height - 1)};
    int px = x + 4, py = y + line + 4;
    const BitmapFont *fonts[5] = {font, f.fonts[1], f.fonts[2], f.fonts[3], f.fonts[4]};
    dunDrawTextColoured(surface, &px, &py, f.chars + first, f.colours + first, fonts, &clip);
    if (dunGameClock % 50 >= 26 && px < x + width - 8 && py < y + height) {
        const int top = py - line + (gFeedAltPlacement ? 2 : 6);
        FillRectClipped(surface, 160, &clip, px, top, px + 4, py);
    }
}

// ---- Dialogue line ---------------------------------------------------------------------

namespace {

ResourceHandle *ResourceOf(ScriptSymbol *symbol) {
    if (!symbol || !ScriptSymbolBound(symbol) || (symbol->flags & SymFlag::Word)) return nullptr;
    ResourceHandle *h = static_cast<ResourceHandle *>(ScriptSymbolPointer(symbol));
    if (!h || h < RESMAN.handles || h >= RESMAN.handles + ResourceHandleCount) return nullptr;
    return h;
}

}  // namespace

void guiDialogueLineSpeechPath(const char *name, char *out, int size) {
    if (size <= 0) return;
    out[0] = 0;
    if (!name) return;
    const char *slash = std::strrchr(name, '\\');
    char code[3] = {0, 0, 0};
    if (slash && slash - name >= 2) {
        code[0] = slash[-2];
        code[1] = slash[-1];
    }
    const char *line = slash ? slash + 1 : name;
    static const char *const kPatterns[3] = {"%s\\m%s_%s_0.wav", "%sFrench\\m%s_%s_0.wav", "%sGerman\\m%s_%s_0.wav"};
    std::snprintf(out, size_t(size), kPatterns[gLanguage < 3 ? gLanguage : 0], gAudioFolder, code, line);
}

uint8_t PlayDialogueLine(ScriptSymbol *symbol, ScriptSymbol *replyVariable, ScriptSymbol *owner,
                         SceneItem *speaker) {
    ResourceHandle *handle = ResourceOf(symbol);
    const char *text = handle ? static_cast<const char *>(resmanLoad(handle)) : nullptr;
    if (!text) {
        char report[160];
        std::snprintf(report, sizeof report, "Could not find dialogue script '%s'",
                      symbol && symbol->name ? symbol->name : "");
        dunErrorBox(report, "DIALOGUE error");
        return 0;
    }
    if (text[0] == '<') {
        // Once the player's ship is lost no new dialogue starts.
        if (!dunPlayerDestroyed) dunStartDialogue(handle, replyVariable, owner, speaker);
        return 255;
    }
    bool cue = false;
    gSpeechTime = guiMessageTime(text, &cue);
    if (!ScriptHold()) {
        MissionLogAddText(gMissionClock, text);
    } else {
        guiPostFeedText(text, 0);
        char path[260];
        guiDialogueLineSpeechPath(symbol->name, path, sizeof path);
        if (path[0] && SoundEnabled && GameFileExists(path)) {
            if (!cue) {
                if (SoundSlot *slot = SpeechPlayFile(path)) gSpeechTime = SpeechCentiseconds(slot);
            } else {
                std::snprintf(gFeed.speech, sizeof gFeed.speech, "%s", path);
                gSpeechTime = 360000;
            }
        }
    }
    gScriptSpeechTime = gSpeechTime;
    return 255;
}

// The world's warning (friendly fire and the like) waits in its text slot
// until the world asks the feed to type it.
void guiPostPendingFeedText(int colourSet) {
    if (const char *text = guiCockpitText(kWarningFeedText)) guiPostFeedText(text, colourSet);
}
