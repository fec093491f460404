#pragma once

#include <functional>
#include <string>

namespace ruvotest {

// A writer killed at random moments, for the files that are written whole
// so that a crash mid-write leaves the old version or the new one. Each
// round forks a writer that calls write(0) once, says it is under way, then
// calls write(1), write(0), write(1), ... until it is killed after 0.2 to
// 5.2 ms (drawn from `seed`); then check(round) looks at what it left.
void KillWhileWriting(unsigned seed, int rounds, const std::function<void(int version)> &write,
                      const std::function<void(int round)> &check);

// A whole file's bytes; empty when it does not open.
std::string FileBytes(const char *path);

}  // namespace ruvotest
