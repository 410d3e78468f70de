// Print fields, headings and the database binding of a project.
#include <gtest/gtest.h>

#include "CHDate.h"
#include "CKDVVantor.h"
#include "CMethod.h"
#include "FakeDatabase.h"
#include "ProjectFixture.h"

namespace {

// A profile named "West Region" with no evaluation date yet, and no template.
struct FakeVantor : qs::test::FakeDatabase {
    FakeVantor() {
        data.profile = "West Region";
        data.eval = -1;
        hasTemplate = false;
    }
};

TEST(ProjectServices, FileProjectHasNoDatabaseTexts) {
    auto p = MakeTestProject();
    EXPECT_EQ(p->Mode(), RM_FILE);
    EXPECT_EQ(p->GetCKDVVantor(), nullptr);
    EXPECT_EQ(p->GetDBManager(), nullptr);
    EXPECT_EQ(p->GetProfileName(), "");
    EXPECT_EQ(p->GetExhibitLabel(), "");
    EXPECT_EQ(p->ClassItemMapLookup("Query"), "");
}

TEST(ProjectServices, BoundDatabaseGivesProfileAndExhibitLabel) {
    auto p = MakeTestProject();
    FakeVantor v;
    p->BindDatabase(&v, nullptr);
    EXPECT_EQ(p->Mode(), RM_DATABASE);
    EXPECT_EQ(p->GetCKDVVantor(), &v);
    EXPECT_EQ(p->GetProfileName(), "West Region");
    EXPECT_EQ(p->GetExhibitLabel(), "West Region");  // no evaluation date yet
    CHDate d;
    d.SetDate(2020, 12, 31);
    v.data.eval = d.GetSerial();
    EXPECT_EQ(p->GetExhibitLabel(), "West Region ( 12/31/2020 )");
    p->BindDatabase(nullptr, nullptr);
    EXPECT_EQ(p->Mode(), RM_FILE);
    EXPECT_EQ(p->GetProfileName(), "");
}

TEST(ProjectServices, BindingToADatabaseManagerNeedsTheEnterpriseLayer) {
    auto p = MakeTestProject();
    struct Manager : IKDVDatabaseManager {} manager;
    EXPECT_LT(p->InitProjectWithDBManager(nullptr), 0);
    EXPECT_LT(p->InitProjectWithDBManager(&manager), 0);  // no enterprise layer in this build
    EXPECT_EQ(p->Mode(), RM_FILE);
    FakeVantor v;
    CProject::SetDatabaseBinder([&](CProject&, IKDVDatabaseManager* m) { return m == &manager ? &v : nullptr; });
    struct Other : IKDVDatabaseManager {} other;
    EXPECT_LT(p->InitProjectWithDBManager(&other), 0);  // the layer refuses it
    EXPECT_EQ(p->GetDBManager(), nullptr);
    EXPECT_EQ(p->InitProjectWithDBManager(&manager), 0);
    EXPECT_EQ(p->Mode(), RM_DATABASE);
    EXPECT_EQ(p->GetCKDVVantor(), &v);
    EXPECT_EQ(p->GetDBManager(), &manager);
    CProject::SetDatabaseBinder(nullptr);
}

TEST(ProjectServices, TheProjectReportsItsFileName) {
    auto p = MakeTestProject();
    const CFormula& asObject = *p;
    EXPECT_EQ(asObject.GetIDName(0), "");
    p->SetFileName("/data/projects/West 2020.qs5");
    EXPECT_EQ(asObject.GetIDName(0), "West 2020.qs5");
    p->SetFileName("C:\\Quillstone\\East.qs5");
    EXPECT_EQ(asObject.GetIDName(0), "East.qs5");
}

TEST(ProjectServices, HeadingsOfUltimatesAndObjects) {
    auto p = MakeTestProject();
    std::string h;
    ASSERT_EQ(p->CreateHeader(101000023, h), 0);
    EXPECT_FALSE(h.empty());
    std::string name;
    p->GetLongNameFromID(101000023, name);
    EXPECT_EQ(h, name);
    CMethod proto;
    proto.SetIDLongName("Paid development");
    QSID id = 0;
    ASSERT_EQ(p->AddNewObject(proto, id), 0);
    const QSID ult = MakeID(GetIDDOType(id) - 2, 1, NET, 2, GetIDIndex(id));
    ASSERT_EQ(p->CreateHeader(ult, h), 0);
    EXPECT_EQ(h, "Paid development");
    EXPECT_NE(p->CreateHeader(MakeID(2, 1, 0, 0, 900), h), 0);
    EXPECT_EQ(h, "");
}

TEST(ProjectServices, PrintTitlesUseTheFieldsThePrintExpansionKnows) {
    auto p = MakeTestProject();
    const CPageSetup& ps = p->GetPageSetup();
    EXPECT_EQ(ps.m_HeaderStrings, (std::vector<std::string>{"&[Company Name]", "", "&[Print Date]"}));
    EXPECT_EQ(ps.m_FooterStrings, (std::vector<std::string>{"&[File Name]", "", "Page &[Page]"}));
    EXPECT_EQ(ps.m_TitleStrings, (std::vector<std::string>{"", "&[Table Name]", ""}));
    p->SetModifiedFlag(false);
    ASSERT_EQ(p->SetQSEEPrintTitles(), 0);
    EXPECT_TRUE(p->IsModified());
    EXPECT_EQ(ps.m_HeaderStrings, (std::vector<std::string>{"&[Company Name]", "&[Query]", "&[Evaluation Date]"}));
    EXPECT_EQ(ps.m_FooterStrings, (std::vector<std::string>{"&[Exhibit Label]", "", "Page &[Page]"}));
}

}  // namespace
