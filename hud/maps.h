// The star map, the solar navigation map and the in-flight map overlay.
#pragma once

#include <cstdint>

extern uint8_t gStarMapOpen;
extern uint8_t gSolarMapOpen;
extern uint8_t gMapOverlayOpen;

void NavMapCloseIfOpen();
// Clears every link highlight of the navigation map.
void NavMapClearHighlights();
// Opens or closes the star map, and closes the solar map overlay.
void NavMapOpenClose(int open);
void NavMapCloseOverlay(int reserved);
// The star map's key handler: true when it took the key.
bool NavMapKeyHandler(uint16_t key);
// What the universe asks of the map: its ring round a centre, the bodies
// laid out again, the meshes of the system in the world's body table, the
// view zoomed onto a star or centred on a body entry.
struct StarRecord;
void NavMapBuildOrbitRing(float x, float y, float z, float radius);
void NavMapLayoutBodies();
void NavMapBuildBodyMesh(int system);
void NavMapZoomToBody(StarRecord *star);
void NavMapCentreOnBody(int entry);
