// The checkpoint files: each of the four is rewritten whole with the other
// keys' lines first and the saved key's lines after them, and read back
// line by line; lines end at LF, CR or NUL, so files written elsewhere read
// too.
#include "script/checkpoints.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

#include "ai/scores.h"
#include "core/files.h"
#include "core/log.h"
#include "core/options.h"
#include "script/career.h"
#include "script/conditions.h"
#include "script/mission.h"
#include "script/objectives.h"
#include "script/symbols.h"
#include "world/objlist.h"
#include "world/records.h"

int32_t gChosenCheckpoint = -1;

namespace {

// A checkpoint file is text of a few lines a key; one far larger is not
// ours and is neither read nor rewritten.
constexpr size_t kCheckpointFileLimit = 16u << 20;
constexpr int kKeyBytes = 48;

const char *const kMissionStart[3] = {"Mission Start",
                                      "D\xE9"
                                      "but de Mission",
                                      "Mission Beginnen"};

int CurrentSlot() {
    const int slot = gCareerState.word[StateWord::Slot];
    return slot >= 0 && slot <= 9 ? slot : 0;
}

void MakeKey(int mission, int slot, int checkpoint, char *out) {
    std::snprintf(out, kKeyBytes, "%i_%i_%i", mission, slot, checkpoint);
}

void CurrentKey(int checkpoint, char *out) { MakeKey(gCurrentMission, CurrentSlot(), checkpoint, out); }

// A whole file; false when it does not open (or is refused).
bool ReadWhole(const char *name, std::string *text) {
    uint8_t *data = nullptr;
    size_t size = 0;
    if (!ReadGameFile(name, &data, &size, kCheckpointFileLimit)) return false;
    text->assign(reinterpret_cast<const char *>(data), size);
    std::free(data);
    return true;
}

bool EndsLine(char c) { return c == '\n' || c == '\r' || c == 0; }

// Each line of the text, without its end.
template <class F>
void ForEachLine(const char *text, size_t size, F &&f) {
    size_t at = 0;
    while (at < size) {
        const size_t start = at;
        while (at < size && !EndsLine(text[at])) ++at;
        if (at > start) f(std::string_view(text + start, at - start));
        ++at;
    }
}

// The key of a line: after its first character, up to the first blank.
std::string_view KeyOf(std::string_view line) {
    if (line.size() < 2) return {};
    const size_t blank = line.find(' ', 1);
    return line.substr(1, (blank == std::string_view::npos ? line.size() : blank) - 1);
}

// The blank-separated fields after a line's key.
std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> out;
    size_t at = line.find(' ', 1);
    while (at != std::string_view::npos && at < line.size()) {
        while (at < line.size() && line[at] == ' ') ++at;
        if (at >= line.size()) break;
        const size_t end = line.find(' ', at);
        out.push_back(line.substr(at, (end == std::string_view::npos ? line.size() : end) - at));
        at = end;
    }
    return out;
}

// A decimal integer field; false when it is not one. Values beyond 32 bits
// are held to the range.
bool Number(std::string_view field, int32_t *value) {
    char buffer[32];
    if (field.empty() || field.size() >= sizeof buffer) return false;
    std::memcpy(buffer, field.data(), field.size());
    buffer[field.size()] = 0;
    char *end = nullptr;
    const long long v = std::strtoll(buffer, &end, 10);
    if (end == buffer) return false;
    *value = int32_t(std::clamp<long long>(v, INT32_MIN, INT32_MAX));
    return true;
}

// A key's three numbers, "mission_slot_checkpoint".
bool ParseKey(std::string_view key, int32_t *mission, int32_t *slot, int32_t *checkpoint) {
    int32_t *parts[3] = {mission, slot, checkpoint};
    for (int i = 0; i < 3; ++i) {
        const size_t end = i < 2 ? key.find('_', 1) : key.size();
        if (end == std::string_view::npos || !Number(key.substr(0, end), parts[i])) return false;
        key = key.substr(std::min(end + 1, key.size()));
    }
    return true;
}

// Rewrites one file for a key: the other keys' lines, then the key's own.
// Written whole, so that a crash leaves the old file or the new one.
template <class F>
void Rewrite(char kind, const char *key, F &&append) {
    char name[32];
    CheckpointFileName(kind, CurrentSlot(), name, sizeof name);
    std::string old, out;
    // A file that opens but cannot be read whole is left as it is: writing
    // over it would lose the other keys' lines.
    if (!ReadWhole(name, &old) && GameFileExists(name)) return;
    dunCopyOtherSaveKeys(&out, old.data(), old.size(), key);
    append(out);
    if (!WriteGameFileWhole(name, out.data(), out.size())) dunDebugPrintf("Cannot write %s", name);
}

void AppendLine(std::string &out, const char *format, ...) __attribute__((format(printf, 2, 3)));
void AppendLine(std::string &out, const char *format, ...) {
    char line[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    out += line;
}

bool SavedVariable(const ScriptSymbol &s) { return (s.kind & SymKind::Var) && !(s.kind & SymKind::Define); }

bool LevelKind(const Weapon *w) { return w->flags & WeaponFlag::AutoFire; }

void WriteVariables(std::string &out, const char *key, const char *title) {
    AppendLine(out, ":%s %s\n", key, title ? title : "");
    for (int i = 0; i < gScriptSymbolCount; ++i)
        if (SavedVariable(gScriptSymbols[i]))
            AppendLine(out, "@%s %s %i\n", key, gScriptSymbols[i].name, ScriptSymbolInt(&gScriptSymbols[i]));
}

void WriteObjectives(std::string &out, const char *key) {
    for (int i = 0; i < kObjectives; ++i) {
        const Objective &o = gObjectives[i];
        AppendLine(out, ":%s %i %i t%s%s%s\n", key, i, o.score, o.shown ? "v" : "",
                   o.state == ObjectiveState::Failed ? "f" : "", o.state == ObjectiveState::Done ? "d" : "");
    }
}

void WriteWeapons(std::string &out, const char *key) {
    for (const Weapon *w = dunPlayerShip->sim->weapons; w; w = w->next) {
        if (LevelKind(w)) AppendLine(out, ":%s 0 %i\n", key, int(w->charge));
        else AppendLine(out, ":%s %i %i\n", key, w->rounds[0], w->rounds[2]);
    }
}

void WriteTallies(std::string &out, const char *key) {
    static const char *const kTags[4] = {"ek", "fk", "es", "fs"};
    for (int t = 0; t < 4; ++t) {
        AppendLine(out, ":%s %s", key, kTags[t]);
        for (int i = 0; i < kTallyTypes; ++i) AppendLine(out, " %i", dunWeaponTallies.tally[t][i]);
        out += '\n';
    }
    AppendLine(out, ":%s sc %i %i\n", key, gMissionScore, dunWeaponTallies.killPoints);
}

// Every line of a file of the current slot that starts with `first` and
// carries the key, in file order.
template <class F>
bool ForEachKeyLine(char kind, char first, const char *key, F &&f) {
    char name[32];
    CheckpointFileName(kind, CurrentSlot(), name, sizeof name);
    std::string text;
    if (!ReadWhole(name, &text)) return false;
    ForEachLine(text.data(), text.size(), [&](std::string_view line) {
        if (line[0] == first && KeyOf(line) == key) f(line);
    });
    return true;
}

void ReadVariables(const char *key) {
    ForEachKeyLine('d', '@', key, [](std::string_view line) {
        const std::vector<std::string_view> f = Fields(line);
        int32_t value;
        if (f.size() < 2 || !Number(f[1], &value)) return;
        for (int i = 0; i < gScriptSymbolCount; ++i) {
            ScriptSymbol &s = gScriptSymbols[i];
            if ((s.kind & SymKind::Var) && s.name && f[0] == s.name) ScriptSetSymbolInt(&s, value);
        }
    });
}

void ReadObjectives(const char *key) {
    ForEachKeyLine('o', ':', key, [](std::string_view line) {
        const std::vector<std::string_view> f = Fields(line);
        int32_t index, score;
        // A line that names no entry of the table is not ours to follow.
        if (f.size() < 3 || !Number(f[0], &index) || !Number(f[1], &score) || index < 0 || index >= kObjectives) return;
        Objective &o = gObjectives[index];
        const std::string_view flags = f[2];
        o.score = score;
        o.shown = flags.find('v') != std::string_view::npos ? 0xFF : 0;
        o.state = ObjectiveState::Open;
        if (flags.find('f') != std::string_view::npos) o.state = ObjectiveState::Failed;
        if (flags.find('d') != std::string_view::npos) {
            o.state = ObjectiveState::Done;
            gMissionScore = int32_t(std::clamp<int64_t>(int64_t(gMissionScore) + score, INT32_MIN, INT32_MAX));
        }
    });
}

// The line with the key and the three after it are the four tallies (their
// tags are not looked at); the fifth gives SCORE and the kill points.
void ReadTallies(const char *key) {
    char name[32];
    CheckpointFileName('k', CurrentSlot(), name, sizeof name);
    std::string text;
    if (!ReadWhole(name, &text)) return;
    std::vector<std::string_view> lines;
    ForEachLine(text.data(), text.size(), [&](std::string_view line) { lines.push_back(line); });
    size_t first = 0;
    while (first < lines.size() && !(lines[first][0] == ':' && KeyOf(lines[first]) == key)) ++first;
    if (first >= lines.size()) return;
    for (int t = 0; t < 4 && first + t < lines.size(); ++t) {
        const std::vector<std::string_view> f = Fields(lines[first + t]);
        for (int i = 0; i < kTallyTypes && i + 1 < int(f.size()); ++i) Number(f[i + 1], &dunWeaponTallies.tally[t][i]);
    }
    if (first + 4 < lines.size()) {
        const std::vector<std::string_view> f = Fields(lines[first + 4]);
        if (f.size() >= 2) Number(f[1], &gMissionScore);
        if (f.size() >= 3) Number(f[2], &dunWeaponTallies.killPoints);
    }
}

}  // namespace

void CheckpointFileName(char kind, int slot, char *out, size_t size) {
    std::snprintf(out, size, "vek\\slot_%c%01i.sav", kind, slot >= 0 && slot <= 9 ? slot : 0);
}

void dunCopyOtherSaveKeys(std::string *out, const char *old, size_t size, const char *key) {
    if (!old) return;
    ForEachLine(old, size, [&](std::string_view line) {
        if (line.size() < 2 || KeyOf(line) == key) return;
        out->append(line);
        *out += '\n';
    });
}

void dunSaveGame(const char *title, int checkpoint) {
    char key[kKeyBytes];
    CurrentKey(checkpoint, key);
    Rewrite('d', key, [&](std::string &out) { WriteVariables(out, key, title); });
    Rewrite('o', key, [&](std::string &out) { WriteObjectives(out, key); });
    // Without a weapon the file keeps what it had.
    if (dunPlayerShip && dunPlayerShip->sim && dunPlayerShip->sim->weapons)
        Rewrite('w', key, [&](std::string &out) { WriteWeapons(out, key); });
    Rewrite('k', key, [&](std::string &out) { WriteTallies(out, key); });
}

void dunLoadGame() {
    char key[kKeyBytes];
    CurrentKey(gChosenCheckpoint, key);
    ReadVariables(key);
    ReadObjectives(key);
    ReadTallies(key);
}

void dunLoadWeaponValues() {
    char key[kKeyBytes];
    CurrentKey(gChosenCheckpoint, key);
    Weapon *w = dunPlayerShip && dunPlayerShip->sim ? dunPlayerShip->sim->weapons : nullptr;
    bool tooMany = false;
    const bool read = ForEachKeyLine('w', ':', key, [&](std::string_view line) {
        if (!w) {
            tooMany = true;
            return;
        }
        const std::vector<std::string_view> f = Fields(line);
        int32_t a = 0, b = 0;
        if (f.size() >= 1) Number(f[0], &a);
        if (f.size() >= 2) Number(f[1], &b);
        if (LevelKind(w)) {
            w->charge = float(b);
            if ((w->flags & WeaponFlag::Charge) && b < 1) w->flags |= WeaponFlag::Empty;
        } else {
            w->rounds[0] = uint16_t(a);
            w->rounds[2] = uint16_t(b);
            if (a < 1 && b < 1) w->flags |= WeaponFlag::Empty;
        }
        w = w->next;
    });
    if (!read) return;
    if (tooMany) dunDebugPrintf("Attempt to load more weapon values than needed. [%s]", key);
    if (w) dunDebugPrintf("Not enough weapon values loaded. [%s]", key);
}

int dunListSaveGames(int mission, int slot, int32_t *ids, char (*titles)[kSaveTitleBytes], int capacity) {
    if (capacity < 1 || !ids || !titles) return 0;
    ids[0] = -1;
    std::snprintf(titles[0], kSaveTitleBytes, "%s", kMissionStart[gLanguage < 3 ? gLanguage : 0]);
    char name[32];
    CheckpointFileName('d', slot, name, sizeof name);
    std::string text;
    if (!ReadWhole(name, &text)) return 1;
    struct Entry {
        int32_t id;
        std::string_view title;
    };
    std::vector<Entry> found;
    ForEachLine(text.data(), text.size(), [&](std::string_view line) {
        if (line[0] != ':') return;
        int32_t m, s, id;
        if (!ParseKey(KeyOf(line), &m, &s, &id) || m != mission || s != slot) return;
        const size_t blank = line.find(' ');
        found.push_back({id, blank == std::string_view::npos ? std::string_view() : line.substr(blank)});
    });
    std::stable_sort(found.begin(), found.end(), [](const Entry &a, const Entry &b) { return a.id < b.id; });
    int count = 1;
    for (const Entry &e : found) {
        if (count >= capacity) break;
        ids[count] = e.id;
        std::snprintf(titles[count], kSaveTitleBytes, "%.*s", int(e.title.size()), e.title.data());
        ++count;
    }
    return count;
}

void dunRestoreCheckpoint() {
    if (gChosenCheckpoint < 0) return;
    dunLoadGame();
    gLoadNumber = gChosenCheckpoint;
    gLoadPending = 1;
}
