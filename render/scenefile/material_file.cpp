// Material datafiles: the three material forms, the references to maps and
// shade tables by name, the material loaders and the material writer.
#include <vector>

#include "render/pmap/pixelmap.h"
#include "render/scenefile/sfprivate.h"

namespace {

int fpMaterial(vt_datafile *df, vt_uint_32 id, vt_uint_32, vt_uint_32) {
    vt_material *mat = VtMaterialAllocate(nullptr);
    if (mat == nullptr)
        return SfFail(df, "could not allocate a material");
    bool ok;
    if (id == DF_CHUNK_MATERIAL_OLD) {
        sf_material_oldest rec{*mat, 0};
        ok = SfStructRead(df, &sfMaterialOldestStruct, &rec, mat);
        *mat = rec.m;
        mat->flags = rec.flags;
    } else {
        ok = SfStructRead(df, id == DF_CHUNK_MATERIAL_OLD_2 ? &sfMaterialOldStruct : &sfMaterialStruct, mat, mat);
    }
    if (!ok) {
        VtMaterialFree(mat);
        return kSfFail;
    }
    return SfPush(df, SF_STACK_MATERIAL, mat, 0) ? 0 : kSfFail;
}

// The slot of the material that a reference chunk fills.
vt_pixelmap **refSlot(vt_material *mat, vt_uint_32 id) {
    switch (id) {
    case DF_CHUNK_COLOUR_MAP_REF:
        return &mat->colour_map;
    case DF_CHUNK_INDEX_BLEND_REF:
        return &mat->index_blend;
    case DF_CHUNK_INDEX_SHADE_REF:
        return &mat->index_shade;
    case DF_CHUNK_SCREENDOOR_REF:
        return &mat->screendoor;
    default:
        return &mat->index_fog;
    }
}

int fpReference(vt_datafile *df, vt_uint_32 id, vt_uint_32, vt_uint_32) {
    auto *mat = static_cast<vt_material *>(SfTop(df, SF_STACK_MATERIAL, nullptr));
    if (mat == nullptr)
        return kSfFail;
    char name[256];
    df->prims->name_read(df, name);
    if (df->failed)
        return kSfFail;
    *refSlot(mat, id) = id == DF_CHUNK_COLOUR_MAP_REF ? VtMapFind(name) : VtTableFind(name);
    return 0;
}

const vt_chunks_table_entry kMaterialChunks[] = {
    {DF_CHUNK_END, 0, DfReadEnd},
    {DF_CHUNK_MATERIAL_OLD, 0, fpMaterial},
    {DF_CHUNK_MATERIAL_OLD_2, 0, fpMaterial},
    {DF_CHUNK_COLOUR_MAP_REF, 0, fpReference},
    {DF_CHUNK_INDEX_BLEND_REF, 0, fpReference},
    {DF_CHUNK_INDEX_SHADE_REF, 0, fpReference},
    {DF_CHUNK_SCREENDOOR_REF, 0, fpReference},
    {DF_CHUNK_INDEX_FOG_REF, 0, fpReference},
    {SF_CHUNK_MATERIAL, 0, fpMaterial},
};
const vt_chunks_table kMaterialTable = {int(DF_COUNT(kMaterialChunks)), kMaterialChunks};

void freeMaterial(void *m) { VtMaterialFree(static_cast<vt_material *>(m)); }
const sf_kind kMaterialKind = {&kMaterialTable, SF_STACK_MATERIAL, freeMaterial, nullptr};

void writeMaterial(vt_datafile *df, vt_material *mat) {
    SfStructChunkWrite(df, SF_CHUNK_MATERIAL, &sfMaterialStruct, mat);
    static const vt_uint_32 kRefs[] = {DF_CHUNK_COLOUR_MAP_REF, DF_CHUNK_INDEX_SHADE_REF, DF_CHUNK_INDEX_BLEND_REF,
                                       DF_CHUNK_SCREENDOOR_REF, DF_CHUNK_INDEX_FOG_REF};
    for (vt_uint_32 id : kRefs)
        if (vt_pixelmap *pm = *refSlot(mat, id))
            SfNameChunkWrite(df, id, pm->identifier);
    DfWriteEnd(df);
}

} // namespace

vt_uint_32 VtMaterialLoadMany(const char *filename, vt_material **materials, vt_uint_16 num) {
    return SfLoadMany(filename, kMaterialKind, reinterpret_cast<void **>(materials), num, nullptr);
}

vt_material *VtMaterialLoad(const char *filename) {
    return static_cast<vt_material *>(SfLoadOne(filename, kMaterialKind));
}

vt_error VtMaterialFileCount(const char *filename, vt_uint_32 *num) {
    return SfFileCount(filename, kMaterialKind, num);
}

vt_uint_32 VtMaterialSaveMany(const char *filename, vt_material **materials, vt_uint_16 num) {
    auto write = [](vt_datafile *df, void *m) {
        writeMaterial(df, static_cast<vt_material *>(m));
        return true;
    };
    if (materials)
        return SfSaveMany(filename, FILE_TYPE_MATERIAL_OLD, reinterpret_cast<void *const *>(materials), num, write);
    std::vector<vt_material *> registered(vt_size(VtMaterialCount(nullptr)));
    registered.resize(vt_size(VtMaterialFindMany(nullptr, registered.data(), int(registered.size()))));
    return SfSaveMany(filename, FILE_TYPE_MATERIAL_OLD, reinterpret_cast<void *const *>(registered.data()),
                      vt_uint_32(registered.size()), write);
}

vt_uint_32 VtMaterialSave(const char *filename, vt_material *material) {
    return material ? VtMaterialSaveMany(filename, &material, 1) : 0;
}
