// Scene datafiles: models, materials and actor trees kept in the library's
// chunked datafiles (either form), and models read from ASCII mesh exports.
//
// What is read is neither prepared nor registered: models, materials and
// actors come back as the application would have allocated them. Names of
// materials, maps, shade tables and models inside a file are looked up in
// the registries (and through their find-failed hooks) as they are read. A
// file that goes wrong part way through gives nothing.
#pragma once

#include "render/scene/scene.h"

// ---- Models --------------------------------------------------------------

// Up to num models, in file order; the number read.
vt_uint_32 VtModelLoadMany(const char *filename, vt_model **models, vt_uint_16 num);
// The first model of the file, or null.
vt_model *VtModelLoad(const char *filename);
// How many models the file holds, without keeping them: VT_E_FAIL with 0
// when the file does not open or does not read.
vt_error VtModelFileCount(const char *filename, vt_uint_32 *num);
// The number of models written. A model whose vertices or faces were
// dropped by preparation writes nothing. The pivot is not written.
vt_uint_32 VtModelSave(const char *filename, vt_model *model);
vt_uint_32 VtModelSaveMany(const char *filename, vt_model **models, vt_uint_16 num);

// ---- Materials -----------------------------------------------------------

vt_uint_32 VtMaterialLoadMany(const char *filename, vt_material **materials, vt_uint_16 num);
vt_material *VtMaterialLoad(const char *filename);
vt_error VtMaterialFileCount(const char *filename, vt_uint_32 *num);
vt_uint_32 VtMaterialSave(const char *filename, vt_material *material);
// With a null list every registered material is written and the number
// registered returned.
vt_uint_32 VtMaterialSaveMany(const char *filename, vt_material **materials, vt_uint_16 num);

// ---- Actor trees -----------------------------------------------------------

// Each actor given is the root of a tree, written and read whole, with its
// children in their order.
vt_uint_32 VtActorLoadMany(const char *filename, vt_actor **actors, vt_uint_16 num);
vt_actor *VtActorLoad(const char *filename);
vt_error VtActorFileCount(const char *filename, vt_uint_32 *num);
vt_uint_32 VtActorSave(const char *filename, vt_actor *actor);
vt_uint_32 VtActorSaveMany(const char *filename, vt_actor **actors, vt_uint_16 num);

// ---- ASCII meshes ----------------------------------------------------------

// Up to num models from an ASCII mesh export (named triangle meshes with
// their vertex and face lists); the number read. Models come back unnamed
// when the file names none.
vt_uint_32 VtAsciiMeshLoad(const char *filename, vt_model **models, vt_uint_16 num);
