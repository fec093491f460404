// LightWave object files (form "LWOB"): the reader every shape of the game
// comes through, the model build (triangles, map coordinates, smoothing
// groups, welded vertices), the plan-view wireframe reading and the point
// list dump. The surface-slot table and the working triangles are shared
// with the surface materials, the smoothing cache and the hit boxes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "RES/vecmath.h"
#include "core/bytes.h"

struct vt_model;
struct vt_material;

// Model coordinates are file coordinates times 100 with y negated, divided
// by this (the camera set-up shares it).
inline constexpr float kModelScaleDivisor = 1.0f;

// ---- Surface slots and working triangles ---------------------------------

inline constexpr int kLwoSlotCount = 256;  // row 0 unused: at most 255 surfaces
inline constexpr float kLwoDefaultSmoothingAngle = 1.5207f;

struct LwoSurfaceSlot {
    const char *name;  // inside the file image of the load in progress
    vt_material *material;  // the registered material of the surface
    ByteView subChunks;  // the surface's SURF sub-chunks
    float smoothingAngle;  // radians
};
extern LwoSurfaceSlot LwoSurfaceSlots[kLwoSlotCount];

struct LwoFace {
    LwoFace *neighbours[3];  // edge k runs from corner k to corner k+1
    uint16_t corners[3];  // point index, later the welded vertex number
    float position[3][3];  // file units and axes
    float normal[3];
    int16_t surface;  // 1-based
    int16_t group;  // 0 unassigned, 1..15 smoothing region, 17 no smoothing
    float map[3][2];  // v, then u
    uint8_t edgeFlags;  // bit k: edge k is an inner edge
};
inline constexpr int16_t kLwoNoSmoothingGroup = 17;

// The file being read (its path as given) and the loader's last message.
inline constexpr size_t kLwoObjectNameSize = 227;
inline constexpr size_t kLwoErrorTextSize = 145;
extern char LwoCurrentObjectName[kLwoObjectNameSize];
extern char LwoErrorText[kLwoErrorTextSize];

// ---- File access -----------------------------------------------------------

// The form read from the stream: the 8-byte header, then the number of bytes
// it announces, at most `available` (the stream's length); a malloc'd block
// (form type first) and its size, or null.
uint8_t *LwoReadFile(FILE *stream, uint32_t available, uint32_t *sizeOut);
// True when every chunk of the form (after the form type) lies inside it.
bool LwoChunksFit(ByteView form);
// The data of the first chunk with the id in the form (after its type).
bool LwoFindChunk(ByteView form, const char id[4], ByteView *data);
// The data of the first sub-chunk with the id among a surface's sub-chunks;
// data beginning "(none)" counts as absent.
bool LwoFindSubChunk(ByteView subChunks, const char id[4], ByteView *data);
bool LwoReadF32BE(ByteView v, size_t at, float *out);

// ---- Loading --------------------------------------------------------------

// The resource manager's converter for type 15: the model registered under
// the path (found again by the same text), or null. `status`, when given, is
// set to 0 when no file is found. `reserved` is not used.
void *LwoLoadModel(const char *path, void *reserved, uint32_t *status);
// Looks for the model's "_LOW" variant and loads it beside the model.
void *LwoLoadShapeWithLod(void *model);
// The path in place: the slab name over the folder word ("shapes",
// "Sh_3DH", "Sh_3DX"), the last four characters cut.
void LwoShapePathForSlab(char *path, const char *slab);
// The converter for type 16: a new WireframeModel (freed with dunFree), or null.
void *LwoLoadWireframe(const char *path, void *reserved, uint32_t *status);
// Gives back what the two loaders above made (type 15: a model, 16: a
// wireframe). Only a model made while the library was not running is freed
// here (with the surface materials of such models once the last goes); the
// scene database's end frees those made under it.
void LwoFreeLoaded(int type, void *data);
void LwoFreeLooseMaterials();
// True while shapes made now would have no parent in the library.
bool LwoLooseRecords();
void LwoNoteLooseModel(vt_model *model);
// Before the library ends: the renderer's copies of those shapes and
// materials go, so that no pointer to them outlives it.
void LwoDropLooseStores();
// Writes the object's points as "x,y,z, " text (file units, y negated) to
// outputPath; false when either file cannot be opened.
bool LwoSavePoints(const char *path, const char *outputPath);

// Plan view of an object seen along its y axis, in connected parts.
struct WireframeModel {
    uint16_t pointCount;
    uint16_t edgeCount;
    uint16_t partCount;
    float (*points)[3];  // plan x, plan y, part number (-1: no edge uses it)
    uint16_t (*edges)[2];
    float (*parts)[4];  // smallest x, smallest y, width, height
};

// ---- Steps the other shape modules share ------------------------------

// Map coordinates of the corners of one surface's faces. Axis 1 X, 2 Y, 4 Z.
void LwoMapPlanar(LwoFace *faces, int count, int surface, int axis, const float centre[3], const float size[3]);
// wrapHeight 0: a cylinder; above 0: a sphere.
void LwoMapCylindrical(LwoFace *faces, int count, int surface, int axis, const float centre[3], const float size[3],
                       float wrapWidth, float wrapHeight);
void LwoFaceNormals(LwoFace *faces, int count);
void LwoFindNeighbours(LwoFace *faces, int count);
void LwoAssignSmoothingGroups(LwoFace *faces, int count);
// Numbers the corners by equal position and map coordinates; the vertex count.
int LwoWeldVertices(LwoFace *faces, int count);

// ---- The surface materials, the smoothing cache and the hit boxes ----------

// Builds, registers and stores the material of surface slot `surface` and
// maps its faces' corners.
void LwoMakeMaterial(int surface, LwoFace *faces, int count);
// The material's colour map: the texture of the path's base name from the
// six texture folders (a "debug.txt" warning when none has it); its index
// shade table: the shared one.
struct vt_pixelmap;
void LwoFindTexture(const char *path, vt_material *material);
void LwoUseReplacementTexture(vt_pixelmap *pixelmap, vt_material *material);
// While set, textures not found say nothing (the nebula loader's own loads).
extern uint8_t gLwoQuietTextures;

// A picture drawn in place of the texture of every surface named by the key
// (LoadTextureReplacement, FreeTextureReplacements: present/p3d.h).
struct TextureReplacement {
    TextureReplacement *next;
    std::string key;
    vt_pixelmap *pixelmap;  // null when the picture was not found
};
// The replacement registered under exactly this key, or null.
TextureReplacement *FindTextureReplacement(const char *key);
// True when the cache of the object at path gives every face its group and
// edge flags.
bool LwoLoadSmoothing(LwoFace *faces, int count, const char *path);
void LwoSaveSmoothing(const LwoFace *faces, int count, const char *path);
// The cache's name: the object path with its first ".lwo" (any case)
// replaced by ".smg" and the rest dropped.
std::string LwoSmoothingCacheName(const char *path);

// The collision record of the model, built on first request.
struct CollisionModel;
CollisionModel *LwoAttachHitBoxes(const char *path, vt_model *model);
// A new collision record holding the boxes of the box object, or null when
// it cannot be read.
CollisionModel *LwoLoadHitBoxes(const char *boxPath);
// A corner of the box object: model units, the surface of the first
// polygon that lists it among its first three points (0 none), its group.
struct LwoBoxPoint {
    Vec3 position;
    uint16_t surface;
    int16_t group;
};
// The box object's corners and surface names (name 0 empty); false when it
// cannot be read (no message).
bool LwoReadBoxPoints(const char *path, std::vector<LwoBoxPoint> *points, std::vector<std::string> *surfaces);
// Corners sharing two coordinates join one group; groups are numbered from
// 1 and the result is one past the last.
int LwoGroupBoxCorners(std::vector<LwoBoxPoint> &points);
// The record's twelve sample points, whole-model box (when it has none),
// bounds, subsystem masks and size from the model.
void LwoFitCollisionPoints(const vt_model *model, CollisionModel *record);
