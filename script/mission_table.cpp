// The mission table read from "precedence.csv", the missions playable next
// and the recording of a flown mission.
#include <cstdlib>
#include <cstring>

#include "RES/util.h"
#include "core/files.h"
#include "core/options.h"
#include "script/career.h"
#include "script/mission.h"
#include "script/screens.h"
#include "world/services.h"

MissionRecord gMissionTable[kCareerMissions];
uint8_t gBranchTargets[kCareerMissions];
int16_t gAvailableMissions[kCareerMissions];
int16_t gAvailableCount;

namespace {

constexpr char kTableFile[] = "vek\\resource\\scripts\\precedence.csv";
constexpr size_t kTableFileLimit = 1 << 20;
constexpr int kRowFields = 14;
// Once the mission of this row has been played, only rows up to 89 from
// it on can be open.
constexpr int kLateCareerFirst = 32, kLateCareerLast = 89;

bool InTable(int row) { return row >= 0 && row < kCareerMissions; }

// One comma-separated field of a line, without its double quotes.
struct FieldText {
    char text[256];
};

// Splits a line (no line feed) into at most `max` fields.
int SplitFields(const char *line, size_t length, FieldText *fields, int max) {
    int count = 0;
    size_t n = 0;
    fields[0].text[0] = 0;
    for (size_t i = 0; i <= length && count < max; ++i) {
        char c = i < length ? line[i] : ',';
        if (c == ',') {
            fields[count].text[n] = 0;
            if (++count < max) fields[count].text[0] = 0;
            n = 0;
        } else if (c != '"' && n + 1 < sizeof fields[0].text) {
            fields[count].text[n++] = c;
        }
    }
    return count;
}

// A number as the "%i" conversion reads it (decimal, 0x hexadecimal or
// leading-zero octal); an empty field is 0.
long Number(const FieldText &field) { return std::strtol(field.text, nullptr, 0); }

void CopyRow(const FieldText *f) {
    long index = Number(f[0]);
    // A row that names a place outside the table has nowhere to go.
    if (index < 0 || index >= kCareerMissions) return;
    MissionRecord &r = gMissionTable[index];
    r.index = int16_t(index);
    r.missionNumber = int16_t(Number(f[1]));
    int language = gLanguage < 3 ? gLanguage : 0;
    std::memset(r.name, 0, sizeof r.name);
    // Long names are cut to the record's width.
    const char *name = f[2 + language].text;
    std::memcpy(r.name, name, strnlen(name, sizeof r.name - 1));
    r.prerequisite = int16_t(Number(f[6]));
    r.branchMission = int16_t(Number(f[7]));
    r.branchValue = int16_t(Number(f[8]));
    r.value10 = int16_t(Number(f[9]));
    r.resultMax = int32_t(Number(f[10]));
    r.value12 = int32_t(Number(f[11]));
    r.followOn = int16_t(Number(f[13]));
}

}  // namespace

void ParsePrecedence(const char *text, size_t size) {
    for (MissionRecord &r : gMissionTable) {
        r.missionNumber = 0;
        r.prerequisite = -1;
    }
    std::memset(gBranchTargets, 0, sizeof gBranchTargets);
    size_t at = 0;
    bool header = true;
    while (at < size) {
        size_t end = at;
        while (end < size && text[end] != '\n') ++end;
        size_t length = end - at;
        if (length && text[at + length - 1] == '\r') --length;
        const char *line = text + at;
        at = end + 1;
        if (header) {
            header = false;
            continue;
        }
        FieldText fields[kRowFields];
        int count = SplitFields(line, length, fields, kRowFields);
        for (int i = count; i < kRowFields; ++i) fields[i].text[0] = 0;
        if (Number(fields[1]) == 0) break;
        CopyRow(fields);
    }
    for (const MissionRecord &r : gMissionTable)
        if (InTable(r.branchMission) && r.branchMission) gBranchTargets[r.branchMission] = 1;
}

bool dunLoadPrecedence() {
    uint8_t *data;
    size_t size;
    if (!ReadGameFile(kTableFile, &data, &size, kTableFileLimit)) return false;
    ParsePrecedence(reinterpret_cast<const char *>(data), size);
    std::free(data);
    bool any = false;
    for (const MissionRecord &r : gMissionTable) any = any || r.missionNumber > 0;
    if (size == 0) EmptyGameFile(kTableFile, "the career has no missions");
    else if (!any) RefuseGameFile(kTableFile, "there is no mission row in it");
    return true;
}

void dunRebuildAvailableMissions() {
    const CaptainSlot &slot = gCaptainSlot;
    dunFreeTimelines();
    gAvailableCount = 0;
    gCareerMission = 1;
    bool lateCareer = slot.played[kLateCareerFirst] != 0;
    for (int row = 0; row < kCareerMissions; ++row) {
        const MissionRecord &r = gMissionTable[row];
        if (r.missionNumber <= 0) continue;
        bool open = slot.played[row] == 0 && (r.prerequisite == 0 ||
                                                (InTable(r.prerequisite) && slot.played[r.prerequisite] != 0));
        if (r.branchMission && (!InTable(r.branchMission) || slot.branch[r.branchMission] != r.branchValue))
            open = false;
        if (lateCareer && (row < kLateCareerFirst || row > kLateCareerLast)) open = false;
        if (!open) continue;
        gAvailableMissions[gAvailableCount++] = int16_t(row);
        dunCall(ScriptGui().timelineAdd, &r);
        // Open rows take the current mission while it is still row 1: an
        // open row 1 hands it on to the next open row.
        if (gCareerMission == 1) gCareerMission = row;
    }
    for (int i = 0; i < slot.historyCount && i < kCareerMissions; ++i) {
        int row = slot.history[i];
        if (InTable(row) && slot.played[row]) dunCall(ScriptGui().timelineAdd, &gMissionTable[row]);
    }
    dunCall(ScriptGui().timelineLayout);
}

void dunRecordMissionResult() {
    int c = gCareerMission;
    if (!InTable(c)) return;
    CaptainSlot &slot = gCaptainSlot;
    // Recording a mission again (a replay) leaves it played.
    slot.played[c] = -1;
    slot.branch[c] = 1;
    int32_t steps = gMissionTable[c].resultMax / 10;
    slot.resultShare[c] = 10 * (dunRand15() % (steps > 1 ? steps : 1));
    if (slot.historyCount >= 0 && slot.historyCount < kCareerMissions) slot.history[slot.historyCount++] = int16_t(c);
    int32_t share = slot.resultShare[c];
    gCareerState.word[StateWord::Score] = int16_t(share);
    slot.totalScore += share;
    if (share > gCareerState.bestResult[c]) {
        gCareerState.bestResult[c] = share;
        gBestResultSlot[c] = gCareerState.word[StateWord::Slot];
    }
}

void dunCompleteAllMissions() {
    dunNewCaptainSlot();
    for (int row = 0; row < kCareerMissions; ++row) {
        if (gMissionTable[row].missionNumber <= 0) continue;
        gCareerMission = row;
        dunRecordMissionResult();
    }
    dunRebuildAvailableMissions();
}

void dunFreeTimelines() { dunCall(ScriptGui().timelineFree); }
