// A fresh script system in a private data root for each test; fatal reports
// throw.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <functional>

#include "common/fatal_hook.h"
#include "core/frame.h"
#include "script/conditions.h"
#include "world/messages.h"
#include "world/objlist.h"
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
        dunFrameCounter = 1;
        dunFrameStep = 10;
        dunFrozen = 0;
        dunMsgInit();
        dunResetWorld();
        InitializeScriptSystem();
    }
    void TearDown() override {
        FreeScriptBuffers();
        ScriptSetHostFlags(nullptr);
        dunResetWorld();
        dunFrozen = 0;
        ResetOptions();
    }
    // A linked object with a Sim, named by a scene-item symbol.
    static SceneItem *MakeObject(const char *name) {
        SceneItem *item = dunCreateSceneItem();
        dunLinkSceneItem(item, 0);
        dunAttachSim(item, nullptr);
        if (name) {
            ScriptSymbol *s = FindScriptSymbol(name);
            if (!s) s = AddScriptSymbol(name, "\0\0\0\0", 4);
            s->kind = SymKind::SceneItem;
            ScriptSetSymbolObject(s, item);
        }
        return item;
    }
    static void Place(SceneItem *item, float x, float y, float z) {
        item->sim->position = {x, y, z};
        item->sim->matrix.m[12] = x;
        item->sim->matrix.m[13] = y;
        item->sim->matrix.m[14] = z;
    }
    static int32_t Var(const char *name) {
        ScriptSymbol *s = FindScriptSymbol(name);
        return s ? ScriptSymbolInt(s) : -999;
    }
    // Runs a script to its end or first wait (start-up style).
    static ScriptToken *Start(const std::string &text) {
        ScriptToken *pc = Compile(text);
        ScriptProcessor(&pc, 0);
        return pc;
    }
    // One main-script turn per frame. Each entry: the line the script
    // stopped at and the variable's value.
    static std::vector<std::string> Frames(ScriptToken *&pc, int n, const char *var = "X",
                                           const std::function<void(int)> &before = nullptr) {
        std::vector<std::string> out;
        for (int f = 0; f < n; ++f) {
            if (before) before(f);
            ScriptProcessor(&pc, 1);
            unsigned line = 0;
            const char *file = "";
            uint32_t offset = 0;
            std::string where = pc && pc->code != Sc::End && ScriptTokenLine(ScriptTokenIndex(pc), &line, &file, &offset)
                                    ? std::to_string(line)
                                    : std::string("end");
            out.push_back(where + " " + var + "=" + std::to_string(Var(var)));
        }
        return out;
    }
    // Compiles text as the file `name`, which is also written (as a loose
    // file in the data root) so that error reports read their source lines.
    static ScriptToken *Compile(const std::string &text, const char *name = "test.scr") {
        if (!std::strchr(name, '\\')) WriteText(name, text);
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
