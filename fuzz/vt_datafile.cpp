// Fuzzes the datafile reader: arbitrary bytes as a binary or text datafile
// (whichever the first bytes say) through the chunk interpreter, with
// handlers that read records of every member type, blocks, counts and names.
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "fuzz_files.h"
#include "render/file/datafile.h"
#include "render/tokens/token.h"

namespace {

void quiet(const char *) {}
vt_diaghandler quietDiag = {"quiet", quiet, quiet};

struct Sub {
    vt_int_32 a;
    vt_colour c;
};

struct Rec {
    vt_int_8 i8;
    vt_uint_16 u16;
    vt_int_32 i32;
    vt_fixed x;
    vt_angle an;
    vt_float f;
    double d;
    vt_uint_32 s, fr, uf;
    vt_int_8 e8;
    vt_int_16 e16;
    vt_int_32 e32;
    Sub st;
    char *str;
    vt_colour col;
    vt_uint_32 v4[4];
    vt_int_16 ff;
    vt_uint_16 fuf;
    vt_float flf;
    vt_fixed xv3[3];
    vt_float fv2[2];
};

const vt_file_enum_member kNames[] = {{0, "NONE"}, {1, "ONE"}, {-7, "MINUS"}};
const vt_file_enum kEnum = {DF_COUNT(kNames), kNames};
const vt_file_struct_member kSubM[] = {DF_MEMBER(INT_32, Sub, a), DF_MEMBER(COLOUR, Sub, c)};
const vt_file_struct kSub = {"sub", DF_COUNT(kSubM), kSubM, sizeof(Sub)};
const vt_file_struct_member kRecM[] = {
    DF_MEMBER(INT_8, Rec, i8),          DF_MEMBER(UINT_16, Rec, u16),     DF_MEMBER(INT_32, Rec, i32),
    DF_MEMBER(FIXED, Rec, x),           DF_MEMBER(ANGLE, Rec, an),        DF_MEMBER(FLOAT, Rec, f),
    DF_MEMBER(DOUBLE, Rec, d),          DF_MEMBER(SCALAR, Rec, s),        DF_MEMBER(FRACTION, Rec, fr),
    DF_MEMBER(UFRACTION, Rec, uf),      DF_MEMBER_X(ENUM_8, Rec, e8, &kEnum), DF_MEMBER_X(ENUM_16, Rec, e16, &kEnum),
    DF_MEMBER_X(ENUM_32, Rec, e32, &kEnum), DF_MEMBER_X(STRUCT, Rec, st, &kSub), DF_MEMBER(ASCIZ, Rec, str),
    DF_MEMBER(COLOUR, Rec, col),        DF_MEMBER(VECTOR4, Rec, v4),      DF_MEMBER(FIXED_FRACTION, Rec, ff),
    DF_MEMBER(FIXED_UFRACTION, Rec, fuf), DF_MEMBER(FLOAT_FRACTION, Rec, flf), DF_MEMBER(FIXED_VECTOR3, Rec, xv3),
    DF_MEMBER(FLOAT_VECTOR2, Rec, fv2),
};
const vt_file_struct kRec = {"record", DF_COUNT(kRecM), kRecM, sizeof(Rec)};

int onInfo(vt_datafile *df, vt_uint_32, vt_uint_32, vt_uint_32) {
    vt_file_info fi;
    df->prims->struct_read(df, &DfFileInfoStruct, &fi);
    return 0;
}

int onRecords(vt_datafile *df, vt_uint_32, vt_uint_32, vt_uint_32 count) {
    if (!DfCountFits(df, count, &kRec))
        return 0;
    for (vt_uint_32 i = 0; i < count && !df->failed; i++) {
        Rec r{};
        df->prims->struct_read(df, &kRec, &r);
    }
    return 0;
}

int onBlock(vt_datafile *df, vt_uint_32 id, vt_uint_32, vt_uint_32) {
    int count = 0;
    int size = id == DF_CHUNK_PIXELS ? 1 : id == DF_CHUNK_VERTICES ? 2 : 4;
    df->prims->block_read(df, nullptr, &count, size, VT_RES_STRING);
    // And into a small buffer of the caller's.
    vt_uint_32 small[8];
    count = 8;
    if (!df->failed)
        df->prims->block_read(df, small, &count, size, VT_RES_STRING);
    return 0;
}

int onNames(vt_datafile *df, vt_uint_32, vt_uint_32, vt_uint_32 count) {
    char name[256];
    for (vt_uint_32 i = 0; i < count && i < 64 && !df->failed; i++)
        df->prims->name_read(df, name);
    return 0;
}

const vt_chunks_table_entry kEntries[] = {
    {DF_CHUNK_FILE_INFO, 0, onInfo},      {DF_CHUNK_MODEL, 1, onRecords},    {DF_CHUNK_PIXELS, 0, onBlock},
    {DF_CHUNK_VERTICES, 0, onBlock},      {DF_CHUNK_FACES, 0, onBlock},      {DF_CHUNK_ACTOR, 1, onNames},
    {DF_CHUNK_END, 0, DfReadEnd},
};
const vt_chunks_table kTable = {DF_COUNT(kEntries), kEntries};

bool begun = [] {
    VtDiagHandlerSet(&quietDiag);
    return VtBegin() == VT_E_OK;
}();

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (!begun)
        return 0;
    fuzzfiles::EnterDataRoot();
    fuzzfiles::Write("input.dat", data, size);
    // The last byte picks the scalar type the reader is asked for.
    vt_token scalar = size && (data[size - 1] & 1) ? VTT_FLOAT : VTT_FIXED;
    vt_datafile *df = DfOpen("input.dat", 0, scalar);
    if (df == nullptr)
        return 0;
    // Everything the handlers read hangs under one anchor, freed afterwards.
    void *anchor = VtResAllocate(VtFrameworkRoot(), 0, VT_RES_ANCHOR);
    df->res = anchor;
    DfChunksInterpret(df, &kTable);
    DfClose(df);
    VtResFree(anchor);
    return 0;
}
