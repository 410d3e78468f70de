// The project document in database mode, on both engines: binding, rights,
// group queries, templates (Save Template, Save Template As, the close
// prompt, the factor-set check on load) and profile data (Save Data, Save
// Data As, the close prompt), and two users saving one record at once.
#include <QWidget>

#include <deque>

#include "CDataObject.h"
#include "CFSLib.h"
#include "CFactorSet.h"
#include "CKDVVantor.h"
#include "CProject.h"
#include "CProjectDoc.h"
#include "DatabaseTestFixture.h"
#include "DatabaseVantor.h"
#include "FactorLibraryStore.h"
#include "KernelGlobals.h"
#include "KernelIds.h"
#include "MethodTemplates.h"
#include "MessageBox.h"
#include "ProjectHost.h"

using namespace qs::db;
using qs::project::Host;
using qs::test::DatabaseTest;

namespace {

constexpr QSID kPaid = 101000001;  // an entered triangle
constexpr double kEval = 45657;    // 12/31/2024

bool MakeProject(CProject& p) {
    std::uint16_t gen = 5, numExp = 5, firstYear = 2020, interval = 1, numDev = 5, firstAge = 12;
    PRDLENGTH len = PRD_YEAR, devLen = PRD_YEAR;
    LAYERNAMES c1 = GROSS, c2 = ASSUMED;
    return p.Create(gen, numExp, len, firstYear, interval, numDev, devLen, firstAge, c1, c2) == 0;
}

double Cell(CProject& p, int r, int c) {
    double v = 0;
    std::uint8_t f = 0;
    p.FindDataObject(kPaid, NET)->GetAt(r, c, v, f);
    return (f & CDataObject::CF_VALUE) ? v : -1;
}

class ProjectDocDatabaseTest : public DatabaseTest {
protected:
    void SetUp() override {
        DatabaseTest::SetUp();
        if (HasFatalFailure()) return;
        InstallProjectBinder();
        m_savedHost = Host();
        gSecAttribs = QSSecAttribs{};
        Host().applicationMode = [this] { return m_mode; };
        Host().setApplicationMode = [this](int mode) { m_mode = mode; };
        Host().isInteractive = [this] { return m_interactive; };
        Host().setInteractive = [this](bool on) { m_interactive = on; };
        Host().saveTemplateAsDialog = [this](QString& name, QString& description) {
            m_dialogNames.push_back(name);
            if (m_templateNames.empty()) return false;  // Cancel
            name = m_templateNames.front();
            m_templateNames.pop_front();
            description = "by test";
            return true;
        };
        Host().chooseProfile = [this](DatabaseManager&, QString& profile, double& date) {
            m_offeredProfile = profile;
            m_offeredDate = date;
            if (m_chosenProfile.isEmpty()) return false;
            profile = m_chosenProfile;
            date = kEval;
            return true;
        };
        m_main.show();
        qs::fw::SetMainWindow(&m_main);
        m_login = AddAnalyst("ann", "Auto", "/Auto/East;/Auto/West");
    }
    void TearDown() override {
        qs::fw::SetMainWindow(nullptr);
        Host() = m_savedHost;
        gSecAttribs = QSSecAttribs{};
        DatabaseTest::TearDown();
    }

    // A document with a new project, bound to a fresh connection of the analyst.
    std::unique_ptr<CProjectDoc> BoundDoc() {
        auto doc = std::make_unique<CProjectDoc>();
        EXPECT_TRUE(MakeProject(*doc->GetProject()));
        std::shared_ptr<IKDVDatabaseManager> manager = Connect(m_login);
        EXPECT_GE(doc->InitWithDatabaseManager(&manager), 0);
        return doc;
    }
    static DatabaseVantor& Vantor(CProjectDoc& doc) {
        return *dynamic_cast<DatabaseVantor*>(doc.GetProject()->GetCKDVVantor());
    }
    // Stores the document's project as a new template under name (application mode 2 -> 3).
    void StoreTemplate(CProjectDoc& doc, const QString& name) {
        m_mode = 2;
        m_templateNames = {name};
        qs::fw::MessageBoxScript boxes;
        ASSERT_TRUE(doc.SaveTemplateAs()) << boxes.Texts().join("|").toStdString();
        EXPECT_EQ(m_mode, 3);
    }
    // A document on the stored template with the profile's data loaded.
    std::unique_ptr<CProjectDoc> LoadedDoc(long templateId, const QString& profile) {
        auto doc = BoundDoc();
        Vantor(*doc).Template().SetID(templateId);
        EXPECT_TRUE(Vantor(*doc).Template().Load());
        Vantor(*doc).Data().SetProfile(profile.toStdString());
        Vantor(*doc).Data().SetEvalDate(kEval);
        Vantor(*doc).Data().Load();
        doc->RefreshGroupQueryFlag(profile);
        m_mode = 1;
        return doc;
    }
    // A stored template "Auto" with East's data stored; its id.
    long TemplateWithData() {
        auto doc = BoundDoc();
        StoreTemplate(*doc, "Auto");
        Vantor(*doc).Data().SetProfile("/Auto/East");
        Vantor(*doc).Data().SetEvalDate(kEval);
        doc->GetProject()->FindDataObject(kPaid, NET)->SetAt(0, 0, 100);
        EXPECT_TRUE(Vantor(*doc).Data().SaveAs(true));
        return Vantor(*doc).Template().GetID();
    }

    QWidget m_main;
    qs::project::ProjectHost m_savedHost;
    int m_mode = 0;
    bool m_interactive = true;
    std::deque<QString> m_templateNames;
    std::vector<QString> m_dialogNames;
    QString m_chosenProfile, m_offeredProfile;
    double m_offeredDate = 0;
    QString m_login;
};

// ---------------------------------------------------------------- binding and rights

TEST_P(ProjectDocDatabaseTest, BindingTakesTheLoginAndEndsInteractiveUseOnlyOnSuccess) {
    CProjectDoc doc;
    ASSERT_TRUE(MakeProject(*doc.GetProject()));
    std::shared_ptr<IKDVDatabaseManager> none;
    EXPECT_LT(doc.InitWithDatabaseManager(&none), 0);
    EXPECT_LT(doc.InitWithDatabaseManager(nullptr), 0);
    EXPECT_TRUE(m_interactive);
    // An account the database does not know: bound to nothing it may use.
    ASSERT_TRUE(Admin().RemoveUser(m_login));
    QString error;
    std::shared_ptr<IKDVDatabaseManager> stranger = DatabaseManager::Open(SettingsOf(m_login), false, &error);
    ASSERT_TRUE(stranger) << error.toStdString();
    EXPECT_LT(doc.InitWithDatabaseManager(&stranger), 0);
    EXPECT_TRUE(m_interactive);
    BOOL allowed = TRUE;
    EXPECT_TRUE(doc.RefreshGroupQueryFlag("/Auto/East") == FALSE);  // no connection: file rules

    m_login = AddAnalyst("ann2", "Auto2", "/Auto/East");
    auto bound = BoundDoc();
    EXPECT_FALSE(m_interactive);
    EXPECT_EQ(bound->GetProject()->Mode(), RM_DATABASE);
    EXPECT_GT(gSecAttribs.userId, 0);
    EXPECT_EQ(gSecAttribs.activeGroup, 1);
    EXPECT_TRUE(bound->CheckPermission(kKindTemplates, kPermissionUpdate, allowed));
    EXPECT_TRUE(allowed);
}

TEST_P(ProjectDocDatabaseTest, PermissionsComeFromTheRightsTables) {
    auto doc = BoundDoc();
    BOOL allowed = FALSE;
    ASSERT_TRUE(doc->CheckPermission(kKindTemplates, kPermissionUpdate, allowed));
    EXPECT_TRUE(allowed);
    ASSERT_TRUE(Admin().Grant("Auto", kKindTemplates, kPermissionRead));
    ASSERT_TRUE(doc->CheckPermission(kKindTemplates, kPermissionUpdate, allowed));
    EXPECT_FALSE(allowed);
    doc->RefreshTemplateWriteAccess();
    EXPECT_FALSE(doc->TemplateWriteFlag());
    // A level of 0 allows without asking; below 0 refuses.
    gSecAttribs.accessLevels[kKindTemplates] = 0;
    ASSERT_TRUE(doc->CheckPermission(kKindTemplates, kPermissionUpdate, allowed));
    EXPECT_TRUE(allowed);
    gSecAttribs.accessLevels[kKindTemplates] = -1;
    ASSERT_TRUE(doc->CheckPermission(kKindTemplates, kPermissionUpdate, allowed));
    EXPECT_FALSE(allowed);
    ASSERT_TRUE(doc->CheckObjectPermission(0, kKindTemplates, kPermissionUpdate, allowed));
    EXPECT_TRUE(allowed);
    ASSERT_TRUE(doc->CheckObjectPermission(-4, kKindTemplates, kPermissionUpdate, allowed));
    EXPECT_FALSE(allowed);
    // A file project allows everything.
    CProjectDoc file;
    ASSERT_TRUE(file.CheckPermission(kKindTemplates, kPermissionUpdate, allowed));
    EXPECT_TRUE(allowed);
}

TEST_P(ProjectDocDatabaseTest, GroupQueryFlagFollowsTheActiveGroupsQuery) {
    auto doc = BoundDoc();
    EXPECT_TRUE(doc->RefreshGroupQueryFlag("/Auto/East"));
    EXPECT_TRUE(doc->GroupQueryFlag());
    EXPECT_TRUE(doc->RefreshGroupQueryFlag("/Home/East"));
    EXPECT_FALSE(doc->GroupQueryFlag());
    gSecAttribs.activeGroup = 0;  // not logged in to a group: the query says nothing
    EXPECT_TRUE(doc->RefreshGroupQueryFlag("/Auto/East"));
    EXPECT_FALSE(doc->GroupQueryFlag());
    CProjectDoc file;
    EXPECT_FALSE(file.RefreshGroupQueryFlag("/Auto/East"));
}

// ---------------------------------------------------------------- templates

TEST_P(ProjectDocDatabaseTest, ProjectFromATemplateCarriesItsStructureAndItsProfilesData) {
    const long id = TemplateWithData();
    auto doc = LoadedDoc(id, "/Auto/East");
    EXPECT_EQ(Vantor(*doc).Template().GetName(), "Auto");
    EXPECT_EQ(Cell(*doc->GetProject(), 0, 0), 100);
    int state = -1;
    ASSERT_TRUE(doc->GetModifiedState(state));
    EXPECT_EQ(state, 0);
    doc->GetProject()->FindDataObject(kPaid, NET)->SetAt(1, 0, 5);
    BOOL dataChanged = FALSE;
    ASSERT_TRUE(doc->GetModifiedStateEx(state, dataChanged));
    EXPECT_EQ(state, 2);
    EXPECT_TRUE(dataChanged);
}

TEST_P(ProjectDocDatabaseTest, SaveTemplateAsProposesTheTitleWithoutItsExtension) {
    auto doc = BoundDoc();
    doc->SetTitle("Casualty.QS5");
    m_mode = 2;
    EXPECT_FALSE(doc->SaveTemplateAs());  // cancelled
    ASSERT_EQ(m_dialogNames.size(), 1u);
    EXPECT_EQ(m_dialogNames[0], "Casualty");
    doc->SetTitle("");
    EXPECT_FALSE(doc->SaveTemplateAs());
    EXPECT_EQ(m_dialogNames.back(), "New Template");
    gSecAttribs.activeGroup = 0;
    qs::fw::MessageBoxScript boxes;
    EXPECT_FALSE(doc->SaveTemplateAs());
    EXPECT_TRUE(boxes.Last().text.startsWith("You must log in to a group"));
}

TEST_P(ProjectDocDatabaseTest, NameInUseWithTheUpdateRightIsOverwrittenOnYes) {
    const long existing = TemplateWithData();
    auto doc = BoundDoc();
    m_mode = 2;
    m_templateNames = {"Auto"};
    qs::fw::MessageBoxScript boxes({IDYES});
    ASSERT_TRUE(doc->SaveTemplateAs());
    EXPECT_EQ(boxes.Boxes()[0].text, "Template [Auto] exists. Do you want to overwrite?");
    EXPECT_EQ(Vantor(*doc).Template().GetID(), existing);
    EXPECT_EQ(m_mode, 3);
}

TEST_P(ProjectDocDatabaseTest, NameInUseWithoutTheUpdateRightIsRefusedAndTheDialogComesBack) {
    TemplateWithData();
    ASSERT_TRUE(Admin().Grant("Auto", kKindTemplates, kPermissionRead));
    auto doc = BoundDoc();
    Vantor(*doc).Template().SetName("Mine");
    m_dialogNames.clear();
    m_mode = 2;
    m_templateNames = {"Auto"};  // then Cancel
    qs::fw::MessageBoxScript boxes({IDOK});
    EXPECT_FALSE(doc->SaveTemplateAs());
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_TRUE(boxes.Last().text.startsWith("Template [Auto] exists but you have not been granted permission"));
    ASSERT_EQ(m_dialogNames.size(), 2u);
    EXPECT_EQ(m_dialogNames[1], "Auto");  // the entered name comes back
    // Cancelling leaves the template as it was, not renamed.
    EXPECT_EQ(Vantor(*doc).Template().GetName(), "Mine");
    EXPECT_LE(Vantor(*doc).Template().GetID(), 0);
}

TEST_P(ProjectDocDatabaseTest, SaveTemplateNeedsTheUpdateRightAndStoresInPlace) {
    const long id = TemplateWithData();
    auto doc = LoadedDoc(id, "/Auto/East");
    m_mode = 3;
    Vantor(*doc).Template().SetDescription("changed");
    EXPECT_TRUE(doc->SaveTemplate());
    ASSERT_TRUE(Admin().Grant("Auto", kKindTemplates, kPermissionRead));
    qs::fw::MessageBoxScript boxes;
    EXPECT_FALSE(doc->SaveTemplate());
    EXPECT_TRUE(boxes.Last().text.startsWith("You have not been granted permission to perform this task"));
}

TEST_P(ProjectDocDatabaseTest, SaveTemplateOfADeletedTemplateSavesItAsNew) {
    const long id = TemplateWithData();
    auto doc = LoadedDoc(id, "/Auto/East");
    ASSERT_TRUE(AdminDb().FindRecord("TEMPLATE_TBL", "TEMPLATE_ID", id) == kOk);
    QSqlQuery q;
    ASSERT_TRUE(AdminDb().Exec(q, "DELETE FROM TEMPLATE_TBL WHERE TEMPLATE_ID = ?", {int(id)}));
    m_mode = 3;
    m_templateNames = {"Auto again"};
    EXPECT_TRUE(doc->SaveTemplate());
    EXPECT_NE(Vantor(*doc).Template().GetID(), id);
}

TEST_P(ProjectDocDatabaseTest, ClosePromptForANewTemplate) {
    auto doc = BoundDoc();
    m_mode = 2;
    Vantor(*doc).Template().SetName("DUPLICATE - Auto");
    {
        qs::fw::MessageBoxScript boxes({IDCANCEL});
        EXPECT_EQ(doc->PromptSaveTemplate(), 1);  // Cancel stops the close
        EXPECT_EQ(boxes.Last().text, "Template [DUPLICATE - Auto] is new.  Do you want to save it?");
    }
    {
        qs::fw::MessageBoxScript boxes({IDNO});
        EXPECT_EQ(doc->PromptSaveTemplate(), 0);
    }
    m_templateNames = {"Auto copy"};
    qs::fw::MessageBoxScript boxes({IDYES});
    EXPECT_EQ(doc->PromptSaveTemplate(), 0);
    EXPECT_GT(Vantor(*doc).Template().GetID(), 0);
}

TEST_P(ProjectDocDatabaseTest, ClosePromptForAChangedTemplateWithoutTheRight) {
    const long id = TemplateWithData();
    auto doc = LoadedDoc(id, "/Auto/East");
    m_mode = 3;
    {
        qs::fw::MessageBoxScript boxes;
        EXPECT_EQ(doc->PromptSaveTemplate(), 0);  // nothing changed: nothing asked
        EXPECT_EQ(boxes.Count(), 0u);
    }
    CProject& p = *doc->GetProject();
    p.SetQSEEPrintTitles();  // a change of the template's own settings
    ASSERT_TRUE(Vantor(*doc).Template().HasTemplateChanged());
    ASSERT_TRUE(Admin().Grant("Auto", kKindTemplates, kPermissionRead));
    qs::fw::MessageBoxScript boxes({IDNO});
    EXPECT_EQ(doc->PromptSaveTemplate(), 1);
    EXPECT_TRUE(boxes.Last().text.startsWith("You do not have sufficient permissions on this template"));
}

// ---------------------------------------------------------------- profile data

TEST_P(ProjectDocDatabaseTest, SaveDataStoresTheChangedNumbers) {
    const long id = TemplateWithData();
    auto doc = LoadedDoc(id, "/Auto/East");
    ASSERT_TRUE(doc->GroupQueryFlag());
    doc->GetProject()->FindDataObject(kPaid, NET)->SetAt(0, 1, 55);
    qs::fw::MessageBoxScript boxes;
    doc->OnSaveData();
    EXPECT_EQ(boxes.Count(), 0u) << boxes.Texts().join("|").toStdString();
    auto other = LoadedDoc(id, "/Auto/East");
    EXPECT_EQ(Cell(*other->GetProject(), 0, 1), 55);
}

TEST_P(ProjectDocDatabaseTest, SaveDataAsUnderAnAdmittingGroupQuery) {
    const long id = TemplateWithData();
    auto doc = LoadedDoc(id, "/Auto/East");
    m_chosenProfile = "/Auto/West";
    qs::fw::MessageBoxScript boxes;
    ASSERT_TRUE(doc->SaveProfileData()) << boxes.Texts().join("|").toStdString();
    EXPECT_EQ(m_offeredProfile, "/Auto/East");
    EXPECT_EQ(m_offeredDate, kEval);
    EXPECT_EQ(Vantor(*doc).Data().GetProfile(), "/Auto/West");
    auto west = LoadedDoc(id, "/Auto/West");
    EXPECT_EQ(Cell(*west->GetProject(), 0, 0), 100);
}

TEST_P(ProjectDocDatabaseTest, SaveDataAsUnderARefusingGroupQueryKeepsProfileAndDate) {
    const long id = TemplateWithData();
    auto doc = LoadedDoc(id, "/Auto/East");
    m_chosenProfile = "/Home/North";
    qs::fw::MessageBoxScript boxes;
    EXPECT_FALSE(doc->SaveProfileData());
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Last().text, "Save action aborted!\n\nUser has no write permissions on profile [Home/North].");
    EXPECT_EQ(Vantor(*doc).Data().GetProfile(), "/Auto/East");
    EXPECT_EQ(Vantor(*doc).Data().GetEvalDate(), kEval);
    // Cancelling the chooser changes nothing and says nothing.
    m_chosenProfile.clear();
    boxes.Clear();
    EXPECT_FALSE(doc->SaveProfileData());
    EXPECT_EQ(boxes.Count(), 0u);
    // A group without a query may not save at all.
    ASSERT_TRUE(Admin().SetGroupQuery("Auto", ""));
    m_chosenProfile = "/Auto/West";
    EXPECT_FALSE(doc->SaveProfileData());
    EXPECT_EQ(boxes.Last().text, "File Import Aborted!\n\nNo group query exists for current active group.");
}

TEST_P(ProjectDocDatabaseTest, SaveDataAsOffersTheSuggestedOrTodaysDate) {
    const long id = TemplateWithData();
    auto doc = LoadedDoc(id, "/Auto/East");
    Vantor(*doc).Data().SetEvalDate(-1);
    EXPECT_FALSE(doc->SaveProfileData());
    EXPECT_EQ(m_offeredDate, kEval);  // the latest stored for the profile
    Vantor(*doc).Data().SetProfile("/Auto/West");
    EXPECT_FALSE(doc->SaveProfileData());
    EXPECT_GT(m_offeredDate, 45900);  // today
}

TEST_P(ProjectDocDatabaseTest, DataClosePrompt) {
    const long id = TemplateWithData();
    auto doc = LoadedDoc(id, "/Auto/East");
    doc->GetProject()->FindDataObject(kPaid, NET)->SetAt(0, 1, 9);
    {
        qs::fw::MessageBoxScript boxes({IDCANCEL});
        EXPECT_EQ(doc->PromptSaveProfileData(), 1);
        EXPECT_EQ(boxes.Last().text, "Data for profile [Auto/East] has changed. Do you want to save it?");
    }
    {
        qs::fw::MessageBoxScript boxes({IDYES});
        EXPECT_EQ(doc->PromptSaveProfileData(), 0);
        EXPECT_FALSE(Vantor(*doc).Data().HasDataChanged());
    }
    // Without the group query's admission nothing is saved, whatever the answer.
    doc->GetProject()->FindDataObject(kPaid, NET)->SetAt(0, 1, 10);
    doc->RefreshGroupQueryFlag("/Home/East");
    for (const int answer : {IDYES, IDNO}) {
        qs::fw::MessageBoxScript boxes({answer});
        EXPECT_EQ(doc->PromptSaveProfileData(), 0);
        EXPECT_TRUE(boxes.Last().text.contains("you have not been granted permission"));
        EXPECT_TRUE(Vantor(*doc).Data().HasDataChanged());
    }
    qs::fw::MessageBoxScript boxes({IDCANCEL});
    EXPECT_EQ(doc->PromptSaveProfileData(), 1);
}

TEST_P(ProjectDocDatabaseTest, TwoUsersSavingOneProfileAtOnceTheSecondIsTold) {
    const long id = TemplateWithData();
    auto first = LoadedDoc(id, "/Auto/East");
    auto second = LoadedDoc(id, "/Auto/East");
    first->GetProject()->FindDataObject(kPaid, NET)->SetAt(2, 0, 1);
    second->GetProject()->FindDataObject(kPaid, NET)->SetAt(2, 0, 2);
    qs::fw::MessageBoxScript boxes;
    first->OnSaveData();
    EXPECT_EQ(boxes.Count(), 0u);
    second->OnSaveData();
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_TRUE(boxes.Last().text.startsWith("Failure while saving data to the database"));
    EXPECT_TRUE(boxes.Last().text.contains("changed or removed by another user"));
    auto third = LoadedDoc(id, "/Auto/East");
    EXPECT_EQ(Cell(*third->GetProject(), 2, 0), 1);
}

// ---------------------------------------------------------------- factor sets of a loaded template

class FactorSetCheckTest : public ProjectDocDatabaseTest {
protected:
    static QSID ExhibitRow() {
        QSID id = qsmethods::StandardExhibitID(1);
        SetIDLayer(id, NET);
        return id;
    }
    static CFactorSet Set(const std::string& name, double value, PRDLENGTH length = PRD_YEAR) {
        CFactorSet set(name, "", 5, length, 12);
        CDataObject row(ExhibitRow());
        row.SetShape(1, 5, CDataObject::VT_ROW);
        row.SetAt(0, 0, value);
        EXPECT_EQ(set.SetDF(ExhibitRow(), "", row), 0);
        return set;
    }
    // The library as stored, and a project whose template refers to
    // "Same", "Changed", "Deleted" and "Monthly" in it.
    void Prepare(CProjectDoc& doc) {
        CFSLib lib;
        lib.SetName("Industry");
        lib.AddFactorSet(Set("Same", 1.5));
        lib.AddFactorSet(Set("Changed", 2.5));
        lib.AddFactorSet(Set("Monthly", 1.1, PRD_MONTH));
        long id = 0;
        auto* store = dynamic_cast<FactorLibraryStore*>(AdminDb().GetDevFactLibrary());
        ASSERT_TRUE(store->SaveLibrary(lib, id));
        std::vector<CFactorSet> sets{Set("Same", 1.5), Set("Changed", 2.0), Set("Deleted", 3.0),
                                     Set("Monthly", 1.1, PRD_MONTH)};
        ASSERT_EQ(doc.GetProject()->SetFSList(sets, {"Industry", "Industry", "Industry", "Industry"},
                                              {"Same", "Changed", "Deleted", "Monthly"}),
                  0);
    }
    static std::vector<std::string> Names(CProject& p, std::vector<CFactorSet>* sets = nullptr) {
        std::vector<CFactorSet> s;
        QSStringArray libraries, names;
        p.GetFSList(s, libraries, names);
        if (sets) *sets = s;
        return names;
    }
};

TEST_P(FactorSetCheckTest, ChangedDeletedAndIncompatibleSets) {
    auto doc = BoundDoc();
    Prepare(*doc);
    m_mode = 1;  // a query loaded by a person (interactive), not a template session
    m_interactive = true;
    // Yes to each "Continue batch processing?", Yes to applying the changes,
    // No to saving the template.
    qs::fw::MessageBoxScript boxes({IDYES, IDYES, IDYES, IDNO});
    ASSERT_TRUE(doc->CheckFactorSetChanges());
    const QStringList texts = boxes.Texts();
    ASSERT_EQ(texts.size(), 4) << texts.join("|").toStdString();
    EXPECT_TRUE(texts[0].startsWith("Factor Set [Deleted] not found in DFL [Industry]!"));
    EXPECT_TRUE(texts[1].startsWith("Factor Set [Monthly] in DFL [Industry]\nis not compatible"));
    EXPECT_EQ(texts[2], "Changes have been made to factor values in referenced Factor Set(s): \n\nIndustry - "
                        "Changed\n\n\nApply these changes to current template?");
    EXPECT_TRUE(texts[3].startsWith("Template has changed due to changes in both DFL factors"));
    EXPECT_EQ(boxes.Boxes()[0].caption, "Quillstone Enterprise Error...");
    std::vector<CFactorSet> sets;
    EXPECT_EQ(Names(*doc->GetProject(), &sets), (std::vector<std::string>{"Same", "Changed"}));
    CDataObject* row = nullptr;
    ASSERT_EQ(sets[1].GetDF(ExhibitRow(), "", row), 0);
    double v = 0;
    std::uint8_t f = 0;
    row->GetAt(0, 0, v, f);
    EXPECT_EQ(v, 2.5);  // the stored values were taken
    EXPECT_FALSE(doc->FactorSetChangeFlag());
}

TEST_P(FactorSetCheckTest, NoToContinueStopsBeforeAnythingChanges) {
    auto doc = BoundDoc();
    Prepare(*doc);
    m_mode = 1;
    qs::fw::MessageBoxScript boxes({IDNO});
    EXPECT_FALSE(doc->CheckFactorSetChanges());
    EXPECT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(Names(*doc->GetProject()), (std::vector<std::string>{"Same", "Changed", "Deleted", "Monthly"}));
}

TEST_P(FactorSetCheckTest, AMissingLibraryWhileMakingATemplateIsOnlyReported) {
    auto doc = BoundDoc();
    std::vector<CFactorSet> sets{FactorSetCheckTest::Set("Any", 1.0)};
    ASSERT_EQ(doc->GetProject()->SetFSList(sets, {"Gone"}, {"Any"}), 0);
    m_mode = 2;
    qs::fw::MessageBoxScript boxes({IDOK, IDNO});
    ASSERT_TRUE(doc->CheckFactorSetChanges());
    EXPECT_EQ(boxes.Texts()[0], "DFL [Gone] not found in database!\nAny reference to this DFL will be removed from the "
                                "template.");
    EXPECT_TRUE(boxes.Texts()[1].startsWith("Template has changed due to deleted Factor Library(s)/Factor Set(s)!"));
    EXPECT_TRUE(Names(*doc->GetProject()).empty());
}

QS_INSTANTIATE_ENGINES(ProjectDocDatabaseTest);
QS_INSTANTIATE_ENGINES(FactorSetCheckTest);

}  // namespace
