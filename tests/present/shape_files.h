// Shape fixtures for the presentation's tests: LightWave objects written by
// our writer into a fresh data root, and the lines the loader left in the
// debug log.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "common/temp_dir.h"
#include "data/lwob/lwob.h"
#include "os/paths.h"

namespace presenttest {

// Writes bytes at a game path ("vek\resource\shapes\x.lwo") below the
// working folder.
inline void WriteGameFile(const std::string &gamePath, const std::vector<uint8_t> &bytes) {
    std::string p = gamePath;
    for (char &c : p)
        if (c == '\\') c = '/';
    std::filesystem::create_directories(std::filesystem::path(p).parent_path());
    std::ofstream(p, std::ios::binary)
        .write(reinterpret_cast<const char *>(bytes.data()), std::streamsize(bytes.size()));
    osFlushPathCache();
}

// The game path of a shape file in the shapes folder.
inline std::string ShapePath(const std::string &name) { return "vek\\resource\\shapes\\" + name; }

inline std::string WriteShape(const std::string &name, const lwob::Object &object) {
    WriteGameFile(ShapePath(name), lwob::Encode(object));
    return ShapePath(name);
}

inline std::string ReadText(const char *path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline std::string DebugLog() { return ReadText("debug.txt"); }

inline lwob::Surface NamedSurface(const char *name, int flags = -1) {
    lwob::Surface s;
    s.name = name;
    s.flags = flags;
    return s;
}

// The generated sample data root as the working folder while it lives.
class SampleDataRoot {
public:
    SampleDataRoot() {
        const char *root = std::getenv("RUVO_DATA");
        old_ = std::filesystem::current_path().string();
        ok_ = chdir(root ? root : "data") == 0;
        osFlushPathCache();
    }
    ~SampleDataRoot() {
        if (chdir(old_.c_str()) != 0) std::abort();
        osFlushPathCache();
    }
    bool ok() const { return ok_; }

private:
    std::string old_;
    bool ok_;
};

}  // namespace presenttest
