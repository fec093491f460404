// Pixelmap datafiles (".pix"): a pixelmap record chunk, optionally its map
// written the same way and attached, then its pixels.
#include <cstring>

#include "render/file/datafile.h"
#include "render/fw/fw.h"
#include "render/pmap/pixelmap.h"
#include "render/pmap/pmstate.h"
#include "render/tokens/token.h"

namespace {

// Stack entries of finished pixelmaps.
enum { DF_STACK_PIXELMAP = 2 };

const vt_file_enum_member pixelTypeNames[] = {
    {VT_PMT_INDEX_1, "VT_PMT_INDEX_1"},       {VT_PMT_INDEX_2, "VT_PMT_INDEX_2"},
    {VT_PMT_INDEX_4, "VT_PMT_INDEX_4"},       {VT_PMT_INDEX_8, "VT_PMT_INDEX_8"},
    {VT_PMT_RGB_555, "VT_PMT_RGB_555"},       {VT_PMT_RGB_565, "VT_PMT_RGB_565"},
    {VT_PMT_RGB_888, "VT_PMT_RGB_888"},       {VT_PMT_RGBX_888, "VT_PMT_RGBX_888"},
    {VT_PMT_RGBA_8888, "VT_PMT_RGBA_8888"},   {VT_PMT_YUYV_8888, "VT_PMT_YUYV_8888"},
    {VT_PMT_YUV_888, "VT_PMT_YUV_888"},       {VT_PMT_DEPTH_16, "VT_PMT_DEPTH_16"},
    {VT_PMT_DEPTH_32, "VT_PMT_DEPTH_32"},     {VT_PMT_ALPHA_8, "VT_PMT_ALPHA_8"},
    {VT_PMT_INDEXA_88, "VT_PMT_INDEXA_88"},
    // The unnamed types travel under names of our own, so that text files
    // can hold them too.
    {VT_PMT_INDEXA_88_B, "VT_PMT_INDEXA_88_B"}, {VT_PMT_INDEXA_88_C, "VT_PMT_INDEXA_88_C"},
    {VT_PMT_INDEXA_88_D, "VT_PMT_INDEXA_88_D"}, {VT_PMT_ARGB_4444, "VT_PMT_ARGB_4444"},
    {VT_PMT_INDEXA_88_F, "VT_PMT_INDEXA_88_F"}, {VT_PMT_INDEXA_88_G, "VT_PMT_INDEXA_88_G"},
    {VT_PMT_RGB_332, "VT_PMT_RGB_332"},       {VT_PMT_DEPTH_8, "VT_PMT_DEPTH_8"},
    {VT_PMT_ARGB_8888, "VT_PMT_ARGB_8888"},   {VT_PMT_ALPHA_4, "VT_PMT_ALPHA_4"},
    {VT_PMT_INDEXA_44, "VT_PMT_INDEXA_44"},   {VT_PMT_DEPTH_15, "VT_PMT_DEPTH_15"},
    {VT_PMT_DEPTH_31, "VT_PMT_DEPTH_31"},     {VT_PMT_DEPTH_FP15, "VT_PMT_DEPTH_FP15"},
    {VT_PMT_DEPTH_FP16, "VT_PMT_DEPTH_FP16"},
};
const vt_file_enum pixelTypeEnum = {DF_COUNT(pixelTypeNames), pixelTypeNames};

const vt_file_struct_member pixelmapMembers[] = {
    DF_MEMBER_X(ENUM_8, vt_pixelmap, type, &pixelTypeEnum),
    DF_MEMBER(UINT_16, vt_pixelmap, row_bytes),
    DF_MEMBER(UINT_16, vt_pixelmap, width),
    DF_MEMBER(UINT_16, vt_pixelmap, height),
    DF_MEMBER(UINT_16, vt_pixelmap, origin_x),
    DF_MEMBER(UINT_16, vt_pixelmap, origin_y),
    DF_MEMBER(UINT_16, vt_pixelmap, mip_offset),
    DF_MEMBER(ASCIZ, vt_pixelmap, identifier),
};
const vt_file_struct pixelmapStruct = {"vt_pixelmap", DF_COUNT(pixelmapMembers), pixelmapMembers,
                                       sizeof(vt_pixelmap)};

const vt_file_struct_member oldPixelmapMembers[] = {
    DF_MEMBER_X(ENUM_8, vt_pixelmap, type, &pixelTypeEnum),
    DF_MEMBER(UINT_16, vt_pixelmap, row_bytes),
    DF_MEMBER(UINT_16, vt_pixelmap, width),
    DF_MEMBER(UINT_16, vt_pixelmap, height),
    DF_MEMBER(UINT_16, vt_pixelmap, origin_x),
    DF_MEMBER(UINT_16, vt_pixelmap, origin_y),
    DF_MEMBER(ASCIZ, vt_pixelmap, identifier),
};
const vt_file_struct oldPixelmapStruct = {"vt_old_pixelmap", DF_COUNT(oldPixelmapMembers), oldPixelmapMembers,
                                          sizeof(vt_pixelmap)};

// Memory and file bytes per pixel agree: the types a file can hold.
bool storable(vt_uint_8 type) {
    return type < VT_PMT_MAX && vtPixelmapTypes[type].bits == 8 * vtPixelmapTypes[type].file_size;
}

int readPixelmap(vt_datafile *df, const vt_file_struct *str) {
    vt_pixelmap *pm = VtPixelmapAllocate(VT_PMT_INDEX_8, 0, 0, nullptr, VT_PMAF_NO_PIXELS);
    if (pm == nullptr)
        return VT_E_NO_MEMORY;
    void *oldRes = df->res;
    df->res = pm; // the identifier goes with the pixelmap
    const vt_uint_32 ok = df->prims->struct_read(df, str, pm);
    df->res = oldRes;
    // A type outside the table, or one whose file pixels are not its
    // memory pixels, cannot be held.
    if (!ok || !storable(pm->type)) {
        VtResFree(pm);
        return VT_E_FAIL;
    }
    const vt_int_32 rb = vt_int_32(vtPixelmapTypes[pm->type].file_size) * pm->width;
    if (rb > INT16_MAX) {
        VtResFree(pm);
        return VT_E_FAIL;
    }
    pm->row_bytes = vt_int_16(rb);
    pm->flags = VT_PMF_LINEAR | VT_PMF_ROW_WHOLEPIXELS;
    DfPush(DF_STACK_PIXELMAP, pm, 1);
    return 0;
}

int fpPixelmap(vt_datafile *df, vt_uint_32, vt_uint_32, vt_uint_32) { return readPixelmap(df, &pixelmapStruct); }
int fpOldPixelmap(vt_datafile *df, vt_uint_32, vt_uint_32, vt_uint_32) {
    return readPixelmap(df, &oldPixelmapStruct);
}

int fpPixels(vt_datafile *df, vt_uint_32, vt_uint_32, vt_uint_32) {
    if (DfTopType() != DF_STACK_PIXELMAP)
        return VT_E_FAIL;
    auto *pm = static_cast<vt_pixelmap *>(DfTop(DF_STACK_PIXELMAP, nullptr));
    const int size = vtPixelmapTypes[pm->type].file_size;
    void *oldRes = df->res;
    df->res = pm;
    int count = 0;
    void *pixels = df->prims->block_read(df, nullptr, &count, size, VT_RES_PIXELS);
    df->res = oldRes;
    if (pixels == nullptr)
        return VT_E_FAIL;
    // Every row the pixelmap addresses must be in the block.
    if (int64_t(count) * size != int64_t(pm->height) * pm->row_bytes) {
        VtResFree(pixels);
        return VT_E_FAIL;
    }
    if (pm->pixels && VtResIsChild(pm, pm->pixels))
        VtResFree(pm->pixels);
    pm->pixels = pixels;
    pm->flags |= VT_PMF_LINEAR;
    return 0;
}

// A pixelmap whose file declared a size but brought no pixel block for it
// has nothing behind its rows: it is refused rather than handed on to be
// drawn into, copied or saved as width x height bytes of nothing.
bool whole(const vt_pixelmap *pm) { return pm->pixels != nullptr || pm->width == 0 || pm->height == 0; }

int fpAddMap(vt_datafile *, vt_uint_32, vt_uint_32, vt_uint_32) {
    if (DfTopType() != DF_STACK_PIXELMAP)
        return VT_E_FAIL;
    auto *map = static_cast<vt_pixelmap *>(DfPop(DF_STACK_PIXELMAP, nullptr));
    if (DfTopType() != DF_STACK_PIXELMAP || !whole(map)) {
        VtResFree(map);
        return VT_E_FAIL;
    }
    auto *pm = static_cast<vt_pixelmap *>(DfTop(DF_STACK_PIXELMAP, nullptr));
    if (pm->map)
        VtResFree(pm->map);
    pm->map = map;
    VtResAdd(pm, map);
    return 0;
}

const vt_chunks_table_entry pixelmapChunks[] = {
    {DF_CHUNK_END, 0, DfReadEnd},
    {DF_CHUNK_NAMED, 0, fpPixelmap},
    {DF_CHUNK_PIXELMAP, 0, fpOldPixelmap},
    {DF_CHUNK_PIXELS, 0, fpPixels},
    {DF_CHUNK_ADD_MAP, 0, fpAddMap},
};
const vt_chunks_table pixelmapTable = {int(DF_COUNT(pixelmapChunks)), pixelmapChunks};

// Pops and frees what a stopped load left on the stack.
void dropPartial() {
    while (DfTopType() == DF_STACK_PIXELMAP)
        VtResFree(DfPop(DF_STACK_PIXELMAP, nullptr));
}

bool writePixelmap(vt_datafile *df, vt_pixelmap *pm, int depth) {
    if (!storable(pm->type))
        return false;
    df->prims->chunk_write(df, DF_CHUNK_NAMED, vt_uint_32(df->prims->struct_size(df, &pixelmapStruct, pm)));
    // What a reader makes of it: rows of exactly width pixels.
    vt_pixelmap rec = *pm;
    const int size = vtPixelmapTypes[pm->type].file_size;
    rec.row_bytes = vt_int_16(size * pm->width);
    df->prims->struct_write(df, &pixelmapStruct, &rec);
    // A map of a map of ... ends somewhere; a map that leads back does not.
    if (pm->map && depth < 8) {
        if (!writePixelmap(df, pm->map, depth + 1))
            return false;
        df->prims->chunk_write(df, DF_CHUNK_ADD_MAP, 0);
    }
    VtPixelmapDirectLock(pm, 1);
    const vt_size row = vt_size(size) * pm->width;
    const vt_size total = row * pm->height;
    // Rows are gathered in order, whatever the stride or the inversion.
    auto *packed = static_cast<vt_uint_8 *>(VtMemAllocate(total ? total : 1, VT_RES_PIXELS));
    if (packed == nullptr) {
        VtPixelmapDirectUnlock(pm);
        return false;
    }
    if (pm->pixels) {
        for (vt_int_32 y = 0; y < pm->height; y++) {
            const auto *src = static_cast<const vt_uint_8 *>(pm->pixels) +
                              (ptrdiff_t(pm->base_y) + y) * pm->row_bytes + ptrdiff_t(pm->base_x) * size;
            memcpy(packed + row * vt_size(y), src, row);
        }
    } else {
        memset(packed, 0, total);
    }
    df->prims->chunk_write(df, DF_CHUNK_PIXELS,
                           vt_uint_32(df->prims->block_size(df, packed, pm->width, int(row), pm->height, size)));
    df->prims->block_write(df, packed, pm->width, int(row), pm->height, size);
    VtMemFree(packed);
    VtPixelmapDirectUnlock(pm);
    return true;
}

} // namespace

vt_uint_32 VtPixelmapLoadMany(const char *filename, vt_pixelmap **pixelmaps, vt_uint_16 num) {
    vt_datafile *df = DfOpen(filename, 0, VTT_FIXED);
    if (df == nullptr)
        return 0;
    vt_uint_32 count = 0;
    bool failed = false;
    while (count < num) {
        const int r = DfChunksInterpret(df, &pixelmapTable);
        while (DfTopType() == DF_STACK_PIXELMAP && count < num && r == 1) {
            auto *pm = static_cast<vt_pixelmap *>(DfPop(DF_STACK_PIXELMAP, nullptr));
            if (!whole(pm)) {
                VtResFree(pm);
                failed = true;
                break;
            }
            pixelmaps[count++] = pm;
        }
        if (failed)
            break;
        if (r != 1) {
            failed = r != 0;
            break;
        }
    }
    dropPartial();
    DfClose(df);
    if (failed) {
        // A file that goes wrong part way gives nothing.
        for (vt_uint_32 i = 0; i < count; i++)
            VtPixelmapFree(pixelmaps[i]);
        return 0;
    }
    return count;
}

vt_pixelmap *VtPixelmapLoad(const char *filename) {
    vt_pixelmap *pm = nullptr;
    return VtPixelmapLoadMany(filename, &pm, 1) == 1 ? pm : nullptr;
}

vt_uint_32 VtPixelmapSave(const char *filename, vt_pixelmap *pm) {
    if (pm == nullptr || !storable(pm->type))
        return 0;
    vt_datafile *df = DfOpen(filename, 1, VTT_FIXED);
    if (df == nullptr)
        return 0;
    DfFileInfoWrite(df, FILE_TYPE_PIXELMAP);
    const bool ok = writePixelmap(df, pm, 0);
    DfWriteEnd(df);
    DfClose(df);
    return ok ? 1 : 0;
}
