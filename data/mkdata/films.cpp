// Sample films: Smacker files written by our own small writer (every frame a
// key frame of solid 4x4 blocks, uncompressed 8-bit sound), and the start-up
// films "intro.mpg" (MPEG-1 + MP2) and "intro.avi" made with the encoders of
// the film layer.
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "mkdata.h"
#include "os/film_write.h"

namespace {

// ---------------------------------------------------------------------------
// Bits are stored from the lowest bit of each byte up.
struct BitWriter {
    std::vector<uint8_t> bytes;
    int used = 0;
    void Bit(unsigned b) {
        if (used == 0) bytes.push_back(0);
        if (b) bytes.back() |= uint8_t(1u << used);
        used = (used + 1) & 7;
    }
    void Bits(uint32_t v, int n) {
        for (int i = 0; i < n; ++i) Bit((v >> i) & 1);
    }
    void Code(const std::vector<uint8_t> &path) {
        for (uint8_t b : path) Bit(b);
    }
};

// A balanced binary tree over `symbols`; `paths` receives each symbol's path
// (0 = first child). `leaf` writes a leaf's payload.
template <typename Leaf>
void WriteTree(BitWriter &w, const std::vector<uint32_t> &symbols, size_t lo, size_t hi, std::vector<uint8_t> &path,
               std::map<uint32_t, std::vector<uint8_t>> &paths, Leaf leaf) {
    if (hi - lo == 1) {
        w.Bit(0);
        paths[symbols[lo]] = path;
        leaf(symbols[lo]);
        return;
    }
    w.Bit(1);
    size_t mid = lo + (hi - lo) / 2;
    path.push_back(0);
    WriteTree(w, symbols, lo, mid, path, paths, leaf);
    path.back() = 1;
    WriteTree(w, symbols, mid, hi, path, paths, leaf);
    path.pop_back();
}

// Writes one of the 16-bit trees: a tree for the low bytes, one for the high
// bytes, three escape values no symbol uses, then the tree of whole values.
std::map<uint32_t, std::vector<uint8_t>> WriteBigTree(BitWriter &w, const std::vector<uint32_t> &values) {
    std::set<uint32_t> loSet, hiSet;
    for (uint32_t v : values) {
        loSet.insert(v & 0xFF);
        hiSet.insert(v >> 8);
    }
    std::map<uint32_t, std::vector<uint8_t>> loPaths, hiPaths, paths;
    std::vector<uint8_t> path;
    for (auto *set : {&loSet, &hiSet}) {
        std::vector<uint32_t> syms(set->begin(), set->end());
        w.Bit(1);
        WriteTree(w, syms, 0, syms.size(), path, set == &loSet ? loPaths : hiPaths, [&](uint32_t s) { w.Bits(s, 8); });
        w.Bit(0);
    }
    std::set<uint32_t> used(values.begin(), values.end());
    int escapes = 0;
    for (uint32_t e = 0xFFFF; escapes < 3; --e)
        if (!used.count(e)) {
            w.Bits(e, 16);
            ++escapes;
        }
    WriteTree(w, values, 0, values.size(), path, paths, [&](uint32_t s) {
        if (loSet.size() > 1) w.Code(loPaths[s & 0xFF]);
        if (hiSet.size() > 1) w.Code(hiPaths[s >> 8]);
    });
    w.Bit(0);
    return paths;
}

void Put32(std::vector<uint8_t> &b, uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(uint8_t(v >> (8 * i)));
}

const int kRuns[64] = {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16,  17,  18,  19,   20,   21, 22,
                       23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38,  39,  40,  41,   42,   43, 44,
                       45, 46, 47, 48, 49, 50, 51, 52, 53, 54, 55, 56, 57, 58, 59, 128, 256, 512, 1024, 2048};

struct SmkFilm {
    int width = 0, height = 0, msPerFrame = 100;
    std::vector<std::vector<uint8_t>> frames;              // width x height indices
    std::vector<std::vector<uint8_t>> palettes;            // 768 bytes, or empty: unchanged
    int audioRate = 0;                                     // 0: silent
    std::vector<std::vector<uint8_t>> audio;               // unsigned 8-bit mono per frame
};

// The block types of a frame: runs of solid 4x4 blocks ("fill" type 3).
std::vector<uint32_t> BlockCodes(const SmkFilm &f, const std::vector<uint8_t> &pixels) {
    int bw = f.width / 4, bh = f.height / 4, blocks = bw * bh;
    std::vector<uint32_t> codes;
    for (int b = 0; b < blocks;) {
        uint8_t colour = pixels[size_t((b / bw) * 4 * f.width + (b % bw) * 4)];
        int same = 1;
        while (b + same < blocks &&
               pixels[size_t(((b + same) / bw) * 4 * f.width + ((b + same) % bw) * 4)] == colour)
            ++same;
        int index = 0;
        for (int i = 63; i >= 0; --i)
            if (kRuns[i] <= same) {
                index = i;
                break;
            }
        codes.push_back(3u | uint32_t(index) << 2 | uint32_t(colour) << 8);
        b += kRuns[index];
    }
    return codes;
}

std::vector<uint8_t> WriteSmacker(const SmkFilm &f) {
    const int n = int(f.frames.size());
    std::vector<std::vector<uint32_t>> codes;
    std::set<uint32_t> all;
    for (const auto &fr : f.frames) {
        codes.push_back(BlockCodes(f, fr));
        all.insert(codes.back().begin(), codes.back().end());
    }
    std::vector<uint32_t> values(all.begin(), all.end());
    BitWriter trees;
    trees.Bit(0);  // no mono-block map tree
    trees.Bit(0);  // no mono-block colour tree
    trees.Bit(0);  // no full-block tree
    trees.Bit(1);
    auto paths = WriteBigTree(trees, values);
    while (trees.bytes.size() % 4) trees.bytes.push_back(0);
    uint32_t typeSize = uint32_t(values.size() * 2 + 8) * 4;

    std::vector<std::vector<uint8_t>> chunks;
    uint32_t maxAudio = 0;
    for (int i = 0; i < n; ++i) {
        std::vector<uint8_t> c;
        if (!f.palettes[size_t(i)].empty()) {
            const auto &p = f.palettes[size_t(i)];
            c.push_back(193);  // (1 + 768 + 3 padding) / 4
            for (int k = 0; k < 768; ++k) c.push_back(p[size_t(k)] >> 2);
            c.insert(c.end(), 3, 0);
        }
        if (f.audioRate) {
            const auto &a = f.audio[size_t(i)];
            Put32(c, uint32_t(a.size() + 4));
            c.insert(c.end(), a.begin(), a.end());
            maxAudio = std::max(maxAudio, uint32_t(a.size()));
        }
        BitWriter v;
        for (uint32_t code : codes[size_t(i)]) v.Code(paths[code]);
        v.Bits(0, 8);
        c.insert(c.end(), v.bytes.begin(), v.bytes.end());
        while (c.size() % 4) c.push_back(0);
        chunks.push_back(std::move(c));
    }

    std::vector<uint8_t> out{'S', 'M', 'K', '2'};
    Put32(out, uint32_t(f.width));
    Put32(out, uint32_t(f.height));
    Put32(out, uint32_t(n));
    Put32(out, uint32_t(f.msPerFrame));
    Put32(out, 0);  // flags
    for (int t = 0; t < 7; ++t) Put32(out, t == 0 && f.audioRate ? maxAudio + 64 : 0);
    Put32(out, uint32_t(trees.bytes.size()));
    Put32(out, 16);  // map tree size
    Put32(out, 16);  // colour tree size
    Put32(out, 16);  // full tree size
    Put32(out, typeSize);
    for (int t = 0; t < 7; ++t) Put32(out, t == 0 && f.audioRate ? (uint32_t(f.audioRate) | 0x40000000u) : 0);
    Put32(out, 0);
    for (const auto &c : chunks) Put32(out, uint32_t(c.size()) | 1);  // every frame a key frame
    for (int i = 0; i < n; ++i)
        out.push_back(uint8_t((f.palettes[size_t(i)].empty() ? 0 : 1) | (f.audioRate ? 2 : 0)));
    out.insert(out.end(), trees.bytes.begin(), trees.bytes.end());
    for (const auto &c : chunks) out.insert(out.end(), c.begin(), c.end());
    return out;
}

// A palette of ramps: 0-9 and 246-255 greys, the rest eight hue ramps.
std::vector<uint8_t> Palette(int shift) {
    std::vector<uint8_t> p(768);
    for (int i = 0; i < 256; ++i) {
        uint8_t r, g, b;
        if (i < 10 || i >= 246) {
            r = g = b = uint8_t(i < 10 ? i * 20 : (i - 246) * 25);
        } else {
            int ramp = ((i - 10) / 32 + shift) % 8, level = (i - 10) % 32;
            int v = level * 8 + 7;
            r = uint8_t(ramp & 1 ? v : v / 4);
            g = uint8_t(ramp & 2 ? v : v / 4);
            b = uint8_t(ramp & 4 ? v : v / 4);
        }
        p[size_t(3 * i)] = r;
        p[size_t(3 * i + 1)] = g;
        p[size_t(3 * i + 2)] = b;
    }
    return p;
}

// Bands that scroll with the frame number and a box that crosses the picture;
// every frame shows its number as a row of marker blocks at the top left.
SmkFilm MakeFilm(int w, int h, int frames, bool sound, bool paletteChange, uint32_t seed) {
    SmkFilm f;
    f.width = w;
    f.height = h;
    f.msPerFrame = 100;
    for (int i = 0; i < frames; ++i) {
        std::vector<uint8_t> px(size_t(w * h));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                int band = ((y / 16 + i + int(seed)) % 8);
                uint8_t c = uint8_t(10 + band * 32 + (x * 31) / std::max(1, w - 1));
                int bx = (i * (w - 32)) / std::max(1, frames - 1), by = h / 2 - 16;
                if (x >= bx && x < bx + 32 && y >= by && y < by + 32) c = 250;
                if (y < 4 && x < 4 * (i + 1) && x < w) c = 255;
                px[size_t(y * w + x)] = c;
            }
        f.frames.push_back(std::move(px));
        f.palettes.push_back(i == 0 || (paletteChange && i == frames / 2) ? Palette(i == 0 ? 0 : 3)
                                                                          : std::vector<uint8_t>{});
    }
    if (sound) {
        f.audioRate = 22050;
        for (int i = 0; i < frames; ++i) {
            std::vector<uint8_t> a(2205);
            for (size_t k = 0; k < a.size(); ++k) {
                double t = double(size_t(i) * a.size() + k) / 22050.0;
                a[k] = uint8_t(128 + 60 * std::sin(2 * M_PI * (220.0 + 40.0 * (seed % 5)) * t));
            }
            f.audio.push_back(std::move(a));
        }
    }
    return f;
}

// The film that plays as a mission comes up from the front end
// ("entry.smk"): the load screen's picture, its sky fading from dark
// blue to grey with the lighter band across it (320 x 240, shown doubled),
// and the tone of the others. The palette is the game's entries 10..235.
SmkFilm LoadScreenFilm(int frames, uint32_t seed) {
    SmkFilm f = MakeFilm(320, 240, frames, true, false, seed);
    std::vector<uint8_t> pal = Palette(0);
    constexpr int kSky = 224, kBand = 10 + kSky, kChecker = kBand + 1;
    for (int i = 0; i < kSky; ++i) {
        const int y = i * 479 / (kSky - 1);
        pal[size_t(3 * (10 + i))] = uint8_t(y * 96 / 479);
        pal[size_t(3 * (10 + i) + 1)] = uint8_t(y * 128 / 479);
        pal[size_t(3 * (10 + i) + 2)] = uint8_t(96 + y * 159 / 479);
    }
    const uint8_t band[3] = {220, 220, 220}, checker[3] = {255, 200, 0};
    for (int c = 0; c < 3; ++c) {
        pal[size_t(3 * kBand + c)] = band[c];
        pal[size_t(3 * kChecker + c)] = checker[c];
    }
    for (size_t i = 0; i < f.frames.size(); ++i) {
        std::vector<uint8_t> &px = f.frames[i];
        for (int y = 0; y < 240; ++y)
            for (int x = 0; x < 320; ++x) {
                const int X = 2 * x, Y = 2 * y;
                const bool inBand = Y >= 200 && Y < 280 && X >= 80 && X < 560;
                px[size_t(y) * 320 + x] = uint8_t(inBand ? (((X / 16 + Y / 16) & 1) ? kChecker : kBand)
                                                         : 10 + Y * (kSky - 1) / 479);
            }
        f.palettes[i] = i == 0 ? pal : std::vector<uint8_t>{};
    }
    return f;
}

bool WriteSmk(const mkdata::Context &ctx, const std::string &name, const SmkFilm &f) {
    std::vector<uint8_t> bytes = WriteSmacker(f);
    return mkdata::WriteFile(ctx, "vek/resource/video/" + name, bytes.data(), bytes.size());
}

// The start-up films: colour bars with a moving bar, and a tone.
void IntroPicture(int frame, uint8_t *rgb, int pitch, void *) {
    for (int y = 0; y < 288; ++y)
        for (int x = 0; x < 352; ++x) {
            uint8_t *p = rgb + y * pitch + 3 * x;
            int bar = x / 44;
            p[0] = uint8_t(bar & 1 ? 220 : 30);
            p[1] = uint8_t(bar & 2 ? 220 : 30);
            p[2] = uint8_t(bar & 4 ? 220 : 30);
            if (std::abs(y - (frame * 8) % 288) < 8) p[0] = p[1] = p[2] = 255;
        }
}

void IntroSound(int64_t first, int16_t *out, int count, void *) {
    for (int i = 0; i < count; ++i) out[i] = int16_t(8000 * std::sin(2 * M_PI * 440.0 * double(first + i) / 22050.0));
}

bool MakeFilms(const mkdata::Context &ctx) {
    // Full-screen films (320 wide: shown doubled) with sound.
    const char *const full[] = {"cmdsit.smk", "engsit.smk", "navsit.smk", "wepsit.smk", "entry.smk",
                                "out1.smk",   "out1frn.smk", "out1ger.smk", "out2.smk",  "out2frn.smk",
                                "out2ger.smk", "out3.smk",  "out3frn.smk", "out3ger.smk", "hyper.smk",
                                "hyper2.smk", "plasma.smk", "NAVArmIn.smk", "NAVArmOu.smk"};
    const auto comingUp = [](const std::string &name) { return name == "entry.smk"; };
    uint32_t seed = 0;
    for (const char *name : full) {
        const uint32_t s = seed++;
        if (!WriteSmk(ctx, name, comingUp(name) ? LoadScreenFilm(12, s) : MakeFilm(320, 240, 12, true, false, s)))
            return false;
    }
    // Not 320 wide: shown centred and unscaled.
    if (!WriteSmk(ctx, "reentry1.smk", MakeFilm(256, 192, 10, true, true, seed++))) return false;
    // Station views and their turns, played inside window rectangles.
    const char *const station[] = {
        "cmdstd.smk", "cmdlft.smk", "cmdrgt.smk", "cmdlftb.smk", "cmdrgtb.smk", "engstd.smk", "englft.smk",
        "engrgt.smk", "englftb.smk", "engrgtb.smk", "navstd.smk", "navlft.smk", "navrgt.smk", "navlftb.smk",
        "navrgtb.smk", "wepstd.smk", "weplft.smk", "weprgt.smk", "weplftb.smk", "weprgtb.smk", "CmdLft1.smk",
        "CmdLft3.smk", "CmdRgt1.smk", "CmdRgt3.smk", "CmdStd1.smk", "CmdStd2.smk", "CmdStd3.smk", "EngLft1.smk",
        "EngLft3.smk", "EngRgt1.smk", "EngRgt3.smk", "EngStd1.smk", "EngStd3.smk", "NavLft1.smk", "NavLft3.smk",
        "NavRgt1.smk", "NavRgt3.smk", "NavStd1.smk", "NavStd3.smk", "WepLft1.smk", "WepLft3.smk", "WepRgt1.smk",
        "WepRgt3.smk", "WepStd1.smk", "WepStd3.smk", "abpulse.smk"};
    for (const char *name : station)
        if (!WriteSmk(ctx, name, MakeFilm(160, 120, 8, false, false, seed++))) return false;
    // Front-end clips, 140 pixels wide.
    const char *const front[] = {"Facl.smk", "Faop.smk", "Fcchp.smk", "Fcflm.smk", "Fcr.smk", "Fcredits.smk",
                                 "Fhcl.smk", "Fhop.smk", "Fochp.smk", "Foflm.smk", "Frdwn.smk", "Fros.smk",
                                 "Frosstat.smk", "Frup.smk", "Fspn.smk"};
    for (const char *name : front)
        if (!WriteSmk(ctx, name, MakeFilm(140, 104, 6, false, false, seed++))) return false;

    // The library's film, in each language's documents folder.
    const SmkFilm patrol = MakeFilm(160, 120, 8, false, false, seed++);
    for (const char *folder : {"text", "frn_", "ger_"}) {
        const std::vector<uint8_t> bytes = WriteSmacker(patrol);
        if (!mkdata::WriteFile(ctx, std::string("vek/resource/") + folder + "/docs/patrol.smk", bytes.data(), bytes.size()))
            return false;
    }

    // The first mission's briefing film, played in the command station's view.
    if (!WriteSmk(ctx, "brief01.smk", MakeFilm(160, 120, 20, false, false, seed++))) return false;

    std::string mpg = mkdata::OutPath(ctx, "vek/resource/video/intro.mpg");
    if (!osFilmWrite(mpg.c_str(), "mpeg", 352, 288, 25, 30, 22050, IntroPicture, IntroSound, nullptr)) return false;
    std::string avi = mkdata::OutPath(ctx, "intro.avi");
    return osFilmWrite(avi.c_str(), "avi", 352, 288, 15, 15, 22050, IntroPicture, IntroSound, nullptr);
}

mkdata::Generator gFilms("41-films", MakeFilms);

}  // namespace
