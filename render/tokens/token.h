// Tokens: 32-bit ids naming a property together with the type of its value
// (given by the name's suffix); token-value pair lists; templates that map
// tokens onto record fields.
#pragma once

#include "render/fw/list.h"
#include "render/fw/types.h"

// Predefined token ids: VTT_NONE = 1 ... VTT_BLEND_PREMULTIPLIED = 500.
enum : vt_token {
    VTT_END = 0, // terminates a pair list
#define VT_TOKEN(id, name) VTT_##name = id,
#include "render/tokens/token_list.inc"
#undef VT_TOKEN
};

// The first id given to a created token.
enum : vt_token { VT_TOKEN_FIRST_FREE = 501 };

struct vt_token_entry {
    vt_node node;
    const char *identifier; // the full name, suffix included
    vt_token type;
    vt_token token;
    vt_int_32 base_length; // name length minus suffix length
};

void VtTokenBegin();
void VtTokenEnd();

vt_token VtTokenCreate(const char *identifier, vt_token type);
const char *VtTokenIdentifier(vt_token t);
vt_token VtTokenType(vt_token t);
vt_token VtTokenFind(const char *pattern);
vt_int_32 VtTokenFindMany(const char *pattern, vt_token *tokens, vt_int_32 max_tokens);
vt_int_32 VtTokenCount(const char *pattern);
vt_token VtTokenFindType(vt_token *ptype, const char *base, const vt_token *types, vt_int_32 ntypes);

// ---- Token-value pairs ---------------------------------------------------
//
// A pair's value is pointer-wide: integers, booleans, fixed (16.16) and
// float bits sit in the low 32 bits; anything larger travels by pointer.

union vt_value {
    uintptr_t raw;
    vt_uint_32 u32;
    vt_int_32 i32;
    vt_boolean b;
    vt_token t;
    vt_fixed x;
    vt_float f;
    vt_int_8 i8;
    vt_uint_8 u8;
    vt_int_16 i16;
    vt_uint_16 u16;
    vt_angle a;
    vt_colour rgb;
    void *p;
    const char *cstr;
    char *str;
    struct vt_object *o;
    struct vt_token_value *tvl;
    vt_token *tl;
    void **pl;
    struct vt_object **ol;
    vt_int_32 *vi;   // VECTORn_INTEGER
    vt_fixed *vx;    // VECTORn_FIXED, MATRIXnn_FIXED
    vt_float *vf;    // VECTORn_FLOAT, MATRIXnn_FLOAT
};

struct vt_token_value {
    vt_token t;
    vt_value v;
};

inline vt_value VtValueU32(vt_uint_32 u) {
    vt_value v;
    v.raw = 0;
    v.u32 = u;
    return v;
}
inline vt_value VtValueI32(vt_int_32 i) { return VtValueU32(vt_uint_32(i)); }
inline vt_value VtValueF(vt_float f) {
    vt_value v;
    v.raw = 0;
    v.f = f;
    return v;
}
inline vt_value VtValueP(const void *p) {
    vt_value v;
    v.p = const_cast<void *>(p);
    return v;
}

// ---- Templates -----------------------------------------------------------

enum {
    VT_TVF_QUERY = 1,     // queryable: in the query map
    VT_TVF_SET = 2,       // settable: in the set map
    VT_TVF_QUERY_ALL = 4, // listed by the query-all operations
    VT_TVF_CONST = 8,     // the value is the entry's own offset word; never set
};

// Conversion kinds between a record field and a pair value.
enum {
    VT_TVC_CONSTANT = 1,  // the entry's extra word
    VT_TVC_CUSTOM = 2,    // the extra word points at a vt_tv_custom
    VT_TVC_DIRECT = 3,    // the field as it is (pointer-wide for pointer types)
    VT_TVC_V2 = 4,        // 4..9: 2, 3, 4, 6, 12, 16 words through the extra buffer
    VT_TVC_V3, VT_TVC_V4, VT_TVC_M23, VT_TVC_M34, VT_TVC_M4,
    VT_TVC_INT8 = 10, VT_TVC_INT16, VT_TVC_UINT8, VT_TVC_UINT16,
    VT_TVC_FLOAT_AS_FIXED = 14, VT_TVC_FIXED_AS_FLOAT,
    VT_TVC_V2_FLOAT_AS_FIXED = 16, VT_TVC_V2_FIXED_AS_FLOAT,
    VT_TVC_V3_FLOAT_AS_FIXED, VT_TVC_V3_FIXED_AS_FLOAT,
    VT_TVC_V4_FLOAT_AS_FIXED, VT_TVC_V4_FIXED_AS_FLOAT,
    VT_TVC_M23_FLOAT_AS_FIXED, VT_TVC_M23_FIXED_AS_FLOAT,
    VT_TVC_M34_FLOAT_AS_FIXED, VT_TVC_M34_FIXED_AS_FLOAT,
    VT_TVC_M4_FLOAT_AS_FIXED, VT_TVC_M4_FIXED_AS_FLOAT,
    VT_TVC_STRING = 28,   // the string the field points at, through the buffer
    VT_TVC_LIST = 29,     // the zero-terminated word list the field points at
    VT_TVC_NOT_ONE = 30,
    VT_TVC_BIT_SET = 31,
    VT_TVC_BIT_CLEAR = 32,
};

struct vt_tv_template_entry {
    vt_token token;   // 0 until resolved from the name
    const char *name;
    uintptr_t offset; // of the field in the record; the value under VT_TVF_CONST
    vt_int_16 flags;
    vt_int_16 conv;
    uintptr_t conv_arg; // the extra word
    vt_int_32 mask;     // ORed into the caller's mask by a successful set
};

struct vt_tv_custom {
    vt_error (*query)(vt_value *pvalue, void **extra, vt_size *pextra_size, void *block,
                      const vt_tv_template_entry *tep);
    vt_error (*set)(void *block, vt_value *pvalue, const vt_tv_template_entry *tep);
    vt_size (*extra_size)(void *block, const vt_tv_template_entry *tep);
};

struct vt_tv_template {
    int n_entries;
    vt_tv_template_entry *entries;
    vt_int_32 map_base;
    vt_int_32 n_map_entries;
    vt_tv_template_entry **map_query_entry;
    vt_tv_template_entry **map_set_entry;
    void *res;
    vt_boolean names_resolved;
};

vt_tv_template *VtTVTemplateAllocate(void *res, vt_tv_template_entry *entries, int n_entries);
void VtTVTemplateFree(vt_tv_template *t);

vt_error VtTokenValueQuery(vt_value *pvalue, void *extra, vt_size extra_size, vt_token t, void *block,
                           vt_tv_template *tpl);
vt_error VtTokenValueQueryMany(vt_token_value *tv, void *extra, vt_size extra_size, vt_int_32 *pcount, void *block,
                               vt_tv_template *tpl);
vt_error VtTokenValueQueryManySize(vt_size *psize, vt_token_value *tv, void *block, vt_tv_template *tpl);
vt_error VtTokenValueQueryAll(vt_token_value *buffer, vt_size buffer_size, void *block, vt_tv_template *tpl);
vt_error VtTokenValueQueryAllSize(vt_size *psize, void *block, vt_tv_template *tpl);
vt_error VtTokenValueSet(void *mem, vt_uint_32 *pcombined_mask, vt_token t, vt_value value, vt_tv_template *tpl);
vt_error VtTokenValueSetMany(void *mem, vt_int_32 *pcount, vt_uint_32 *pcombined_mask, vt_token_value *tv,
                             vt_tv_template *tpl);

vt_boolean VtTokenValueCompare(const vt_token_value *tv1, const vt_token_value *tv2);
// As VtTokenValueCompare, skipping the pairs whose token is in the
// zero-terminated ignore list.
vt_boolean VtTokenValueComparePartial(const vt_token_value *tv1, const vt_token_value *tv2, const vt_token *insignificant);
typedef void vt_putline_cbfn(const char *text, void *arg);
void VtTokenValueDump(vt_token_value *tv, const char *prefix, vt_putline_cbfn *putline, void *arg);

// Parses "name=value,name:value,name" into pairs at the front of the
// buffer (strings are kept at its back); returns the number of pairs
// written before the terminator, 0 when not even the terminator fits.
vt_int_32 VtStringToTokenValue(vt_token_value *buffer, vt_size buffer_size, const char *str);

struct vt_lexer;
// The error callback VtStringToTokenValue gives its lexer (null: silent).
typedef void vt_lexer_error_cbfn(vt_lexer *l, const char *message);
vt_lexer_error_cbfn *VtStringToTokenValueErrorSet(vt_lexer_error_cbfn *error);

// ---- Byte order ----------------------------------------------------------

vt_uint_32 VtSwap32(vt_uint_32 l);
vt_uint_16 VtSwap16(vt_uint_16 s);
vt_float VtSwapFloat(vt_float f);
void *VtSwapBlock(void *block, int count, int size);
