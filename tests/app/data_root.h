// Whole-game tests run in the sample data tree, as the game does: the
// working folder is the data root while the test lives, and the scripts run
// from it as the start-up runs them.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>

#include "common/sample_root.h"
#include "os/paths.h"
#include "script/interp.h"
#include "script/script.h"

namespace ruvotest {

class InDataRoot {
public:
    InDataRoot() : old_(std::filesystem::current_path()) {
        std::filesystem::current_path(SampleDataRoot());
        osFlushPathCache();
    }
    ~InDataRoot() {
        std::filesystem::current_path(old_);
        osFlushPathCache();
    }

private:
    std::filesystem::path old_;
};

// A script compiled and run to its end (or its first wait).
inline void RunScriptFile(const char *path) {
    ScriptToken *pc = TokeniseScript(path);
    ASSERT_NE(pc, nullptr) << path;
    ScriptProcessor(&pc, 0);
}

}  // namespace ruvotest
