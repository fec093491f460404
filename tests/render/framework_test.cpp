#include <cstring>

#include "render/fw/fwstate.h"
#include "vt_fixture.h"

using namespace vttest;

namespace {

vt_resource_class align32 = {nullptr, "TEST_ALIGN32", 200, nullptr, 32};
vt_resource_class align8 = {nullptr, "TEST_ALIGN8", 201, nullptr, 8};

struct FreeLog {
    static inline std::vector<std::pair<void *, vt_size>> calls;
    static inline void *refree = nullptr;
    static void cb(void *res, vt_uint_8 cls, vt_size size) {
        EXPECT_EQ(cls, 202);
        calls.emplace_back(res, size);
        if (refree)
            VtResFree(refree); // freeing a block being freed does nothing
    }
};
vt_resource_class logged = {nullptr, "TEST_LOGGED", 202, FreeLog::cb, 0};

} // namespace

TEST(VtFramework, BeginEndPairingLeavesNoLiveBlocks) {
    Counting::live = 0;
    VtAllocatorSet(&countingAllocator);
    VtDiagHandlerSet(&recordingDiag);
    EXPECT_EQ(VtEnd(), VT_E_NOT_ACTIVE);
    ASSERT_EQ(VtBegin(), VT_E_OK);
    EXPECT_EQ(VtBegin(), VT_E_ALREADY_ACTIVE);
    EXPECT_EQ(VtFrameworkBegin(), VT_E_ALREADY_ACTIVE);
    EXPECT_EQ(VtAllocator(), &countingAllocator) << "a plug installed before begin survives";
    EXPECT_GT(Counting::live, 0);
    void *a = VtResAllocate(VtFrameworkRoot(), 100, VT_RES_APPLICATION);
    VtResAllocate(a, 10, VT_RES_STRING);
    VtResStrDup(a, "left behind");
    EXPECT_EQ(VtEnd(), VT_E_OK);
    EXPECT_EQ(Counting::live, 0);
    EXPECT_EQ(VtEnd(), VT_E_NOT_ACTIVE);
}

// The scratch block taken while the library is not begun (the game prepares
// shapes before its 3D set-up) goes with the library's end, not lost.
TEST(VtFramework, AScratchTakenBeforeBeginGoesAtTheEnd) {
    Counting::live = 0;
    VtAllocatorSet(&countingAllocator);
    VtDiagHandlerSet(&recordingDiag);
    ASSERT_EQ(VtEnd(), VT_E_NOT_ACTIVE);
    void *s = VtScratchAllocate(100);
    ASSERT_NE(s, nullptr);
    VtScratchFree(s);
    EXPECT_EQ(Counting::live, 1);
    ASSERT_EQ(VtBegin(), VT_E_OK);
    EXPECT_EQ(VtEnd(), VT_E_OK);
    EXPECT_EQ(Counting::live, 0);
    EXPECT_EQ(VtScratchInquire(), 0u);
}

class VtResource : public VtTest {};

TEST_F(VtResource, AlignmentAndSizeOverClasses) {
    VtResClassAdd(&align32);
    VtResClassAdd(&align8);
    struct Case {
        vt_uint_8 cls;
        vt_size align;
    } classes[] = {{VT_RES_STRING, 1},  {VT_RES_APPLICATION, 4}, {201, 8},
                   {VT_RES_SCRATCH, 16}, {VT_RES_POOL, 16},       {200, 32}};
    for (vt_uint_32 malign : {0u, 4u, 8u, 16u}) {
        Counting::alignReported = malign;
        for (const Case &c : classes) {
            std::vector<void *> blocks;
            for (vt_size size = 0; size <= 40; size++) {
                SCOPED_TRACE(testing::Message() << "malign " << malign << " class " << int(c.cls) << " size " << size);
                auto *p = static_cast<vt_uint_8 *>(VtResAllocate(VtFrameworkRoot(), size, c.cls));
                ASSERT_NE(p, nullptr);
                EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % c.align, 0u);
                EXPECT_EQ(VtResSize(p), ((size + 3) & ~vt_size(3)));
                EXPECT_EQ(VtResClass(p), c.cls);
                EXPECT_TRUE(VtResCheck(p));
                EXPECT_TRUE(VtResIsChild(VtFrameworkRoot(), p));
                // Zeroed user data, including bytes that look like padding.
                for (vt_size i = 0; i < size; i++)
                    EXPECT_EQ(p[i], 0);
                memset(p, 0, size);
                if (size)
                    p[size - 1] = 0xDE;
                for (void *q : blocks)
                    EXPECT_NE(q, p);
                blocks.push_back(p);
            }
            for (void *q : blocks)
                VtResFree(q);
        }
    }
    EXPECT_TRUE(Diag::failures.empty());
    VtResClassRemove(&align32);
    VtResClassRemove(&align8);
}

TEST_F(VtResource, StringBlockFollowsHeaderDirectly) {
    auto *a = static_cast<vt_uint_8 *>(VtResAllocate(nullptr, 8, VT_RES_STRING));
    auto *b = static_cast<vt_uint_8 *>(VtResAllocate(nullptr, 8, VT_RES_APPLICATION));
    EXPECT_EQ(a[-1], 0xDE);
    VtResFree(a);
    VtResFree(b);
}

TEST_F(VtResource, SubtreeFreeCallsCallbacksFromHeadOfChildList) {
    VtResClassAdd(&logged);
    FreeLog::calls.clear();
    void *parent = VtResAllocate(VtFrameworkRoot(), 4, 202);
    void *first = VtResAllocate(parent, 4, 202);
    void *second = VtResAllocate(parent, 20, 202);
    void *grandchild = VtResAllocate(second, 0, 202);
    EXPECT_EQ(VtResSizeTotal(parent), 4u + 4u + 20u + 0u);

    FreeLog::refree = parent;
    VtResFree(parent);
    FreeLog::refree = nullptr;
    const vt_size H = VtResHeaderSize;
    ASSERT_EQ(FreeLog::calls.size(), 4u);
    // parent, then its children from the head (most recent first).
    EXPECT_EQ(FreeLog::calls[0].first, parent);
    EXPECT_EQ(FreeLog::calls[1].first, second);
    EXPECT_EQ(FreeLog::calls[2].first, grandchild);
    EXPECT_EQ(FreeLog::calls[3].first, first);
    EXPECT_EQ(FreeLog::calls[0].second, H + 4);
    EXPECT_EQ(FreeLog::calls[1].second, H + 20);

    FreeLog::calls.clear();
    void *p = VtResAllocate(nullptr, 4, 202);
    VtResAllocate(p, 4, 202);
    VtResFreeNoCallback(p);
    ASSERT_EQ(FreeLog::calls.size(), 1u) << "only the child's callback runs";
    VtResClassRemove(&logged);
}

TEST_F(VtResource, AddRemoveEnumAndCheck) {
    void *a = VtResAllocate(VtFrameworkRoot(), 4, VT_RES_APPLICATION);
    void *b = VtResAllocate(VtFrameworkRoot(), 4, VT_RES_APPLICATION);
    void *c1 = VtResAllocate(a, 4, VT_RES_APPLICATION);
    void *c2 = VtResAllocate(a, 4, VT_RES_APPLICATION);
    EXPECT_EQ(VtResAdd(b, c1), c1);
    EXPECT_FALSE(VtResIsChild(a, c1));
    EXPECT_TRUE(VtResIsChild(b, c1));
    std::vector<void *> seen;
    auto cb = [](void *blk, void *arg) -> vt_uint_32 {
        static_cast<std::vector<void *> *>(arg)->push_back(blk);
        return 0;
    };
    VtResChildEnum(a, cb, &seen);
    EXPECT_EQ(seen, std::vector<void *>{c2});
    EXPECT_EQ(VtResChildEnum(b, [](void *, void *) -> vt_uint_32 { return 7; }, nullptr), 7u);
    VtResRemove(c2);
    EXPECT_FALSE(VtResIsChild(a, c2));
    VtResFree(c2);
    VtResFree(a);
    VtResFree(b); // takes c1 with it

    void *fresh = VtResAllocate(nullptr, 16, VT_RES_APPLICATION);
    EXPECT_TRUE(VtResCheck(fresh));
    // The magic pointer sits in the header's fourth word.
    auto *hdr = static_cast<vt_uint_8 *>(fresh) - VtResHeaderSize;
    void *saved;
    memcpy(&saved, hdr + 24, sizeof saved);
    memset(hdr + 24, 0x55, sizeof saved);
    EXPECT_FALSE(VtResCheck(fresh));
    memcpy(hdr + 24, &saved, sizeof saved);
    VtResFree(fresh);
}

TEST_F(VtResource, BrokenAllocatorAlignmentFailsTheAllocation) {
    // An allocator that claims 64-byte alignment but hands out addresses
    // 32 past a 64-byte boundary.
    static vt_resource_class align64 = {nullptr, "TEST_ALIGN64", 203, nullptr, 64};
    static vt_uint_8 arena[4096] __attribute__((aligned(64)));
    static vt_size used = 0;
    vt_allocator liar = {
        "liar",
        [](vt_size size, vt_uint_8) -> void * {
            void *p = arena + 32 + used;
            used += (size + 63) & ~vt_size(63);
            return p;
        },
        [](void *) {}, [](vt_uint_8) -> vt_size { return 0; }, [](vt_uint_8) -> vt_uint_32 { return 64; }};
    VtResClassAdd(&align64);
    vt_allocator *old = VtAllocatorSet(&liar);
    EXPECT_EQ(VtResAllocate(nullptr, 16, 203), nullptr);
    VtAllocatorSet(old);
    ASSERT_EQ(Diag::failures.size(), 1u);
    EXPECT_EQ(Diag::failures[0], "Failure: Memory allocator broke alignment");
    VtResClassRemove(&align64);
}

TEST_F(VtResource, Scratch) {
    void *s = VtScratchAllocate(100);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(VtScratchAllocate(10), nullptr) << "scratch in use";
    VtScratchFlush();
    ASSERT_EQ(Diag::failures.size(), 2u);
    EXPECT_EQ(Diag::failures[0], "Failure: Scratchpad not available");
    EXPECT_EQ(Diag::failures[1], "Failure: Scratchpad cannot be flushed while in use");
    VtScratchFree(s);
    EXPECT_EQ(VtScratchAllocate(50), s) << "a smaller request reuses the buffer";
    VtScratchFree(s);
    void *big = VtScratchAllocate(1000);
    EXPECT_EQ(VtScratchInquire(), 1000u);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(big) % 16, 0u);
    VtScratchFree(big);
    VtScratchFlush();
    EXPECT_EQ(VtScratchInquire(), 0u);
    EXPECT_EQ(VtScratchStringSize(), 512u);
}

TEST_F(VtResource, ClassesAndPlugs) {
    EXPECT_EQ(VtResClassCount(nullptr), 27) << "25 built in, PIXELMAP and PIXELS from the pixelmap module";
    EXPECT_EQ(VtResClassFind("token_*")->res_class, VT_RES_TOKEN_TEMPLATE) << "the last registered match";
    EXPECT_STREQ(VtResClassIdentifier(VT_RES_PIXELS), "PIXELS");
    EXPECT_STREQ(VtResClassIdentifier(VT_RES_SCRATCH + 100), "<NULL>");
    EXPECT_STREQ(VtResClassIdentifier(VT_RES_OBJECT), "OBJECT");

    vt_diaghandler *prev = VtDiagHandlerSet(nullptr);
    EXPECT_EQ(prev, &recordingDiag);
    EXPECT_STREQ(VtDiagHandler()->identifier, "Stdio DiagHandler");
    EXPECT_STREQ(VtDiagHandlerSet(prev)->identifier, "Stdio DiagHandler");
    EXPECT_STREQ(VtFilesystemSet(nullptr)->identifier, "Standard IO");
}

TEST_F(VtResource, ReportersFormatThroughTheHandler) {
    VtFailure("x=%d", 3);
    VtWarning("w %s", "up");
    VtFatal("datafile", 1824, "Invald file primitive call");
    _BrAssert("a == b", "file.c", 12);
    ASSERT_EQ(Diag::failures.size(), 3u);
    EXPECT_EQ(Diag::failures[0], "Failure: x=3");
    EXPECT_EQ(Diag::warnings.at(0), "Warning: w up");
    EXPECT_EQ(Diag::failures[1], "FATAL datafile:1824\nInvald file primitive call");
    EXPECT_EQ(Diag::failures[2], "ASSERTION FAILED file.c:12: \"a == b\"\n");
    std::string longText(5000, 'x');
    VtFailure("%s", longText.c_str());
    EXPECT_LT(Diag::failures.back().size(), 1024u);
}

TEST(VtFrameworkDeath, HandlerWithoutFailureOperationAborts) {
    static vt_diaghandler none = {"none", nullptr, nullptr};
    EXPECT_EXIT(
        {
            VtDiagHandlerSet(&none);
            VtFailure("boom");
        },
        testing::ExitedWithCode(3), "");
}
