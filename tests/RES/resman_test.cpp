#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "RES/gfx2d.h"
#include "RES/picture.h"
#include "RES/util.h"
#include "RES/resman.h"
#include "core/options.h"
#include "common/fatal_hook.h"
#include "common/temp_dir.h"
#include "os/paths.h"
#include "res_helpers.h"

using restest::PcxFile;
using restest::SlabFile;
using restest::WriteBytes;
using restest::WriteText;

namespace {

struct ResmanTest : ::testing::Test {
    ruvotest::TempDir dir;
    void SetUp() override {
        ResetOptions();
        dunSeedRand15(1);
        ASSERT_EQ(resmanInit(), ResourcePoolLimit);
    }
    void TearDown() override {
        resmanShutdown();
        ResetOptions();
    }
    template <typename Fn>
    static void ExpectFatal(Fn fn) {
        try {
            fn();
            ADD_FAILURE() << "no fatal error";
        } catch (const ruvotest::FatalError &e) {
            EXPECT_EQ(e.exitCode, 1);
        }
    }
};

// A w x h 8-bit picture whose pixels are all `v`.
void WritePcx(const char *path, uint8_t v, int w = 4, int h = 2) {
    std::vector<uint8_t> data;
    for (int y = 0; y < h; ++y)
        for (int left = w; left > 0; left -= 63) {
            data.push_back(uint8_t(0xC0 | std::min(left, 63)));
            data.push_back(v);
        }
    WriteBytes(path, PcxFile(w, h, 1, data));
}

TEST_F(ResmanTest, HashTableFromTheRuntimeGeneratorAndTheHash) {
    // The generator's first values from seed 1: 41, 18467, 6334, 26500.
    EXPECT_EQ(RESMAN.hashTable[0], 0u | (41u << 8));
    EXPECT_EQ(RESMAN.hashTable[1], 1u | ((18467u % 256) << 8));
    EXPECT_EQ(RESMAN.hashTable[2], 2u | ((6334u % 256) << 8));
    EXPECT_EQ(resmanHashName(""), 0u);
    const uint32_t *t = RESMAN.hashTable;
    uint32_t low = t['a'] + t['b'], pair = t['a'] * t['b'];
    EXPECT_EQ(resmanHashName("ab"), low | ((pair & 0xFF00) << 16));
}

TEST_F(ResmanTest, RegistrationFindsNamesAndTypes) {
    WritePcx("pic.pcx", 5);
    ResourceHandle *a = resmanRegister("pic.pcx", ResPcx2Palette);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(resmanRegister("\\pic.pcx", ResPcx2Palette), a);
    EXPECT_STREQ(a->name, "pic.pcx");
    EXPECT_EQ(a->size, PaletteBytes);
    EXPECT_EQ(a->loaderClass, 0u);
    // The same file as another type is another resource.
    ResourceHandle *r = resmanRegister("pic.pcx", ResPcx2Raster);
    EXPECT_NE(r, a);
    EXPECT_EQ(r->size, RasterHeaderBytes + 8);
    // Bitmap fonts always get a handle of their own.
    EXPECT_NE(resmanRegister("f.fnt", ResFnt2RFont), resmanRegister("f.fnt", ResFnt2RFont));
    EXPECT_EQ(resmanRegister(std::string(128, 'x').c_str(), ResPcx2Palette), nullptr);
    ResourceHandle *bg = resmanRegister("pic.pcx", ResPcx2BackRaster);
    EXPECT_EQ(bg->reloadNeeded, 255);
    EXPECT_EQ(bg->size, RasterHeaderBytes);
    for (uint32_t bad : {0u, 13u, 20u}) ExpectFatal([&] { resmanRegister("x", bad); });
}

TEST_F(ResmanTest, NamesWithEqualHashesStayApart) {
    // Anagrams share the character sum; find two whose pair byte agrees too.
    std::map<uint32_t, std::string> seen;
    std::string s = "abcdefg", x, y;
    do {
        auto [it, fresh] = seen.emplace(resmanHashName(s.c_str()), s);
        if (!fresh) {
            x = it->second;
            y = s;
            break;
        }
    } while (std::next_permutation(s.begin(), s.end()));
    ASSERT_FALSE(x.empty());
    ASSERT_EQ(resmanHashName(x.c_str()), resmanHashName(y.c_str()));
    EXPECT_NE(resmanRegister(x.c_str(), ResCm2ColourMap), resmanRegister(y.c_str(), ResCm2ColourMap));
}

TEST_F(ResmanTest, OutOfHandlesIsFatal) {
    for (int i = 0; i < ResourceHandleCount; ++i)
        ASSERT_NE(resmanRegister(("r" + std::to_string(i)).c_str(), ResCm2ColourMap), nullptr);
    ExpectFatal([] { resmanRegister("one more", ResCm2ColourMap); });
    ExpectFatal([] { resmanRegisterSized(0, 16); });
}

TEST_F(ResmanTest, LoadingConvertsOnceAndRetriesMissingFiles) {
    ResourceHandle *h = resmanRegister("later.pcx", ResPcx2Raster);
    EXPECT_EQ(resmanLoad(h), nullptr);  // "Could not find resource"
    EXPECT_EQ(h->data, nullptr);
    EXPECT_EQ(resmanLoad(nullptr), nullptr);

    WritePcx("pic.pcx", 7);
    ResourceHandle *p = resmanRegister("pic.pcx", ResPcx2Raster);
    Raster *r = static_cast<Raster *>(resmanLoad(p));
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->width, 4);
    EXPECT_EQ(r->pixels[7], 7);
    std::filesystem::remove("pic.pcx");
    EXPECT_EQ(resmanLoad(p), r);  // already loaded: the file is not needed

    ResourceHandle *pal = resmanRegisterLoad("pic2.pcx", ResPcx2Palette);
    EXPECT_EQ(pal->data, nullptr);
    WritePcx("pic2.pcx", 1);
    uint8_t *entries = static_cast<uint8_t *>(resmanLoad(pal));
    ASSERT_NE(entries, nullptr);
    EXPECT_EQ(entries[9 * 4 + 1], 255 - 9);

    // A type that no converter serves is fatal at load too.
    WritePcx("pic.pcx", 7);
    p->type = ResScr2Avt;
    p->data = nullptr;
    ExpectFatal([&] { resmanLoad(p); });
}

TEST_F(ResmanTest, BackgroundPicturesDecodeOncePerHolder) {
    WritePcx("a.pcx", 1, 8, 4);
    WritePcx("b.pcx", 2, 8, 4);
    ResourceHandle *a = resmanRegister("a.pcx", ResPcx2BackRaster);
    ResourceHandle *b = resmanRegister("b.pcx", ResPcx2BackRaster);
    Raster *ra = static_cast<Raster *>(resmanLoad(a));
    ASSERT_NE(ra, nullptr);
    EXPECT_EQ(ra->pixels, BackgroundRasterBuffer);
    EXPECT_EQ(ra->pitch, 8);
    EXPECT_EQ(BackgroundRasterBuffer[0], 1);
    WritePcx("a.pcx", 9, 8, 4);
    EXPECT_EQ(resmanLoad(a), ra);  // same holder: not decoded again
    EXPECT_EQ(BackgroundRasterBuffer[0], 1);
    resmanLoad(b);
    EXPECT_EQ(BackgroundRasterBuffer[0], 2);
    resmanLoad(a);
    EXPECT_EQ(BackgroundRasterBuffer[0], 9);

    // A picture larger than the buffer is cut to what the buffer holds.
    WritePcx("huge.pcx", 3, 2000, 1000);
    Raster *big = static_cast<Raster *>(resmanLoad(resmanRegister("huge.pcx", ResPcx2BackRaster)));
    ASSERT_NE(big, nullptr);
    EXPECT_LE(uint32_t(big->width) * big->height, BackgroundRasterBytes);
}

TEST_F(ResmanTest, MarkAndReleaseGiveBackHandlesAndMemory) {
    WritePcx("perm.pcx", 4);
    WritePcx("late.pcx", 5);
    WritePcx("mission.pcx", 6);
    ResourceHandle *perm = resmanRegisterLoad("perm.pcx", ResPcx2Raster);
    ResourceHandle *late = resmanRegister("late.pcx", ResPcx2Raster);  // registered now, loaded later
    ResourceHandle *bg = resmanRegisterLoad("perm.pcx", ResPcx2BackRaster);
    resmanMark();
    const int16_t count = RESMAN.count;
    uint8_t *top = RESMAN.poolTop;
    void *permData = perm->data;

    ResourceHandle *m = resmanRegisterLoad("mission.pcx", ResPcx2Raster);
    int32_t script = resmanScriptValue(m);
    EXPECT_EQ(resmanFromScript(script), m);
    ASSERT_NE(resmanLoad(late), nullptr);
    EXPECT_NE(resmanLoad(bg), nullptr);
    resmanRelease();

    EXPECT_EQ(RESMAN.count, count);
    EXPECT_EQ(RESMAN.poolTop, top);
    EXPECT_EQ(perm->data, permData);
    EXPECT_EQ(late->data, nullptr);  // its block was given back with the mission
    EXPECT_EQ(resmanFromScript(script), nullptr);
    ResourceHandle *next = resmanRegister("other.pcx", ResPcx2Palette);
    EXPECT_EQ(next, m);  // the slot is reused
    // The reused memory belongs to the new owner; the old one loads afresh.
    WritePcx("other.pcx", 0);
    resmanLoad(next);
    Raster *again = static_cast<Raster *>(resmanLoad(late));
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->pixels[0], 5);
    EXPECT_EQ(static_cast<uint8_t *>(next->data)[4 * 9 + 1], 255 - 9);
}

// The current palette never outlives its resource: the mission's goes with
// the release, a kept one stays, and none is left after the shutdown.
TEST_F(ResmanTest, CurrentPaletteGoesWithItsResource) {
    WritePcx("kept.pcx", 1);
    WritePcx("flight.pcx", 2);
    auto *kept = static_cast<const uint8_t *>(resmanLoad(resmanRegister("kept.pcx", ResPcx2Palette)));
    ASSERT_NE(kept, nullptr);
    resmanMark();
    CurrentPalette = static_cast<const uint8_t *>(resmanLoad(resmanRegister("flight.pcx", ResPcx2Palette)));
    ASSERT_NE(CurrentPalette, nullptr);
    resmanRelease();
    EXPECT_EQ(CurrentPalette, nullptr);
    CurrentPalette = kept;
    resmanRelease();
    EXPECT_EQ(CurrentPalette, kept);
    resmanShutdown();
    EXPECT_EQ(CurrentPalette, nullptr);
}

TEST_F(ResmanTest, PoolFitsExactlyWhenAllocationSucceeds) {
    ASSERT_NE(resmanPoolAlloc(ResourcePoolLimit - 8), nullptr);
    // 8 bytes are left, of which none may be the last: sizes 1..8 round to 8.
    for (uint32_t n : {0u, 1u, 3u, 4u, 5u, 8u, 9u}) {
        bool fits = resmanPoolFits(n);
        uint8_t *before = RESMAN.poolTop;
        void *block = resmanPoolAlloc(n);
        EXPECT_EQ(fits, block != nullptr) << n;
        RESMAN.poolTop = before;
    }
    EXPECT_EQ(resmanRegisterSized(0, 1), nullptr);  // no zero-fill of a null block
    resmanRelease();
    ResourceHandle *s = resmanRegisterSized(3, 10);
    ASSERT_NE(s, nullptr);
    EXPECT_STREQ(s->name, "Sized");
    EXPECT_EQ(s->locked, 255);
    EXPECT_EQ(static_cast<uint8_t *>(s->data)[9], 0);
    EXPECT_EQ(RESMAN.poolTop - RESMAN.poolBase, 16);  // blocks start on 8 bytes
}

TEST_F(ResmanTest, TextsFromSlabOrLooseFile) {
    WriteBytes("vek/resource/text.slb", SlabFile({{"\\a.txt", "from slab"}}));
    WriteBytes("vek/resource/frn_.slb", SlabFile({{"\\a.txt", "du slab"}}));
    WriteText("vek/resource/text/a.txt", "loose a, longer");
    WriteText("vek/resource/text/b.txt", "loose b");
    WriteText("vek/resource/frn_/b.txt", "b libre");

    ResourceHandle *a = resmanRegister("vek\\resource\\text\\a.txt", ResTxt2Txt);
    EXPECT_EQ(a->size, 10u);
    EXPECT_STREQ(static_cast<char *>(resmanLoad(a)), "from slab");
    ResourceHandle *b = resmanRegisterLoad("vek\\resource\\text\\b.txt", ResTxt2Txt);
    EXPECT_STREQ(static_cast<char *>(b->data), "loose b");
    EXPECT_EQ(b->size, 7u);

    gLanguage = 1;
    EXPECT_STREQ(static_cast<char *>(resmanRegisterLoad("vek\\resource\\frn_\\a.txt", ResTxt2Txt)->data), "du slab");
    EXPECT_STREQ(static_cast<char *>(resmanRegisterLoad("vek\\resource\\frn_\\b.txt", ResTxt2Txt)->data), "b libre");
    gLanguage = 0;

    optNoSlab = 0xFF;
    ResourceHandle *n = resmanRegister("vek\\resource\\text\\a.txt", ResTxt2Txt);
    EXPECT_EQ(n, a);  // already registered
    resmanUnload(a);
    EXPECT_EQ(a->data, nullptr);
    resmanRelease();
    ResourceHandle *fresh = resmanRegister("vek\\resource\\text\\a.txt", ResTxt2Txt);
    EXPECT_EQ(fresh->size, 16u);
    EXPECT_STREQ(static_cast<char *>(resmanLoad(fresh)), "loose a, longer");
}

TEST_F(ResmanTest, UnloadKeepsModelsAndSoundsAndLocks) {
    ResourceHandle *model = resmanRegister("m.lwo", ResLwo2Brm);
    ResourceHandle *sound = resmanRegister("s.wav", ResWav2Snd);
    ResourceHandle *map = resmanRegister("c.cm", ResCm2ColourMap);
    int token = 0;
    model->data = sound->data = map->data = &token;
    resmanUnload(model);
    resmanUnload(sound);
    resmanUnload(map);
    EXPECT_EQ(model->data, &token);
    EXPECT_EQ(sound->data, &token);
    EXPECT_EQ(map->data, nullptr);
    resmanLock(map);
    EXPECT_EQ(map->locked, 255);
    resmanUnlock(map);
    EXPECT_EQ(map->locked, 0);
    EXPECT_EQ(model->loaderClass, 6u);
    EXPECT_EQ(resmanFileExists("\\c.cm"), 0);
    WriteBytes("c.cm", std::vector<uint8_t>(ColourMapBytes, 3));
    EXPECT_EQ(resmanFileExists("\\c.cm"), 255);
    uint8_t *cube = static_cast<uint8_t *>(resmanLoad(map));
    ASSERT_NE(cube, nullptr);
    EXPECT_EQ(cube[65535], 3);
}

}  // namespace

namespace {

// The generated sample data loads through the resource manager.
TEST(ResmanSampleData, StartUpPicturesTextsAndColourCube) {
    const char *root = std::getenv("RUVO_DATA");
    if (!root) root = "data";
    std::string old = std::filesystem::current_path().string();
    std::filesystem::current_path(root);
    osFlushPathCache();
    ResetOptions();
    dunSeedRand15(1);
    ASSERT_NE(resmanInit(), 0u);

    uint8_t *pal = static_cast<uint8_t *>(resmanRegisterLoad("\\vek\\resource\\art\\tovstd.pcx", ResPcx2Palette)->data);
    ASSERT_NE(pal, nullptr);
    EXPECT_EQ(pal[255 * 4], 255);  // white at the top of the system colours
    Raster *screen = static_cast<Raster *>(resmanRegisterLoad("vek\\resource\\art\\loadscrn.pcx", ResPcx2Raster)->data);
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->width, 640);
    EXPECT_EQ(screen->height, 480);
    Raster *icon = static_cast<Raster *>(resmanRegisterLoad("vek\\resource\\art\\icons\\gsv_stc.bbm", ResLbm2Raster)->data);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->width, 15);
    EXPECT_EQ(icon->hotspotX, 7);
    EXPECT_EQ(icon->pixels[5 * 15 + 7], 251);
    uint8_t *cube = static_cast<uint8_t *>(resmanRegisterLoad("vek\\resource\\art\\tovstd.cm", ResCm2ColourMap)->data);
    ASSERT_NE(cube, nullptr);
    EXPECT_EQ(pal[cube[0xFFFF] * 4], 255);  // white maps to white
    char *text = static_cast<char *>(resmanRegisterLoad("vek\\resource\\text\\sample\\slabonly.txt", ResTxt2Txt)->data);
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "text slab only\r\n");

    std::vector<uint8_t> px(640 * 480 * 2);
    Raster r{};
    r.bytesPerPixel = 2;
    ASSERT_TRUE(pcxDecode("vek\\resource\\art\\loadscrn16.pcx", &r, nullptr, px.data(), px.size()));
    // The progress band's steel plate, light over the dark sky round it.
    const uint16_t band = uint16_t(px[(240 * 640 + 320) * 2] | px[(240 * 640 + 320) * 2 + 1] << 8);
    const uint16_t sky = uint16_t(px[(470 * 640 + 630) * 2] | px[(470 * 640 + 630) * 2 + 1] << 8);
    EXPECT_GE(band >> 11, 16);
    EXPECT_GE((band >> 5) & 63, 32);
    EXPECT_GE(band & 31, 16);
    EXPECT_LT((sky >> 5) & 63, 16);
    PcxImage *header = pcxLoad("vek\\resource\\art\\screens\\header.pcx");
    ASSERT_NE(header, nullptr);
    pcxFree(header);

    resmanShutdown();
    ResetOptions();
    std::filesystem::current_path(old);
    osFlushPathCache();
}

}  // namespace

TEST_F(ResmanTest, PoolBlocksStartOnEightBytes) {
    for (uint32_t n : {1u, 3u, 12u, 13u}) {
        auto at = reinterpret_cast<uintptr_t>(resmanPoolAlloc(n));
        ASSERT_NE(at, 0u);
        EXPECT_EQ(at % 8, 0u) << n;
    }
}
