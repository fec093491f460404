// System configuration: a token-keyed store filled at framework begin from
// built-in defaults, the environment, the settings file "Vantor.ini" and
// the registry key, each source overriding the ones before.
#pragma once

#include "render/fw/types.h"
#include "render/tokens/token.h"

// An associative array of token-value entries. Values of STRING-typed
// tokens are private copies owned by the store.
struct vt_associative_array {
    vt_token_value *tv;
    vt_uint_16 num_elements;
    vt_uint_16 max_elements;
};

vt_associative_array *VtAssociativeArrayAllocate(void *parent);
vt_error VtAssociativeArraySetEntry(vt_associative_array *array, vt_token t, vt_value v);
vt_error VtAssociativeArrayRemove(vt_associative_array *array, vt_token t);
vt_error VtAssociativeArrayQuery(vt_associative_array *array, vt_token t, vt_value *pv);

// The library's version as configured: "1.3.0".
extern const char VtSystemConfigVersion[];
// The search path when nothing sets one.
extern const char VtSystemConfigDefaultPath[];

vt_error VtSystemConfigBegin();
// Writes the store out: kind REGISTRY_STR into the registry key (location is
// the root key name, null for HKEY_LOCAL_MACHINE), kind INI_STR into the
// section of the settings file `location`.
vt_error VtSystemConfigStore(vt_token kind, const char *location, const char *section);
vt_error VtSystemConfigSetString(vt_token t, const char *value);
vt_error VtSystemConfigSet(vt_token t, vt_value value);
// Copies the value text (at most size characters, terminated) into the
// buffer; an empty string and 0x1002 when the token is absent.
vt_error VtSystemConfigQueryString(vt_token t, char *buffer, vt_size size);
vt_error VtSystemConfigQuery(vt_token t, vt_value *pvalue);
// The store itself (null while the framework is not begun).
vt_associative_array *VtSystemConfig();
