// The configuration store and its sources.
#include "render/config/config.h"

#include <cstring>
#include <string>

#include "render/config/host.h"
#include "render/fmt/fmt.h"
#include "render/fmt/lexer.h"
#include "render/fw/fwstate.h"
#include "render/std/stdlib.h"

const char VtSystemConfigVersion[] = "1.3.0";
const char VtSystemConfigDefaultPath[] =
    "dat;../dat;../../dat;../../../dat;../../../../dat;dll;../dll;../../dll;../../../dll;../../../../dll";

namespace {

constexpr vt_size kSectionSize = 32767;
constexpr int kStoreStep = 10;

bool isString(vt_token t) { return VtTokenType(t) == VTT_STRING; }

} // namespace

// ---- The associative array ---------------------------------------------------

vt_associative_array *VtAssociativeArrayAllocate(void *parent) {
    auto *a = static_cast<vt_associative_array *>(
        VtResAllocate(parent, sizeof(vt_associative_array), VT_RES_TOKEN_VALUE));
    if (a == nullptr)
        return nullptr;
    a->tv = static_cast<vt_token_value *>(VtResAllocate(a, sizeof(vt_token_value) * kStoreStep, VT_RES_TOKEN_VALUE));
    if (a->tv == nullptr) {
        VtResFree(a);
        return nullptr;
    }
    a->num_elements = 0;
    a->max_elements = kStoreStep;
    return a;
}

vt_error VtAssociativeArraySetEntry(vt_associative_array *a, vt_token t, vt_value v) {
    if (isString(t) && v.cstr) {
        char *copy = VtResStrDup(a, v.cstr);
        if (copy == nullptr)
            return VT_E_FAIL;
        v.str = copy;
    }
    for (int i = 0; i < a->num_elements; i++)
        if (a->tv[i].t == t) {
            if (isString(t) && a->tv[i].v.p)
                VtResFree(a->tv[i].v.p);
            a->tv[i].v = v;
            return VT_E_OK;
        }
    if (a->num_elements >= a->max_elements) {
        auto *grown = static_cast<vt_token_value *>(
            VtResAllocate(a, sizeof(vt_token_value) * (a->max_elements + kStoreStep), VT_RES_TOKEN_VALUE));
        if (grown == nullptr || a->max_elements + kStoreStep > 0xFFFF) {
            if (grown)
                VtResFree(grown);
            if (isString(t) && v.p)
                VtResFree(v.p);
            return VT_E_FAIL;
        }
        memcpy(grown, a->tv, sizeof(vt_token_value) * a->num_elements);
        VtResFree(a->tv);
        a->tv = grown;
        a->max_elements = vt_uint_16(a->max_elements + kStoreStep);
    }
    a->tv[a->num_elements].t = t;
    a->tv[a->num_elements].v = v;
    a->num_elements++;
    return VT_E_OK;
}

vt_error VtAssociativeArrayRemove(vt_associative_array *a, vt_token t) {
    for (int i = 0; i < a->num_elements; i++)
        if (a->tv[i].t == t) {
            if (isString(t) && a->tv[i].v.p)
                VtResFree(a->tv[i].v.p);
            memmove(&a->tv[i], &a->tv[i + 1], sizeof(vt_token_value) * vt_size(a->num_elements - i - 1));
            a->num_elements--;
            return VT_E_OK;
        }
    return VT_E_FAIL;
}

vt_error VtAssociativeArrayQuery(vt_associative_array *a, vt_token t, vt_value *pv) {
    for (int i = 0; a && i < a->num_elements; i++)
        if (a->tv[i].t == t) {
            *pv = a->tv[i].v;
            return VT_E_OK;
        }
    return VT_E_FAIL;
}

// ---- Setting lines -----------------------------------------------------------

namespace {

enum { T_TRUE = VT_T_KEYWORD, T_FALSE };
vt_lexer_keyword kKeywords[] = {{"true", T_TRUE}, {"false", T_FALSE}};

struct setting_name {
    const char *name;
    vt_token token;
};
const setting_name kSettingNames[] = {
    {"VANTOR_PATH", VTT_VANTOR_PATH_STR},           {"VANTOR_DRIVERS", VTT_VANTOR_DRIVERS_STR},
    {"VANTOR_DEVICES", VTT_VANTOR_DEVICES_STR},     {"VANTOR_DEFAULT_DEVICE", VTT_DEFAULT_DEVICE_STR},
    {"VANTOR_DOS_GFX", VTT_DEFAULT_DEVICE_STR},     {"VANTOR_USE_MMX", VTT_VANTOR_USE_MMX_B},
};

bool lineFailed;
void lineError(vt_lexer *, const char *) { lineFailed = true; }

vt_boolean settingToken(const char *name, vt_token *pt) {
    for (const setting_name &s : kSettingNames)
        if (VtStrNICmp(name, s.name, strlen(s.name)) == 0) {
            *pt = s.token;
            return 1;
        }
    *pt = VtTokenCreate(name, 0);
    return *pt != 0;
}

// Parses "name=value" (or "name:value") and stores it; lines that fail are
// skipped without a report, as a missing source would be.
void settingLine(const char *line) {
    vt_lexer *l = VtLexerAllocate(kKeywords, 2);
    if (l == nullptr)
        return;
    lineFailed = false;
    VtLexerErrorSet(l, lineError);
    VtLexerPushString(l, line, nullptr);
    VtLexerAdvance(l);
    vt_token t = 0;
    vt_value v;
    v.raw = 0;
    std::string text;
    bool ok = l->current.id == VT_T_IDENT && settingToken(l->current.string, &t);
    if (ok) {
        VtLexerAdvance(l);
        ok = l->current.id == '=' || l->current.id == ':';
    }
    if (ok) {
        VtLexerAdvance(l);
        bool negative = false;
        if (l->current.id == '-' && VtTokenType(t) != VTT_STRING) {
            negative = true;
            VtLexerAdvance(l);
        }
        switch (VtTokenType(t)) {
        case VTT_STRING:
            if (l->current.id == VT_T_STRING) {
                text = l->current.string;
                VtLexerAdvance(l);
            } else {
                // Unquoted: the raw text after the separator (paths hold
                // characters the lexer has no token for).
                const char *p = line + strcspn(line, "=:") + 1;
                while (*p == ' ' || *p == '\t')
                    p++;
                text = p;
                lineFailed = false;
                while (l->current.id != VT_T_EOF)
                    VtLexerAdvance(l);
                lineFailed = false;
            }
            break;
        case VTT_BOOLEAN:
            if (l->current.id == T_TRUE || l->current.id == T_FALSE)
                v = VtValueU32(l->current.id == T_TRUE);
            else if (l->current.id == VT_T_INTEGER)
                v = VtValueU32(l->current.integer != 0);
            else
                ok = false;
            VtLexerAdvance(l);
            break;
        case VTT_INT_8: case VTT_INT_16: case VTT_INT_32: case VTT_UINT_8: case VTT_UINT_16: case VTT_UINT_32:
            ok = l->current.id == VT_T_INTEGER;
            v = VtValueI32(negative ? -l->current.integer : l->current.integer);
            VtLexerAdvance(l);
            break;
        case VTT_FIXED: case VTT_FLOAT: {
            double r = l->current.id == VT_T_INTEGER ? double(l->current.integer)
                       : l->current.id == VT_T_REAL  ? double(l->current.real)
                                                     : (ok = false, 0.0);
            if (negative)
                r = -r;
            v = VtTokenType(t) == VTT_FLOAT ? VtValueF(vt_float(r)) : VtValueI32(vt_fixed(r * 65536.0));
            VtLexerAdvance(l);
            break;
        }
        case VTT_TOKEN:
            ok = l->current.id == VT_T_IDENT && (v.t = VtTokenFind(l->current.string)) != 0;
            VtLexerAdvance(l);
            break;
        default:
            ok = false; // "invalid token type": nothing of this type is set from text
        }
        if (ok && l->current.id != VT_T_EOF)
            ok = false; // "garbage after definition"
    }
    if (ok && !lineFailed) {
        if (VtTokenType(t) == VTT_STRING)
            VtSystemConfigSetString(t, text.c_str());
        else
            VtSystemConfigSet(t, v);
    }
    VtLexerFree(l);
}

void settingLines(const char *lines) {
    for (const char *p = lines; *p; p += strlen(p) + 1)
        settingLine(p);
}

} // namespace

// ---- The store ---------------------------------------------------------------

vt_associative_array *VtSystemConfig() { return vtFw.active ? vtFw.sys_config : nullptr; }

vt_error VtSystemConfigBegin() {
    vtFw.sys_config = VtAssociativeArrayAllocate(VtFrameworkRoot());
    if (vtFw.sys_config == nullptr) {
        VtFailure("System config associative array allocate failed.\n");
        return VT_E_FAIL;
    }
    char version[16];
    VtSprintfN(version, sizeof version, "%d.%d.%d", 1, 3, 0);
    VtSystemConfigSetString(VTT_VANTOR_PATH_STR, VtSystemConfigDefaultPath);
    if (const char *dev = HostDefaultDevice())
        VtSystemConfigSetString(VTT_DEFAULT_DEVICE_STR, dev);

    static const char *const kEnvironment[] = {
        "VANTOR_DOS_GFX", "VT_DRIVERS",     "VT_DEVICES",          "VT_DEFAULT_DEVICE",
        "VANTOR_PATH",    "VANTOR_DRIVERS", "VANTOR_DEVICES",      "VANTOR_DEFAULT_DEVICE",
        "VANTOR_USE_MMX", "VANTOR_DEVELOPER_B", "VANTOR_USE_MMX_B",
    };
    for (const char *name : kEnvironment)
        if (const char *value = VtGetEnv(name))
            settingLine((std::string(name) + "=" + value).c_str());

    auto *section = static_cast<char *>(VtResAllocate(VtFrameworkRoot(), kSectionSize, VT_RES_STRING));
    if (section == nullptr)
        return VT_E_OK;
    for (const char *name : {"Vantor", static_cast<const char *>(version)}) {
        section[0] = section[1] = '\0';
        HostIniSectionQuery("Vantor.ini", name, section, kSectionSize);
        settingLines(section);
    }
    char key[64];
    VtSprintfN(key, sizeof key, "%s\\%s", "SOFTWARE\\Corvanth\\Vantor", version);
    section[0] = section[1] = '\0';
    HostRegistryQuery(nullptr, key, section, kSectionSize);
    settingLines(section);
    VtResFree(section);
    return VT_E_OK;
}

vt_error VtSystemConfigSetString(vt_token t, const char *value) {
    if (VtSystemConfig() == nullptr)
        return VT_E_FAIL;
    return VtAssociativeArraySetEntry(vtFw.sys_config, t, VtValueP(value));
}

vt_error VtSystemConfigSet(vt_token t, vt_value value) {
    if (VtSystemConfig() == nullptr)
        return VT_E_FAIL;
    return VtAssociativeArraySetEntry(vtFw.sys_config, t, value);
}

vt_error VtSystemConfigQuery(vt_token t, vt_value *pvalue) { return VtAssociativeArrayQuery(VtSystemConfig(), t, pvalue); }

vt_error VtSystemConfigQueryString(vt_token t, char *buffer, vt_size size) {
    if (buffer == nullptr || size == 0)
        return VT_E_FAIL;
    buffer[0] = '\0';
    vt_value v;
    if (VtSystemConfigQuery(t, &v) != VT_E_OK || v.cstr == nullptr)
        return VT_E_FAIL;
    VtStrNCpy(buffer, v.cstr, size - 1);
    buffer[size - 1] = '\0';
    return VT_E_OK;
}

vt_error VtSystemConfigStore(vt_token kind, const char *location, const char *section) {
    if (kind != VTT_REGISTRY_STR && kind != VTT_INI_STR) {
        VtFailure("Invalid system config load token. Must be REGISTRY or INI");
        return VT_E_FAIL;
    }
    vt_associative_array *a = VtSystemConfig();
    if (a == nullptr)
        return VT_E_FAIL;
    std::string out;
    for (int i = 0; i < a->num_elements; i++) {
        vt_token t = a->tv[i].t;
        vt_value v = a->tv[i].v;
        const char *name = VtTokenIdentifier(t);
        if (name == nullptr)
            continue;
        char num[64];
        std::string value;
        switch (VtTokenType(t)) {
        case VTT_BOOLEAN: value = v.b ? "TRUE" : "FALSE"; break;
        case VTT_TOKEN: value = VtTokenIdentifier(v.t) ? VtTokenIdentifier(v.t) : ""; break;
        case VTT_FIXED: VtSprintfN(num, sizeof num, "%f", v.x / 65536.0); value = num; break;
        case VTT_FLOAT: VtSprintfN(num, sizeof num, "%f", double(v.f)); value = num; break;
        case VTT_STRING: {
            std::string s = v.cstr ? v.cstr : "";
            // A long string goes out unquoted: reading takes the raw text
            // after "=" whole, where a quoted one would be cut.
            value = s.size() > 254 ? s : "\"" + s + "\"";
            break;
        }
        default: VtSprintfN(num, sizeof num, "%d", v.i32); value = num; break;
        }
        std::string line = std::string(name) + "=" + value;
        if (line.size() > 32766 || out.size() + line.size() + 2 > kSectionSize)
            return VT_E_FAIL;
        out += line;
        out += '\0';
    }
    out += '\0';
    if (kind == VTT_INI_STR)
        return HostIniSectionWrite(location, section, out.data(), out.size());
    return HostRegistryWrite(location, section, out.data(), out.size());
}
