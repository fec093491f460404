// The resource manager: named, typed resources in one pool, released per
// mission back to a mark.
#pragma once

struct ResourceHandle;

void resmanInit();
void resmanMark();
void resmanRelease();
void resmanShutdown();
// Registers the name with the type and loads it; returns the handle.
ResourceHandle *resmanRegisterLoad(const char *name, int type);
// The loaded data of a handle (null when it did not load).
void *resmanHandleData(ResourceHandle *handle);
