// Shared utilities: zero-filled heap blocks, the game's shift-register random
// generator and the runtime's 15-bit one, two-link tree search, and the
// per-frame shift of the world back towards the origin.
#pragma once

#include <cstddef>
#include <cstdint>

#include "RES/vecmath.h"

// Zero-filled block of n bytes; null when the heap is exhausted.
void *dunAlloc(size_t n);
void dunFree(void *p);

// The game's 32-bit shift-register generator. The world's pool reset seeds
// it with 1253567. Every result is even.
extern uint32_t dunRandomState;
uint32_t dunRandom32();

// The runtime's 15-bit generator (0..32767), one state for every user:
// state = state x 214013 + 2531011, result bits 16-30. Seed 1 at start.
inline constexpr int kRand15Max = 0x7FFF;
extern uint32_t dunRand15State;
int dunRand15();
void dunSeedRand15(uint32_t seed);

// A record whose first two members are links to records of its own kind
// (in the 3D part tree: the first child and the next sibling).
struct TreeNode {
    TreeNode *first;
    TreeNode *second;
};

// Depth first below and including node: the node whose first or second link
// is target, with the address of that link stored in *linkOut. Null when
// none links target (linkOut untouched). context is passed along unused.
TreeNode *TreeFindLinkSlot(void *context, TreeNode *node, const TreeNode *target, TreeNode ***linkOut);
// The same node; a match at node itself stores nothing, deeper matches store
// the link's address when linkOut is given.
TreeNode *TreeFindLinkingNode(void *context, TreeNode *node, const TreeNode *target, TreeNode ***linkOut);

// The same searches over any record with two link members.
template <class T, T *T::*First, T *T::*Second>
T *TreeFindLinkSlotOf(void *context, T *node, const T *target, T ***linkOut) {
    if (node->*First == target) {
        if (linkOut) *linkOut = &(node->*First);
        return node;
    }
    if (node->*Second == target) {
        if (linkOut) *linkOut = &(node->*Second);
        return node;
    }
    T *found = nullptr;
    if (node->*First) found = TreeFindLinkSlotOf<T, First, Second>(context, node->*First, target, linkOut);
    if (!found && node->*Second)
        found = TreeFindLinkSlotOf<T, First, Second>(context, node->*Second, target, linkOut);
    return found;
}

// ---- world re-centring --------------------------------------------------------

// How far every world coordinate has been shifted so far (each shift's delta
// is subtracted from it). Scripts and star-system changes read and reset it.
extern Vec3d WorldOriginOffset;

// Object positions as the world keeps them: the double position and its
// float copy.
struct WorldPositionRef {
    Vec3d *position;
    Vec3 *positionFloat;
};

// What re-centring needs of the world and the HUD. The world installs its
// table at start; without one (or without a player ship) nothing moves.
struct WorldRecentreHooks {
    // The player ship's double position, and whether its Sim flag bit value 2
    // (the fast drive) is set. Returns false when there is no player ship.
    bool (*playerPosition)(Vec3d *position, bool *fastDrive);
    // Calls visit for every object of the object list, in list order.
    void (*forEachObject)(void (*visit)(WorldPositionRef object, void *context), void *context);
    // The HUD's world points follow the shift.
    void (*shiftHud)(float dx, float dy, float dz);
};
void WorldSetRecentreHooks(const WorldRecentreHooks *hooks);

// Shifts every object back by the whole multiples of 1e8 (1e9 in the fast
// drive) that the player's position has passed.
void WorldRecentre();
// Once per game frame, after the GUI frame.
void WorldRecentreStep();

// Puts the text on the system clipboard.
void CopyTextToClipboard(const char *text);
// Available physical memory plus swap, in bytes (sizes the resource pool);
// like the system's own figure it saturates at 4 GB - 1.
uint32_t FreeMemoryBytes();
