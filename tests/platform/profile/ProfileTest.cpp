#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "QsEnvironment.h"
#include "QsProfile.h"
#include "TestEnvironment.h"

namespace {

using qs::test::ReadFile;
using qs::test::WriteFile;

// One file that exercises the reading rules: comments, lines outside any
// section, blanks around names and values, quotes, "#" inside keys, keys
// without "=", duplicate sections in other case.
const char* kReadFixture =
    "; written by hand\n"
    "stray=outside any section\n"
    "[Settings]\n"
    "  Files Path  =   /data/files   \n"
    "Key With #Hash=value ; not a comment\n"
    "Quoted=\"  spaced  \"\n"
    "Single='x'\n"
    "Mismatched=\"abc'\n"
    "Lone=\"\n"
    "Empty=\n"
    "Bare\n"
    ";Commented=1\n"
    "Twice=first\n"
    "twice=second\n"
    "\n"
    "[ settings ]\n"
    "Later=in the second copy\n"
    "[Numbers]\n"
    "Plain=42\n"
    "Trailing=  42abc\n"
    "Negative=-7\n"
    "Plus=+8\n"
    "Hex=0x1F\n"
    "Letters=abc\n"
    "Blank=   \n"
    "Quoted=\"12\"\n";

class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = qs::test::MakeTempDir("profile");
        m_file = m_dir + "/test.ini";
        WriteFile(m_file, kReadFixture);
    }
    std::string Get(const char* section, const char* key, const char* def, std::uint32_t size = 256) {
        std::vector<char> buf(size + 1, '#');
        std::uint32_t n = GetPrivateProfileString(section, key, def, buf.data(), size, m_file.c_str());
        EXPECT_EQ(buf[n], '\0');
        return std::string(buf.data(), n);
    }
    std::string m_dir;
    std::string m_file;
};

TEST_F(ProfileTest, ReadsValuesByWindowsRules) {
    struct Case {
        const char* section;
        const char* key;
        const char* def;
        std::string expected;
    };
    const Case cases[] = {
        {"Settings", "Files Path", "", "/data/files"},
        {"SETTINGS", "files path", "", "/data/files"},        // names ignore case
        {" Settings ", " Files Path ", "", "/data/files"},     // and blanks around them
        {"Settings", "Key With #Hash", "", "value ; not a comment"},
        {"Settings", "Quoted", "", "  spaced  "},              // quotes stripped, inner blanks kept
        {"Settings", "Single", "", "x"},
        {"Settings", "Mismatched", "", "\"abc'"},              // unmatched quotes stay
        {"Settings", "Lone", "", "\""},
        {"Settings", "Empty", "dflt", ""},                     // present but empty: not the default
        {"Settings", "Bare", "dflt", "dflt"},                  // no "=": default
        {"Settings", ";Commented", "dflt", "dflt"},
        {"Settings", "Twice", "", "first"},                    // first key wins
        {"Settings", "Later", "dflt", "dflt"},                 // first section wins
        {"Settings", "Missing", "dflt  ", "dflt"},             // default loses trailing blanks
        {"Settings", "Missing", nullptr, ""},
        {"Nowhere", "Files Path", "d", "d"},
        {"", "stray", "d", "d"},                               // lines before any section are in none
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Get(c.section, c.key, c.def), c.expected) << c.section << "/" << c.key;
        if (c.def) {
            EXPECT_EQ(qs::profile::ReadString(m_file, c.section, c.key, c.def), c.expected)
                << c.section << "/" << c.key;
        }
    }
    EXPECT_EQ(GetPrivateProfileString("Settings", "Files Path", "d", nullptr, 10, m_file.c_str()), 0u);
    std::string missing = m_dir + "/nope.ini";
    char buf[16];
    EXPECT_EQ(GetPrivateProfileString("A", "B", "none", buf, sizeof buf, missing.c_str()), 4u);
    EXPECT_STREQ(buf, "none");
}

TEST_F(ProfileTest, ReadsIntegersByWindowsRules) {
    struct Case {
        const char* key;
        int expected;
    };
    const Case cases[] = {
        {"Plain", 42}, {"Trailing", 42}, {"Negative", -7}, {"Plus", 8}, {"Hex", 31},
        {"Letters", 0},   // a value without digits is 0, not the default
        {"Blank", 99},    // an empty value is the default
        {"Quoted", 12}, {"Missing", 99},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(static_cast<int>(GetPrivateProfileInt("Numbers", c.key, 99, m_file.c_str())), c.expected) << c.key;
        EXPECT_EQ(qs::profile::ReadInt(m_file, "numbers", c.key, 99), c.expected) << c.key;
    }
}

TEST_F(ProfileTest, TruncatesLikeWindows) {
    WriteFile(m_file, "[ab]\nk=abcdef\nxy=1\n[cde]\n");
    struct Case {
        const char* section;
        const char* key;
        std::uint32_t size;
        std::string bytes;   // the buffer up to and including the terminating NUL(s)
        std::uint32_t result;
    };
    using namespace std::string_literals;
    const Case cases[] = {
        {"ab", "k", 7, "abcdef\0"s, 6},
        {"ab", "k", 6, "abcde\0"s, 5},                   // value: size-1 chars
        {"ab", "k", 1, "\0"s, 0},
        {nullptr, nullptr, 9, "ab\0cde\0\0"s, 7},        // fits: the count leaves out the last NUL
        {nullptr, nullptr, 8, "ab\0cde\0\0"s, 7},
        {nullptr, nullptr, 7, "ab\0cd\0\0"s, 5},         // list: cut, two NULs, size-2
        {nullptr, nullptr, 4, "ab\0\0"s, 2},
        {nullptr, nullptr, 3, "a\0\0"s, 1},
        {nullptr, nullptr, 2, "\0\0"s, 0},
        {"ab", nullptr, 6, "k\0xy\0\0"s, 5},
        {"ab", nullptr, 5, "k\0x\0\0"s, 3},
        {"cde", nullptr, 6, "dflt\0"s, 4},               // a section with no keys gives the default
    };
    for (const auto& c : cases) {
        std::vector<char> buf(c.size + 4, '#');
        std::uint32_t n = GetPrivateProfileString(c.section, c.key, "dflt", buf.data(), c.size, m_file.c_str());
        EXPECT_EQ(n, c.result) << (c.section ? c.section : "(null)") << " size " << c.size;
        EXPECT_EQ(std::string(buf.data(), c.bytes.size()), c.bytes)
            << (c.section ? c.section : "(null)") << " size " << c.size;
        EXPECT_EQ(buf[c.size], '#') << "wrote past the buffer, size " << c.size;
    }
    char untouched = '#';
    EXPECT_EQ(GetPrivateProfileString("ab", "k", "", &untouched, 0, m_file.c_str()), 0u);
    EXPECT_EQ(untouched, '#');
}

TEST_F(ProfileTest, EnumeratesSectionsAndKeys) {
    using V = std::vector<std::string>;
    EXPECT_EQ(qs::profile::Sections(m_file), (V{"Settings", "settings", "Numbers"}));
    EXPECT_EQ(qs::profile::Keys(m_file, "SETTINGS"),
              (V{"Files Path", "Key With #Hash", "Quoted", "Single", "Mismatched", "Lone", "Empty", "Bare",
                 "Twice", "twice"}));
    EXPECT_TRUE(qs::profile::Keys(m_file, "Nowhere").empty());
    EXPECT_TRUE(qs::profile::Sections(m_dir + "/nope.ini").empty());

    char buf[64];
    std::uint32_t n = GetPrivateProfileSection("Numbers", buf, 40, m_file.c_str());
    EXPECT_EQ(n, 38u);  // cut after 38 chars, then two NULs
    EXPECT_EQ(std::string(buf, 40), std::string("Plain=42\0Trailing=42abc\0Negative=-7\0Pl\0\0", 40));
}

TEST_F(ProfileTest, WritesEditInPlaceAndKeepTheRest) {
    WriteFile(m_file, "; head\n[A]\nOne = 1\n\n[B]\nx=1\n");
    ASSERT_TRUE(WritePrivateProfileString("a", "ONE", "uno", m_file.c_str()));
    EXPECT_EQ(ReadFile(m_file), "; head\n[A]\nOne=uno\n\n[B]\nx=1\n");   // spelling on disk kept
    ASSERT_TRUE(WritePrivateProfileString("A", "Two", " raw # value ", m_file.c_str()));
    EXPECT_EQ(ReadFile(m_file), "; head\n[A]\nOne=uno\nTwo= raw # value \n\n[B]\nx=1\n");
    EXPECT_EQ(qs::profile::ReadString(m_file, "a", "two"), "raw # value");
    ASSERT_TRUE(WritePrivateProfileString("C", "k", "v", m_file.c_str()));
    EXPECT_EQ(ReadFile(m_file), "; head\n[A]\nOne=uno\nTwo= raw # value \n\n[B]\nx=1\n[C]\nk=v\n");
    ASSERT_TRUE(WritePrivateProfileString("b", "X", nullptr, m_file.c_str()));   // null value: delete key
    ASSERT_TRUE(WritePrivateProfileString("a", nullptr, nullptr, m_file.c_str()));  // null key: delete section
    EXPECT_EQ(ReadFile(m_file), "; head\n[B]\n[C]\nk=v\n");
    // Deleting what is not there succeeds and changes nothing.
    EXPECT_TRUE(qs::profile::DeleteKey(m_file, "Z", "z"));
    EXPECT_TRUE(qs::profile::DeleteSection(m_file, "Z"));
    EXPECT_EQ(ReadFile(m_file), "; head\n[B]\n[C]\nk=v\n");

    // A file that came from Windows keeps its line ends.
    WriteFile(m_file, "[A]\r\nk=1\r\n");
    ASSERT_TRUE(qs::profile::WriteInt(m_file, "A", "n", 5));
    EXPECT_EQ(ReadFile(m_file), "[A]\r\nk=1\r\nn=5\r\n");
    EXPECT_EQ(qs::profile::ReadString(m_file, "A", "k"), "1");

    const char section[] = "p=1\0q = 2\0bare\0";
    ASSERT_TRUE(WritePrivateProfileSection("a", section, m_file.c_str()));
    EXPECT_EQ(ReadFile(m_file), "[A]\r\np=1\r\nq = 2\r\nbare\r\n");
}

TEST_F(ProfileTest, UntouchedLinesStayByteForByte) {
    // Each file gets one key written in section [W]; every other line must
    // come back exactly, whatever its line end.
    struct Case {
        const char* what;
        std::string before;
        std::string after;
    };
    const Case cases[] = {
        {"a stray CR before CR LF", "a\n[E]\r\r\n[W]\nk=1\n", "a\n[E]\r\r\n[W]\nk=2\n"},
        {"CR LF section in an LF file", "[W]\nk=1\n[D]\r\nx=1\r\n", "[W]\nk=2\n[D]\r\nx=1\r\n"},
        {"LF section in a CR LF file", "[D]\r\nx=1\r\n[W]\nk=1\n", "[D]\r\nx=1\r\n[W]\nk=2\n"},
        {"no end on the last line", "[D]\nx=1\n[W]\nk=1", "[D]\nx=1\n[W]\nk=2"},
        {"a line appended after an endless last line", "[W]\r\nj=0", "[W]\r\nj=0\r\nk=2\r\n"},
    };
    for (const Case& c : cases) {
        WriteFile(m_file, c.before);
        ASSERT_TRUE(WritePrivateProfileString("W", "k", "2", m_file.c_str())) << c.what;
        EXPECT_EQ(ReadFile(m_file), c.after) << c.what;
        EXPECT_EQ(qs::profile::ReadString(m_file, "W", "k"), "2") << c.what;
    }
}

TEST_F(ProfileTest, RefusesWhatCannotBeStored) {
    WriteFile(m_file, "[A]\nk=1\n");
    struct Case {
        const char* section;
        const char* key;
        const char* value;
    };
    const Case cases[] = {
        {"A", "k", "one\ntwo=injected"}, {"A", "a=b", "v"}, {"A", "line\nbreak", "v"}, {"x]y", "k", "v"},
        {"A", ";k", "v"}, {"A", "[k", "v"}, {"A", "  ", "v"}, {"", "k", "v"}, {nullptr, "k", "v"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WritePrivateProfileString(c.section, c.key, c.value, m_file.c_str()), 0)
            << (c.key ? c.key : "(null)");
    EXPECT_EQ(ReadFile(m_file), "[A]\nk=1\n");
    EXPECT_EQ(WritePrivateProfileSection("A", "x=1\0[B]\0", m_file.c_str()), 0);
    EXPECT_EQ(ReadFile(m_file), "[A]\nk=1\n");
}

TEST_F(ProfileTest, PlainNamesLiveInTheWindowsDirectoryAndAreCreatedOnFirstWrite) {
    std::string winDir = qs::test::MakeTempDir("win") + "/not-yet";
    qs::test::SetEnv("QS_WINDOWS_DIR", winDir);
    EXPECT_EQ(qs::profile::ResolvePath("qs.ini"), winDir + "/qs.ini");
    EXPECT_EQ(qs::profile::ReadString("qs.ini", "S", "k", "d"), "d");
    EXPECT_FALSE(std::filesystem::exists(winDir));
    ASSERT_TRUE(qs::profile::WriteString("qs.ini", "S", "k", "v"));
    EXPECT_EQ(ReadFile(winDir + "/qs.ini"), "[S]\nk=v\n");
    EXPECT_EQ(qs::profile::ReadString("qs.ini", "s", "K"), "v");
    // The same file whatever the case of its name, as on Windows.
    EXPECT_EQ(qs::profile::ResolvePath("QS.INI"), winDir + "/qs.ini");
    ASSERT_TRUE(qs::profile::WriteString("Qs.ini", "S", "k2", "v2"));
    EXPECT_EQ(ReadFile(winDir + "/qs.ini"), "[S]\nk=v\nk2=v2\n");
    EXPECT_EQ(qs::profile::ReadString(winDir + "/QS.ini", "S", "k2"), "v2");
    qs::test::SetEnv("QS_WINDOWS_DIR", qs::test::ProcessRoot() + "/windows");
}

TEST_F(ProfileTest, ReplacesTheFileAtomically) {
    chmod(m_file.c_str(), 0640);
    struct stat before {};
    ASSERT_EQ(stat(m_file.c_str(), &before), 0);
    ASSERT_TRUE(qs::profile::WriteString(m_file, "Settings", "Files Path", "/x"));
    struct stat after {};
    ASSERT_EQ(stat(m_file.c_str(), &after), 0);
    EXPECT_NE(before.st_ino, after.st_ino);            // a new file renamed over the old one
    EXPECT_EQ(after.st_mode & 07777, 0640u);           // keeping its permissions
    for (const auto& e : std::filesystem::directory_iterator(m_dir))  // no temp file left behind
        EXPECT_TRUE(e.path().filename() == "test.ini" || e.path().filename() == ".test.ini.lock") << e.path();

    // A reader running beside a writer sees either whole version, never a
    // torn file: every key, all from the same generation.
    auto sectionOf = [](char gen) {
        std::string s;
        for (int i = 0; i < 300; ++i) s += "key" + std::to_string(i) + "=" + std::string(40, gen) + '\0';
        return s + '\0';
    };
    const std::string a = sectionOf('a'), b = sectionOf('b');
    ASSERT_TRUE(WritePrivateProfileSection("Big", a.c_str(), m_file.c_str()));
    std::atomic<bool> done{false};
    std::thread writer([&] {
        for (int i = 0; i < 60; ++i) WritePrivateProfileSection("Big", (i % 2 ? a : b).c_str(), m_file.c_str());
        done = true;
    });
    int torn = 0;
    while (!done) {
        auto keys = qs::profile::Keys(m_file, "Big");
        std::string first = qs::profile::ReadString(m_file, "Big", "key0");
        if (keys.size() != 300 || first.size() != 40) ++torn;
    }
    writer.join();
    EXPECT_EQ(torn, 0);
}

TEST_F(ProfileTest, ConcurrentWritersInProcessesAndThreadsLoseNothing) {
    const int kProcesses = 4, kThreads = 2, kKeys = 25;
    std::vector<pid_t> children;
    for (int p = 0; p < kProcesses; ++p) {
        pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            std::vector<std::thread> threads;
            std::atomic<int> failures{0};
            for (int t = 0; t < kThreads; ++t)
                threads.emplace_back([&, t] {
                    for (int k = 0; k < kKeys; ++k) {
                        std::string key = "k" + std::to_string(p) + "_" + std::to_string(t) + "_" + std::to_string(k);
                        if (!qs::profile::WriteString(m_file, "Shared", key, std::to_string(k))) ++failures;
                    }
                });
            for (auto& th : threads) th.join();
            _exit(failures == 0 ? 0 : 1);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    EXPECT_EQ(qs::profile::Keys(m_file, "Shared").size(), size_t(kProcesses * kThreads * kKeys));
    EXPECT_EQ(qs::profile::ReadString(m_file, "Settings", "Files Path"), "/data/files");  // untouched
}

}  // namespace
