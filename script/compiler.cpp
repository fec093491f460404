// The tokeniser: script lines into tokens, literals and symbols.
#include "script/compiler.h"

#include <bit>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "RES/slab.h"
#include "core/bytes.h"
#include "core/files.h"
#include "core/log.h"
#include "core/options.h"
#include "core/progress.h"
#include "script/interp.h"
#include "script/mission.h"
#include "script/script.h"
#include "script/symbols.h"

ScriptToken *gScriptTokens;
uint8_t *gScriptTokenFlags;
uint32_t gScriptTokenTop;
uint8_t *gScriptData;
uint32_t gScriptDataTop;
char *gScriptNames;
uint32_t gScriptNameTop;
uint32_t gScriptCurrentName;
uint32_t gScriptNameMark;

uint32_t gBriefingDeclare[kBriefingCount];
uint32_t gBriefingBegin[kBriefingCount];
uint32_t gBriefingEnd[kBriefingCount];
int16_t gBriefingCompileNumber;

namespace {

// A whole script file is read at once; nothing larger could fit the token
// buffer anyway.
constexpr uint32_t kScriptFileMax = 8u << 20;

const char kDocFolder[] = "vek\\resource\\text\\docs";
char gDocFolder[sizeof kDocFolder] = "vek\\resource\\text\\docs";

// True when the bytes read as text: scripts are mostly ASCII (a few accented
// letters of the Windows code page), never mostly control codes or bytes
// above 127 (another kind of file, or one damaged throughout).
bool LooksLikeText(const std::vector<uint8_t> &bytes) {
    size_t odd = 0;
    for (uint8_t b : bytes)
        if (b >= 0x80 || (b < 0x20 && b != '\t' && b != '\n' && b != '\r' && b != '\f' && b != 0x1A)) ++odd;
    return odd * 4 <= bytes.size();
}

// The entry's bytes; the stream is closed. An empty script is no error (it
// runs nothing), but it is no script either: the log says so. Bytes that
// are no text are refused, and nothing of them runs.
std::vector<uint8_t> ReadEntry(FILE *f, uint32_t size, const char *name) {
    std::vector<uint8_t> bytes(size < kScriptFileMax ? size : kScriptFileMax);
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), f));
    slabClose(f);
    if (bytes.empty()) {
        EmptyGameFile(name, "nothing in it runs");
    } else if (!LooksLikeText(bytes)) {
        RefuseGameFile(name, "it is not a script's text");
        bytes.clear();
    }
    return bytes;
}

bool IsSeparator(char c) { return c == ',' || c == '\n' || c == '\r' || c == '\t' || c == ' '; }

// The words of one line, split at commas and white space.
class Words {
public:
    explicit Words(std::string_view line) : line_(line) {}
    std::string_view Next() {
        while (pos_ < line_.size() && IsSeparator(line_[pos_])) ++pos_;
        size_t start = pos_;
        while (pos_ < line_.size() && !IsSeparator(line_[pos_])) ++pos_;
        return line_.substr(start, pos_ - start);
    }

private:
    std::string_view line_;
    size_t pos_ = 0;
};

// One file being compiled (files nest through INCLUDE).
struct FileState {
    const uint8_t *bytes;
    size_t size;
    size_t pos;      // byte position just after the line read last
    int32_t line;    // 0-based index of the line being compiled
    int comment;     // block comment depth
    uint32_t braces[kScriptBraceDepth];
    int braceCount;  // open braces; below 0 after an unmatched '}'
    int depth;       // include nesting
};

void TokeniseFile(FileState &fs);

bool EndsWith(std::string_view w, char c) { return !w.empty() && w.back() == c; }

void CheckTokenRoom(uint32_t tokens) {
    if (gScriptTokenTop + tokens > kScriptTokenCount) ScriptDrasticError("Script Buffer OVERFLOW !!!");
}

void EmitLineMarker(const FileState &fs) {
    CheckTokenRoom(2);
    gScriptTokenFlags[gScriptTokenTop] |= ScriptTokenFlag::Marker;
    gScriptTokens[gScriptTokenTop++] = {Sc::Do, (uint32_t)fs.line};
    gScriptTokens[gScriptTokenTop++] = {(uint32_t)fs.pos, gScriptCurrentName};
}

ScriptSymbol *SymbolOf(std::string_view word) {
    std::string name(word);
    if (ScriptSymbol *s = FindScriptSymbol(name.c_str())) return s;
    static const uint8_t kZero[4] = {};
    return AddScriptSymbol(name.c_str(), kZero, 4);
}

void EmitSymbolReference(std::string_view word, bool knownForm) {
    std::string name(word);
    ScriptSymbol *s = FindScriptSymbol(name.c_str());
    bool isNew = !s;
    if (!s) s = SymbolOf(word);
    EmitScriptToken(isNew && !knownForm ? Sc::NewSymbol : Sc::Symbol, (uint32_t)ScriptSymbolIndex(s));
}

void DefineLabel(std::string_view word, const FileState &fs) {
    std::string name(word);
    ScriptSymbol *s = FindScriptSymbol(name.c_str());
    if (!s) {
        uint32_t top = gScriptTokenTop;
        s = AddScriptSymbol(name.c_str(), &top, 4);
    } else {
        // A name that already stands for something (a window, an object, an
        // engine word) must not have a token index written over it.
        if (s->value != s->initial || s->size < 4 || (s->flags & SymFlag::Engine)) {
            std::string message = "label name in use: " + name;
            ReportTokeniseError(message.c_str(), fs.line + 1);
        }
        std::memcpy(s->value, &gScriptTokenTop, 4);
    }
    s->flags |= SymFlag::Label;
}

void LabelOperand(Words &words, const FileState &fs) {
    std::string_view label = words.Next();
    if (label.empty() || label[0] == ';') ReportTokeniseError("Branch has no label", fs.line + 1);
    EmitSymbolReference(label, true);
}

// The stack holds 120 open braces; the warning comes with the one that
// fills it. Deeper ones are counted but not recorded, so their '}' stays
// unpaired.
void OpenBrace(FileState &fs) {
    uint32_t at = gScriptTokenTop - 1;
    if (fs.braceCount >= 0 && fs.braceCount < kScriptBraceDepth) fs.braces[fs.braceCount] = at;
    ++fs.braceCount;
    if (fs.braceCount >= kScriptBraceDepth)
        dunErrorBox("Brace('{') Nesting has exceeded limit.", "Tokenisation Error!!!");
}

void CloseBrace(FileState &fs) {
    uint32_t at = gScriptTokenTop - 1;
    if (fs.braceCount <= 0) {
        dunErrorBox("Brace underflow: Unexpected '}'.", "Tokenisation Error!!!");
        --fs.braceCount;
        return;
    }
    --fs.braceCount;
    if (fs.braceCount >= kScriptBraceDepth) return;  // its '{' was never recorded
    uint32_t open = fs.braces[fs.braceCount];
    gScriptTokens[at].arg = open + 1;
    gScriptTokens[open].arg = at + 1;
}

void BriefingPosition(uint32_t code, const FileState &fs) {
    // A mission has room for four briefings; a fifth would have nowhere to
    // keep its positions.
    if (code == Sc::BrfDeclare && gBriefingCompileNumber >= kBriefingCount)
        ReportTokeniseError("Too many briefings: a mission has at most 4", fs.line + 1);
    if (gBriefingCompileNumber < 0 || gBriefingCompileNumber >= kBriefingCount) return;
    uint32_t at = gScriptTokenTop - 1;
    if (code == Sc::BrfDeclare) gBriefingDeclare[gBriefingCompileNumber] = at;
    else if (code == Sc::BrfBegin) gBriefingBegin[gBriefingCompileNumber] = at;
    else {
        gBriefingEnd[gBriefingCompileNumber] = at + 1;
        ++gBriefingCompileNumber;
    }
}

void KeywordFollowUp(uint32_t code, Words &words, FileState &fs) {
    switch (code) {
    case Sc::CallWhen: case Sc::CallOnceWhen: case Sc::CallWhenNot: case Sc::CallOnceWhenNot:
    case Sc::Bra: case Sc::Beq: case Sc::Bne: case Sc::BraIf: case Sc::BraIfNot:
    case Sc::Call: case Sc::CallOnce: case Sc::CallIf: case Sc::CallIfNot: case Sc::CallOnceIfNot:
    case Sc::CallOnceIf:
        LabelOperand(words, fs);
        break;
    case Sc::DecBeq: case Sc::DecBne:
        LabelOperand(words, fs);  // the counter
        LabelOperand(words, fs);
        break;
    case Sc::OpenBrace: OpenBrace(fs); break;
    case Sc::CloseBrace: CloseBrace(fs); break;
    case Sc::BrfDeclare: case Sc::BrfBegin: case Sc::BrfEnd: BriefingPosition(code, fs); break;
    default: break;
    }
}

void EmitString(std::string_view first, Words &words) {
    std::string text(first.substr(1));
    bool closed = first.size() == 1 || EndsWith(first, '"');
    while (!closed) {
        std::string_view next = words.Next();
        if (next.empty()) break;  // the line ran out: the string ends with it
        text += ' ';
        text += next;
        closed = EndsWith(next, '"');
    }
    if (closed && !text.empty() && text.back() == '"') text.pop_back();
    if (text.size() > kScriptStringMax) text.resize(kScriptStringMax);
    if (!text.empty() && text[0] == '|') {
        char part[kScriptLanguagePart];
        size_t n = PickLanguageString(text.c_str(), part, sizeof part, gLanguage);
        EmitScriptTokenData(Sc::Data, part, (uint32_t)n + 1);
        return;
    }
    EmitScriptTokenData(Sc::Data, text.c_str(), (uint32_t)text.size() + 1);
}

void Include(std::string_view word, FileState &fs) {
    std::string name(word);
    if (name.size() >= 2 && name.front() == '"' && name.back() == '"') name = name.substr(1, name.size() - 2);
    if (name.empty() || name == "test0_x.gui" || name == "vek\\resource\\scripts\\gui\\test0_x.gui") return;
    if (fs.depth + 1 >= kScriptIncludeDepth) {
        dunDebugPrintf("Script include too deep, skipped: %s", name.c_str());
        return;
    }
    uint32_t savedName = gScriptCurrentName;
    uint32_t size = 0;
    FILE *f = OpenScriptFile(name.c_str(), &size);
    if (!f) return;
    char step[160];
    std::snprintf(step, sizeof step, "Tokenising script: %s", name.c_str());
    LoadProgressStep(step);
    std::vector<uint8_t> bytes = ReadEntry(f, size, name.c_str());
    FileState inner{};
    inner.bytes = bytes.data();
    inner.size = bytes.size();
    inner.depth = fs.depth + 1;
    if (gScriptTokenTop < kScriptTokenCount) gScriptTokenFlags[gScriptTokenTop] |= ScriptTokenFlag::FileStart;
    TokeniseFile(inner);
    gScriptCurrentName = savedName;
}

void CompileWords(std::string_view line, FileState &fs) {
    Words words(line);
    for (std::string_view w = words.Next(); !w.empty(); w = words.Next()) {
        if (w[0] == ';') return;
        if (EndsWith(w, ':')) {
            DefineLabel(w.substr(0, w.size() - 1), fs);
            continue;
        }
        std::string word(w);
        if (uint32_t code = LookupScriptKeyword(word.c_str())) {
            EmitScriptOp(code);
            KeywordFollowUp(code, words, fs);
            continue;
        }
        if (uint32_t key = LookupKeyName(word.c_str())) {
            EmitScriptOp(Sc::KeyNameTag | key);
            continue;
        }
        if (w[0] == '"') {
            EmitString(w, words);
            continue;
        }
        float number;
        if (ScanScriptNumber(word.c_str(), &number)) {
            uint8_t bytes[4];
            PutU32Le(bytes, 0, std::bit_cast<uint32_t>(number));
            EmitScriptTokenData(Sc::Data, bytes, 4);
            continue;
        }
        EmitSymbolReference(w, false);
    }
}

void CompileLine(std::string_view line, FileState &fs) {
    if (line.size() >= 2 && line[0] == '/' && line[1] == '*') {
        ++fs.comment;
    } else if (line.size() >= 2 && line[0] == '*' && line[1] == '/') {
        if (fs.comment > 0) --fs.comment;
        return;
    }
    if (fs.comment > 0) return;
    if (line.empty() || line[0] == '\r') return;
    if (line[0] == ';' || (line.size() >= 2 && line[0] == '/' && line[1] == '/')) {
        EmitScriptToken(Sc::Remark, 0);
        return;
    }
    size_t i = 0;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    if (i < line.size() && line[i] == '#') {
        Words words(line.substr(i + 1));
        if (words.Next() == "INCLUDE") Include(words.Next(), fs);
        return;
    }
    CompileWords(line, fs);
}

void TokeniseFile(FileState &fs) {
    while (fs.pos < fs.size) {
        // One line, at most kScriptLineMax bytes; a longer one goes on as the
        // next line. The last line counts even without its line feed.
        size_t start = fs.pos, end = start;
        while (end < fs.size && end - start < kScriptLineMax) {
            if (fs.bytes[end++] == '\n') break;
        }
        fs.pos = end;
        std::string_view line(reinterpret_cast<const char *>(fs.bytes + start), end - start);
        size_t nul = line.find('\0');
        if (nul != std::string_view::npos) line = line.substr(0, nul);
        CompileLine(line, fs);
        EmitLineMarker(fs);
        ++fs.line;
    }
    if (fs.braceCount != 0) {
        char text[400];
        std::snprintf(text, sizeof text, "%s : Mismatched Braces. '{}' ", ScriptNameAt(gScriptCurrentName));
        dunReportFailure(text, "Tokenisation warning");
        dunTerminate(text, 1);
    }
    ScriptSymbol *extra = FindScriptSymbol("LoadExtra");
    gExtraLoad = extra && (extra->flags & SymFlag::Label) && ScriptLabelTarget(extra) ? 1 : 0;
}

// Copies a path into the name buffer; its offset.
uint32_t KeepName(const char *path) {
    size_t n = std::strlen(path) + 1;
    if (gScriptNameTop + n > kScriptNameBytes) ScriptDrasticError("Script Name Buffer Full!");
    uint32_t at = gScriptNameTop;
    std::memcpy(gScriptNames + at, path, n);
    gScriptNameTop += (uint32_t)n;
    return at;
}

}  // namespace

uint32_t ScriptTokenIndex(const ScriptToken *pc) { return pc ? (uint32_t)(pc - gScriptTokens) : 0; }

ScriptToken *ScriptTokenAt(uint32_t index) {
    return index && index < kScriptTokenCount ? gScriptTokens + index : nullptr;
}

float ScriptDataFloat(uint32_t offset) {
    uint32_t bits = 0;
    if (gScriptData) ReadU32Le(BytesOf(gScriptData, kScriptDataBytes), offset, &bits);
    return std::bit_cast<float>(bits);
}

void ScriptSetDataFloat(uint32_t offset, float value) {
    if (gScriptData && BytesHave(BytesOf(gScriptData, kScriptDataBytes), offset, 4))
        PutU32Le(gScriptData, offset, std::bit_cast<uint32_t>(value));
}

const char *ScriptDataText(uint32_t offset) {
    return offset < kScriptDataBytes ? reinterpret_cast<const char *>(gScriptData + offset) : "";
}

const char *ScriptNameAt(uint32_t offset) { return offset < kScriptNameBytes ? gScriptNames + offset : ""; }

uint32_t AppendScriptData(const void *bytes, uint32_t n) {
    const uint32_t at = gScriptDataTop;
    if (n > kScriptDataBytes || at > kScriptDataBytes - n) ScriptDrasticError("Data Buffer OVERFLOW !!!");
    if (n) std::memcpy(gScriptData + at, bytes, n);
    gScriptDataTop = at + n;
    return at;
}

void EmitScriptOp(uint32_t code) { EmitScriptToken(code, 0); }

void EmitScriptToken(uint32_t code, uint32_t value) {
    CheckTokenRoom(1);
    gScriptTokens[gScriptTokenTop++] = {code, value};
}

void EmitScriptTokenData(uint32_t code, const void *bytes, uint32_t n) {
    CheckTokenRoom(1);
    uint32_t at = AppendScriptData(bytes, n);
    gScriptTokens[gScriptTokenTop++] = {code, at};
}

size_t PickLanguageString(const char *text, char *out, size_t outSize, int language) {
    // Parts are introduced by '|' and closed by the next one.
    const char *parts[3] = {};
    size_t lengths[3] = {};
    int count = 0;
    for (const char *p = text; *p == '|' && count < 3;) {
        const char *start = p + 1;
        const char *end = std::strchr(start, '|');
        if (!end) end = start + std::strlen(start);
        parts[count] = start;
        lengths[count] = (size_t)(end - start);
        ++count;
        if (!*end) break;
        p = end;
        if (!p[1]) break;
    }
    int pick = language >= 0 && language < count ? language : 0;
    size_t n = count ? lengths[pick] : 0;
    if (n > outSize - 1) n = outSize - 1;
    if (n) std::memcpy(out, parts[pick], n);
    out[n] = 0;
    return n;
}

void LocaliseTextPath(char *path, const char *prefix) {
    for (char *p = std::strstr(path, "text"); p; p = std::strstr(p + 4, "text")) {
        if (!p[4]) break;
        std::memcpy(p, prefix, 4);
    }
}

void LocaliseScriptDocFolder(const char *prefix) {
    std::memcpy(gDocFolder, kDocFolder, sizeof kDocFolder);
    if (prefix) LocaliseTextPath(gDocFolder, prefix);
}

const char *ScriptDocFolder() { return gDocFolder; }

namespace {

// The path a script name opens: as it stands, or in its ending's folder;
// empty when it is too long.
std::string ScriptPath(const char *name) {
    std::string path = name;
    size_t len = path.size();
    bool asItStands = path.rfind("vek\\", 0) == 0 || (len >= 2 && path[1] == ':');
    if (!asItStands && len >= 3) {
        for (const ScriptFolder *row = ScriptFolderTable; row->ending; ++row) {
            if (path.compare(len - 3, 3, row->ending) != 0) continue;
            const char *folder = std::strcmp(row->ending, "htm") ? row->folder : ScriptDocFolder();
            path = std::string(folder) + "\\" + path;
            break;
        }
    }
    if (path.size() > kScriptPathMax) {
        dunDebugPrintf("Script path too long: %s", path.c_str());
        return std::string();
    }
    return path;
}

}  // namespace

FILE *OpenScriptDocument(const char *name, uint32_t *entrySize) {
    if (!name) return nullptr;
    const std::string path = ScriptPath(name);
    return path.empty() ? nullptr : slabOpen("scripts", path.c_str(), entrySize);
}

FILE *OpenScriptFile(const char *name, uint32_t *entrySize) {
    if (!name || !gScriptNames) return nullptr;
    const std::string path = ScriptPath(name);
    if (path.empty()) return nullptr;
    uint32_t top = gScriptNameTop;
    uint32_t at = KeepName(path.c_str());
    FILE *f = slabOpen("scripts", path.c_str(), entrySize);
    if (!f) {
        gScriptNameTop = top;  // the name of a file that is not there is not kept
        return nullptr;
    }
    gScriptCurrentName = at;
    return f;
}

ScriptToken *TokeniseScriptBytes(const char *name, const uint8_t *bytes, size_t size) {
    if (!gScriptTokens) return nullptr;
    gScriptRunStatus = 0;
    if (name && (!gScriptCurrentName || std::strcmp(ScriptNameAt(gScriptCurrentName), name)))
        gScriptCurrentName = KeepName(name);
    uint32_t start = gScriptTokenTop;
    FileState fs{};
    fs.bytes = bytes;
    fs.size = size;
    if (start < kScriptTokenCount) gScriptTokenFlags[start] |= ScriptTokenFlag::FileStart;
    TokeniseFile(fs);
    EmitScriptOp(Sc::End);
    return gScriptTokens + start;
}

ScriptToken *TokeniseScript(const char *name) {
    if (!gScriptTokens) return nullptr;
    gScriptRunStatus = 0;
    uint32_t size = 0;
    FILE *f = OpenScriptFile(name, &size);
    if (!f) return nullptr;
    char step[160];
    std::snprintf(step, sizeof step, "Tokenising script: %s", name);
    LoadProgressStep(step);
    std::vector<uint8_t> bytes = ReadEntry(f, size, name);
    return TokeniseScriptBytes(nullptr, bytes.data(), bytes.size());
}
