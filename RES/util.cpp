#include "RES/util.h"

#include <cmath>
#include <cstdlib>

#include "os/os.h"
#include "os/system.h"

uint32_t dunRandomState;
uint32_t dunRand15State = 1;
Vec3d WorldOriginOffset;

void *dunAlloc(size_t n) { return std::calloc(1, n ? n : 1); }

void dunFree(void *p) { std::free(p); }

uint32_t dunRandom32() {
    uint32_t state = dunRandomState + 1;
    uint32_t result = 0;
    for (int round = 0; round < 32; ++round) {
        uint32_t bit = ((state >> 31) ^ (state >> 6) ^ (state >> 4) ^ (state >> 2) ^ (state >> 1) ^ state) & 1;
        state = (bit << 31) | (state >> 1);
        result = (result | (state & 1)) << 1;
    }
    dunRandomState = state;
    return result;
}

int dunRand15() {
    dunRand15State = dunRand15State * 214013u + 2531011u;
    return static_cast<int>((dunRand15State >> 16) & 0x7FFF);
}

void dunSeedRand15(uint32_t seed) { dunRand15State = seed; }

TreeNode *TreeFindLinkSlot(void *context, TreeNode *node, const TreeNode *target, TreeNode ***linkOut) {
    return TreeFindLinkSlotOf<TreeNode, &TreeNode::first, &TreeNode::second>(context, node, target, linkOut);
}

TreeNode *TreeFindLinkingNode(void *context, TreeNode *node, const TreeNode *target, TreeNode ***linkOut) {
    if (node->first == target || node->second == target) return node;
    TreeNode *found = nullptr;
    if (node->first) found = TreeFindLinkSlot(context, node->first, target, linkOut);
    if (!found && node->second) found = TreeFindLinkSlot(context, node->second, target, linkOut);
    return found;
}

namespace {

WorldRecentreHooks gRecentreHooks;

void ShiftObject(WorldPositionRef object, void *context) {
    const Vec3d &d = *static_cast<const Vec3d *>(context);
    if (object.position) {
        object.position->x += d.x;
        object.position->y += d.y;
        object.position->z += d.z;
    }
    if (object.positionFloat) {
        object.positionFloat->x += static_cast<float>(d.x);
        object.positionFloat->y += static_cast<float>(d.y);
        object.positionFloat->z += static_cast<float>(d.z);
    }
}

}  // namespace

void WorldSetRecentreHooks(const WorldRecentreHooks *hooks) {
    gRecentreHooks = hooks ? *hooks : WorldRecentreHooks{};
}

void WorldRecentre() {
    if (!gRecentreHooks.playerPosition) return;
    Vec3d p{};
    bool fastDrive = false;
    if (!gRecentreHooks.playerPosition(&p, &fastDrive)) return;
    double m = fastDrive ? 1e9 : 1e8;
    Vec3d delta{std::fmod(p.x, m) - p.x, std::fmod(p.y, m) - p.y, std::fmod(p.z, m) - p.z};
    // A position that is not finite has no whole multiples to remove; moving
    // every object by NaN would lose the whole world.
    if (!std::isfinite(delta.x)) delta.x = 0;
    if (!std::isfinite(delta.y)) delta.y = 0;
    if (!std::isfinite(delta.z)) delta.z = 0;
    if (delta.x == 0 && delta.y == 0 && delta.z == 0) return;
    if (gRecentreHooks.forEachObject) gRecentreHooks.forEachObject(ShiftObject, &delta);
    if (gRecentreHooks.shiftHud)
        gRecentreHooks.shiftHud(static_cast<float>(delta.x), static_cast<float>(delta.y), static_cast<float>(delta.z));
    WorldOriginOffset.x -= delta.x;
    WorldOriginOffset.y -= delta.y;
    WorldOriginOffset.z -= delta.z;
}

void WorldRecentreStep() { WorldRecentre(); }

void CopyTextToClipboard(const char *text) { osSetClipboardText(text ? text : ""); }

uint32_t FreeMemoryBytes() {
    uint64_t n = osFreeMemoryBytes();
    return n > 0xFFFFFFFFull ? 0xFFFFFFFFu : (uint32_t)n;
}
