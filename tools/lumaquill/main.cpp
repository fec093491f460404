#include "tools/lumaquill/player.h"

int main() { return PlayerWinMain(); }
