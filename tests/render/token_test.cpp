#include <cmath>
#include <cstring>
#include <functional>
#include <string>

#include "render/tokens/object.h"
#include "render/tokens/token.h"
#include "vt_fixture.h"

using namespace vttest;

class VtTokens : public VtTest {};

TEST_F(VtTokens, CreateAndSuffixTyping) {
    EXPECT_EQ(VtTokenCreate("WIDTH_I32", 0), VTT_WIDTH_I32);
    EXPECT_EQ(VtTokenCreate("MY_SCALE_X", 0), 501u);
    EXPECT_EQ(VtTokenType(501), VTT_FIXED);
    EXPECT_EQ(VtTokenCreate("MY_SCALE_X", 0), 501u) << "created once";
    EXPECT_EQ(VtTokenCreate("_X", VTT_FIXED), 0u);
    EXPECT_EQ(VtTokenCreate("COUNT_I32", VTT_FIXED), 0u);
    EXPECT_EQ(VtTokenCreate("COUNT_I32", VTT_INT_32), 502u);
    EXPECT_STREQ(VtTokenIdentifier(502), "COUNT_I32");
    EXPECT_EQ(VtTokenIdentifier(292), nullptr);
    EXPECT_EQ(VtTokenType(292), 0u);
    EXPECT_STREQ(VtTokenIdentifier(VTT_BLEND_PREMULTIPLIED), "BLEND_PREMULTIPLIED");

    struct Case {
        const char *name;
        vt_token type;
    } cases[] = {
        {"FOG_RGB", VTT_COLOUR_RGB},         {"IDENTIFIER_CSTR", VTT_CONSTANT_STRING},
        {"REGISTRY_STR", VTT_STRING},        {"TOKEN_VALUE_LIST", VTT_NONE},
        {"HANDLE", VTT_NONE},                {"V1INSERT_ARG1_P", VTT_POINTER},
        {"MAP_MATRIX_M23_X", VTT_MATRIX23_FIXED}, {"PIXEL_CHANNELS_TL", VTT_TOKEN_LIST},
        {"MIP_MODIFIER_I8", VTT_INT_8},      {"ORIGIN_V2_I", VTT_VECTOR2_INTEGER},
        {"MATCH_TVL", VTT_TOKEN_VALUE_LIST}, {"WINDOW_HANDLE_H", VTT_HANDLE},
        {"COLOUR_T", VTT_TOKEN},             {"COLOUR_B", VTT_BOOLEAN},
    };
    for (const Case &c : cases)
        EXPECT_EQ(VtTokenType(VtTokenFind(c.name)), c.type) << c.name;
}

TEST_F(VtTokens, FindInListOrder) {
    EXPECT_EQ(VtTokenFind("width*"), VTT_WIDTH_I32) << "predefined tokens run from id 1";
    vt_token t = VtTokenCreate("WIDTH_EXTRA_I32", 0);
    EXPECT_EQ(VtTokenFind("width*"), t) << "created tokens go first";
    EXPECT_EQ(VtTokenCount("FOG_M*"), 4);
    vt_token found[8];
    EXPECT_EQ(VtTokenFindMany("FOG_M*", found, 8), 4);
    EXPECT_EQ(found[0], VTT_FOG_MIN_F);
    vt_token type = 0;
    const vt_token numeric[] = {VTT_FIXED, VTT_FLOAT};
    EXPECT_EQ(VtTokenFindType(&type, "fog_min", numeric, 2), VTT_FOG_MIN_F);
    EXPECT_EQ(type, VTT_FLOAT);
    const vt_token ints[] = {VTT_INT_32};
    EXPECT_EQ(VtTokenFindType(&type, "fog_min", ints, 1), 0u);
}

namespace {
std::vector<std::string> parseErrors;
void recordParseError(vt_lexer *, const char *m) { parseErrors.emplace_back(m); }

std::string pairsText(const vt_token_value *tv) {
    std::string s;
    for (; tv->t; tv++) {
        char buf[128];
        vt_token type = VtTokenType(tv->t);
        if (type == VTT_FLOAT)
            snprintf(buf, sizeof buf, "%s=%g;", VtTokenIdentifier(tv->t), double(tv->v.f));
        else if (type == VTT_STRING || type == VTT_CONSTANT_STRING)
            snprintf(buf, sizeof buf, "%s=\"%s\";", VtTokenIdentifier(tv->t), tv->v.cstr);
        else if (type == VTT_TOKEN)
            snprintf(buf, sizeof buf, "%s=%s;", VtTokenIdentifier(tv->t), VtTokenIdentifier(tv->v.t));
        else
            snprintf(buf, sizeof buf, "%s=%d;", VtTokenIdentifier(tv->t), tv->v.i32);
        s += buf;
    }
    return s;
}
} // namespace

TEST_F(VtTokens, StringToTokenValue) {
    struct Case {
        const char *text;
        const char *pairs;
        std::vector<std::string> errors;
    } cases[] = {
        {"w=320,h=200,b=16", "WIDTH_I32=320;HEIGHT_I32=200;PIXEL_BITS_I32=16;", {}},
        {",,W:1,,,H=2,", "WIDTH_I32=1;HEIGHT_I32=2;", {}},
        {"use_no_3d", "USE_NO_3D_B=1;", {}},
        {"smooth=t,decal:false,blend=true", "SMOOTH_B=1;DECAL_B=0;BLEND_B=1;", {}},
        {"fog_min=-2", "FOG_MIN_F=-2;", {}},
        {"width=-5", "WIDTH_I32=-5;", {}},
        {"pixel_type=-1", "", {"unknown token"}},
        {"pixel_type=300", "PIXEL_TYPE_U8=44;", {}},
        {"opacity=0.5", "OPACITY_X=32768;", {}},
        {"fog_max=1.25,spot_inner=-0.5", "FOG_MAX_F=1.25;SPOT_INNER_X=-32768;", {}},
        {"title=\"hello there\"", "TITLE_CSTR=\"hello there\";", {}},
        {"use=default", "USE_T=DEFAULT;", {}},
        {"use=nosuchtoken,w=1", "WIDTH_I32=1;", {}},
        {"bogus=3,h=4", "HEIGHT_I32=4;", {"unknown token"}},
        {"w=,h=4", "HEIGHT_I32=4;", {"expecting a value"}},
        {"w=[", "", {"expecting a value"}},
        {"=5", "", {"expected an identifier"}},
        {"smooth=1.5", "", {"unknown token"}},
    };
    VtStringToTokenValueErrorSet(recordParseError);
    vt_token_value tv[16];
    for (const Case &c : cases) {
        parseErrors.clear();
        vt_int_32 n = VtStringToTokenValue(tv, sizeof tv, c.text);
        EXPECT_EQ(pairsText(tv), c.pairs) << c.text;
        EXPECT_EQ(n, vt_int_32(std::count(c.pairs, c.pairs + strlen(c.pairs), ';'))) << c.text;
        EXPECT_EQ(parseErrors, c.errors) << c.text;
    }
    VtStringToTokenValueErrorSet(nullptr);
}

TEST_F(VtTokens, StringToTokenValueStaysInsideItsBuffer) {
    // Room for three pairs: two pairs and the terminator.
    vt_token_value tv[4];
    memset(tv, 0xAB, sizeof tv);
    EXPECT_EQ(VtStringToTokenValue(tv, 3 * sizeof(vt_token_value), "w=1,h=2,b=3"), 2);
    EXPECT_EQ(tv[2].t, 0u);
    EXPECT_EQ(tv[3].t, 0xABABABABu) << "nothing written past the buffer";

    // A string that would run into the pairs is dropped with its pair.
    std::string text = "title=\"" + std::string(40, 's') + "\",w=7";
    EXPECT_EQ(VtStringToTokenValue(tv, 3 * sizeof(vt_token_value), text.c_str()), 1);
    EXPECT_EQ(pairsText(tv), "WIDTH_I32=7;");
    EXPECT_EQ(VtStringToTokenValue(tv, sizeof(vt_token_value), "w=1"), 0);
    EXPECT_EQ(tv[0].t, 0u);
    EXPECT_EQ(VtStringToTokenValue(tv, sizeof(vt_token_value) - 1, "w=1"), 0);
}

namespace {

struct Rec {
    vt_int_32 i32;
    vt_float f;
    vt_fixed x;
    vt_int_8 i8;
    vt_uint_8 u8;
    vt_int_16 i16;
    vt_uint_16 u16;
    vt_uint_32 words[16];
    vt_float floats[16];
    vt_fixed fixeds[16];
    const char *str;
    char *strbuf;
    const vt_uint_32 *list;
    vt_uint_32 flags;
    void *ptr;
};

vt_error customQuery(vt_value *pv, void **, vt_size *, void *block, const vt_tv_template_entry *) {
    *pv = VtValueI32(static_cast<Rec *>(block)->i32 * 10);
    return VT_E_OK;
}
vt_error customSet(void *block, vt_value *pv, const vt_tv_template_entry *) {
    static_cast<Rec *>(block)->i32 = pv->i32 / 10;
    return VT_E_OK;
}
vt_size customSize(void *, const vt_tv_template_entry *) { return 12; }
vt_tv_custom custom = {customQuery, customSet, customSize};

} // namespace

// Each conversion kind: one entry, queried and then set on one record.
TEST_F(VtTokens, ConversionKinds) {
    const vt_uint_32 list[] = {5, 6, 7, 0};
    char strbuf[64];
    char hello[64];
    auto fresh = [&] {
        strcpy(hello, "hello");
        Rec r{};
        r.i32 = 1234;
        r.f = 2.5f;
        r.x = 3 * 65536 + 32768;
        r.i8 = -3;
        r.u8 = 250;
        r.i16 = -300;
        r.u16 = 60000;
        for (int i = 0; i < 16; i++) {
            r.words[i] = 100 + i;
            r.floats[i] = 0.5f * i;
            r.fixeds[i] = i * 65536 / 4;
        }
        r.str = hello;
        r.strbuf = strbuf;
        r.list = list;
        r.flags = 0x11;
        return r;
    };
    const vt_size wordsOf[] = {2, 3, 4, 6, 12, 16};
    vt_fixed fixedIn[16];
    vt_float floatIn[16];
    vt_uint_32 wordIn[16];
    for (int i = 0; i < 16; i++) {
        fixedIn[i] = -i * 65536;
        floatIn[i] = -0.25f * i;
        wordIn[i] = 900 + i;
    }

    struct Case {
        int kind;
        size_t offset;
        uintptr_t arg;
        const char *token;
        std::function<void(const vt_value &, const vt_uint_8 *extra, vt_size used)> query;
        vt_value set;
        std::function<void(const Rec &)> afterSet; // null: the set is refused
        vt_error setResult;
    };
    std::vector<Case> cases;
    auto off = [](auto Rec::*m) { return size_t(&(static_cast<Rec *>(nullptr)->*m)); };
#define OFF(m) offsetof(Rec, m)
    (void)off;
    cases.push_back({1, 0, 77, "K_CONST_I32", [](const vt_value &v, auto, vt_size) { EXPECT_EQ(v.i32, 77); },
                     VtValueI32(1), nullptr, VT_E_UNKNOWN});
    cases.push_back({2, OFF(i32), uintptr_t(&custom), "K_CUSTOM_I32",
                     [](const vt_value &v, auto, vt_size) { EXPECT_EQ(v.i32, 12340); }, VtValueI32(50),
                     [](const Rec &r) { EXPECT_EQ(r.i32, 5); }, VT_E_OK});
    cases.push_back({3, OFF(i32), 0, "K_DIRECT_I32", [](const vt_value &v, auto, vt_size) { EXPECT_EQ(v.i32, 1234); },
                     VtValueI32(-9), [](const Rec &r) { EXPECT_EQ(r.i32, -9); }, VT_E_OK});
    for (int k = 4; k <= 9; k++) {
        vt_size n = wordsOf[k - 4];
        cases.push_back({k, OFF(words), 0, "K_WORDS_P",
                         [n](const vt_value &v, const vt_uint_8 *extra, vt_size used) {
                             EXPECT_EQ(v.p, extra);
                             EXPECT_EQ(used, 4 * n);
                             EXPECT_EQ(static_cast<const vt_uint_32 *>(v.p)[n - 1], 100 + n - 1);
                         },
                         VtValueP(wordIn),
                         [n](const Rec &r) {
                             EXPECT_EQ(r.words[n - 1], 900 + n - 1);
                             EXPECT_EQ(r.words[n == 16 ? 15 : n], n == 16 ? 915u : 100 + n);
                         },
                         VT_E_OK});
    }
    cases.push_back({10, OFF(i8), 0, "K_I8", [](const vt_value &v, auto, vt_size) { EXPECT_EQ(v.i32, -3); },
                     VtValueI32(0x1FF), [](const Rec &r) { EXPECT_EQ(r.i8, -1); }, VT_E_OK});
    cases.push_back({11, OFF(i16), 0, "K_I16", [](const vt_value &v, auto, vt_size) { EXPECT_EQ(v.i32, -300); },
                     VtValueI32(0x12345), [](const Rec &r) { EXPECT_EQ(r.i16, 0x2345); }, VT_E_OK});
    cases.push_back({12, OFF(u8), 0, "K_U8", [](const vt_value &v, auto, vt_size) { EXPECT_EQ(v.i32, 250); },
                     VtValueI32(0x101), [](const Rec &r) { EXPECT_EQ(r.u8, 1); }, VT_E_OK});
    cases.push_back({13, OFF(u16), 0, "K_U16", [](const vt_value &v, auto, vt_size) { EXPECT_EQ(v.i32, 60000); },
                     VtValueI32(70000), [](const Rec &r) { EXPECT_EQ(r.u16, 70000 - 65536); }, VT_E_OK});
    cases.push_back({14, OFF(f), 0, "K_FLOAT_AS_X", [](const vt_value &v, auto, vt_size) { EXPECT_EQ(v.x, 163840); },
                     VtValueI32(-98304), [](const Rec &r) { EXPECT_EQ(r.f, -1.5f); }, VT_E_OK});
    cases.push_back({15, OFF(x), 0, "K_X_AS_FLOAT", [](const vt_value &v, auto, vt_size) { EXPECT_EQ(v.f, 3.5f); },
                     VtValueF(-0.75f), [](const Rec &r) { EXPECT_EQ(r.x, -49152); }, VT_E_OK});
    for (int k = 16; k <= 27; k++) {
        vt_size n = wordsOf[(k - 16) / 2];
        bool even = k % 2 == 0;
        cases.push_back({k, even ? OFF(floats) : OFF(fixeds), 0, "K_CONV_P",
                         [n, even](const vt_value &v, const vt_uint_8 *, vt_size used) {
                             EXPECT_EQ(used, 4 * n);
                             if (even) // floats 0.5 * i as fixed
                                 EXPECT_EQ(v.vx[n - 1], vt_fixed(0.5 * (n - 1) * 65536));
                             else // fixeds i / 4 as floats
                                 EXPECT_EQ(v.vf[n - 1], float(n - 1) / 4);
                         },
                         even ? VtValueP(fixedIn) : VtValueP(floatIn),
                         [n, even](const Rec &r) {
                             if (even)
                                 EXPECT_EQ(r.floats[n - 1], -float(n - 1));
                             else
                                 EXPECT_EQ(r.fixeds[n - 1], -vt_fixed(n - 1) * 65536 / 4);
                         },
                         VT_E_OK});
    }
    std::string longText(80, 'L');
    cases.push_back({28, OFF(str), 0, "K_TEXT_P",
                     [](const vt_value &v, const vt_uint_8 *extra, vt_size used) {
                         EXPECT_EQ(v.p, extra);
                         EXPECT_STREQ(v.cstr, "hello");
                         EXPECT_EQ(used, 8u);
                     },
                     VtValueP("bye"), [&](const Rec &) { EXPECT_STREQ(hello, "bye"); }, VT_E_OK});
    cases.push_back({28, OFF(strbuf), 0, "K_BUF_P", nullptr, VtValueP(longText.c_str()),
                     [&](const Rec &) {
                         EXPECT_EQ(strlen(strbuf), 63u) << "a 64-byte field keeps its terminator";
                     },
                     VT_E_OK});
    cases.push_back({29, OFF(list), 0, "K_LIST_P",
                     [](const vt_value &v, auto, vt_size used) {
                         EXPECT_EQ(used, 16u);
                         EXPECT_EQ(v.tl[2], 7u);
                         EXPECT_EQ(v.tl[3], 0u);
                     },
                     VtValueI32(1), nullptr, VT_E_UNKNOWN});
    cases.push_back({30, OFF(i32), 42, "K_NOT_ONE_B", [](const vt_value &v, auto, vt_size) { EXPECT_EQ(v.b, 1); },
                     VtValueI32(0), [](const Rec &r) { EXPECT_EQ(r.i32, 1); }, VT_E_OK});
    cases.push_back({30, OFF(i32), 42, "K_NOT_ONE_B", nullptr, VtValueI32(1),
                     [](const Rec &r) { EXPECT_EQ(r.i32, 42); }, VT_E_OK});
    cases.push_back({31, OFF(flags), 0x10, "K_BIT_B", [](const vt_value &v, auto, vt_size) { EXPECT_EQ(v.b, 1); },
                     VtValueI32(0), [](const Rec &r) { EXPECT_EQ(r.flags, 0x01u); }, VT_E_OK});
    cases.push_back({32, OFF(flags), 0x10, "K_NOBIT_B", [](const vt_value &v, auto, vt_size) { EXPECT_EQ(v.b, 0); },
                     VtValueI32(0), [](const Rec &r) { EXPECT_EQ(r.flags, 0x11u); }, VT_E_OK});
    cases.push_back({32, OFF(flags), 0x01, "K_NOBIT_B", nullptr, VtValueI32(1),
                     [](const Rec &r) { EXPECT_EQ(r.flags, 0x10u); }, VT_E_OK});
    cases.push_back({33, OFF(i32), 0, "K_BAD_I32", nullptr, VtValueI32(1), nullptr, VT_E_UNKNOWN});
#undef OFF

    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.kind << " " << c.token);
        vt_tv_template_entry e{0, c.token, c.offset, VT_TVF_QUERY | VT_TVF_SET, vt_int_16(c.kind), c.arg, 0x40};
        vt_tv_template *tpl = VtTVTemplateAllocate(nullptr, &e, 1);
        Rec r = fresh();
        alignas(8) vt_uint_8 extra[256];
        vt_value v;
        v.raw = 0;
        vt_error q = VtTokenValueQuery(&v, extra, sizeof extra, VtTokenCreate(c.token, 0), &r, tpl);
        if (c.query) {
            ASSERT_EQ(q, VT_E_OK);
            vt_size used = 0;
            vt_token_value tv[2] = {{e.token, {}}, {0, {}}};
            VtTokenValueQueryManySize(&used, tv, &r, tpl);
            c.query(v, extra, used);
        } else if (c.kind > 32) {
            EXPECT_EQ(q, VT_E_UNKNOWN);
        }
        vt_uint_32 mask = 0;
        EXPECT_EQ(VtTokenValueSet(&r, &mask, e.token, c.set, tpl), c.setResult);
        EXPECT_EQ(mask, c.setResult == VT_E_OK ? 0x40u : 0u);
        if (c.afterSet)
            c.afterSet(r);
        VtTVTemplateFree(tpl);
    }
}

TEST_F(VtTokens, ExtraBufferShortage) {
    Rec r{};
    r.words[0] = 1;
    vt_tv_template_entry e{0, "K_WORDS_P", offsetof(Rec, words), VT_TVF_QUERY, 6, 0, 0};
    vt_tv_template *tpl = VtTVTemplateAllocate(nullptr, &e, 1);
    vt_value v;
    vt_uint_8 small[15];
    EXPECT_EQ(VtTokenValueQuery(&v, small, sizeof small, VtTokenCreate("K_WORDS_P", 0), &r, tpl), VT_E_OVERFLOW);
    EXPECT_EQ(VtTokenValueQuery(&v, nullptr, 0, e.token, &r, tpl), VT_E_OVERFLOW);
    vt_token_value tv[2] = {{e.token, VtValueI32(5)}, {0, {}}};
    vt_int_32 count = -1;
    EXPECT_EQ(VtTokenValueQueryMany(tv, small, sizeof small, &count, &r, tpl), VT_E_OK);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(tv[0].v.raw, 0u) << "a value that did not fit reads 0";
    VtTVTemplateFree(tpl);
}

namespace {

struct TestObj {
    const vt_object_dispatch *dispatch;
    const char *identifier;
    vt_int_32 width;
    vt_int_32 height;
    vt_int_32 *freed;
};

vt_tv_template_entry objEntries[] = {
    {0, "IDENTIFIER_CSTR", offsetof(TestObj, identifier), VT_TVF_QUERY | VT_TVF_QUERY_ALL, 3, 0, 0},
    {0, "WIDTH_I32", offsetof(TestObj, width), VT_TVF_QUERY | VT_TVF_SET | VT_TVF_QUERY_ALL, 3, 0, 1},
    {0, "HEIGHT_I32", offsetof(TestObj, height), VT_TVF_QUERY | VT_TVF_QUERY_ALL, 3, 0, 2},
    {0, "WIDTH_MAX_I32", 4096, VT_TVF_QUERY | VT_TVF_SET | VT_TVF_CONST, 3, 0, 4},
};
vt_tv_template *objTemplate;

vt_tv_template *objTemplateQuery(vt_object *) {
    if (objTemplate == nullptr)
        objTemplate = VtTVTemplateAllocate(VtFrameworkRoot(), objEntries, 4);
    return objTemplate;
}
const char *objIdentifier(vt_object *o) { return reinterpret_cast<TestObj *>(o)->identifier; }
vt_token objType(vt_object *) { return VTT_DEVICE; }
void objFree(vt_object *o) { ++*reinterpret_cast<TestObj *>(o)->freed; }

const vt_object_dispatch objDispatch = {
    nullptr, nullptr, nullptr, nullptr, objFree, objIdentifier, objType, nullptr, nullptr, nullptr, objTemplateQuery,
    _M_br_object_query, _M_br_object_queryBuffer, _M_br_object_queryMany, _M_br_object_queryManySize,
    _M_br_object_queryAll, _M_br_object_queryAllSize,
};

struct TestContainer {
    const vt_object_container_dispatch *dispatch;
    void *list;
};

void *listQuery(vt_object_container *c) { return reinterpret_cast<TestContainer *>(c)->list; }

const vt_object_container_dispatch containerDispatch = {
    {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
     nullptr, nullptr, nullptr, nullptr, nullptr},
    listQuery,
    _M_br_object_container_tokensMatchBegin,
    _M_br_object_container_tokensMatch,
    _M_br_object_container_tokensMatchEnd,
    _M_br_object_container_addFront,
    _M_br_object_container_removeFront,
    _M_br_object_container_remove,
    _M_br_object_container_find,
    _M_br_object_container_findMany,
    _M_br_object_container_count,
};

} // namespace

class VtObjects : public VtTest {
protected:
    void SetUp() override {
        VtTest::SetUp();
        objTemplate = nullptr;
        for (auto &e : objEntries) {
            e.token = 0;
        }
    }
};

TEST_F(VtObjects, QueriesThroughTheTemplate) {
    vt_int_32 freed = 0;
    TestObj o{&objDispatch, "screen", 320, 200, &freed};
    vt_object *obj = reinterpret_cast<vt_object *>(&o);
    vt_value v;
    EXPECT_EQ(_M_br_object_query(obj, &v, VTT_HEIGHT_I32), VT_E_OK);
    EXPECT_EQ(v.i32, 200);
    EXPECT_EQ(_M_br_object_query(obj, &v, VTT_IDENTIFIER_CSTR), VT_E_OK);
    EXPECT_STREQ(v.cstr, "screen") << "pointer-wide direct values";
    EXPECT_EQ(_M_br_object_query(obj, &v, VTT_WIDTH_MAX_I32), VT_E_OK);
    EXPECT_EQ(v.i32, 4096) << "a constant entry answers its own word";
    EXPECT_EQ(_M_br_object_query(obj, &v, VTT_DEPTH), VT_E_UNKNOWN);

    vt_token_value tv[] = {{VTT_WIDTH_I32, VtValueI32(-1)}, {VTT_PIXEL_BITS_I32, VtValueI32(99)}, {0, {}}};
    vt_int_32 count = -1;
    EXPECT_EQ(_M_br_object_queryMany(obj, tv, nullptr, 0, &count), VT_E_OK);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(tv[0].v.i32, 320);
    EXPECT_EQ(tv[1].v.i32, 99);

    // Three entries are listed by the query-all operations.
    vt_size size = 0;
    EXPECT_EQ(_M_br_object_queryAllSize(obj, &size), VT_E_OK);
    EXPECT_EQ(size, 4 * sizeof(vt_token_value));
    vt_token_value all[4];
    memset(all, 0xCD, sizeof all);
    EXPECT_EQ(_M_br_object_queryAll(obj, all, sizeof all - 1), VT_E_OVERFLOW);
    EXPECT_EQ(all[0].t, 0xCDCDCDCDu) << "nothing written";
    EXPECT_EQ(_M_br_object_queryAll(obj, all, sizeof all), VT_E_OK);
    EXPECT_EQ(all[1].t, VTT_WIDTH_I32);
    EXPECT_EQ(all[2].v.i32, 200);
    EXPECT_EQ(all[3].t, 0u);

    vt_tv_template *tpl = objTemplateQuery(obj);
    vt_uint_32 mask = 0x100;
    EXPECT_EQ(VtTokenValueSet(&o, &mask, VTT_HEIGHT_I32, VtValueI32(1), tpl), VT_E_UNKNOWN) << "query only";
    EXPECT_EQ(mask, 0x100u);
    EXPECT_EQ(VtTokenValueSet(&o, &mask, VTT_WIDTH_MAX_I32, VtValueI32(1), tpl), VT_E_FAIL) << "constant entry";
    vt_token_value set[] = {{VTT_WIDTH_I32, VtValueI32(640)}, {VTT_HEIGHT_I32, VtValueI32(480)}, {0, {}}};
    EXPECT_EQ(VtTokenValueSetMany(&o, &count, &mask, set, tpl), VT_E_OK);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(mask, 0x101u);
    EXPECT_EQ(o.width, 640);
}

TEST_F(VtObjects, QueryAllSizeCountsExtraRoom) {
    struct R {
        vt_int_32 a;
        vt_uint_32 v4[4];
    } r{};
    vt_tv_template_entry e[] = {
        {0, "WIDTH_I32", offsetof(R, a), VT_TVF_QUERY_ALL, 3, 0, 0},
        {0, "PLANE_V4_X", offsetof(R, v4), VT_TVF_QUERY_ALL, 6, 0, 0},
    };
    vt_tv_template *tpl = VtTVTemplateAllocate(nullptr, e, 2);
    vt_size size = 0;
    VtTokenValueQueryAllSize(&size, &r, tpl);
    EXPECT_EQ(size, 3 * sizeof(vt_token_value) + 16);
    std::vector<vt_uint_8> buf(size);
    EXPECT_EQ(VtTokenValueQueryAll(reinterpret_cast<vt_token_value *>(buf.data()), size, &r, tpl), VT_E_OK);
    EXPECT_EQ(VtTokenValueQueryAll(reinterpret_cast<vt_token_value *>(buf.data()), size - 1, &r, tpl), VT_E_OVERFLOW);
    VtTVTemplateFree(tpl);
}

TEST_F(VtObjects, ContainerFindsTheEarliestAddedAndMatchesPairs) {
    vt_int_32 freed = 0;
    TestObj a{&objDispatch, "screen", 320, 200, &freed};
    TestObj b{&objDispatch, "screen", 640, 480, &freed};
    TestObj c{&objDispatch, "other", 320, 240, &freed};
    TestContainer box{&containerDispatch, VtObjectListAllocate(VtFrameworkRoot())};
    auto *self = reinterpret_cast<vt_object_container *>(&box);
    for (TestObj *o : {&a, &b, &c})
        EXPECT_EQ(_M_br_object_container_addFront(self, reinterpret_cast<vt_object *>(o)), VT_E_OK);

    vt_object *found = nullptr;
    EXPECT_EQ(_M_br_object_container_find(self, &found, 0, "SCREEN", nullptr), VT_E_OK);
    EXPECT_EQ(found, reinterpret_cast<vt_object *>(&a));
    vt_token_value wide[] = {{VTT_WIDTH_I32, VtValueI32(640)}, {VTT_PIXEL_BITS_I32, VtValueI32(16)}, {0, {}}};
    EXPECT_EQ(_M_br_object_container_find(self, &found, VTT_DEVICE, nullptr, wide), VT_E_OK);
    EXPECT_EQ(found, reinterpret_cast<vt_object *>(&b)) << "unanswered tokens keep their value";
    EXPECT_EQ(_M_br_object_container_find(self, &found, VTT_RENDERER, nullptr, nullptr), VT_E_FAIL);

    vt_token_value w320[] = {{VTT_WIDTH_I32, VtValueI32(320)}, {0, {}}};
    vt_int_32 n = 0;
    EXPECT_EQ(_M_br_object_container_count(self, &n, 0, "*", w320), VT_E_OK);
    EXPECT_EQ(n, 2);
    vt_object *many[1];
    EXPECT_EQ(_M_br_object_container_findMany(self, many, 1, &n, 0, nullptr, nullptr), VT_E_OK);
    EXPECT_EQ(n, 1);

    EXPECT_EQ(VtObjectContainerFree(self, 0, "screen", nullptr), VT_E_OK);
    EXPECT_EQ(freed, 2);
    EXPECT_EQ(_M_br_object_container_removeFront(self, &found), VT_E_OK);
    EXPECT_EQ(found, reinterpret_cast<vt_object *>(&c));
    EXPECT_EQ(_M_br_object_container_removeFront(self, &found), VT_E_FAIL);
    TestContainer none{&containerDispatch, nullptr};
    EXPECT_EQ(_M_br_object_container_addFront(reinterpret_cast<vt_object_container *>(&none),
                                              reinterpret_cast<vt_object *>(&a)),
              VT_E_FAIL);
}

TEST_F(VtTokens, CompareLists) {
    vt_fixed va[3] = {1, 2, 3}, vb[3] = {1, 2, 3}, vc[3] = {1, 2, 4};
    char s1[] = "abc", s2[] = "abc";
    vt_token_value base[] = {{VTT_WIDTH_I32, VtValueI32(5)},    {VTT_SMOOTH_B, VtValueI32(7)},
                             {VTT_POSITION_V3_X, VtValueP(va)}, {VTT_TITLE_CSTR, VtValueP(s1)},
                             {VTT_PARTS_TL, VtValueP(nullptr)}, {0, {}}};
    vt_token_value same[] = {{VTT_WIDTH_I32, VtValueI32(5)},    {VTT_SMOOTH_B, VtValueI32(1)},
                             {VTT_POSITION_V3_X, VtValueP(vb)}, {VTT_TITLE_CSTR, VtValueP(s2)},
                             {VTT_PARTS_TL, VtValueP(s1)},      {0, {}}};
    vt_token_value otherVec[] = {{VTT_WIDTH_I32, VtValueI32(5)},    {VTT_SMOOTH_B, VtValueI32(1)},
                                 {VTT_POSITION_V3_X, VtValueP(vc)}, {VTT_TITLE_CSTR, VtValueP(s2)},
                                 {VTT_PARTS_TL, VtValueP(s1)},      {0, {}}};
    vt_token_value shorter[] = {{VTT_WIDTH_I32, VtValueI32(5)}, {0, {}}};
    EXPECT_TRUE(VtTokenValueCompare(nullptr, nullptr));
    EXPECT_FALSE(VtTokenValueCompare(base, nullptr));
    EXPECT_TRUE(VtTokenValueCompare(base, same));
    EXPECT_FALSE(VtTokenValueCompare(base, otherVec));
    EXPECT_FALSE(VtTokenValueCompare(base, shorter));
    const vt_token ignore[] = {VTT_POSITION_V3_X, 0};
    EXPECT_TRUE(VtTokenValueComparePartial(base, otherVec, ignore));
    vt_token_value i8a[] = {{VTT_MIP_MODIFIER_I8, VtValueI32(0x105)}, {0, {}}};
    vt_token_value i8b[] = {{VTT_MIP_MODIFIER_I8, VtValueI32(0x205)}, {0, {}}};
    EXPECT_TRUE(VtTokenValueCompare(i8a, i8b)) << "compared in their width";
}

TEST(VtSwap, Bytes) {
    EXPECT_EQ(VtSwap32(0x11223344), 0x44332211u);
    EXPECT_EQ(VtSwap16(0x1122), 0x2211);
    EXPECT_EQ(VtSwapFloat(VtSwapFloat(1.5f)), 1.5f);
    vt_uint_8 b[6] = {1, 2, 3, 4, 5, 6};
    VtSwapBlock(b, 3, 2);
    EXPECT_EQ(b[0], 2);
    EXPECT_EQ(b[5], 5);
    VtSwapBlock(b, 6, 1);
    EXPECT_EQ(b[0], 2);
}
