// A scripted player for the whole sample career, run in the test's own
// process through the real frame loop (headless, fixed frame steps): from
// the front end's home page to a new captain and the timeline, then every
// mission in the career's order with the keys a player presses (briefing,
// stations, throttle, the drive, docking, targets, fire, the reply to a
// hail), its end and debriefing, and back to the timeline. What it does and
// sees goes into a trace, one line an event.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace ruvotest {

// One mission of the career as the driver plays it.
struct CareerLeg {
    int mission;
    int followOn;  // the mission flown next without the timeline (0 none)
    bool success;  // the result the career expects
};

// The sample career's order: the legs flown one after another.
extern const std::vector<CareerLeg> kSampleCareer;

struct CareerResult {
    bool finished = false;  // the career's end reached, every leg played
    std::string failure;  // what went wrong, when not finished
    std::vector<std::string> trace;
    std::map<int, bool> results;  // mission -> success
    std::vector<int> openAtEnd;  // the timeline's open missions at the career's end
    std::map<std::string, std::string> files;  // the career's written files, name -> bytes
    std::vector<std::string> notBuilt;  // names "debug.txt" said were not built yet
    int64_t turns = 0;  // frames run
    double seconds = 0;  // wall time of the run
    int quitCode = -1;  // the game's end: 0 when it quit cleanly
    int exitCode = -1;  // the run's process's exit code (PlayCareerInChild)
};

// Plays the whole career at the given depth; `seed` seeds the game's random
// generator at each launch and the driver's own choices (small delays, how
// many throttle steps, the stick's hand). Call from inside a fresh sample
// root as the working folder.
CareerResult PlayCareer(uint32_t seed, int depth = 8);

// PlayCareer in a child process of its own in a fresh sample root, as the
// game runs once a process: what one career leaves in the process's
// globals never reaches the next. The child's exit code is the game's quit
// code (3 when the career did not finish).
CareerResult PlayCareerInChild(uint32_t seed, int depth = 8);

// The same number of frames with the game held in the front end (the home
// page and its film, no simulation): seconds of wall time; the InChild one
// in a child process and a fresh sample root.
double FrontEndSeconds(int64_t turns);
double FrontEndSecondsInChild(int64_t turns);

}  // namespace ruvotest
