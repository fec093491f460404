// The mission log: which events are kept, how lines read, what happens when
// the table or the store is full, browsing, free texts and the feed.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "../gui/gui_fixture.h"
#include "core/options.h"
#include "gui/feed.h"
#include "hud/missionlog.h"
#include "script/mission.h"
#include "world/objlist.h"
#include "world/records.h"

namespace {

class MissionLog : public testing::Test {
protected:
    SceneItem player{}, other{}, third{};
    guitest::BlockFont font;
    void SetUp() override {
        MissionLogReset();
        gMissionLogOff = 0;
        gLanguage = 0;
        gMissionClock = 0;
        dunPlayerShip = &player;
        guiClearMessageLine();
        gFeedFont = &font.font;
        gFeedSubtitles = 0xFF;
        guiTextFeedInit();
    }
    void TearDown() override {
        dunPlayerShip = nullptr;
        gFeedFont = nullptr;
        gLanguage = 0;
        MissionLogReset();
    }
};

TEST_F(MissionLog, EventsOfOtherShipsAreKeptOnlyForTheFirstThreeKinds) {
    for (int kind = 0; kind < kMissionLogKinds; ++kind) {
        MissionLogReset();
        MissionLogAdd(&other, &third, kind, "A", "B");
        EXPECT_EQ(gMissionLogCount, kind <= 2 ? 1 : 0) << kind;
        MissionLogAdd(&other, &player, kind, "A", "B");
        MissionLogAdd(&player, nullptr, kind, "A", nullptr);
        EXPECT_EQ(gMissionLogCount, kind <= 2 ? 3 : 2) << kind;
        EXPECT_EQ(gMissionLogCalls, 3u);
    }
}

TEST_F(MissionLog, LinesReadMinutesSecondsSubjectVerbObject) {
    gMissionClock = 12345;
    MissionLogAdd(&player, &other, 4, "Lantern", "Outpost");
    MissionLogAdd(&player, nullptr, 5, "Lantern", nullptr);
    ASSERT_EQ(gMissionLogCount, 2);
    EXPECT_STREQ(gMissionLog[0].text, "2:03 Lantern docked with Outpost");
    EXPECT_STREQ(gMissionLog[1].text, "2:03 Lantern undocked");
    EXPECT_STREQ(gMissionLog[1].object, " ");
    EXPECT_EQ(gMissionLog[0].colourSet, 1);
    // Each new line shows on the message line for two seconds.
    EXPECT_STREQ(gMessageText, "2:03 Lantern undocked");
    EXPECT_EQ(gMessageDuration, 200);
    gLanguage = 2;
    MissionLogAdd(&player, &other, 2, "Lantern", "Kestrel");
    EXPECT_STREQ(gMissionLog[2].text, "2:03 Lantern zerst\xF6rt Kestrel");
}

TEST_F(MissionLog, TheHundredAndFirstEventIsDroppedSilently) {
    for (int i = 0; i < kMissionLogEntries; ++i) MissionLogAdd(&player, nullptr, 2, "A", nullptr);
    guiClearMessageLine();
    MissionLogAdd(&player, nullptr, 2, "Late", nullptr);
    EXPECT_EQ(gMissionLogCount, kMissionLogEntries);
    EXPECT_STREQ(gMessageText, "---------");
    MissionLogAddText(0, "late text");
    EXPECT_EQ(gMissionLogCount, kMissionLogEntries);
}

TEST_F(MissionLog, AFullStoreKeepsTheEntryWithoutText) {
    std::string name(200, 'n');
    int stored = 0;
    while (gMissionLogCount < kMissionLogEntries) {
        MissionLogAdd(&player, nullptr, 2, name.c_str(), nullptr);
        if (gMissionLog[gMissionLogCount - 1].text) ++stored;
    }
    EXPECT_LT(stored, kMissionLogEntries);
    EXPECT_GT(stored, 30);
    EXPECT_EQ(gMissionLog[kMissionLogEntries - 1].text, nullptr);
    // Nothing was written past the store: every stored text is whole.
    EXPECT_EQ(std::strlen(gMissionLog[stored - 1].text), std::strlen("0:00 ") + 200 + std::strlen(" destroyed"));
}

TEST_F(MissionLog, BrowsingStartsAtTheNewestAndStopsAtBothEnds) {
    uint8_t set = 9;
    EXPECT_EQ(MissionLogPrev(&set), nullptr);
    EXPECT_EQ(MissionLogNext(&set), nullptr);
    EXPECT_EQ(gMissionLogCursor, kMissionLogNoEntry);
    MissionLogAdd(&player, nullptr, 2, "First", nullptr);
    MissionLogAdd(&player, nullptr, 2, "Second", nullptr);
    MissionLogAddText(100, "Third");
    EXPECT_STREQ(MissionLogPrev(&set), "0:01 Third");
    EXPECT_EQ(set, 0);
    EXPECT_STREQ(MissionLogPrev(&set), "0:00 Second destroyed");
    EXPECT_EQ(set, 1);
    EXPECT_STREQ(MissionLogPrev(&set), "0:00 First destroyed");
    EXPECT_STREQ(MissionLogPrev(&set), "0:00 First destroyed");
    EXPECT_STREQ(MissionLogNext(&set), "0:00 Second destroyed");
    EXPECT_STREQ(MissionLogNext(&set), "0:01 Third");
    EXPECT_STREQ(MissionLogNext(&set), "0:01 Third");
    MissionLogReset();
    EXPECT_EQ(gMissionLogCount, 0);
    EXPECT_EQ(gMissionLogCursor, kMissionLogNoEntry);
    EXPECT_EQ(MissionLogPrev(&set), nullptr);
}

TEST_F(MissionLog, FreeTextsGoToTheFeedWithSubtitles) {
    MissionLogAddText(6100, "Wingman - Hello");
    ASSERT_EQ(gMissionLogCount, 1);
    EXPECT_STREQ(gMissionLog[0].text, "1:01 Wingman - Hello");
    EXPECT_EQ(gMissionLog[0].kind, 8);
    EXPECT_STREQ(gFeed.pending, "1:01 Wingman - Hello");
    EXPECT_TRUE(gFeedShowing);
    gFeedSubtitles = 0;
    guiResetTextFeed();
    MissionLogAddText(0, "Quiet");
    EXPECT_EQ(gMissionLogCount, 2);
    EXPECT_FALSE(gFeedShowing);
    // Recording off: nothing, not even counted.
    gMissionLogOff = 1;
    const uint32_t calls = gMissionLogCalls;
    MissionLogAddText(0, "Off");
    MissionLogAdd(&player, nullptr, 2, "Off", nullptr);
    EXPECT_EQ(gMissionLogCount, 2);
    EXPECT_EQ(gMissionLogCalls, calls);
}

TEST_F(MissionLog, ATextThatDoesNotFitStillGoesToTheFeed) {
    std::string big(kMissionLogStore, 'x');
    MissionLogAddText(0, big.c_str());
    EXPECT_EQ(gMissionLogCount, 0);
    EXPECT_EQ(gFeed.pendingLength, kFeedBytes - 1);  // the feed holds 4999 of it
    EXPECT_TRUE(gFeedShowing);
}

}  // namespace
