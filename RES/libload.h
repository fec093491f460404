// The rendering library's data files (texture maps, shade tables, palettes,
// models, materials) loaded on the game's behalf. A failure the library
// reports while one of them loads refuses that file: one "debug.txt" line
// naming it ("Refused data file NAME: why"), and the file counts as missing,
// as an absent one does; the game goes on.
#pragma once

// Opens the load of a file; false (and nothing opened) when the same file
// (where it is, its size and when it was written) was refused before in this
// run: it stays missing without a second line. Loads
// nest (a material names its texture map): the innermost open load takes
// the failures reported during it.
bool LibraryLoadBegin(const char *name);
// Closes the innermost load; `loaded` says whether the loader gave anything
// back. False when the file was refused: the caller frees what it got and
// treats the file as missing. A file that exists but that the loader took
// nothing from (empty, or of no library format) is refused too.
bool LibraryLoadEnd(bool loaded);
// For the game's diagnostics handler: true when a load is open, which then
// keeps the library's message as its refusal, and the handler returns to
// the library (which gives up the load) instead of ending the game.
bool LibraryLoadTakesFailure(const char *message);
// Forgets the files refused so far.
void LibraryLoadForgetRefusals();

// One load: `load`(name) in a load of its own; what a refused load gave back
// goes to `discard`.
template <class T>
T *LoadLibraryFile(const char *name, T *(*load)(const char *), void (*discard)(T *)) {
    if (!LibraryLoadBegin(name)) return nullptr;
    T *item = load(name);
    if (LibraryLoadEnd(item != nullptr)) return item;
    if (item) discard(item);
    return nullptr;
}
