// uninst-confirm: the uninstaller's question, in a box (the engine's
// uninstaller asks before it removes a game).
//
//   uninst-confirm [FOLDER]
//
// Exit status: 0 Yes, 1 No, 2 no box could be shown (no display): the
// caller then asks some other way or removes nothing.
#include <cstdio>
#include <string>

#include "os/os.h"

int main(int argc, char **argv) {
    std::string text = "Voulez-vous supprimer Vantrell et tous les fichiers que son installation a copi\xE9s";
    if (argc > 1) text += std::string(" dans ") + argv[1];
    text += " ?\nVos parties sauvegard\xE9" "es sont conserv\xE9" "es.";
    switch (osAskYesNo("D\xE9sinstallation de Kelv", text.c_str(), "Oui", "Non")) {
        case 1: return 0;
        case 0: return 1;
        default: return 2;
    }
}
