// Checkpoints of a mission within a career slot: the script's saved
// variables, the objectives, the player ship's weapon counters and the
// shooting tallies with the score, written under a key "mission_slot_id"
// into four text files of the slot ("vek\slot_d%01i.sav", "_o", "_w",
// "_k"); the list a mission's checkpoint chooser shows; and the restore of
// the chosen one when the mission starts from it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The checkpoint restored by LOADGAME and WEP_FROM_SAVE; -1 the mission's
// start (nothing saved).
extern int32_t gChosenCheckpoint;

// Saves the current mission's checkpoint under its title.
void dunSaveGame(const char *title, int checkpoint);
// Restores the chosen checkpoint's variables, objectives, tallies and SCORE.
void dunLoadGame();
// Restores the chosen checkpoint's weapon counters into the player ship's
// weapons, in list order.
void dunLoadWeaponValues();
// The checkpoints of a mission saved in a career slot, for the chooser:
// entry 0 is the mission's start (id -1), the others ordered by id; at most
// `capacity` entries, at least 1 (0 only for no room at all).
constexpr int kSaveTitleBytes = 64;
int dunListSaveGames(int mission, int slot, int32_t *ids, char (*titles)[kSaveTitleBytes], int capacity);
// After the chosen checkpoint's start routine: its save restored and its
// "Load%i" routine asked for.
void dunRestoreCheckpoint();

// The lines of a checkpoint file's contents whose key is not `key`, each
// ended by a line feed (empty lines dropped).
void dunCopyOtherSaveKeys(std::string *out, const char *old, size_t size, const char *key);
// A checkpoint file of a slot: kind 'd', 'o', 'w' or 'k'.
void CheckpointFileName(char kind, int slot, char *out, size_t size);
