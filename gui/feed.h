// The three text outlets every subsystem writes to: the message line (one
// short timed status text the HUD shows), the text feed (dialogue and mission
// text typed out a character at a time, with pauses, word wrap, a cursor and
// a speech cue), and the dialogue line (a named text of the script played as
// subtitle with speech, or logged).
#pragma once

#include <cstdint>

struct BitmapFont;
struct GuiWindow;
struct ScriptSymbol;
struct SceneItem;

// ---- Message line -------------------------------------------------------------------

constexpr int kMessageLineBytes = 80;
constexpr int kMessageLineLimit = 256;  // longer texts are a fatal error
extern char gMessageText[kMessageLineBytes];
extern int32_t gMessageDuration;   // centiseconds
extern int32_t gMessageRemaining;  // centiseconds
extern uint8_t gMessageNew;

// Blanks the line ("---------").
void guiClearMessageLine();
// Shows a text for a time (centiseconds), replacing the one shown. Texts of
// 80 characters or more are cut to the line's 79.
void guiDisplayMessage(const char *text, int duration);
// Once a frame: the text to draw this frame, or null (blinks during its
// first second).
const char *guiDrawMessageLine();

// ---- Text feed ------------------------------------------------------------------------

constexpr int kFeedBytes = 5000;
constexpr int32_t kFeedCharDelay = 4;    // centiseconds a character
constexpr int32_t kFeedPauseDelay = 50;  // after a line, "~" or a full stop
constexpr int16_t kFeedHoldTime = 250;   // a typed text stays this long

struct TextFeed {
    char *chars;          // typed characters, ended by a 0 at `write`
    uint8_t *colours;     // one colour (font number 0..4) per typed character
    int16_t write;        // characters typed into the buffers
    char pending[kFeedBytes];  // the text being typed
    int16_t pendingLength;
    int16_t read;         // next character of the pending text to type
    uint8_t colour;       // of the pending text
    int16_t penX;         // pixels on the current line
    int16_t boxWidth, boxHeight;  // of the last draw; steer the word wrap
    int32_t accumulator;  // centiseconds of typing owed
    int32_t charDelay;
    int32_t pauseDelay;
    int16_t hold;         // centiseconds the typed text still shows; -1 while typing
    BitmapFont *fonts[5]; // the fonts the colours select
    char speech[260];     // the speech file queued for the cue "#"; empty when none
};
extern TextFeed gFeed;

extern BitmapFont *gFeedFont;      // the feed's font (fonts[0]); its advances measure words
extern uint8_t gFeedShowing;       // the text feed shows text
extern uint8_t gFeedAltPlacement;  // the feed's alternate placement in the main view
extern uint8_t gFeedKeepHistory;   // a post keeps the text typed before it
extern uint8_t gFeedSubtitles;     // dialogue lines also go to the feed (on by default)
extern uint8_t gFeedReplyHold;     // the command station waits for the player's reply
extern GuiWindow *gFeedWindow;     // redrawn as characters are typed, when set
// Centiseconds the last dialogue line takes to show or speak; the script's
// waits and the mission-end view read it.
extern int32_t gSpeechTime;
// The script's copy is gScriptSpeechTime (script/dialogue.h).

void guiTextFeedInit();
void guiResetTextFeed();
void guiFreeTextFeed();
// Posts a text in a colour (a font number of the feed's font set).
void guiPostFeedText(const char *text, int colourSet);
// Types the warning the world has waiting in its text slot.
void guiPostPendingFeedText(int colourSet);
// Types one character of the pending text; true when a pause follows it.
bool guiTypeNextChar();
// True while the pending text has characters left to type.
bool guiFeedTyping();
// Centiseconds the feed takes to show a text; hasCue is set when the text
// carries a speech cue "#".
int32_t guiMessageTime(const char *text, bool *hasCue);
// Once a frame: typing and the hold.
void guiTextFeedTick();
// Ticks and draws the feed into a box.
void guiDrawTextFeed(int x, int y, int width, int height);

// ---- Dialogue line ---------------------------------------------------------------------

// Plays the text resource of a symbol: a marked-up dialogue is started (with
// the reply variable, owner symbol and speaking object); a plain text is
// typed with its speech during a briefing, else logged. 255 when played, 0
// when the symbol has no text.
uint8_t PlayDialogueLine(ScriptSymbol *symbol, ScriptSymbol *replyVariable, ScriptSymbol *owner,
                         SceneItem *speaker);
// The speech file of a plain dialogue line of that symbol name, in the
// current language (empty when the name gives no file).
void guiDialogueLineSpeechPath(const char *symbolName, char *out, int size);

// ---- Bar gauge of the loading display --------------------------------------------------

struct BarGauge {
    int16_t x, y, width, height;
    float value;
    float maximum;
};
void guiDrawBarSegmented(BarGauge *bar);
