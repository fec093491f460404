#include "mkdata.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <system_error>

namespace fs = std::filesystem;

namespace mkdata {

static std::map<std::string, GeneratorFn> &Registry() {
    static std::map<std::string, GeneratorFn> r;
    return r;
}

Generator::Generator(const char *name, GeneratorFn fn) { Registry()[name] = fn; }

std::string OutPath(const Context &ctx, const std::string &relPath) {
    fs::path p = fs::path(ctx.out) / relPath;
    std::error_code ec;
    fs::create_directories(p.parent_path(), ec);
    return p.string();
}

bool WriteFile(const Context &ctx, const std::string &relPath, const void *data, size_t size) {
    std::string path = OutPath(ctx, relPath);
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::fprintf(stderr, "mkdata: cannot write %s\n", path.c_str());
        return false;
    }
    bool ok = std::fwrite(data, 1, size, f) == size;
    ok = (std::fclose(f) == 0) && ok;
    return ok;
}

bool WriteFile(const Context &ctx, const std::string &relPath, const std::string &text) {
    return WriteFile(ctx, relPath, text.data(), text.size());
}

}  // namespace mkdata

// The folder skeleton the game expects even before any content exists.
static bool MakeFolders(const mkdata::Context &ctx) {
    static const char *const kFolders[] = {
        "vek/resource/scripts/init", "vek/resource/scripts/missions", "vek/resource/scripts/screens",
        "vek/resource/video",        "vek/resource/audio",            "vek/resource/sound",
        "vek/resource/fonts",        "vek/resource/pics",             "vek/resource/models",
        "vek/resource/textures",     "vek/resource/universe",         "vantor/dat",
        "vek/resource/art/textures/ships", "vek/resource/art/icons",  "vek/resource/art/screens",
        "vek/resource/fonts/smallfnt", "vek/resource/scripts/gui",    "vek/resource/shapes",
        "vek/resource/sounds",       "vek/resource/text/docs",        "vek/resource/text/debriefs",
        "vek/resource/geog",
    };
    for (const char *f : kFolders) {
        std::error_code ec;
        fs::create_directories(fs::path(ctx.out) / f, ec);
        if (ec) {
            std::fprintf(stderr, "mkdata: cannot create %s: %s\n", f, ec.message().c_str());
            return false;
        }
    }
    return true;
}
static mkdata::Generator gFolders("00-folders", MakeFolders);

// Copies the text tree over the output root, keeping the names' exact case.
static bool CopyTree(const mkdata::Context &ctx) {
    if (ctx.tree.empty() || !fs::exists(ctx.tree)) return true;
    std::error_code ec;
    fs::copy(ctx.tree, ctx.out, fs::copy_options::recursive | fs::copy_options::overwrite_existing, ec);
    if (ec) {
        std::fprintf(stderr, "mkdata: copying %s: %s\n", ctx.tree.c_str(), ec.message().c_str());
        return false;
    }
    return true;
}
static mkdata::Generator gTree("01-tree", CopyTree);

int main(int argc, char **argv) {
    mkdata::Context ctx;
    bool times = false;  // each generator's time on stderr
    // Comma-separated generator names: run only these, or all but these.
    std::string only, skip;
    const auto listed = [](const std::string &list, const std::string &name) {
        return !list.empty() && ("," + list + ",").find("," + name + ",") != std::string::npos;
    };
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--out") && i + 1 < argc) ctx.out = argv[++i];
        else if (!std::strcmp(argv[i], "--tree") && i + 1 < argc) ctx.tree = argv[++i];
        else if (!std::strcmp(argv[i], "--unpacked") && i + 1 < argc) ctx.unpacked = argv[++i];
        else if (!std::strcmp(argv[i], "--times")) times = true;
        else if (!std::strcmp(argv[i], "--only") && i + 1 < argc) only = argv[++i];
        else if (!std::strcmp(argv[i], "--skip") && i + 1 < argc) skip = argv[++i];
    }
    if (ctx.out.empty()) {
        std::fprintf(stderr,
                     "usage: mkdata --out DIR [--tree DIR] [--unpacked DIR] [--times] [--only|--skip NAME,...]\n");
        return 2;
    }
    std::error_code ec;
    fs::create_directories(ctx.out, ec);
    for (auto &[name, fn] : mkdata::Registry()) {
        if ((!only.empty() && !listed(only, name)) || listed(skip, name)) continue;
        const auto start = std::chrono::steady_clock::now();
        const bool ok = fn(ctx);
        if (times)
            std::fprintf(stderr, "mkdata: %-24s %6.2f s\n", name.c_str(),
                         std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        if (!ok) {
            std::fprintf(stderr, "mkdata: generator %s failed\n", name.c_str());
            return 1;
        }
    }
    return 0;
}
