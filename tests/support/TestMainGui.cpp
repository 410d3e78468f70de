#include <QApplication>
#include <gtest/gtest.h>

#include "TestEnvironment.h"

// Discovery runs the binary outside ctest's environment, so the offscreen
// platform is chosen here as well (IsolateProcess sets it when unset).
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    qs::test::IsolateProcess();
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
