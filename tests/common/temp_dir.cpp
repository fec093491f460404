#include "common/temp_dir.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "os/paths.h"

namespace ruvotest {

TempDir::TempDir() {
    char tmpl[] = "/tmp/ruvotest-XXXXXX";
    char *p = mkdtemp(tmpl);
    path_ = p ? p : "/tmp";
    old_ = std::filesystem::current_path().string();
    std::filesystem::current_path(path_);
    osFlushPathCache();
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::current_path(old_, ec);
    std::filesystem::remove_all(path_, ec);
    osFlushPathCache();
}

}  // namespace ruvotest
