// Face normals, neighbours across shared edges, smoothing groups and the
// welding of equal corners into shared vertices.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <unordered_map>
#include <utility>
#include <vector>

#include "present/lwo/lwo.h"
#include "render/scene/scene.h"

namespace {

constexpr float kInnerEdgeAngle = 0.0873f;

bool Smooth(const LwoFace &f) {
    const vt_material *m = LwoSurfaceSlots[f.surface].material;
    return m && (m->flags & VT_MATF_SMOOTH);
}

// Links two faces of one surface across edge k of i and edge m of j when
// they bend by no more than the surface's smoothing angle.
void LinkSmoothNeighbours(LwoFace &a, int k, LwoFace &b, int m) {
    if (a.surface != b.surface) return;
    float d = a.normal[0] * b.normal[0] + a.normal[1] * b.normal[1] + a.normal[2] * b.normal[2];
    if (d > 1) d = 1;
    const float angle = std::fabs(std::acos(d));
    const float limit = LwoSurfaceSlots[a.surface].smoothingAngle;
    if (!(angle <= limit)) return;
    a.neighbours[k] = &b;
    b.neighbours[m] = &a;
    if (angle <= kInnerEdgeAngle) {
        a.edgeFlags |= uint8_t(1u << k);
        b.edgeFlags |= uint8_t(1u << m);
    }
}

uint32_t EdgeKey(uint16_t from, uint16_t to) { return uint32_t(from) << 16 | to; }

}  // namespace

void LwoFaceNormals(LwoFace *faces, int count) {
    for (int i = 0; i < count; ++i) {
        LwoFace &f = faces[i];
        float u[3], v[3];
        for (int c = 0; c < 3; ++c) {
            u[c] = f.position[0][c] - f.position[2][c];
            v[c] = f.position[0][c] - f.position[1][c];
        }
        float n[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
        const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        if (length > 0)
            for (float &c : n) c /= length;
        std::memcpy(f.normal, n, sizeof n);
    }
}

// Every pair of faces i < j, edge k of i and edge m of j run the other way
// round over the same two points, are tried in that order (so that a later
// link replaces an earlier one as the pairwise search would); only pairs
// that share such an edge are looked at.
void LwoFindNeighbours(LwoFace *faces, int count) {
    std::unordered_map<uint32_t, std::vector<int>> byEdge;
    for (int i = 0; i < count; ++i) {
        std::memset(faces[i].neighbours, 0, sizeof faces[i].neighbours);
        for (int k = 0; k < 3; ++k) byEdge[EdgeKey(faces[i].corners[k], faces[i].corners[(k + 1) % 3])].push_back(i);
    }
    std::vector<std::pair<int, int>> pairs;
    for (int i = 0; i < count; ++i)
        for (int k = 0; k < 3; ++k) {
            auto it = byEdge.find(EdgeKey(faces[i].corners[(k + 1) % 3], faces[i].corners[k]));
            if (it == byEdge.end()) continue;
            for (int j : it->second)
                if (j > i) pairs.emplace_back(i, j);
        }
    std::sort(pairs.begin(), pairs.end());
    pairs.erase(std::unique(pairs.begin(), pairs.end()), pairs.end());
    for (auto [i, j] : pairs)
        for (int k = 0; k < 3; ++k)
            for (int m = 0; m < 3; ++m)
                if (faces[i].corners[k] == faces[j].corners[(m + 1) % 3] &&
                    faces[i].corners[(k + 1) % 3] == faces[j].corners[m])
                    LinkSmoothNeighbours(faces[i], k, faces[j], m);
}

void LwoAssignSmoothingGroups(LwoFace *faces, int count) {
    for (int i = 0; i < count; ++i) faces[i].group = 0;
    int16_t counter = 1;
    std::vector<LwoFace *> stack;
    for (int i = 0; i < count; ++i) {
        if (faces[i].group != 0) continue;
        // A region is flooded from a stack: regions can be far too large
        // for recursion.
        stack.push_back(&faces[i]);
        while (!stack.empty()) {
            LwoFace *f = stack.back();
            stack.pop_back();
            if (f->group != 0) continue;
            f->group = Smooth(*f) ? counter : kLwoNoSmoothingGroup;
            for (LwoFace *n : f->neighbours)
                if (n && n->group == 0) stack.push_back(n);
        }
        counter = counter == 15 ? 1 : int16_t(counter + 1);
    }
}

namespace {

struct CornerKey {
    uint32_t bits[5];
    bool operator==(const CornerKey &o) const { return std::memcmp(bits, o.bits, sizeof bits) == 0; }
};

struct CornerHash {
    size_t operator()(const CornerKey &k) const {
        size_t h = 1469598103934665603ull;
        for (uint32_t b : k.bits) h = (h ^ b) * 1099511628211ull;
        return h;
    }
};

// The bits of values that compare equal are equal (0 and -0 alike); false
// for a NaN, which equals nothing.
bool KeyOf(const LwoFace &f, int c, CornerKey *key) {
    const float values[5] = {f.position[c][0], f.position[c][1], f.position[c][2], f.map[c][1], f.map[c][0]};
    for (int i = 0; i < 5; ++i) {
        if (std::isnan(values[i])) return false;
        const float v = values[i] == 0 ? 0.0f : values[i];
        std::memcpy(&key->bits[i], &v, 4);
    }
    return true;
}

}  // namespace

// Each corner takes the number of the first equal corner of an earlier face,
// else the next number (as numbering each new corner and handing its
// number to the equal corners of every later face would).
int LwoWeldVertices(LwoFace *faces, int count) {
    struct First {
        int number;
        int face;
    };
    std::unordered_map<CornerKey, First, CornerHash> seen;
    int next = 0;
    for (int i = 0; i < count; ++i)
        for (int c = 0; c < 3; ++c) {
            CornerKey key;
            if (!KeyOf(faces[i], c, &key)) {
                faces[i].corners[c] = uint16_t(next++);
                continue;
            }
            auto it = seen.find(key);
            if (it != seen.end() && it->second.face < i) {
                faces[i].corners[c] = uint16_t(it->second.number);
                continue;
            }
            if (it == seen.end()) seen.emplace(key, First{next, i});
            faces[i].corners[c] = uint16_t(next++);
        }
    return next;
}
