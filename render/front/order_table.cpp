// Order tables of z-sort scenes: allocation, the frame's list of visited
// tables, the range a model sets, and the flush at the end of a scene.
#include <cstring>

#include "render/front/front.h"
#include "render/scene/scenestate.h"

namespace {

void clearBuckets(vt_order_table *ot) {
    if (ot->table)
        memset(ot->table, 0, sizeof(vt_primitive *) * ot->size);
}

void setSortZ(vt_order_table *ot) {
    if (ot->flags & VT_ORDER_TABLE_SORT_NEAR)
        ot->sort_z = ot->min_z;
    else if (ot->flags & VT_ORDER_TABLE_SORT_FAR)
        ot->sort_z = ot->max_z;
    else if (ot->flags & VT_ORDER_TABLE_SORT_CENTRE)
        ot->sort_z = (ot->min_z + ot->max_z) / 2;
}

void setRange(vt_order_table *ot, vt_scalar min_z, vt_scalar max_z) {
    ot->min_z = min_z;
    ot->max_z = max_z;
    vt_scalar range = max_z - min_z;
    ot->scale = range < 0.001f ? 1000.0f : ot->size / range;
    setSortZ(ot);
}

// Into the frame's list, which runs from the farthest sort z to the
// nearest; a table goes after those of equal sort z.
void insert(vt_order_table *ot) {
    vt_order_table **link = &vtScene.order_table_list;
    while (*link && (*link)->sort_z >= ot->sort_z)
        link = &(*link)->next;
    ot->next = *link;
    *link = ot;
}

// Moves every primitive of a table, in drawing order (its last bucket
// first), in front of the primary's bucket for the table's sort z.
void mergeIntoPrimary(vt_order_table *ot, vt_order_table *primary) {
    vt_primitive *head = nullptr, **tail = &head;
    for (int b = ot->size - 1; b >= 0; b--) {
        vt_primitive *p = ot->table[b];
        if (p == nullptr)
            continue;
        *tail = p;
        while (p->next)
            p = p->next;
        tail = &p->next;
        ot->table[b] = nullptr;
    }
    if (head == nullptr || primary->table == nullptr)
        return;
    int k = VtOrderTableBucket(primary, ot->sort_z);
    *tail = primary->table[k];
    primary->table[k] = head;
}

void renderBuckets(vt_order_table *ot) {
    vt_geometry *gf = vtScene.format_buckets;
    auto *d = reinterpret_cast<const vt_geometry_v1_buckets_dispatch *>(gf->dispatch);
    d->render(gf, vtScene.renderer, ot->table, ot->size);
}

} // namespace

vt_order_table *VtZsOrderTableAllocate(vt_uint_16 size, vt_uint_32 flags, vt_uint_16 type) {
    void *parent = vtScene.res ? vtScene.res : VtFrameworkRoot();
    auto *ot = static_cast<vt_order_table *>(VtResAllocate(parent, sizeof(vt_order_table), VT_RES_ORDER_TABLE));
    if (ot == nullptr)
        return nullptr;
    memset(ot, 0, sizeof *ot);
    ot->size = size;
    ot->flags = flags;
    ot->type = type;
    if (size) {
        ot->table = static_cast<vt_primitive **>(VtResAllocate(ot, sizeof(vt_primitive *) * size, VT_RES_ORDER_TABLE));
        if (ot->table == nullptr) {
            VtResFree(ot);
            return nullptr;
        }
        clearBuckets(ot);
    }
    return ot;
}

void VtZsOrderTableFree(vt_order_table *ot) {
    if (ot == nullptr)
        return;
    // A table still listed for this frame leaves the list first.
    for (vt_order_table **link = &vtScene.order_table_list; *link; link = &(*link)->next)
        if (*link == ot) {
            *link = ot->next;
            break;
        }
    if (vtScene.primary_order_table == ot)
        vtScene.primary_order_table = nullptr;
    if (vtScene.current_order_table == ot)
        vtScene.current_order_table = vtScene.default_order_table != ot ? vtScene.default_order_table : nullptr;
    VtResFree(ot);
}

vt_order_table *VtZsActorOrderTableSet(vt_actor *actor, vt_order_table *ot) {
    actor->render_data = ot;
    return ot;
}

vt_order_table *VtZsActorOrderTableGet(vt_actor *actor) { return actor->render_data; }

vt_order_table *VtZsPrimaryOrderTableSet(vt_order_table *ot) {
    vt_order_table *old = vtScene.primary_order_table;
    vtScene.primary_order_table = ot;
    return old;
}

void VtZsPrimaryOrderTableClear() { vtScene.primary_order_table = nullptr; }

void SceneOrderTablesReset() {
    if (vtScene.default_order_table == nullptr)
        vtScene.default_order_table = VtZsOrderTableAllocate(VT_ZS_DEFAULT_BUCKETS, 0, VT_ORDER_TABLE_AVERAGE);
    vtScene.current_order_table = vtScene.default_order_table;
    vtScene.primary_order_table = nullptr;
    vtScene.order_table_list = nullptr;
}

void SceneOrderTablesClear() {
    vtScene.current_order_table = nullptr;
    vtScene.primary_order_table = nullptr;
    vtScene.order_table_list = nullptr;
    if (vtScene.default_order_table)
        VtResFree(vtScene.default_order_table);
    vtScene.default_order_table = nullptr;
}

// A model about to be rendered into a table: its range, its place in the
// frame's list at its first visit, and the renderer's current table.
void SceneOrderTableVisit(vt_order_table *ot, const vt_model *model) {
    bool first = ot->visits == 0;
    if ((ot->flags & VT_ORDER_TABLE_RANGE_EACH) || ((ot->flags & VT_ORDER_TABLE_RANGE_FIRST) && first)) {
        // The model's box in view space; depths are distances in front.
        vt_matrix34 m2v;
        if (VtModelToViewQuery(&m2v) == VT_E_OK) {
            vt_bounds3 b;
            VtBounds3Transform(&b, &model->bounds, &m2v);
            setRange(ot, -b.max.v[2], -b.min.v[2]);
        }
    }
    if (first) {
        clearBuckets(ot);
        if (ot != vtScene.primary_order_table)
            insert(ot);
    }
    ot->visits++;
}

// The default table at the start of a z-sort scene: the camera's range.
void SceneOrderTableStart(vt_scalar hither, vt_scalar yon) {
    vt_order_table *ot = vtScene.default_order_table;
    vtScene.order_table_list = nullptr;
    vtScene.current_order_table = ot;
    if (ot == nullptr)
        return;
    setRange(ot, hither, yon);
    ot->visits = 0;
    clearBuckets(ot);
}

void SceneOrderTablesFlush() {
    if (vtScene.format_buckets == nullptr || vtScene.renderer == nullptr)
        return;
    vt_order_table *primary = vtScene.primary_order_table;
    if (primary) {
        for (vt_order_table *ot = vtScene.order_table_list; ot; ot = ot->next) {
            mergeIntoPrimary(ot, primary);
            ot->visits = 0;
        }
        renderBuckets(primary);
        primary->visits = 0;
    } else {
        for (vt_order_table *ot = vtScene.order_table_list; ot; ot = ot->next) {
            renderBuckets(ot);
            ot->visits = 0;
        }
    }
    vtScene.order_table_list = nullptr;
}
