// Intrusive lists: the doubly linked list whose header doubles as the end
// nodes, and the simple list whose nodes can unlink themselves.
#pragma once

#include "render/fw/types.h"

struct vt_node {
    vt_node *next;
    vt_node *prev;
};

// head, a null word, tail: seen from &head the header is the first node's
// predecessor, seen from &null_ it is the last node's successor.
struct vt_list {
    vt_node *head;
    vt_node *null_;
    vt_node *tail;
};

struct vt_simple_node {
    vt_simple_node *next;
    vt_simple_node **prev; // the link that points at this node
};

typedef vt_simple_node *vt_simple_list;

void VtNewList(vt_list *list);
void VtAddHead(vt_list *list, vt_node *node);
void VtAddTail(vt_list *list, vt_node *node);
vt_node *VtRemHead(vt_list *list);
vt_node *VtRemTail(vt_list *list);
void VtInsert(vt_list *list, vt_node *after, vt_node *node);
vt_node *VtRemove(vt_node *node);

// First node, or null when the list is empty; the successor of a node, or
// null at the end.
inline vt_node *VtListFirst(vt_list *list) { return list->head->next ? list->head : nullptr; }
inline vt_node *VtListNext(vt_node *node) { return node->next->next ? node->next : nullptr; }
inline bool VtListEmpty(const vt_list *list) { return list->head->next == nullptr; }

void VtSimpleNewList(vt_simple_list *list);
// Linking and unlinking are inline: every resource block of the library is
// linked into its parent's list when allocated and unlinked when freed.
inline void VtSimpleAddHead(vt_simple_list *list, vt_simple_node *node) {
    node->next = *list;
    node->prev = list;
    if (node->next)
        node->next->prev = &node->next;
    *list = node;
}
void VtSimpleInsert(vt_simple_list *list, vt_simple_node *after, vt_simple_node *node);
vt_simple_node *VtSimpleRemHead(vt_simple_list *list);
inline vt_simple_node *VtSimpleRemove(vt_simple_node *node) {
    if (node->prev) {
        *node->prev = node->next;
        if (node->next)
            node->next->prev = node->prev;
    }
    node->next = nullptr;
    node->prev = nullptr;
    return node;
}
