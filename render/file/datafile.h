// Datafiles: the chunked format of every persistent library record, in a
// big-endian binary form and a line-oriented text form. Structure templates
// drive the encoding of records; a stack carries partial records between
// chunk handlers; the chunk interpreter dispatches chunks through a table.
#pragma once

#include <cstddef>

#include "render/file/file.h"

// ---- Structure templates -------------------------------------------------

enum : vt_uint_16 {
    DF_TYPE_INT_8, DF_TYPE_UINT_8, DF_TYPE_INT_16, DF_TYPE_UINT_16,
    DF_TYPE_INT_32, DF_TYPE_UINT_32, DF_TYPE_FIXED, DF_TYPE_ANGLE,
    DF_TYPE_FLOAT, DF_TYPE_DOUBLE, DF_TYPE_SCALAR, DF_TYPE_FRACTION,
    DF_TYPE_UFRACTION, DF_TYPE_ENUM_8, DF_TYPE_ENUM_16, DF_TYPE_ENUM_32,
    DF_TYPE_STRUCT, DF_TYPE_ASCIZ, DF_TYPE_COLOUR, DF_TYPE_VECTOR2,
    DF_TYPE_VECTOR3, DF_TYPE_VECTOR4, DF_TYPE_FIXED_FRACTION, DF_TYPE_FIXED_UFRACTION,
    DF_TYPE_FLOAT_FRACTION, DF_TYPE_FLOAT_UFRACTION, DF_TYPE_FIXED_VECTOR2, DF_TYPE_FIXED_VECTOR3,
    DF_TYPE_FIXED_VECTOR4, DF_TYPE_FLOAT_VECTOR2, DF_TYPE_FLOAT_VECTOR3, DF_TYPE_FLOAT_VECTOR4,
    DF_TYPE_COUNT
};

struct vt_file_enum_member {
    vt_int_32 value;
    const char *name;
};

struct vt_file_enum {
    vt_uint_32 nmembers;
    const vt_file_enum_member *members;
};

struct vt_file_struct_member {
    vt_uint_16 type;
    vt_size offset;     // of the field in the record
    const char *name;   // may be null
    const void *extra;  // vt_file_enum for enums, vt_file_struct for struct
};

struct vt_file_struct {
    const char *name;
    vt_uint_32 nmembers;
    const vt_file_struct_member *members;
    vt_size mem_size; // in-memory size of one record
};

#define DF_MEMBER(type, rec, field) \
    { DF_TYPE_##type, offsetof(rec, field), #field, nullptr }
#define DF_MEMBER_X(type, rec, field, extra) \
    { DF_TYPE_##type, offsetof(rec, field), #field, extra }
#define DF_COUNT(a) vt_uint_32(sizeof(a) / sizeof((a)[0]))

// The member type's name, which is also its text-form keyword.
const char *DfMemberTypeName(vt_uint_16 type);

// ---- Chunks and file types ----------------------------------------------

enum : vt_uint_32 {
    DF_CHUNK_END = 0,
    DF_CHUNK_IMAGE_PLANE = 1,
    DF_CHUNK_RLE_IMAGE_PLANE = 2,
    DF_CHUNK_PIXELMAP = 3,
    DF_CHUNK_MATERIAL_OLD = 4,
    DF_CHUNK_ADD_MATERIAL = 5,
    DF_CHUNK_OLD_ACTOR = 6,
    DF_CHUNK_OLD_ADD_SIBLING = 7,
    DF_CHUNK_OLD_ADD_CHILD = 8,
    DF_CHUNK_OLD_MATERIAL_INDEX = 9,
    DF_CHUNK_OLD_VERTICES = 10,
    DF_CHUNK_OLD_VERTICES_UV = 11,
    DF_CHUNK_OLD_FACES = 12,
    DF_CHUNK_OLD_MODEL = 13,
    DF_CHUNK_ADD_MODEL = 14,
    DF_CHUNK_ANIM = 15,
    DF_CHUNK_ANIM_TRANSFORM = 16,
    DF_CHUNK_ANIM_RATE = 17,
    DF_CHUNK_FILE_INFO = 18,
    DF_CHUNK_OLD_LIGHT = 19,
    DF_CHUNK_OLD_CAMERA = 20,
    DF_CHUNK_PIVOT = 21,
    DF_CHUNK_MATERIAL_INDEX = 22,
    DF_CHUNK_VERTICES = 23,
    DF_CHUNK_VERTEX_UV = 24,
    DF_CHUNK_OLD_FACES_1 = 25,
    DF_CHUNK_FACE_MATERIAL = 26,
    DF_CHUNK_OLD_MODEL_1 = 27,
    DF_CHUNK_COLOUR_MAP_REF = 28,
    DF_CHUNK_OPACITY_MAP_REF = 29,
    DF_CHUNK_INDEX_BLEND_REF = 30,
    DF_CHUNK_INDEX_SHADE_REF = 31,
    DF_CHUNK_SCREENDOOR_REF = 32,
    DF_CHUNK_PIXELS = 33,
    DF_CHUNK_ADD_MAP = 34,
    DF_CHUNK_ACTOR = 35,
    DF_CHUNK_ACTOR_MODEL = 36,
    DF_CHUNK_ACTOR_TRANSFORM = 37,
    DF_CHUNK_ACTOR_MATERIAL = 38,
    DF_CHUNK_ACTOR_LIGHT = 39,
    DF_CHUNK_ACTOR_CAMERA = 40,
    DF_CHUNK_ACTOR_BOUNDS = 41,
    DF_CHUNK_ACTOR_ADD_CHILD = 42,
    DF_CHUNK_TRANSFORM_MATRIX34 = 43,
    DF_CHUNK_TRANSFORM_MATRIX34_LP = 44,
    DF_CHUNK_TRANSFORM_QUAT = 45,
    DF_CHUNK_TRANSFORM_EULER = 46,
    DF_CHUNK_TRANSFORM_LOOK_UP = 47,
    DF_CHUNK_TRANSFORM_TRANSLATION = 48,
    DF_CHUNK_TRANSFORM_IDENTITY = 49,
    DF_CHUNK_BOUNDS = 50,
    DF_CHUNK_LIGHT = 51,
    DF_CHUNK_CAMERA = 52,
    DF_CHUNK_FACES = 53,
    DF_CHUNK_MODEL = 54,
    DF_CHUNK_ACTOR_CLIP_PLANE = 55,
    DF_CHUNK_PLANE = 56,
    DF_CHUNK_SATURN_FACES = 57,
    DF_CHUNK_SATURN_MODEL = 58,
    DF_CHUNK_INDEX_FOG_REF = 59,
    DF_CHUNK_MATERIAL_OLD_2 = 60,
    DF_CHUNK_NAMED = 61, // ids from here on have no name
};

// The chunk's text-form name; null for ids without one.
const char *DfChunkName(vt_uint_32 id);

enum : vt_uint_32 {
    FILE_TYPE_NONE = 0,
    FILE_TYPE_ACTORS = 1,
    FILE_TYPE_PIXELMAP = 2,
    FILE_TYPE_LIGHT = 3,
    FILE_TYPE_CAMERA = 4,
    FILE_TYPE_MATERIAL_OLD = 5,
    FILE_TYPE_MATERIAL = 6,
    FILE_TYPE_MODEL = 0xFACE,
    FILE_TYPE_ANIMATION = 0xA11,
    FILE_TYPE_TREE = 0x5EED,
};

struct vt_file_info {
    vt_uint_32 type;
    vt_uint_32 version;
};
extern const vt_file_struct DfFileInfoStruct; // "file_info"

// ---- Open datafiles and their primitives -------------------------------

struct vt_datafile;

struct vt_file_primitives {
    const char *identifier;
    // Passes over length units (bytes, or lines in text) of the current chunk.
    int (*skip)(vt_datafile *df, vt_uint_32 length);
    int (*chunk_write)(vt_datafile *df, vt_uint_32 id, vt_uint_32 length);
    // The chunk id, or -1 at the end of the file.
    int (*chunk_read)(vt_datafile *df, vt_uint_32 *plength);
    void (*count_write)(vt_datafile *df, vt_uint_32 count);
    vt_uint_32 (*count_read)(vt_datafile *df);
    int (*count_size)(vt_datafile *df);
    vt_uint_32 (*struct_write)(vt_datafile *df, const vt_file_struct *str, const void *base);
    // 1 when the record was read, 0 after a reported failure.
    vt_uint_32 (*struct_read)(vt_datafile *df, const vt_file_struct *str, void *base);
    int (*struct_size)(vt_datafile *df, const vt_file_struct *str, const void *base);
    // block_size elements of `size` bytes per row, rows block_stride
    // elements apart, block_count rows.
    int (*block_write)(vt_datafile *df, const void *base, int block_size, int block_stride, int block_count,
                       int size);
    // Into base (capacity *pcount elements) or, with base null, a new
    // resource of class res_class; *pcount receives the element count.
    // Null after a reported failure.
    void *(*block_read)(vt_datafile *df, void *base, int *pcount, int size, vt_uint_8 res_class);
    int (*block_size)(vt_datafile *df, const void *base, int block_size, int block_stride, int block_count,
                      int size);
    int (*name_write)(vt_datafile *df, const char *name);
    // Into a buffer of at least 256 bytes; a longer name is cut to 255
    // characters and the rest passed over.
    char *(*name_read)(vt_datafile *df, char *name);
    int (*name_size)(vt_datafile *df, const char *name);
};

extern const vt_file_primitives DfPrimitivesNull;
extern const vt_file_primitives DfPrimitivesReadBinary;
extern const vt_file_primitives DfPrimitivesWriteBinary;
extern const vt_file_primitives DfPrimitivesReadText;
extern const vt_file_primitives DfPrimitivesWriteText;

struct vt_datafile {
    vt_file *h;
    const vt_file_primitives *prims;
    vt_token scalar_type; // VTT_FIXED or VTT_FLOAT
    void *res;            // parent of blocks read (null: the root)
    // Where reading stands, so that sizes read from the file can be checked
    // against what the current chunk still holds.
    uint64_t pos;       // bytes (binary) or lines (text) consumed
    uint64_t chunk_end; // pos at the end of the current chunk
    vt_boolean in_chunk;
    vt_boolean failed;    // a format failure was reported: stop reading
};

enum { DF_STACK_SIZE = 1024, DF_STACK_DATAFILE = 21 };

vt_datafile *DfOpen(const char *name, int write, vt_token scalar_type);
void DfClose(vt_datafile *df);
// Mode of the first 8 bytes: 1 text, 0 binary, 2 neither.
int DfFileIdentify(const vt_uint_8 *magics, vt_size n_magics);
// Default form of files opened for writing (0 binary, 1 text); returns the
// previous one.
int VtWriteModeSet(int mode);

void DfPush(int type, void *value, int extra);
void *DfPop(int type, int *pextra);
void *DfTop(int type, int *pextra);
int DfTopType();

int DfStructWriteArray(vt_datafile *df, const vt_file_struct *str, const void *base, int n);
// Bytes (binary) or lines (text) left in the chunk being read; the whole
// file's limit outside a chunk.
uint64_t DfChunkRemaining(vt_datafile *df);
// 1 when n records of the template can still be in the current chunk; else
// reports the failure and answers 0. Handlers check counts with it before
// allocating.
vt_boolean DfCountFits(vt_datafile *df, vt_uint_32 n, const vt_file_struct *str);

struct vt_chunks_table_entry {
    vt_uint_32 id;
    vt_uint_8 has_count;
    int (*handler)(vt_datafile *df, vt_uint_32 id, vt_uint_32 length, vt_uint_32 count);
};

struct vt_chunks_table {
    int nentries;
    const vt_chunks_table_entry *entries;
};

// 0 at the end of the file, a handler's non-zero result, or 0x1002 after a
// format failure.
int DfChunksInterpret(vt_datafile *df, const vt_chunks_table *table);
int DfReadEnd(vt_datafile *df, vt_uint_32 id, vt_uint_32 length, vt_uint_32 count);
int DfWriteEnd(vt_datafile *df);
int DfFileInfoWrite(vt_datafile *df, vt_uint_32 type);
