// Interim bodies of this subsystem's operations whose modules are not built
// yet. Each says so once in the log.
#include "app/interim.h"
#include "present/p3d.h"

void P3DInitialise() { PENDING_ONCE("P3DInitialise"); }
void P3DFreeScene() { PENDING_ONCE("P3DFreeScene"); }
void P3DSetObjectModel(SceneItem *, void *) { PENDING_ONCE("P3DSetObjectModel"); }
void SpawnShipDestruction(SceneItem *) { PENDING_ONCE("SpawnShipDestruction"); }
void EventCameraTrigger(SceneItem *, SceneItem *, int) { PENDING_ONCE("EventCameraTrigger"); }
void DrawShadeTablePanel(const char *) { PENDING_ONCE("DrawShadeTablePanel"); }
