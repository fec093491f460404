// Processor identification.
#pragma once

#include <cstdint>

// The four registers of the processor's identification instruction for a
// leaf (eax, ebx, ecx, edx); false when the processor has no such leaf.
bool osCpuId(uint32_t leaf, uint32_t regs[4]);
