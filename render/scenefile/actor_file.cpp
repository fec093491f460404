// Actor datafiles: actors with their transforms, type data and model and
// material references, linked into trees; the actor loaders and the
// recursive actor writer.
#include <cstring>
#include <vector>

#include "render/front/front.h"
#include "render/scenefile/sfprivate.h"

namespace {

vt_actor *topActor(vt_datafile *df) { return static_cast<vt_actor *>(SfTop(df, SF_STACK_ACTOR, nullptr)); }

int fpActor(vt_datafile *df, vt_uint_32, vt_uint_32, vt_uint_32) {
    vt_actor *a = VtActorAllocate(VT_ACTOR_NONE, nullptr);
    if (a == nullptr)
        return SfFail(df, "could not allocate an actor");
    if (!SfStructRead(df, &sfActorStruct, a, a)) {
        VtActorFree(a);
        return kSfFail;
    }
    a->t.type = VT_TRANSFORM_IDENTITY;
    return SfPush(df, SF_STACK_ACTOR, a, 0) ? 0 : kSfFail;
}

int fpActorReference(vt_datafile *df, vt_uint_32 id, vt_uint_32, vt_uint_32) {
    vt_actor *a = topActor(df);
    if (a == nullptr)
        return kSfFail;
    char name[256];
    df->prims->name_read(df, name);
    if (df->failed)
        return kSfFail;
    if (id == DF_CHUNK_ACTOR_MODEL)
        a->model = VtModelFind(name);
    else
        a->material = VtMaterialFind(name);
    return 0;
}

int fpTransform(vt_datafile *df, vt_uint_32 id, vt_uint_32, vt_uint_32) {
    auto *t = static_cast<vt_transform *>(VtResAllocate(SfRecordParent(), sizeof(vt_transform), VT_RES_TRANSFORM));
    if (t == nullptr)
        return SfFail(df, "could not allocate a transform");
    memset(t, 0, sizeof *t);
    t->type = vt_uint_16(id - DF_CHUNK_TRANSFORM_MATRIX34);
    if (const vt_file_struct *str = SfTransformStruct(t->type))
        if (!SfStructRead(df, str, t, t)) {
            VtResFree(t);
            return kSfFail;
        }
    return SfPush(df, SF_STACK_TRANSFORM, t, 0) ? 0 : kSfFail;
}

int fpActorTransform(vt_datafile *df, vt_uint_32, vt_uint_32, vt_uint_32) {
    auto *t = static_cast<vt_transform *>(SfPop(df, SF_STACK_TRANSFORM, nullptr));
    if (t == nullptr)
        return kSfFail;
    vt_actor *a = topActor(df);
    if (a)
        a->t = *t;
    VtResFree(t);
    return a ? 0 : kSfFail;
}

// The type data records: what each is read as, and which actor types may
// hold it (the renderer reads an actor's type data as its type says).
struct type_data_kind {
    vt_uint_32 chunk;
    vt_uint_32 actor_chunk;
    int stack_type;
    vt_uint_8 res_class;
    vt_size size;
    const vt_file_struct *str;
    vt_uint_8 actor_types[2];
};

const type_data_kind kTypeData[] = {
    {DF_CHUNK_LIGHT,
     DF_CHUNK_ACTOR_LIGHT,
     SF_STACK_LIGHT,
     VT_RES_LIGHT,
     sizeof(vt_light),
     &sfLightStruct,
     {VT_ACTOR_LIGHT, VT_ACTOR_LIGHT}},
    {DF_CHUNK_CAMERA,
     DF_CHUNK_ACTOR_CAMERA,
     SF_STACK_CAMERA,
     VT_RES_CAMERA,
     sizeof(vt_camera),
     &sfCameraStruct,
     {VT_ACTOR_CAMERA, VT_ACTOR_CAMERA}},
    {DF_CHUNK_BOUNDS,
     DF_CHUNK_ACTOR_BOUNDS,
     SF_STACK_BOUNDS,
     VT_RES_BOUNDS,
     sizeof(vt_bounds3),
     &sfBoundsStruct,
     {VT_ACTOR_BOUNDS, VT_ACTOR_BOUNDS_CORRECT}},
    {DF_CHUNK_PLANE,
     DF_CHUNK_ACTOR_CLIP_PLANE,
     SF_STACK_PLANE,
     VT_RES_CLIP_PLANE,
     sizeof(vt_plane),
     &sfPlaneStruct,
     {VT_ACTOR_CLIP_PLANE, VT_ACTOR_CLIP_PLANE}},
};

const type_data_kind *kindOfChunk(vt_uint_32 id) {
    for (const type_data_kind &k : kTypeData)
        if (k.chunk == id || k.actor_chunk == id)
            return &k;
    return nullptr;
}

const type_data_kind *kindOfActor(vt_uint_8 type) {
    for (const type_data_kind &k : kTypeData)
        if (k.actor_types[0] == type || k.actor_types[1] == type)
            return &k;
    return nullptr;
}

int fpTypeData(vt_datafile *df, vt_uint_32 id, vt_uint_32, vt_uint_32) {
    const type_data_kind *k = kindOfChunk(id);
    void *rec = VtResAllocate(SfRecordParent(), k->size, k->res_class);
    if (rec == nullptr)
        return SfFail(df, "could not allocate %s", k->str->name);
    memset(rec, 0, k->size);
    if (!SfStructRead(df, k->str, rec, rec)) {
        VtResFree(rec);
        return kSfFail;
    }
    return SfPush(df, k->stack_type, rec, 0) ? 0 : kSfFail;
}

int fpActorTypeData(vt_datafile *df, vt_uint_32 id, vt_uint_32, vt_uint_32) {
    const type_data_kind *k = kindOfChunk(id);
    void *rec = SfPop(df, k->stack_type, nullptr);
    if (rec == nullptr)
        return kSfFail;
    vt_actor *a = topActor(df);
    if (a && kindOfActor(a->type) != k) {
        VtResFree(rec);
        return SfFail(df, "Actor %s of type %d cannot hold %s", a->identifier ? a->identifier : "<NULL>", a->type,
                      k->str->name);
    }
    if (a == nullptr) {
        VtResFree(rec);
        return kSfFail;
    }
    if (a->type_data && VtResIsChild(a, a->type_data))
        VtResFree(a->type_data);
    a->type_data = VtResAdd(a, rec);
    return 0;
}

int fpAddChild(vt_datafile *df, vt_uint_32, vt_uint_32, vt_uint_32) {
    auto *child = static_cast<vt_actor *>(SfPop(df, SF_STACK_ACTOR, nullptr));
    if (child == nullptr)
        return kSfFail;
    vt_actor *parent = topActor(df);
    if (parent == nullptr) {
        VtActorFree(child);
        return kSfFail;
    }
    VtActorAdd(parent, child);
    return 0;
}

const vt_chunks_table_entry kActorChunks[] = {
    {DF_CHUNK_END, 0, DfReadEnd},
    {DF_CHUNK_ACTOR, 0, fpActor},
    {DF_CHUNK_ACTOR_MODEL, 0, fpActorReference},
    {DF_CHUNK_ACTOR_TRANSFORM, 0, fpActorTransform},
    {DF_CHUNK_ACTOR_MATERIAL, 0, fpActorReference},
    {DF_CHUNK_ACTOR_LIGHT, 0, fpActorTypeData},
    {DF_CHUNK_ACTOR_CAMERA, 0, fpActorTypeData},
    {DF_CHUNK_ACTOR_BOUNDS, 0, fpActorTypeData},
    {DF_CHUNK_ACTOR_CLIP_PLANE, 0, fpActorTypeData},
    {DF_CHUNK_ACTOR_ADD_CHILD, 0, fpAddChild},
    {DF_CHUNK_TRANSFORM_MATRIX34, 0, fpTransform},
    {DF_CHUNK_TRANSFORM_MATRIX34_LP, 0, fpTransform},
    {DF_CHUNK_TRANSFORM_QUAT, 0, fpTransform},
    {DF_CHUNK_TRANSFORM_EULER, 0, fpTransform},
    {DF_CHUNK_TRANSFORM_LOOK_UP, 0, fpTransform},
    {DF_CHUNK_TRANSFORM_TRANSLATION, 0, fpTransform},
    {DF_CHUNK_TRANSFORM_IDENTITY, 0, fpTransform},
    {DF_CHUNK_BOUNDS, 0, fpTypeData},
    {DF_CHUNK_LIGHT, 0, fpTypeData},
    {DF_CHUNK_CAMERA, 0, fpTypeData},
    {DF_CHUNK_PLANE, 0, fpTypeData},
};
const vt_chunks_table kActorTable = {int(DF_COUNT(kActorChunks)), kActorChunks};

void freeActor(void *a) { VtActorFree(static_cast<vt_actor *>(a)); }
const sf_kind kActorKind = {&kActorTable, SF_STACK_ACTOR, freeActor, nullptr};

void writeActor(vt_datafile *df, vt_actor *a) {
    SfStructChunkWrite(df, DF_CHUNK_ACTOR, &sfActorStruct, a);
    if (a->t.type < VT_TRANSFORM_IDENTITY) {
        const vt_uint_32 id = DF_CHUNK_TRANSFORM_MATRIX34 + a->t.type;
        if (const vt_file_struct *str = SfTransformStruct(a->t.type))
            SfStructChunkWrite(df, id, str, &a->t);
        else
            df->prims->chunk_write(df, id, 0);
        df->prims->chunk_write(df, DF_CHUNK_ACTOR_TRANSFORM, 0);
    }
    if (a->material)
        SfNameChunkWrite(df, DF_CHUNK_ACTOR_MATERIAL, a->material->identifier);
    if (a->model)
        SfNameChunkWrite(df, DF_CHUNK_ACTOR_MODEL, a->model->identifier);
    if (const type_data_kind *k = a->type_data ? kindOfActor(a->type) : nullptr) {
        SfStructChunkWrite(df, k->chunk, k->str, a->type_data);
        df->prims->chunk_write(df, k->actor_chunk, 0);
    }
    // Each child read back goes in at the head, so the last goes out first.
    std::vector<vt_actor *> children;
    for (vt_actor *c = a->children; c; c = c->next)
        children.push_back(c);
    for (auto c = children.rbegin(); c != children.rend(); ++c) {
        writeActor(df, *c);
        df->prims->chunk_write(df, DF_CHUNK_ACTOR_ADD_CHILD, 0);
    }
}

} // namespace

vt_uint_32 VtActorLoadMany(const char *filename, vt_actor **actors, vt_uint_16 num) {
    return SfLoadMany(filename, kActorKind, reinterpret_cast<void **>(actors), num, nullptr);
}

vt_actor *VtActorLoad(const char *filename) { return static_cast<vt_actor *>(SfLoadOne(filename, kActorKind)); }

vt_error VtActorFileCount(const char *filename, vt_uint_32 *num) { return SfFileCount(filename, kActorKind, num); }

vt_uint_32 VtActorSaveMany(const char *filename, vt_actor **actors, vt_uint_16 num) {
    return SfSaveMany(filename, FILE_TYPE_ACTORS, reinterpret_cast<void *const *>(actors), num,
                      [](vt_datafile *df, void *a) {
                          writeActor(df, static_cast<vt_actor *>(a));
                          DfWriteEnd(df);
                          return true;
                      });
}

vt_uint_32 VtActorSave(const char *filename, vt_actor *actor) {
    return actor ? VtActorSaveMany(filename, &actor, 1) : 0;
}
