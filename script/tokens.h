// The compiled form of scripts: token codes, the three shared buffers and the
// keyword, key-name and folder tables.
//
// Every word of a compiled script names what it refers to by index or
// offset, never by address: a symbol by its index in the symbol table, a
// literal by its offset in the data buffer, a file name by its offset in the
// name buffer and a jump target by its token index. Token 0 is an END that
// nothing compiles to, so that index 0 stands for "none" and a jump to it
// ends the run.
#pragma once

#include <cstddef>
#include <cstdint>

struct ScriptToken {
    uint32_t code;
    uint32_t arg;
};

// Token codes that the compiler and the interpreter name.
namespace Sc {
constexpr uint32_t FirstMethod = 2, LastMethod = 20;
constexpr uint32_t SceneItemDecl = 23;
constexpr uint32_t Neutral = 195, Alliance = 201, SideEnd = 202;
constexpr uint32_t CallWhen = 278, CallOnceWhen = 279, CallWhenNot = 280, CallOnceWhenNot = 281;
constexpr uint32_t Corvette = 307, Ring = 325, KindEnd = 326;
constexpr uint32_t SnDebris = 327, SnLast = 358, SnEnd = 359;
constexpr uint32_t BrfDeclare = 380, BrfBegin = 381, BrfEnd = 387;
constexpr uint32_t New = 388, Fail = 389, Done = 390, ObjvEnd = 391;
constexpr uint32_t AtFirst = 392, AtEnd = 403, AfFirst = 404, AfEnd = 409;
constexpr uint32_t Do = 476, Begin = 477, End = 478;
constexpr uint32_t Bra = 479, Beq = 480, Bne = 481, DecBeq = 482, DecBne = 483, BraIf = 484, BraIfNot = 485;
constexpr uint32_t Return = 486, ReturnWait = 487;
constexpr uint32_t Call = 488, CallOnce = 489, CallIf = 490, CallIfNot = 491, CallOnceIfNot = 492,
                   CallOnceIf = 493;
constexpr uint32_t OpenBrace = 494, CloseBrace = 495, If = 496, While = 497, Else = 498;
constexpr uint32_t FirstTest = 500, LastTest = 551, And = 558, Or = 559, Not = 560;
constexpr uint32_t Wait = 562, WaitTime = 563, WaitUntil = 564, WaitUntilNot = 565;
constexpr uint32_t On = 583, Off = 584, Hit = 587, Killed = 588;
constexpr uint32_t NewSymbol = 589, Symbol = 590, Data = 591, Remark = 592;
constexpr uint32_t LastKeyword = 608;
constexpr uint32_t KeyNameTag = 0xFADE0000u;  // key-name tokens: the tag OR the key's code
}  // namespace Sc

// Buffer sizes, fixed for the run.
constexpr uint32_t kScriptTokenWords = 68000;
constexpr uint32_t kScriptTokenCount = kScriptTokenWords / 2;
constexpr uint32_t kScriptDataBytes = 80000;
constexpr uint32_t kScriptNameBytes = 2000;

// The buffers (null until InitializeScriptSystem) and their tops.
extern ScriptToken *gScriptTokens;
extern uint8_t *gScriptTokenFlags;  // per token: ScriptTokenFlag bits
extern uint32_t gScriptTokenTop;
extern uint8_t *gScriptData;
extern uint32_t gScriptDataTop;
extern char *gScriptNames;
extern uint32_t gScriptNameTop;

namespace ScriptTokenFlag {
constexpr uint8_t Marker = 1;     // the first of a line marker's two tokens
constexpr uint8_t FileStart = 2;  // the first token compiled from a file
constexpr uint8_t Told = 4;       // an unknown statement the log has named
}  // namespace ScriptTokenFlag

// Token index of a pc, and the pc of a token index (null for 0).
uint32_t ScriptTokenIndex(const ScriptToken *pc);
ScriptToken *ScriptTokenAt(uint32_t index);
// A literal's float, read and written in place in the data buffer.
float ScriptDataFloat(uint32_t offset);
void ScriptSetDataFloat(uint32_t offset, float value);
// A literal's text (the data buffer is zero-filled, so it always ends).
const char *ScriptDataText(uint32_t offset);
// The file name a line marker's second token names.
const char *ScriptNameAt(uint32_t offset);

// Tables ended by a null row; searched in order, exact comparison.
struct ScriptWord {
    const char *text;
    uint32_t code;
};
extern const ScriptWord ScriptKeywordTable[];
extern const ScriptWord ScriptKeyNameTable[];
struct ScriptFolder {
    const char *ending;
    const char *folder;
};
extern const ScriptFolder ScriptFolderTable[];

uint32_t LookupScriptKeyword(const char *word);
uint32_t LookupKeyName(const char *word);
// The first spelling of a keyword code, or null.
const char *ScriptKeywordText(uint32_t code);

// Reads the longest number at the start of the word: an optional sign,
// digits with an optional point, an optional exponent. No "inf", "nan" or
// hexadecimal forms. Out-of-range values are held to the float range.
bool ScanScriptNumber(const char *word, float *value);
// Truncation toward zero, held to the 32-bit range; NaN gives 0.
int32_t ScriptTrunc(double value);
