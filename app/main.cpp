// The game program.
#include "app/shell.h"

int main(int argc, char **argv) { return ShellMain(argc, argv); }
