// Helpers of the setup tools' tests: files, and a private place for the
// single-instance lock so that tests never meet a real game's.
#pragma once

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "common/temp_dir.h"

namespace toolstest {

inline std::string Slurp(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void Write(const std::string &path, const std::string &text) {
    std::ofstream(path, std::ios::binary) << text;
}

// A temporary working folder that is also where the instance lock lives.
class Sandbox : public ruvotest::TempDir {
public:
    Sandbox() { setenv("XDG_RUNTIME_DIR", path().c_str(), 1); }
    ~Sandbox() { unsetenv("XDG_RUNTIME_DIR"); }
};

}  // namespace toolstest
