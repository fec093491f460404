// Shared pieces of the scene datafile readers and writers: the structure
// templates, the datafile stack entries they leave, and the loaders' loop.
#pragma once

#include "render/file/datafile.h"
#include "render/scenefile/scenefile.h"

// Datafile stack entries of the scene chunks.
enum {
    SF_STACK_MATERIAL = 3,
    SF_STACK_ACTOR = 4,
    SF_STACK_MATERIAL_INDEX = 5, // extra: the number of entries
    SF_STACK_VERTICES = 6,       // extra: the count
    SF_STACK_FACES = 7,          // extra: the count
    SF_STACK_MODEL = 8,
    SF_STACK_TRANSFORM = 16,
    SF_STACK_LIGHT = 17,
    SF_STACK_CAMERA = 18,
    SF_STACK_BOUNDS = 19,
    SF_STACK_PLANE = 20,
};

// The current material form has no chunk name.
enum : vt_uint_32 { SF_CHUNK_MATERIAL = 62 };

// Model flags a file keeps.
enum : vt_uint_16 { SF_MODEL_FLAGS_KEPT = 0x17 };

// What a handler returns when the file does not read.
constexpr int kSfFail = int(VT_E_FAIL);

// Most vertices or faces a model holds.
constexpr vt_uint_32 kSfMaxElements = 0xFFFF;

// The old face forms, read into records of their own and then carried over
// into the model's faces.
struct sf_old_face_1 {
    vt_uint_16 vertices[3];
    vt_uint_8 smoothing; // group number, 0 for every group
    vt_uint_8 flags;
};
struct sf_old_face {
    vt_uint_16 vertices[3];
    vt_uint_16 material; // entry of the material index
    vt_uint_32 smoothing;
};

// The oldest material form keeps 16 flag bits.
struct sf_material_oldest {
    vt_material m;
    vt_uint_16 flags;
};

extern const vt_file_struct sfVertexStruct;         // "vt_vertex"
extern const vt_file_struct sfVertexUVStruct;       // "vt_vertex_uv"
extern const vt_file_struct sfOldVertexUVStruct;    // "vt_old_vertex_uv"
extern const vt_file_struct sfFaceStruct;           // "vt_face"
extern const vt_file_struct sfOldFace1Struct;       // "vt_old_face_1"
extern const vt_file_struct sfOldFaceStruct;        // "vt_old_face"
extern const vt_file_struct sfModelStruct;          // "vt_model"
extern const vt_file_struct sfOldModel1Struct;      // "vt_old_model_1"
extern const vt_file_struct sfPivotStruct;          // "vt_pivot"
extern const vt_file_struct sfMaterialOldestStruct; // "vt_material_oldest"
extern const vt_file_struct sfMaterialOldStruct;    // "vt_material_old"
extern const vt_file_struct sfMaterialStruct;       // "vt_material"
extern const vt_file_struct sfActorStruct;          // "vt_actor"
extern const vt_file_struct sfBoundsStruct;         // "vt_bounds3"
extern const vt_file_struct sfPlaneStruct;          // "vt_plane"
extern const vt_file_struct sfLightStruct;          // "vt_light"
extern const vt_file_struct sfCameraStruct;         // "vt_camera"
// The template of each transform type; null for identity.
const vt_file_struct *SfTransformStruct(vt_uint_16 type);

// Where records read hang until something takes them: the scene's root,
// or the framework's while there is no scene database.
void *SfRecordParent();

// Reports a format failure and stops the datafile; kSfFail for the
// handler to return.
int SfFail(vt_datafile *df, const char *format, ...) VT_PRINTF(2, 3);

// The entry a handler needs from the stack; a missing or different entry is
// reported (by the stack) and stops the datafile.
void *SfPop(vt_datafile *df, int type, int *pextra);
void *SfTop(vt_datafile *df, int type, int *pextra);
// Pushes a finished record; when the stack is full it is freed and the
// datafile stops.
bool SfPush(vt_datafile *df, int type, void *value, int extra);
// Frees what a stack entry of the scene chunks holds.
void SfFreeEntry(int type, void *value);

// Reads one record with its strings hung under owner.
bool SfStructRead(vt_datafile *df, const vt_file_struct *str, void *base, void *owner);

// Writes a chunk holding one record.
void SfStructChunkWrite(vt_datafile *df, vt_uint_32 id, const vt_file_struct *str, const void *base);
// Writes a chunk holding one name.
void SfNameChunkWrite(vt_datafile *df, vt_uint_32 id, const char *name);

// What the loaders' loop needs to know of one kind of record.
struct sf_kind {
    const vt_chunks_table *table;
    int stack_type;
    void (*free_item)(void *item);
    // Checks a finished record before it is handed out (may be null).
    bool (*finished)(void *item);
};

// Interprets the file's chunks until num records of the kind were read or
// the file ends. With items null the records are counted and freed. On a
// failure nothing is kept: 0, and *failed set when given.
vt_uint_32 SfLoadMany(const char *filename, const sf_kind &kind, void **items, vt_uint_32 num, bool *failed);
// The first record of the kind in the file, or null.
void *SfLoadOne(const char *filename, const sf_kind &kind);
vt_error SfFileCount(const char *filename, const sf_kind &kind, vt_uint_32 *num);

// Opens the file for writing with its FILE_INFO and writes each record
// given (null entries passed over); the number the writer wrote.
vt_uint_32 SfSaveMany(const char *filename, vt_uint_32 file_type, void *const *items, vt_uint_32 num,
                      bool (*write)(vt_datafile *df, void *item));

// Every face names a vertex the model has (the model is named in the
// failure report otherwise).
bool SfModelFacesValid(const vt_model *model);
