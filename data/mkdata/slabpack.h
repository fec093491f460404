// The slab packer: every file below a folder into one slab archive.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace mkdata {

// Packs the files below `folder` (recursively, in name order) into
// `slabFile`; each entry is named by a backslash and its path below the
// folder. Files in `removeAfter` (paths below the folder) are deleted once
// packed, so they exist only in the slab. False on any failure.
bool PackSlab(const std::string &slabFile, const std::string &folder,
              const std::vector<std::string> &removeAfter = {});

// As PackSlab, but only the files whose path below the folder `take` accepts.
bool PackSlabIf(const std::string &slabFile, const std::string &folder,
                const std::function<bool(const std::string &)> &take, const std::vector<std::string> &removeAfter = {});

}  // namespace mkdata
