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

// The bytes of a file of the sample tree (a path relative to the data root,
// "/" separated): the loose file, else the entry of the slab that packs its
// folder ("vek/resource/scripts/..." in "vek/resource/scripts.slb"); empty
// when neither holds it.
std::string SampleFileText(const std::string &rel);

// Unpacks the slab "vek/resource/<slab>.slb" below `root` into loose files
// of the folder "vek/resource/<slab>" and removes the slab (one left out of
// the root is taken from the sample tree), for a test that
// damages or edits one file of it. Folders that are links into the sample
// tree become folders of links first, so the sample tree is never written;
// files that stand there already and the paths in `without` are kept as
// they are. False when the slab cannot be read.
bool UnpackSlab(const std::string &root, const std::string &slab, const std::vector<std::string> &without = {});

}  // namespace ruvotest
