#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "common/temp_dir.h"
#include "render/file/datafile.h"
#include "render/tokens/token.h"
#include "vt_fixture.h"

using namespace vttest;

namespace {

class VtDatafile : public VtTest {
protected:
    ruvotest::TempDir dir;
};

struct Sub {
    vt_int_32 a;
    vt_colour c;
};

// Generic members take 4 bytes a scalar whichever type they resolve to.
struct All {
    vt_int_8 i8;
    vt_uint_8 u8;
    vt_int_16 i16;
    vt_uint_16 u16;
    vt_int_32 i32;
    vt_uint_32 u32;
    vt_fixed x;
    vt_angle an;
    vt_float f;
    double d;
    vt_uint_32 s;  // scalar
    vt_uint_32 fr; // fraction: int_16 (fixed) or float
    vt_uint_32 uf; // ufraction
    vt_int_8 e8;
    vt_int_16 e16;
    vt_int_32 e32;
    Sub st;
    char *str;
    char *nul;
    vt_colour col;
    vt_uint_32 v2[2], v3[3], v4[4];
    vt_int_16 ff;
    vt_uint_16 fuf;
    vt_float flf, fluf;
    vt_fixed xv2[2], xv3[3], xv4[4];
    vt_float fv2[2], fv3[3], fv4[4];
};

const vt_file_enum_member kColours[] = {{-1, "BLACK"}, {7, "WHITE"}, {300, "GREY"}};
const vt_file_enum kColourEnum = {DF_COUNT(kColours), kColours};

const vt_file_struct_member kSubMembers[] = {DF_MEMBER(INT_32, Sub, a), DF_MEMBER(COLOUR, Sub, c)};
const vt_file_struct kSub = {"sub", DF_COUNT(kSubMembers), kSubMembers, sizeof(Sub)};

const vt_file_struct_member kAllMembers[] = {
    DF_MEMBER(INT_8, All, i8),         DF_MEMBER(UINT_8, All, u8),     DF_MEMBER(INT_16, All, i16),
    DF_MEMBER(UINT_16, All, u16),      DF_MEMBER(INT_32, All, i32),    DF_MEMBER(UINT_32, All, u32),
    DF_MEMBER(FIXED, All, x),          DF_MEMBER(ANGLE, All, an),      DF_MEMBER(FLOAT, All, f),
    DF_MEMBER(DOUBLE, All, d),         DF_MEMBER(SCALAR, All, s),      DF_MEMBER(FRACTION, All, fr),
    DF_MEMBER(UFRACTION, All, uf),     DF_MEMBER_X(ENUM_8, All, e8, &kColourEnum),
    DF_MEMBER_X(ENUM_16, All, e16, &kColourEnum), DF_MEMBER_X(ENUM_32, All, e32, &kColourEnum),
    DF_MEMBER_X(STRUCT, All, st, &kSub), DF_MEMBER(ASCIZ, All, str),   {DF_TYPE_ASCIZ, offsetof(All, nul), nullptr, nullptr},
    DF_MEMBER(COLOUR, All, col),       DF_MEMBER(VECTOR2, All, v2),    DF_MEMBER(VECTOR3, All, v3),
    DF_MEMBER(VECTOR4, All, v4),       DF_MEMBER(FIXED_FRACTION, All, ff), DF_MEMBER(FIXED_UFRACTION, All, fuf),
    DF_MEMBER(FLOAT_FRACTION, All, flf), DF_MEMBER(FLOAT_UFRACTION, All, fluf),
    DF_MEMBER(FIXED_VECTOR2, All, xv2), DF_MEMBER(FIXED_VECTOR3, All, xv3), DF_MEMBER(FIXED_VECTOR4, All, xv4),
    DF_MEMBER(FLOAT_VECTOR2, All, fv2), DF_MEMBER(FLOAT_VECTOR3, All, fv3), DF_MEMBER(FLOAT_VECTOR4, All, fv4),
};
const vt_file_struct kAll = {"all_types", DF_COUNT(kAllMembers), kAllMembers, sizeof(All)};

vt_uint_32 bitsOf(float f) {
    vt_uint_32 u;
    memcpy(&u, &f, 4);
    return u;
}

All sample(vt_token scalar) {
    All a;
    memset(&a, 0, sizeof a);
    a.i8 = -5;
    a.u8 = 250;
    a.i16 = -30000;
    a.u16 = 60000;
    a.i32 = -123456789;
    a.u32 = 0xFFFFFFF0u;
    a.x = -0x24000; // -2.25
    a.an = 16384;
    a.f = 0.375f;
    a.d = -1.5e10;
    bool fixed = scalar == VTT_FIXED;
    a.s = fixed ? 0x18000u : bitsOf(1.5f);
    if (fixed) {
        vt_int_16 h = 16384;   // 0.5
        vt_uint_16 uh = 49152; // 0.75
        memcpy(&a.fr, &h, 2);
        memcpy(&a.uf, &uh, 2);
    } else {
        a.fr = bitsOf(-0.5f);
        a.uf = bitsOf(0.75f);
    }
    a.e8 = -1;
    a.e16 = 7;
    a.e32 = 300;
    a.st = {42, 0x00ABCDEF};
    a.str = const_cast<char *>("hello world");
    a.col = 0x123456;
    for (int k = 0; k < 4; k++) {
        vt_uint_32 v = fixed ? vt_uint_32((k + 1) * 0x8000) : bitsOf(float(k) - 1.25f);
        if (k < 2)
            a.v2[k] = v;
        if (k < 3)
            a.v3[k] = v;
        a.v4[k] = v;
    }
    a.ff = -8192; // -0.25
    a.fuf = 16384;
    a.flf = 0.125f;
    a.fluf = 0.5f;
    for (int k = 0; k < 4; k++) {
        if (k < 2) {
            a.xv2[k] = k * 0x10000;
            a.fv2[k] = 2.5f * k;
        }
        if (k < 3) {
            a.xv3[k] = -k * 0x4000;
            a.fv3[k] = -0.25f * k;
        }
        a.xv4[k] = k * 0x20000;
        a.fv4[k] = 8.0f * k;
    }
    return a;
}

All *readBack;
int onFileInfo(vt_datafile *df, vt_uint_32, vt_uint_32, vt_uint_32) {
    vt_file_info fi;
    df->prims->struct_read(df, &DfFileInfoStruct, &fi);
    EXPECT_EQ(fi.type, FILE_TYPE_MODEL);
    EXPECT_EQ(fi.version, 2u);
    return 0;
}
int onRecord(vt_datafile *df, vt_uint_32, vt_uint_32, vt_uint_32 count) {
    EXPECT_EQ(count, 1u);
    df->prims->struct_read(df, &kAll, readBack);
    return 0;
}
const vt_chunks_table_entry kEntries[] = {
    {DF_CHUNK_FILE_INFO, 0, onFileInfo},
    {DF_CHUNK_MODEL, 1, onRecord},
    {DF_CHUNK_END, 0, DfReadEnd},
};
const vt_chunks_table kTable = {DF_COUNT(kEntries), kEntries};

// A file: info, an unknown chunk 61, the record chunk, END.
void writeFile(const char *name, int text, vt_token scalar, const All &a) {
    VtWriteModeSet(text);
    vt_datafile *df = DfOpen(name, 1, scalar);
    ASSERT_NE(df, nullptr);
    DfFileInfoWrite(df, FILE_TYPE_MODEL);
    df->prims->chunk_write(df, 61, df->prims->name_size(df, "skip me") + df->prims->count_size(df));
    df->prims->count_write(df, 3);
    df->prims->name_write(df, "skip me");
    df->prims->chunk_write(df, DF_CHUNK_MODEL, df->prims->count_size(df) + df->prims->struct_size(df, &kAll, &a));
    df->prims->count_write(df, 1);
    df->prims->struct_write(df, &kAll, &a);
    DfWriteEnd(df);
    DfClose(df);
    VtWriteModeSet(0);
}

} // namespace

TEST_F(VtDatafile, EveryMemberTypeRoundTripsInBothFormsAndScalarTypes) {
    for (int text = 0; text < 2; text++)
        for (vt_token scalar : {VTT_FIXED, VTT_FLOAT}) {
            SCOPED_TRACE(std::string(text ? "text " : "binary ") + (scalar == VTT_FIXED ? "fixed" : "float"));
            All a = sample(scalar);
            writeFile("all.dat", text, scalar, a);
            All b;
            memset(&b, 0, sizeof b);
            readBack = &b;
            vt_datafile *df = DfOpen("all.dat", 0, scalar);
            ASSERT_NE(df, nullptr);
            EXPECT_EQ(DfChunksInterpret(df, &kTable), 1) << "ends at END";
            DfClose(df);
            ASSERT_NE(b.str, nullptr);
            EXPECT_STREQ(b.str, "hello world");
            EXPECT_EQ(b.nul, text ? nullptr : b.nul);
            if (!text) {
                EXPECT_STREQ(b.nul, "") << "a null string is a lone zero byte in binary";
            }
            VtResFree(b.str);
            if (b.nul)
                VtResFree(b.nul);
            b.str = a.str;
            b.nul = a.nul;
            EXPECT_EQ(memcmp(&a, &b, sizeof a), 0);
            EXPECT_EQ(Diag::failures.size(), 0u) << (Diag::failures.empty() ? "" : Diag::failures[0]);
        }
}

TEST_F(VtDatafile, BinaryLayout) {
    writeFile("all.dat", 0, VTT_FIXED, sample(VTT_FIXED));
    std::string bytes = readFileBytes("all.dat");
    ASSERT_GE(bytes.size(), 16u);
    EXPECT_EQ(bytes.substr(0, 16), std::string("\0\0\0\x12\0\0\0\x08\0\0\xFA\xCE\0\0\0\x02", 16));
    EXPECT_EQ(bytes.substr(bytes.size() - 8), std::string(8, '\0')) << "END chunk";
    vt_datafile df{};
    df.prims = &DfPrimitivesReadBinary;
    df.scalar_type = VTT_FIXED;
    EXPECT_EQ(df.prims->struct_size(&df, &kSub, nullptr), 7) << "a colour is 3 bytes";
    // A fixed member goes out as an IEEE single of its value.
    All a = sample(VTT_FIXED);
    size_t at = bytes.find(std::string("\xC0\x10\x00\x00", 4)); // -2.25f
    EXPECT_NE(at, std::string::npos);
    (void)a;
}

TEST_F(VtDatafile, TextLayout) {
    writeFile("all.txt", 1, VTT_FIXED, sample(VTT_FIXED));
    std::string text = readFileBytes("all.txt");
    EXPECT_EQ(text.rfind("*FILE_INFO        3\n  struct    file_info\n    enum_32    FILE_TYPE_MODEL", 0), 0u) << text;
    EXPECT_NE(text.find("\n*0x0000003d 2\n count 3\n  name \"skip me\"\n"), std::string::npos);
    EXPECT_NE(text.find("    angle      90"), std::string::npos) << "angles in degrees";
    EXPECT_NE(text.find("    fixed_fraction -0.25"), std::string::npos);
    EXPECT_NE(text.find("    asciz      NULL\n"), std::string::npos);
    EXPECT_NE(text.find("    struct     sub                                      # st\n      int_32     42"),
              std::string::npos);
    EXPECT_NE(text.find("    colour     18,52,86                                 # col\n"), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 20), "*END              0\n");
}

TEST_F(VtDatafile, Identification) {
    struct Case {
        std::string bytes;
        int mode;
    } cases[] = {
        {std::string("\0\0\0\x12\0\0\0\x08", 8), VT_FILE_BINARY},
        {"*FILE_INFO 3", VT_FILE_TEXT},
        {std::string("\0\0\0\x12\0\0\0\x09", 8), VT_FILE_UNKNOWN},
        {"*FILE_IX", VT_FILE_UNKNOWN},
        {"P6 2 2 255", VT_FILE_UNKNOWN},
        {"*FILE", VT_FILE_UNKNOWN},
    };
    for (const Case &c : cases)
        EXPECT_EQ(DfFileIdentify(reinterpret_cast<const vt_uint_8 *>(c.bytes.data()), c.bytes.size()), c.mode)
            << c.bytes;
    writeFileBytes("other.dat", "P6 2 2 255 and more");
    EXPECT_EQ(DfOpen("other.dat", 0, VTT_FLOAT), nullptr);
    EXPECT_EQ(DfOpen("missing.dat", 0, VTT_FLOAT), nullptr);
    EXPECT_EQ(DfTopType(), 0);
}

TEST_F(VtDatafile, StackReports) {
    for (int i = 0; i < DF_STACK_SIZE; i++)
        DfPush(30, nullptr, i);
    EXPECT_TRUE(Diag::failures.empty());
    DfPush(30, nullptr, 0);
    ASSERT_EQ(Diag::failures.size(), 1u);
    EXPECT_NE(Diag::failures[0].find("DatafileStack Overflow"), std::string::npos);
    int extra = -1;
    EXPECT_EQ(DfTop(30, &extra), nullptr);
    EXPECT_EQ(extra, DF_STACK_SIZE - 1);
    EXPECT_EQ(DfPop(31, nullptr), nullptr);
    EXPECT_NE(Diag::failures.back().find("DatafileStack type mismatch, wanted 31, got 30"), std::string::npos);
    while (DfTopType())
        DfPop(30, nullptr);
    Diag::clear();
    DfPop(30, nullptr);
    ASSERT_EQ(Diag::failures.size(), 1u);
    EXPECT_NE(Diag::failures[0].find("DatafileStack Underflow"), std::string::npos);

    // Closing a datafile pops what its handlers left above it.
    Diag::clear();
    VtWriteModeSet(1);
    vt_datafile *df = DfOpen("s.txt", 1, VTT_FLOAT);
    ASSERT_NE(df, nullptr);
    EXPECT_EQ(DfTopType(), DF_STACK_DATAFILE);
    DfPush(40, df, 0);
    DfPush(2, df, 0);
    DfClose(df);
    EXPECT_EQ(DfTopType(), 0);
    EXPECT_TRUE(Diag::failures.empty());
}

TEST_F(VtDatafile, TextStructErrors) {
    struct Case {
        const char *body;
        const char *failure;
    } cases[] = {
        {"  struct    sub\n    colour 1,2,3\n    int_32 4\n", "Unknown member identifer \"colour\""},
        {"  struct    other\n", "Incorrect structure name \"other\""},
        {"  block 3\n", "Unknown text identifer \"block\""},
        {"  struct    sub\n    int_32 4\n", "Unexpected EOF in strructure"},
        {"  struct    sub\n    int_32 4\n    colour 1,2\n", "Incorrect colour"},
        {"  struct    vec\n    fixed_vector3 1,2\n", "Incorrect vector"},
        {"  struct    en\n    enum_32 PURPLE\n", "Unknown enum string: PURPLE"},
    };
    struct Vec {
        vt_fixed v[3];
    };
    static const vt_file_struct_member vecM[] = {DF_MEMBER(VECTOR3, Vec, v)};
    static const vt_file_struct vec = {"vec", 1, vecM, sizeof(Vec)};
    static const vt_file_struct_member enM[] = {DF_MEMBER_X(ENUM_32, Sub, a, &kColourEnum)};
    static const vt_file_struct en = {"en", 1, enM, sizeof(Sub)};
    for (const Case &c : cases) {
        writeFileBytes("bad.txt", std::string("*FILE_INFO 3\n") + c.body);
        Diag::clear();
        vt_datafile *df = DfOpen("bad.txt", 0, VTT_FIXED);
        ASSERT_NE(df, nullptr);
        vt_uint_32 len;
        EXPECT_EQ(df->prims->chunk_read(df, &len), int(DF_CHUNK_FILE_INFO));
        Sub s{};
        Vec v{};
        const vt_file_struct *str = strstr(c.body, "vec") ? &vec : strstr(c.body, "en\n") ? &en : &kSub;
        void *rec = str == &vec ? static_cast<void *>(&v) : &s;
        EXPECT_EQ(df->prims->struct_read(df, str, rec), 0u) << c.body;
        ASSERT_EQ(Diag::failures.size(), 1u) << c.body;
        EXPECT_NE(Diag::failures[0].find(c.failure), std::string::npos) << Diag::failures[0];
        DfClose(df);
    }
    // Any scalar type other than fixed or float cannot resolve "scalar".
    Diag::clear();
    VtWriteModeSet(1);
    vt_datafile *df = DfOpen("v.txt", 1, VTT_INT_32);
    Vec v{};
    df->prims->struct_write(df, &vec, &v);
    DfClose(df);
    EXPECT_NE(Diag::failures.at(0).find("Incorrect scalar type"), std::string::npos);
}

TEST_F(VtDatafile, ChunkHeadersAndSkipping) {
    writeFileBytes("c.txt", "*FILE_INFO 3\n  struct file_info\n    enum_32 FILE_TYPE_MODEL\n    uint_32 2\n\n"
                  "*0x0000003d 12\n" + std::string(12, 'x').append("\n").insert(0, "") +
                  "junk\njunk\njunk\njunk\njunk\njunk\njunk\njunk\njunk\njunk\njunk\n*END 0\n");
    vt_datafile *df = DfOpen("c.txt", 0, VTT_FLOAT);
    ASSERT_NE(df, nullptr);
    EXPECT_EQ(DfChunksInterpret(df, &kTable), 1);
    DfClose(df);
    EXPECT_TRUE(Diag::failures.empty());

    writeFileBytes("u.txt", "*FILE_INFO 3\n*NO_SUCH_CHUNK 0\n");
    df = DfOpen("u.txt", 0, VTT_FLOAT);
    vt_uint_32 len;
    df->prims->chunk_read(df, &len);
    df->prims->skip(df, 3);
    EXPECT_EQ(df->prims->chunk_read(df, &len), -1);
    EXPECT_EQ(df->prims->chunk_read(df, &len), -1) << "end of file";
    DfClose(df);
    writeFileBytes("u.txt", "*FILE_INFO 0\nFILE 0\n");
    df = DfOpen("u.txt", 0, VTT_FLOAT);
    df->prims->chunk_read(df, &len);
    Diag::clear();
    EXPECT_EQ(df->prims->chunk_read(df, &len), -1);
    EXPECT_NE(Diag::failures.at(0).find("Chunk ID not found"), std::string::npos);
    DfClose(df);
}

TEST_F(VtDatafile, Blocks) {
    // 2-byte elements, rows 6 bytes apart, 2 elements a row, 2 rows.
    vt_uint_16 data[6] = {0x0102, 0x0304, 0xFFFF, 0x0506, 0x0708, 0xFFFF};
    vt_uint_8 bytes[33];
    for (int i = 0; i < 33; i++)
        bytes[i] = vt_uint_8(i);
    for (int text = 0; text < 2; text++) {
        SCOPED_TRACE(text ? "text" : "binary");
        VtWriteModeSet(text);
        vt_datafile *df = DfOpen("b.dat", 1, VTT_FLOAT);
        DfFileInfoWrite(df, FILE_TYPE_PIXELMAP);
        df->prims->chunk_write(df, DF_CHUNK_PIXELS, df->prims->block_size(df, data, 2, 6, 2, 2) * 2 +
                                                        df->prims->block_size(df, bytes, 33, 33, 1, 1));
        df->prims->block_write(df, data, 2, 6, 2, 2);
        df->prims->block_write(df, data, 2, 6, 2, 2);
        df->prims->block_write(df, bytes, 33, 33, 1, 1);
        DfClose(df);
        EXPECT_EQ(data[0], 0x0102) << "the caller's data is not swapped";
        if (text) {
            std::string t = readFileBytes("b.dat");
            EXPECT_NE(t.find("  block 4\n  size 2\n    00000000: 0102030405060708\n"), std::string::npos) << t;
            EXPECT_NE(t.find("  block 33\n  size 1\n    00000000: 000102"), std::string::npos);
            EXPECT_NE(t.find("1e1f\n    00000020: 20\n"), std::string::npos);
        }

        df = DfOpen("b.dat", 0, VTT_FLOAT);
        vt_uint_32 len;
        df->prims->chunk_read(df, &len);
        df->prims->skip(df, len);
        df->prims->chunk_read(df, &len);
        int count = 0;
        auto *got = static_cast<vt_uint_16 *>(df->prims->block_read(df, nullptr, &count, 2, VT_RES_STRING));
        ASSERT_NE(got, nullptr);
        EXPECT_EQ(count, 4);
        EXPECT_EQ(got[1], 0x0304);
        EXPECT_EQ(got[3], 0x0708);
        VtResFree(got);
        vt_uint_16 small[3];
        count = 3;
        Diag::clear();
        EXPECT_EQ(df->prims->block_read(df, small, &count, 2, VT_RES_STRING), nullptr);
        EXPECT_NE(Diag::failures.at(0).find(text ? "DfBlockReadText: block too long: 4"
                                                  : "DfBlockReadBinary: block too long: 4"),
                  std::string::npos);
        DfClose(df);
    }
    VtWriteModeSet(0);
}

TEST_F(VtDatafile, CountsFromTheFileAreCheckedBeforeAllocating) {
    // A PIXELS chunk of 16 bytes whose block claims a huge count.
    std::string bin("\0\0\0\x12\0\0\0\x08\0\0\0\x02\0\0\0\x02"
                    "\0\0\0\x21\0\0\0\x10\x10\0\0\0\0\0\0\x04\0\0\0\0\0\0\0\0",
                    40);
    writeFileBytes("huge.dat", bin);
    writeFileBytes("huge.txt", "*FILE_INFO 3\n  struct file_info\n    enum_32 FILE_TYPE_NONE\n    uint_32 2\n"
                     "*PIXELS 3\n  block 1000000\n  size 4\n    00000000: 00\n");
    for (const char *name : {"huge.dat", "huge.txt"}) {
        Diag::clear();
        vt_datafile *df = DfOpen(name, 0, VTT_FLOAT);
        ASSERT_NE(df, nullptr);
        vt_uint_32 len;
        df->prims->chunk_read(df, &len);
        df->prims->skip(df, len);
        df->prims->chunk_read(df, &len);
        int before = Counting::total;
        int count = 0;
        EXPECT_EQ(df->prims->block_read(df, nullptr, &count, 4, VT_RES_STRING), nullptr);
        EXPECT_EQ(Counting::total, before) << "nothing allocated";
        EXPECT_EQ(Diag::failures.size(), 1u) << name;
        EXPECT_TRUE(df->failed);
        EXPECT_EQ(DfCountFits(df, 3, &kSub), 0) << "more records than the chunk holds";
        DfClose(df);
    }
}

TEST_F(VtDatafile, LongNamesStayInStep) {
    std::string longName(300, 'n');
    for (int text = 0; text < 2; text++) {
        VtWriteModeSet(text);
        vt_datafile *df = DfOpen("n.dat", 1, VTT_FLOAT);
        DfFileInfoWrite(df, FILE_TYPE_NONE);
        df->prims->name_write(df, longName.c_str());
        df->prims->name_write(df, "next");
        df->prims->name_write(df, nullptr);
        DfClose(df);
        df = DfOpen("n.dat", 0, VTT_FLOAT);
        vt_uint_32 len;
        df->prims->chunk_read(df, &len);
        df->prims->skip(df, len);
        char name[256];
        EXPECT_EQ(std::string(df->prims->name_read(df, name)), longName.substr(0, text ? 247 : 255));
        EXPECT_STREQ(df->prims->name_read(df, name), "next");
        EXPECT_STREQ(df->prims->name_read(df, name), text ? "NULL" : "");
        DfClose(df);
    }
    VtWriteModeSet(0);
    EXPECT_TRUE(Diag::failures.empty());
}
