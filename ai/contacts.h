// The contact list: the objects each side knows of, and the nearest threats.
#pragma once

struct SceneItem;

struct ThreatEntry {
    SceneItem *object;   // none when the entry is empty
    float distance;      // 1e8 when empty
};
// The four nearest threats of the player, refreshed every step.
extern ThreatEntry dunNearestThreats[4];

void dunRemoveContact(SceneItem *item);
void dunCountShipsPerSide();
void dunRefreshContacts();

// Clears the 100-entry contact table.
void dunInitContacts();
