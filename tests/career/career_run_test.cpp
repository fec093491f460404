// The whole sample career played from the front end by the scripted player:
// every mission in the career's order to its expected result, the career's
// files written, the game's quit; twice with one seed for the same trace and
// files, once with another seed to the same end.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "career/career_driver.h"
#include "script/career.h"

namespace {

using ruvotest::CareerResult;

// One career in a process and a sample root of its own; RUVO_CAREER_TRACE=DIR
// writes its trace there for a look.
CareerResult Play(uint32_t seed, const char *name) {
    CareerResult r = ruvotest::PlayCareerInChild(seed);
    if (const char *dir = std::getenv("RUVO_CAREER_TRACE")) {
        std::ofstream f(std::string(dir) + "/" + name + ".txt");
        for (const std::string &line : r.trace) f << line << "\n";
    }
    return r;
}

void ExpectWholeCareer(const CareerResult &r) {
    ASSERT_TRUE(r.finished) << r.failure << "\n" << (r.trace.empty() ? "" : r.trace.back());
    EXPECT_EQ(r.quitCode, 0);
    EXPECT_EQ(r.exitCode, 0);
    for (const ruvotest::CareerLeg &leg : ruvotest::kSampleCareer) {
        ASSERT_TRUE(r.results.count(leg.mission)) << "mission " << leg.mission;
        EXPECT_EQ(r.results.at(leg.mission), leg.success) << "mission " << leg.mission;
        if (leg.followOn) {
            ASSERT_TRUE(r.results.count(leg.followOn)) << "mission " << leg.followOn;
            EXPECT_TRUE(r.results.at(leg.followOn)) << "mission " << leg.followOn;
        }
    }
    // The career's end: only the missions that end in failure are still
    // open on the timeline.
    std::vector<int> failed;
    for (const ruvotest::CareerLeg &leg : ruvotest::kSampleCareer)
        if (!leg.success) failed.push_back(leg.mission);
    EXPECT_EQ(r.openAtEnd, failed);
    // The captain's career and the state file, and the first mission's
    // checkpoint, on disk.
    for (const char *file : {"slot0.sav", "state.inf", "slot_d0.sav"}) {
        ASSERT_TRUE(r.files.count(file)) << file;
        EXPECT_FALSE(r.files.at(file).empty()) << file;
    }
    EXPECT_EQ(r.files.at("slot0.sav").size(), size_t(kSlotFileBytes));
    EXPECT_EQ(r.files.at("state.inf").size(), size_t(kStateFileBytes));
    // Every operation is built: the log never says otherwise.
    for (const std::string &name : r.notBuilt) ADD_FAILURE() << "not built yet: " << name;
}

TEST(Career, TheWholeSampleCareerPlaysTheSameTwiceWithOneSeedAndToItsEndWithAnother) {
    const CareerResult first = Play(20261211, "first");
    ExpectWholeCareer(first);
    const CareerResult again = Play(20261211, "again");
    ExpectWholeCareer(again);
    ASSERT_EQ(first.trace.size(), again.trace.size());
    for (size_t i = 0; i < first.trace.size(); ++i) ASSERT_EQ(first.trace[i], again.trace[i]) << "line " << i;
    EXPECT_EQ(first.files, again.files);
    const CareerResult other = Play(7, "other");
    ExpectWholeCareer(other);
    // The career's pace against the same number of frames in the front end.
    std::string interim;
    for (const std::string &name : first.notBuilt) interim += " " + name;
    std::printf("%s; not built yet:%s\n", first.trace.back().c_str(), interim.empty() ? " none" : interim.c_str());
    const double front = ruvotest::FrontEndSecondsInChild(first.turns);
    std::printf(
        "career: %lld frames in %.2f s, %.0f frames/s; the same frames held in the front end: %.2f s, %.0f "
        "frames/s; the career's frame rate is %.2f of the front end's\n",
        (long long)first.turns, first.seconds, first.turns / first.seconds, front, first.turns / front,
        front / first.seconds);
}

}  // namespace
