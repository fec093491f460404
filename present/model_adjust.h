// Changes made to a library model in place, by the set-up, the script's
// model statements and the world: each ends by telling the library.
#pragma once

#include <cstdint>

struct vt_model;
struct SceneItem;
struct Vec3;

// Scaled about its origin so that its farthest vertex lies at the radius;
// its collision model follows.
void NormaliseModelRadius(vt_model *model, float radius);
// Every vertex multiplied by the factor, and the collision model's size.
void ScaleModelAndCollision(vt_model *model, float factor);
// Every vertex moved along its direction from the origin to the radius.
void ProjectModelOntoSphere(vt_model *model, float radius);
void SlideModel(vt_model *model, float dx, float dy, float dz);
// Negates x (axis 0), y (1) or z (2) of every vertex; other axes change
// nothing.
void ReflectModel(vt_model *model, int axis);
// Swaps y and z of every vertex.
void RotateModelX90(vt_model *model);
// Texture coordinates from the library's sphere and plane mappings (face
// materials cleared) and its cylinder mapping (materials kept).
void ApplySphereMap(vt_model *model);
void ApplyPlaneMap(vt_model *model);
void ApplyCylinderMap(vt_model *model);
// Every face's winding reversed (its second and third vertex swapped).
void P3DFlipModelFaces(vt_model *model);
// Every face takes the material of that name, every vertex index byte 128.
void P3DSetModelMaterial(vt_model *model, const char *name);
// The model saved as a library datafile.
void P3DSaveModelFile(const char *file, vt_model *model);
// The face of the object's current model nearest the point (a random one
// for the origin): its centroid and normal; 255 found, 0 none.
int PickModelFace(SceneItem *object, const Vec3 *point, Vec3 *centroid, Vec3 *normal);
// The u coordinates of a planet-pool sphere (slot 0..2) in the upper half
// of their unit step moved on by 1 - step; the cockpit's keys use the shared
// step.
void ScrollModelTexture(int slot, float step);
extern float gTextureScrollStep;
// The pool sphere's face classes from "vantor\dat\triballind.dat".
void LoadFaceClassTable();
// A pool slot's sphere faces painted by class: "black", the first or the
// second half's material.
void PaintFaceClassMaterials(int16_t slot);
