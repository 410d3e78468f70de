// The record stores of a database project on both engines: templates,
// profile data and factor libraries, and two connections saving one record.
#include <QSqlQuery>

#include "CDataObject.h"
#include "CFSLib.h"
#include "CProject.h"
#include "DatabaseTestFixture.h"
#include "DatabaseVantor.h"
#include "FactorLibraryStore.h"
#include "ProjectRecords.h"

using namespace qs::db;
using qs::test::DatabaseTest;

namespace {

constexpr QSID kPaid = 101000001;  // Paid Loss, an entered triangle

std::unique_ptr<CProject> NewProject(std::uint16_t rows = 5) {
    auto p = std::make_unique<CProject>();
    std::uint16_t gen = 5, firstYear = 2015, interval = 1, firstAge = 12, numDev = rows;
    PRDLENGTH len = PRD_YEAR;
    LAYERNAMES c1 = GROSS, c2 = ASSUMED;
    if (p->Create(gen, rows, len, firstYear, interval, numDev, len, firstAge, c1, c2) != 0) return nullptr;
    return p;
}

double Cell(CProject& p, int r, int c) {
    double v = 0;
    std::uint8_t f = 0;
    p.FindDataObject(kPaid, NET)->GetAt(r, c, v, f);
    return (f & CDataObject::CF_VALUE) ? v : -1;
}

void Put(CProject& p, int r, int c, double v) { ASSERT_EQ(p.FindDataObject(kPaid, NET)->SetAt(r, c, v), 0); }

class RecordStoresTest : public DatabaseTest {
protected:
    void SetUp() override {
        DatabaseTest::SetUp();
        if (HasFatalFailure()) return;
        m_login = AddAnalyst("ann", "Auto", "/Auto/East");
        InstallProjectBinder();
    }
    // A project bound to a connection of the analyst; its facade.
    struct Session {
        std::shared_ptr<DatabaseManager> db;
        std::unique_ptr<CProject> project;
        DatabaseVantor* vantor = nullptr;
        TemplateStore& Template() { return vantor->Template(); }
        ProfileDataStore& Data() { return vantor->Data(); }
        ~Session() {
            if (db && project) db->ReleaseProject(project.get());
        }
    };
    std::unique_ptr<Session> Open() {
        auto s = std::make_unique<Session>();
        s->db = Connect(m_login);
        s->project = NewProject();
        if (!s->db || !s->project || s->project->InitProjectWithDBManager(s->db.get()) != 0) return nullptr;
        s->vantor = dynamic_cast<DatabaseVantor*>(s->project->GetCKDVVantor());
        return s;
    }
    // A stored template "Auto" and data for /Auto/East at 12/31/2024.
    long StoreTemplateAndData() {
        auto s = Open();
        EXPECT_TRUE(s);
        s->Template().SetName("Auto");
        EXPECT_TRUE(s->Template().SaveAs(true)) << s->Template().GetLastError();
        Put(*s->project, 0, 0, 100);
        s->Data().SetProfile("/Auto/East");
        s->Data().SetEvalDate(45657);
        EXPECT_TRUE(s->Data().SaveAs(true)) << s->Data().GetLastError();
        return s->Template().GetID();
    }
    QString m_login;
};

TEST_P(RecordStoresTest, TemplateRoundTripKeepsStructureWithoutNumbers) {
    auto s = Open();
    ASSERT_TRUE(s);
    ASSERT_TRUE(s->project->GetCKDVVantor());
    EXPECT_EQ(s->project->Mode(), RM_DATABASE);
    Put(*s->project, 1, 1, 42);
    s->Template().SetName("Workers Comp");
    s->Template().SetDescription("all states");
    ASSERT_TRUE(s->Template().SaveAs(true)) << s->Template().GetLastError();
    EXPECT_GT(s->Template().GetID(), 0);
    EXPECT_FALSE(s->Template().HasTemplateChanged());

    auto t = Open();
    ASSERT_TRUE(t);
    t->Template().SetID(s->Template().GetID());
    ASSERT_TRUE(t->Template().Load()) << t->Template().GetLastError();
    EXPECT_EQ(t->Template().GetName(), "Workers Comp");
    EXPECT_EQ(t->Template().GetDescription(), "all states");
    EXPECT_EQ(Cell(*t->project, 1, 1), -1);  // the numbers belong to profiles
    EXPECT_FALSE(t->Template().HasTemplateChanged());
    EXPECT_FALSE(t->Data().HasDataChanged());
    Put(*t->project, 1, 1, 5);
    EXPECT_FALSE(t->Template().HasTemplateChanged());  // data is not structure
    EXPECT_TRUE(t->Data().HasDataChanged());
}

TEST_P(RecordStoresTest, TemplateNamesAreUnique) {
    StoreTemplateAndData();
    auto s = Open();
    ASSERT_TRUE(s);
    long id = 0;
    EXPECT_TRUE(s->Template().CheckForTemplateNameInUse("Auto", id));
    EXPECT_GT(id, 0);
    EXPECT_FALSE(s->Template().CheckForTemplateNameInUse("auto", id));  // letter case counts
    s->Template().SetName("Auto");
    EXPECT_FALSE(s->Template().SaveAs(true));
    EXPECT_NE(s->Template().GetLastError().find("Another template"), std::string::npos);
}

TEST_P(RecordStoresTest, ProfileDataRoundTrip) {
    const long templ = StoreTemplateAndData();
    auto s = Open();
    ASSERT_TRUE(s);
    s->Template().SetID(templ);
    ASSERT_TRUE(s->Template().Load());
    s->Data().SetProfile("/Auto/East");
    s->Data().SetEvalDate(45657);
    ASSERT_TRUE(s->Data().Load()) << s->Data().GetLastError();
    EXPECT_EQ(Cell(*s->project, 0, 0), 100);
    EXPECT_EQ(s->Data().GetProfileDisplayName(), "Auto/East");
    EXPECT_FALSE(s->Data().HasDataChanged());
    EXPECT_FALSE(s->Data().HasStructureChanged());
    Put(*s->project, 0, 1, 7);
    ASSERT_TRUE(s->Data().Save()) << s->Data().GetLastError();

    auto t = Open();
    t->Template().SetID(templ);
    ASSERT_TRUE(t->Template().Load());
    t->Data().SetProfile("/Auto/East");
    t->Data().SetEvalDate(45657);
    ASSERT_TRUE(t->Data().Load());
    EXPECT_EQ(Cell(*t->project, 0, 1), 7);
    double suggested = 0;
    t->Data().SetEvalDate(-1);
    EXPECT_TRUE(t->Data().SuggestEvalDateWhenNotAvailable(suggested));
    EXPECT_EQ(suggested, 45657);
    t->Data().SetProfile("/Auto/West");
    EXPECT_FALSE(t->Data().SuggestEvalDateWhenNotAvailable(suggested));
}

TEST_P(RecordStoresTest, DataOfAnotherShapeIsRefusedAndChangesNothing) {
    const long templ = StoreTemplateAndData();
    auto s = Open();
    s->Template().SetID(templ);
    ASSERT_TRUE(s->Template().Load());
    s->Data().SetProfile("/Auto/East");
    s->Data().SetEvalDate(45657);
    ASSERT_TRUE(s->Data().Load());
    const QByteArray before = EncodeProfileData(*s->project);
    auto other = NewProject(7);
    EXPECT_FALSE(DecodeProfileData(EncodeProfileData(*other), *s->project));
    EXPECT_FALSE(DecodeProfileData(before.left(before.size() / 2), *s->project));
    EXPECT_EQ(EncodeProfileData(*s->project), before);
}

TEST_P(RecordStoresTest, SecondOfTwoConcurrentTemplateSavesIsTold) {
    const long templ = StoreTemplateAndData();
    auto a = Open();
    auto b = Open();
    for (auto* s : {a.get(), b.get()}) {
        s->Template().SetID(templ);
        ASSERT_TRUE(s->Template().Load());
    }
    a->Template().SetDescription("first");
    ASSERT_TRUE(a->Template().Save()) << a->Template().GetLastError();
    b->Template().SetDescription("second");
    EXPECT_FALSE(b->Template().Save());
    EXPECT_NE(b->Template().GetLastError().find("changed by another user"), std::string::npos);
    auto c = Open();
    c->Template().SetID(templ);
    ASSERT_TRUE(c->Template().Load());
    EXPECT_EQ(c->Template().GetDescription(), "first");
    // Loaded afresh, the second user's save goes through.
    ASSERT_TRUE(b->Template().Load());
    b->Template().SetDescription("second");
    EXPECT_TRUE(b->Template().Save()) << b->Template().GetLastError();
}

TEST_P(RecordStoresTest, SecondOfTwoConcurrentDataSavesIsTold) {
    const long templ = StoreTemplateAndData();
    auto a = Open();
    auto b = Open();
    for (auto* s : {a.get(), b.get()}) {
        s->Template().SetID(templ);
        ASSERT_TRUE(s->Template().Load());
        s->Data().SetProfile("/Auto/East");
        s->Data().SetEvalDate(45657);
        ASSERT_TRUE(s->Data().Load());
    }
    Put(*a->project, 2, 0, 1);
    Put(*b->project, 2, 0, 2);
    ASSERT_TRUE(a->Data().Save()) << a->Data().GetLastError();
    EXPECT_FALSE(b->Data().Save());
    EXPECT_NE(b->Data().GetLastError().find("changed or removed by another user"), std::string::npos);
    auto c = Open();
    c->Template().SetID(templ);
    ASSERT_TRUE(c->Template().Load());
    c->Data().SetProfile("/Auto/East");
    c->Data().SetEvalDate(45657);
    ASSERT_TRUE(c->Data().Load());
    EXPECT_EQ(Cell(*c->project, 2, 0), 1);
}

TEST_P(RecordStoresTest, SaveDataToAsksTheGroupQuery) {
    const long templ = StoreTemplateAndData();
    auto s = Open();
    s->Template().SetID(templ);
    ASSERT_TRUE(s->Template().Load());
    s->Data().SetProfile("/Auto/East");
    s->Data().SetEvalDate(45657);
    ASSERT_TRUE(s->Data().Load());
    int flag = 0;
    EXPECT_TRUE(s->Data().SaveDataTo("/Auto/West", "12/31/2024", flag));
    EXPECT_EQ(flag, 1);  // the group's query does not admit West
    ASSERT_TRUE(Admin().SetGroupQuery("Auto", "/Auto/East;/Auto/West"));
    EXPECT_TRUE(s->Data().SaveDataTo("/Auto/West", "12/31/2024", flag)) << s->Data().GetLastError();
    EXPECT_EQ(flag, 0);
    EXPECT_EQ(s->Data().GetProfile(), "/Auto/East");  // the copy does not move the data
    EXPECT_FALSE(s->Data().SaveDataTo("/Auto/West", "31.12.2024", flag));
}

TEST_P(RecordStoresTest, FactorLibrariesRoundTrip) {
    auto db = Connect(m_login);
    ASSERT_TRUE(db);
    CFSLib lib;
    lib.SetName("Industry");
    lib.SetDescription("published");
    CFactorSet set;
    set.SetName("Auto 2024");
    ASSERT_EQ(lib.AddFactorSet(set), 0);
    auto* store = dynamic_cast<FactorLibraryStore*>(db->GetDevFactLibrary());
    ASSERT_TRUE(store);
    long id = 0;
    ASSERT_TRUE(store->SaveLibrary(lib, id));
    CFSLib loaded;
    ASSERT_EQ(loaded.InitProjectWithDBManager(db.get()), 0);
    EXPECT_FALSE(loaded.GetDFLfromDB("Nothing"));
    ASSERT_TRUE(loaded.GetDFLfromDB("industry"));  // case ignored
    EXPECT_EQ(loaded.GetID(), id);
    ASSERT_TRUE(loaded.LoadFactorSetsFromDB(id));
    CFactorSet* got = nullptr;
    loaded.GetFactorSet("AUTO 2024", got);
    EXPECT_TRUE(got != nullptr);
    ASSERT_TRUE(store->DeleteFactorSet(id, "auto 2024"));
    EXPECT_FALSE(loaded.LoadFactorSetsFromDB(id));  // no sets left
}

QS_INSTANTIATE_ENGINES(RecordStoresTest);

}  // namespace
