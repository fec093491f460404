// The seam through which the shell and the game frame call the other
// subsystems. Without a hook a call goes straight through; tests install a
// hook that sees every call by name, in order, and may stand in for it.
#pragma once

#include <cstdint>
#include <type_traits>

// Returns SHELL_CALL_RUN to let the call through; any other value skips it
// and becomes its result (a pointer result takes the value as an address).
using ShellCallHook = long (*)(const char *name);
constexpr long SHELL_CALL_RUN = -1;
void SetShellCallHook(ShellCallHook hook);
extern ShellCallHook gShellCallHook;

template <class F>
inline auto ShellCall(const char *name, F &&f) -> decltype(f()) {
    using R = decltype(f());
    if (gShellCallHook) {
        long r = gShellCallHook(name);
        if (r != SHELL_CALL_RUN) {
            if constexpr (std::is_void_v<R>) return;
            else if constexpr (std::is_pointer_v<R>) return reinterpret_cast<R>(static_cast<uintptr_t>(r));
            else return static_cast<R>(r);
        }
    }
    return f();
}

// The arguments are evaluated only when the call goes through: give it
// none with side effects.
#define CALL(fn, ...) ShellCall(#fn, [&] { return fn(__VA_ARGS__); })
