#include "KernelVersion.h"

const char* QsKernelVersion() { return "5.0.1.7"; }
