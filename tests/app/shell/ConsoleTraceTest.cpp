#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "shell/ConsoleTrace.h"
#include "TestEnvironment.h"

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);) lines.push_back(l);
    return lines;
}

class ConsoleTraceTest : public ::testing::Test {
protected:
    void SetUp() override { dir = qs::test::MakeTempDir("trace"); }
    void TearDown() override { qs::trace::CloseConsoleTrace(); }
    std::string dir;
};

void Inner(int id) {
    CTraceScope scope("Inner(%d)", id);
    ConsoleTrace(scope, "    index=%d, id=%d, layer=%d", 1, id, 3);
}

TEST_F(ConsoleTraceTest, NestedScopesIndentAndOutermostEndsWithBlankLine) {
    qs::trace::InitConsoleTrace(1, &dir);
    {
        CTraceScope outer("CMethodView::~CMethodView()");
        Inner(7);
    }
    { CTraceScope second("Second()"); }
    qs::trace::CloseConsoleTrace();
    EXPECT_EQ(Lines(qs::test::ReadFile(dir + "/console.txt")),
              (std::vector<std::string>{"1000 CMethodView::~CMethodView()", "1001     Inner(7)",
                                        "1001         index=1, id=7, layer=3", "1001     Inner(7)",
                                        "1000 CMethodView::~CMethodView()", "", "1002 Second()", "1002 Second()",
                                        ""}));
}

TEST_F(ConsoleTraceTest, OffWritesNothingAndReplacesNoFile) {
    qs::test::WriteFile(dir + "/console.txt", "earlier run\n");
    qs::trace::InitConsoleTrace(0, &dir);
    { CTraceScope s("Off()"); }
    EXPECT_FALSE(qs::trace::IsConsoleTraceEnabled());
    EXPECT_EQ(qs::test::ReadFile(dir + "/console.txt"), "earlier run\n");
    // On again: the file is replaced and numbering starts over.
    qs::trace::InitConsoleTrace(1, &dir);
    { CTraceScope s("On()"); }
    qs::trace::CloseConsoleTrace();
    EXPECT_EQ(qs::test::ReadFile(dir + "/console.txt").substr(0, 10), "1000 On()\n");
}

TEST_F(ConsoleTraceTest, PathWithoutDirectoryAndUnopenableFile) {
    EXPECT_EQ(qs::trace::ConsoleTraceFilePath(nullptr), "/console.txt");
    const std::string missing = dir + "/no/such/folder";
    qs::trace::InitConsoleTrace(1, &missing);
    EXPECT_TRUE(qs::trace::IsConsoleTraceEnabled());
    { CTraceScope s("Dropped()"); }  // silently dropped, no crash
}

// Scopes from several threads at once: each number is used by exactly one
// scope and every thread's lines come in entry/exit pairs at its own depth.
TEST_F(ConsoleTraceTest, ThreadsGetDistinctNumbersAndTheirOwnDepth) {
    qs::trace::InitConsoleTrace(1, &dir);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([] {
            for (int i = 0; i < 200; ++i) {
                CTraceScope a("A");
                CTraceScope b("B");
            }
        });
    for (auto& t : threads) t.join();
    qs::trace::CloseConsoleTrace();
    std::multiset<std::string> counts;
    std::set<int> numbers;
    for (const std::string& l : Lines(qs::test::ReadFile(dir + "/console.txt"))) {
        if (l.empty()) continue;
        numbers.insert(std::stoi(l));
        const std::string rest = l.substr(l.find(' ') + 1);
        ASSERT_TRUE(rest == "A" || rest == "    B") << l;
    }
    EXPECT_EQ(numbers.size(), 4u * 200u * 2u);
    EXPECT_EQ(*numbers.begin(), 1000);
    EXPECT_EQ(*numbers.rbegin(), 1000 + 1599);
}

}  // namespace
