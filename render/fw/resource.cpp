// The hierarchical resource allocator.
#include <cstring>

#include "render/fw/fwstate.h"
#include "render/std/stdlib.h"

namespace {

constexpr vt_uint_32 kMagic = 0xDEADBEEF;
constexpr vt_uint_32 kFreedMagic = 1;
// No class asks for more; a longer run of zero bytes in front of a data
// pointer means it is no resource.
constexpr int kMaxPadWalk = 4096;

// The magic number is the last field so that its top byte (0xDE, last in
// memory order) is the first non-zero byte met when stepping back from the
// data over the zero padding.
struct res_header {
    res_header *next;  // first two fields form a simple-list node
    res_header **prev;
    res_header *children;
    res_header *magic_ptr;
    vt_uint_8 size_bytes[3]; // block bytes / 4, low byte first
    vt_uint_8 res_class;
    vt_uint_32 magic_num;
};
static_assert(sizeof(res_header) == 40, "resource header layout");
static_assert(offsetof(res_header, magic_num) + 4 == sizeof(res_header), "magic must end the header");
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "the header walk expects 0xDE last in memory");

vt_simple_node *asNode(res_header *h) { return reinterpret_cast<vt_simple_node *>(h); }
vt_simple_list *childList(res_header *h) { return reinterpret_cast<vt_simple_list *>(&h->children); }

// The installed allocator (VtAllocator's answer), read here without a call:
// every block passes through it twice.
inline vt_allocator *allocator() { return vtFw.mem ? vtFw.mem : &VtStdlibAllocator; }

vt_size blockBytes(const res_header *h) {
    return (vt_size(h->size_bytes[0]) | vt_size(h->size_bytes[1]) << 8 | vt_size(h->size_bytes[2]) << 16) * 4;
}

vt_size classAlign(vt_uint_8 res_class) {
    vt_resource_class *rc = vtFw.resource_class_index[res_class];
    if (rc == nullptr || rc->alignment <= 0)
        return 4;
    return vt_size(rc->alignment);
}

uintptr_t alignUp(uintptr_t a, vt_size align) { return (a + align - 1) & ~uintptr_t(align - 1); }

void *dataOf(res_header *h, vt_uint_8 res_class) {
    return reinterpret_cast<void *>(alignUp(reinterpret_cast<uintptr_t>(h) + sizeof(res_header), classAlign(res_class)));
}

// Extra bytes to ask for so that data aligned to `calign` fits after the
// header whatever address (a multiple of `malign`) the allocator returns.
// Alignments are powers of two, so the remainders are masks: this runs for
// every block, and a division costs more than the rest of the bookkeeping.
vt_size padNeeded(vt_size malign, vt_size calign) {
    const vt_size h = sizeof(res_header);
    if (malign == 0)
        malign = 1;
    if (malign >= calign)
        return (calign - (h & (calign - 1))) & (calign - 1);
    vt_size r = h & (malign - 1);
    return r ? calign - r : calign - malign;
}

res_header *headerOf(void *block) {
    const vt_uint_8 *b = static_cast<const vt_uint_8 *>(block);
    int walk = 0;
    do {
        if (++walk > kMaxPadWalk)
            return nullptr;
    } while (*--b == 0);
    return reinterpret_cast<res_header *>(const_cast<vt_uint_8 *>(b) + 1 - sizeof(res_header));
}

bool headerValid(res_header *h) { return h && h->magic_ptr == h && h->magic_num == kMagic; }

// The header of a live resource, or null after a report.
res_header *checkedHeader(void *block, const char *op) {
    res_header *h = block ? headerOf(block) : nullptr;
    if (!headerValid(h)) {
        VtFailure("%s: not a resource block", op);
        return nullptr;
    }
    return h;
}

void resFree(res_header *h, bool callback) {
    vt_uint_8 res_class = h->res_class;
    if (res_class == VT_RES_BEING_FREED)
        return;
    h->res_class = VT_RES_BEING_FREED;
    if (callback) {
        vt_resource_class *rc = vtFw.resource_class_index[res_class];
        if (rc && rc->free_cb)
            rc->free_cb(dataOf(h, res_class), res_class, blockBytes(h));
    }
    while (h->children) {
        res_header *child = h->children;
        VtSimpleRemove(asNode(child));
        resFree(child, true);
    }
    if (h->prev)
        VtSimpleRemove(asNode(h));
    h->magic_num = kFreedMagic;
    h->magic_ptr = nullptr;
    allocator()->free(h);
}

} // namespace

const vt_size VtResHeaderSize = sizeof(res_header);
const vt_size VtResSizeLimit = (vt_size(1) << 26) - 4 - sizeof(res_header);

void *VtResAllocate(void *parent, vt_size size, vt_uint_8 res_class) {
    if (size > VtResSizeLimit) {
        VtFailure("VtResAllocate: size %zu too large for class %d", size_t(size), res_class);
        return nullptr;
    }
    vt_size block = (size + sizeof(res_header) + 3) & ~vt_size(3);
    vt_size calign = classAlign(res_class);
    // The header itself needs its own alignment (checked below), and then
    // data of no stricter alignment follows it without padding: only the
    // stricter classes ask the allocator what it guarantees.
    vt_size pad = calign <= alignof(res_header) ? 0 : padNeeded(VtMemAlign(res_class), calign);

    // The header is written field by field below; only the padding (which
    // must be zero for the walk back from the data) and the data are cleared.
    auto *mem = static_cast<vt_uint_8 *>(allocator()->allocate(block + pad, res_class));
    if (mem == nullptr)
        return nullptr;
    memset(mem + sizeof(res_header), 0, block + pad - sizeof(res_header));
    uintptr_t a = reinterpret_cast<uintptr_t>(mem);
    if (a % alignof(res_header) != 0 || alignUp(a + sizeof(res_header), calign) - (a + sizeof(res_header)) > pad) {
        // Going on would put the data past the end of the block.
        VtFailure("Memory allocator broke alignment");
        VtMemFree(mem);
        return nullptr;
    }
    auto *h = reinterpret_cast<res_header *>(mem);
    h->next = nullptr;
    h->prev = nullptr;
    h->res_class = res_class;
    vt_size units = block / 4;
    h->size_bytes[0] = vt_uint_8(units);
    h->size_bytes[1] = vt_uint_8(units >> 8);
    h->size_bytes[2] = vt_uint_8(units >> 16);
    h->children = nullptr;
    h->magic_ptr = h;
    h->magic_num = kMagic;
    if (parent) {
        res_header *ph = checkedHeader(parent, "VtResAllocate");
        if (ph == nullptr) {
            VtMemFree(mem);
            return nullptr;
        }
        VtSimpleAddHead(childList(ph), asNode(h));
    }
    return dataOf(h, res_class);
}

void VtResFree(void *block) {
    if (res_header *h = checkedHeader(block, "VtResFree"))
        resFree(h, true);
}

void VtResFreeNoCallback(void *block) {
    if (res_header *h = checkedHeader(block, "VtResFreeNoCallback"))
        resFree(h, false);
}

void *VtResAdd(void *parent, void *block) {
    res_header *h = checkedHeader(block, "VtResAdd");
    res_header *ph = checkedHeader(parent, "VtResAdd");
    if (!h || !ph)
        return nullptr;
    if (h->prev)
        VtSimpleRemove(asNode(h));
    VtSimpleAddHead(childList(ph), asNode(h));
    return block;
}

void *VtResRemove(void *block) {
    res_header *h = checkedHeader(block, "VtResRemove");
    if (h && h->prev)
        VtSimpleRemove(asNode(h));
    return block;
}

vt_uint_8 VtResClass(void *block) {
    res_header *h = checkedHeader(block, "VtResClass");
    return h ? h->res_class : 0;
}

vt_boolean VtResIsChild(void *parent, void *block) {
    res_header *ph = checkedHeader(parent, "VtResIsChild");
    res_header *h = checkedHeader(block, "VtResIsChild");
    if (!ph || !h)
        return 0;
    for (res_header *c = ph->children; c; c = c->next)
        if (c == h)
            return 1;
    return 0;
}

vt_size VtResSize(void *block) {
    res_header *h = checkedHeader(block, "VtResSize");
    return h ? blockBytes(h) - sizeof(res_header) : 0;
}

static vt_size sizeTotal(res_header *h) {
    vt_size total = blockBytes(h) - sizeof(res_header);
    for (res_header *c = h->children; c; c = c->next)
        total += sizeTotal(c);
    return total;
}

vt_size VtResSizeTotal(void *block) {
    res_header *h = checkedHeader(block, "VtResSizeTotal");
    return h ? sizeTotal(h) : 0;
}

vt_uint_32 VtResChildEnum(void *block, vt_resenum_cbfn *callback, void *arg) {
    res_header *h = checkedHeader(block, "VtResChildEnum");
    if (!h)
        return 0;
    for (res_header *c = h->children, *next; c; c = next) {
        next = c->next;
        if (vt_uint_32 r = callback(dataOf(c, c->res_class), arg))
            return r;
    }
    return 0;
}

vt_boolean VtResCheck(void *block) {
    if (block == nullptr)
        return 0;
    return headerValid(headerOf(block)) ? 1 : 0;
}

char *VtResStrDup(void *parent, const char *text) {
    size_t n = strlen(text) + 1;
    auto *s = static_cast<char *>(VtResAllocate(parent, n, VT_RES_STRING));
    if (s)
        memcpy(s, text, n);
    return s;
}

void VtResDump(void *, vt_putline_cbfn *, void *) {}
