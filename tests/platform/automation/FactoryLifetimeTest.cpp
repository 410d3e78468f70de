// A factory held by an object made before any factory existed (as the
// application object holds its own) is destroyed after the statics made
// later, at the very end of the program. Leaving the list of factories must
// still be safe then; a sanitizer build reports any use of freed memory.
#include <gtest/gtest.h>

#include <memory>

#include "COleObjectFactory.h"

namespace {

struct EarlyHolder {
    std::unique_ptr<COleObjectFactory> factory;
    ~EarlyHolder() { factory.reset(); }
};

EarlyHolder g_holder;  // made before the list of factories

TEST(COleObjectFactoryLifetime, AFactoryDestroyedAfterStaticsLeavesTheListSafely) {
    g_holder.factory = std::make_unique<COleObjectFactory>(QStringLiteral("{6F1E2A4C-0000-4000-8000-00000000A001}"),
                                                           QStringLiteral("Quillstone.LifetimeTest"),
                                                           QStringLiteral("Lifetime test"), false);
    ASSERT_EQ(COleObjectFactory::Factories().size(), 1u);
}

}  // namespace
