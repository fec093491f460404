// Settings files of the host: sections of ".ini" files in the Windows
// folder, and the values of keys of the registry stand-in.
//
// The Windows folder is $RUVO_WINDIR when set, else the data root (the
// working folder). The registry stand-in is the key file "ruvo.reg" in the
// data root (see os/registry.h), read here a whole key at a time; a line
// without "=" is a value with no data, and the default value "@" is not
// listed among a key's values.
#pragma once

#include <cstddef>

// The section's lines as "name=value" strings, each zero-terminated, with a
// final zero, as much as fits in size bytes. Returns the characters stored
// before the final zero; size - 2 when the section did not fit; 0 when the
// file or the section is absent.
size_t osIniSectionRead(const char *file, const char *section, char *buf, size_t size);
// Replaces the section with the zero-terminated strings of `lines` (ended
// by an empty string), creating the file or section; false on failure.
bool osIniSectionWrite(const char *file, const char *section, const char *lines);

// Calls `fn` for each value of the key, in file order (data null for a
// value without data); false when the key has no values.
typedef void osRegistryValueFn(const char *name, const char *data, void *arg);
bool osRegistryKeyEnum(const char *key, osRegistryValueFn *fn, void *arg);
// Sets (adds or replaces) a value of the key; false when the key file
// cannot be written.
bool osRegistryKeyWrite(const char *key, const char *name, const char *data);
