// The objectives table: loading it from its text, the state changes and
// their score, the current objective and its announcements, and the
// mission's score.
#include "script/objectives.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "RES/resman.h"
#include "ai/scores.h"
#include "script/mission.h"
#include "script/settings.h"
#include "world/mission_state.h"
#include "world/objlist.h"
#include "world/services.h"

Objective gObjectives[kObjectives];
uint16_t gObjectiveCount;
int16_t gCurrentObjective = -1;
int16_t gPreviousObjective = -1;
uint8_t gNoObjectiveDone = 0xFF;
int32_t gObjectiveCountdown;
int32_t gObjectivesPanelCountdown;
uint8_t gObjectiveBlink;
int32_t gObjectiveBlinkTimer;
int32_t gMaxKillBonus;

namespace {

constexpr int kDoneMessage = 91, kFailedMessage = 92, kAnnouncement = 93, kFirstAnnouncement = 94;
constexpr int kAllDoneText = 208, kNoObjectiveText = 215;
constexpr int kMessageTicks = 500;

bool Valid(int index) { return index >= 0 && index < kObjectives; }

const char *TextOf(const Objective &o) { return o.text ? o.text : ""; }

int32_t Clamp32(int64_t v) { return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

// The number before a line's colon; a part that is not a number reads as 0.
int32_t LeadingNumber(const char *text) {
    const long long v = std::strtoll(text, nullptr, 10);
    return Clamp32(v);
}

void Add(int32_t number, const char *text) {
    Objective &o = gObjectives[gObjectiveCount++];
    std::free(o.text);
    o.text = strdup(text);
    o.shown = 0xFF;
    o.state = ObjectiveState::Open;
    o.number = number;
}

}  // namespace

void dunResetObjectives() {
    for (Objective &o : gObjectives) {
        std::free(o.text);
        o.text = nullptr;
        o.score = 100;
    }
    // The entries past the count keep their old words, so the count goes
    // too: nothing of the last mission's table shows in the next.
    gObjectiveCount = 0;
    gNoObjectiveDone = 0xFF;
    gCurrentObjective = gPreviousObjective = -1;
    gObjectiveCountdown = 0;
}

bool dunLoadObjectives(ResourceHandle *handle) {
    if (!handle || !handle->data) return false;
    ParseObjectives(static_cast<const char *>(handle->data), handle->size);
    return true;
}

int ParseObjectives(const char *text, size_t size) {
    dunResetObjectives();
    int32_t next = 1;
    size_t at = 0;
    while (text && at < size && text[at] && gObjectiveCount < kObjectives) {
        const size_t start = at;
        while (at < size && text[at] && text[at] != '\n') ++at;
        size_t length = at - start;
        if (at < size && text[at] == '\n') ++at;
        // The buffer holds 255 bytes of a line; only the line's own CR goes
        // (a line ended by LF alone, or the file's unended last line, keeps
        // all its text).
        char line[kObjectiveLineBytes];
        length = std::min(length, sizeof line - 1);
        std::memcpy(line, text + start, length);
        while (length > 0 && (line[length - 1] == '\r' || line[length - 1] == '\n')) --length;
        line[length] = 0;
        if (char *colon = std::strchr(line, ':')) {
            *colon = 0;
            const int32_t number = LeadingNumber(line);
            if (number >= next) next = Clamp32(int64_t(number) + 1);
            Add(number, colon + 1);
        } else {
            Add(next, line);
            next = Clamp32(int64_t(next) + 1);
        }
    }
    return gObjectiveCount;
}

void dunSetObjectiveState(int index, int state) {
    if (!Valid(index)) return;
    Objective &o = gObjectives[index];
    if (!dunPlayerDestroyed) {
        if (state == ObjectiveState::Done) {
            if (o.state != ObjectiveState::Done) gMissionScore = Clamp32(int64_t(gMissionScore) + o.score);
            gNoObjectiveDone = 0;
        }
        if (index == gCurrentObjective) gObjectiveCountdown = 0;
        if (state == ObjectiveState::Failed && o.state == ObjectiveState::Done)
            gMissionScore = Clamp32(int64_t(gMissionScore) - o.score);
        o.state = int16_t(state);
    }
    // The message comes whatever the state did: the player sees what the
    // script meant even after the ship was lost.
    if (state != ObjectiveState::Open) {
        char message[2 * kObjectiveLineBytes];
        FormatTextSlot(state == ObjectiveState::Failed ? kFailedMessage : kDoneMessage, TextOf(o), message,
                       sizeof message);
        dunCall(dunGui().displayMessage, message, kMessageTicks);
    }
}

bool dunTestObjectiveState(int index, int state) { return Valid(index) && gObjectives[index].state == state; }

void dunShowObjective(int index, uint8_t shown) {
    if (Valid(index)) gObjectives[index].shown = shown;
}

void dunSetObjectiveScore(int index, int32_t value) {
    if (Valid(index)) gObjectives[index].score = value;
}

void dunSetObjectiveTime(int index, int32_t centiseconds) {
    if (Valid(index)) gObjectives[index].time = Clamp32(int64_t(centiseconds) * 100);
}

int dunFindObjective(int32_t number) {
    for (int i = 0; i < gObjectiveCount; ++i)
        if (gObjectives[i].number == number) return i;
    // An unknown number names no objective (not the second one).
    return kObjectives;
}

bool dunObjectiveIs(int state, int number) {
    const int index = number < 0 ? gCurrentObjective : dunFindObjective(number);
    return dunTestObjectiveState(index, state);
}

void dunSelectCurrentObjective() {
    int16_t current = -1;
    for (int i = 0; i < gObjectiveCount && current < 0; ++i)
        if (gObjectives[i].shown && gObjectives[i].state == ObjectiveState::Open) current = int16_t(i);
    gCurrentObjective = current;
    if (current != gPreviousObjective && current >= 0) gObjectiveCountdown = gObjectives[current].time;
    gPreviousObjective = current;
}

void dunAnnounceObjective() {
    dunSelectCurrentObjective();
    if (gCurrentObjective < 0) {
        dunCall(dunGui().postFeedText, ScriptTextSlot(dunMissionSuccess ? kAllDoneText : kNoObjectiveText), 0);
        return;
    }
    char text[2 * kObjectiveLineBytes];
    FormatTextSlot(gNoObjectiveDone ? kFirstAnnouncement : kAnnouncement, TextOf(gObjectives[gCurrentObjective]), text,
                   sizeof text);
    dunCall(dunGui().postFeedText, text, 0);
}

void dunResetObjectivesDisplay() {
    gObjectivesPanelCountdown = 0;
    gObjectiveBlink = 0;
    gObjectiveBlinkTimer = 0;
}

int32_t ComputeMissionScore(MissionScore *parts) {
    MissionScore s{};
    int64_t objectives = 0;
    for (int i = 0; i < gObjectiveCount; ++i) {
        const Objective &o = gObjectives[i];
        if (o.shown && o.state == ObjectiveState::Done) objectives += o.score;
    }
    s.objectives = Clamp32(objectives);
    s.timeBonus = MissionTimeBonus(gTargetTime, gMissionClock, gTimeScore);
    int64_t kills = 0;
    for (int t = 0; t < kTallyTypes; ++t)
        kills +=
            int64_t(dunWeaponTallies.tally[Tally::EnemyPoints][t]) + dunWeaponTallies.tally[Tally::FriendlyPoints][t];
    s.killPoints = Clamp32(kills);
    s.killScore = gMaxKillBonus > 0 && s.killPoints > gMaxKillBonus ? gMaxKillBonus : s.killPoints;
    s.total = Clamp32(int64_t(s.objectives) + s.timeBonus + s.killScore);
    if (parts) *parts = s;
    return s.total;
}
