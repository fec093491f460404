// Sample texts in the three languages and their slabs. Some texts stay loose
// beside the slab, one lives only in it, so both roads of the reader run.
// Scripts and shapes live only in their slabs, as a full installation has
// them; the files the game reads loose stay beside them: the mission table,
// the smoothing caches (the game writes them) and the library's ASCII meshes.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "mkdata.h"
#include "slabpack.h"

namespace {

bool EndsWith(const std::string &s, const char *tail) {
    const std::string t = tail;
    return s.size() >= t.size() && s.compare(s.size() - t.size(), t.size(), t) == 0;
}

// Packs the files of one folder that `take` accepts into its slab and
// removes them, so that the slab is the only copy the game can find.
bool PackAway(const mkdata::Context &ctx, const char *slab, const char *folder, bool (*take)(const std::string &)) {
    namespace fs = std::filesystem;
    const std::string base = ctx.out + "/vek/resource/" + folder;
    std::vector<std::string> packed;
    std::error_code ec;
    for (auto &e : fs::recursive_directory_iterator(base, ec)) {
        const std::string rel = fs::relative(e.path(), base, ec).generic_string();
        if (e.is_regular_file() && take(rel)) packed.push_back(rel);
    }
    if (!ctx.unpacked.empty()) {
        const fs::path keep = fs::path(ctx.unpacked) / "vek/resource" / folder;
        fs::remove_all(keep, ec);
        for (const std::string &rel : packed) {
            fs::create_directories((keep / rel).parent_path(), ec);
            fs::copy_file(fs::path(base) / rel, keep / rel, ec);
            if (ec) {
                std::fprintf(stderr, "mkdata: cannot keep %s: %s\n", rel.c_str(), ec.message().c_str());
                return false;
            }
        }
    }
    const std::string file = mkdata::OutPath(ctx, std::string("vek/resource/") + slab + ".slb");
    return mkdata::PackSlabIf(file, base, take, packed);
}

bool PackScripts(const mkdata::Context &ctx) {
    return PackAway(ctx, "scripts", "scripts", [](const std::string &rel) { return rel != "precedence.csv"; });
}

// The shapes are all generated: packed with the generated files, so that
// a run for the text tree alone (which packs the scripts) leaves them be.
bool PackShapes(const mkdata::Context &ctx) {
    return PackAway(ctx, "shapes", "shapes", [](const std::string &rel) { return EndsWith(rel, ".lwo"); });
}

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
    return PackScripts(ctx);
}

mkdata::Generator gShapeSlab("89-shape-slab", PackShapes);
mkdata::Generator gSlabs("90-slabs", WriteSlabs);

}  // namespace
