#include "platform/hooks.h"

PlatformHooks gPlatformHooks;

void SetPlatformHooks(const PlatformHooks *hooks) { gPlatformHooks = hooks ? *hooks : PlatformHooks{}; }
