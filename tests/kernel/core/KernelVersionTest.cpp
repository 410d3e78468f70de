#include <gtest/gtest.h>

#include <cstring>

#include "KernelVersion.h"

TEST(KernelVersion, HasFourFields) {
    const char* v = QsKernelVersion();
    int dots = 0;
    for (const char* p = v; *p; ++p) dots += (*p == '.');
    EXPECT_EQ(dots, 3) << v;
}
