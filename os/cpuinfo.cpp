#include "os/cpuinfo.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

bool osCpuId(uint32_t leaf, uint32_t regs[4]) {
    regs[0] = regs[1] = regs[2] = regs[3] = 0;
#if defined(__x86_64__) || defined(__i386__)
    unsigned a, b, c, d;
    if (!__get_cpuid(leaf, &a, &b, &c, &d))
        return false;
    regs[0] = a;
    regs[1] = b;
    regs[2] = c;
    regs[3] = d;
    return true;
#else
    (void)leaf;
    return false;
#endif
}
