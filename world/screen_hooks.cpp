#include "world/screen_hooks.h"

WorldScreenHooks gWorldScreenHooks;

void WorldSetScreenHooks(const WorldScreenHooks *hooks) { gWorldScreenHooks = hooks ? *hooks : WorldScreenHooks{}; }
