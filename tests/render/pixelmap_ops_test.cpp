// Public pixelmap operations: copy dispatch between devices, palettes,
// text and fonts, the generic composite operations and the export image.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "render/dev/image.h"
#include "render/pmap/pixelmap.h"
#include "tests/render/vt_fixture.h"

namespace {

using vttest::VtTest;

class VtPixelmapOps : public VtTest {};

// A driver's pixelmap: the memory operations, on another device, with the
// copy slots recorded.
struct Recorder {
    static inline std::vector<std::string> calls;
    static inline int deviceTag = 0;
};

vt_device *driverDevice(vt_object *) { return reinterpret_cast<vt_device *>(&Recorder::deviceTag); }
vt_error recCopy(vt_dpm *, vt_dpm *) { return Recorder::calls.push_back("copy"), VT_E_OK; }
vt_error recCopyTo(vt_dpm *, vt_dpm *) { return Recorder::calls.push_back("copyTo"), VT_E_OK; }
vt_error recCopyFrom(vt_dpm *self, vt_dpm *) {
    return Recorder::calls.push_back(std::string("copyFrom:") + self->identifier), VT_E_OK;
}
vt_error recRectCopy(vt_dpm *, vt_point *, vt_dpm *, vt_rectangle *) {
    return Recorder::calls.push_back("rectangleCopy"), VT_E_OK;
}
vt_error recRectCopyTo(vt_dpm *, vt_point *, vt_dpm *, vt_rectangle *) {
    return Recorder::calls.push_back("rectangleCopyTo"), VT_E_OK;
}
vt_error recRectCopyFrom(vt_dpm *self, vt_point *, vt_dpm *, vt_rectangle *) {
    return Recorder::calls.push_back(std::string("rectangleCopyFrom:") + self->identifier), VT_E_OK;
}

vt_device_clut_dispatch clutOps;
struct Clut {
    vt_device_clut base;
    vt_colour entries[256];
};
Clut theClut;

vt_error clutEntrySet(vt_device_clut *self, vt_int_32 i, vt_colour c) {
    if (i < 0 || i > 255)
        return VT_E_FAIL;
    reinterpret_cast<Clut *>(self)->entries[i] = c;
    return VT_E_OK;
}
vt_error clutEntrySetMany(vt_device_clut *self, vt_int_32 i, vt_int_32 n, const vt_colour *c) {
    for (vt_int_32 k = 0; k < n; k++)
        clutEntrySet(self, i + k, c[k]);
    return VT_E_OK;
}
vt_error queryClut(vt_object *, vt_value *pvalue, vt_token t) {
    if (t != VTT_CLUT_O)
        return VT_E_UNKNOWN;
    pvalue->o = reinterpret_cast<vt_object *>(&theClut);
    return VT_E_OK;
}

vt_device_pixelmap_dispatch driverOps() {
    vt_device_pixelmap_dispatch d = vtDevicePixelmapMemDispatch;
    d.object.device = driverDevice;
    d.object.query = queryClut;
    d.copy = recCopy;
    d.copyTo = recCopyTo;
    d.copyFrom = recCopyFrom;
    d.rectangleCopy = recRectCopy;
    d.rectangleCopyTo = recRectCopyTo;
    d.rectangleCopyFrom = recRectCopyFrom;
    return d;
}

TEST_F(VtPixelmapOps, CopyDispatchBetweenDevices) {
    static vt_device_pixelmap_dispatch drv = driverOps();
    vt_pixelmap *mem = VtPixelmapAllocate(VT_PMT_RGB_565, 4, 4, nullptr, 0);
    vt_pixelmap *drvA = VtPixelmapAllocate(VT_PMT_RGB_565, 4, 4, nullptr, 0);
    vt_pixelmap *drvB = VtPixelmapAllocate(VT_PMT_RGB_565, 4, 4, nullptr, 0);
    mem->identifier = "mem";
    drvA->identifier = "drvA";
    drvB->identifier = "drvB";
    drvA->dispatch = drvB->dispatch = &drv;
    drvA->flags |= VT_PMF_DEVICE;
    drvB->flags |= VT_PMF_DEVICE;

    Recorder::calls.clear();
    EXPECT_EQ(VtPixelmapCopy(drvA, drvB), VT_E_OK);               // same device: plain
    EXPECT_EQ(VtPixelmapCopy(drvA, mem), VT_E_OK);                // memory source: "to"
    EXPECT_EQ(VtPixelmapCopy(mem, drvA), VT_E_OK);                // driver source: its "from"
    EXPECT_EQ(VtPixelmapRectangleCopy(drvA, 0, 0, drvB, 0, 0, 2, 2), VT_E_OK);
    EXPECT_EQ(VtPixelmapRectangleCopy(drvA, 0, 0, mem, 0, 0, 2, 2), VT_E_OK);
    EXPECT_EQ(VtPixelmapRectangleCopy(mem, 0, 0, drvB, 0, 0, 2, 2), VT_E_OK);
    EXPECT_EQ(Recorder::calls, (std::vector<std::string>{"copy", "copyTo", "copyFrom:drvA", "rectangleCopy",
                                                         "rectangleCopyTo", "rectangleCopyFrom:drvB"}));
    // Two driver pixelmaps of different devices cannot copy.
    static vt_device_pixelmap_dispatch other = driverOps();
    other.object.device = [](vt_object *) { return reinterpret_cast<vt_device *>(&Recorder::calls); };
    drvB->dispatch = &other;
    EXPECT_EQ(VtPixelmapCopy(drvA, drvB), VT_E_UNSUPPORTED);
    EXPECT_EQ(VtPixelmapRectangleStretchCopy(drvA, 0, 0, 1, 1, drvB, 0, 0, 1, 1), VT_E_UNSUPPORTED);

    // A null table is the memory device's.
    vt_pixelmap *bare = VtPixelmapAllocate(VT_PMT_RGB_565, 4, 4, nullptr, 0);
    bare->dispatch = nullptr;
    VtPixelmapFill(bare, 0x1234);
    EXPECT_EQ(bare->dispatch, &vtDevicePixelmapMemDispatch);
    EXPECT_EQ(VtPixelmapPixelGet(bare, 3, 3), 0x1234u);

    // Palettes go through the colour lookup table the pixelmap answers.
    clutOps.entrySet = clutEntrySet;
    clutOps.entrySetMany = clutEntrySetMany;
    theClut.base.dispatch = &clutOps;
    memset(theClut.entries, 0, sizeof theClut.entries);
    vt_pixelmap *palette = VtPixelmapAllocate(VT_PMT_RGBX_888, 1, 3, nullptr, 0);
    for (int i = 0; i < 3; i++)
        VtPixelmapPixelSet(palette, 0, i, vt_uint_32(0x100 * (i + 1)));
    EXPECT_EQ(VtPixelmapPaletteSet(drvA, palette), VT_E_OK);
    EXPECT_EQ(theClut.entries[2], 0x300u);
    EXPECT_EQ(theClut.entries[3], 0u);
    EXPECT_EQ(VtPixelmapPaletteEntrySet(drvA, 7, 0xabcdef), VT_E_OK);
    EXPECT_EQ(theClut.entries[7], 0xabcdefu);
    const vt_colour two[2] = {1, 2};
    EXPECT_EQ(VtPixelmapPaletteEntrySetMany(drvA, 9, 2, two), VT_E_OK);
    EXPECT_EQ(theClut.entries[10], 2u);
    EXPECT_EQ(VtPixelmapPaletteSet(mem, palette), VT_E_FAIL) << "memory pixelmaps have no table";
    for (vt_pixelmap *p : {mem, drvA, drvB, bare, palette})
        VtPixelmapFree(p);
}

TEST_F(VtPixelmapOps, TextWidthsAndDrawing) {
    vt_pixelmap *pm = VtPixelmapAllocate(VT_PMT_INDEX_8, 20, 12, nullptr, 0);
    EXPECT_EQ(VtPixelmapTextWidth(pm, VtFontFixed3x5, "ab"), 7);
    EXPECT_EQ(VtPixelmapTextWidth(pm, VtFontFixed3x5, ""), -1);
    EXPECT_EQ(VtPixelmapTextWidth(pm, VtFontFixed3x5, nullptr), 3);
    EXPECT_EQ(VtPixelmapTextWidth(pm, nullptr, nullptr), 7) << "the default font";
    const vt_font *p = VtFontProp4x6;
    EXPECT_EQ(VtPixelmapTextWidth(pm, VtFontProp4x6, "I1"), p->width['I'] + 1 + p->width['1']);
    EXPECT_EQ(VtPixelmapTextHeight(pm, nullptr), 9);
    EXPECT_EQ(VtPixelmapTextHeight(pm, VtFontProp4x6), 6);
    for (const vt_font *f : {VtFontProp7x9, VtFontProp4x6})
        for (int c = 33; c < 127; c++)
            ASSERT_TRUE(f->width[c] > 0 && f->width[c] <= f->glyph_x) << c;

    // "T" in the fixed font: a full top row, then the middle column.
    VtPixelmapFill(pm, 0);
    VtPixelmapText(pm, 1, 1, 5, VtFontFixed3x5, "T");
    EXPECT_EQ(VtPixelmapPixelGet(pm, 1, 1), 5u);
    EXPECT_EQ(VtPixelmapPixelGet(pm, 3, 1), 5u);
    EXPECT_EQ(VtPixelmapPixelGet(pm, 2, 5), 5u);
    EXPECT_EQ(VtPixelmapPixelGet(pm, 1, 5), 0u);

    // Clipped at the right edge: only what fits, and nothing past the row.
    VtPixelmapFill(pm, 0);
    VtPixelmapText(pm, 14, 2, 5, nullptr, "MMMM");
    int lit = 0;
    for (int y = 0; y < 12; y++)
        for (int x = 0; x < 20; x++)
            if (VtPixelmapPixelGet(pm, x, y)) {
                lit++;
                EXPECT_GE(x, 14);
                EXPECT_TRUE(y >= 2 && y < 11);
            }
    EXPECT_GT(lit, 0);
    // Formatting is cut at the scratch text's size.
    std::string longText(5000, 'W');
    VtPixelmapTextF(pm, 0, 0, 1, nullptr, "%s%s", longText.c_str(), longText.c_str());
    vt_rectangle bounds;
    pm->dispatch->textBounds(pm, &bounds, VtFontFixed3x5, "abc");
    EXPECT_EQ(bounds.w, 11);
    EXPECT_EQ(bounds.h, 5);
    VtPixelmapFree(pm);
}

TEST_F(VtPixelmapOps, GenericCompositeOperations) {
    vt_pixelmap *pm = VtPixelmapAllocate(VT_PMT_INDEX_8, 6, 5, nullptr, 0);
    VtPixelmapFill(pm, 0);
    VtPixelmapRectangle2(pm, 1, 1, 4, 3, 1, 2);
    const char *want[] = {
        "......",
        ".1112.", // the second colour is drawn last at the corners
        ".1..2.",
        ".2222.",
        "......",
    };
    for (int y = 0; y < 5; y++)
        for (int x = 0; x < 6; x++) {
            const vt_uint_32 v = VtPixelmapPixelGet(pm, x, y);
            EXPECT_EQ(v ? char('0' + v) : '.', want[y][x]) << x << "," << y;
        }
    // Dirty rectangles: each one copied to its own place.
    vt_pixelmap *other = VtPixelmapAllocate(VT_PMT_INDEX_8, 6, 5, nullptr, 0);
    VtPixelmapFill(other, 9);
    EXPECT_EQ(VtPixelmapDirtyRectangleCopy(pm, other, 4, 3, 5, 5), VT_E_OK);
    EXPECT_EQ(VtPixelmapPixelGet(pm, 5, 4), 9u);
    EXPECT_EQ(VtPixelmapPixelGet(pm, 3, 4), 0u);
    // With sizes that differ the whole copy, which aligns the first pixels.
    vt_pixelmap *small = VtPixelmapAllocate(VT_PMT_INDEX_8, 2, 2, nullptr, 0);
    VtPixelmapFill(small, 3);
    EXPECT_EQ(VtPixelmapDirtyRectangleCopy(pm, small, 4, 4, 1, 1), VT_E_OK);
    EXPECT_EQ(VtPixelmapPixelGet(pm, 1, 1), 3u);
    EXPECT_EQ(VtPixelmapPixelGet(pm, 2, 2), 0u);
    // The generic copyBits puts bit 0 at the point.
    VtPixelmapFill(pm, 0);
    const vt_uint_8 bits = 0x40;
    vt_point at = {2, 0};
    vt_rectangle r = {1, 0, 2, 1};
    _M_br_device_pixelmap_gen_copyBits(pm, &at, &bits, 1, &r, 4);
    EXPECT_EQ(VtPixelmapPixelGet(pm, 3, 0), 4u);
    VtPixelmapFill(pm, 0);
    _M_br_device_pixelmap_mem_copyBits(pm, &at, &bits, 1, &r, 4);
    EXPECT_EQ(VtPixelmapPixelGet(pm, 2, 0), 4u) << "the memory form puts the first bit there";
    for (vt_pixelmap *p : {pm, other, small})
        VtPixelmapFree(p);
}

TEST_F(VtPixelmapOps, ObjectQueriesAndAddresses) {
    vt_pixelmap *pm = VtPixelmapAllocate(VT_PMT_RGB_565, 10, 4, nullptr, 0);
    pm->identifier = "screen";
    auto *obj = reinterpret_cast<vt_object *>(pm);
    const vt_object_dispatch &o = pm->dispatch->object;
    vt_value v;
    ASSERT_EQ(o.query(obj, &v, VTT_WIDTH_I32), VT_E_OK);
    EXPECT_EQ(v.i32, 10);
    ASSERT_EQ(o.query(obj, &v, VTT_PIXEL_TYPE_U8), VT_E_OK);
    EXPECT_EQ(v.u32, VT_PMT_RGB_565);
    ASSERT_EQ(o.query(obj, &v, VTT_IDENTIFIER_CSTR), VT_E_OK);
    EXPECT_STREQ(v.cstr, "screen");
    EXPECT_EQ(o.type(obj), VTT_DEVICE_PIXELMAP);
    EXPECT_TRUE(o.isType(obj, VTT_OBJECT));
    EXPECT_EQ(o.device(obj), nullptr);
    EXPECT_GE(o.space(obj), vt_int_32(sizeof(vt_pixelmap) + 80));

    vt_point at = {3, 2}, origin = {1, 1};
    void *addr = nullptr;
    vt_uint_32 qual = 99;
    ASSERT_EQ(pm->dispatch->pixelAddressQuery(pm, &addr, &qual, &at), VT_E_OK);
    EXPECT_EQ(addr, static_cast<vt_uint_8 *>(pm->pixels) + 2 * 20 + 3 * 2);
    EXPECT_EQ(qual, pm->pixels_qualifier);
    pm->dispatch->originSet(pm, &origin);
    ASSERT_EQ(pm->dispatch->pixelAddressQuery(pm, &addr, nullptr, &at), VT_E_OK);
    EXPECT_EQ(addr, static_cast<vt_uint_8 *>(pm->pixels) + 3 * 20 + 4 * 2);
    vt_point off = {9, 0};
    EXPECT_EQ(pm->dispatch->pixelAddressQuery(pm, &addr, nullptr, &off), VT_E_FAIL);
    EXPECT_EQ(VtPixelmapDirectLock(pm, 1), pm);
    EXPECT_EQ(VtPixelmapDirectUnlock(pm), pm);
    VtPixelmapFree(pm);
}

TEST_F(VtPixelmapOps, ExportImage) {
    vt_image *img = VtImageFind("BRPMAP1");
    ASSERT_NE(img, nullptr);
    EXPECT_EQ(img->n_functions, 78u);
    for (vt_uint_32 i = 1; i < img->n_names; i++)
        EXPECT_LT(strcmp(img->names[i - 1], img->names[i]), 0) << img->names[i];
    EXPECT_EQ(VtImageLookupName(img, "PixelmapPointClip", 0), reinterpret_cast<void *>(&PixelmapPointClip));
    EXPECT_EQ(VtImageLookupName(img, "_M_br_device_pixelmap_mem_fill", 0),
              reinterpret_cast<void *>(&_M_br_device_pixelmap_mem_fill));
    vt_pixelmap *pm = VtPixelmapAllocate(VT_PMT_INDEX_8, 2, 2, nullptr, 0);
    vt_rectangle r = {0, 0, 1, 1};
    EXPECT_EQ(_M_br_device_pixelmap_null_rectangleFill(pm, &r, 1), VT_E_UNSUPPORTED);
    EXPECT_EQ(_M_br_device_pixelmap_null_resize(pm, 1, 1), VT_E_UNSUPPORTED);
    VtPixelmapFree(pm);
}

} // namespace
