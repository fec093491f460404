// A fresh script system in a private data root for each test; fatal reports
// throw.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "common/fatal_hook.h"
#include "common/temp_dir.h"
#include "core/options.h"
#include "os/paths.h"
#include "script/compiler.h"
#include "script/interp.h"
#include "script/script.h"
#include "script/symbols.h"

namespace scripttest {

inline void WriteText(const std::string &path, const std::string &text) {
    std::string p = path;
    for (char &c : p)
        if (c == '\\') c = '/';
    std::string dir = p.substr(0, p.find_last_of('/') == std::string::npos ? 0 : p.find_last_of('/'));
    if (!dir.empty()) std::system(("mkdir -p '" + dir + "'").c_str());
    FILE *f = std::fopen(p.c_str(), "wb");
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
    osFlushPathCache();
}

// The fatal text of running `fn`, or "" when it does not end the program.
template <class F>
std::string FatalText(F &&fn) {
    try {
        fn();
    } catch (const ruvotest::FatalError &e) {
        return e.what();
    }
    return "";
}

class ScriptTest : public testing::Test {
protected:
    ruvotest::TempDir dir;
    void SetUp() override {
        ResetOptions();
        InitializeScriptSystem();
    }
    void TearDown() override {
        FreeScriptBuffers();
        ScriptSetHostFlags(nullptr);
        ResetOptions();
    }
    static ScriptToken *Compile(const std::string &text, const char *name = "test.scr") {
        return TokeniseScriptBytes(name, reinterpret_cast<const uint8_t *>(text.data()), text.size());
    }
    // The tokens from a start up to and including END, line markers as two.
    static std::vector<ScriptToken> Tokens(const ScriptToken *start) {
        std::vector<ScriptToken> out;
        for (const ScriptToken *t = start;; ++t) {
            out.push_back(*t);
            if (t->code == Sc::End) break;
            if (t->code == Sc::Do) out.push_back(*++t);
        }
        return out;
    }
    // The tokens without line markers (their two tokens) and the END.
    static std::vector<ScriptToken> Statements(const ScriptToken *start) {
        std::vector<ScriptToken> out;
        for (const ScriptToken *t = start; t->code != Sc::End; ++t) {
            if (t->code == Sc::Do) {
                ++t;
                continue;
            }
            out.push_back(*t);
        }
        return out;
    }
    static ScriptSymbol *Sym(const char *name) { return FindScriptSymbol(name); }
    static uint32_t SymIndex(const char *name) { return (uint32_t)ScriptSymbolIndex(FindScriptSymbol(name)); }
};

}  // namespace scripttest
