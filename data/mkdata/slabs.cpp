// Sample texts in the three languages and their slabs. Some texts stay loose
// beside the slab, one lives only in it, so both roads of the reader run.
#include <string>

#include "mkdata.h"
#include "slabpack.h"

namespace {

bool WriteSlabs(const mkdata::Context &ctx) {
    struct Lang {
        const char *folder;
        const char *slab;
        const char *hello;
    };
    static const Lang kLangs[] = {
        {"text", "text", "Welcome, pilot.\r\n"},
        {"frn_", "frn_", "Bienvenue, pilote. \xC9quipage pr\xEAt.\r\n"},
        {"ger_", "ger_", "Willkommen, Pilot. Gr\xFC\xDF" "e an die Besatzung.\r\n"},
    };
    for (const Lang &l : kLangs) {
        std::string base = std::string("vek/resource/") + l.folder;
        if (!mkdata::WriteFile(ctx, base + "/sample/hello.txt", l.hello)) return false;
        if (!mkdata::WriteFile(ctx, base + "/sample/slabonly.txt", std::string(l.slab) + " slab only\r\n"))
            return false;
        if (!mkdata::WriteFile(ctx, base + "/debrief/dbf_null.txt", "No debriefing.\r\n")) return false;
        std::string slab = mkdata::OutPath(ctx, std::string("vek/resource/") + l.slab + ".slb");
        if (!mkdata::PackSlab(slab, ctx.out + "/" + base, {"sample/slabonly.txt"})) return false;
    }
    return true;
}

mkdata::Generator gSlabs("90-slabs", WriteSlabs);

}  // namespace
