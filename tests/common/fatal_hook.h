#pragma once

#include <stdexcept>
#include <string>

namespace ruvotest {

// Thrown by the test fatal hook in place of ending the process.
struct FatalError : std::runtime_error {
    int exitCode;
    FatalError(const std::string &text, int code) : std::runtime_error(text), exitCode(code) {}
};

[[noreturn]] void ThrowingFatalHook(const char *text, int exitCode);

}  // namespace ruvotest
