#include "tools/tavrin/tavrin.h"

#include <strings.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

#include "os/instance.h"
#include "os/os.h"
#include "os/registry.h"
#include "tools/common/setup.h"

namespace fs = std::filesystem;

namespace {

const char kInstallTitle[] = "Installation de Kelv";
const char kIntroTitle[] = "Kelv - Film d'Introduction";
const char kIntroQuestion[] = "Voulez-vous voir le Film d'Introduction?";
const char kReinstallQuestion[] =
    "Kelv est d\xE9j\xE0 install\xE9 sur cet ordinateur.\n"
    "Voulez-vous l'installer \xE0 nouveau ?";
const char kCampaignQuestion[] =
    "Vous allez installer la campagne Vantrell de l'\xE9" "dition sp\xE9" "ciale.\n"
    "Nous conseillons aux nouveaux joueurs de jouer d'abord la premi\xE8re campagne.\n"
    "Voulez-vous poursuivre l'installation ?";

// The copies of the full installation, in their order: the file of the
// source folder, and where it goes below the installation folder.
const struct {
    const char *file;
    const char *target;
} kSlabCopies[] = {
    {"frn_.slb", "\\vek\\resource\\frn_.slb"},
    {"ger_.slb", "\\vek\\resource\\ger_.slb"},
    {"text.slb", "\\vek\\resource\\text.slb"},
    {"scripts.slb", "\\vek\\resource\\scripts.slb"},
    {"sh_3dh.slb", "\\vek\\resource\\sh_3dh.slb"},
    {"sh_3dx.slb", "\\vek\\resource\\sh_3dx.slb"},
    {"shapes.slb", "\\vek\\resource\\shapes.slb"},
    {"precedence.csv", "\\vek\\resource\\scripts\\precedence.csv"},
    {"Ruvo.exe", "\\Ruvo.exe"},
};

const char *Text(void *arg) { return static_cast<const char *>(arg); }

// A path of the other system's form, joined as it stands, on this machine:
// slashes, and the disc's program names through the name table.
std::string HostPath(const std::string &joined) { return SetupProgramPath(joined); }

// One copy, over what is there; a failure leaves it out and nothing else.
void CopyOne(const char *source, const char *install, const char *file, const char *target) {
    if (!source || !install || !*install) return;
    std::error_code ec;
    fs::copy_file(HostPath(std::string(source) + file), HostPath(std::string(install) + target),
                  fs::copy_options::overwrite_existing, ec);
}

void RealRun(const std::string &commandLine, const char *folder) {
    std::string error;
    SetupRunCommandLine(commandLine, folder, true, kRunWaitLimitMs, &error);
}

// Answers given ahead, for installs without anyone at the screen.
std::vector<bool> gAnswers;
size_t gNextAnswer = 0;
bool gAnswersRead = false;

void ReadAnswers() {
    gAnswersRead = true;
    const char *list = std::getenv("TAVRIN_ANSWERS");
    if (!list) return;
    std::string word;
    for (const char *p = list;; ++p) {
        if (*p && *p != ',') {
            word += *p;
            continue;
        }
        if (!word.empty()) {
            const char *w = word.c_str();
            gAnswers.push_back(!strcasecmp(w, "oui") || !strcasecmp(w, "yes") || !strcmp(w, "1"));
        }
        word.clear();
        if (!*p) break;
    }
}

}  // namespace

bool TavrinDefaultPrompt(const char *title, const char *text) {
    if (!gAnswersRead) ReadAnswers();
    if (gNextAnswer < gAnswers.size()) return gAnswers[gNextAnswer++];
    return osAskYesNo(title, text, "Oui", "Non") == 1;
}

TavrinPromptFn gTavrinPrompt = TavrinDefaultPrompt;
TavrinRunFn gTavrinRun = RealRun;

void RunAndWait(const std::string &commandLine, const char *folder) { gTavrinRun(commandLine, folder); }

void RunRegistrationUtility(const char *source) {
    // The program runs in its own folder; the engine's current folder stays
    // where it was, so that what runs after it still finds its files.
    std::string folder = HostPath(std::string(source ? source : "") + "Ereg");
    RunAndWait("reg32.exe", folder.c_str());
}

uint8_t EvalTavrin(void *a, void *source, void *c, void *install, void *e) {
    if (!osRegistryKeyExists(kAppPathsKey)) return 1;
    if (gTavrinPrompt(kInstallTitle, kReinstallQuestion)) return 1;
    PlayIntroMovie(a, source, c, install, e);
    return 0;
}

uint8_t DirectXInstall(void *, void *, void *, void *, void *) { return 1; }

uint8_t PlayIntroMovie(void *, void *source, void *, void *, void *) {
    if (gTavrinPrompt(kIntroTitle, kIntroQuestion)) {
        // Quoted: the source folder may hold blanks.
        RunAndWait("\"" + std::string(Text(source) ? Text(source) : "") + "Lumaquill.exe\"", nullptr);
    }
    return 1;
}

uint8_t PatchInstall(void *, void *source, void *, void *install, void *) {
    CopyOne(Text(source), Text(install), "ger_.slb", "\\vek\\resource\\ger_.slb");
    return 1;
}

uint8_t SlabInstall(void *, void *source, void *, void *install, void *) {
    for (const auto &c : kSlabCopies) CopyOne(Text(source), Text(install), c.file, c.target);
    RunRegistrationUtility(Text(source));
    return 1;
}

uint8_t InstallVantrell(void *, void *, void *, void *, void *) {
    return gTavrinPrompt(kInstallTitle, kCampaignQuestion) ? 1 : 0;
}

uint8_t CheckRunning(void *, void *, void *, void *, void *) {
    // A probe: the name is let go at once, so that nothing the engine starts
    // afterwards (the game among them) finds it taken.
    if (osAcquireInstanceLock(kInstanceName) != OS_INSTANCE_OWNED) return 0;
    osReleaseInstanceLock(kInstanceName);
    return 1;
}
