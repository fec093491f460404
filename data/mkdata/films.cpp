// Sample films: Smacker files written by our own small writer (every frame a
// key frame of solid 4x4 blocks, uncompressed 8-bit sound), and the start-up
// films "intro.mpg" (MPEG-1 + MP2) and "intro.avi" made with the encoders of
// the film layer.
#include <array>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "mkdata.h"
#include "scenes.h"
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
    bool detailed = false;                                 // full blocks where a block has detail
    std::vector<std::vector<uint8_t>> audio;               // unsigned 8-bit mono per frame
};

// The codes of a frame, in stream order: runs of solid 4x4 blocks ("fill"
// type 3) and, in a detailed film, single "full" blocks (type 1) for the
// blocks of more than one colour, each followed by its eight pixel pairs
// (per row the right pair, then the left one; the second pixel in the high
// byte).
struct FrameCode {
    bool full;  // a pixel pair of the full-block tree, else a block type
    uint32_t value;
};

bool Uniform(const SmkFilm &f, const std::vector<uint8_t> &pixels, int b) {
    const int bw = f.width / 4;
    const size_t at = size_t((b / bw) * 4 * f.width + (b % bw) * 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            if (pixels[at + size_t(y * f.width + x)] != pixels[at]) return false;
    return true;
}

std::vector<FrameCode> BlockCodes(const SmkFilm &f, const std::vector<uint8_t> &pixels) {
    int bw = f.width / 4, bh = f.height / 4, blocks = bw * bh;
    std::vector<FrameCode> codes;
    auto first = [&](int b) { return pixels[size_t((b / bw) * 4 * f.width + (b % bw) * 4)]; };
    for (int b = 0; b < blocks;) {
        if (f.detailed && !Uniform(f, pixels, b)) {
            codes.push_back({false, 1u});
            const size_t at = size_t((b / bw) * 4 * f.width + (b % bw) * 4);
            for (int y = 0; y < 4; ++y) {
                const uint8_t *row = &pixels[at + size_t(y * f.width)];
                codes.push_back({true, uint32_t(row[2]) | uint32_t(row[3]) << 8});
                codes.push_back({true, uint32_t(row[0]) | uint32_t(row[1]) << 8});
            }
            ++b;
            continue;
        }
        uint8_t colour = first(b);
        int same = 1;
        while (b + same < blocks && first(b + same) == colour && (!f.detailed || Uniform(f, pixels, b + same))) ++same;
        int index = 0;
        for (int i = 63; i >= 0; --i)
            if (kRuns[i] <= same) {
                index = i;
                break;
            }
        codes.push_back({false, 3u | uint32_t(index) << 2 | uint32_t(colour) << 8});
        b += kRuns[index];
    }
    return codes;
}

std::vector<uint8_t> WriteSmacker(const SmkFilm &f) {
    const int n = int(f.frames.size());
    std::vector<std::vector<FrameCode>> codes;
    std::set<uint32_t> types, pairs;
    for (const auto &fr : f.frames) {
        codes.push_back(BlockCodes(f, fr));
        for (const FrameCode &c : codes.back()) (c.full ? pairs : types).insert(c.value);
    }
    std::vector<uint32_t> values(types.begin(), types.end()), fullValues(pairs.begin(), pairs.end());
    BitWriter trees;
    trees.Bit(0);  // no mono-block map tree
    trees.Bit(0);  // no mono-block colour tree
    std::map<uint32_t, std::vector<uint8_t>> fullPaths;
    trees.Bit(fullValues.empty() ? 0 : 1);
    if (!fullValues.empty()) fullPaths = WriteBigTree(trees, fullValues);
    trees.Bit(1);
    auto paths = WriteBigTree(trees, values);
    while (trees.bytes.size() % 4) trees.bytes.push_back(0);
    uint32_t typeSize = uint32_t(values.size() * 2 + 8) * 4;
    uint32_t fullSize = fullValues.empty() ? 16 : uint32_t(fullValues.size() * 2 + 8) * 4;
    // Every value is 16 bits: index the paths directly, as a detailed film
    // looks up tens of thousands of them.
    std::vector<const std::vector<uint8_t> *> typeIndex(65536), fullIndex(65536);
    for (const auto &[value, path] : paths) typeIndex[value] = &path;
    for (const auto &[value, path] : fullPaths) fullIndex[value] = &path;

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
        for (const FrameCode &code : codes[size_t(i)]) v.Code(*(code.full ? fullIndex : typeIndex)[code.value]);
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
    Put32(out, fullSize);  // full tree size
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

// A film of space scenes in the game palette: the sky and the planet once,
// and over them the shapes of each frame drawn by the rendering library.
// `paint` adds the frame's own light (a flash, streaks) before the ships.
using ScenePoses = std::function<std::vector<mkdata::ShipPose>(int frame, int frames)>;
using SceneLight = std::function<void(mkdata::Canvas &c, int frame, int frames)>;

SmkFilm SceneFilm(int w, int h, int frames, const mkdata::Canvas &base, const ScenePoses &poses,
                  const SceneLight &paint = nullptr) {
    SmkFilm f;
    f.width = w;
    f.height = h;
    f.msPerFrame = 100;
    f.detailed = true;
    uint8_t pal[1024];
    mkdata::GamePalette(pal);
    std::vector<uint8_t> p768(768);
    for (int i = 0; i < 256; ++i) std::memcpy(&p768[size_t(i) * 3], pal + i * 4, 3);
    const float light[3] = {-0.6f, 0.5f, 0.45f};
    for (int i = 0; i < frames; ++i) {
        mkdata::Canvas c = base;
        if (paint) paint(c, i, frames);
        mkdata::DrawShips(c, poses(i, frames), 40, light);
        f.frames.push_back(mkdata::ToGamePalette(c, pal));
        f.palettes.push_back(i == 0 ? p768 : std::vector<uint8_t>{});
    }
    return f;
}

const lwob::Object &Shape(const char *name) {
    static std::map<std::string, lwob::Object> shapes;
    auto it = shapes.find(name);
    if (it == shapes.end()) it = shapes.emplace(name, mkdata::SampleShape(name)).first;
    return it->second;
}

// A sky with a planet, for a film of the given size; `look` picks one of
// a few.
mkdata::Canvas FilmBase(int w, int h, int look) {
    mkdata::Canvas c(w, h);
    const float tints[4][2][3] = {{{70, 40, 130}, {200, 90, 160}},
                                  {{30, 60, 140}, {90, 170, 230}},
                                  {{120, 50, 40}, {240, 150, 80}},
                                  {{40, 90, 80}, {120, 220, 180}}};
    const auto &t = tints[look % 4];
    mkdata::SkyLook sky = {uint32_t(11 + look), {t[0][0], t[0][1], t[0][2]}, {t[1][0], t[1][1], t[1][2]}, 0.8f, 18};
    mkdata::PaintSky(c, sky);
    const float s = float(w) / 140.0f;
    static const mkdata::PlanetKind kinds[4] = {mkdata::PlanetKind::Earth, mkdata::PlanetKind::Gas,
                                                mkdata::PlanetKind::Rock, mkdata::PlanetKind::Ice};
    mkdata::PaintPlanet(c, {float(w) * (look % 2 ? 0.25f : 0.75f), float(h) * 0.95f, 60 * s, -0.6f, 0.5f, 0.45f,
                            kinds[look % 4], uint32_t(look)});
    return c;
}

// A ship passing the camera from one side to the other, turning as it goes.
ScenePoses Pass(const char *shape, float fromX, float toX, float z, float yaw0, float yaw1) {
    const lwob::Object *o = &Shape(shape);
    return [=](int i, int n) {
        const float t = n > 1 ? float(i) / float(n - 1) : 0;
        return std::vector<mkdata::ShipPose>{
            {o, fromX + (toX - fromX) * t, -4 + 8 * t, z, yaw0 + (yaw1 - yaw0) * t, 10, -15 + 25 * t}};
    };
}

// The jump: stars drawn out into streaks from the middle and a white flash
// that swells through the film.
void JumpLight(mkdata::Canvas &c, int i, int n) {
    const float t = n > 1 ? float(i) / float(n - 1) : 0;
    uint32_t state = 99;
    for (int k = 0; k < 160; ++k) {
        state = state * 1664525u + 1013904223u;
        const float angle = float(state >> 8) / float(1u << 24) * 6.2831853f;
        state = state * 1664525u + 1013904223u;
        const float r0 = float(state >> 8) / float(1u << 24) * float(c.w) * 0.5f;
        const float length = r0 * t * 1.5f + 2;
        for (float r = r0; r < r0 + length; r += 0.5f) {
            const float fade = 1 - (r - r0) / length;
            c.Add(int(float(c.w) / 2 + std::cos(angle) * r), int(float(c.h) / 2 + std::sin(angle) * r),
                  120 * fade, 160 * fade, 255 * fade);
        }
    }
    const float colour[3] = {180, 200, 255};
    mkdata::PaintGlare(c, float(c.w) / 2, float(c.h) / 2, float(c.w) * 0.02f + float(c.w) * 0.12f * t * t, colour,
                       0.3f + 1.2f * t);
}

// The plasma ball: a green-white glare that swells and fades in the middle.
void PlasmaLight(mkdata::Canvas &c, int i, int n) {
    const float t = n > 1 ? float(i) / float(n - 1) : 0;
    const float colour[3] = {120, 255, 160};
    mkdata::PaintGlare(c, float(c.w) * 0.5f, float(c.h) * 0.45f, float(c.w) * (0.02f + 0.05f * std::sin(t * 3.14159f)),
                       colour, 0.4f + std::sin(t * 3.14159f));
}

bool WriteSmk(const mkdata::Context &ctx, const std::string &name, const SmkFilm &f) {
    std::vector<uint8_t> bytes = WriteSmacker(f);
    return mkdata::WriteFile(ctx, "vek/resource/video/" + name, bytes.data(), bytes.size());
}

// The start-up films: the corvette and its wingman sweep past a blue world
// towards the station, rendered once a frame; and a tone.
struct IntroFrames {
    std::vector<std::vector<uint8_t>> rgb;  // 352 x 288 x 3 a frame
};

IntroFrames MakeIntroFrames(int frames) {
    IntroFrames out;
    const mkdata::Canvas base = FilmBase(352, 288, 0);
    const lwob::Object *corvette = &Shape("corvette"), *station = &Shape("station");
    const float light[3] = {-0.6f, 0.5f, 0.45f};
    for (int i = 0; i < frames; ++i) {
        const float t = frames > 1 ? float(i) / float(frames - 1) : 0;
        mkdata::Canvas c = base;
        mkdata::DrawShips(c,
                          {{station, 80, 30, -900, 10 + 20 * t, 20, 5},
                           {corvette, -50 + 90 * t, -10 + 6 * t, -110 + 20 * t, 230 + 40 * t, 10, -20 + 20 * t},
                           {corvette, -80 + 90 * t, -2 + 6 * t, -170 + 20 * t, 235 + 40 * t, 8, -15 + 20 * t}},
                          40, light);
        out.rgb.push_back(mkdata::ToRgb(c));
    }
    return out;
}

void IntroPicture(int frame, uint8_t *rgb, int pitch, void *user) {
    const IntroFrames &frames = *static_cast<const IntroFrames *>(user);
    const std::vector<uint8_t> &f = frames.rgb[size_t(frame) % frames.rgb.size()];
    for (int y = 0; y < 288; ++y) std::memcpy(rgb + y * pitch, &f[size_t(y) * 352 * 3], 352 * 3);
}

void IntroSound(int64_t first, int16_t *out, int count, void *) {
    for (int i = 0; i < count; ++i) out[i] = int16_t(8000 * std::sin(2 * M_PI * 440.0 * double(first + i) / 22050.0));
}

// The picture of a full-screen film: a scene of its own for each of the
// films a player sees.
SmkFilm ScenePicture(const std::string &key) {
    if (key == "hyper" || key == "hyper2")
        // The jump: the corvette ahead as space draws out round it.
        return SceneFilm(320, 240, 12, FilmBase(320, 240, key == "hyper" ? 1 : 3),
                         Pass("corvette", 0, 0, -60, 180, 180), JumpLight);
    if (key == "plasma")
        return SceneFilm(320, 240, 12, FilmBase(320, 240, 2), Pass("raider", 20, -20, -90, 100, 160), PlasmaLight);
    if (key == "entry")  // coming up to the mission: the station ahead
        return SceneFilm(320, 240, 12, FilmBase(320, 240, 1), Pass("station", -6, 6, -500, 0, 30));
    if (key == "out1")  // a success: the corvette flies home past the world
        return SceneFilm(320, 240, 12, FilmBase(320, 240, 0), Pass("corvette", -40, 40, -80, 230, 300));
    if (key == "out2")  // a failure: the raider goes by
        return SceneFilm(320, 240, 12, FilmBase(320, 240, 2), Pass("raider", 40, -40, -70, 60, 130));
    if (key == "out3") return SceneFilm(320, 240, 12, FilmBase(320, 240, 3), Pass("corvette", 0, 0, -90, 0, 180));
    if (key == "NAVArm") return SceneFilm(320, 240, 12, FilmBase(320, 240, 3), Pass("corvette", 0, 0, -75, 120, 240));
    // The stations' sit-down films: the view out of the bridge.
    return SceneFilm(320, 240, 12, FilmBase(320, 240, 1), Pass("station", -10, 10, -600, 20, 60));
}

bool MakeFilms(const mkdata::Context &ctx) {
    // Full-screen films (320 wide: shown doubled) with sound.
    const char *const full[] = {"cmdsit.smk",  "engsit.smk",  "navsit.smk",   "wepsit.smk",  "entry.smk",
                                "out1.smk",    "out1frn.smk", "out1ger.smk",  "out2.smk",    "out2frn.smk",
                                "out2ger.smk", "out3.smk",    "out3frn.smk",  "out3ger.smk", "hyper.smk",
                                "hyper2.smk",  "plasma.smk",  "NAVArmIn.smk", "NAVArmOu.smk"};
    uint32_t seed = 0;
    // Scenes rendered once and shared by the films that show the same view
    // (the three languages' endings, the stations' sit-down films).
    // Encoded once too, with the sound of the first film that shows it.
    std::map<std::string, std::vector<uint8_t>> scenes;
    const auto scene = [&](const std::string &key,
                           const std::function<SmkFilm()> &make) -> const std::vector<uint8_t> & {
        auto it = scenes.find(key);
        if (it == scenes.end()) it = scenes.emplace(key, WriteSmacker(make())).first;
        return it->second;
    };
    const auto write = [&](const std::string &name, const std::vector<uint8_t> &bytes) {
        return mkdata::WriteFile(ctx, "vek/resource/video/" + name, bytes.data(), bytes.size());
    };
    for (const char *name : full) {
        const uint32_t s = seed++;
        const std::string n = name;
        // The video tests count the frame markers of a test card of this
        // size: it is written under a name of its own that no screen plays.
        // The films a player sees are scenes with the card's tone.
        if (n == "cmdsit.smk" && !WriteSmk(ctx, "card320.smk", MakeFilm(320, 240, 12, true, false, s))) return false;
        std::string key = n.substr(0, n.size() - 4);
        if (key.size() == 7 && key.compare(0, 3, "out") == 0) key = key.substr(0, 4);  // out1frn: out1
        if (key.size() == 6 && key.compare(3, 3, "sit") == 0) key = "sit";  // one bridge view
        if (key.compare(0, 6, "NAVArm") == 0) key = "NAVArm";
        const std::vector<uint8_t> &bytes = scene(key, [&]() -> SmkFilm {
            SmkFilm out = ScenePicture(key);
            const SmkFilm tone = MakeFilm(320, 240, 12, true, false, s);
            out.audioRate = tone.audioRate;
            out.audio = tone.audio;
            return out;
        });
        if (!write(name, bytes)) return false;
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
    // Test cards of the clips' size for the video tests, as above.
    const std::map<std::string, std::string> cards = {{"CmdStd1.smk", "card160a.smk"},
                                                      {"CmdStd2.smk", "card160b.smk"},
                                                      {"CmdStd3.smk", "card160c.smk"},
                                                      {"CmdLft1.smk", "card160d.smk"}};
    for (const char *name : station) {
        if (cards.count(name) && !WriteSmk(ctx, cards.at(name), MakeFilm(160, 120, 8, false, false, seed)))
            return false;
        // One view a station (its first three letters, folded), out of the
        // window it plays in.
        std::string key = std::string(name).substr(0, 3);
        for (char &ch : key) ch = char(std::tolower(static_cast<unsigned char>(ch)));
        const int look = key == "cmd" ? 0 : key == "eng" ? 1 : key == "nav" ? 2 : key == "wep" ? 3 : 1;
        const std::vector<uint8_t> &film = scene("station-" + key, [&] {
            return SceneFilm(
                160, 120, 8, FilmBase(160, 120, look),
                look % 2 ? Pass("raider", 20, -20, -70, 60, 120) : Pass("corvette", -20, 20, -80, 230, 280));
        });
        if (!write(name, film)) return false;
        ++seed;
    }
    // Front-end clips, 140 pixels wide.
    const char *const front[] = {"Facl.smk", "Faop.smk", "Fcchp.smk", "Fcflm.smk", "Fcr.smk", "Fcredits.smk",
                                 "Fhcl.smk", "Fhop.smk", "Fochp.smk", "Foflm.smk", "Frdwn.smk", "Fros.smk",
                                 "Frosstat.smk", "Frup.smk", "Fspn.smk"};
    int look = 0;
    for (const char *name : front) {
        const std::string n = name;
        // The loops run longer than the turns between pages; each shows a
        // ship or the station against a world of its own.
        const bool loop = n == "Fspn.smk" || n == "Frosstat.smk" || n == "Fcredits.smk";
        const mkdata::Canvas base = FilmBase(140, 104, look);
        ScenePoses poses = n == "Frosstat.smk" ? Pass("raider", 0, 0, -40, 60, 420)
                           : n == "Fcredits.smk" ? Pass("station", 0, 0, -420, 0, 90)
                           : look % 2        ? Pass("corvette", 30, -30, -70, 70, 140)
                                             : Pass("corvette", -30, 30, -70, 230, 290);
        if (!WriteSmk(ctx, name, SceneFilm(140, 104, loop ? 16 : 6, base, poses))) return false;
        ++look;
        ++seed;
    }

    // The library's film, in each language's documents folder.
    const SmkFilm patrol = SceneFilm(160, 120, 8, FilmBase(160, 120, 0), Pass("corvette", -25, 25, -75, 230, 290));
    ++seed;
    for (const char *folder : {"text", "frn_", "ger_"}) {
        const std::vector<uint8_t> bytes = WriteSmacker(patrol);
        if (!mkdata::WriteFile(ctx, std::string("vek/resource/") + folder + "/docs/patrol.smk", bytes.data(), bytes.size()))
            return false;
    }

    // The first mission's briefing film, played in the command station's view.
    if (!WriteSmk(ctx, "brief01.smk",
                  SceneFilm(160, 120, 20, FilmBase(160, 120, 2), Pass("raider", 30, -30, -70, 40, 140))))
        return false;
    ++seed;

    std::string mpg = mkdata::OutPath(ctx, "vek/resource/video/intro.mpg");
    IntroFrames intro = MakeIntroFrames(30);
    if (!osFilmWrite(mpg.c_str(), "mpeg", 352, 288, 25, 30, 22050, IntroPicture, IntroSound, &intro)) return false;
    // The shorter film takes every other frame.
    IntroFrames half;
    for (size_t i = 0; i < intro.rgb.size(); i += 2) half.rgb.push_back(intro.rgb[i]);
    std::string avi = mkdata::OutPath(ctx, "intro.avi");
    return osFilmWrite(avi.c_str(), "avi", 352, 288, 15, 15, 22050, IntroPicture, IntroSound, &half);
}

mkdata::Generator gFilms("41-films", MakeFilms);

}  // namespace
