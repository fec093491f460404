#include "RES/resman.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "RES/font.h"
#include "RES/gfx2d.h"
#include "RES/libmodel.h"
#include "RES/picture.h"
#include "RES/util.h"
#include "RES/slab.h"
#include "core/files.h"
#include "core/log.h"
#include "core/options.h"
#include "core/progress.h"

ResourceManager RESMAN;
uint8_t *BackgroundRasterBuffer = nullptr;
uint32_t BackgroundRasterBytes = 0;

const char *const ClassSlabTable[LoaderClassCount][3] = {
    {}, {}, {}, {}, {}, {},
    {"shapes", "shapes", "shapes"},  // ClassModel
    {"shapes", "shapes", "shapes"},  // ClassWireframe
    {},
    {"text", "frn_", "ger_"},        // ClassText
    {"shapes", "shapes", "shapes"},  // 10: no type uses it
    {}, {}, {},
};

namespace {

// Fatal checks name this module and the check that failed.
#define RESMAN_CHECK(cond, text) ((cond) ? (void)0 : dunVerify(text, "RES\\RESMAN", __LINE__))

using SizeQuery = uint32_t (*)(const char *name);

struct TypeInfo {
    int loaderClass;  // -1: not a type that can be registered
    uint32_t fixedSize;
    SizeQuery size;   // when set, asked in place of fixedSize
    ResourceConverter convert;
};

uint32_t NoSize(const char *) { return 0; }

void *LwoModel(const char *name, void *block, uint32_t *size) {
    return gModelHooks.loadLwoModel ? gModelHooks.loadLwoModel(name, block, size) : nullptr;
}
void *LwoWireframe(const char *name, void *block, uint32_t *size) {
    return gModelHooks.loadLwoWireframe ? gModelHooks.loadLwoWireframe(name, block, size) : nullptr;
}

constexpr int kNoClass = -1;  // not a type that can be registered

const TypeInfo kTypes[ResLastType + 1] = {
    {kNoClass, 0, nullptr, nullptr},                           // 0 sized blocks
    {ClassPalette, PaletteBytes, nullptr, LoadIffPalette},     // 1 LBM2PALETTE
    {ClassRaster, 0, IffPictureSize, LoadIffPicture},          // 2 LBM2RAST
    {ClassBlock, RasterHeaderBytes, nullptr, nullptr},         // 3
    {ClassPalette, PaletteBytes, nullptr, pcxLoadPalette},     // 4 PCX2PALETTE
    {ClassRaster, 0, PcxRasterSize, LoadPcxRaster},            // 5 PCX2RAST
    {ClassBlock, RasterHeaderBytes, nullptr, nullptr},         // 6 PCX2BACKRAST
    {ClassColourMap, ColourMapBytes, nullptr, LoadColourMap},  // 7 CM2COLOURMAP
    {ClassBitmapFont, 0, FntFontSize, LoadFntFont},            // 8 FNT2RFONT
    {ClassBitmapFont, 0, FonFontSize, LoadFonFont},            // 9 FON2RFONT
    {ClassVectorFont, 0, VectorFontSize, vfontLoad},           // 10 RVF2VFONT
    {ClassModel, 0, NoSize, LoadAsciiMeshModel},               // 11 ASC2BRM
    {ClassModel, 0, NoSize, LoadDatModel},                     // 12 DAT2BRM
    {kNoClass, 0, nullptr, nullptr},                           // 13 SCR2AVT
    {ClassText, 0, nullptr, nullptr},                          // 14 TXT2TXT
    {ClassModel, 0, NoSize, LwoModel},                         // 15 LWO2BRM
    {ClassWireframe, 0, NoSize, LwoWireframe},                 // 16 LWO2WRI
    {ClassVideo, 0, nullptr, nullptr},                         // 17 BRVIDEO
    {ClassAvi, 0, nullptr, nullptr},                           // 18 AVI
    {ClassSound, 0, SoundResourceSize, LoadSoundResource},     // 19 WAV2SND
};

const TypeInfo *TypeOf(uint32_t type) {
    if (type == ResSized || type > ResLastType || kTypes[type].loaderClass == kNoClass) return nullptr;
    return &kTypes[type];
}

const char *ClassSlab(uint32_t loaderClass) {
    if (loaderClass >= LoaderClassCount) return nullptr;
    uint16_t language = gLanguage < 3 ? gLanguage : 0;
    return ClassSlabTable[loaderClass][language];
}

char gDebugLine[256];

const char *StripBackslash(const char *name) { return name[0] == '\\' ? name + 1 : name; }

ResourceHandle *TakeSlot() {
    RESMAN_CHECK(RESMAN.count < ResourceHandleCount, "Out of Resource Handles");
    ResourceHandle *h = &RESMAN.handles[RESMAN.count++];
    uint16_t generation = h->generation;
    std::memset(h, 0, sizeof *h);
    h->generation = generation;
    return h;
}

}  // namespace

ResmanModelHooks gModelHooks;

void resmanSetModelHooks(const ResmanModelHooks *hooks) { gModelHooks = hooks ? *hooks : ResmanModelHooks{}; }

uint32_t resmanInit() {
    for (uint32_t i = 0; i < 256; ++i) RESMAN.hashTable[i] = i | (uint32_t(dunRand15() % 256) << 8);
    // The free figure saturates on large machines, so the subtraction here is
    // done wide and only a machine truly short of memory fails.
    int64_t capacity = int64_t(FreeMemoryBytes()) - ResourcePoolHeadroom;
    if (capacity < 0) {
        RESMAN_CHECK(false, "No Available Memory for resource manager");
        return 0;
    }
    capacity = std::min<int64_t>(capacity, ResourcePoolLimit);
    std::free(RESMAN.poolBase);
    RESMAN.poolBase = static_cast<uint8_t *>(std::calloc(size_t(capacity) ? size_t(capacity) : 1, 1));
    RESMAN.poolTop = RESMAN.poolMark = RESMAN.poolBase;
    RESMAN.capacity = uint32_t(capacity);
    RESMAN.count = RESMAN.markCount = 0;
    for (auto &h : RESMAN.handles) h.data = nullptr;
    std::free(BackgroundRasterBuffer);
    BackgroundRasterBytes = PixelDepth == 8 ? 640 * 480 : 640 * 480 * 2;
    BackgroundRasterBuffer = static_cast<uint8_t *>(std::calloc(BackgroundRasterBytes, 1));
    RESMAN.backgroundHolder = nullptr;
    return RESMAN.capacity;
}

void resmanMark() {
    RESMAN.poolMark = RESMAN.poolTop;
    RESMAN.markCount = RESMAN.count;
}

void resmanRelease() {
    // Handles that stay (registered before the mark) may have been loaded
    // after it: their data lies in the memory given back here and must not
    // be used again, so they load afresh next time.
    for (int i = 0; i < RESMAN.markCount; ++i) {
        ResourceHandle &h = RESMAN.handles[i];
        uint8_t *d = static_cast<uint8_t *>(h.data);
        if (d && d >= RESMAN.poolMark && d < RESMAN.poolBase + RESMAN.capacity) h.data = nullptr;
    }
    for (int i = RESMAN.markCount; i < RESMAN.count; ++i) {
        ResourceHandle &h = RESMAN.handles[i];
        // A wireframe plan lives outside the pool: it goes with its handle.
        if (h.data && h.type == ResLwo2Wri && gModelHooks.freeLoaded) gModelHooks.freeLoaded(h.type, h.data);
        h.data = nullptr;
        ++h.generation;
    }
    // A current palette that went with the released resources is current no more.
    const uint8_t *palette = CurrentPalette;
    if (palette && palette >= RESMAN.poolMark && palette < RESMAN.poolBase + RESMAN.capacity) CurrentPalette = nullptr;
    RESMAN.poolTop = RESMAN.poolMark;
    RESMAN.count = RESMAN.markCount;
    RESMAN.backgroundHolder = nullptr;
}

void resmanShutdown() {
    // Shapes and wireframes live outside the pool; the presentation that
    // made them takes them back.
    if (gModelHooks.freeLoaded)
        for (int i = 0; i < RESMAN.count; ++i) {
            ResourceHandle &h = RESMAN.handles[i];
            if (h.data && (h.type == ResLwo2Brm || h.type == ResLwo2Wri)) gModelHooks.freeLoaded(h.type, h.data);
            if (h.loaderClass == ClassModel || h.loaderClass == ClassWireframe) h.data = nullptr;
        }
    // The current palette is a resource too.
    CurrentPalette = nullptr;
    std::free(RESMAN.poolBase);
    std::free(BackgroundRasterBuffer);
    RESMAN.poolBase = RESMAN.poolTop = RESMAN.poolMark = nullptr;
    RESMAN.capacity = 0;
    RESMAN.count = RESMAN.markCount = 0;
    RESMAN.backgroundHolder = nullptr;
    BackgroundRasterBuffer = nullptr;
    BackgroundRasterBytes = 0;
    for (auto &h : RESMAN.handles) h.data = nullptr;
}

uint32_t resmanHashName(const char *name) {
    const uint32_t *t = RESMAN.hashTable;
    uint32_t low = 0, pair = 0;
    const unsigned char *c = reinterpret_cast<const unsigned char *>(name);
    for (size_t i = 0; c[i]; ++i) {
        low += t[c[i]];
        if (c[i + 1]) pair += t[c[i]] * t[c[i + 1]];
    }
    return low | ((pair & 0xFF00) << 16);
}

ResourceHandle *resmanRegister(const char *name, uint32_t type) {
    RESMAN_CHECK(RESMAN.count < ResourceHandleCount, "Out of Resource Handles");
    name = StripBackslash(name);
    if (std::strlen(name) >= size_t(ResourceNameBytes)) {
        dunDebugPrintf("Resource name too long: %.100s...", name);
        return nullptr;
    }
    const TypeInfo *info = TypeOf(type);
    RESMAN_CHECK(info, "Unidentfied Resource type");
    uint32_t hash = resmanHashName(name);
    if (type != ResFnt2RFont && type != ResFon2RFont) {
        // Different names can share a hash: the name and type decide.
        for (int i = 0; i < RESMAN.count; ++i) {
            ResourceHandle &h = RESMAN.handles[i];
            if (h.nameHash == hash && h.type == type && !std::strcmp(h.name, name)) return &h;
        }
    }
    ResourceHandle *h = TakeSlot();
    std::strcpy(h->name, name);
    h->type = type;
    h->nameHash = hash;
    h->loaderClass = uint32_t(info->loaderClass);
    if (type == ResTxt2Txt) {
        const char *slab = ClassSlab(h->loaderClass);
        uint32_t entry = (slab && !optNoSlab) ? slabEntrySize(slab, h->name) : 0;
        h->size = entry ? entry + 1 : TextFileSize(h->name);
    } else {
        h->size = info->size ? info->size(h->name) : info->fixedSize;
    }
    if (type == ResBlock16 || type == ResPcx2BackRaster) h->reloadNeeded = 255;
    return h;
}

ResourceHandle *resmanRegisterSized(uint32_t loaderClass, uint32_t size) {
    ResourceHandle *h = TakeSlot();
    std::strcpy(h->name, "Sized");
    h->nameHash = resmanHashName(h->name);
    h->type = ResSized;
    h->locked = 255;
    h->loaderClass = loaderClass;
    h->size = size;
    if (!resmanPoolFits(size)) return nullptr;
    void *block = resmanPoolAlloc(size);
    std::memset(block, 0, size);
    h->data = block;
    return h;
}

uint8_t resmanFileExists(const char *name) { return GameFileExists(StripBackslash(name)) ? 255 : 0; }

ResourceHandle *resmanRegisterLoad(const char *name, uint32_t type) {
    ResourceHandle *h = resmanRegister(name, type);
    resmanLoad(h);
    return h;
}

ResourceHandle *resmanRegisterReload(const char *name, uint32_t type) {
    ResourceHandle *h = resmanRegister(name, type);
    if (h) h->reloadNeeded = 255;
    resmanLoad(h);
    return h;
}

int32_t resmanScriptValue(const ResourceHandle *handle) {
    if (!handle) return 0;
    int index = int(handle - RESMAN.handles);
    return int32_t((uint32_t(handle->generation & 0x7FFF) << 16) | uint32_t(index + 1));
}

ResourceHandle *resmanFromScript(int32_t value) {
    int index = int(value & 0xFFFF) - 1;
    if (index < 0 || index >= RESMAN.count) return nullptr;
    ResourceHandle *h = &RESMAN.handles[index];
    return (h->generation & 0x7FFF) == ((uint32_t(value) >> 16) & 0x7FFF) ? h : nullptr;
}

int32_t resmanRegisterScript(const char *name, uint32_t type) {
    return resmanScriptValue(resmanRegisterLoad(name, type));
}

namespace {

// PCX2BACKRAST: the picture goes into the one background buffer; the block
// is only the raster header pointing at it.
void *LoadBackgroundRaster(ResourceHandle *h) {
    Raster *raster = static_cast<Raster *>(h->data);
    if (!raster || !BackgroundRasterBuffer) return nullptr;
    const uint32_t bpp = BytesPerPixel == 2 ? 2 : 1;
    raster->bytesPerPixel = uint16_t(bpp);
    if (RESMAN.backgroundHolder != h) {
        RESMAN.backgroundHolder = h;
        raster->pitch = 0;
        if (!pcxDecode(h->name, raster, nullptr, BackgroundRasterBuffer, BackgroundRasterBytes)) {
            RESMAN.backgroundHolder = nullptr;
            return nullptr;
        }
        // A picture bigger than the buffer is shown as far as the buffer holds it.
        uint32_t pitch = raster->width * bpp;
        if (pitch > BackgroundRasterBytes) raster->width = uint16_t(BackgroundRasterBytes / bpp);
        pitch = raster->width * bpp;
        if (pitch && uint64_t(pitch) * raster->height > BackgroundRasterBytes)
            raster->height = uint16_t(BackgroundRasterBytes / pitch);
    }
    raster->pixels = BackgroundRasterBuffer;
    raster->pitch = uint16_t(raster->width * bpp);
    return raster;
}

}  // namespace

void *resmanLoad(ResourceHandle *h) {
    if (!h) return nullptr;
    if (!h->reloadNeeded && h->data) return h->data;
    if (h->loaderClass != ClassVideo && !ClassSlab(h->loaderClass)) {
        if (!GameFileExists(h->name)) {
            char text[ResourceNameBytes + 64];
            std::snprintf(text, sizeof text, "Could not find resource '%s'", h->name);
            dunErrorBox(text, "RESMAN error");
            return nullptr;
        }
    }
    if (h->loaderClass != ClassText && h->type != ResLbm2Raster) {
        std::snprintf(gDebugLine, sizeof gDebugLine, "RESMAN - Loading: '%s' Size: %d\n", h->name, int(h->size));
        LoadProgressStep(gDebugLine);
    }
    if (!(h->reloadNeeded && h->data) && h->size != 0) {
        if (!resmanPoolFits(h->size)) return nullptr;
        void *block = resmanPoolAlloc(h->size);
        std::memset(block, 0, h->size);
        h->data = block;
    }
    h->reloadNeeded = 0;
    uint32_t size = h->size;
    switch (h->type) {
    case ResBlock16:
        break;
    case ResPcx2BackRaster:
        h->data = LoadBackgroundRaster(h);
        h->reloadNeeded = 255;
        break;
    case ResTxt2Txt: {
        const char *slab = ClassSlab(ClassText);
        if (slab && !optNoSlab && h->data && slabReadEntry(slab, h->name, h->data, h->size - 1)) {
            static_cast<char *>(h->data)[h->size - 1] = 0;
            break;
        }
        h->data = LoadTextFile(h->name, h->data, &size);
        if (h->data) h->size = size;
        break;
    }
    case ResAsc2Brm:
    case ResDat2Brm:
    case ResLwo2Brm:
    case ResLwo2Wri:
        h->data = kTypes[h->type].convert(h->name, h->data, &size);
        if (h->type == ResLwo2Brm && h->data && gModelHooks.loadLwoShapeWithLod)
            gModelHooks.loadLwoShapeWithLod(h->data);
        h->locked = 255;
        break;
    case ResBrVideo:
    case ResAvi:
        h->data = nullptr;
        break;
    default: {
        const TypeInfo *info = TypeOf(h->type);
        RESMAN_CHECK(info && info->convert, "Unidentfied Resource type");
        h->data = info->convert(h->name, h->data, &size);
        break;
    }
    }
    return h->data;
}

void resmanUnload(ResourceHandle *h) {
    if (h && h->loaderClass != ClassModel && h->loaderClass != ClassSound) h->data = nullptr;
}

void resmanLock(ResourceHandle *h) {
    if (h) h->locked = 255;
}

void resmanUnlock(ResourceHandle *h) {
    if (h) h->locked = 0;
}

int resmanPoolFits(uint32_t size) {
    // The same rounded size the allocation takes, so a block that fits is
    // always handed out.
    uint64_t rounded = (uint64_t(size) + 7) & ~uint64_t(7);
    uint64_t used = uint64_t(RESMAN.poolTop - RESMAN.poolBase);
    return RESMAN.poolBase && used + rounded < RESMAN.capacity ? 1 : 0;
}

void *resmanPoolAlloc(uint32_t size) {
    // Blocks start on 8 bytes: converted resources begin with records that
    // hold pointers.
    uint64_t rounded = (uint64_t(size) + 7) & ~uint64_t(7);
    uint64_t used = uint64_t(RESMAN.poolTop - RESMAN.poolBase);
    if (!RESMAN.poolBase || used + rounded >= RESMAN.capacity) return nullptr;
    uint8_t *block = RESMAN.poolTop;
    RESMAN.poolTop += rounded;
    return block;
}
