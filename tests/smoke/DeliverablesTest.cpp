// Every deliverable builds, loads its neighbours and starts.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <dlfcn.h>
#include <ostream>
#include <string>
#include <sys/wait.h>

#include "TestEnvironment.h"

namespace {

struct RunResult {
    int exitCode = -1;
    std::string output;
};

RunResult RunCommand(const std::string& command) {
    RunResult r;
    FILE* p = ::popen((command + " 2>&1").c_str(), "r");
    if (!p) return r;
    std::array<char, 512> buf{};
    while (std::fgets(buf.data(), buf.size(), p)) r.output += buf.data();
    int status = ::pclose(p);
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

struct ProgramCase {
    const char* program;
    const char* expectedPrefix;
    friend std::ostream& operator<<(std::ostream& os, const ProgramCase& c) { return os << c.program; }
};

class ProgramVersion : public ::testing::TestWithParam<ProgramCase> {};

TEST_P(ProgramVersion, ReportsVersionAndExitsCleanly) {
    const auto& c = GetParam();
    RunResult r = RunCommand(qs::test::BinDir() + "/" + c.program + " --version");
    EXPECT_EQ(r.exitCode, 0) << r.output;
    EXPECT_EQ(r.output.rfind(c.expectedPrefix, 0), 0u) << r.output;
    EXPECT_NE(r.output.find(QS_VERSION_TEXT), std::string::npos) << r.output;
}

INSTANTIATE_TEST_SUITE_P(Deliverables, ProgramVersion,
                         ::testing::Values(ProgramCase{"qstone", "Qstone "}, ProgramCase{"crx", "crx "},
                                           ProgramCase{"zerofill", "zerofill "}),
                         [](const auto& info) { return std::string(info.param.program); });

// Loaded for good (RTLD_NODELETE): the system libraries they bring keep
// their symbols to the end, so the leak checker can name what is theirs.
constexpr int kLoadFlags = RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE;

TEST(Deliverables, ImportLibraryLoadsWithBothEntryPoints) {
    std::string path = qs::test::BinDir() + "/libLexgrv.so";
    void* h = ::dlopen(path.c_str(), kLoadFlags);
    ASSERT_NE(h, nullptr) << ::dlerror();
    EXPECT_NE(::dlsym(h, "GetLexigroveInstance"), nullptr);
    EXPECT_NE(::dlsym(h, "ReleaseLexigroveInstance"), nullptr);
    ::dlclose(h);
}

TEST(Deliverables, MessageLibraryLoads) {
    std::string path = qs::test::BinDir() + "/libFaultbox.so";
    void* h = ::dlopen(path.c_str(), kLoadFlags);
    ASSERT_NE(h, nullptr) << ::dlerror();
    ::dlclose(h);
}

}  // namespace
