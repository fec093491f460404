#include "render/fw/list.h"

static vt_node *headerAsHead(vt_list *list) { return reinterpret_cast<vt_node *>(&list->head); }
static vt_node *headerAsTail(vt_list *list) { return reinterpret_cast<vt_node *>(&list->null_); }

void VtNewList(vt_list *list) {
    list->head = headerAsTail(list);
    list->null_ = nullptr;
    list->tail = headerAsHead(list);
}

void VtAddHead(vt_list *list, vt_node *node) { VtInsert(list, headerAsHead(list), node); }

void VtAddTail(vt_list *list, vt_node *node) { VtInsert(list, list->tail, node); }

vt_node *VtRemHead(vt_list *list) {
    if (VtListEmpty(list))
        return nullptr;
    return VtRemove(list->head);
}

vt_node *VtRemTail(vt_list *list) {
    if (VtListEmpty(list))
        return nullptr;
    return VtRemove(list->tail);
}

void VtInsert(vt_list *, vt_node *after, vt_node *node) {
    vt_node *next = after->next;
    node->next = next;
    node->prev = after;
    next->prev = node;
    after->next = node;
}

vt_node *VtRemove(vt_node *node) {
    node->prev->next = node->next;
    node->next->prev = node->prev;
    return node;
}

void VtSimpleNewList(vt_simple_list *list) { *list = nullptr; }


void VtSimpleInsert(vt_simple_list *, vt_simple_node *after, vt_simple_node *node) {
    node->next = after->next;
    node->prev = &after->next;
    if (node->next)
        node->next->prev = &node->next;
    after->next = node;
}

vt_simple_node *VtSimpleRemHead(vt_simple_list *list) {
    vt_simple_node *node = *list;
    if (node)
        VtSimpleRemove(node);
    return node;
}

