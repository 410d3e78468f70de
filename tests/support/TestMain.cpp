#include <gtest/gtest.h>

#include "TestEnvironment.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    qs::test::IsolateProcess();
    return RUN_ALL_TESTS();
}
