// The binary datafile form: big-endian numbers, fixed-point members as IEEE
// single floats, records laid out member after member with no padding.
#include "render/file/dfprivate.h"

namespace {

void *parentOf(vt_datafile *df) { return df->res ? df->res : VtFrameworkRoot(); }

bool readBytes(vt_datafile *df, void *buf, vt_size n) {
    vt_size got = n ? VtFileRead(buf, 1, n, df->h) : 0;
    df->pos += got;
    return got == n;
}

void writeBytes(vt_datafile *df, const void *buf, vt_size n) {
    if (n)
        VtFileWrite(buf, 1, n, df->h);
}

void writeU32(vt_datafile *df, vt_uint_32 v) {
    vt_uint_8 b[4] = {vt_uint_8(v >> 24), vt_uint_8(v >> 16), vt_uint_8(v >> 8), vt_uint_8(v)};
    writeBytes(df, b, 4);
}
void writeU16(vt_datafile *df, vt_uint_16 v) {
    vt_uint_8 b[2] = {vt_uint_8(v >> 8), vt_uint_8(v)};
    writeBytes(df, b, 2);
}
void writeFloat(vt_datafile *df, float f) {
    vt_uint_32 u;
    memcpy(&u, &f, 4);
    writeU32(df, u);
}

// Reads a big-endian number of n bytes; a short read is reported once.
bool readBE(vt_datafile *df, int n, uint64_t *v) {
    vt_uint_8 b[8];
    if (!readBytes(df, b, vt_size(n))) {
        DfFail(df, "Unexpected end of file");
        *v = 0;
        return false;
    }
    *v = 0;
    for (int i = 0; i < n; i++)
        *v = (*v << 8) | b[i];
    return true;
}

float readFloat(vt_datafile *df) {
    uint64_t v;
    readBE(df, 4, &v);
    vt_uint_32 u = vt_uint_32(v);
    float f;
    memcpy(&f, &u, 4);
    return f;
}

int memberSize(vt_datafile *df, vt_uint_16 type, const void *field, const vt_file_struct_member *m);

int structSize(vt_datafile *df, const vt_file_struct *str, const void *base) {
    int total = 0;
    for (vt_uint_32 i = 0; i < str->nmembers; i++) {
        const vt_file_struct_member *m = &str->members[i];
        const void *field = base ? static_cast<const char *>(base) + m->offset : nullptr;
        total += memberSize(df, DfResolveType(df, m->type), field, m);
    }
    return total;
}

int memberSize(vt_datafile *df, vt_uint_16 type, const void *field, const vt_file_struct_member *m) {
    switch (type) {
    case DF_TYPE_INT_8: case DF_TYPE_UINT_8: case DF_TYPE_ENUM_8: return 1;
    case DF_TYPE_INT_16: case DF_TYPE_UINT_16: case DF_TYPE_ANGLE: case DF_TYPE_ENUM_16: return 2;
    case DF_TYPE_DOUBLE: return 8;
    case DF_TYPE_COLOUR: return 3;
    case DF_TYPE_ASCIZ: {
        const char *s = field ? DfGet<const char *>(field, 0) : nullptr;
        return s ? int(strlen(s)) + 1 : 1;
    }
    case DF_TYPE_STRUCT: return structSize(df, static_cast<const vt_file_struct *>(m->extra), field);
    case DF_TYPE_COUNT: return 0;
    default:
        if (int n = DfVectorSize(type))
            return 4 * n;
        return 4;
    }
}

void structWrite(vt_datafile *df, const vt_file_struct *str, const void *base) {
    for (vt_uint_32 i = 0; i < str->nmembers; i++) {
        const vt_file_struct_member *m = &str->members[i];
        vt_size o = m->offset;
        vt_uint_16 type = DfResolveType(df, m->type);
        switch (type) {
        case DF_TYPE_INT_8: case DF_TYPE_UINT_8: case DF_TYPE_ENUM_8: {
            vt_uint_8 b = DfGet<vt_uint_8>(base, o);
            writeBytes(df, &b, 1);
            break;
        }
        case DF_TYPE_INT_16: case DF_TYPE_UINT_16: case DF_TYPE_ANGLE: case DF_TYPE_ENUM_16:
            writeU16(df, DfGet<vt_uint_16>(base, o));
            break;
        case DF_TYPE_INT_32: case DF_TYPE_UINT_32: case DF_TYPE_ENUM_32: case DF_TYPE_FLOAT:
        case DF_TYPE_FLOAT_FRACTION: case DF_TYPE_FLOAT_UFRACTION:
            writeU32(df, DfGet<vt_uint_32>(base, o));
            break;
        case DF_TYPE_DOUBLE: {
            uint64_t u = DfGet<uint64_t>(base, o);
            writeU32(df, vt_uint_32(u >> 32));
            writeU32(df, vt_uint_32(u));
            break;
        }
        case DF_TYPE_FIXED: writeFloat(df, float(DfGet<vt_fixed>(base, o) / 65536.0)); break;
        case DF_TYPE_FIXED_FRACTION: writeFloat(df, float(DfGet<vt_int_16>(base, o) / 32768.0)); break;
        case DF_TYPE_FIXED_UFRACTION: writeFloat(df, float(DfGet<vt_uint_16>(base, o) / 65536.0)); break;
        case DF_TYPE_COLOUR: {
            vt_colour c = DfGet<vt_colour>(base, o);
            vt_uint_8 b[3] = {vt_uint_8(c >> 16), vt_uint_8(c >> 8), vt_uint_8(c)};
            writeBytes(df, b, 3);
            break;
        }
        case DF_TYPE_ASCIZ: {
            const char *s = DfGet<const char *>(base, o);
            writeBytes(df, s ? s : "", s ? strlen(s) + 1 : 1);
            break;
        }
        case DF_TYPE_STRUCT:
            structWrite(df, static_cast<const vt_file_struct *>(m->extra), static_cast<const char *>(base) + o);
            break;
        case DF_TYPE_COUNT: break;
        default:
            for (int k = 0; k < DfVectorSize(type); k++) {
                if (DfVectorIsFixed(type))
                    writeFloat(df, float(DfGet<vt_fixed>(base, o + 4 * k) / 65536.0));
                else
                    writeU32(df, DfGet<vt_uint_32>(base, o + 4 * k));
            }
        }
    }
}

// Reads a zero-terminated string: at most 255 characters are kept, the
// rest of it is passed over so that what follows stays in step.
bool readString(vt_datafile *df, char *buf) {
    int n = 0;
    for (;;) {
        int c = VtFileGetChar(df->h);
        if (c == -1)
            break;
        df->pos++;
        if (c == 0)
            break;
        if (n < 255)
            buf[n++] = char(c);
    }
    buf[n] = '\0';
    return true;
}

bool structRead(vt_datafile *df, const vt_file_struct *str, void *base) {
    for (vt_uint_32 i = 0; i < str->nmembers && !df->failed; i++) {
        const vt_file_struct_member *m = &str->members[i];
        vt_size o = m->offset;
        vt_uint_16 type = DfResolveType(df, m->type);
        uint64_t v = 0;
        switch (type) {
        case DF_TYPE_INT_8: case DF_TYPE_UINT_8: case DF_TYPE_ENUM_8:
            readBE(df, 1, &v);
            DfSet<vt_uint_8>(base, o, vt_uint_8(v));
            break;
        case DF_TYPE_INT_16: case DF_TYPE_UINT_16: case DF_TYPE_ANGLE: case DF_TYPE_ENUM_16:
            readBE(df, 2, &v);
            DfSet<vt_uint_16>(base, o, vt_uint_16(v));
            break;
        case DF_TYPE_INT_32: case DF_TYPE_UINT_32: case DF_TYPE_ENUM_32: case DF_TYPE_FLOAT:
        case DF_TYPE_FLOAT_FRACTION: case DF_TYPE_FLOAT_UFRACTION:
            readBE(df, 4, &v);
            DfSet<vt_uint_32>(base, o, vt_uint_32(v));
            break;
        case DF_TYPE_DOUBLE:
            readBE(df, 8, &v);
            DfSet<uint64_t>(base, o, v);
            break;
        case DF_TYPE_FIXED:
            DfSet<vt_fixed>(base, o, vt_fixed(DfToInt(double(readFloat(df)) * 65536.0, INT32_MIN, INT32_MAX)));
            break;
        case DF_TYPE_FIXED_FRACTION:
            DfSet<vt_int_16>(base, o, vt_int_16(DfToInt(double(readFloat(df)) * 32768.0, INT16_MIN, INT16_MAX)));
            break;
        case DF_TYPE_FIXED_UFRACTION:
            DfSet<vt_uint_16>(base, o, vt_uint_16(DfToInt(double(readFloat(df)) * 65536.0, 0, UINT16_MAX)));
            break;
        case DF_TYPE_COLOUR:
            readBE(df, 3, &v);
            DfSet<vt_colour>(base, o, vt_colour(v));
            break;
        case DF_TYPE_ASCIZ: {
            char buf[256];
            readString(df, buf);
            DfSet<char *>(base, o, VtResStrDup(parentOf(df), buf));
            break;
        }
        case DF_TYPE_STRUCT:
            structRead(df, static_cast<const vt_file_struct *>(m->extra), static_cast<char *>(base) + o);
            break;
        case DF_TYPE_COUNT: break;
        default:
            for (int k = 0; k < DfVectorSize(type); k++) {
                if (DfVectorIsFixed(type)) {
                    double f = double(readFloat(df)) * 65536.0;
                    DfSet<vt_fixed>(base, o + 4 * k, vt_fixed(DfToInt(f, INT32_MIN, INT32_MAX)));
                } else {
                    readBE(df, 4, &v);
                    DfSet<vt_uint_32>(base, o + 4 * k, vt_uint_32(v));
                }
            }
        }
    }
    return !df->failed;
}

// ---- Primitives ------------------------------------------------------------

int bSkip(vt_datafile *df, vt_uint_32 length) {
    VtFileAdvance(length, df->h);
    df->pos += length;
    return 0;
}

int bChunkWrite(vt_datafile *df, vt_uint_32 id, vt_uint_32 length) {
    writeU32(df, id);
    writeU32(df, length);
    return 0;
}

int bChunkRead(vt_datafile *df, vt_uint_32 *plength) {
    vt_uint_8 b[8];
    df->in_chunk = 0;
    if (!readBytes(df, b, 8))
        return -1;
    vt_uint_32 id = vt_uint_32(b[0]) << 24 | vt_uint_32(b[1]) << 16 | vt_uint_32(b[2]) << 8 | b[3];
    *plength = vt_uint_32(b[4]) << 24 | vt_uint_32(b[5]) << 16 | vt_uint_32(b[6]) << 8 | b[7];
    df->in_chunk = 1;
    df->chunk_end = df->pos + *plength;
    return int(id);
}

void bCountWrite(vt_datafile *df, vt_uint_32 count) { writeU32(df, count); }

vt_uint_32 bCountRead(vt_datafile *df) {
    uint64_t v;
    readBE(df, 4, &v);
    return vt_uint_32(v);
}

int bCountSize(vt_datafile *) { return 4; }

vt_uint_32 bStructWrite(vt_datafile *df, const vt_file_struct *str, const void *base) {
    structWrite(df, str, base);
    return 1;
}

vt_uint_32 bStructRead(vt_datafile *df, const vt_file_struct *str, void *base) { return structRead(df, str, base); }

int bStructSize(vt_datafile *df, const vt_file_struct *str, const void *base) { return structSize(df, str, base); }

int bBlockWrite(vt_datafile *df, const void *base, int block_size, int block_stride, int block_count, int size) {
    int count = block_size * block_count;
    writeU32(df, vt_uint_32(count));
    writeU32(df, vt_uint_32(size));
    if (block_stride == block_size && size == 1) {
        writeBytes(df, base, vt_size(count));
        return 0;
    }
    vt_size row = vt_size(block_size) * vt_size(size);
    auto *scratch = static_cast<char *>(VtScratchAllocate(row * vt_size(block_count)));
    if (scratch == nullptr)
        return VT_E_NO_MEMORY;
    for (int r = 0; r < block_count; r++)
        memcpy(scratch + row * r, static_cast<const char *>(base) + vt_size(r) * block_stride * size, row);
    VtSwapBlock(scratch, count, size);
    writeBytes(df, scratch, row * vt_size(block_count));
    VtScratchFree(scratch);
    return 0;
}

void *bBlockRead(vt_datafile *df, void *base, int *pcount, int size, vt_uint_8 res_class) {
    uint64_t count, s;
    if (!readBE(df, 4, &count) || !readBE(df, 4, &s))
        return nullptr;
    if (s != uint64_t(size)) {
        DfFail(df, "block size mismatch");
        return nullptr;
    }
    if (!DfBlockFits(df, "DfBlockReadBinary", int64_t(count), size, count * s))
        return nullptr;
    if (base && count > uint64_t(*pcount)) {
        DfFail(df, "DfBlockReadBinary: block too long: %d", int(count));
        return nullptr;
    }
    void *mem = base;
    if (mem == nullptr && (mem = VtResAllocate(parentOf(df), vt_size(count * s), res_class)) == nullptr)
        return nullptr;
    if (!readBytes(df, mem, vt_size(count * s))) {
        DfFail(df, "Unexpected end of file");
        if (base == nullptr)
            VtResFree(mem);
        return nullptr;
    }
    VtSwapBlock(mem, int(count), size);
    *pcount = int(count);
    return mem;
}

int bBlockSize(vt_datafile *, const void *, int block_size, int, int block_count, int size) {
    return block_size * block_count * size + 8;
}

int bNameWrite(vt_datafile *df, const char *name) {
    writeBytes(df, name ? name : "", name ? strlen(name) + 1 : 1);
    return 0;
}

char *bNameRead(vt_datafile *df, char *name) {
    readString(df, name);
    return name;
}

int bNameSize(vt_datafile *, const char *name) { return name ? int(strlen(name)) + 1 : 1; }

} // namespace

// Reading tables refuse writes and writing tables refuse reads; skipping
// and the sizes are in both.
const vt_file_primitives DfPrimitivesReadBinary = {
    "Read Binary", bSkip,       DfInvalidChunkWrite, bChunkRead, DfInvalidCountWrite, bCountRead, bCountSize, DfInvalidStructWrite,
    bStructRead,   bStructSize, DfInvalidBlockWrite, bBlockRead, bBlockSize,   DfInvalidNameWrite, bNameRead, bNameSize,
};

const vt_file_primitives DfPrimitivesWriteBinary = {
    "Write Binary", bSkip,       bChunkWrite,  DfInvalidChunkRead, bCountWrite, DfInvalidCountRead, bCountSize, bStructWrite,
    DfInvalidStructRead,   bStructSize, bBlockWrite,  DfInvalidBlockRead, bBlockSize,  bNameWrite,  DfInvalidNameRead, bNameSize,
};
