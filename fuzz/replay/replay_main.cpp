// Replays a fuzz target over its seed corpus without libFuzzer: every file
// named, found in a named folder, or matched by a --glob=PATTERN argument is
// fed to LLVMFuzzerTestOneInput once. A crash or sanitizer report fails the run.
#include <glob.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int *argc, char ***argv);

namespace fs = std::filesystem;

static void Collect(const std::string &path, std::vector<std::string> &out) {
    std::error_code ec;
    if (fs::is_directory(path, ec)) {
        for (auto &e : fs::recursive_directory_iterator(path, ec))
            if (e.is_regular_file()) out.push_back(e.path().string());
    } else if (fs::is_regular_file(path, ec)) {
        out.push_back(path);
    }
}

int main(int argc, char **argv) {
    if (LLVMFuzzerInitialize) LLVMFuzzerInitialize(&argc, &argv);
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        if (!std::strncmp(argv[i], "--glob=", 7)) {
            glob_t g{};
            if (glob(argv[i] + 7, 0, nullptr, &g) == 0)
                for (size_t k = 0; k < g.gl_pathc; ++k) Collect(g.gl_pathv[k], files);
            globfree(&g);
        } else {
            Collect(argv[i], files);
        }
    }
    // An empty input is always worth one run.
    LLVMFuzzerTestOneInput(nullptr, 0);
    for (const std::string &f : files) {
        std::ifstream in(f, std::ios::binary);
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    }
    std::printf("replayed %zu inputs\n", files.size() + 1);
    return 0;
}
