#include "hud/missionlog.h"

#include <cstdio>
#include <cstring>

#include "core/options.h"
#include "gui/feed.h"
#include "gui/html.h"
#include "script/mission.h"
#include "world/objlist.h"

MissionLogEntry gMissionLog[kMissionLogEntries];
int16_t gMissionLogCount;
int16_t gMissionLogCursor = kMissionLogNoEntry;
uint8_t gMissionLogOff;
uint32_t gMissionLogCalls;

namespace {

struct KindRow {
    const char *verb[3];  // English, French, German
    int level;
};

const KindRow kKinds[kMissionLogKinds] = {
    {{"arrived at Lagrange point", "a atteint le point Lagrange", "am Lagrange-Punkt angekommen"}, 0},
    {{"left from Lagrange point", "a quitt\xE9 le point Lagrange", "hat Lagrange-Punkt verlassen"}, 0},
    {{"destroyed", "a d\xE9truit", "zerst\xF6rt"}, 0},
    {{"exploded", "a explos\xE9", "explodiert"}, 1},
    {{"docked with", "est amarr\xE9 au", "gedockt mit"}, 1},
    {{"undocked", "est d\xE9samarr\xE9", "abgekoppelt"}, 1},
    {{"crashed", "s'est \xE9" "cras\xE9", "abgest\xFCrzt"}, 1},
    {{"fired LDSI missile", "a lanc\xE9 un missile LDSI", "hat LDS-Blockier-Rakete"}, 2},
    {{"communicated", "est entr\xE9 en communication", "hat mitgeteilt"}, 2},
    {{"activated LDS", "a activ\xE9 LDS", "hat LDS eingeschaltet"}, 2},
    {{"de-activated LDS", "a d\xE9sactiv\xE9 LDS", "hat LDS ausgeschaltet"}, 2},
};

// Events of other ships than the player's are kept up to this level.
constexpr int kLogLevel = 0;

// The text store: allocated on the run's first entry in the original, kept
// for the whole run.
char gStore[kMissionLogStore];
char *gStoreTop = gStore;

// Copies the text into the store when it and its terminator fit strictly
// before the end; null otherwise.
const char *Store(const char *text) {
    size_t n = std::strlen(text) + 1;
    if (gStoreTop + n >= gStore + kMissionLogStore) return nullptr;
    char *at = gStoreTop;
    std::memcpy(at, text, n);
    gStoreTop += n;
    return at;
}

const char *VerbOf(int kind) {
    uint16_t language = gLanguage < 3 ? gLanguage : 0;
    return kKinds[kind].verb[language];
}

const char *Browse(int step, uint8_t *colourSet) {
    if (gMissionLogCursor == kMissionLogNoEntry) {
        gMissionLogCursor = int16_t(gMissionLogCount - 1);
    } else {
        int at = gMissionLogCursor + step;
        if (at < 0) at = 0;
        if (at > gMissionLogCount - 1) at = gMissionLogCount - 1;
        gMissionLogCursor = int16_t(at);
    }
    const MissionLogEntry &e = gMissionLog[gMissionLogCursor];
    if (colourSet) *colourSet = e.colourSet;
    return e.text;
}

}  // namespace

void MissionLogAdd(SceneItem *subject, SceneItem *object, int kind, const char *subjectName,
                   const char *objectName) {
    if (gMissionLogOff) return;
    ++gMissionLogCalls;
    // An unknown kind has no verb: nothing to record.
    if (kind < 0 || kind >= kMissionLogKinds) return;
    const bool player = dunPlayerShip && (subject == dunPlayerShip || object == dunPlayerShip);
    if (!player && kKinds[kind].level > kLogLevel) return;
    if (gMissionLogCount >= kMissionLogEntries) return;
    MissionLogEntry &e = gMissionLog[gMissionLogCount];
    e = MissionLogEntry{};
    e.kind = uint16_t(kind);
    e.time = uint32_t(gMissionClock);
    e.subject = subjectName ? subjectName : " ";
    e.object = objectName ? objectName : " ";
    const int minutes = int(e.time / 6000), seconds = int(e.time / 100 % 60);
    char line[512];
    if (objectName)
        std::snprintf(line, sizeof line, "%i:%02i %s %s %s", minutes, seconds, e.subject, VerbOf(kind), objectName);
    else
        std::snprintf(line, sizeof line, "%i:%02i %s %s", minutes, seconds, e.subject, VerbOf(kind));
    e.text = Store(line);
    if (e.text) {
        e.colourSet = 1;
        guiDisplayMessage(e.text, 200);
    }
    ++gMissionLogCount;
}

void MissionLogAddText(int32_t time, const char *text) {
    if (gMissionLogOff || !text) return;
    ++gMissionLogCalls;
    const int minutes = time / 6000, seconds = time / 100 % 60;
    char prefix[32];
    std::snprintf(prefix, sizeof prefix, "%i:%02i ", minutes, seconds);
    const size_t need = std::strlen(prefix) + std::strlen(text) + 1;
    if (gStoreTop + need < gStore + kMissionLogStore && gMissionLogCount < kMissionLogEntries) {
        char *line = gStoreTop;
        std::memcpy(line, prefix, std::strlen(prefix));
        std::memcpy(line + std::strlen(prefix), text, std::strlen(text) + 1);
        gStoreTop += need;
        MissionLogEntry &e = gMissionLog[gMissionLogCount];
        e = MissionLogEntry{};
        e.kind = 8;
        e.time = uint32_t(time);
        e.text = line;
        e.subject = e.object = " ";
        e.colourSet = 0;
        if (gFeedSubtitles) guiPostFeedText(line, 0);
        ++gMissionLogCount;
    } else if (gFeedSubtitles) {
        guiPostFeedText(text, 0);
    }
}

const char *MissionLogPrev(uint8_t *colourSet) {
    if (gMissionLogCount <= 0 || gMissionLogCalls == 0) return nullptr;
    return Browse(-1, colourSet);
}

const char *MissionLogNext(uint8_t *colourSet) {
    if (gMissionLogCount <= 0) return nullptr;
    return Browse(1, colourSet);
}

void MissionLogReset() {
    gMissionLogCount = 0;
    gMissionLogCursor = kMissionLogNoEntry;
    gStoreTop = gStore;
    gMissionLogCalls = 0;
}

void MissionLogWriteTest() {
    FILE *page = htmlOpenPage("vek\\resource\\text\\docs\\test.htm", "TEST", "Log file test");
    if (!page) return;
    for (int i = 0; i < gMissionLogCount; ++i)
        if (gMissionLog[i].text) htmlWriteLine(page, gMissionLog[i].text);
    htmlClosePage(page);
}
