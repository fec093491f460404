// The script interpreter over arbitrary bytes: compiled, then run as a
// mission's main script for 40 turns with its events, in a world of its own
// (no presentation or screens: their hooks are not installed). A script may
// end the game with its own report; nothing may crash, hang or leak, and no
// turn may go on for ever.
#include <cstdint>

#include "core/frame.h"
#include "core/options.h"
#include "fuzz_files.h"
#include "script/compiler.h"
#include "script/interp.h"
#include "script/mission.h"
#include "script/script.h"
#include "world/messages.h"
#include "world/objlist.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzzfiles::EnterDataRoot();
    static bool ready = [] {
        optDemo = 1;  // no log lines for the brace messages
        InitializeScriptSystem();
        return true;
    }();
    (void)ready;
    dunMsgInit();
    dunResetWorld();
    ResetScriptForMission();
    dunFrameCounter = 1;
    dunFrameStep = 10;
    try {
        ScriptToken *pc = TokeniseScriptBytes("fuzz.scr", data, size);
        ScriptProcessor(&pc, 0);
        for (int turn = 0; turn < 40 && pc; ++turn) {
            ++dunFrameCounter;
            ScriptProcessor(&pc, -1);
        }
    } catch (const fuzzfiles::Fatal &) {
        // its own report: the game would end here
    }
    dunResetWorld();
    ResetScriptForMission();
    return 0;
}
