// The three built-in fonts. All are drawn from one small 3 by 5 design:
// the fixed font uses it as it is, the 4 by 6 font packs it to each
// character's width, and the 7 by 9 font doubles its columns and stretches
// its rows.
#include <array>

#include "render/pmap/pixelmap.h"

namespace {

// Rows of each glyph from character 32 to 126, one octal digit per row
// (4: left pixel, 2: middle, 1: right). Lower case uses the capitals.
constexpr const char *kDesign[95] = {
    "00000", "22202", "55000", "57575", "36236", "51245", "25257", "22000", // space ! " # $ % & '
    "12221", "42224", "05250", "02720", "00024", "00700", "00002", "11244", // ( ) * + , - . /
    "75557", "26227", "71747", "71717", "55711", "74717", "74757", "71111", // 0-7
    "75757", "75717", "02020", "02024", "12421", "07070", "42124", "71202", // 8 9 : ; < = > ?
    "75747", "25755", "65656", "34443", "65556", "74647", "74644", "34553", // @ A-G
    "55755", "72227", "11153", "55655", "44447", "57755", "65555", "25552", // H-O
    "65644", "25573", "65655", "34216", "72222", "55557", "55552", "55775", // P-W
    "55255", "55222", "71247", "64446", "44211", "32223", "25000", "00007", // X Y Z [ \ ] ^ _
    "42000", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, // ` a-g
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, // h-o
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, // p-w
    nullptr, nullptr, nullptr, "32623", "22222", "62326", "03600",          // x y z { | } ~
};

constexpr const char *designOf(int c) {
    if (c >= 'a' && c <= 'z')
        c -= 'a' - 'A';
    if (c < 32 || c > 126)
        return "00000";
    return kDesign[c - 32];
}

constexpr int rowBits(const char *d, int r) { return d[r] - '0'; }

// First and last used column (0..2) of a design; -1 when blank.
constexpr int firstColumn(const char *d) {
    int bits = 0;
    for (int r = 0; r < 5; r++)
        bits |= rowBits(d, r);
    return bits & 4 ? 0 : bits & 2 ? 1 : bits & 1 ? 2 : -1;
}
constexpr int lastColumn(const char *d) {
    int bits = 0;
    for (int r = 0; r < 5; r++)
        bits |= rowBits(d, r);
    return bits & 1 ? 2 : bits & 2 ? 1 : bits & 4 ? 0 : -1;
}

// Every character's glyph is height rows of one byte.
template <int Height> struct FontTables {
    std::array<vt_int_8, 256> width{};
    std::array<vt_uint_16, 256> encoding{};
    std::array<vt_uint_8, 256 * Height> glyphs{};
};

constexpr FontTables<5> makeFixed3x5() {
    FontTables<5> t{};
    for (int c = 0; c < 256; c++) {
        const char *d = designOf(c);
        t.encoding[c] = vt_uint_16(c * 5);
        t.width[c] = 3;
        for (int r = 0; r < 5; r++)
            t.glyphs[c * 5 + r] = vt_uint_8(rowBits(d, r) << 5);
    }
    return t;
}

constexpr FontTables<6> makeProp4x6() {
    FontTables<6> t{};
    for (int c = 0; c < 256; c++) {
        const char *d = designOf(c);
        const int first = firstColumn(d), last = lastColumn(d);
        t.encoding[c] = vt_uint_16(c * 6);
        t.width[c] = vt_int_8(first < 0 ? 2 : last - first + 1);
        for (int r = 0; r < 5; r++)
            t.glyphs[c * 6 + r] = vt_uint_8((rowBits(d, r) << 5) << (first < 0 ? 0 : first));
    }
    return t;
}

constexpr FontTables<9> makeProp7x9() {
    // Source row of each of the nine rows: the middle row stays single.
    constexpr int rowOf[9] = {0, 0, 1, 1, 2, 3, 3, 4, 4};
    FontTables<9> t{};
    for (int c = 0; c < 256; c++) {
        const char *d = designOf(c);
        const int first = firstColumn(d), last = lastColumn(d);
        t.encoding[c] = vt_uint_16(c * 9);
        t.width[c] = vt_int_8(first < 0 ? 4 : 2 * (last - first + 1));
        for (int r = 0; r < 9; r++) {
            const int bits = rowBits(d, rowOf[r]) << (first < 0 ? 0 : first);
            int out = 0;
            for (int col = 0; col < 3; col++)
                if (bits & (4 >> col))
                    out |= 0xC0 >> (2 * col);
            t.glyphs[c * 9 + r] = vt_uint_8(out);
        }
    }
    return t;
}

constexpr FontTables<5> fixed3x5 = makeFixed3x5();
constexpr FontTables<6> prop4x6 = makeProp4x6();
constexpr FontTables<9> prop7x9 = makeProp7x9();

vt_font font3x5 = {0, 3, 5, 4, 6, nullptr, fixed3x5.encoding.data(), fixed3x5.glyphs.data()};
vt_font font4x6 = {VT_FONTF_PROPORTIONAL, 4, 6, 5, 7, prop4x6.width.data(), prop4x6.encoding.data(),
                   prop4x6.glyphs.data()};
vt_font font7x9 = {VT_FONTF_PROPORTIONAL, 7, 9, 8, 10, prop7x9.width.data(), prop7x9.encoding.data(),
                   prop7x9.glyphs.data()};

} // namespace

vt_font *VtFontProp7x9 = &font7x9;
vt_font *VtFontProp4x6 = &font4x6;
vt_font *VtFontFixed3x5 = &font3x5;
