// Script error reports, and finding the source line of a token again.
#include <cstdio>
#include <cstring>
#include <string>

#include "RES/slab.h"
#include "core/log.h"
#include "script/compiler.h"
#include "script/tokens.h"

uint32_t gScriptSourceOffset;
uint32_t gScriptSourceName;

namespace {

// A script that cannot run ends the program: the user is told which file
// and line, not only "debug.txt".
[[noreturn]] void Report(const char *text, const char *title) {
    dunReportFailure(text, title);
    dunTerminate(text, 1);
}

// The file name of the first line marker at or after a token.
uint32_t NameFrom(uint32_t token) {
    for (uint32_t m = token; m + 1 < gScriptTokenTop; ++m)
        if (gScriptTokenFlags[m] & ScriptTokenFlag::Marker) return gScriptTokens[m + 1].arg;
    return gScriptCurrentName;
}

}  // namespace

void ScriptDrasticError(const char *message) { Report(message, "SCRIPT DRASTIC ERROR!!!"); }

void ReportTokeniseError(const char *message, int line) {
    char text[512];
    std::snprintf(text, sizeof text, "%s(%u) : %s", ScriptNameAt(gScriptCurrentName), (unsigned)line, message);
    Report(text, "SCRIPT Tokenize Error");
}

bool ScriptTokenLine(uint32_t token, unsigned *line, const char **file, uint32_t *offset) {
    if (!gScriptTokens || !token) return false;
    if (token >= gScriptTokenTop) token = gScriptTokenTop - 1;
    uint32_t j = token;
    if (gScriptTokenFlags[j] & ScriptTokenFlag::Marker) --j;
    for (; j > 0; --j) {
        // The marker ends the line before the statement's.
        if ((gScriptTokenFlags[j] & ScriptTokenFlag::Marker) && j + 1 < gScriptTokenTop) {
            *line = gScriptTokens[j].arg + 2;
            *offset = gScriptTokens[j + 1].code;
            *file = ScriptNameAt(gScriptTokens[j + 1].arg);
            return true;
        }
        // No marker between the file's first token and the statement: its
        // first line.
        if (gScriptTokenFlags[j] & ScriptTokenFlag::FileStart) {
            *line = 1;
            *offset = 0;
            *file = ScriptNameAt(NameFrom(j));
            return true;
        }
    }
    return false;
}

void ReadScriptLineAt(const char *file, uint32_t offset, char *buffer, size_t size) {
    if (!size) return;
    buffer[0] = 0;
    uint32_t entry = 0;
    FILE *f = file && *file ? slabOpen("scripts", file, &entry) : nullptr;
    if (!f) return;
    size_t n = 0;
    if (offset <= entry && std::fseek(f, long(offset), SEEK_CUR) == 0) {
        size_t limit = size - 1 < 255 ? size - 1 : 255;
        for (int c; n < limit && offset + n < entry && (c = std::fgetc(f)) != EOF;) {
            if (c == '\n' || c == '\r') break;
            buffer[n++] = c == '\t' ? ' ' : (char)c;
        }
    }
    buffer[n] = 0;
    slabClose(f);
}

void ReportScriptSyntaxError(const char *message, uint32_t token) {
    unsigned line = 0;
    const char *file = "";
    uint32_t offset = 0;
    char source[256] = "";
    if (ScriptTokenLine(token, &line, &file, &offset)) ReadScriptLineAt(file, offset, source, sizeof source);
    char text[1024];
    std::snprintf(text, sizeof text, "%s(%u) : %s \n %s", file, line, source, message);
    Report(text, "SCRIPT Syntax Error");
}

void ReportUnknownStatement(uint32_t token, const char *word) {
    // Each place is told once in each compilation of its script, however
    // many there are: a loop that passes it again says nothing new.
    if (token < kScriptTokenCount && gScriptTokenFlags) {
        if (gScriptTokenFlags[token] & ScriptTokenFlag::Told) return;
        gScriptTokenFlags[token] |= ScriptTokenFlag::Told;
    }
    unsigned line = 0;
    const char *file = "";
    uint32_t offset = 0;
    ScriptTokenLine(token, &line, &file, &offset);
    dunUserNotice("%s(%u) : Unknown statement %s (skipped)", file, line, word ? word : "");
}

bool ScriptIsEmpty(const ScriptToken *pc) {
    if (!pc || !gScriptTokens) return true;
    for (uint32_t i = ScriptTokenIndex(pc); i < gScriptTokenTop;) {
        if (gScriptTokenFlags[i] & ScriptTokenFlag::Marker) {
            i += 2;
            continue;
        }
        if (gScriptTokens[i].code == Sc::Remark) {
            ++i;
            continue;
        }
        return gScriptTokens[i].code == Sc::End;
    }
    return true;
}

void ReadScriptSourceLine(char *buffer, size_t size) {
    static std::string cachedFile;
    static uint32_t cachedOffset = UINT32_MAX;
    static char cachedLine[256];
    const char *file = ScriptNameAt(gScriptSourceName);
    if (cachedFile != file || cachedOffset != gScriptSourceOffset) {
        ReadScriptLineAt(file, gScriptSourceOffset, cachedLine, sizeof cachedLine);
        cachedFile = file;
        cachedOffset = gScriptSourceOffset;
    }
    std::snprintf(buffer, size, "%s", cachedLine);
}
