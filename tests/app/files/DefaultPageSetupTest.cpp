// The page settings new projects start with: the user's stored defaults
// when the working directory holds a readable defaults file, else the
// kernel's own.
#include <gtest/gtest.h>

#include <vector>

#include "CArchive.h"
#include "CFile.h"
#include "TestEnvironment.h"
#include "files/DefaultPageSetup.h"

namespace {

std::string Stored(const CPageSetup& setup) {
    std::vector<std::uint8_t> bytes;
    CArchive ar(bytes, CArchive::store);
    CPageSetup copy(setup);
    copy.Serialize(ar);
    ar.Close();
    return std::string(bytes.begin(), bytes.end());
}

TEST(DefaultPageSetup, StoredDefaultsAreTakenAnUnreadableFileLeavesTheKernelDefaults) {
    CPageSetup saved;
    saved.m_dLeftMargin = 1.25;
    saved.m_nScalePercent = 80;
    saved.m_FooterStrings[2] = "Page &[Page]";
    const std::string good = Stored(saved);
    struct Case {
        const char* label;
        const char* name;  // nullptr: no file
        std::string content;
        bool takesStored;
    };
    const std::vector<Case> cases{
        {"no file", nullptr, "", false},
        {"empty file (as installed)", "pagesetup.def", "", false},
        {"cut short", "PageSetup.def", good.substr(0, good.size() / 2), false},
        {"not a page setup", "PageSetup.def", std::string(64, '\x7f'), false},
        {"stored defaults", "PageSetup.def", good, true},
        {"stored defaults, other spelling", "PAGESETUP.DEF", good, true},
    };
    for (const Case& c : cases) {
        const std::string dir = qs::test::MakeTempDir("pagesetup");
        if (c.name != nullptr) qs::test::WriteFile(dir + "/" + c.name, c.content);
        const CPageSetup loaded = qs::app::LoadDefaultPageSetup(dir);
        EXPECT_TRUE(loaded == (c.takesStored ? saved : CPageSetup())) << c.label;
        EXPECT_EQ(CPageSetup::CPageSetupVersion, 0) << c.label;
    }
    EXPECT_TRUE(qs::app::LoadDefaultPageSetup("") == CPageSetup());
}

}  // namespace
