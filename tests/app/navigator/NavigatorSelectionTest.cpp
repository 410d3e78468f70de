#include <gtest/gtest.h>

#include "KernelIds.h"
#include "navigator/NavigatorSelection.h"

namespace {

using qs::app::OpenProjectState;
using qs::app::ResolveNavigatorSelection;
using qs::app::SelectionStandIn;

TEST(NavigatorSelection, ThePairsStandForTheirObjectsWhateverTheLayer) {
    const struct {
        QSID id;
        QSID expected;
    } cases[] = {
        {301003145, 301002045},
        {301033145, 301002045},  // same object on layer 3
        {301003245, 301002045},
        {static_cast<QSID>(0xB36900CEu), 301002050},
        {static_cast<QSID>(0xB3690132u), 301002050},
        {301003146, 301003146},
        {101000001, 101000001},
        {0, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(SelectionStandIn(c.id), c.expected) << c.id;
}

TEST(NavigatorSelection, NavigatorProjectFirstThenTheFirstOpenProject) {
    int a = 0, b = 0, closed = 0;
    const std::vector<OpenProjectState> open = {
        {&a, true, 101010001, 2},
        {&b, true, 301003245, 4},
    };
    auto s = ResolveNavigatorSelection(open, &b, 1);
    EXPECT_EQ(s.document, &b);
    EXPECT_EQ(s.objectId, 301002045);
    EXPECT_EQ(s.layer, 4);

    s = ResolveNavigatorSelection(open, &closed, 3);  // the navigator's project is not open
    EXPECT_EQ(s.document, &a);
    EXPECT_EQ(s.objectId, 0);
    EXPECT_EQ(s.layer, 3);

    s = ResolveNavigatorSelection({{&a, false, 0, 0}}, &a, 5);  // no current object
    EXPECT_EQ(s.document, &a);
    EXPECT_EQ(s.objectId, 0);
    EXPECT_EQ(s.layer, 5);

    s = ResolveNavigatorSelection({}, nullptr, 1);
    EXPECT_EQ(s.document, nullptr);
}

}  // namespace
