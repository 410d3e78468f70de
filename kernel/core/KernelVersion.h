#pragma once
// Version of the kernel library, shown in the About box beside the program's.
const char* QsKernelVersion();
