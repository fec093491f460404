// The installer callback library: seven entry points the installer engine
// calls while it installs the game. Each takes five pointer-size arguments
// (the second is the source folder, ending in a separator, the fourth the
// installation folder; the others are not used) and gives a byte: nonzero
// lets the engine go on.
#pragma once

#include <cstdint>
#include <string>

#define TAVRIN_EXPORT extern "C" __attribute__((visibility("default")))

TAVRIN_EXPORT uint8_t EvalTavrin(void *, void *source, void *, void *install, void *);
TAVRIN_EXPORT uint8_t DirectXInstall(void *, void *source, void *, void *install, void *);
TAVRIN_EXPORT uint8_t PlayIntroMovie(void *, void *source, void *, void *install, void *);
TAVRIN_EXPORT uint8_t PatchInstall(void *, void *source, void *, void *install, void *);
TAVRIN_EXPORT uint8_t SlabInstall(void *, void *source, void *, void *install, void *);
TAVRIN_EXPORT uint8_t InstallVantrell(void *, void *source, void *, void *install, void *);
TAVRIN_EXPORT uint8_t CheckRunning(void *, void *source, void *, void *install, void *);

using TavrinEntry = uint8_t (*)(void *, void *, void *, void *, void *);

// ---- Inside the library (hidden) ------------------------------------------

// Asks a yes/no question; true for yes. The default takes the answers listed
// in TAVRIN_ANSWERS ("oui,non,...", one per question) while any are left,
// then shows a box; with no display and no answer left it is no.
using TavrinPromptFn = bool (*)(const char *title, const char *text);
extern TavrinPromptFn gTavrinPrompt;
bool TavrinDefaultPrompt(const char *title, const char *text);

// Starts a command line in a folder (null: the current one) and waits for it
// (up to 30 minutes). Tests record here.
using TavrinRunFn = void (*)(const std::string &commandLine, const char *folder);
extern TavrinRunFn gTavrinRun;

// Starts the program and waits for it; a failure is not reported.
void RunAndWait(const std::string &commandLine, const char *folder);
// Runs the product-registration program "reg32.exe" in the source folder's
// "Ereg" and waits for it.
void RunRegistrationUtility(const char *source);
