// The command-line option table and its parser.
#pragma once

#include "core/options.h"

// One command-line option: the word after the dash and what it does.
struct CommandSwitch {
    const char *name;
    void (*handler)();
};
// In search order, ended by a null name.
extern const CommandSwitch CommandSwitchTable[];

// word: a whole command-line word with its leading "-". The first table name
// equal to the rest (exactly, with case) runs; unknown words are ignored.
// Null sets the front-end start flag.
void parseCommandSwitch(const char *word);
