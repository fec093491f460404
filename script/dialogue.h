// Dialogues: marked-up texts of a conversation between the player's crew and
// other speakers, parsed into a tree of lines, value items and reply choices,
// queued, and played a line at a time each (log entry, speech, portrait),
// with unsaid alternatives offered to the player as replies.
//
// Markup: a header "<A=Pilot B=Tower>" names the speakers (P is always the
// player); the body is a block "( ... )"; blocks in a row inside a block are
// alternatives; "A:" starts a line of speaker A; "P:[A-+]" a player reply to
// A (optional "-", final "+"); "{short}" after the colon (and options) is the
// reply button's text; "=5" (or "*5") stores 5 in the reply variable; "&"
// ends a line's text.
#pragma once

#include <cstddef>
#include <cstdint>

struct ResourceHandle;
struct SceneItem;
struct ScriptSymbol;

namespace DialogueFlag {
constexpr uint32_t Player = 2, Structural = 4, End = 32, Value = 64, Freed = 128, Set = 0x100, SetEnd = 0x200,
                   Said = 0x400, Optional = 0x1000, Final = 0x2000;
}  // namespace DialogueFlag

struct DialogueNode {
    DialogueNode *next;         // the next item; a set's first alternative
    DialogueNode *alternative;  // from an alternative's first node: the next alternative or the set's end
    int16_t speaker;            // index into the record's speakers; 0 the player
    char *text;                 // the shown and logged text, with the speaker's name in front
    int32_t length;
    char *shortText;            // the reply button's text; null when none
    int16_t addressee;          // speaker a reply is addressed to
    ResourceHandle *sample;     // the line's speech; null when silent
    uint32_t flags;             // DialogueFlag bits
    int32_t value;              // of a value item
    DialogueNode *owned;        // the record's chain of all its nodes
};

constexpr int kDialogueSpeakers = 5;
constexpr int kDialogueNameBytes = 40;

struct DialogueRecord {
    DialogueRecord *next;       // the queue
    DialogueNode *current;
    DialogueNode *root;
    char names[kDialogueSpeakers][kDialogueNameBytes];  // 0 the player
    char letters[kDialogueSpeakers];
    int16_t speakerCount;
    SceneItem *owner;           // the speaking object; null for none
    int32_t remaining;          // centiseconds of the line playing
    ScriptSymbol *valueTarget;  // the reply variable; may be null
    ScriptSymbol *ownerSymbol;  // the symbol that started it; may be null
    uint8_t state;              // DialogueState bits
    DialogueNode *nodes;        // every node of the tree, for freeing
};

namespace DialogueState {
constexpr uint8_t Waiting = 1, Playing = 2;
}  // namespace DialogueState

struct DialogueChoice {
    DialogueChoice *next;
    DialogueNode *node;
    DialogueRecord *dialogue;
    const char *addressee;  // the name the reply is addressed to
};

constexpr int kDialogueChoiceSlots = 5;

extern DialogueRecord *gDialogueQueue;
extern DialogueChoice *gDialogueChoices;
extern DialogueChoice *gDialogueChoiceSlots[kDialogueChoiceSlots];
extern int16_t gDialogueChoiceCount;
extern uint8_t gDialogueSpeakersChanged;  // set on clear; the speaker list widget clears it
extern SceneItem *gDialogueSpeaking;      // owner of the line being spoken
extern ResourceHandle *gDialogueSpeech;   // the sample speaking
extern int32_t gDialogueHoldOff;          // the last line's time
// Set when the dialogue the player is in has been ended.
extern uint8_t gDialogueOver;
// The result of the player's last reply choice; a DIALOGUE statement and the
// still-dialogue option clear it.
extern int32_t gDialogueChoiceResult;

// Parses the resource's text and queues it; its root node, or null when the
// resource has no text.
DialogueNode *dunStartDialogue(ResourceHandle *resource, ScriptSymbol *valueTarget, ScriptSymbol *ownerSymbol,
                               SceneItem *owner);
void dunUpdateDialogue();
// The player's skip key: true when a dialogue was queued.
bool dunSkipDialogueLine();
void dunClearDialogue();
void dunResetDialogueQueue();
void dunCancelDialogueById(SceneItem *owner);
void dunCancelDialogueBySymbol(const ScriptSymbol *symbol);
// Any dialogue (owner null) or one of that owner is queued.
bool dunIsDialoguePlaying(const SceneItem *owner);
// A dialogue started from that symbol is queued.
bool dunIsDialogueQueuedFor(const ScriptSymbol *dialogue);
// Fills the reply slots with the replies addressed to that name.
void dunSelectDialogueSpeaker(const char *name);
// The player picks a reply.
void dunPlayDialogueChoice(DialogueChoice *choice);

// The speech sample of a line: the dialogue file's name, the line's number
// and the language give its path (empty when the name gives none).
void dunDialogueSamplePath(const char *resourceName, int line, char *out, int size);

// Centiseconds the last line of a briefing still shows: the feed sets it
// as it plays a line, a DIALOGUE of the briefing counts it down.
extern int32_t gScriptSpeechTime;

// ---- The dialogue statements' state ----------------------------------------------------

// A DIALOGUE statement waits for the dialogue it started.
extern uint8_t gDialogueRunning;
// HUD_STRING: a text slot shown with a variable's value (slot 0: none).
extern int32_t gHudStringSlot;
extern ScriptSymbol *gHudStringVariable;
// PROMPT: a text slot shown with the name of the key bound to a command:
// the binding's modifier row and the key-name table's row (-1: no key).
struct ScriptPrompt {
    int32_t slot;
    int32_t modifier;
    int32_t keyRow;
    int32_t spare;
};
extern ScriptPrompt gScriptPrompt;
// The texts the HUD shows: the HUD string with its variable's value, and
// the prompt with its key's name (the name without its "KEY_"); empty when
// none is set.
void dunHudStringText(char *out, size_t size);
void dunPromptText(char *out, size_t size);
// The statements' state of the mission cleared.
void ResetDialogueStatements();
