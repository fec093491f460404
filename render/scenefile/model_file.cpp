// Model datafiles: the model chunks with every older form of vertices,
// faces and material indexes, the model loaders and the model writer.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "render/scenefile/sfprivate.h"

namespace {

vt_model *topModel(vt_datafile *df) { return static_cast<vt_model *>(SfTop(df, SF_STACK_MODEL, nullptr)); }

// A count read from the file: within what a model holds and what the
// chunk can still carry.
bool countFits(vt_datafile *df, vt_uint_32 count, const vt_file_struct *str, const char *what) {
    if (count > kSfMaxElements) {
        SfFail(df, "%s: %u entries are more than a model holds", what, count);
        return false;
    }
    return DfCountFits(df, count, str) != 0;
}

template <class T> T *allocateArray(void *parent, vt_uint_32 count, vt_uint_8 res_class) {
    auto *a = static_cast<T *>(VtResAllocate(parent, sizeof(T) * (count ? count : 1), res_class));
    if (a)
        memset(a, 0, sizeof(T) * (count ? count : 1));
    return a;
}

// Reads count records into the array, or past them when it is null.
bool readRecords(vt_datafile *df, const vt_file_struct *str, void *array, vt_uint_32 count, void *owner) {
    char *p = static_cast<char *>(array);
    for (vt_uint_32 i = 0; i < count; i++, p += str->mem_size)
        if (!SfStructRead(df, str, p, owner))
            return false;
    return true;
}

// ---- Models ------------------------------------------------------------------

int readModel(vt_datafile *df, const vt_file_struct *str, vt_model **out) {
    vt_model *m = VtModelAllocate(nullptr, 0, 0);
    if (m == nullptr)
        return SfFail(df, "could not allocate a model");
    if (!SfStructRead(df, str, m, m)) {
        VtModelFree(m);
        return kSfFail;
    }
    m->flags &= SF_MODEL_FLAGS_KEPT;
    *out = m;
    return 0;
}

int fpModel(vt_datafile *df, vt_uint_32 id, vt_uint_32, vt_uint_32) {
    vt_model *m = nullptr;
    if (int r = readModel(df, id == DF_CHUNK_MODEL ? &sfModelStruct : &sfOldModel1Struct, &m))
        return r;
    return SfPush(df, SF_STACK_MODEL, m, 0) ? 0 : kSfFail;
}

int fpOldModel(vt_datafile *df, vt_uint_32, vt_uint_32, vt_uint_32) {
    vt_model *m = nullptr;
    if (int r = readModel(df, &sfModelStruct, &m))
        return r;
    int nfaces = 0, nvertices = 0;
    auto *faces = static_cast<vt_face *>(SfPop(df, SF_STACK_FACES, &nfaces));
    auto *vertices = faces ? static_cast<vt_vertex *>(SfPop(df, SF_STACK_VERTICES, &nvertices)) : nullptr;
    if (vertices == nullptr) {
        SfFreeEntry(SF_STACK_FACES, faces);
        VtModelFree(m);
        return kSfFail;
    }
    m->faces = static_cast<vt_face *>(VtResAdd(m, faces));
    m->nfaces = vt_uint_16(nfaces);
    m->vertices = static_cast<vt_vertex *>(VtResAdd(m, vertices));
    m->nvertices = vt_uint_16(nvertices);
    return SfPush(df, SF_STACK_MODEL, m, 0) ? 0 : kSfFail;
}

int fpPivot(vt_datafile *df, vt_uint_32, vt_uint_32, vt_uint_32) {
    vt_model *m = topModel(df);
    if (m == nullptr)
        return kSfFail;
    return SfStructRead(df, &sfPivotStruct, m, m) ? 0 : kSfFail;
}

// ---- Vertices ------------------------------------------------------------------

int fpVertices(vt_datafile *df, vt_uint_32, vt_uint_32, vt_uint_32 count) {
    vt_model *m = topModel(df);
    if (m == nullptr || !countFits(df, count, &sfVertexStruct, "Vertices"))
        return kSfFail;
    vt_vertex *v = nullptr;
    if (count) {
        if ((v = allocateArray<vt_vertex>(m, count, VT_RES_VERTICES)) == nullptr)
            return SfFail(df, "could not allocate %u vertices", count);
        if (!readRecords(df, &sfVertexStruct, v, count, m)) {
            VtResFree(v);
            return kSfFail;
        }
    }
    if (m->vertices && VtResIsChild(m, m->vertices))
        VtResFree(m->vertices);
    m->vertices = v;
    m->nvertices = vt_uint_16(count);
    return 0;
}

int fpVertexUV(vt_datafile *df, vt_uint_32, vt_uint_32, vt_uint_32 count) {
    vt_model *m = topModel(df);
    if (m == nullptr || !DfCountFits(df, count, &sfVertexUVStruct))
        return kSfFail;
    // Entries beyond the model's vertices are passed over, not stored.
    const vt_uint_32 kept = std::min<vt_uint_32>(count, m->nvertices);
    if (count > kept)
        VtFailure("Vertex UV: too many entries");
    for (vt_uint_32 i = 0; i < count; i++) {
        vt_vertex spare;
        if (!SfStructRead(df, &sfVertexUVStruct, i < kept ? &m->vertices[i] : &spare, m))
            return kSfFail;
    }
    return 0;
}

// A vertex array outside any model, for an old-form model to take.
int fpOldVertices(vt_datafile *df, vt_uint_32 id, vt_uint_32 length, vt_uint_32) {
    const vt_file_struct *str = id == DF_CHUNK_OLD_VERTICES ? &sfVertexStruct : &sfOldVertexUVStruct;
    const int size = df->prims->struct_size(df, str, nullptr);
    const vt_uint_32 count = size > 0 ? length / vt_uint_32(size) : 0;
    if (!countFits(df, count, str, "Old vertices"))
        return kSfFail;
    auto *v = allocateArray<vt_vertex>(SfRecordParent(), count, VT_RES_VERTICES);
    if (v == nullptr)
        return SfFail(df, "could not allocate %u vertices", count);
    if (!readRecords(df, str, v, count, v)) {
        VtResFree(v);
        return kSfFail;
    }
    return SfPush(df, SF_STACK_VERTICES, v, int(count)) ? 0 : kSfFail;
}

// ---- Faces -----------------------------------------------------------------------

vt_uint_16 groupBit(vt_uint_8 group) { return group == 0 ? 0xFFFF : vt_uint_16(1u << ((group - 1) % 16)); }

int fpFaces(vt_datafile *df, vt_uint_32 id, vt_uint_32, vt_uint_32 count) {
    const bool old = id == DF_CHUNK_OLD_FACES_1;
    const vt_file_struct *str = old ? &sfOldFace1Struct : &sfFaceStruct;
    vt_model *m = topModel(df);
    if (m == nullptr || !countFits(df, count, str, "Faces"))
        return kSfFail;
    vt_face *faces = nullptr;
    if (count) {
        if ((faces = allocateArray<vt_face>(m, count, VT_RES_FACES)) == nullptr)
            return SfFail(df, "could not allocate %u faces", count);
        for (vt_uint_32 i = 0; i < count; i++) {
            bool ok;
            if (old) {
                sf_old_face_1 rec{};
                ok = SfStructRead(df, str, &rec, m);
                memcpy(faces[i].vertices, rec.vertices, sizeof rec.vertices);
                faces[i].smoothing = groupBit(rec.smoothing);
                faces[i].flags = rec.flags;
            } else {
                ok = SfStructRead(df, str, &faces[i], m);
            }
            if (!ok) {
                VtResFree(faces);
                return kSfFail;
            }
        }
    }
    if (m->faces && VtResIsChild(m, m->faces))
        VtResFree(m->faces);
    m->faces = faces;
    m->nfaces = vt_uint_16(count);
    return 0;
}

// Faces outside any model, their materials from the material index below
// the vertices on the stack.
int fpOldFaces(vt_datafile *df, vt_uint_32, vt_uint_32 length, vt_uint_32) {
    int nvertices = 0, nindex = 0;
    void *vertices = SfPop(df, SF_STACK_VERTICES, &nvertices);
    if (vertices == nullptr)
        return kSfFail;
    // Files without a material index have faces without materials.
    auto **index = DfTopType() == SF_STACK_MATERIAL_INDEX
                       ? static_cast<vt_material **>(DfPop(SF_STACK_MATERIAL_INDEX, &nindex))
                       : nullptr;
    if (!SfPush(df, SF_STACK_VERTICES, vertices, nvertices)) {
        SfFreeEntry(SF_STACK_MATERIAL_INDEX, index);
        return kSfFail;
    }
    const int size = df->prims->struct_size(df, &sfOldFaceStruct, nullptr);
    const vt_uint_32 count = size > 0 ? length / vt_uint_32(size) : 0;
    vt_face *faces = nullptr;
    int r = 0;
    if (!countFits(df, count, &sfOldFaceStruct, "Old faces")) {
        r = kSfFail;
    } else if ((faces = allocateArray<vt_face>(SfRecordParent(), count, VT_RES_FACES)) == nullptr) {
        r = SfFail(df, "could not allocate %u faces", count);
    }
    for (vt_uint_32 i = 0; r == 0 && i < count; i++) {
        sf_old_face rec{};
        if (!SfStructRead(df, &sfOldFaceStruct, &rec, faces)) {
            r = kSfFail;
            break;
        }
        if (index && rec.material >= nindex) {
            r = SfFail(df, "Old faces: face %u names material %d of %d", i, rec.material, nindex);
            break;
        }
        memcpy(faces[i].vertices, rec.vertices, sizeof rec.vertices);
        faces[i].material = index ? index[rec.material] : nullptr;
        faces[i].smoothing = vt_uint_16(rec.smoothing) ? vt_uint_16(rec.smoothing) : 0xFFFF;
    }
    SfFreeEntry(SF_STACK_MATERIAL_INDEX, index);
    if (r) {
        SfFreeEntry(SF_STACK_FACES, faces);
        return r;
    }
    return SfPush(df, SF_STACK_FACES, faces, int(count)) ? 0 : kSfFail;
}

// ---- Face materials ----------------------------------------------------------------

vt_material **allocateIndex(vt_uint_32 n) {
    return allocateArray<vt_material *>(SfRecordParent(), n, VT_RES_MATERIAL_INDEX);
}

int fpMaterialIndex(vt_datafile *df, vt_uint_32, vt_uint_32, vt_uint_32 count) {
    // Every name takes at least a byte, or a line.
    if (count > kSfMaxElements || count > DfChunkRemaining(df))
        return SfFail(df, "Material index: %u names do not fit the chunk", count);
    vt_material **index = allocateIndex(count + 1);
    if (index == nullptr)
        return SfFail(df, "could not allocate a material index");
    for (vt_uint_32 i = 1; i <= count; i++) {
        char name[256];
        df->prims->name_read(df, name);
        if (df->failed) {
            VtResFree(index);
            return kSfFail;
        }
        index[i] = VtMaterialFind(name);
    }
    return SfPush(df, SF_STACK_MATERIAL_INDEX, index, int(count + 1)) ? 0 : kSfFail;
}

// The chunk's bytes are the names, each ended by a zero byte (in the text
// form, one name a line); no entry stands for "no material".
int fpOldMaterialIndex(vt_datafile *df, vt_uint_32, vt_uint_32 length, vt_uint_32) {
    std::vector<vt_material *> found;
    if (df->prims == &DfPrimitivesReadText) {
        for (vt_uint_32 i = 0; i < length; i++) {
            char name[256];
            df->prims->name_read(df, name);
            if (df->failed)
                return kSfFail;
            found.push_back(VtMaterialFind(name));
        }
    } else {
        std::string name;
        for (vt_uint_32 i = 0; i < length; i++) {
            const int c = VtFileGetChar(df->h);
            if (c == -1)
                return SfFail(df, "could not read material index");
            df->pos++;
            if (c != 0) {
                if (name.size() < 255)
                    name += char(c);
                continue;
            }
            found.push_back(VtMaterialFind(name.c_str()));
            name.clear();
        }
        if (!name.empty())
            found.push_back(VtMaterialFind(name.c_str()));
    }
    if (found.size() > kSfMaxElements + 1)
        return SfFail(df, "Material index: %zu names are more than faces can name", found.size());
    vt_material **index = allocateIndex(vt_uint_32(found.size()));
    if (index == nullptr)
        return SfFail(df, "could not allocate a material index");
    std::copy(found.begin(), found.end(), index);
    return SfPush(df, SF_STACK_MATERIAL_INDEX, index, int(found.size())) ? 0 : kSfFail;
}

int fpFaceMaterial(vt_datafile *df, vt_uint_32, vt_uint_32, vt_uint_32) {
    int n = 0;
    auto **index = static_cast<vt_material **>(SfPop(df, SF_STACK_MATERIAL_INDEX, &n));
    if (index == nullptr)
        return kSfFail;
    vt_model *m = topModel(df);
    int count = 0;
    void *old = df->res;
    df->res = nullptr;
    auto *values =
        m ? static_cast<vt_uint_16 *>(df->prims->block_read(df, nullptr, &count, 2, VT_RES_MATERIAL_INDEX)) : nullptr;
    df->res = old;
    if (values == nullptr) {
        VtResFree(index);
        return kSfFail;
    }
    if (count > m->nfaces)
        VtFailure("Face Materials: too many entries");
    const int kept = std::min<int>(count, m->nfaces);
    for (int i = 0; i < kept; i++)
        m->faces[i].material = values[i] < n ? index[values[i]] : nullptr;
    VtResFree(values);
    VtResFree(index);
    return 0;
}

const vt_chunks_table_entry kModelChunks[] = {
    {DF_CHUNK_END, 0, DfReadEnd},
    {DF_CHUNK_OLD_MATERIAL_INDEX, 0, fpOldMaterialIndex},
    {DF_CHUNK_OLD_VERTICES, 0, fpOldVertices},
    {DF_CHUNK_OLD_VERTICES_UV, 0, fpOldVertices},
    {DF_CHUNK_OLD_FACES, 0, fpOldFaces},
    {DF_CHUNK_OLD_MODEL, 0, fpOldModel},
    {DF_CHUNK_OLD_FACES_1, 1, fpFaces},
    {DF_CHUNK_OLD_MODEL_1, 0, fpModel},
    {DF_CHUNK_MODEL, 0, fpModel},
    {DF_CHUNK_MATERIAL_INDEX, 1, fpMaterialIndex},
    {DF_CHUNK_VERTICES, 1, fpVertices},
    {DF_CHUNK_VERTEX_UV, 1, fpVertexUV},
    {DF_CHUNK_FACES, 1, fpFaces},
    {DF_CHUNK_FACE_MATERIAL, 0, fpFaceMaterial},
    {DF_CHUNK_PIVOT, 0, fpPivot},
};
const vt_chunks_table kModelTable = {int(DF_COUNT(kModelChunks)), kModelChunks};

void freeModel(void *m) { VtModelFree(static_cast<vt_model *>(m)); }
bool modelFinished(void *m) { return SfModelFacesValid(static_cast<vt_model *>(m)); }
const sf_kind kModelKind = {&kModelTable, SF_STACK_MODEL, freeModel, modelFinished};

// ---- Writing ---------------------------------------------------------------------

bool writeModel(vt_datafile *df, vt_model *model) {
    if (model->vertices == nullptr || model->faces == nullptr) {
        if (model->identifier)
            VtWarning("%s", model->identifier);
        VtWarning("Model must have vertex and face information to save.");
        VtWarning("This information may have neem stripped on addition to");
        VtWarning("the registry. To prevent this, set the VT_MODF_UPDATEABLE");
        VtFailure("flag before adding the model to the registry.");
        return false;
    }
    std::vector<vt_material *> materials;
    for (int f = 0; f < model->nfaces; f++)
        if (model->faces[f].material)
            materials.push_back(model->faces[f].material);
    std::sort(materials.begin(), materials.end(), std::less<vt_material *>());
    materials.erase(std::unique(materials.begin(), materials.end()), materials.end());

    vt_model copy = *model;
    copy.flags &= SF_MODEL_FLAGS_KEPT;
    SfStructChunkWrite(df, DF_CHUNK_MODEL, &sfModelStruct, &copy);

    auto arrayChunk = [df](vt_uint_32 id, const vt_file_struct *str, const void *base, int n) {
        const int each = df->prims->struct_size(df, str, nullptr);
        df->prims->chunk_write(df, id, vt_uint_32(df->prims->count_size(df) + n * each));
        df->prims->count_write(df, vt_uint_32(n));
        DfStructWriteArray(df, str, base, n);
    };
    arrayChunk(DF_CHUNK_VERTICES, &sfVertexStruct, model->vertices, model->nvertices);
    const bool mapped = std::any_of(model->vertices, model->vertices + model->nvertices,
                                    [](const vt_vertex &v) { return v.map.v[0] != 0 || v.map.v[1] != 0; });
    if (mapped)
        arrayChunk(DF_CHUNK_VERTEX_UV, &sfVertexUVStruct, model->vertices, model->nvertices);
    arrayChunk(DF_CHUNK_FACES, &sfFaceStruct, model->faces, model->nfaces);

    if (!materials.empty()) {
        int length = df->prims->count_size(df);
        for (vt_material *mat : materials)
            length += df->prims->name_size(df, mat->identifier);
        df->prims->chunk_write(df, DF_CHUNK_MATERIAL_INDEX, vt_uint_32(length));
        df->prims->count_write(df, vt_uint_32(materials.size()));
        for (vt_material *mat : materials)
            df->prims->name_write(df, mat->identifier);
        // Entry 0 of the index read back is "no material".
        std::vector<vt_uint_16> values(model->nfaces);
        for (int f = 0; f < model->nfaces; f++) {
            vt_material *mat = model->faces[f].material;
            values[f] = mat ? vt_uint_16(1 + (std::lower_bound(materials.begin(), materials.end(), mat,
                                                               std::less<vt_material *>()) -
                                              materials.begin()))
                            : 0;
        }
        const int n = model->nfaces;
        df->prims->chunk_write(df, DF_CHUNK_FACE_MATERIAL,
                               vt_uint_32(df->prims->block_size(df, values.data(), n, 2 * n, 1, 2)));
        df->prims->block_write(df, values.data(), n, 2 * n, 1, 2);
    }
    DfWriteEnd(df);
    return true;
}

} // namespace

vt_uint_32 VtModelLoadMany(const char *filename, vt_model **models, vt_uint_16 num) {
    return SfLoadMany(filename, kModelKind, reinterpret_cast<void **>(models), num, nullptr);
}

vt_model *VtModelLoad(const char *filename) { return static_cast<vt_model *>(SfLoadOne(filename, kModelKind)); }

vt_error VtModelFileCount(const char *filename, vt_uint_32 *num) { return SfFileCount(filename, kModelKind, num); }

vt_uint_32 VtModelSaveMany(const char *filename, vt_model **models, vt_uint_16 num) {
    return SfSaveMany(filename, FILE_TYPE_MODEL, reinterpret_cast<void *const *>(models), num,
                      [](vt_datafile *df, void *m) { return writeModel(df, static_cast<vt_model *>(m)); });
}

vt_uint_32 VtModelSave(const char *filename, vt_model *model) {
    return model ? VtModelSaveMany(filename, &model, 1) : 0;
}
