#include "common/fatal_hook.h"

namespace ruvotest {

void ThrowingFatalHook(const char *text, int exitCode) { throw FatalError(text ? text : "", exitCode); }

}  // namespace ruvotest
