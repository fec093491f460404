// Shared test doubles for the rendering library: a counting allocator and a
// diagnostics handler that records instead of ending the process.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "render/fw/fw.h"

namespace vttest {

// A whole file's bytes (empty when it does not open), and a file made of
// given bytes.
inline std::string readFileBytes(const char *name) {
    std::ifstream f(name, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}
inline void writeFileBytes(const char *name, const std::string &bytes) {
    std::ofstream(name, std::ios::binary) << bytes;
}

struct Counting {
    static inline int live = 0;
    static inline int total = 0;
    static inline vt_uint_32 alignReported = 16;
    static void *allocate(vt_size size, vt_uint_8) {
        void *p = malloc(size ? size : 1);
        if (p) {
            live++;
            total++;
        }
        return p;
    }
    static void release(void *p) {
        if (p)
            live--;
        free(p);
    }
    static vt_size inquire(vt_uint_8) { return 0; }
    static vt_uint_32 align(vt_uint_8) { return alignReported; }
};

inline vt_allocator countingAllocator = {"counting", Counting::allocate, Counting::release, Counting::inquire,
                                         Counting::align};

struct Diag {
    static inline std::vector<std::string> failures;
    static inline std::vector<std::string> warnings;
    static void warning(const char *m) { warnings.emplace_back(m); }
    static void failure(const char *m) { failures.emplace_back(m); }
    static void clear() {
        failures.clear();
        warnings.clear();
    }
};

inline vt_diaghandler recordingDiag = {"recording", Diag::warning, Diag::failure};

// Begins the library with the counting allocator and the recording handler
// installed and checks at the end that nothing is left allocated.
class VtTest : public ::testing::Test {
protected:
    void SetUp() override {
        Diag::clear();
        Counting::live = 0;
        Counting::alignReported = 16;
        VtAllocatorSet(&countingAllocator);
        VtDiagHandlerSet(&recordingDiag);
        ASSERT_EQ(VtBegin(), VT_E_OK);
    }
    void TearDown() override {
        EXPECT_EQ(VtEnd(), VT_E_OK);
        EXPECT_EQ(Counting::live, 0) << "blocks left after VtEnd";
    }
};

} // namespace vttest
