// The token table and the suffix rule.
#include "render/tokens/token.h"

#include <cstring>

#include "render/fw/fw.h"
#include "render/std/stdlib.h"

namespace {

struct suffix_entry {
    const char *suffix;
    vt_token type;
};

// Searched in this order; the first suffix that ends the name (and is
// shorter than it) wins.
const suffix_entry kSuffixes[] = {
    {"_M34_X", VTT_MATRIX34_FIXED}, {"_M23_F", VTT_MATRIX23_FLOAT},   {"_M23_X", VTT_MATRIX23_FIXED},
    {"_M34_F", VTT_MATRIX34_FLOAT}, {"_V3_X", VTT_VECTOR3_FIXED},     {"_V4_X", VTT_VECTOR4_FIXED},
    {"_M4_F", VTT_MATRIX4_FLOAT},   {"_M4_X", VTT_MATRIX4_FIXED},     {"_V3_I", VTT_VECTOR3_INTEGER},
    {"_V4_F", VTT_VECTOR4_FLOAT},   {"_V2_X", VTT_VECTOR2_FIXED},     {"_V2_I", VTT_VECTOR2_INTEGER},
    {"_CSTR", VTT_CONSTANT_STRING}, {"_V4_I", VTT_VECTOR4_INTEGER},   {"_V2_F", VTT_VECTOR2_FLOAT},
    {"_V3_F", VTT_VECTOR3_FLOAT},   {"_STR", VTT_STRING},             {"_U32", VTT_UINT_32},
    {"_RGB", VTT_COLOUR_RGB},       {"_I16", VTT_INT_16},             {"_U16", VTT_UINT_16},
    {"_TVL", VTT_TOKEN_VALUE_LIST}, {"_I32", VTT_INT_32},             {"_OL", VTT_OBJECT_LIST},
    {"_I8", VTT_INT_8},             {"_PL", VTT_POINTER_LIST},        {"_TL", VTT_TOKEN_LIST},
    {"_U8", VTT_UINT_8},            {"_H", VTT_HANDLE},               {"_P", VTT_POINTER},
    {"_X", VTT_FIXED},              {"_T", VTT_TOKEN},                {"_A", VTT_ANGLE},
    {"_O", VTT_OBJECT},             {"_F", VTT_FLOAT},                {"_B", VTT_BOOLEAN},
    {"", VTT_NONE},
};
static_assert(sizeof kSuffixes / sizeof kSuffixes[0] == 37);

struct predefined {
    vt_token id;
    const char *name;
};

const predefined kPredefined[] = {
#define VT_TOKEN(id, name) {id, #name},
#include "render/tokens/token_list.inc"
#undef VT_TOKEN
};
constexpr size_t kPredefinedCount = sizeof kPredefined / sizeof kPredefined[0];
static_assert(kPredefinedCount == 499);

vt_token_entry predefinedEntries[kPredefinedCount];
vt_list tokenList;
vt_token nextFreeToken;
bool begun;

const suffix_entry *suffixOf(const char *name) {
    size_t len = strlen(name);
    for (const suffix_entry &s : kSuffixes) {
        size_t sl = strlen(s.suffix);
        if (sl < len && strcmp(name + len - sl, s.suffix) == 0)
            return &s;
    }
    return &kSuffixes[sizeof kSuffixes / sizeof kSuffixes[0] - 1];
}

const suffix_entry *suffixForType(vt_token type) {
    for (const suffix_entry &s : kSuffixes)
        if (s.type == type)
            return &s;
    return nullptr;
}

vt_token_entry *first() { return reinterpret_cast<vt_token_entry *>(VtListFirst(&tokenList)); }
vt_token_entry *next(vt_token_entry *e) { return reinterpret_cast<vt_token_entry *>(VtListNext(&e->node)); }

void ensureBegun() {
    if (!begun)
        VtTokenBegin();
}

vt_token_entry *entryOf(vt_token t) {
    if (t == 0)
        return nullptr;
    ensureBegun();
    if (t < VT_TOKEN_FIRST_FREE) {
        // Predefined ids are dense except for the one unused id.
        size_t i = t < 292 ? t - 1 : t - 2;
        if (t != 292 && i < kPredefinedCount && predefinedEntries[i].token == t)
            return &predefinedEntries[i];
        return nullptr;
    }
    for (vt_token_entry *e = first(); e; e = next(e))
        if (e->token == t)
            return e;
    return nullptr;
}

} // namespace

void VtTokenBegin() {
    VtNewList(&tokenList);
    for (size_t i = 0; i < kPredefinedCount; i++) {
        vt_token_entry &e = predefinedEntries[i];
        e.identifier = kPredefined[i].name;
        e.token = kPredefined[i].id;
        const suffix_entry *s = suffixOf(e.identifier);
        e.type = s->type;
        e.base_length = vt_int_32(strlen(e.identifier) - strlen(s->suffix));
        VtAddTail(&tokenList, &e.node);
    }
    nextFreeToken = VT_TOKEN_FIRST_FREE;
    begun = true;
}

void VtTokenEnd() {
    // Created tokens are resources under the root and go with it.
    begun = false;
}

vt_token VtTokenCreate(const char *identifier, vt_token type) {
    if (identifier == nullptr)
        return 0;
    ensureBegun();
    for (vt_token_entry *e = first(); e; e = next(e))
        if (strcmp(e->identifier, identifier) == 0)
            return e->token;
    const suffix_entry *s;
    if (type == 0) {
        s = suffixOf(identifier);
    } else {
        s = suffixForType(type);
        size_t len = strlen(identifier);
        if (s == nullptr)
            return 0;
        size_t sl = strlen(s->suffix);
        if (len <= sl || strcmp(identifier + len - sl, s->suffix) != 0)
            return 0;
    }
    size_t len = strlen(identifier);
    auto *e = static_cast<vt_token_entry *>(VtResAllocate(VtFrameworkRoot(), sizeof(vt_token_entry) + len + 1, VT_RES_TOKEN));
    if (e == nullptr)
        return 0;
    char *name = reinterpret_cast<char *>(e + 1);
    memcpy(name, identifier, len + 1);
    e->identifier = name;
    e->type = s->type;
    e->base_length = vt_int_32(len - strlen(s->suffix));
    e->token = nextFreeToken++;
    VtAddHead(&tokenList, &e->node);
    return e->token;
}

const char *VtTokenIdentifier(vt_token t) {
    vt_token_entry *e = entryOf(t);
    return e ? e->identifier : nullptr;
}

vt_token VtTokenType(vt_token t) {
    vt_token_entry *e = entryOf(t);
    return e ? e->type : 0;
}

vt_token VtTokenFind(const char *pattern) {
    ensureBegun();
    for (vt_token_entry *e = first(); e; e = next(e))
        if (VtNamePatternMatch(pattern, e->identifier))
            return e->token;
    return 0;
}

vt_int_32 VtTokenFindMany(const char *pattern, vt_token *tokens, vt_int_32 max_tokens) {
    ensureBegun();
    vt_int_32 n = 0;
    for (vt_token_entry *e = first(); e && n < max_tokens; e = next(e))
        if (VtNamePatternMatch(pattern, e->identifier))
            tokens[n++] = e->token;
    return n;
}

vt_int_32 VtTokenCount(const char *pattern) {
    ensureBegun();
    vt_int_32 n = 0;
    for (vt_token_entry *e = first(); e; e = next(e))
        if (VtNamePatternMatch(pattern, e->identifier))
            n++;
    return n;
}

vt_token VtTokenFindType(vt_token *ptype, const char *base, const vt_token *types, vt_int_32 ntypes) {
    ensureBegun();
    size_t blen = strlen(base);
    for (vt_token_entry *e = first(); e; e = next(e)) {
        if (size_t(e->base_length) != blen || VtStrNICmp(e->identifier, base, vt_size(blen)) != 0)
            continue;
        for (vt_int_32 i = 0; i < ntypes; i++) {
            if (types[i] == e->type) {
                if (ptype)
                    *ptype = e->type;
                return e->token;
            }
        }
    }
    return 0;
}
