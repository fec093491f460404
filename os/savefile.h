// Saving a file so that a crash or a kill at any moment leaves either the
// old file or the new one, never a torn mixture of both.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Writes the bytes to a temporary file in the same folder, flushes them to
// the disk and renames it over the host path. False (and the old file left
// as it was) when any step fails.
bool osWriteFileWhole(const std::string &hostPath, const void *data, size_t size);

// Removes what writers ended during a save left in the host folder: files
// named "<file>.tmp<pid>" of processes no longer running (a running one may
// be writing). Returns the names removed.
std::vector<std::string> osRemoveWriteLeftovers(const std::string &hostFolder);
