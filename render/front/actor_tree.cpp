// Actor trees: linking, searching by path, and the matrices between actors
// with the class that says how they may be inverted.
#include <cstring>

#include "render/front/front.h"
#include "render/scene/scenestate.h"

namespace {

// The class of a product of transforms: row, the class so far; column, the
// class multiplied in. Classes 1 to 6 preserve lengths.
const vt_uint_8 kClassProduct[VT_TRANSFORM_MAX][VT_TRANSFORM_MAX] = {
    {0, 0, 0, 0, 0, 0, 0}, {0, 1, 1, 1, 1, 1, 1}, {0, 1, 1, 1, 1, 2, 2}, {0, 1, 1, 1, 1, 3, 3},
    {0, 1, 1, 1, 1, 4, 4}, {0, 1, 2, 3, 4, 5, 5}, {0, 1, 2, 3, 4, 5, 6},
};

vt_simple_list *childList(vt_actor *a) { return reinterpret_cast<vt_simple_list *>(&a->children); }
vt_simple_node *node(vt_actor *a) { return reinterpret_cast<vt_simple_node *>(a); }

void renumber(vt_actor *a, vt_uint_16 depth) {
    a->depth = depth;
    for (vt_actor *c = a->children; c; c = c->next)
        renumber(c, vt_uint_16(depth + 1));
}

// The inverse of a matrix of the class: the transpose where lengths are
// kept, the general inverse otherwise.
void invert(vt_matrix34 *out, const vt_matrix34 *in, vt_uint_16 type) {
    if (type == VT_TRANSFORM_MATRIX34) {
        if (VtMatrix34Inverse(out, in) == 0)
            VtMatrix34Identity(out);
    } else {
        VtMatrix34LPInverse(out, in);
    }
}

// Multiplies in one actor's transform on the way up (identity skipped).
void climb(vt_matrix34 *m, vt_uint_16 *type, const vt_actor *a) {
    if (a->t.type == VT_TRANSFORM_IDENTITY)
        return;
    VtMatrix34PostTransform(m, &a->t);
    *type = VtTransformClassCombine(*type, a->t.type);
}

void boundsOf(vt_bounds3 *out, vt_actor *a, const vt_matrix34 *m, vt_model *inherited) {
    vt_model *model = a->model ? a->model : inherited;
    if (a->type == VT_ACTOR_MODEL && model) {
        vt_bounds3 b;
        VtBounds3Transform(&b, &model->bounds, m);
        VtBounds3AddPoint(out, &b.min);
        VtBounds3AddPoint(out, &b.max);
    }
    for (vt_actor *c = a->children; c; c = c->next) {
        vt_matrix34 cm = *m;
        VtMatrix34PreTransform(&cm, &c->t);
        boundsOf(out, c, &cm, model);
    }
}

} // namespace

vt_uint_16 VtTransformClassCombine(vt_uint_16 so_far, vt_uint_16 next) {
    if (so_far >= VT_TRANSFORM_MAX || next >= VT_TRANSFORM_MAX)
        return VT_TRANSFORM_MATRIX34;
    return kClassProduct[so_far][next];
}

vt_actor *VtActorAdd(vt_actor *parent, vt_actor *child) {
    if (parent == nullptr || child == nullptr)
        return child;
    // Linking an actor that hangs elsewhere would tie two lists together.
    if (child->prev)
        VtSimpleRemove(node(child));
    VtSimpleAddHead(childList(parent), node(child));
    child->parent = parent;
    renumber(child, vt_uint_16(parent->depth + 1));
    return child;
}

vt_actor *VtActorRemove(vt_actor *actor) {
    if (actor == nullptr)
        return nullptr;
    if (actor->prev)
        VtSimpleRemove(node(actor));
    actor->parent = nullptr;
    renumber(actor, 0);
    return actor;
}

void VtActorRelink(vt_actor *parent, vt_actor *actor) {
    if (actor == nullptr || actor->parent == parent)
        return;
    vt_matrix34 m;
    VtActorToActorMatrix34(&m, actor, parent);
    VtTransformFromMatrix34(&actor->t, &m);
    VtActorRemove(actor);
    VtActorAdd(parent, actor);
}

vt_uint_32 VtActorSearchMany(vt_actor *root, const char *path, vt_actor **actors, int max) {
    if (root == nullptr || max <= 0)
        return 0;
    const char *rest = nullptr;
    if (path) {
        while (*path == '/')
            path++;
        rest = strchr(path, '/');
        if (rest) {
            while (*rest == '/')
                rest++;
            if (*rest == 0)
                rest = nullptr;
        }
    }
    int n = 0;
    for (vt_actor *c = root->children; c && n < max; c = c->next) {
        if (!VtNamePatternMatch(path, c->identifier))
            continue;
        if (rest)
            n += int(VtActorSearchMany(c, rest, actors + n, max - n));
        else
            actors[n++] = c;
    }
    return vt_uint_32(n);
}

vt_actor *VtActorSearch(vt_actor *root, const char *path) {
    vt_actor *a = nullptr;
    return VtActorSearchMany(root, path, &a, 1) ? a : nullptr;
}

vt_boolean VtActorToRootTyped(vt_actor *actor, vt_actor *ancestor, vt_matrix34 *m, vt_uint_16 *type) {
    VtMatrix34Identity(m);
    *type = VT_TRANSFORM_IDENTITY;
    vt_actor *a = actor;
    for (; a && a != ancestor; a = a->parent)
        climb(m, type, a);
    return a == ancestor;
}

vt_boolean VtActorToRoot(vt_actor *actor, vt_actor *ancestor, vt_matrix34 *m) {
    vt_uint_16 type;
    return VtActorToRootTyped(actor, ancestor, m, &type);
}

vt_uint_16 VtActorToActorMatrix34(vt_matrix34 *m, vt_actor *from, vt_actor *to) {
    if (from == to) {
        VtMatrix34Identity(m);
        return VT_TRANSFORM_IDENTITY;
    }
    if (to && from && from->parent == to) {
        VtTransformToMatrix34(m, &from->t);
        return from->t.type;
    }
    if (to && from && to->parent == from) {
        vt_matrix34 t;
        VtTransformToMatrix34(&t, &to->t);
        invert(m, &t, to->t.type);
        return to->t.type;
    }
    // Up from both ends to the common ancestor: the deeper side first, then
    // both together.
    vt_matrix34 fm, tm;
    VtMatrix34Identity(&fm);
    VtMatrix34Identity(&tm);
    vt_uint_16 ftype = VT_TRANSFORM_IDENTITY, ttype = VT_TRANSFORM_IDENTITY;
    vt_actor *f = from, *t = to;
    while (f && t && f->depth > t->depth) {
        climb(&fm, &ftype, f);
        f = f->parent;
    }
    while (f && t && t->depth > f->depth) {
        climb(&tm, &ttype, t);
        t = t->parent;
    }
    while (f != t) {
        if (f) {
            climb(&fm, &ftype, f);
            f = f->parent;
        }
        if (t) {
            climb(&tm, &ttype, t);
            t = t->parent;
        }
    }
    if (ttype != VT_TRANSFORM_IDENTITY) {
        vt_matrix34 inv;
        invert(&inv, &tm, ttype);
        VtMatrix34Mul(m, &fm, &inv);
    } else {
        *m = fm;
    }
    return VtTransformClassCombine(ftype, ttype);
}

vt_bounds3 *VtActorToBounds(vt_bounds3 *b, vt_actor *actor) {
    VtBounds3Empty(b);
    if (actor == nullptr)
        return b;
    vt_matrix34 m;
    VtMatrix34Identity(&m);
    boundsOf(b, actor, &m, vtScene.default_model);
    return b;
}
