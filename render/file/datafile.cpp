// Open datafiles, the datafile stack, the chunk interpreter and the tables
// shared by both forms.
#include <cstdarg>
#include <cstring>

#include "render/file/dfprivate.h"
#include "render/fmt/fmt.h"
#include "render/fw/fwstate.h"

namespace {

const char *const kMemberTypeNames[DF_TYPE_COUNT] = {
    "int_8",          "uint_8",         "int_16",          "uint_16",         "int_32",         "uint_32",
    "fixed",          "angle",          "float",           "double",          "scalar",         "fraction",
    "ufraction",      "enum_8",         "enum_16",         "enum_32",         "struct",         "asciz",
    "colour",         "vector2",        "vector3",         "vector4",         "fixed_fraction", "fixed_ufraction",
    "float_fraction", "float_ufraction", "fixed_vector2",  "fixed_vector3",   "fixed_vector4",  "float_vector2",
    "float_vector3",  "float_vector4",
};

const char *const kChunkNames[DF_CHUNK_NAMED] = {
    "END",
    "IMAGE_PLANE",
    "RLE_IMAGE_PLANE",
    "PIXELMAP",
    "MATERIAL_OLD",
    "ADD_MATERIAL",
    "OLD_ACTOR",
    "OLD_ADD_SIBLING",
    "OLD_ADD_CHILD",
    "OLD_MATERIAL_INDEX",
    "OLD_VERTICES",
    "OLD_VERTICES_UV",
    "OLD_FACES",
    "OLD_MODEL",
    "ADD_MODEL",
    "ANIM",
    "ANIM_TRANSFORM",
    "ANIM_RATE",
    "FILE_INFO",
    "OLD_LIGHT",
    "OLD_CAMERA",
    "PIVOT",
    "MATERIAL_INDEX",
    "VERTICES",
    "VERTEX_UV",
    "OLD_FACES_1",
    "FACE_MATERIAL",
    "OLD_MODEL_1",
    "COLOUR_MAP_REF",
    "OPACITY_MAP_REF",
    "INDEX_BLEND_REF",
    "INDEX_SHADE_REF",
    "SCREENDOOR_REF",
    "PIXELS",
    "ADD_MAP",
    "ACTOR",
    "ACTOR_MODEL",
    "ACTOR_TRANSFORM",
    "ACTOR_MATERIAL",
    "ACTOR_LIGHT",
    "ACTOR_CAMERA",
    "ACTOR_BOUNDS",
    "ACTOR_ADD_CHILD",
    "TRANSFORM_MATRIX34",
    "TRANSFORM_MATRIX34_LP",
    "TRANSFORM_QUAT",
    "TRANSFORM_EULER",
    "TRANSFORM_LOOK_UP",
    "TRANSFORM_TRANSLATION",
    "TRANSFORM_IDENTITY",
    "BOUNDS",
    "LIGHT",
    "CAMERA",
    "FACES",
    "MODEL",
    "ACTOR_CLIP_PLANE",
    "PLANE",
    "SATURN_FACES",
    "SATURN_MODEL",
    "INDEX_FOG_REF",
    "MATERIAL_OLD",
};

const vt_file_enum_member kFileTypeMembers[] = {
    {FILE_TYPE_NONE, "FILE_TYPE_NONE"},
    {FILE_TYPE_ACTORS, "FILE_TYPE_ACTORS"},
    {FILE_TYPE_PIXELMAP, "FILE_TYPE_PIXELMAP"},
    {FILE_TYPE_LIGHT, "FILE_TYPE_LIGHT"},
    {FILE_TYPE_CAMERA, "FILE_TYPE_CAMERA"},
    {FILE_TYPE_MATERIAL_OLD, "FILE_TYPE_MATERIAL_OLD"},
    {FILE_TYPE_MODEL, "FILE_TYPE_MODEL"},
    {FILE_TYPE_ANIMATION, "FILE_TYPE_ANIMATION"},
    {FILE_TYPE_TREE, "FILE_TYPE_TREE"},
    {FILE_TYPE_MATERIAL, "FILE_TYPE_MATERIAL"},
};
const vt_file_enum kFileTypeEnum = {DF_COUNT(kFileTypeMembers), kFileTypeMembers};

const vt_file_struct_member kFileInfoMembers[] = {
    DF_MEMBER_X(ENUM_32, vt_file_info, type, &kFileTypeEnum),
    DF_MEMBER(UINT_32, vt_file_info, version),
};

struct stack_entry {
    int type;
    void *value;
    int extra;
};

stack_entry dfStack[DF_STACK_SIZE];
int dfDepth;

} // namespace

const vt_file_struct DfFileInfoStruct = {"file_info", DF_COUNT(kFileInfoMembers), kFileInfoMembers,
                                         sizeof(vt_file_info)};

const char *DfMemberTypeName(vt_uint_16 type) { return type < DF_TYPE_COUNT ? kMemberTypeNames[type] : "?"; }

const char *DfChunkName(vt_uint_32 id) { return id < DF_CHUNK_NAMED ? kChunkNames[id] : nullptr; }

void DfFail(vt_datafile *df, const char *format, ...) {
    char message[256];
    va_list args;
    va_start(args, format);
    VtVSprintfN(message, sizeof message, format, args);
    va_end(args);
    if (df)
        df->failed = 1;
    VtFailure("%s", message);
}

vt_uint_16 DfResolveType(vt_datafile *df, vt_uint_16 type) {
    static const vt_uint_16 kFixed[] = {DF_TYPE_FIXED, DF_TYPE_FIXED_FRACTION, DF_TYPE_FIXED_UFRACTION,
                                        DF_TYPE_FIXED_VECTOR2, DF_TYPE_FIXED_VECTOR3, DF_TYPE_FIXED_VECTOR4};
    static const vt_uint_16 kFloat[] = {DF_TYPE_FLOAT, DF_TYPE_FLOAT_FRACTION, DF_TYPE_FLOAT_UFRACTION,
                                        DF_TYPE_FLOAT_VECTOR2, DF_TYPE_FLOAT_VECTOR3, DF_TYPE_FLOAT_VECTOR4};
    if (type >= DF_TYPE_COUNT) {
        DfFail(df, "Unknown member type %d", type);
        return DF_TYPE_COUNT;
    }
    bool generic = type == DF_TYPE_SCALAR || type == DF_TYPE_FRACTION || type == DF_TYPE_UFRACTION ||
                   (type >= DF_TYPE_VECTOR2 && type <= DF_TYPE_VECTOR4);
    if (!generic)
        return type;
    int i = type <= DF_TYPE_UFRACTION ? type - DF_TYPE_SCALAR : type - DF_TYPE_VECTOR2 + 3;
    if (df->scalar_type == VTT_FIXED)
        return kFixed[i];
    if (df->scalar_type == VTT_FLOAT)
        return kFloat[i];
    DfFail(df, "Incorrect scalar type");
    return DF_TYPE_COUNT;
}

int DfVectorSize(vt_uint_16 type) {
    if (type >= DF_TYPE_FIXED_VECTOR2 && type <= DF_TYPE_FIXED_VECTOR4)
        return type - DF_TYPE_FIXED_VECTOR2 + 2;
    if (type >= DF_TYPE_FLOAT_VECTOR2 && type <= DF_TYPE_FLOAT_VECTOR4)
        return type - DF_TYPE_FLOAT_VECTOR2 + 2;
    return 0;
}

bool DfVectorIsFixed(vt_uint_16 type) { return type >= DF_TYPE_FIXED_VECTOR2 && type <= DF_TYPE_FIXED_VECTOR4; }

uint64_t DfChunkRemaining(vt_datafile *df) {
    if (!df->in_chunk)
        return UINT64_MAX;
    return df->chunk_end > df->pos ? df->chunk_end - df->pos : 0;
}

bool DfBlockFits(vt_datafile *df, const char *who, int64_t count, int64_t size, uint64_t units) {
    if (count < 0 || size <= 0 || uint64_t(count) * uint64_t(size) > kDfBlockLimit || units > DfChunkRemaining(df)) {
        DfFail(df, "%s: block of %lld elements of %lld bytes does not fit the chunk", who, (long long)count,
               (long long)size);
        return false;
    }
    return true;
}

vt_boolean DfCountFits(vt_datafile *df, vt_uint_32 n, const vt_file_struct *str) {
    uint64_t each = uint64_t(df->prims->struct_size(df, str, nullptr));
    if (each == 0)
        each = 1;
    if (uint64_t(n) * each > DfChunkRemaining(df) || uint64_t(n) * str->mem_size > kDfBlockLimit) {
        DfFail(df, "%u records of %s do not fit the chunk", n, str->name);
        return 0;
    }
    return 1;
}

// ---- Open and close ------------------------------------------------------

int DfFileIdentify(const vt_uint_8 *magics, vt_size n_magics) {
    static const vt_uint_8 kBinary[8] = {0, 0, 0, 0x12, 0, 0, 0, 8};
    if (n_magics < 8)
        return VT_FILE_UNKNOWN;
    if (memcmp(magics, "*FILE_IN", 8) == 0)
        return VT_FILE_TEXT;
    if (memcmp(magics, kBinary, 8) == 0)
        return VT_FILE_BINARY;
    return VT_FILE_UNKNOWN;
}

int VtWriteModeSet(int mode) {
    int old = vtFw.open_write_mode;
    vtFw.open_write_mode = mode;
    return old;
}

vt_datafile *DfOpen(const char *name, int write, vt_token scalar_type) {
    int mode = vtFw.open_write_mode;
    vt_file *h = write ? VtFileOpenWrite(name, mode) : VtFileOpenRead(name, 8, DfFileIdentify, &mode);
    if (h == nullptr)
        return nullptr;
    auto *df = static_cast<vt_datafile *>(VtResAllocate(VtFrameworkRoot(), sizeof(vt_datafile), VT_RES_DATAFILE));
    if (df == nullptr) {
        VtFileClose(h);
        return nullptr;
    }
    memset(df, 0, sizeof *df);
    df->h = h;
    df->scalar_type = scalar_type;
    df->prims = &DfPrimitivesNull;
    if (mode == VT_FILE_BINARY)
        df->prims = write ? &DfPrimitivesWriteBinary : &DfPrimitivesReadBinary;
    else if (mode == VT_FILE_TEXT)
        df->prims = write ? &DfPrimitivesWriteText : &DfPrimitivesReadText;
    DfPush(DF_STACK_DATAFILE, df, 1);
    return df;
}

void DfClose(vt_datafile *df) {
    // Handlers' partial records left above the file's entry go with it,
    // whatever their type numbers.
    while (dfDepth > 0 && !(dfStack[dfDepth - 1].type == DF_STACK_DATAFILE && dfStack[dfDepth - 1].value == df))
        DfPop(DfTopType(), nullptr);
    DfPop(DF_STACK_DATAFILE, nullptr);
    VtFileClose(df->h);
    VtResFree(df);
}

// ---- The stack -----------------------------------------------------------

void DfPush(int type, void *value, int extra) {
    if (dfDepth >= DF_STACK_SIZE) {
        VtFailure("DatafileStack Overflow");
        return;
    }
    dfStack[dfDepth++] = {type, value, extra};
}

static stack_entry *checkedTop(int type) {
    if (dfDepth <= 0) {
        VtFailure("DatafileStack Underflow");
        return nullptr;
    }
    stack_entry *e = &dfStack[dfDepth - 1];
    if (e->type != type) {
        VtFailure("DatafileStack type mismatch, wanted %d, got %d", type, e->type);
        return nullptr;
    }
    return e;
}

void *DfPop(int type, int *pextra) {
    stack_entry *e = checkedTop(type);
    if (e == nullptr)
        return nullptr;
    dfDepth--;
    if (pextra)
        *pextra = e->extra;
    return e->value;
}

void *DfTop(int type, int *pextra) {
    stack_entry *e = checkedTop(type);
    if (e == nullptr)
        return nullptr;
    if (pextra)
        *pextra = e->extra;
    return e->value;
}

int DfTopType() { return dfDepth > 0 ? dfStack[dfDepth - 1].type : 0; }

// ---- Records and chunks --------------------------------------------------

int DfStructWriteArray(vt_datafile *df, const vt_file_struct *str, const void *base, int n) {
    if (n < 1)
        return 0;
    const char *p = static_cast<const char *>(base);
    for (int i = 0; i < n; i++, p += str->mem_size)
        df->prims->struct_write(df, str, p);
    return n;
}

int DfChunksInterpret(vt_datafile *df, const vt_chunks_table *table) {
    for (;;) {
        if (df->failed)
            return VT_E_FAIL;
        vt_uint_32 length = 0;
        int id = df->prims->chunk_read(df, &length);
        if (df->failed)
            return VT_E_FAIL;
        if (id == -1)
            return 0;
        const vt_chunks_table_entry *entry = nullptr;
        for (int i = 0; i < table->nentries; i++)
            if (table->entries[i].id == vt_uint_32(id)) {
                entry = &table->entries[i];
                break;
            }
        if (entry == nullptr) {
            df->prims->skip(df, length);
            continue;
        }
        vt_uint_32 count = entry->has_count ? df->prims->count_read(df) : 0;
        if (df->failed)
            return VT_E_FAIL;
        if (int r = entry->handler(df, vt_uint_32(id), length, count))
            return df->failed ? int(VT_E_FAIL) : r;
    }
}

int DfReadEnd(vt_datafile *, vt_uint_32, vt_uint_32, vt_uint_32) { return 1; }

int DfWriteEnd(vt_datafile *df) { return df->prims->chunk_write(df, DF_CHUNK_END, 0); }

int DfFileInfoWrite(vt_datafile *df, vt_uint_32 type) {
    vt_file_info fi = {type, 2};
    df->prims->chunk_write(df, DF_CHUNK_FILE_INFO, vt_uint_32(df->prims->struct_size(df, &DfFileInfoStruct, &fi)));
    df->prims->struct_write(df, &DfFileInfoStruct, &fi);
    return 0;
}

// ---- The table that refuses every call -----------------------------------

// Reported as fatal; with a handler that returns, the datafile stops.
static int invalidCall(vt_datafile *df) {
    VtFatal("datafile", 1824, "Invald file primitive call");
    if (df)
        df->failed = 1;
    return -1;
}
int DfInvalidSkip(vt_datafile *df, vt_uint_32) { return invalidCall(df); }
int DfInvalidChunkWrite(vt_datafile *df, vt_uint_32, vt_uint_32) { return invalidCall(df); }
int DfInvalidChunkRead(vt_datafile *df, vt_uint_32 *) { return invalidCall(df); }
void DfInvalidCountWrite(vt_datafile *df, vt_uint_32) { invalidCall(df); }
vt_uint_32 DfInvalidCountRead(vt_datafile *df) { return invalidCall(df), 0; }
int DfInvalidCountSize(vt_datafile *df) { return invalidCall(df), 0; }
vt_uint_32 DfInvalidStructWrite(vt_datafile *df, const vt_file_struct *, const void *) { return invalidCall(df), 0; }
vt_uint_32 DfInvalidStructRead(vt_datafile *df, const vt_file_struct *, void *) { return invalidCall(df), 0; }
int DfInvalidStructSize(vt_datafile *df, const vt_file_struct *, const void *) { return invalidCall(df), 0; }
int DfInvalidBlockWrite(vt_datafile *df, const void *, int, int, int, int) { return invalidCall(df), 0; }
void *DfInvalidBlockRead(vt_datafile *df, void *, int *, int, vt_uint_8) { return invalidCall(df), nullptr; }
int DfInvalidBlockSize(vt_datafile *df, const void *, int, int, int, int) { return invalidCall(df), 0; }
int DfInvalidNameWrite(vt_datafile *df, const char *) { return invalidCall(df), 0; }
char *DfInvalidNameRead(vt_datafile *df, char *) { return invalidCall(df), nullptr; }
int DfInvalidNameSize(vt_datafile *df, const char *) { return invalidCall(df), 0; }

const vt_file_primitives DfPrimitivesNull = {
    "NULL",      DfInvalidSkip,      DfInvalidChunkWrite, DfInvalidChunkRead,  DfInvalidCountWrite, DfInvalidCountRead,  DfInvalidCountSize, DfInvalidStructWrite,
    DfInvalidStructRead, DfInvalidStructSize, DfInvalidBlockWrite, DfInvalidBlockRead, DfInvalidBlockSize,  DfInvalidNameWrite, DfInvalidNameRead,  DfInvalidNameSize,
};
