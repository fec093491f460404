// The text datafile form: one item a line, fields separated by blanks, every
// length counted in lines.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "render/file/dfprivate.h"
#include "render/fmt/fmt.h"

namespace {

constexpr int kLine = 256; // the reader's line buffer

void *parentOf(vt_datafile *df) { return df->res ? df->res : VtFrameworkRoot(); }

// ---- Writing: every piece is bounded, long strings go out as they are ----

void put(vt_datafile *df, const std::string &s) {
    if (!s.empty())
        VtFileWrite(s.data(), 1, s.size(), df->h);
}

std::string fmt(const char *format, ...) VT_PRINTF(1, 2);
std::string fmt(const char *format, ...) {
    char buf[128];
    va_list args;
    va_start(args, format);
    VtVSprintfN(buf, sizeof buf, format, args);
    va_end(args);
    return buf;
}

// ---- Reading ---------------------------------------------------------------

bool isBlank(int c) { return c == ' ' || c == '\t' || c == '\r'; }

// The next line that holds anything; a line longer than the buffer is cut
// and its rest passed over, so line counts stay in step. False at the end.
bool readLine(vt_datafile *df, char *buf) {
    for (;;) {
        int n = 0, c;
        bool any = false;
        while ((c = VtFileGetChar(df->h)) != -1 && c != '\n') {
            any = true;
            if (c != '\r' && n < kLine - 1)
                buf[n++] = char(c);
        }
        buf[n] = '\0';
        if (!any && c == -1)
            return false;
        const char *p = buf;
        while (isBlank(*p))
            p++;
        if (*p) {
            df->pos++;
            return true;
        }
        if (c == -1)
            return false;
    }
}

// Splits off the next field (in place); empty at the end of the line.
char *field(char *&p) {
    while (isBlank(*p))
        p++;
    char *start = p;
    while (*p && !isBlank(*p))
        p++;
    if (*p)
        *p++ = '\0';
    return start;
}

// A member's value: a double-quoted string (quotes kept off, `quoted` set)
// or a word.
char *value(char *&p, bool *quoted) {
    while (isBlank(*p))
        p++;
    *quoted = *p == '"';
    if (!*quoted)
        return field(p);
    char *start = ++p;
    while (*p && *p != '"')
        p++;
    if (*p)
        *p++ = '\0';
    return start;
}

bool parseReals(const char *text, double *out, int n) {
    const char *p = text;
    for (int i = 0; i < n; i++) {
        char *end;
        out[i] = VtStrToD(p, &end);
        if (end == p)
            return false;
        p = end;
        if (i + 1 < n) {
            if (*p != ',')
                return false;
            p++;
        }
    }
    return *p == '\0';
}

int64_t round64(double v, int64_t lo, int64_t hi) { return DfToInt(v < 0 ? v - 0.5 : v + 0.5, lo, hi); }

// ---- Structures ------------------------------------------------------------

const char *enumName(const vt_file_struct_member *m, vt_int_32 v) {
    auto *e = static_cast<const vt_file_enum *>(m->extra);
    for (vt_uint_32 i = 0; e && i < e->nmembers; i++)
        if (e->members[i].value == v)
            return e->members[i].name;
    return nullptr;
}

std::string valueText(vt_uint_16 type, const void *base, const vt_file_struct_member *m) {
    vt_size o = m->offset;
    switch (type) {
    case DF_TYPE_INT_8: return fmt("%d", DfGet<vt_int_8>(base, o));
    case DF_TYPE_UINT_8: return fmt("%u", DfGet<vt_uint_8>(base, o));
    case DF_TYPE_INT_16: return fmt("%d", DfGet<vt_int_16>(base, o));
    case DF_TYPE_UINT_16: return fmt("%u", DfGet<vt_uint_16>(base, o));
    case DF_TYPE_INT_32: return fmt("%d", DfGet<vt_int_32>(base, o));
    case DF_TYPE_UINT_32: return fmt("%u", DfGet<vt_uint_32>(base, o));
    case DF_TYPE_FIXED: return fmt("%g", DfGet<vt_fixed>(base, o) / 65536.0);
    case DF_TYPE_ANGLE: return fmt("%g", DfGet<vt_angle>(base, o) * 360.0 / 65536.0);
    case DF_TYPE_FLOAT: case DF_TYPE_FLOAT_FRACTION: case DF_TYPE_FLOAT_UFRACTION:
        return fmt("%g", double(DfGet<vt_float>(base, o)));
    case DF_TYPE_DOUBLE: return fmt("%g", DfGet<double>(base, o));
    case DF_TYPE_FIXED_FRACTION: return fmt("%g", DfGet<vt_int_16>(base, o) / 32768.0);
    case DF_TYPE_FIXED_UFRACTION: return fmt("%g", DfGet<vt_uint_16>(base, o) / 65536.0);
    case DF_TYPE_ENUM_8: case DF_TYPE_ENUM_16: case DF_TYPE_ENUM_32: {
        vt_int_32 v = type == DF_TYPE_ENUM_8    ? DfGet<vt_int_8>(base, o)
                      : type == DF_TYPE_ENUM_16 ? DfGet<vt_int_16>(base, o)
                                                : DfGet<vt_int_32>(base, o);
        if (const char *name = enumName(m, v))
            return name;
        VtFailure("Unknown enum %d", v);
        return fmt("%d", v); // read back as a number
    }
    case DF_TYPE_COLOUR: {
        vt_colour c = DfGet<vt_colour>(base, o);
        return fmt("%d,%d,%d", int(c >> 16 & 0xFF), int(c >> 8 & 0xFF), int(c & 0xFF));
    }
    case DF_TYPE_ASCIZ: {
        const char *s = DfGet<const char *>(base, o);
        if (s == nullptr)
            return "NULL";
        std::string quoted(1, '"');
        quoted.append(s);
        quoted += '"';
        return quoted;
    }
    case DF_TYPE_STRUCT: return static_cast<const vt_file_struct *>(m->extra)->name;
    default: {
        std::string s;
        for (int k = 0; k < DfVectorSize(type); k++) {
            double v = DfVectorIsFixed(type) ? DfGet<vt_fixed>(base, o + 4 * k) / 65536.0
                                             : double(DfGet<vt_float>(base, o + 4 * k));
            s += fmt(k ? ",%g" : "%g", v);
        }
        return s;
    }
    }
}

void membersWrite(vt_datafile *df, const vt_file_struct *str, const void *base, int indent) {
    for (vt_uint_32 i = 0; i < str->nmembers; i++) {
        const vt_file_struct_member *m = &str->members[i];
        vt_uint_16 type = DfResolveType(df, m->type);
        if (type == DF_TYPE_COUNT)
            continue;
        std::string line(vt_size(indent), ' ');
        line += fmt("%-10s", DfMemberTypeName(type));
        line += ' ';
        std::string v = valueText(type, base, m);
        line += v;
        if (m->name) {
            if (v.size() < 40)
                line.append(40 - v.size(), ' ');
            line += " # ";
            line += m->name;
        }
        line += '\n';
        put(df, line);
        if (type == DF_TYPE_STRUCT)
            membersWrite(df, static_cast<const vt_file_struct *>(m->extra), static_cast<const char *>(base) + m->offset,
                         indent + 2);
    }
}

int membersSize(vt_datafile *df, const vt_file_struct *str) {
    int n = 0;
    for (vt_uint_32 i = 0; i < str->nmembers; i++) {
        const vt_file_struct_member *m = &str->members[i];
        vt_uint_16 type = DfResolveType(df, m->type);
        if (type == DF_TYPE_STRUCT)
            n += 1 + membersSize(df, static_cast<const vt_file_struct *>(m->extra));
        else if (type != DF_TYPE_COUNT)
            n++;
    }
    return n;
}

bool memberParse(vt_datafile *df, vt_uint_16 type, void *base, const vt_file_struct_member *m, const char *text,
                 bool quoted) {
    vt_size o = m->offset;
    double r[4];
    switch (type) {
    case DF_TYPE_INT_8: case DF_TYPE_UINT_8:
        DfSet<vt_uint_8>(base, o, vt_uint_8(VtStrToL(text, nullptr, 0)));
        return true;
    case DF_TYPE_INT_16: case DF_TYPE_UINT_16:
        DfSet<vt_uint_16>(base, o, vt_uint_16(VtStrToL(text, nullptr, 0)));
        return true;
    case DF_TYPE_INT_32:
        DfSet<vt_int_32>(base, o, vt_int_32(VtStrToL(text, nullptr, 0)));
        return true;
    case DF_TYPE_UINT_32:
        DfSet<vt_uint_32>(base, o, vt_uint_32(VtStrToUL(text, nullptr, 0)));
        return true;
    case DF_TYPE_FIXED:
        DfSet<vt_fixed>(base, o, vt_fixed(round64(VtStrToD(text, nullptr) * 65536.0, INT32_MIN, INT32_MAX)));
        return true;
    case DF_TYPE_ANGLE: {
        int64_t a = round64(VtStrToD(text, nullptr) * 65536.0 / 360.0, INT32_MIN, INT32_MAX);
        DfSet<vt_angle>(base, o, vt_angle(a & 0xFFFF));
        return true;
    }
    case DF_TYPE_FLOAT: case DF_TYPE_FLOAT_FRACTION: case DF_TYPE_FLOAT_UFRACTION:
        DfSet<vt_float>(base, o, vt_float(VtStrToD(text, nullptr)));
        return true;
    case DF_TYPE_DOUBLE:
        DfSet<double>(base, o, VtStrToD(text, nullptr));
        return true;
    case DF_TYPE_FIXED_FRACTION:
        DfSet<vt_int_16>(base, o, vt_int_16(round64(VtStrToD(text, nullptr) * 32768.0, INT16_MIN, INT16_MAX)));
        return true;
    case DF_TYPE_FIXED_UFRACTION:
        DfSet<vt_uint_16>(base, o, vt_uint_16(round64(VtStrToD(text, nullptr) * 65536.0, 0, UINT16_MAX)));
        return true;
    case DF_TYPE_ENUM_8: case DF_TYPE_ENUM_16: case DF_TYPE_ENUM_32: {
        auto *e = static_cast<const vt_file_enum *>(m->extra);
        vt_int_32 v = 0;
        bool found = false;
        for (vt_uint_32 i = 0; e && i < e->nmembers && !found; i++)
            if (strcmp(e->members[i].name, text) == 0) {
                v = e->members[i].value;
                found = true;
            }
        if (!found) {
            // A value the writer had no name for went out as a number.
            char *end;
            v = vt_int_32(VtStrToL(text, &end, 0));
            if (end == text || *end) {
                DfFail(df, "Unknown enum string: %s", text);
                return false;
            }
        }
        if (type == DF_TYPE_ENUM_8)
            DfSet<vt_int_8>(base, o, vt_int_8(v));
        else if (type == DF_TYPE_ENUM_16)
            DfSet<vt_int_16>(base, o, vt_int_16(v));
        else
            DfSet<vt_int_32>(base, o, v);
        return true;
    }
    case DF_TYPE_COLOUR: {
        if (!parseReals(text, r, 3)) {
            DfFail(df, "Incorrect colour");
            return false;
        }
        auto byte = [](double d) { return vt_colour(DfToInt(d, 0, 255)); };
        DfSet<vt_colour>(base, o, byte(r[0]) << 16 | byte(r[1]) << 8 | byte(r[2]));
        return true;
    }
    case DF_TYPE_ASCIZ:
        DfSet<char *>(base, o, !quoted && strcmp(text, "NULL") == 0 ? nullptr : VtResStrDup(parentOf(df), text));
        return true;
    default: {
        int n = DfVectorSize(type);
        if (!parseReals(text, r, n)) {
            DfFail(df, "Incorrect vector");
            return false;
        }
        for (int k = 0; k < n; k++) {
            if (DfVectorIsFixed(type))
                DfSet<vt_fixed>(base, o + 4 * k, vt_fixed(round64(r[k] * 65536.0, INT32_MIN, INT32_MAX)));
            else
                DfSet<vt_float>(base, o + 4 * k, vt_float(r[k]));
        }
        return true;
    }
    }
}

bool membersRead(vt_datafile *df, const vt_file_struct *str, void *base) {
    char line[kLine];
    for (vt_uint_32 i = 0; i < str->nmembers; i++) {
        const vt_file_struct_member *m = &str->members[i];
        vt_uint_16 type = DfResolveType(df, m->type);
        if (type == DF_TYPE_COUNT)
            return false;
        if (!readLine(df, line)) {
            DfFail(df, "Unexpected EOF in strructure");
            return false;
        }
        char *p = line;
        char *word = field(p);
        if (strcmp(word, DfMemberTypeName(type)) != 0) {
            DfFail(df, "Unknown member identifer \"%s\"", word);
            return false;
        }
        bool quoted;
        char *text = value(p, &quoted);
        if (type == DF_TYPE_STRUCT) {
            if (!membersRead(df, static_cast<const vt_file_struct *>(m->extra), static_cast<char *>(base) + m->offset))
                return false;
        } else if (!memberParse(df, type, base, m, text, quoted)) {
            return false;
        }
    }
    return true;
}

// ---- Primitives ------------------------------------------------------------

int tSkip(vt_datafile *df, vt_uint_32 length) {
    char line[kLine];
    for (vt_uint_32 i = 0; i < length; i++)
        if (!readLine(df, line))
            break;
    return 0;
}

// The id a chunk name reads back as: the first id of that name.
vt_uint_32 chunkOfName(const char *name) {
    for (vt_uint_32 i = 0; i < DF_CHUNK_NAMED; i++)
        if (strcmp(DfChunkName(i), name) == 0)
            return i;
    return DF_CHUNK_NAMED;
}

int tChunkWrite(vt_datafile *df, vt_uint_32 id, vt_uint_32 length) {
    // A name shared with an earlier id would read back as that id.
    const char *name = DfChunkName(id);
    if (name && chunkOfName(name) == id)
        put(df, fmt("*%-16s %d\n", name, int(length)));
    else
        put(df, fmt("*0x%08x %d\n", id, int(length)));
    return 0;
}

int tChunkRead(vt_datafile *df, vt_uint_32 *plength) {
    char line[kLine];
    df->in_chunk = 0;
    if (!readLine(df, line))
        return -1;
    char *p = line;
    char *id = field(p);
    if (id[0] != '*') {
        DfFail(df, "Chunk ID not found");
        return -1;
    }
    vt_uint_32 chunk = 0;
    if (id[1] == '0') {
        chunk = vt_uint_32(VtStrToUL(id + 1, nullptr, 0));
    } else {
        chunk = chunkOfName(id + 1);
        if (chunk == DF_CHUNK_NAMED) {
            DfFail(df, "Chunk ID not known: %s", id + 1);
            return -1;
        }
    }
    *plength = vt_uint_32(VtStrToUL(field(p), nullptr, 0));
    df->in_chunk = 1;
    df->chunk_end = df->pos + *plength;
    return int(chunk);
}

void tCountWrite(vt_datafile *df, vt_uint_32 count) { put(df, fmt(" count %d\n", int(count))); }

vt_uint_32 tCountRead(vt_datafile *df) {
    char line[kLine];
    char *p = line;
    if (!readLine(df, line) || strcmp(field(p), "count") != 0) {
        DfFail(df, "no element count for chunk");
        return 0;
    }
    return vt_uint_32(VtStrToUL(field(p), nullptr, 0));
}

int tCountSize(vt_datafile *) { return 1; }

vt_uint_32 tStructWrite(vt_datafile *df, const vt_file_struct *str, const void *base) {
    put(df, "  struct    ");
    put(df, str->name);
    put(df, "\n");
    membersWrite(df, str, base, 4);
    return 1;
}

vt_uint_32 tStructRead(vt_datafile *df, const vt_file_struct *str, void *base) {
    char line[kLine];
    if (!readLine(df, line)) {
        DfFail(df, "Unexpected EOF in strructure");
        return 0;
    }
    char *p = line;
    char *word = field(p);
    if (strcmp(word, "struct") != 0) {
        DfFail(df, "Unknown text identifer \"%s\"", word);
        return 0;
    }
    char *name = field(p);
    if (strcmp(name, str->name) != 0) {
        DfFail(df, "Incorrect structure name \"%s\"", name);
        return 0;
    }
    return membersRead(df, str, base);
}

int tStructSize(vt_datafile *df, const vt_file_struct *str, const void *) { return 1 + membersSize(df, str); }

int tBlockWrite(vt_datafile *df, const void *base, int block_size, int block_stride, int block_count, int size) {
    int count = block_size * block_count;
    put(df, fmt("  block %d\n", count));
    put(df, fmt("  size %d\n", size));
    vt_size row = vt_size(block_size) * vt_size(size);
    vt_size total = row * vt_size(block_count);
    const vt_uint_8 *bytes = static_cast<const vt_uint_8 *>(base);
    char *scratch = nullptr;
    if (vt_size(block_stride) != vt_size(block_size) * vt_size(size) || size != 1) {
        scratch = static_cast<char *>(VtScratchAllocate(total));
        if (scratch == nullptr)
            return VT_E_NO_MEMORY;
        for (int r = 0; r < block_count; r++)
            memcpy(scratch + row * r, static_cast<const char *>(base) + vt_size(r) * vt_size(block_stride), row);
        VtSwapBlock(scratch, count, size);
        bytes = reinterpret_cast<const vt_uint_8 *>(scratch);
    }
    std::string line;
    for (vt_size i = 0; i < total; i++) {
        if (i % 32 == 0)
            line += fmt("    %08x: %02x", unsigned(i), bytes[i]);
        else
            line += fmt("%02x", bytes[i]);
        if (i % 32 == 31 || i + 1 == total) {
            line += '\n';
            put(df, line);
            line.clear();
        }
    }
    if (scratch)
        VtScratchFree(scratch);
    return 0;
}

int hexDigit(int c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

void *tBlockRead(vt_datafile *df, void *base, int *pcount, int size, vt_uint_8 res_class) {
    char line[kLine];
    char *p = line;
    if (!readLine(df, line) || strcmp(field(p), "block") != 0) {
        DfFail(df, "no block");
        return nullptr;
    }
    long long count = strtoll(field(p), nullptr, 0);
    p = line;
    if (!readLine(df, line) || strcmp(field(p), "size") != 0) {
        DfFail(df, "no size");
        return nullptr;
    }
    if (strtoll(field(p), nullptr, 0) != size) {
        DfFail(df, "block size mismatch");
        return nullptr;
    }
    if (count < 0 || size <= 0 || uint64_t(count) * uint64_t(size) > kDfBlockLimit) {
        DfFail(df, "DfBlockReadText: block of %lld elements does not fit", count);
        return nullptr;
    }
    uint64_t total = uint64_t(count) * uint64_t(size);
    if (!DfBlockFits(df, "DfBlockReadText", count, size, (total + 31) / 32))
        return nullptr;
    if (base && count > *pcount) {
        DfFail(df, "DfBlockReadText: block too long: %d", int(count));
        return nullptr;
    }
    void *mem = base;
    if (mem == nullptr && (mem = VtResAllocate(parentOf(df), vt_size(total), res_class)) == nullptr)
        return nullptr;
    auto *bytes = static_cast<vt_uint_8 *>(mem);
    uint64_t done = 0;
    while (done < total) {
        p = line;
        if (!readLine(df, line)) {
            DfFail(df, "Unexpected EOF in block");
            break;
        }
        char *address = field(p);
        char *end;
        unsigned long at = VtStrToUL(address, &end, 16);
        if (end == address || *end != ':' || at != done) {
            DfFail(df, "block address mismatch");
            break;
        }
        uint64_t before = done;
        for (const char *h = p; done < total && done - before < 32;) {
            while (isBlank(*h))
                h++;
            int hi = hexDigit(h[0]), lo = hi < 0 ? -1 : hexDigit(h[1]);
            if (lo < 0)
                break;
            bytes[done++] = vt_uint_8(hi << 4 | lo);
            h += 2;
        }
        if (done == before) {
            DfFail(df, "block address mismatch");
            break;
        }
    }
    if (df->failed) {
        if (base == nullptr)
            VtResFree(mem);
        return nullptr;
    }
    VtSwapBlock(mem, int(count), size);
    *pcount = int(count);
    return mem;
}

int tBlockSize(vt_datafile *, const void *, int block_size, int, int block_count, int size) {
    return (block_size * block_count * size + 31) / 32 + 2;
}

int tNameWrite(vt_datafile *df, const char *name) {
    put(df, "  name \"");
    put(df, name ? name : "NULL");
    put(df, "\"\n");
    return 0;
}

char *tNameRead(vt_datafile *df, char *name) {
    char line[kLine];
    char *p = line;
    name[0] = '\0';
    if (!readLine(df, line) || strcmp(field(p), "name") != 0) {
        DfFail(df, "no name");
        return name;
    }
    while (isBlank(*p))
        p++;
    if (*p != '"') {
        DfFail(df, "no name string");
        return name;
    }
    bool quoted;
    char *text = value(p, &quoted);
    VtStrNCpy(name, text, 255);
    name[255] = '\0';
    return name;
}

int tNameSize(vt_datafile *, const char *) { return 1; }

} // namespace

const vt_file_primitives DfPrimitivesReadText = {
    "Read Text", tSkip,       DfInvalidChunkWrite, tChunkRead, DfInvalidCountWrite, tCountRead,
    tCountSize,  DfInvalidStructWrite, tStructRead, tStructSize, DfInvalidBlockWrite, tBlockRead,
    tBlockSize,  DfInvalidNameWrite, tNameRead, tNameSize,
};

const vt_file_primitives DfPrimitivesWriteText = {
    "Write Text", tSkip,       tChunkWrite, DfInvalidChunkRead, tCountWrite, DfInvalidCountRead,
    tCountSize,   tStructWrite, DfInvalidStructRead, tStructSize, tBlockWrite, DfInvalidBlockRead,
    tBlockSize,   tNameWrite,  DfInvalidNameRead, tNameSize,
};
