#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "common/temp_dir.h"
#include "render/config/config.h"
#include "render/dev/device.h"
#include "render/fw/fwstate.h"
#include "render/std/stdlib.h"
#include "listed_device.h"
#include "render_driver/testdev.h"
#include "vt_fixture.h"

using namespace vttest;

namespace {

// Tests run in the build folder; the test driver image is built into
// testdrv/ below it.
const std::string kDriverDir = [] {
    char cwd[4096];
    return std::string(getcwd(cwd, sizeof cwd) ? cwd : ".") + "/testdrv";
}();

// ---- Mock devices holding named objects ------------------------------------

struct mock_object {
    const vt_object_dispatch *dispatch;
    vt_token type;
    std::string name;
    vt_object *offers[2]; // answers to RENDERER_FACILITY_O and OUTPUT_FACILITY_O
};

const char *mockIdentifier(vt_object *o) { return reinterpret_cast<mock_object *>(o)->name.c_str(); }
vt_token mockType(vt_object *o) { return reinterpret_cast<mock_object *>(o)->type; }
vt_error mockQuery(vt_object *o, vt_value *v, vt_token t) {
    auto *m = reinterpret_cast<mock_object *>(o);
    vt_object *answer = t == VTT_RENDERER_FACILITY_O ? m->offers[0] : t == VTT_OUTPUT_FACILITY_O ? m->offers[1] : nullptr;
    if (answer == nullptr)
        return VT_E_UNKNOWN;
    v->o = answer;
    return VT_E_OK;
}
vt_object_dispatch makeMockDispatch() {
    vt_object_dispatch d{};
    d.identifier = mockIdentifier;
    d.type = mockType;
    d.query = mockQuery;
    return d;
}
const vt_object_dispatch mockDispatch = makeMockDispatch();

struct mock_device {
    const vt_object_container_dispatch *dispatch;
    std::string name;
    std::vector<mock_object *> objects;
    int *freed;
};

const char *devIdentifier(vt_object *o) { return reinterpret_cast<mock_device *>(o)->name.c_str(); }
void devFree(vt_object *o) {
    auto *d = reinterpret_cast<mock_device *>(o);
    if (d->freed)
        ++*d->freed;
}
const vt_object_container_dispatch devDispatch = listed_device<mock_device>::dispatch(devFree, devIdentifier);

mock_object rendererFloat{&mockDispatch, VTT_RENDERER_FACILITY, "Default-Renderer-Float", {}};
mock_object rendererPlain{&mockDispatch, VTT_RENDERER_FACILITY, "Default-Renderer", {}};
mock_object rendererOther{&mockDispatch, VTT_RENDERER_FACILITY, "Other-Renderer", {}};
mock_device floatDriver{&devDispatch, "mockrndf", {&rendererFloat}, nullptr};
mock_device plainDriver{&devDispatch, "mockrend", {&rendererPlain}, nullptr};
vt_device *beginFloat(const char *) { return reinterpret_cast<vt_device *>(&floatDriver); }
vt_device *beginPlain(const char *) { return reinterpret_cast<vt_device *>(&plainDriver); }

mock_device *nextStatic;
vt_device *beginStatic(const char *) { return reinterpret_cast<vt_device *>(nextStatic); }

class VtDevices : public VtTest {
protected:
    ruvotest::TempDir dir;
    void SetUp() override {
        for (const char *v : {"VANTOR_PATH", "VANTOR_DRIVERS", "VANTOR_DEVICES", "VANTOR_DEFAULT_DEVICE"})
            unsetenv(v);
        setenv("VANTOR_PATH", ("nowhere;" + kDriverDir).c_str(), 1);
        VtTest::SetUp();
    }
    void TearDown() override {
        VtTest::TearDown();
        for (const char *v : {"VANTOR_PATH", "VANTOR_DRIVERS", "VANTOR_DEVICES"})
            unsetenv(v);
    }
    void restart() {
        ASSERT_EQ(VtEnd(), VT_E_OK);
        EXPECT_EQ(Counting::live, 0);
        VtAllocatorSet(&countingAllocator);
        VtDiagHandlerSet(&recordingDiag);
        ASSERT_EQ(VtBegin(), VT_E_OK);
    }
};

testdev_screen *screenOf(vt_pixelmap *pm) { return reinterpret_cast<testdev_screen *>(pm); }
void freeScreen(vt_pixelmap *pm) {
    auto *o = reinterpret_cast<vt_object *>(pm);
    o->dispatch->free(o);
}

} // namespace

TEST_F(VtDevices, TheTestDriverIsFoundAlongThePathAndBegun) {
    vt_pixelmap *pm = nullptr;
    ASSERT_EQ(VtDevBeginVar(&pm, "TESTDEV,w=320,h=200", VTT_PIXEL_BITS_I32, 16, VTT_HEIGHT_I32, 240, VTT_END), VT_E_OK);
    ASSERT_NE(pm, nullptr);
    EXPECT_STREQ(screenOf(pm)->facility, "TESTDEV-16") << "the facility matching the caller's pairs";
    EXPECT_EQ(screenOf(pm)->width, 320);
    EXPECT_EQ(screenOf(pm)->height, 240) << "a caller pair replaces the parsed one";
    EXPECT_STREQ(screenOf(pm)->driver_args, "");
    EXPECT_EQ(VtDevLastBeginQuery(), pm);
    freeScreen(pm);

    // "*" asks every device; the first facility matching the pairs wins.
    ASSERT_EQ(VtDevBeginVar(&pm, "*", VTT_PIXEL_BITS_I32, 8, VTT_END), VT_E_OK);
    EXPECT_STREQ(screenOf(pm)->facility, "TESTDEV-8");
    freeScreen(pm);
    EXPECT_EQ(VtDevBeginVar(&pm, "*", VTT_PIXEL_BITS_I32, 24, VTT_END), VT_E_FAIL);

    // Driver arguments from VANTOR_DEVICES, names compared without case.
    vt_device *dev;
    ASSERT_EQ(VtDevFind(&dev, "testdev"), VT_E_OK);
    EXPECT_EQ(VtDevRemove(dev), VT_E_OK);
    setenv("VANTOR_DEVICES", "OTHER,x=1;testdev,mode=3", 1);
    restart();
    ASSERT_EQ(VtDevBegin(&pm, " TESTDEV , w=64"), VT_E_OK);
    EXPECT_STREQ(screenOf(pm)->driver_args, "mode=3");
    EXPECT_EQ(screenOf(pm)->width, 64);
    freeScreen(pm);

    // The default device string when none is given.
    setenv("VANTOR_DEFAULT_DEVICE", "TESTDEV,h=9", 1);
    restart();
    unsetenv("VANTOR_DEFAULT_DEVICE");
    ASSERT_EQ(VtDevBegin(&pm, nullptr), VT_E_OK);
    EXPECT_EQ(screenOf(pm)->height, 9);
    freeScreen(pm);

    EXPECT_EQ(VtDevBegin(&pm, "NOSUCHDEV"), VT_E_FAIL);
    EXPECT_TRUE(Diag::failures.empty());
}

TEST_F(VtDevices, DriverListIsReadOncePerFrameworkLifetime) {
    setenv("VANTOR_DRIVERS", " nosuch ; testdev , listed ;;", 1);
    restart();
    vt_int_32 n = -1;
    EXPECT_EQ(VtDevCount(&n, nullptr), VT_E_OK);
    EXPECT_EQ(n, 0) << "counting does not read the list";
    vt_device *dev;
    ASSERT_EQ(VtDevFind(&dev, "TESTDEV"), VT_E_OK);
    vt_pixelmap *pm;
    ASSERT_EQ(VtDevBegin(&pm, "TESTDEV"), VT_E_OK);
    EXPECT_STREQ(screenOf(pm)->driver_args, " listed ");
    freeScreen(pm);
    EXPECT_EQ(VtDevRemove(dev), VT_E_OK);
    EXPECT_EQ(VtDevFind(&dev, "TESTDEV"), VT_E_FAIL) << "not read again";
    EXPECT_EQ(VtDevAdd(&dev, "testdev.so", "refuse"), VT_E_FAIL) << "a driver that refuses";
    EXPECT_EQ(VtDevAdd(&dev, "BRCORE1", nullptr), VT_E_FAIL) << "an image without the entry point";
}

TEST_F(VtDevices, ImagesAndExports) {
    char name[] = "brcore1.DLL";
    vt_image *core = VtImageReference(name);
    ASSERT_NE(core, nullptr);
    EXPECT_STREQ(name, "brcore1.DLL") << "the caller's name is not cut";
    EXPECT_STREQ(core->identifier, "BRCORE1");
    int count = core->ref_count;
    EXPECT_EQ(VtImageReference("BRCORE1"), core);
    EXPECT_EQ(core->ref_count, count + 1);
    for (int i = 0; i < 5; i++)
        VtImageDereference(core);
    EXPECT_EQ(VtImageFind("BRCORE1"), core) << "a built-in image stays";

    EXPECT_EQ(core->n_names, 186u);
    EXPECT_EQ(VtImageLookupName(core, "VtMemAllocate", 0), reinterpret_cast<void *>(&VtMemAllocate));
    EXPECT_EQ(VtImageLookupName(core, "_VtMemAllocate", 3), reinterpret_cast<void *>(&VtMemAllocate));
    EXPECT_EQ(VtImageLookupName(core, "__BrAssert", 0), reinterpret_cast<void *>(&_BrAssert));
    EXPECT_EQ(VtImageLookupName(core, "VtNothing", 0), nullptr);
    EXPECT_EQ(VtImageLookupOrdinal(core, 1), reinterpret_cast<void *>(&VtAbort));
    EXPECT_EQ(VtImageLookupOrdinal(core, 0), nullptr);
    EXPECT_EQ(VtImageLookupOrdinal(core, 187), nullptr);
    vt_image *host = VtImageFind("BRHOST1.bed");
    ASSERT_NE(host, nullptr);
    EXPECT_EQ(host->n_names, 50u);
    for (vt_image *img : {core, host})
        for (vt_uint_32 i = 1; i < img->n_names; i++)
            EXPECT_LT(strcmp(img->names[i - 1], img->names[i]), 0) << img->names[i];

    // A loaded image goes when its last reference does.
    vt_image *drv = VtImageReference("TestDev");
    ASSERT_NE(drv, nullptr);
    EXPECT_EQ(drv->type, VT_IMAGE_HOST);
    EXPECT_NE(VtImageLookupName(drv, "VtDrv1Begin", 0), nullptr);
    EXPECT_EQ(VtImageReference("testdev"), drv);
    VtImageDereference(drv);
    EXPECT_EQ(VtImageFind("testdev"), drv);
    VtImageDereference(drv);
    EXPECT_EQ(VtImageFind("testdev"), nullptr);
    EXPECT_EQ(VtImageReference("nosuchimage"), nullptr);
}

TEST_F(VtDevices, DeviceTableGrowsAndFindsInSlotOrder) {
    int freed = 0;
    std::vector<mock_device> devs(17);
    for (int i = 0; i < 17; i++) {
        devs[i] = {&devDispatch, "DEV" + std::to_string(i), {}, &freed};
        nextStatic = &devs[i];
        vt_device *dev;
        ASSERT_EQ(VtDevAddStatic(&dev, beginStatic, nullptr), VT_E_OK);
        EXPECT_EQ(dev, reinterpret_cast<vt_device *>(&devs[i]));
    }
    EXPECT_EQ(vtFw.ndev_slots, 32);
    vt_device *found[4];
    vt_int_32 n = 0;
    EXPECT_EQ(VtDevFindMany(found, &n, 4, "DEV1*"), VT_E_OVERFLOW);
    EXPECT_EQ(n, 4);
    EXPECT_EQ(found[0], reinterpret_cast<vt_device *>(&devs[1]));
    EXPECT_EQ(VtDevFindMany(found, &n, 4, "DEV2"), VT_E_OK);
    EXPECT_EQ(n, 1);
    EXPECT_EQ(VtDevCount(&n, "dev*"), VT_E_OK);
    EXPECT_EQ(n, 17);
    EXPECT_EQ(VtDevRemove(reinterpret_cast<vt_device *>(&devs[3])), VT_E_OK);
    EXPECT_EQ(freed, 1);
    EXPECT_EQ(VtDevRemove(reinterpret_cast<vt_device *>(&devs[3])), VT_E_FAIL);
    restart();
    EXPECT_EQ(freed, 17) << "library end removes every device";
}

TEST_F(VtDevices, FacilitySearchOrder) {
    vt_object *rf = nullptr;
    vt_int_32 n = 0;
    // With no device, the search adds the library's own images: the typed
    // one for a float renderer, the untyped one for any other.
    ASSERT_EQ(VtRendererFacilityFind(&rf, nullptr, VTT_FLOAT), VT_E_OK);
    EXPECT_STREQ(ObjectIdentifier(rf), "Default-Renderer-Float");
    EXPECT_EQ(VtDevCount(&n, "softrndf"), VT_E_OK);
    EXPECT_EQ(n, 1);
    ASSERT_EQ(VtRendererFacilityFind(&rf, nullptr, VTT_FIXED), VT_E_OK);
    EXPECT_STREQ(ObjectIdentifier(rf), "Default-Renderer") << "no fixed renderer: the untyped image";
    ASSERT_EQ(VtPrimitiveLibraryFind(&rf, nullptr, VTT_FLOAT), VT_E_OK);
    EXPECT_STREQ(ObjectIdentifier(rf), "Default-Primitives-Float");

    // A facility named in any device comes before the images are added,
    // the untyped name too.
    restart();
    VtDriverImageRegister("mockrend", beginPlain);
    VtDriverImageRegister("mockrndf", beginFloat);
    vt_device *dev;
    ASSERT_EQ(VtDevAdd(&dev, "mockrend", nullptr), VT_E_OK);
    ASSERT_EQ(VtRendererFacilityFind(&rf, nullptr, VTT_FLOAT), VT_E_OK);
    EXPECT_EQ(rf, reinterpret_cast<vt_object *>(&rendererPlain)) << "the untyped name in a device comes first";
    EXPECT_EQ(VtDevCount(&n, "soft*"), VT_E_OK);
    EXPECT_EQ(n, 0);
    restart();
    ASSERT_EQ(VtDevAdd(&dev, "mockrndf", nullptr), VT_E_OK);
    ASSERT_EQ(VtDevAdd(&dev, "mockrend", nullptr), VT_E_OK);
    ASSERT_EQ(VtRendererFacilityFind(&rf, nullptr, VTT_FLOAT), VT_E_OK);
    EXPECT_EQ(rf, reinterpret_cast<vt_object *>(&rendererFloat)) << "the typed name in any device first";
    ASSERT_EQ(VtRendererFacilityFind(&rf, nullptr, VTT_FIXED), VT_E_OK);
    EXPECT_EQ(rf, reinterpret_cast<vt_object *>(&rendererPlain)) << "no fixed renderer: the untyped one";

    // What the destination offers comes before everything.
    mock_object outputFacility{&mockDispatch, VTT_OUTPUT_FACILITY, "out", {reinterpret_cast<vt_object *>(&rendererOther), nullptr}};
    mock_object destination{&mockDispatch, VTT_DEVICE_PIXELMAP, "screen", {nullptr, reinterpret_cast<vt_object *>(&outputFacility)}};
    auto *destPm = reinterpret_cast<vt_pixelmap *>(&destination);
    ASSERT_EQ(VtRendererFacilityFind(&rf, destPm, VTT_FLOAT), VT_E_OK);
    EXPECT_EQ(rf, reinterpret_cast<vt_object *>(&rendererOther)) << "through its output facility";
    destination.offers[0] = reinterpret_cast<vt_object *>(&rendererPlain);
    ASSERT_EQ(VtRendererFacilityFind(&rf, destPm, VTT_FLOAT), VT_E_OK);
    EXPECT_EQ(rf, reinterpret_cast<vt_object *>(&rendererPlain));

    // The list: the default first, each once.
    floatDriver.objects.push_back(&rendererOther);
    vt_object *list[8];
    ASSERT_EQ(VtRendererFacilityListFind(list, &n, 8, nullptr, VTT_FLOAT), VT_E_OK);
    ASSERT_EQ(n, 3);
    EXPECT_EQ(list[0], reinterpret_cast<vt_object *>(&rendererFloat));
    EXPECT_EQ(list[1], reinterpret_cast<vt_object *>(&rendererOther)) << "devices in slot order";
    EXPECT_EQ(list[2], reinterpret_cast<vt_object *>(&rendererPlain));
    floatDriver.objects.pop_back();
}

TEST_F(VtDevices, OldDeviceCallsAndPairLimits) {
    vt_pixelmap *pm = VtDevBeginOld("TESTDEV,w=5");
    ASSERT_NE(pm, nullptr);
    EXPECT_EQ(VtDevBeginOld("TESTDEV"), nullptr);
    ASSERT_EQ(Diag::failures.size(), 1u);
    EXPECT_NE(Diag::failures[0].find("Device already active"), std::string::npos);
    VtDevEndOld();
    EXPECT_EQ(VtDevLastBeginQuery(), nullptr);
    EXPECT_EQ(VtDevBeginOld("NOSUCHDEV"), nullptr);
    EXPECT_NE(Diag::failures.back().find("Could not start driver"), std::string::npos);

    // The argument text's pairs and the caller's together stay below 64.
    Diag::clear();
    std::vector<vt_token_value> extra;
    for (vt_token t = VTT_WIDTH_I32; extra.size() < 63; t++)
        if (t != VTT_PIXEL_BITS_I32)
            extra.push_back({t, VtValueU32(1)});
    extra.push_back({VTT_END, VtValueU32(0)});
    EXPECT_EQ(VtDevBeginTV(&pm, "TESTDEV,w=1,h=2,b=16,mode=1", extra.data()), VT_E_FAIL);
    ASSERT_EQ(Diag::failures.size(), 1u);
    EXPECT_NE(Diag::failures[0].find("Too many token value pairs"), std::string::npos);
    extra.erase(extra.begin(), extra.begin() + 10);
    ASSERT_EQ(VtDevBeginTV(&pm, "TESTDEV,w=1,h=2", extra.data()), VT_E_OK);
    freeScreen(pm);
}
