// The rule that decides whether a group query admits a profile.
#include <gtest/gtest.h>

#include "GroupQuery.h"

using qs::db::MatchGroupQuery;

namespace {

struct Case {
    const char* name;
    const char* profile;
    const char* query;
    bool admitted;
};

const Case kCases[] = {
    {"element between separators", "A", "/A/", true},
    {"element at the end of the entry", "A", "/X,A", true},
    // The first element of an entry counts like the others.
    {"element at the start of the entry", "A", "A/", true},
    {"first of two elements", "A", "A/B", true},
    {"whole profile at the start", "A/B", "A/B", true},
    {"order and separators do not matter", "/A/B", "/B,X/A/", true},
    {"comma separated profile", "A,B", "/B,X/A/", true},
    {"element matched whole, not inside a longer one", "B", "/AB/", false},
    {"element matched whole, not as a prefix", "B", "/BA,", false},
    {"one entry must hold every element", "A/B", "/A/;/B/", false},
    {"a later entry may admit", "A/B", "/X/;/A/B/", true},
    {"letter case counts", "a", "/A/", false},
    {"empty profile", "", "/A/", false},
    {"profile of a lone separator", "/", "/A/", false},
    {"profile of a lone comma", ",", "/A/", false},
    {"empty query", "A", "", false},
    {"one-character query", "A", "A", false},
    {"trailing separator needs an empty element", "A/", "/A/", true},
    {"trailing separator, entry without an empty element", "A/", "/A,B", false},
    {"empty entries admit nothing", "A", ";;", false},
};

class GroupQueryTest : public ::testing::TestWithParam<Case> {};

TEST_P(GroupQueryTest, Admits) {
    const Case& c = GetParam();
    EXPECT_EQ(MatchGroupQuery(QString::fromUtf8(c.profile), QString::fromUtf8(c.query)), c.admitted)
        << "profile \"" << c.profile << "\" query \"" << c.query << "\"";
}

INSTANTIATE_TEST_SUITE_P(Rule, GroupQueryTest, ::testing::ValuesIn(kCases), [](const auto& info) {
    std::string n = info.param.name;
    for (char& ch : n)
        if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
    return n;
});

}  // namespace
