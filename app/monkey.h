// A seeded random player for soak runs: with RUVO_MONKEY=SEED in the
// environment the running game is fed random keys, mouse moves and clicks,
// joystick motion, station and screen changes, saves and loads, and plays
// the career's missions in turn; once a minute it logs the world's pool use.
#pragma once

#include <cstdint>

// Reads RUVO_MONKEY; true when the random player is on (the seed is logged
// on stderr and in "debug.txt"). Before the game starts: it attaches a
// virtual joystick and keeps the front end's quit from ending the run.
bool MonkeyStart();
// One turn of the main loop; acts at most once every 20 milliseconds.
void MonkeyTurn();
// The world's pools in use, as one line ("scene 12/400 sim 8/400 ...").
void MonkeyPoolUse(char *out, int size);

extern uint8_t gMonkeyOn;
