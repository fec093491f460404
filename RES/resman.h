// RESMAN, the resource manager: up to 600 named, typed resources found by a
// hash of their names, loaded on demand by their type's converter, with their
// data carved from one bump pool that each mission gives back to the mark set
// after start-up.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int ResourceHandleCount = 600;
constexpr int ResourceNameBytes = 128;
constexpr uint32_t ResourcePoolLimit = 4100000;
constexpr int64_t ResourcePoolHeadroom = 1000000;

// The script's conversion keywords; a type is the keyword's code less one.
enum ResourceType : uint32_t {
    ResSized = 0,
    ResLbm2Palette = 1,
    ResLbm2Raster = 2,
    ResBlock16 = 3,
    ResPcx2Palette = 4,
    ResPcx2Raster = 5,
    ResPcx2BackRaster = 6,
    ResCm2ColourMap = 7,
    ResFnt2RFont = 8,
    ResFon2RFont = 9,
    ResRvf2VFont = 10,
    ResAsc2Brm = 11,
    ResDat2Brm = 12,
    ResScr2Avt = 13,
    ResTxt2Txt = 14,
    ResLwo2Brm = 15,
    ResLwo2Wri = 16,
    ResBrVideo = 17,
    ResAvi = 18,
    ResWav2Snd = 19,
};
// Types above this one are not types.
constexpr uint32_t ResLastType = ResWav2Snd;

// Loader classes: which slab holds a type's files, by language, and what
// unloading keeps. Classes 8 and 10 have no type of their own.
enum LoaderClass : uint32_t {
    ClassPalette = 0,
    ClassRaster = 1,
    ClassBlock = 2,
    ClassColourMap = 3,
    ClassBitmapFont = 4,
    ClassVectorFont = 5,
    ClassModel = 6,       // 3D models: kept when unloaded
    ClassWireframe = 7,
    ClassText = 9,
    ClassVideo = 11,      // films: never looked for as files
    ClassAvi = 12,
    ClassSound = 13,      // sound slots: kept when unloaded
};
constexpr int LoaderClassCount = 14;

struct ResourceHandle {
    void *data;                     // the converted resource; null while not loaded
    char name[ResourceNameBytes];   // file path less one leading backslash
    uint32_t nameHash;
    uint32_t size;                  // bytes reserved from the pool before conversion
    uint32_t type;
    uint32_t loaderClass;           // 0..13: the slab by language, and what unloading keeps
    uint8_t locked;                 // 0 or 255
    uint8_t reloadNeeded;           // 0 or 255: the next load converts again
    uint16_t generation;            // bumped whenever the slot is given back
    uint32_t flags;                 // ResourceFlag bits, cleared at registration
};

namespace ResourceFlag {
constexpr uint32_t Localised = 2;  // registered by REGLOAD_L
}  // namespace ResourceFlag

struct ResourceManager {
    ResourceHandle handles[ResourceHandleCount];
    int16_t count;
    int16_t markCount;
    uint32_t hashTable[256];
    uint8_t *poolBase;
    uint8_t *poolTop;
    uint8_t *poolMark;
    uint32_t capacity;
    const ResourceHandle *backgroundHolder;  // whose picture the background buffer holds
};
extern ResourceManager RESMAN;

// 640 x 480 pixels at the pixel depth of start-up.
extern uint8_t *BackgroundRasterBuffer;
extern uint32_t BackgroundRasterBytes;

// The slab holding each loader class's files, by language (English, French,
// German); null when the class has none.
extern const char *const ClassSlabTable[LoaderClassCount][3];

// A converter gets the handle's name, the block reserved for it (null when
// the size is 0) and the block's size, which it may replace with the data's
// size; it returns the data, or null on failure.
using ResourceConverter = void *(*)(const char *name, void *block, uint32_t *size);

uint32_t resmanInit();
void resmanMark();
void resmanRelease();
void resmanShutdown();

uint32_t resmanHashName(const char *name);
// The handle of that name and type (new unless registered already); null
// only for a name of 128 characters or more, which the handle can't hold.
ResourceHandle *resmanRegister(const char *name, uint32_t type);
ResourceHandle *resmanRegisterSized(uint32_t loaderClass, uint32_t size);
uint8_t resmanFileExists(const char *name);
ResourceHandle *resmanRegisterLoad(const char *name, uint32_t type);
ResourceHandle *resmanRegisterReload(const char *name, uint32_t type);
// The script's form: the handle as a 32-bit value (slot and generation),
// which `resmanFromScript` turns back into the handle, or null once the slot
// was given back.
int32_t resmanRegisterScript(const char *name, uint32_t type);
int32_t resmanScriptValue(const ResourceHandle *handle);
ResourceHandle *resmanFromScript(int32_t value);

void *resmanLoad(ResourceHandle *handle);
void resmanUnload(ResourceHandle *handle);
void resmanLock(ResourceHandle *handle);
void resmanUnlock(ResourceHandle *handle);

int resmanPoolFits(uint32_t size);
void *resmanPoolAlloc(uint32_t size);

// The LightWave model converters and the world scale of models belong to the
// 3D presentation above; the shell installs them at start-up. Without them
// (in tests) those types load nothing and library models keep the size they
// were saved at.
struct ResmanModelHooks {
    ResourceConverter loadLwoModel;
    void *(*loadLwoShapeWithLod)(void *model);
    ResourceConverter loadLwoWireframe;
    float (*worldScale)();                              // 1.0 leaves models as they are
    void (*scaleModelTree)(void *model, float factor);  // scales and prepares again
    // Gives back a shape or wireframe the converters above made, when the
    // resource manager shuts down and its handles go.
    void (*freeLoaded)(int type, void *data);
};
void resmanSetModelHooks(const ResmanModelHooks *hooks);
extern ResmanModelHooks gModelHooks;
