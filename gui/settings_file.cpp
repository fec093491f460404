// The settings file "Marrowgleam.ini" rewritten from the option table, the
// option captions of "initTable.txt" and the rank titles of "ratings.txt".
#include <cctype>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/bytes.h"
#include "core/files.h"
#include "core/log.h"
#include "core/options.h"
#include "gui/options.h"
#include "script/career.h"
#include "script/compiler.h"

RankTitle gRankTitles[kRankTitles];
int gRankTitleCount;

namespace {

constexpr size_t kSettingsFileLimit = 4u << 20;
constexpr size_t kCaptionFileLimit = 1u << 20;
constexpr char kInitTable[] = "vek\\resource\\text\\docs\\initTable.txt";
constexpr char kRatings[] = "vek\\resource\\text\\ratings.txt";

bool gCaptionsLoaded;

// The language's copy of a path under the text folder.
void Localise(char *path) {
    if (gLanguage == 1) LocaliseTextPath(path, "frn_");
    else if (gLanguage == 2) LocaliseTextPath(path, "ger_");
}

// Reads the language's copy of a text file and hands its bytes to a parser;
// a missing file leaves everything as it was. One that holds nothing, or
// nothing the parser took (`took` says), is named in the log.
template <size_t N>
void ReadLocalisedText(const char (&name)[N], void (*parse)(ByteView), bool (*took)(), const char *what) {
    char path[N];
    std::memcpy(path, name, N);
    Localise(path);
    uint8_t *data = nullptr;
    size_t size = 0;
    if (!ReadGameFile(path, &data, &size, kCaptionFileLimit)) return;
    parse(BytesOf(data, size));
    std::free(data);
    char instead[96];
    std::snprintf(instead, sizeof instead, "no %s", what);
    if (size == 0) EmptyGameFile(path, instead);
    else if (!took()) RefuseGameFile(path, (std::string("there is no ") + what + " in it").c_str());
}

bool AnyCaption() {
    for (const OptionRecord *o = gOptions; o->name; ++o)
        if (o->labels[0]) return true;
    return false;
}

bool AnyRankTitle() { return gRankTitleCount > 0; }

// "%g" as the "C" locale writes it, whatever the process's locale is.
std::string FormatG(float value) {
    char text[32];
    auto r = std::to_chars(text, text + sizeof text, double(value), std::chars_format::general, 6);
    return std::string(text, r.ptr);
}

bool IsBlankChar(char c) { return c == ' ' || c == '\t'; }

// Where the quoted name of an INIT_VAR statement stands (blanks, the word,
// blanks, the name in quotes); false for every other line, comments that
// mention INIT_VAR among them.
bool InitVarName(const std::string &line, size_t *open, size_t *close) {
    size_t at = 0;
    while (at < line.size() && IsBlankChar(line[at])) ++at;
    static const char kStatement[] = "INIT_VAR";
    if (line.compare(at, sizeof kStatement - 1, kStatement) != 0) return false;
    at += sizeof kStatement - 1;
    if (at >= line.size() || !IsBlankChar(line[at])) return false;
    while (at < line.size() && IsBlankChar(line[at])) ++at;
    if (at >= line.size() || line[at] != '"') return false;
    *open = at;
    *close = line.find('"', at + 1);
    return *close != std::string::npos;
}

// The option a line sets when the line is one of ours: an INIT_VAR
// statement naming the stored name an option has now (its single value, or
// the current renderer's). Every other line, comments that mention INIT_VAR
// and the other renderer's values among them, is the player's.
const OptionRecord *OwnedOption(const std::string &line, bool cardMode) {
    size_t open, close;
    if (!InitVarName(line, &open, &close)) return nullptr;
    const std::string name = line.substr(open + 1, close - open - 1);
    for (const OptionRecord *o = gOptions; o->name; ++o) {
        const char *suffix = !o->perRenderer ? "_m" : cardMode ? "_h" : "_s";
        if (name == std::string(o->name) + suffix) return o;
    }
    return nullptr;
}

// The option an INIT_VAR statement names and the value it gives, when its
// name is an option's name with a suffix ("_m", "_h" or "_s").
struct OldSetting {
    OptionRecord *option = nullptr;
    char suffix = 0;  // 'm', 'h' or 's'
    bool hasValue = false;
    float value = 0;
};

OldSetting ParseOldSetting(const std::string &line) {
    OldSetting out;
    size_t open, close;
    if (!InitVarName(line, &open, &close) || close - open < 4 || line[close - 2] != '_') return out;
    const std::string base = line.substr(open + 1, close - open - 3);
    out.suffix = line[close - 1];
    // Another suffix names no option's value: the line is the player's.
    if (out.suffix != 'm' && out.suffix != 'h' && out.suffix != 's') return out;
    out.option = FindOption(base.c_str());
    size_t at = close + 1;
    while (at < line.size() && (line[at] == ',' || line[at] == ' ' || line[at] == '\t')) ++at;
    std::string number;
    while (at < line.size() && line[at] != '\r' && line[at] != '\n' && line[at] != ' ' && line[at] != '\t' &&
           line[at] != ';')
        number += line[at++];
    out.hasValue = ScanScriptNumber(number.c_str(), &out.value);
    return out;
}

// A kept INIT_VAR line as it is written back: the other renderer's value of
// an option comes back inside the option's range; a line that names an
// option in a form it does not have (a renderer's value of a single-value
// option, or one value for a per-renderer option) is never read and goes.
// Other lines, comments and lines the script would not read as INIT_VAR
// among them, stay as they are.
bool CleanOldLine(std::string &line, const char *lineEnd) {
    const OldSetting old = ParseOldSetting(line);
    if (!old.option) return true;
    if ((old.suffix == 'm') == (old.option->perRenderer != 0)) return false;
    if (!old.hasValue) return true;
    float value = old.value;
    if (!(value >= old.option->minimum)) value = old.option->minimum;
    if (value > old.option->maximum) value = old.option->maximum;
    if (value == old.value) return true;
    OptionRecord clamped = *old.option;
    clamped.value = value;
    line = SettingsLine(clamped, old.suffix == 'h', lineEnd);
    return true;
}

}  // namespace

std::string SettingsLine(const OptionRecord &option, bool cardMode, const char *lineEnd) {
    const char *suffix = !option.perRenderer ? "_m" : cardMode ? "_h" : "_s";
    return std::string("\t\tINIT_VAR\t\"") + option.name + suffix + "\"," + FormatG(option.value) + lineEnd;
}

std::string RewriteSettings(ByteView old, bool cardMode) {
    // The old file's lines, whole, each with its own line end.
    std::string text;
    text.reserve(old.size);
    for (size_t i = 0; i < old.size; ++i) {
        uint8_t c = 0;
        ReadU8(old, i, &c);
        text.push_back(char(c));
    }
    const size_t firstEnd = text.find('\n');
    const char *lineEnd = firstEnd != std::string::npos && firstEnd > 0 && text[firstEnd - 1] == '\r' ? "\r\n" : "\n";
    // Each of our lines is written again where it stands; every other line
    // stays as it was, in its place.
    std::string out;
    std::vector<bool> written;
    for (const OptionRecord *o = gOptions; o->name; ++o) written.push_back(false);
    for (size_t at = 0; at < text.size();) {
        // A line ends at a line feed, or at a carriage return that no line
        // feed follows; such a line is written back with the file's end.
        size_t end = at;
        const auto loneReturn = [&](size_t i) { return text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'); };
        while (end < text.size() && text[end] != '\n' && !loneReturn(end)) ++end;
        std::string line;
        if (end == text.size())
            line = text.substr(at);
        else if (text[end] == '\r')
            line = text.substr(at, end - at) + lineEnd;
        else
            line = text.substr(at, end + 1 - at);
        at = end == text.size() ? end : end + 1;
        const OptionRecord *o = OwnedOption(line, cardMode);
        if (!o) {
            if (CleanOldLine(line, lineEnd)) out += line;
            continue;
        }
        const size_t body = line.find_last_not_of("\r\n");
        const std::string ending = body == std::string::npos ? "" : line.substr(body + 1);
        out += SettingsLine(*o, cardMode, ending.c_str());
        written[size_t(o - gOptions)] = true;
    }
    // Options the file did not set yet follow its last line.
    for (const OptionRecord *o = gOptions; o->name; ++o) {
        if (written[size_t(o - gOptions)]) continue;
        if (!out.empty() && out.back() != '\n') out += lineEnd;
        out += SettingsLine(*o, cardMode, lineEnd);
    }
    return out;
}

bool frontSaveOptions(const char *name) {
    uint8_t *data = nullptr;
    size_t size = 0;
    bool saved = false;
    if (name && ReadGameFile(name, &data, &size, kSettingsFileLimit)) {
        const std::string text = RewriteSettings(BytesOf(data, size), CardMode != 0);
        std::free(data);
        saved = WriteGameFileWhole(name, text.data(), text.size());
    }
    if (!saved) dunErrorBox("Cannot Save Options", "Error in Front.c");
    return saved;
}

// ---- Captions --------------------------------------------------------------------

void ResetOptionCaptions() {
    for (OptionRecord *o = gOptions; o->name; ++o)
        for (char *&label : o->labels) {
            std::free(label);
            label = nullptr;
        }
    gCaptionsLoaded = false;
    gRankTitleCount = 0;
}

void ParseOptionCaptions(ByteView text) {
    OptionRecord *option = nullptr;
    bool entry = false;   // a "<" was read: the next string names the option
    int label = 0;
    std::string string;
    bool inString = false;
    for (size_t i = 0; i < text.size; ++i) {
        uint8_t c = 0;
        ReadU8(text, i, &c);
        if (inString) {
            if (c != '"') {
                string.push_back(char(c));
                continue;
            }
            inString = false;
            if (entry) {
                option = FindOption(string.c_str());
                entry = false;
                label = 0;
            } else if (option && label < kOptionLabels) {
                std::free(option->labels[label]);
                option->labels[label++] = frontStrDup(string.c_str());
            }
            continue;
        }
        if (c == '"') {
            inString = true;
            string.clear();
        } else if (c == '<') {
            entry = true;
            option = nullptr;
        }
    }
}

void frontLoadInitTable() {
    if (gCaptionsLoaded) return;
    gCaptionsLoaded = true;
    frontLoadRatings();
    ReadLocalisedText(kInitTable, ParseOptionCaptions, AnyCaption, "option caption");
}

// ---- Rank titles ---------------------------------------------------------------------

namespace {

bool IsBlank(uint8_t c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

// The next blank-separated word from `at`; false at the end.
bool NextWord(ByteView text, size_t *at, std::string *word) {
    uint8_t c = 0;
    while (ReadU8(text, *at, &c) && IsBlank(c)) ++*at;
    word->clear();
    while (ReadU8(text, *at, &c) && !IsBlank(c)) {
        word->push_back(char(c));
        ++*at;
    }
    return !word->empty();
}

// A whole number as "%i" reads one from `at` (blanks, a sign, then
// decimal, 0x hexadecimal or leading-zero octal digits); false when there
// is no digit.
bool ReadInt(ByteView text, size_t *at, int32_t *out) {
    uint8_t c = 0;
    while (ReadU8(text, *at, &c) && IsBlank(c)) ++*at;
    bool negative = false;
    if (ReadU8(text, *at, &c) && (c == '+' || c == '-')) {
        negative = c == '-';
        ++*at;
    }
    int base = 10;
    uint8_t next = 0;
    if (ReadU8(text, *at, &c) && c == '0') {
        base = 8;
        if (ReadU8(text, *at + 1, &next) && (next == 'x' || next == 'X')) {
            uint8_t digit = 0;
            if (ReadU8(text, *at + 2, &digit) && std::isxdigit(digit)) {
                base = 16;
                *at += 2;
            }
        }
    }
    uint32_t value = 0;
    int digits = 0;
    while (ReadU8(text, *at, &c)) {
        int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : 99;
        if (d >= base) break;
        value = value * uint32_t(base) + uint32_t(d);
        ++digits;
        ++*at;
    }
    if (!digits) return false;
    *out = int32_t(negative ? 0u - value : value);
    return true;
}

}  // namespace

void ParseRatings(ByteView text) {
    gRankTitleCount = 0;
    size_t at = 0;
    std::string word;
    int32_t threshold = 0;
    while (gRankTitleCount < kRankTitles && ReadInt(text, &at, &threshold) && threshold != -1) {
        if (!NextWord(text, &at, &word)) break;
        RankTitle &r = gRankTitles[gRankTitleCount++];
        r.threshold = threshold;
        std::snprintf(r.title, sizeof r.title, "%s", word.c_str());
    }
}

void frontLoadRatings() {
    gRankTitleCount = 0;
    ReadLocalisedText(kRatings, ParseRatings, AnyRankTitle, "rank title");
}

const char *RankTitleFor(int32_t score) {
    if (gRankTitleCount == 0) return "";
    const char *title = gRankTitles[0].title;
    for (int i = 0; i < gRankTitleCount && gRankTitles[i].threshold <= score; ++i) title = gRankTitles[i].title;
    return title;
}

const char *frontRankTitle() { return RankTitleFor(gCaptainSlot.totalScore); }
