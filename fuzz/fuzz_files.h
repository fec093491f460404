// For targets whose readers take file names: a private data root (the
// working folder) that the input is written into.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "core/log.h"
#include "core/options.h"
#include "os/paths.h"

namespace fuzzfiles {

struct Fatal : std::runtime_error {
    using std::runtime_error::runtime_error;
};

[[noreturn]] inline void ThrowingHook(const char *text, int) { throw Fatal(text ? text : ""); }

// Makes a fresh folder the working folder once, and fatal errors throw. The
// debug log goes nowhere: readers say so for every refused file, and a fuzz
// run refuses millions.
inline void EnterDataRoot() {
    static bool done = false;
    if (done) return;
    done = true;
    char tmpl[] = "/tmp/ruvofuzz-XXXXXX";
    if (!mkdtemp(tmpl)) std::abort();
    std::filesystem::create_directories(std::string(tmpl) + "/vek/resource");
    if (chdir(tmpl) != 0) std::abort();
    // Gone with the process.
    static const std::string root = tmpl;
    std::atexit([] {
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    });
    osFlushPathCache();
    dunSetFatalHook(ThrowingHook);
    optDebug = 0xFF;
    dunSetDebugSink([](const char *) {});
}

inline void Write(const char *path, const uint8_t *data, size_t size) {
    FILE *f = std::fopen(path, "wb");
    if (!f) std::abort();
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);
}

}  // namespace fuzzfiles
