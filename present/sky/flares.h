// Light effects of the space view: the sun's glare and the lens flares it
// throws across the screen (tested against the depth buffer), the ten
// short-lived dynamic point lights, the flash light and the two lights that
// follow the sun, the flare shells laid over a ship for a moment, the star
// gate's edge and the scrolling unlit texture. The frame's calls are
// declared in present/frame_passes.h.
#pragma once

#include <cstdint>

#include "RES/vecmath.h"

struct SceneItem;
struct TDP;
struct Mat4;
struct vt_actor;
struct vt_light;
struct vt_model;
struct vt_material;

inline constexpr int kLensFlareSources = 3;
inline constexpr int kFlareBatches = 3;
inline constexpr int kFlareBatchQuads = 15;
inline constexpr int kLightSlots = 10;
inline constexpr int kFlareSpriteCount = 6;

struct LensFlareSource {
    int16_t x, y;  // screen position of the sun's centre
    uint8_t active;  // 255 while queued
    int16_t size;  // 28..54
    uint8_t colour;  // bits 0-2 tint, bits 3-4 texture
};

struct FlareBatch {
    int32_t count;  // quads queued this frame
    vt_model *model;  // "LensReflec": 60 vertices, 30 faces
};

struct DynamicLight {
    vt_light *light;
    vt_actor *actor;
    SceneItem *owner;  // keeps the light alive; null: free-standing
    Vec3 position;  // world, or the owner's frame for an engine light
    int32_t life;  // 0 free; negative: never fades (script lights)
    float fade;  // applied each tick to the constant attenuation
    float radius;
    uint32_t colour;  // 0x00RRGGBB
    uint8_t engine;  // lit while its owner thrusts, placed in the owner's frame
    int32_t priority;
    uint32_t key;
};

struct LightEffects {
    LensFlareSource sources[kLensFlareSources];
    int16_t sourceCount;
    FlareBatch batches[kFlareBatches];
    DynamicLight slots[kLightSlots];
    // The flash light (software mode): remaining time and fade.
    int32_t flashTime;
    float flashFade;
    // The first scene light: the object carrying it, its remaining time
    // and its kind (1 direct, 0 a point lamp).
    SceneItem *sunCarrier;
    int32_t sunTime;
    uint8_t sunKind;
    float unlitScroll;
    // Reflections drawn by the last lens-flare pass (for displays and
    // tests).
    int32_t reflectionsDrawn;
};
extern LightEffects gLightFx;

// The flare tints: index, red, green, blue by bits 0-2 of a colour byte.
extern const uint8_t kFlareTints[8][4];
// Where the six reflections lie along the line through the centre, and
// their sizes, relative to the source.
extern const float kFlareSpritePlaces[kFlareSpriteCount][2];

// One flare sprite at a screen point: a quad of a batch on the 3D card, a
// shaded sprite at 8 bits, an added glow at 16 bits.
void P3DDrawFlareSprite(int x, int y, int colour, int batch, int size, float alpha);
// The sun's glare at the view-space point of its part (the star model's
// render callback with the renderer's model-to-view translation): two
// sprites, and a flare source when it is large enough.
void P3DStarFlareAt(const TDP *tdp, float x, float y, float z);
// The lens flares of the queued sources (the frame's lens-flare pass).
void P3DDrawLensFlares();
// A dynamic light: 3D card only. Position, or altPosition when it is null.
void P3DAddLight(SceneItem *owner, const Vec3 *position, const Vec3 *altPosition, uint32_t key, int priority,
                 float radius, int life, uint32_t colour);
// The slot a light of that key and priority would take, or -1.
int P3DChooseLightSlot(uint32_t key, int priority);
void P3DSunLightPlain();
// The script's engine light (see present/effects.h).
void P3DAddEngineLight(SceneItem *owner, const Vec3 *position, uint32_t colour, float radius);
// The sun object that the first light follows: a scripted sun or a star of
// the universe, or null.
SceneItem *P3DFindSunObject();

// The pocket and shield shells: spawned by the script and by impacts,
// placed each frame, removed by their timed message.
void P3DUpdateFlareShell(TDP *tdp, const Mat4 *world);
void P3DRemoveFlareShell(SceneItem *item, TDP *tdp);
