#include "call_recorder.h"

#include <algorithm>

namespace ruvotest {

static CallRecorder *gCurrent = nullptr;

CallRecorder::CallRecorder() {
    gCurrent = this;
    SetShellCallHook(Hook);
}

CallRecorder::~CallRecorder() {
    SetShellCallHook(nullptr);
    gCurrent = nullptr;
}

long CallRecorder::Hook(const char *name) {
    CallRecorder *r = gCurrent;
    r->calls.push_back(name);
    auto e = r->effects.find(name);
    if (e != r->effects.end()) e->second();
    if (r->run.count(name)) return SHELL_CALL_RUN;
    auto d = r->dynamic.find(name);
    if (d != r->dynamic.end()) return d->second();
    auto it = r->results.find(name);
    return it == r->results.end() ? 0 : it->second;
}

std::vector<std::string> CallRecorder::Without(const std::set<std::string> &names) const {
    std::vector<std::string> out;
    for (const std::string &c : calls)
        if (!names.count(c)) out.push_back(c);
    return out;
}

size_t CallRecorder::Count(const std::string &name) const { return std::count(calls.begin(), calls.end(), name); }

}  // namespace ruvotest
