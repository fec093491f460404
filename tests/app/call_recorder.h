// Records the calls the shell and the game frame make into other subsystems
// (through the shell's call seam) and stands in for them.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/shellcall.h"

namespace ruvotest {

class CallRecorder {
public:
    CallRecorder();
    ~CallRecorder();
    // Calls that go through to the real (or interim) body.
    std::set<std::string> run;
    // Results of calls that are stood in for (0 when absent).
    std::map<std::string, long> results;
    // Side effects on a named call, before its result is taken.
    std::map<std::string, void (*)()> effects;
    // Results that change from call to call (over `results`).
    std::map<std::string, long (*)()> dynamic;
    std::vector<std::string> calls;

    // The recorded calls without those listed.
    std::vector<std::string> Without(const std::set<std::string> &names) const;
    size_t Count(const std::string &name) const;

private:
    static long Hook(const char *name);
};

}  // namespace ruvotest
