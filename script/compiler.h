// The script compiler: finding script files, turning their lines into
// tokens, and the error reports of compiling and running.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "script/tokens.h"

constexpr size_t kScriptPathMax = 95;      // longest script path accepted
constexpr size_t kScriptLineMax = 511;     // longest line read at once
constexpr size_t kScriptStringMax = 251;   // longest string literal
constexpr size_t kScriptLanguagePart = 128; // buffer of one language's part, with its zero
constexpr int kScriptBraceDepth = 120;
constexpr int kScriptIncludeDepth = 8;
constexpr int kBriefingCount = 4;

// Positions the compiler records for the briefings of the current mission:
// the BRF_DECLARE and BRF_BEGIN tokens and the token after BRF_END.
extern uint32_t gBriefingDeclare[kBriefingCount];
extern uint32_t gBriefingBegin[kBriefingCount];
extern uint32_t gBriefingEnd[kBriefingCount];
extern int16_t gBriefingCompileNumber;

// The current file name (an offset in the name buffer) and its mark.
extern uint32_t gScriptCurrentName;
extern uint32_t gScriptNameMark;

// Opens a script by name: a name that begins with "vek\" or has a drive
// letter is used as it stands, else the folder of its three-letter ending
// goes in front. The path becomes the current file name. Null when the
// path is too long or the file does not open.
FILE *OpenScriptFile(const char *name, uint32_t *entrySize);
// The same for a file that is read but not compiled (a document page): its
// name is not kept and the current file name stays.
FILE *OpenScriptDocument(const char *name, uint32_t *entrySize);
// Compiles script text held in memory, as the file `name`, at the token
// top; appends the END token. The start pc.
ScriptToken *TokeniseScriptBytes(const char *name, const uint8_t *bytes, size_t size);
// The part of "|English|French|German|" for the language index, cut to the
// buffer; a missing part gives the English one. Its length.
size_t PickLanguageString(const char *text, char *out, size_t outSize, int language);
// Replaces every "text" that has a character after it by the prefix.
void LocaliseTextPath(char *path, const char *prefix);
// The document folder of the "htm" ending, localised by the prefix (null:
// the English one).
void LocaliseScriptDocFolder(const char *prefix);
const char *ScriptDocFolder();

void EmitScriptOp(uint32_t code);
void EmitScriptToken(uint32_t code, uint32_t value);
void EmitScriptTokenData(uint32_t code, const void *bytes, uint32_t n);
// Copies bytes to the data buffer right after the last ones, with no
// padding: a number may sit at any offset, so it is read and written with
// byte copies only. Their offset.
uint32_t AppendScriptData(const void *bytes, uint32_t n);

// Reports; each ends the program.
[[noreturn]] void ScriptDrasticError(const char *message);
[[noreturn]] void ReportTokeniseError(const char *message, int line);
[[noreturn]] void ReportScriptSyntaxError(const char *message, uint32_t token);
// The 1-based line and the file name of the statement holding a token, and
// the byte offset of its line; false when no line marker precedes it.
bool ScriptTokenLine(uint32_t token, unsigned *line, const char **file, uint32_t *offset);
// The source line at a file's byte offset, tabs as blanks, at most 255
// characters; empty when the file cannot be read.
void ReadScriptLineAt(const char *file, uint32_t offset, char *buffer, size_t size);
// A word where a statement belongs that names no statement (a misspelt
// one): one line naming the file, the line and the word, on stderr and in
// "debug.txt", once per place; the script goes on after it.
void ReportUnknownStatement(uint32_t token, const char *word);
// True when a tokenised script holds no statement at all (only comments and
// blank lines), or there is none.
bool ScriptIsEmpty(const ScriptToken *pc);
// The source line of the statement now running (the console shows it).
void ReadScriptSourceLine(char *buffer, size_t size);
// The current source position, recorded by every line marker run.
extern uint32_t gScriptSourceOffset;
extern uint32_t gScriptSourceName;
