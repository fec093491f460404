#pragma once

#include <string>

namespace ruvotest {

// A fresh folder that becomes the working folder (the data root) for the
// test's lifetime; the old working folder comes back and the folder is
// removed afterwards.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;
    const std::string &path() const { return path_; }

protected:
    std::string path_;
    std::string old_;  // the working folder before
};

}  // namespace ruvotest
