#include "common/sample_root.h"

#include <cstdlib>
#include <filesystem>

#include "os/paths.h"

namespace ruvotest {

namespace fs = std::filesystem;

namespace {

const fs::path gStartFolder = fs::current_path();

bool Written(const std::string &rel) {
    return rel == "debug.txt" || rel == "filelog.txt" || rel == "vek/state.inf" || rel.rfind("vek/slot", 0) == 0;
}

void Link(const fs::path &from, const std::string &rel, const std::vector<std::string> &without) {
    std::error_code ec;
    for (const fs::directory_entry &e : fs::directory_iterator(from, ec)) {
        const std::string name = e.path().filename().string();
        const std::string path = rel.empty() ? name : rel + "/" + name;
        if (Written(path)) continue;
        bool skip = false, inside = false;
        for (const std::string &w : without) {
            skip = skip || w == path;
            inside = inside || w.rfind(path + "/", 0) == 0;
        }
        if (skip) continue;
        if (inside || path == "vek") {
            fs::create_directory(path, ec);
            Link(e.path(), path, without);
        } else if (path == "Marrowgleam.ini") {
            fs::copy_file(e.path(), path, ec);
        } else {
            fs::create_symlink(e.path(), path, ec);
        }
    }
}

}  // namespace

std::string SampleDataRoot() {
    const char *env = std::getenv("RUVO_DATA");
    return (gStartFolder / (env ? env : "data")).lexically_normal().string();
}

SampleRoot::SampleRoot(const std::vector<std::string> &without) {
    Link(SampleDataRoot(), "", without);
    osFlushPathCache();
}

}  // namespace ruvotest
