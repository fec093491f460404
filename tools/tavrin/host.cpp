// tavrin-host: a small stand-in for the installer engine. It loads the
// callback library, calls its entry points in the engine's order, lays out
// the installation folder and records the installation in the registry.
//
//   tavrin-host --src DISC --dst FOLDER [--patch] [--lib LIBRARY]
//
// Exit status: 0 installed, 1 stopped by an entry point's answer, 2 a usage
// or loading error.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>

#include "os/module.h"
#include "os/os.h"
#include "os/registry.h"
#include "tools/common/setup.h"
#include "tools/tavrin/tavrin.h"

namespace fs = std::filesystem;

namespace {

struct Engine {
    void *library = nullptr;
    std::string source;   // ends in a slash
    std::string install;  // no slash at the end
};

// The engine knows the entry points by their ordinal; here, by name.
const char *const kExports[8] = {nullptr,        "EvalTavrin",  "DirectXInstall",  "PlayIntroMovie",
                                 "PatchInstall", "SlabInstall", "InstallVantrell", "CheckRunning"};

uint8_t Call(Engine &e, int ordinal) {
    auto fn = reinterpret_cast<TavrinEntry>(osModuleSymbol(e.library, kExports[ordinal]));
    if (!fn) {
        std::fprintf(stderr, "tavrin-host: %s is missing from the library\n", kExports[ordinal]);
        return 0;
    }
    return fn(nullptr, e.source.data(), nullptr, e.install.data(), nullptr);
}

std::string ProgramFolder() {
    std::error_code ec;
    fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return ec ? std::string(".") : self.parent_path().string();
}

// The files below a folder, as paths relative to it with slashes.
std::set<std::string> FilesBelow(const std::string &folder) {
    std::set<std::string> files;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        if (it->is_regular_file(ec)) files.insert(fs::relative(it->path(), folder, ec).generic_string());
    return files;
}

// The installation's log, which the uninstaller reads: every file the
// installation copied, one relative path a line. Files that were there
// before and that nothing copied (a player's saves) are not in it.
void WriteInstallLog(const std::string &install, const std::set<std::string> &copied) {
    const std::string log = install + "/" + kInstallLogName;
    if (FILE *f = std::fopen(log.c_str(), "wb")) {
        for (const std::string &file : copied)
            if (file != kInstallLogName) std::fprintf(f, "%s\n", file.c_str());
        std::fclose(f);
    } else {
        std::fprintf(stderr, "tavrin-host: cannot write %s\n", log.c_str());
    }
}

int Usage() {
    std::fprintf(stderr, "usage: tavrin-host --src DISC --dst FOLDER [--patch] [--lib LIBRARY]\n");
    return 2;
}

}  // namespace

int main(int argc, char **argv) {
    std::string src, dst, lib = ProgramFolder() + "/libtavrin.so";
    bool patch = false;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--src") && i + 1 < argc) src = argv[++i];
        else if (!std::strcmp(argv[i], "--dst") && i + 1 < argc) dst = argv[++i];
        else if (!std::strcmp(argv[i], "--lib") && i + 1 < argc) lib = argv[++i];
        else if (!std::strcmp(argv[i], "--patch")) patch = true;
        else return Usage();
    }
    if (src.empty() || dst.empty()) return Usage();

    Engine e;
    e.source = fs::absolute(src).lexically_normal().string();
    if (e.source.back() != '/') e.source += '/';
    e.install = fs::absolute(dst).lexically_normal().string();
    while (e.install.size() > 1 && e.install.back() == '/') e.install.pop_back();
    e.library = osModuleLoad(lib.c_str());
    if (!e.library) {
        std::fprintf(stderr, "tavrin-host: cannot load %s\n", lib.c_str());
        return 2;
    }

    if (patch) {
        if (!Call(e, 7)) return 1;
        Call(e, 4);
        return 0;
    }
    if (!Call(e, 1)) return 1;
    if (!Call(e, 7)) {
        osMessageBox("Installation de Kelv", "Kelv est en cours d'ex\xE9" "cution. Quittez le jeu, puis recommencez.");
        return 1;
    }
    if (!Call(e, 6)) return 1;
    // The engine lays out the installation's folders before its file groups.
    const std::set<std::string> before = FilesBelow(e.install);
    std::set<std::string> copied = FilesBelow(e.source + "data");
    std::error_code ec;
    fs::create_directories(e.install + "/vek/resource/scripts", ec);
    // Its file groups: the data tree the disc carries for the game.
    if (!ec && fs::is_directory(e.source + "data"))
        fs::copy(e.source + "data", e.install, fs::copy_options::recursive | fs::copy_options::overwrite_existing, ec);
    if (ec) {
        std::fprintf(stderr, "tavrin-host: cannot lay out %s: %s\n", e.install.c_str(), ec.message().c_str());
        return 2;
    }
    Call(e, 2);
    Call(e, 5);
    for (const std::string &file : FilesBelow(e.install))
        if (!before.count(file)) copied.insert(file);
    WriteInstallLog(e.install, copied);
    if (!osRegistryWrite(kAppPathsKey, nullptr, SetupProgramPath(e.install + "/Ruvo.exe").c_str()) ||
        !osRegistryWrite(kAppPathsKey, "Path", e.install.c_str()))
        std::fprintf(stderr, "tavrin-host: cannot record the installation in the registry\n");
    Call(e, 3);
    return 0;
}
