// The script compiler over arbitrary bytes: it ends only with its own error
// reports, never crashes or hangs, and never writes past its buffers.
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/options.h"
#include "fuzz_files.h"
#include "script/compiler.h"
#include "script/script.h"

namespace {

bool KnownReport(const std::string &text) {
    static const char *const kWhole[] = {"Script Buffer OVERFLOW !!!", "Data Buffer OVERFLOW !!!",
                                         "Symbol Table Full!", "Script Name Buffer Full!"};
    for (const char *w : kWhole)
        if (text == w) return true;
    // The brace report names the file first.
    static const std::string kBraces = " : Mismatched Braces. '{}' ";
    if (text.size() >= kBraces.size() && text.compare(text.size() - kBraces.size(), kBraces.size(), kBraces) == 0)
        return true;
    return text.find(") : Branch has no label") != std::string::npos ||
           text.find(") : label name in use: ") != std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzzfiles::EnterDataRoot();
    static bool ready = false;
    if (!ready) {
        optDemo = 1;  // no log lines for the brace messages
        InitializeScriptSystem();
        ready = true;
    }
    ResetScriptForMission();
    for (uint16_t language : {0, 2}) {
        gLanguage = language;
        try {
            TokeniseScriptBytes("fuzz.scr", data, size);
        } catch (const fuzzfiles::Fatal &e) {
            if (!KnownReport(e.what())) std::abort();
        }
        ResetScriptForMission();
    }
    return 0;
}
