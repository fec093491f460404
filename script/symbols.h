// The script symbol table: every name a script mentions, shared by all
// compiled scripts, and the game-wide registry of named things.
#pragma once

#include <cstdint>

#include "world/handle.h"

struct SceneItem;

// Kind bits; the declaration statements set them, operand reads OR them in.
namespace SymKind {
constexpr uint32_t Define = 1, Model = 2, Model2D = 4, SceneItem = 8, Part3D = 16, Var = 32, Resource = 64,
                   Window = 128, OrderName = 256;
constexpr uint32_t Any = 2047;        // the operand reader's "any kind"
constexpr uint32_t MustExist = 0x800;  // the operand reader's "name must be known" bit
}  // namespace SymKind

struct ScriptSymbol {
    const char *name;  // a copy in the data buffer
    // Where the value lives: the symbol's own initial bytes in the data
    // buffer, an engine variable, or the record the name stands for. The
    // world clears it when the object it names is deleted (the object's
    // back-link points at this record: name, then value).
    void *value;
    uint32_t size;     // initial bytes copied
    uint32_t kind;     // SymKind bits
    // When the value is a scene object: its handle, so that an object freed
    // behind the symbol's back reads as absent.
    DunHandle object;
    uint8_t *initial;  // the symbol's own initial bytes
    uint32_t flags;    // SymFlag bits
};

namespace SymFlag {
constexpr uint32_t Label = 1;   // defined by a label
constexpr uint32_t Engine = 2;  // the value is an engine variable
constexpr uint32_t Word = 4;    // the value word holds a number, not a reference
}  // namespace SymFlag

constexpr int kMaxScriptSymbols = 1000;
extern ScriptSymbol gScriptSymbols[kMaxScriptSymbols];
extern int32_t gScriptSymbolCount;

// Built-ins kept for the engine.
extern ScriptSymbol *gSymLastShip, *gSymLdsiHit, *gSymGleamLoc, *gSymRemItem, *gSymCustom, *gSymLast3dp,
    *gSymLastRes, *gSymLastWaypt, *gSymGleamBody, *gSymGleamHead, *gSymNullData;

// Appends a symbol without looking for one of the same name; fatal at 1000.
ScriptSymbol *AddScriptSymbol(const char *name, const void *initial, uint32_t n);
ScriptSymbol *FindScriptSymbol(const char *name);
int32_t ScriptSymbolIndex(const ScriptSymbol *symbol);
// The symbol of a token's argument, or null when it is out of range.
ScriptSymbol *ScriptSymbolAt(uint32_t index);
// The value only when the kind equals the given kind exactly.
void *GetTypedScriptSymbolValue(const char *name, uint32_t kind);

// A symbol is bound once its value is no longer its own initial bytes (a
// declaration or a statement gave it a thing), or when it is a label or a
// variable, whose own bytes are its value.
bool ScriptSymbolBound(const ScriptSymbol *symbol);

// The 32-bit integer a symbol refers to (its value word through the
// reference); 0 when the value is not a 4-byte cell of its own or an engine
// variable.
int32_t ScriptSymbolInt(const ScriptSymbol *symbol);
void ScriptSetSymbolInt(ScriptSymbol *symbol, int32_t value);
// The value word itself as a number: an object gives its handle, a plain
// word its low 32 bits.
int32_t ScriptSymbolWord(ScriptSymbol *symbol);
// The value as a pointer; an object that has been freed reads as null.
void *ScriptSymbolPointer(ScriptSymbol *symbol);
// The scene object the symbol holds, or null (none, a plain number, or an
// object that has been freed).
SceneItem *ScriptSymbolObject(ScriptSymbol *symbol);
void ScriptSetSymbolObject(ScriptSymbol *symbol, SceneItem *item);
// The store rule's first half: a number becomes the value word itself.
void ScriptSetSymbolWord(ScriptSymbol *symbol, int32_t value);

// What a symbol was given (a window, a resource handle, an object), or null
// while it holds only its own bytes or a number.
void *ScriptSymbolThing(ScriptSymbol *symbol);
// The resource handle a symbol holds, or null when it holds none.
struct ResourceHandle;
ResourceHandle *ScriptSymbolResource(ScriptSymbol *symbol);
// Gives the symbol a thing (a handle, a window) as its value.
void ScriptSetSymbolThing(ScriptSymbol *symbol, void *thing);

// The mission word of a label: its cell's token index.
uint32_t ScriptLabelTarget(const ScriptSymbol *symbol);

void ReleaseMissionResources();
// The symbols below this index were made before the baseline (start-up).
int32_t ScriptBaselineSymbolCount();
