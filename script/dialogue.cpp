#include "script/dialogue.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "RES/resman.h"
#include "core/files.h"
#include "core/frame.h"
#include "core/log.h"
#include "core/options.h"
#include "platform/sound.h"
#include "script/mission.h"
#include "script/screens.h"
#include "script/symbols.h"
#include "world/services.h"

int32_t gScriptSpeechTime;
DialogueRecord *gDialogueQueue;
DialogueChoice *gDialogueChoices;
DialogueChoice *gDialogueChoiceSlots[kDialogueChoiceSlots];
int16_t gDialogueChoiceCount;
uint8_t gDialogueSpeakersChanged;
SceneItem *gDialogueSpeaking;
ResourceHandle *gDialogueSpeech;
int32_t gDialogueHoldOff;
uint8_t gDialogueOver;
int32_t gDialogueChoiceResult;

namespace {

const char *const kPlayerNames[3] = {"You", "Vous", "Sie"};
constexpr uint16_t kComArmNone = 0xFFFF, kComArmListen = 1, kComArmTalk = 2;

// The reply slots refill for this name after a pick.
char gSelectedSpeaker[kDialogueNameBytes];

SoundSlot *SlotOf(ResourceHandle *sample) { return sample ? static_cast<SoundSlot *>(sample->data) : nullptr; }

void StopSample(ResourceHandle *sample) {
    if (SoundSlot *slot = SlotOf(sample)) SoundStop(slot);
}

void FreeNodes(DialogueRecord *record, bool stopSamples) {
    for (DialogueNode *n = record->nodes; n;) {
        DialogueNode *next = n->owned;
        n->flags |= DialogueFlag::Freed;
        if (stopSamples) StopSample(n->sample);
        std::free(n->text);
        std::free(n->shortText);
        std::free(n);
        n = next;
    }
    record->nodes = nullptr;
}

// Takes every reply choice of a dialogue (or all, for null) out of the list.
void DropChoices(const DialogueRecord *record) {
    for (DialogueChoice **link = &gDialogueChoices; *link;) {
        DialogueChoice *c = *link;
        if (!record || c->dialogue == record) {
            *link = c->next;
            for (DialogueChoice *&slot : gDialogueChoiceSlots)
                if (slot == c) slot = nullptr;
            std::free(c);
        } else {
            link = &c->next;
        }
    }
}

void FreeRecord(DialogueRecord *record, bool stopSamples) {
    DropChoices(record);
    FreeNodes(record, stopSamples);
    std::free(record);
}

// Unlinks a record from the queue.
void Unlink(DialogueRecord *record) {
    for (DialogueRecord **link = &gDialogueQueue; *link; link = &(*link)->next)
        if (*link == record) {
            *link = record->next;
            return;
        }
}

// ---- Parsing -----------------------------------------------------------------------

struct Parser {
    DialogueRecord *record;
    const char *body;   // the text after the header
    size_t size;
    size_t at;
    int line;           // number of the next line
    int lineStart;      // 0, or 3 for one special dialogue
    bool sharedSample;  // one sample for every line
    char sharedPath[300];
    const char *resourceName;

    DialogueNode *NewNode(uint32_t flags) {
        DialogueNode *n = static_cast<DialogueNode *>(std::calloc(1, sizeof(DialogueNode)));
        if (!n) dunFatalError("Dialogue: out of memory");
        n->flags = flags;
        n->owned = record->nodes;
        record->nodes = n;
        return n;
    }

    bool LineStartAt(size_t k) const {
        return k + 1 < size && std::isupper(static_cast<unsigned char>(body[k])) && body[k + 1] == ':';
    }
    bool MarkupAt(size_t k) const {
        const char c = body[k];
        return c == '(' || c == ')' || c == '=' || c == '*' || c == '&' || LineStartAt(k);
    }
    // The next markup position from k, or size.
    size_t NextMarkup(size_t k) const {
        while (k < size && !MarkupAt(k)) ++k;
        return k;
    }

    int SpeakerIndex(char letter) const {
        for (int i = 0; i < record->speakerCount; ++i)
            if (record->letters[i] == letter) return i;
        return -1;
    }

    // A bracketed part "[...]" or "{...}" right at k; false (and nothing
    // taken) when it is not closed before the next markup.
    bool Bracketed(char open, char close, size_t *from, size_t *to) {
        if (at >= size || body[at] != open) return false;
        size_t end = at + 1;
        while (end < size && body[end] != close && !MarkupAt(end)) ++end;
        if (end >= size || body[end] != close) return false;
        *from = at + 1;
        *to = end;
        at = end + 1;
        return true;
    }

    ResourceHandle *Sample() {
        char path[300];
        if (sharedSample) std::snprintf(path, sizeof path, "%s", sharedPath);
        else dunDialogueSamplePath(resourceName, line, path, sizeof path);
        // A missing sample leaves the line silent.
        if (!path[0] || !SoundEnabled || !GameFileExists(path)) return nullptr;
        ResourceHandle *h = resmanRegisterLoad(path, ResWav2Snd);
        SoundSlot *slot = SlotOf(h);
        if (!slot || !slot->buffer) return nullptr;
        slot->speech = 1;
        return h;
    }

    DialogueNode *Line() {
        const char letter = body[at];
        at += 2;
        DialogueNode *n = NewNode(letter == 'P' ? DialogueFlag::Player : 0);
        const int index = letter == 'P' ? 0 : SpeakerIndex(letter);
        n->speaker = int16_t(index < 0 ? 0 : index);
        size_t from, to;
        if (letter == 'P' && Bracketed('[', ']', &from, &to)) {
            for (size_t k = from; k < to; ++k) {
                const char o = body[k];
                if (o == '-') n->flags |= DialogueFlag::Optional;
                else if (o == '+') n->flags |= DialogueFlag::Final;
                else if (std::isupper(static_cast<unsigned char>(o)) && SpeakerIndex(o) >= 0)
                    n->addressee = int16_t(SpeakerIndex(o));
            }
        }
        if (Bracketed('{', '}', &from, &to)) {
            n->shortText = static_cast<char *>(std::malloc(to - from + 1));
            if (!n->shortText) dunFatalError("Dialogue: out of memory");
            std::memcpy(n->shortText, body + from, to - from);
            n->shortText[to - from] = 0;
        }
        size_t end = NextMarkup(at);
        size_t from2 = at;
        // Blanks after the colon and the line break before the next mark
        // are not part of the text.
        while (from2 < end && (body[from2] == ' ' || body[from2] == '\t')) ++from2;
        size_t to2 = end;
        while (to2 > from2 && std::isspace(static_cast<unsigned char>(body[to2 - 1]))) --to2;
        at = end;
        const char *prefix = index < 0 ? "" : record->names[index];
        const char *dash = index < 0 ? "" : " - ";
        const size_t length = std::strlen(prefix) + std::strlen(dash) + (to2 - from2);
        n->text = static_cast<char *>(std::malloc(length + 1));
        if (!n->text) dunFatalError("Dialogue: out of memory");
        std::snprintf(n->text, length + 1, "%s%s%.*s", prefix, dash, int(to2 - from2), body + from2);
        n->length = int32_t(length);
        n->sample = Sample();
        ++line;
        return n;
    }

    DialogueNode *ValueItem() {
        ++at;  // "=" or "*"
        DialogueNode *n = NewNode(DialogueFlag::Value);
        // An integer as the C library's "%i" reads it, within the text.
        size_t k = at;
        while (k < size && (body[k] == ' ' || body[k] == '\t')) ++k;
        bool negative = false;
        if (k < size && (body[k] == '-' || body[k] == '+')) negative = body[k++] == '-';
        int base = 10;
        if (k + 1 < size && body[k] == '0' && (body[k + 1] == 'x' || body[k + 1] == 'X')) {
            base = 16;
            k += 2;
        } else if (k < size && body[k] == '0') {
            base = 8;
        }
        int64_t value = 0;
        for (; k < size; ++k) {
            const int c = static_cast<unsigned char>(body[k]);
            const int d = std::isdigit(c) ? c - '0' : std::isxdigit(c) ? (std::tolower(c) - 'a' + 10) : 99;
            if (d >= base) break;
            if (value < 0x7FFFFFFF) value = value * base + d;
        }
        if (value > 0x7FFFFFFF) value = 0x7FFFFFFF;
        n->value = int32_t(negative ? -value : value);
        return n;
    }

    struct Block {
        DialogueNode *head = nullptr, *tail = nullptr;
        DialogueNode *set = nullptr;      // the set open in this block
        DialogueNode *lastAlt = nullptr;  // first node of its last alternative
    };

    static void Append(Block &b, DialogueNode *n) {
        if (b.tail) b.tail->next = n;
        else b.head = n;
        b.tail = n;
    }

    // Ends the set open in a block with its end node.
    void EndSet(Block &b, uint32_t extra) {
        DialogueNode *end = NewNode(DialogueFlag::SetEnd | extra);
        b.lastAlt->alternative = end;
        b.tail = end;
        b.set = nullptr;
        b.lastAlt = nullptr;
    }

    // Builds the tree of the body from its first "(" into the root.
    void Build(DialogueNode *root) {
        while (at < size && body[at] != '(') ++at;
        Block top;
        Append(top, root);
        if (at >= size) {
            Append(top, NewNode(DialogueFlag::End));
            return;
        }
        ++at;
        // Blocks still open; the top block sits under the first.
        std::vector<Block> open;
        open.push_back(top);
        while (!open.empty()) {
            at = NextMarkup(at);
            Block &b = open.back();
            // Balanced brackets close every block before the end; were the
            // end reached, it closes what is open.
            const char c = at < size ? body[at] : ')';
            if (c == '(') {
                ++at;
                if (!b.set) {
                    DialogueNode *set = NewNode(DialogueFlag::Set);
                    Append(b, set);
                    b.set = set;
                }
                open.push_back(Block{});
                continue;
            }
            if (c == ')') {
                if (at < size) ++at;
                if (open.size() == 1) {
                    if (b.set) EndSet(b, DialogueFlag::End);
                    else Append(b, NewNode(DialogueFlag::End));
                    open.pop_back();
                    return;
                }
                if (b.set) EndSet(b, 0);
                if (!b.head) Append(b, NewNode(DialogueFlag::Structural));
                Block done = b;
                open.pop_back();
                Block &parent = open.back();
                if (!parent.lastAlt) parent.set->next = done.head;
                else parent.lastAlt->alternative = done.head;
                parent.lastAlt = done.head;
                done.tail->next = parent.set;
                continue;
            }
            // Anything else first ends a set before it.
            if (b.set) EndSet(b, 0);
            if (LineStartAt(at)) Append(b, Line());
            else if (c == '=' || c == '*') Append(b, ValueItem());
            else ++at;  // "&": the text after it up to the next mark is skipped
        }
    }
};

// Speaker definitions "X=Name" of the header; P is always the player.
void ReadHeader(DialogueRecord *record, const char *text, size_t headerEnd) {
    record->letters[0] = 'P';
    std::snprintf(record->names[0], kDialogueNameBytes, "%s", kPlayerNames[gLanguage < 3 ? gLanguage : 0]);
    record->speakerCount = 1;
    for (size_t i = 0; i + 1 < headerEnd; ++i) {
        const char letter = text[i];
        if (!std::isupper(static_cast<unsigned char>(letter)) || text[i + 1] != '=' || letter == 'P') continue;
        if (i > 0 && std::isalnum(static_cast<unsigned char>(text[i - 1]))) continue;
        size_t k = i + 2;
        char name[kDialogueNameBytes];
        int n = 0;
        while (k < headerEnd && std::isalnum(static_cast<unsigned char>(text[k]))) {
            if (n < kDialogueNameBytes - 1) name[n++] = text[k];
            ++k;
        }
        name[n] = 0;
        i = k - 1;
        // A letter defined again keeps its first name; five speakers at most.
        bool known = false;
        for (int s = 0; s < record->speakerCount; ++s) known |= record->letters[s] == letter;
        if (known || record->speakerCount >= kDialogueSpeakers) continue;
        record->letters[record->speakerCount] = letter;
        std::memcpy(record->names[record->speakerCount], name, size_t(n) + 1);
        ++record->speakerCount;
    }
}

// Brackets of the body balance (and never close more than is open).
bool Balanced(const char *body, size_t size) {
    long depth = 0;
    for (size_t i = 0; i < size; ++i) {
        if (body[i] == '(') ++depth;
        else if (body[i] == ')' && --depth < 0) return false;
    }
    return depth == 0;
}

// The code (two characters before the last backslash) and base name of a
// dialogue file.
void NameParts(const char *resourceName, char code[3], char *base, size_t baseSize) {
    code[0] = code[1] = code[2] = 0;
    base[0] = 0;
    if (!resourceName) return;
    const char *slash = std::strrchr(resourceName, '\\');
    if (slash && slash - resourceName >= 2) {
        code[0] = slash[-2];
        code[1] = slash[-1];
    }
    const char *name = slash ? slash + 1 : resourceName;
    size_t n = std::strlen(name);
    n = n > 4 ? n - 4 : 0;  // without its four-character extension
    if (n >= baseSize) n = baseSize - 1;
    std::memcpy(base, name, n);
    base[n] = 0;
}

bool SharedFrenchSample(const char *code) { return gLanguage == 1 && !std::strcmp(code, "98"); }

// ---- Playing -----------------------------------------------------------------------

DialogueNode *SetEndOf(DialogueNode *set) {
    DialogueNode *alt = set->next;
    while (alt && !(alt->flags & DialogueFlag::SetEnd)) alt = alt->alternative;
    return alt;
}

void AddChoice(DialogueRecord *record, DialogueNode *node) {
    DialogueChoice *c = static_cast<DialogueChoice *>(std::calloc(1, sizeof(DialogueChoice)));
    if (!c) dunFatalError("Dialogue: out of memory");
    c->node = node;
    c->dialogue = record;
    c->addressee = record->names[node->addressee >= 0 && node->addressee < record->speakerCount ? node->addressee : 0];
    DialogueChoice **link = &gDialogueChoices;
    while (*link) link = &(*link)->next;
    *link = c;
    dunCall(ScriptGui().redrawChoices);
}

// Speaks a line: log entry, portrait, speech; its time.
void Speak(DialogueRecord *record, DialogueNode *node, const char *portrait) {
    gDialogueSpeaking = record->owner;
    dunCall(ScriptGui().setSpeaker, portrait);
    dunCall(dunHud().missionLogAddText, node->text);
    int32_t speech = 0;
    if (SoundSlot *slot = SlotOf(node->sample)) {
        StopSample(gDialogueSpeech);
        gDialogueSpeech = node->sample;
        SoundStartFadedIn(slot, 0, 0, 0, 0);
        speech = SoundDurationCs(slot) + 100;
    }
    const int32_t feed = dunCall(ScriptGui().messageTime, node->text);
    record->remaining = gDialogueHoldOff = speech > feed ? speech : feed;
    record->state = uint8_t((record->state & ~DialogueState::Waiting) | DialogueState::Playing);
}

// Steps a record through its tree until something stops it.
void Step(DialogueRecord *record) {
    for (int guard = 0; guard < 100000; ++guard) {
        DialogueNode *n = record->current;
        if (!n || (n->flags & DialogueFlag::End)) return;
        if (n->flags & DialogueFlag::Set) {
            bool said = false, final = false, optionalOnly = true;
            for (DialogueNode *alt = n->next; alt && !(alt->flags & DialogueFlag::SetEnd); alt = alt->alternative) {
                if (alt->flags & DialogueFlag::Said) {
                    said = true;
                    if (alt->flags & DialogueFlag::Final) final = true;
                } else if (!(alt->flags & DialogueFlag::Optional)) {
                    optionalOnly = false;
                }
            }
            if (final || (said && optionalOnly)) {
                DialogueNode *end = SetEndOf(n);
                record->current = end ? end->next : nullptr;
                return;
            }
            for (DialogueNode *alt = n->next; alt && !(alt->flags & DialogueFlag::SetEnd); alt = alt->alternative)
                if (!(alt->flags & DialogueFlag::Said)) AddChoice(record, alt);
            record->state |= DialogueState::Waiting;
            return;
        }
        if (n->flags & DialogueFlag::Value) {
            if (record->valueTarget) ScriptSetSymbolInt(record->valueTarget, n->value);
            record->current = n->next;
            continue;
        }
        if (!n->text) {  // structural nodes and set ends
            record->current = n->next;
            continue;
        }
        if (!(n->flags & DialogueFlag::Player)) dunCall(ScriptGui().setSpeakerClipMode, kComArmTalk);
        Speak(record, n, record->names[n->speaker]);
        record->current = n->next;
        return;
    }
}

}  // namespace

void dunDialogueSamplePath(const char *resourceName, int line, char *out, int size) {
    if (size <= 0) return;
    out[0] = 0;
    char code[3], base[128];
    NameParts(resourceName, code, base, sizeof base);
    if (!base[0]) return;
    static const char *const kPaths[3] = {"%s\\m%s_%s", "%sFrench\\m%s_%s", "%sGerman\\m%s_%s"};
    char path[512];
    if (SharedFrenchSample(code)) {
        std::snprintf(path, sizeof path, "%sFrench\\m%s_0_%s", gAudioFolder, code, base);
        std::snprintf(out, size_t(size), "%s.wav", path);
        return;
    }
    std::snprintf(path, sizeof path, kPaths[gLanguage < 3 ? gLanguage : 0], gAudioFolder, code, base);
    std::snprintf(out, size_t(size), "%s_%1i.wav", path, line);
}

DialogueNode *dunStartDialogue(ResourceHandle *resource, ScriptSymbol *valueTarget, ScriptSymbol *ownerSymbol,
                               SceneItem *owner) {
    const char *text = resource ? static_cast<const char *>(resmanLoad(resource)) : nullptr;
    if (!text) return nullptr;
    const size_t size = std::strlen(text);
    const char *close = static_cast<const char *>(std::memchr(text, '>', size));
    const size_t headerEnd = close ? size_t(close - text) : size;
    const char *body = text + headerEnd;
    const size_t bodySize = size - headerEnd;
    if (!Balanced(body, bodySize)) dunFatalError("Dialogue parse error - Number of brackets in dialogue is wrong.");

    DialogueRecord *record = static_cast<DialogueRecord *>(std::calloc(1, sizeof(DialogueRecord)));
    if (!record) dunFatalError("Dialogue: out of memory");
    record->valueTarget = valueTarget;
    record->ownerSymbol = ownerSymbol;
    record->owner = owner;
    ReadHeader(record, text, headerEnd);

    Parser p{};
    p.record = record;
    p.body = body;
    p.size = bodySize;
    p.resourceName = resource->name;
    char code[3], base[128];
    NameParts(resource->name, code, base, sizeof base);
    p.line = p.lineStart = (!std::strcmp(code, "01") && !std::strcmp(base, "t194")) ? 3 : 0;
    p.sharedSample = SharedFrenchSample(code);
    if (p.sharedSample) dunDialogueSamplePath(resource->name, 0, p.sharedPath, sizeof p.sharedPath);
    DialogueNode *root = p.NewNode(DialogueFlag::Structural);
    p.Build(root);
    record->root = record->current = root;

    DialogueRecord **link = &gDialogueQueue;
    while (*link) link = &(*link)->next;
    *link = record;
    return root;
}

void dunUpdateDialogue() {
    for (DialogueRecord *r = gDialogueQueue; r;) {
        DialogueRecord *next = r->next;
        if (r->remaining > 0) {
            const int32_t step = gRawStep < 20 ? gRawStep : 20;
            r->remaining -= step;
            if (r->remaining <= 0) {
                r->remaining = 0;
                r->state &= ~DialogueState::Playing;
                dunCall(ScriptGui().setSpeakerClipMode, kComArmListen);
            }
        }
        const bool atEnd = r->current && (r->current->flags & DialogueFlag::End);
        if (!atEnd && !(r->state & (DialogueState::Waiting | DialogueState::Playing))) Step(r);
        if (!(r->state & DialogueState::Playing) && (!r->current || (r->current->flags & DialogueFlag::End))) {
            Unlink(r);
            FreeRecord(r, true);
        }
        r = next;
    }
}

bool dunSkipDialogueLine() {
    if (!gDialogueQueue) return false;
    StopSample(gDialogueSpeech);
    dunCall(ScriptGui().resetTextFeed);
    for (DialogueRecord *r = gDialogueQueue; r; r = r->next)
        if (r->state & DialogueState::Playing) r->remaining = 1;
    return true;
}

void dunClearDialogue() {
    while (DialogueRecord *r = gDialogueQueue) {
        gDialogueQueue = r->next;
        FreeRecord(r, true);
    }
    DropChoices(nullptr);
    for (DialogueChoice *&slot : gDialogueChoiceSlots) slot = nullptr;
    gDialogueChoiceCount = 0;
    gDialogueSpeakersChanged = 1;
    StopSample(gDialogueSpeech);
    gDialogueSpeech = nullptr;
    gDialogueSpeaking = nullptr;
    dunCall(ScriptGui().setSpeakerClipMode, kComArmNone);
    dunCall(ScriptGui().resetTextFeed);
}

void dunResetDialogueQueue() {
    // The samples may be gone with the resources already: only the records
    // and their trees are given back.
    while (DialogueRecord *r = gDialogueQueue) {
        gDialogueQueue = r->next;
        FreeRecord(r, false);
    }
    DropChoices(nullptr);
    gDialogueChoiceCount = 0;
    gDialogueSpeech = nullptr;
    gDialogueSpeaking = nullptr;
}

void dunCancelDialogueById(SceneItem *owner) {
    if (!owner) return;
    for (DialogueRecord *r = gDialogueQueue; r;) {
        DialogueRecord *next = r->next;
        if (r->owner == owner) {
            Unlink(r);
            FreeRecord(r, true);
        }
        r = next;
    }
    if (gDialogueSpeaking == owner) gDialogueSpeaking = nullptr;
}

void dunCancelDialogueBySymbol(const ScriptSymbol *symbol) {
    for (DialogueRecord *r = gDialogueQueue; r; r = r->next)
        if (r->ownerSymbol == symbol) {
            Unlink(r);
            FreeRecord(r, true);
            return;
        }
}

bool dunIsDialoguePlaying(const SceneItem *owner) {
    for (DialogueRecord *r = gDialogueQueue; r; r = r->next)
        if (!owner || r->owner == owner) return true;
    return false;
}

bool dunIsDialogueQueuedFor(const ScriptSymbol *dialogue) {
    for (DialogueRecord *r = gDialogueQueue; r; r = r->next)
        if (r->ownerSymbol == dialogue) return true;
    return false;
}

void dunSelectDialogueSpeaker(const char *name) {
    std::snprintf(gSelectedSpeaker, sizeof gSelectedSpeaker, "%s", name ? name : "");
    int n = 0;
    for (DialogueChoice *c = gDialogueChoices; c && n < kDialogueChoiceSlots; c = c->next)
        if (name && c->addressee && !std::strcmp(c->addressee, name)) gDialogueChoiceSlots[n++] = c;
    gDialogueChoiceCount = int16_t(n);
    for (int i = n; i < kDialogueChoiceSlots; ++i) gDialogueChoiceSlots[i] = nullptr;
}

void dunPlayDialogueChoice(DialogueChoice *choice) {
    if (!choice) return;
    DialogueRecord *record = choice->dialogue;
    DialogueNode *node = choice->node;
    node->flags |= DialogueFlag::Said;
    dunCall(ScriptGui().setSpeakerClipMode, (node->flags & DialogueFlag::Player) ? kComArmListen : kComArmTalk);
    if (node->text) {
        Speak(record, node, choice->addressee);
    } else {
        record->state = uint8_t((record->state & ~DialogueState::Waiting) | DialogueState::Playing);
    }
    record->current = node->next;
    DropChoices(record);
    gDialogueSpeakersChanged = 1;
    dunSelectDialogueSpeaker(gSelectedSpeaker);
}
