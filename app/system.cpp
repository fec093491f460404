#include "app/system.h"

#include <cctype>
#include <cstring>
#include <string>

#include "core/log.h"
#include "os/paths.h"
#include "os/registry.h"
#include "os/system.h"
#include "platform/display.h"
#include "platform/joystick.h"

char gCdLetters[26];
uint16_t gCdCount;
char gFirstCdLetter;
char gWorkingFolder[260];

char FindCdDrives() {
    gCdCount = 0;
    gFirstCdLetter = 0;
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        if (osDriveType(letter) != 5) continue;
        gCdLetters[gCdCount++] = letter;
        if (!gFirstCdLetter) gFirstCdLetter = letter;
    }
    return gFirstCdLetter;
}

int ReadInstallPaths() {
    char value[256];
    if (!osRegistryRead("SOFTWARE\\Hollowmere\\Ruvo", nullptr, value, sizeof value)) return 0;
    if (value[0] == 0 || value[1] != ':') return 0;
    char film[260] = "D:\\video";
    film[0] = value[0];
    std::snprintf(gFilmFolder, sizeof gFilmFolder, "%s", film);
    // The drive root of that path, then "audio".
    std::snprintf(gAudioFolder, sizeof gAudioFolder, "%.3saudio", film);
    return 1;
}

int SetWorkingFolder(const char *path) {
    if (!path) return 0;
    std::snprintf(gWorkingFolder, sizeof gWorkingFolder, "%s", path);
    if (!osChangeFolder(path)) return 0;
    // A ready volume's root: a drive letter, a colon and at most a backslash.
    size_t n = std::strlen(path);
    return n >= 2 && n <= 3 && std::isalpha((unsigned char)path[0]) && path[1] == ':' && (n == 2 || path[2] == '\\');
}

void JoystickStart() { JoystickInit(); }

void ShutdownInputAndDisplay() {
    ffRelease();
    DisplayClose();
}
