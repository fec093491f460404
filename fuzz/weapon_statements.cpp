// The weapon statements over arbitrary lines: a ship is made, then every
// input line that starts with a weapon statement's word is run against it
// (weapon types, mount codes, positions, counts, loads and numbers), so that
// whatever a script gives reaches the weapon list and its setters. It ends
// only with the script's own error reports or a full Weapon pool, never
// crashes, hangs or writes past a record.
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/frame.h"
#include "core/options.h"
#include "fuzz_files.h"
#include "script/compiler.h"
#include "script/script.h"
#include "script/ships.h"
#include "world/messages.h"
#include "world/objlist.h"

namespace {

const char *const kWeaponWords[] = {"WEAPON",     "WEAPON_DMG", "WEAPON_BEAM", "WEAPON_LOAD", "SELECT_WEAPON",
                                    "WEPLOADOUT", "WEPCLEAR",   "WEPSYSLINK",  "RAPIDFIRE"};

bool WeaponLine(const std::string &line) {
    size_t at = line.find_first_not_of(" \t");
    if (at == std::string::npos) return false;
    const size_t end = line.find_first_of(" \t", at);
    const std::string word = line.substr(at, end == std::string::npos ? std::string::npos : end - at);
    for (const char *w : kWeaponWords)
        if (word == w) return true;
    return false;
}

// The script's own reports: "file(line) : ..." from the compiler and the
// interpreter, and the buffers' and pools' limits.
bool KnownReport(const std::string &text) {
    static const char *const kWhole[] = {"Script Buffer OVERFLOW !!!", "Data Buffer OVERFLOW !!!", "Symbol Table Full!",
                                         "Script Name Buffer Full!", "Exceeded max Weapons"};
    for (const char *w : kWhole)
        if (text == w) return true;
    return text.rfind("weapons.scr(", 0) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzzfiles::EnterDataRoot();
    static bool ready = false;
    if (!ready) {
        optDemo = 1;
        dunMsgInit();
        InitializeScriptSystem();
        ready = true;
    }
    // The ship, then the input's weapon lines; a ship class's own lines name
    // the ship LASTSHIP, which this one is.
    // The sample missions' own ship names are known, naming no object.
    std::string text =
        "SCENEITEM S Player Enemy Station Drone\nMODEL M\nABSOLUTE\nCREATE_SHIP S M \"S\" CORVETTE NAVY 0 0 0\n";
    const std::string input(reinterpret_cast<const char *>(data), size);
    for (size_t at = 0; at < input.size();) {
        size_t end = input.find('\n', at);
        if (end == std::string::npos) end = input.size();
        std::string line = input.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.find('\0') == std::string::npos && WeaponLine(line)) text += line + "\n";
        at = end + 1;
    }
    for (uint16_t language : {0, 2}) {
        gLanguage = language;
        optArcade = language ? 0xFF : 0;
        dunResetWorld();
        ResetScriptForMission();
        ResetShipStatements();
        try {
            ScriptToken *pc =
                TokeniseScriptBytes("weapons.scr", reinterpret_cast<const uint8_t *>(text.data()), text.size());
            ScriptProcessor(&pc, 0);
        } catch (const fuzzfiles::Fatal &e) {
            if (!KnownReport(e.what())) std::abort();
        }
    }
    optArcade = 0;
    gLanguage = 0;
    return 0;
}
