// The text slots the start-up scripts fill with STRING: one short file per
// slot and language ("text", "frn_", "ger_" folders), ending in CR LF.
#include <cstdio>
#include <string>

#include "mkdata.h"

namespace {

struct Slot {
    int number;
    const char *text[3];  // English, French, German (Windows-1252)
};

const Slot kSlots[] = {
    // The remote link's answers.
    {1, {"Remote link refused", "Liaison \xE0 distance refus\xE9" "e", "Fernsteuerung verweigert"}},
    {2, {"Remote link established", "Liaison \xE0 distance \xE9tablie", "Fernsteuerung hergestellt"}},
    {3, {"Remote link closed", "Liaison \xE0 distance coup\xE9" "e", "Fernsteuerung beendet"}},
    {4, {"Remote link unavailable", "Liaison \xE0 distance indisponible", "Fernsteuerung nicht verf\xFCgbar"}},
    // The wing's refusals, confirmations and read-out heading. A confirmation
    // that names an object keeps its first "%s" for the wingman's name.
    {5, {"Command refused: not against our own", "Ordre refus\xE9 : pas contre les n\xF4tres",
         "Befehl verweigert: nicht gegen die eigenen"}},
    {7, {"Command refused: not one of ours", "Ordre refus\xE9 : pas des n\xF4tres",
         "Befehl verweigert: nicht von uns"}},
    {9, {"Wing: forming on you", "Ailier : en formation sur vous", "Fl\xFCgel: formiert sich bei Ihnen"}},
    {10, {"%sWing: attacking %s", "%sAilier : attaque %s", "%sFl\xFCgel: greift %s an"}},
    {11, {"%sWing: defending %s", "%sAilier : d\xE9" "fend %s", "%sFl\xFCgel: verteidigt %s"}},
    {12, {"%sWing: escorting %s", "%sAilier : escorte %s", "%sFl\xFCgel: eskortiert %s"}},
    {13, {"Wing: holding position", "Ailier : en attente", "Fl\xFCgel: h\xE4lt Position"}},
    {14, {"Wing: engaging at will", "Ailier : combat libre", "Fl\xFCgel: freies Gefecht"}},
    {15, {"Wing: no target", "Ailier : aucune cible", "Fl\xFCgel: kein Ziel"}},
    {16, {"Wing: no target selected", "Ailier : aucune cible choisie", "Fl\xFCgel: kein Ziel gew\xE4hlt"}},
    {17, {"Wing: standing by", "Ailier : en attente d'ordres", "Fl\xFCgel: wartet auf Befehle"}},
    {18, {"%sWing: docking with %s", "%sAilier : amarrage avec %s", "%sFl\xFCgel: dockt an %s"}},
    {26, {"Wing", "Ailiers", "Fl\xFCgel"}},
    {19, {"Wing: 1 Formate  2 Attack  3 Defend", "Ailier : 1 Formation  2 Attaque  3 D\xE9" "fense",
          "Fl\xFCgel: 1 Formation  2 Angriff  3 Abwehr"}},
    {37, {"ZOOM", "ZOOM", "ZOOM"}},
    // Why the fire key fired nothing.
    {41, {"Weapon disabled", "Arme hors service", "Waffe ausgefallen"}},
    {42, {"Weapon empty", "Arme vide", "Waffe leer"}},
    {43, {"No target in the arc", "Aucune cible dans l'arc", "Kein Ziel im Schussfeld"}},
    {44, {"Cannot fire in LDS", "Tir impossible en LDS", "Kein Feuer im LDS"}},
    // A missile is locked on the player's ship.
    {45, {"MISSILE WARNING", "ALERTE MISSILE", "RAKETENWARNUNG"}},
    {50, {"Mode:LDS", "Mode:LDS", "Modus:LDS"}},
    {51, {"Mode:THRUST", "Mode:POUSSEE", "Modus:SCHUB"}},
    {52, {"Mode:CRUISE", "Mode:CROISIERE", "Modus:REISE"}},
    {56, {"Autopilot: stop", "Pilote auto : arr\xEAt", "Autopilot: Halt"}},
    {57, {"Autopilot: approach", "Pilote auto : approche", "Autopilot: Anflug"}},
    {58, {"Autopilot: formate", "Pilote auto : formation", "Autopilot: Formation"}},
    {59, {"Autopilot: dock", "Pilote auto : amarrage", "Autopilot: Andocken"}},
    {60, {"Autopilot disengaged", "Pilote auto d\xE9" "sengag\xE9", "Autopilot aus"}},
    {61, {"Autopilot: match velocity", "Pilote auto : vitesse cible", "Autopilot: Geschwindigkeit angleichen"}},
    {63, {"Docking with %s", "Amarrage avec %s", "Andocken an %s"}},
    {64, {"Undocking is not allowed", "D\xE9" "samarrage interdit", "Abdocken nicht erlaubt"}},
    {65, {"PROXIMITY WARNING", "ALERTE DE PROXIMIT\xC9", "KOLLISIONSWARNUNG"}},
    {66, {"Star contact: %s", "Contact stellaire : %s", "Sternkontakt: %s"}},
    {81, {"Warhead fuel %i", "Carburant ogive %i", "Sprengkopf-Treibstoff %i"}},
    {90, {"All waypoints passed in %d:%02d", "Tous les points de passage franchis en %d:%02d",
          "Alle Wegpunkte passiert in %d:%02d"}},
    {91, {"Objective complete: %s", "Objectif atteint : %s", "Ziel erreicht: %s"}},
    {92, {"Objective failed: %s", "Objectif manqu\xE9 : %s", "Ziel verfehlt: %s"}},
    {93, {"New objective: %s", "Nouvel objectif : %s", "Neues Ziel: %s"}},
    {94, {"Objective: %s", "Objectif : %s", "Ziel: %s"}},
    {95, {"PAUSED", "PAUSE", "PAUSE"}},
    {96, {"Friendly fire! Your own side now treats you as hostile.",
          "Tir fratricide ! Votre propre camp vous traite d\xE9sormais en ennemi.",
          "Eigenbeschuss! Die eigene Seite h\xE4lt Sie jetzt f\xFCr feindlich."}},
    {97, {"Delete this captain's career?", "Effacer la carri\xE8re de ce capitaine ?",
          "Die Laufbahn dieses Kapit\xE4ns l\xF6schen?"}},
    {98, {"Fly this mission again and forget what came after it?", "Rejouer cette mission et oublier la suite ?",
          "Diese Mission neu fliegen und alles Sp\xE4tere vergessen?"}},
    {99, {"Loading...", "Chargement...", "Laden..."}},
    {200, {"Mission", "Mission", "Mission"}},
    {208, {"Mission complete", "Mission accomplie", "Mission erf\xFCllt"}},
    {209, {"Mission failed", "Mission \xE9" "chou\xE9" "e", "Mission gescheitert"}},
    {213, {"Objectives", "Objectifs", "Ziele"}},
    {215, {"No open objectives", "Aucun objectif en cours", "Keine offenen Ziele"}},
    {216, {"Best score", "Meilleur score", "Bestwert"}},
    {217, {"Best time", "Meilleur temps", "Bestzeit"}},
    {218, {"Mission in progress", "Mission en cours", "Mission l\xE4uft"}},
    // The first mission's HUD line and key prompt.
    {221, {"Score: %i", "Score : %i", "Punkte: %i"}},
    {222, {"Press %s to fire", "Appuyez sur %s pour tirer", "%s dr\xFC" "cken zum Feuern"}},
    {278, {"This slot is in use", "Cette place est prise", "Dieser Platz ist belegt"}},
    {279, {"This slot is free", "Cette place est libre", "Dieser Platz ist frei"}},
    {281, {"Type your name", "Tapez votre nom", "Namen eingeben"}},
};

bool WriteStrings(const mkdata::Context &ctx) {
    static const char *const kFolders[3] = {"text", "frn_", "ger_"};
    for (const Slot &s : kSlots)
        for (int lang = 0; lang < 3; ++lang) {
            char path[96];
            std::snprintf(path, sizeof path, "vek/resource/%s/strings/s%03d.txt", kFolders[lang], s.number);
            if (!mkdata::WriteFile(ctx, path, std::string(s.text[lang]) + "\r\n")) return false;
        }
    return true;
}

mkdata::Generator gStrings("40-strings", WriteStrings);

}  // namespace
