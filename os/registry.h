// The registry stand-in, the Windows folder and the drive letters.
//
// The registry is one text file in the data root, "ruvo.reg", of lines
// `key\path\value=data` (a value name "@" is the key's default value; lines
// beginning with ';' or '#' are comments). Keys and value names compare
// without regard to case. Drive letters are keys "DRIVES\X=folder"; the
// letters listed by "DRIVES\CDROM=DE" are the CD-ROM drives (D alone when
// absent). An unmapped drive is the data root.
#pragma once

#include <cstddef>
#include <string>

// Reads a string value; false when the key or value is absent. `valueName`
// null or "" is the default value.
bool osRegistryRead(const char *key, const char *valueName, char *out, size_t outSize);
// The same into a string of any length.
bool osRegistryRead(const char *key, const char *valueName, std::string *out);
// True when the key holds a value, or a key below it does (it can be opened).
bool osRegistryKeyExists(const char *key);
// Sets a string value (valueName null or "": the default value), rewriting
// the key file in the data root; its other lines, comments among them, stay
// as they were. False when the file cannot be written or the key, name or
// data holds a line break.
bool osRegistryWrite(const char *key, const char *valueName, const char *data);
// Re-reads the key file on the next read (after tests or tools rewrote it).
void osRegistryFlush();

// $RUVO_WINDIR when set, else the data root (the working folder). No
// trailing slash.
const char *osWindowsFolder();
// The data root as an absolute path.
const char *osDataRoot();

// The host folder a drive letter stands for (no trailing slash).
const char *osDriveFolder(char letter);
// Windows drive types: 5 for a CD-ROM drive, 3 for a fixed drive (C and
// mapped drives), 1 for a letter that is not there.
int osDriveType(char letter);
