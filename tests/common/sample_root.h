#pragma once

#include <string>
#include <vector>

#include "common/temp_dir.h"

namespace ruvotest {

// The sample data tree: RUVO_DATA, or "data", taken from the folder the
// program started in (a test may have made another the working folder).
std::string SampleDataRoot();

// The sample data tree as the working folder, in a fresh folder of its own:
// its files are linked in, except what the game writes (the settings file is
// copied; career files, checkpoints and logs start afresh) and the paths
// left out (relative to the data root, "/" separated).
class SampleRoot : public TempDir {
public:
    explicit SampleRoot(const std::vector<std::string> &without = {});
};

}  // namespace ruvotest
