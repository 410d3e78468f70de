#include "KernelGlobals.h"

#include <atomic>

bool gbLogFileContainsError = false;
bool bGlobalVarColumnSumFullPrecision = false;
void* hdbg = nullptr;
QSSecAttribs gSecAttribs;

namespace {
std::atomic<bool> gKernelInitialized{false};
}

void InitNumbrixExtensionDLL() { gKernelInitialized = true; }
bool IsNumbrixExtensionInitialized() { return gKernelInitialized; }
