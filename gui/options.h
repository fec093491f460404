// The game's user settings: a fixed table of 24 options, each a slider or a
// toggle with its apply routine; the settings file "Marrowgleam.ini" that
// sets them at start-up and that saving rewrites; the option captions
// ("initTable.txt") and the rank titles ("ratings.txt"); the options screen.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct ByteView;
struct GuiWindow;

namespace OptionKind {
constexpr uint8_t Slider = 0, Toggle = 1;
}

constexpr int kOptionCount = 24;
constexpr int kOptionLabels = 6;

struct OptionRecord {
    const char *name;  // null ends the table
    uint8_t kind;      // OptionKind
    uint8_t perRenderer;  // 0xFF: stored as "%s_h" and "%s_s", else one value "%s_m"
    float value;
    float minimum, maximum;
    void (*apply)(OptionRecord *option);  // after every change; may be null
    // 's': shown only with a software display driver, 'h' only in 3D-card
    // mode, 'f' only while the front end runs; 0 always.
    char key;
    float restoreSoftware, restoreCard;  // "Opt_Restore"
    // The one flag byte its apply routine sets, where its readers read it
    // (null: the option sets something else, or only keeps its value).
    uint8_t *flag;
    // Label 0 is the caption; value v of a toggle shows label v + 1.
    char *labels[kOptionLabels];
};

// The table, ended by a record with a null name.
extern OptionRecord gOptions[kOptionCount + 1];
// The table as at start-up, captions dropped (tests, a fresh start).
void ResetOptionTable();
OptionRecord *FindOption(const char *name);

// The flags of the options that nothing outside the options reads yet:
// they are kept, and saved with their option's value.
extern uint8_t gOptStillDialogue;  // always 0 in 3D-card mode
extern uint8_t gOptRadio;

// The stored name of an option in the current renderer mode ("gamma_s").
std::string OptionStoredName(const OptionRecord &option);

// INIT_VAR and the cockpit keys: the option whose stored name is `name`
// (exactly) takes the value, clamped to its range, and applies it. A name
// of the other renderer, or of no option, changes nothing.
void frontSetOptionByName(const char *name, float value);

// ---- Settings file -------------------------------------------------------------

// The settings file as saving writes it from the old file's bytes: every
// old line in its place, whole, except the INIT_VAR lines of the current
// values (the single-value options' and the current renderer's), which are
// written again with the value there; options the file did not set yet
// follow its last line, one INIT_VAR line each in table order. Comments,
// other statements and the other renderer's values stay as they were. New
// lines end as the old file's first line does (CR LF or LF).
std::string RewriteSettings(ByteView old, bool cardMode);
// One option's INIT_VAR line, its number as "%g" in the "C" locale.
std::string SettingsLine(const OptionRecord &option, bool cardMode, const char *lineEnd);
// Rewrites the settings file through a temporary file renamed over it;
// false (and the report "Cannot Save Options") when the old file cannot be
// read or the new one written; the old file is then unchanged.
bool frontSaveOptions(const char *name);
// The settings file the options screen and the cockpit's keys rewrite.
inline constexpr char kSettingsFile[] = "Marrowgleam.ini";

// ---- Captions and rank titles -----------------------------------------------------

// Reads "initTable.txt" (and first the rank titles) of the language once.
void frontLoadInitTable();
// Parses caption text into the table's labels (copies of the strings).
void ParseOptionCaptions(ByteView text);
// Forgets the loaded captions and rank titles (a fresh start).
void ResetOptionCaptions();

constexpr int kRankTitles = 16;
constexpr size_t kRankTitleBytes = 32;
struct RankTitle {
    char title[kRankTitleBytes];
    int32_t threshold;
};
extern RankTitle gRankTitles[kRankTitles];
extern int gRankTitleCount;
void frontLoadRatings();
// Parses " %i %s" pairs up to -1 or the end; at most 16 are kept, titles
// are cut to their field.
void ParseRatings(ByteView text);
// The rank title of a career score: the last title, in file order, whose
// threshold is not above the score; the first when the score is below every
// threshold; "" without titles.
const char *RankTitleFor(int32_t score);
// The rank title of the current captain's total score.
const char *frontRankTitle();

// A zero-filled copy of the text (length + 1), null for a null text.
char *frontStrDup(const char *text);

// ---- The default captain ----------------------------------------------------------

// Counts its calls; from the sixth on, a name of a six-name table (by the
// slot number) replaces the captain's default name.
void frontDefaultCaptainName();
extern int32_t gDefaultCaptainCalls;
extern uint8_t gDefaultCaptainReplaced;

// ---- The options screen ---------------------------------------------------------------

void frontBuildOptions();
void frontDrawOption(GuiWindow *window);
int8_t frontUpdateOptionSlider(GuiWindow *window);
void frontStepOptionToggle(GuiWindow *window);
// "Opt_Restore": every option to its restore value of the display driver.
void frontRestoreOptions();
