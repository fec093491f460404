// Planet textures from an arbitrary bump picture and face-class file: the
// input's first two bytes give the length of the class file that follows,
// the rest is the PCX bump picture. The textures are coloured after the
// bump, and a sphere of up to 2000 faces is painted by the classes.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "RES/picture.h"
#include "present/model_adjust.h"
#include "present/sky/planets.h"
#include "render/scene/scene.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static const uint8_t kEmpty[1] = {};
    if (!data) data = kEmpty;
    static std::vector<uint8_t> map2, map3;
    static vt_model *sphere;
    if (map2.empty()) {
        map2.resize(kPlanetMapSide * kPlanetMapSide);
        map3.resize(kPlanetMapSide * kPlanetMapSide);
        gPlanetRandom = 77;
        PlanetSplitHalves(42, map2.data(), map3.data());
        VtBegin();
        sphere = VtModelAllocate("fuzz sphere", 3, 2000);
        for (int i = 0; i < 2000; ++i) sphere->faces[i].vertices[0] = sphere->faces[i].vertices[1] = 0;
        sphere->flags |= VT_MODF_UPDATEABLE;
    }
    size_t classes = size >= 2 ? std::min<size_t>(size - 2, size_t(data[0]) | size_t(data[1]) << 8) : 0;
    const uint8_t *classData = size >= 2 ? data + 2 : data;
    std::memset(gFaceClassTable, 0, sizeof gFaceClassTable);
    if (classes) std::memcpy(gFaceClassTable, classData, std::min<size_t>(classes, sizeof gFaceClassTable));
    const uint8_t *picture = classData + classes;
    const size_t pictureSize = size - std::min(size, classes + 2);
    std::vector<uint8_t> m = map2;
    PcxImage *image = pcxLoadBytes(picture, pictureSize);
    PlanetApplyBumpImage(m.data(), image);
    pcxFree(image);
    float ramp[kPlanetMapSide];
    for (int x = 0; x < kPlanetMapSide; ++x) ramp[x] = float(x % 7) / 3;
    PlanetColourise(m.data(), 16 + 32 * (size % 7), 48, ramp);
    // The painted sphere: as many faces as the class file is long, past the
    // table's end too.
    sphere->nfaces = uint16_t(std::min<size_t>(std::max<size_t>(classes, 1), 2000));
    gPlanetPool.slots[0].model = sphere;
    PaintFaceClassMaterials(0);
    gPlanetPool.slots[0].model = nullptr;
    return 0;
}
