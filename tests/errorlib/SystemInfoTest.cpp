// The edition the library takes from the files beside it.
#include <gtest/gtest.h>

#include "FaultboxSystemInfo.h"
#include "TestEnvironment.h"

namespace {

TEST(FaultboxSystemInfo, EnterpriseSnapInBesideTheLibraryMeansTheEnterpriseEdition) {
    const std::string plain = qs::test::MakeTempDir("lib");
    EXPECT_EQ(faultbox::EditionForLibraryDirectory(plain), "QUILLSTONE");
    const std::string beside = qs::test::MakeTempDir("lib");
    qs::test::WriteFile(beside + "/QuillstoneEnterpriseSnapin.dll", "");
    EXPECT_EQ(faultbox::EditionForLibraryDirectory(beside), "QSEE");
}

}  // namespace
