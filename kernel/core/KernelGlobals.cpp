#include "KernelGlobals.h"

#include <atomic>

bool gbLogFileContainsError = false;
bool bGlobalVarColumnSumFullPrecision = false;
void* hdbg = nullptr;
QSSecAttribs gSecAttribs;

namespace {
std::atomic<bool> gKernelInitialized{false};
std::atomic<KernelPulseFn> gKernelPulse{nullptr};
}  // namespace

void SetKernelPulse(KernelPulseFn pulse) { gKernelPulse.store(pulse); }

void KernelPulse() {
    if (KernelPulseFn pulse = gKernelPulse.load(std::memory_order_relaxed)) pulse();
}

void InitNumbrixExtensionDLL() { gKernelInitialized = true; }
bool IsNumbrixExtensionInitialized() { return gKernelInitialized; }
