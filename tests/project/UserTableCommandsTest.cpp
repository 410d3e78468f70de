// The user-defined table commands of the project document: New, Edit and
// Delete through the table wizard and the dependents warning, on the object
// the navigator or the active window names, with the menu rules that offer
// them. The wizard is played by ModalScript handlers.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QCoreApplication>
#include <QEvent>
#include <QLineEdit>

#include <memory>

#include "CCmdUI.h"
#include "CDataObject.h"
#include "CDocTemplate.h"
#include "CKDVVantor.h"
#include "CMDIChildWnd.h"
#include "CMDIFrameWnd.h"
#include "CProject.h"
#include "CProjectDoc.h"
#include "CTableWizard.h"
#include "CTriangView.h"
#include "CWinApp.h"
#include "KernelGlobals.h"
#include "KernelIds.h"
#include "MessageBox.h"
#include "ModalScript.h"
#include "ProjectHost.h"
#include "TableDialogs.h"
#include "ViewSettings.h"

using qs::fw::MessageBoxScript;
using qs::fw::ModalScript;

namespace {

constexpr QSID kPaid = 101000001;
enum : UINT { kNewTable = 32814, kEditTable = 32815, kDeleteTable = 32816 };

struct FakeUdoStore : CKDVUdo {
    bool upToDate = true;
    bool saves = true;
    std::vector<long> inserted;
    int integrityChecks = 0;
    bool LoadAllUdos() override { return true; }
    bool SaveAllUdos() override { return saves; }
    bool CheckIntegrity() override {
        ++integrityChecks;
        return true;
    }
    bool CheckIfLoadedUdosAreUptodate() override { return upToDate; }
    bool InsertUdoObjectNames(const std::vector<long>& ids) override {
        inserted.insert(inserted.end(), ids.begin(), ids.end());
        return true;
    }
    bool UpdateUdoObjectNames(const std::vector<long>&) override { return true; }
    bool DeleteUdoObjectNames(const std::vector<long>&) override { return true; }
    long GetUdoidFromQsidAndType(long, int) override { return 0; }
    bool RetrieveDependentQsidsForExhibitsAndMethods(long, std::vector<long>&, std::vector<std::string>&) override {
        return true;
    }
    bool EditNamesOfDataObjectsFromProfiles(const std::vector<long>&, const std::vector<long>&,
                                            const std::string&) override {
        return true;
    }
    bool DeleteDataObjectsFromProfiles(const std::vector<long>&) override { return true; }
};

struct FakeManager : IKDVDatabaseManager {
    std::vector<std::string> calls;
    long BeginTransaction() override {
        calls.push_back("begin");
        return 0;
    }
    long CommitTransaction() override {
        calls.push_back("commit");
        return 0;
    }
    long RollbackTransaction() override {
        calls.push_back("rollback");
        return 0;
    }
};

struct FakeVantor : CKDVVantor {
    FakeUdoStore udos;
    CKDVData* GetData() override { return nullptr; }
    CKDVTemplate* GetTemplate() override { return nullptr; }
    CKDVUdo* GetUdo() override { return &udos; }
    CKDVGraph* GetGraph() override { return nullptr; }
    CKDVGraphStyle* GetGraphStyle() override { return nullptr; }
    CKDVPrintList* GetPrintList() override { return nullptr; }
    CKDVSummExportList* GetSummExportList() override { return nullptr; }
};

class UserTableCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        qs::views::Settings() = qs::views::ViewSettings{};
        // An MDI main window: the commands find the active object through its active window.
        m_main = new CMDIFrameWnd();
        ASSERT_TRUE(m_main->LoadFrame(128));
        m_app.m_pMainWnd = m_main;
        qs::fw::SetMainWindow(m_main);
        m_main->show();
        m_template = std::make_unique<CMultiDocTemplate>(0, RUNTIME_CLASS(CProjectDoc), RUNTIME_CLASS(CMDIChildWnd),
                                                         RUNTIME_CLASS(CTriangView));
        qs::project::ProjectHost& host = qs::project::Host();
        host.viewTemplate = [this](qs::project::ObjectViewKind kind) -> CDocTemplate* {
            return kind == qs::project::ObjectViewKind::Table ? m_template.get() : nullptr;
        };
        // The navigator: active while the test says so, with its selection.
        host.navigatorSelection = [this](const CView*, int& layer, QSID& id) {
            if (!m_navigatorActive) return false;
            layer = NET;
            id = m_selected;
            return true;
        };
        host.navigatorCategory = [this](const CView*) { return m_navigatorActive ? m_navigatorCategory : 0; };
        host.showInNavigator = [this](QSID id, unsigned short layer, CProjectDoc*) { m_shown.emplace_back(id, layer); };

        m_doc = std::make_unique<CProjectDoc>();
        m_doc->m_bAutoDelete = FALSE;
        std::uint16_t gen = 5, numExp = 5, firstYear = 2001, interval = 1, numDev = 5, firstAge = 12;
        PRDLENGTH len = PRD_YEAR;
        LAYERNAMES c1 = GROSS, c2 = ASSUMED;
        ASSERT_EQ(m_doc->GetProject()->Create(gen, numExp, len, firstYear, interval, numDev, len, firstAge, c1, c2), 0);
        m_doc->GetProject()->SetModifiedFlag(false);
        // Some window must be active for the navigator to be asked.
        ASSERT_NE(m_doc->OpenObjectView(kPaid, NET), nullptr);
        ASSERT_NE(m_main->GetActiveView(), nullptr);
    }

    void TearDown() override {
        m_doc->OnCloseDocument();
        m_doc.reset();
        m_main->DestroyWindow();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        qs::project::Host() = qs::project::ProjectHost{};
        qs::fw::SetMainWindow(nullptr);
        gSecAttribs = QSSecAttribs{};
    }

    void Run(UINT command) { m_doc->OnCmdMsg(command, CN_COMMAND, nullptr, nullptr); }

    CCmdUI Update(UINT command) {
        CCmdUI ui;
        ui.m_nID = command;
        ui.DoUpdate(m_doc.get(), TRUE);
        return ui;
    }

    // Adds a user table through the New command, named name, reading the paid losses.
    QSID AddTable(const QString& name, const QString& formula = QString()) {
        ModalScript wizard;
        wizard.Then<CTableWizardPropSheet>([&](CTableWizardPropSheet& s) {
            s.m_page1.SelectCategory(1000);
            ASSERT_TRUE(s.PressButton(PSBTN_NEXT));
            s.m_page2.NameEdit()->setText(name);
            if (!formula.isEmpty()) {
                s.m_page2.HasFormula()->click();
                ASSERT_TRUE(s.PressButton(PSBTN_NEXT));
                s.m_formula.SetFormulaText(formula);
            }
            ASSERT_TRUE(s.PressButton(PSBTN_FINISH));
        });
        m_shown.clear();
        Run(kNewTable);
        EXPECT_TRUE(wizard.AllHandled());
        return m_shown.empty() ? 0 : m_shown.back().first;
    }

    void Select(QSID id) {
        m_navigatorActive = true;
        m_selected = id;
    }

    CWinApp m_app{"Quillstone"};
    CMDIFrameWnd* m_main = nullptr;
    std::unique_ptr<CMultiDocTemplate> m_template;
    std::unique_ptr<CProjectDoc> m_doc;
    bool m_navigatorActive = false;
    QSID m_selected = 0;
    int m_navigatorCategory = 1000;
    std::vector<std::pair<QSID, unsigned short>> m_shown;
};

TEST_F(UserTableCommandsTest, NewAddsWhatTheWizardBuiltAndShowsIt) {
    MessageBoxScript boxes;
    const QSID id = AddTable("Paid twice", "\"Paid Loss\" * 2");
    ASSERT_NE(id, 0);
    EXPECT_EQ(GetIDDOType(id), 2);
    EXPECT_EQ(GetIDIndex(id), 501);
    EXPECT_EQ(m_shown.back().second, 0xFFFF);  // the navigator keeps its layer
    CDataObject* table = m_doc->GetProject()->FindDataObject(id, NET);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->GetIDLongName(), "Paid twice");
    m_doc->GetProject()->FindDataObject(kPaid, NET)->SetAt(0, 0, 21.0);
    double v = 0;
    std::uint8_t f = 0;
    table->GetAt(0, 0, v, f);
    EXPECT_EQ(v, 42.0);
    EXPECT_TRUE(m_doc->IsModified());
    EXPECT_EQ(boxes.Count(), 0u) << boxes.Texts().join("|").toStdString();

    // A cancelled wizard adds nothing.
    ModalScript cancelled;
    cancelled.Then([](QDialog& d) { d.reject(); });
    m_shown.clear();
    Run(kNewTable);
    EXPECT_TRUE(m_shown.empty());
    EXPECT_FALSE(m_doc->GetProject()->IDExists(MakeID(2, 1, 0, 0, 502)));
}

TEST_F(UserTableCommandsTest, EditChangesTheDefinitionUnlessAWindowShowsIt) {
    const QSID id = AddTable("Paid twice", "\"Paid Loss\" * 2");
    ASSERT_NE(id, 0);
    Select(id);
    MessageBoxScript boxes;
    ModalScript wizard;
    wizard.Then<CTableWizardPropSheet>([](CTableWizardPropSheet& s) {
        // Editing starts on the naming page with the object's own names.
        ASSERT_EQ(s.GetActivePage(), &s.m_page2);
        EXPECT_EQ(s.m_page2.NameEdit()->text(), "Paid twice");
        s.m_page2.NameEdit()->setText("Paid thrice");
        ASSERT_TRUE(s.PressButton(PSBTN_NEXT));
        s.m_formula.SetFormulaText("\"Paid Loss\" * 3");
        ASSERT_TRUE(s.PressButton(PSBTN_FINISH));
    });
    m_shown.clear();
    Run(kEditTable);
    ASSERT_TRUE(wizard.AllHandled());
    CDataObject* table = m_doc->GetProject()->FindDataObject(id, NET);
    EXPECT_EQ(table->GetIDLongName(), "Paid thrice");
    m_doc->GetProject()->FindDataObject(kPaid, NET)->SetAt(0, 0, 10.0);
    double v = 0;
    std::uint8_t f = 0;
    table->GetAt(0, 0, v, f);
    EXPECT_EQ(v, 30.0);
    EXPECT_EQ(m_shown.size(), 1u);

    // A cancelled edit leaves the object as it was, and out of editing.
    ModalScript cancelled;
    cancelled.Then([](QDialog& d) { d.reject(); });
    boxes.Answer(IDYES);  // "Are you sure?"
    Run(kEditTable);
    EXPECT_EQ(table->GetIDLongName(), "Paid thrice");
    boxes.Clear();
    CFormula* again = nullptr;
    ASSERT_EQ(m_doc->GetProject()->BeginEditObject(id, again), 0);
    m_doc->GetProject()->EndEditObject(again, 0, 0);

    // A table a window shows is not edited: no wizard opens.
    ASSERT_NE(m_doc->OpenObjectView(id, NET), nullptr);
    ModalScript none;
    Run(kEditTable);
    EXPECT_TRUE(none.Dialogs().empty());
    EXPECT_EQ(boxes.Texts(), QStringList({"This Table is open!\nClose all its views before editing."}));
    EXPECT_EQ(boxes.Count(), 1u);
}

TEST_F(UserTableCommandsTest, DeleteAsksAndRefusesWhileOthersReadTheTable) {
    const QSID base = AddTable("Base table");
    const QSID reader = AddTable("Reader", "\"Base table\" + 1");
    ASSERT_NE(base, 0);
    ASSERT_NE(reader, 0);

    // The base table is read by the other: the warning lists it, nothing goes.
    Select(base);
    MessageBoxScript boxes;
    ModalScript warning;
    QStringList listed;
    warning.Then<CDependentsWarningDlg>([&](CDependentsWarningDlg& d) {
        listed = d.m_dependents;
        d.EndDialog(IDOK);
    });
    Run(kDeleteTable);
    ASSERT_TRUE(warning.AllHandled());
    EXPECT_EQ(listed.size(), 1);
    EXPECT_TRUE(listed.value(0).contains("Reader")) << listed.join("|").toStdString();
    EXPECT_TRUE(m_doc->GetProject()->IDExists(base));
    EXPECT_EQ(boxes.Count(), 0u);

    // The reader: No keeps it, Yes deletes it and clears the current object.
    Select(reader);
    boxes.Answer(IDNO);
    Run(kDeleteTable);
    EXPECT_TRUE(m_doc->GetProject()->IDExists(reader));
    EXPECT_EQ(boxes.Last().text, "Delete Table?");
    EXPECT_EQ(boxes.Last().icon, UINT(MB_ICONQUESTION));
    boxes.Answer(IDYES);
    Run(kDeleteTable);
    EXPECT_FALSE(m_doc->GetProject()->IDExists(reader));
    EXPECT_EQ(m_doc->m_nCurrentObjectId, 0);

    // Now the base table can go, unless a window shows it.
    Select(base);
    ASSERT_NE(m_doc->OpenObjectView(base, NET), nullptr);
    boxes.Clear();
    Run(kDeleteTable);
    EXPECT_EQ(boxes.Texts(), QStringList({"This Table is open!\nClose all its views before deleting."}));
    EXPECT_TRUE(m_doc->GetProject()->IDExists(base));
}

TEST_F(UserTableCommandsTest, MenuRules) {
    const QSID id = AddTable("Mine");
    ASSERT_NE(id, 0);
    const struct {
        const char* name;
        bool navigator;
        QSID selected;
        int category;
        bool edit, remove;
    } cases[] = {
        {"a system table", true, kPaid, 1000, false, false},
        {"a user table", true, id, 1000, true, true},
        {"a user table listed among the ultimates", true, id, 9000, false, false},
        {"nothing selected", true, 0, 1000, false, false},
        {"a system table's window", false, 0, 1000, false, false},
    };
    for (const auto& c : cases) {
        m_navigatorActive = c.navigator;
        m_selected = c.selected;
        m_navigatorCategory = c.category;
        m_doc->m_nCurrentObjectId = 12345;
        EXPECT_EQ(Update(kEditTable).m_enabled, c.edit) << c.name;
        EXPECT_EQ(Update(kDeleteTable).m_enabled, c.remove) << c.name;
        EXPECT_TRUE(Update(kNewTable).m_enabled) << c.name;
        // Menus are refreshed all the time: they leave the current object alone.
        EXPECT_EQ(m_doc->m_nCurrentObjectId, 12345) << c.name;
    }
    Select(id);
    EXPECT_EQ(Update(kEditTable).m_text.value_or(QString()), "&Edit");
    // A user graph is renamed, not edited; with a graph active nothing new is made.
    Select(GetGraphIDOf(MakeID(2, 1, 1, 0, 501)));
    m_navigatorCategory = 8000;
    EXPECT_EQ(Update(kEditTable).m_text.value_or(QString()), "R&ename");
    EXPECT_FALSE(Update(kNewTable).m_enabled);
}

TEST_F(UserTableCommandsTest, DatabaseProjectRefusesWithoutGroupOrWithStaleObjects) {
    FakeVantor vantor;
    m_doc->GetProject()->BindDatabase(&vantor, nullptr);
    ASSERT_EQ(m_doc->GetProject()->Mode(), RM_DATABASE);
    MessageBoxScript boxes;
    ModalScript none;
    gSecAttribs.activeGroup = 0;
    EXPECT_FALSE(Update(kNewTable).m_enabled);
    Run(kNewTable);
    EXPECT_EQ(boxes.Last().text, "You must log in to a group in which you are a member to perform this task.");
    EXPECT_EQ(boxes.Last().icon, 0u);

    gSecAttribs.activeGroup = 3;
    EXPECT_TRUE(Update(kNewTable).m_enabled);
    vantor.udos.upToDate = false;
    Run(kNewTable);
    EXPECT_TRUE(boxes.Last().text.startsWith("Another user has made changes to one or more user defined objects."));
    EXPECT_TRUE(none.Dialogs().empty());
    m_doc->GetProject()->BindDatabase(nullptr, nullptr);
}

TEST_F(UserTableCommandsTest, DatabaseProjectSavesANewTableInOneTransaction) {
    FakeVantor vantor;
    FakeManager manager;
    m_doc->GetProject()->BindDatabase(&vantor, &manager);
    gSecAttribs.activeGroup = 3;
    int busyWindows = 0;
    bool busyAvailable = true;
    qs::project::Host().openBusyWindow = [&](const QString& title, const QString&) -> std::shared_ptr<void> {
        EXPECT_EQ(title, "user defined operation");
        if (!busyAvailable) return nullptr;
        ++busyWindows;
        return std::make_shared<int>(0);
    };
    MessageBoxScript boxes;
    const QSID first = AddTable("Saved");
    ASSERT_NE(first, 0);
    EXPECT_EQ(manager.calls, std::vector<std::string>({"begin", "commit"}));
    EXPECT_EQ(vantor.udos.inserted, std::vector<long>({long(first)}));
    EXPECT_EQ(vantor.udos.integrityChecks, 1);
    EXPECT_EQ(busyWindows, 1);
    EXPECT_FALSE(m_doc->IsModified());  // the database holds it
    EXPECT_EQ(boxes.Count(), 0u) << boxes.Texts().join("|").toStdString();

    // Without a busy window nothing is saved, and the user hears of it.
    busyAvailable = false;
    manager.calls.clear();
    const QSID second = AddTable("Unsaved");
    ASSERT_NE(second, 0);  // the project keeps it
    EXPECT_TRUE(manager.calls.empty());
    EXPECT_EQ(boxes.Texts(), QStringList({"The user defined table was created correctly but \n there was error while "
                                          "saving the user defined table to database"}));
    // From then on no user-defined change is allowed.
    boxes.Clear();
    ModalScript none;
    Run(kNewTable);
    EXPECT_TRUE(none.Dialogs().empty());
    EXPECT_EQ(boxes.Texts(), QStringList({"There were errors in previous user defined operations.\nYou must exit and "
                                          "return before you can make any changes."}));
    m_doc->GetProject()->BindDatabase(nullptr, nullptr);
}

TEST_F(UserTableCommandsTest, AFailedDatabaseSaveRollsBack) {
    FakeVantor vantor;
    FakeManager manager;
    m_doc->GetProject()->BindDatabase(&vantor, &manager);
    gSecAttribs.activeGroup = 3;
    qs::project::Host().openBusyWindow = [](const QString&, const QString&) { return std::make_shared<int>(0); };
    vantor.udos.saves = false;
    MessageBoxScript boxes;
    ASSERT_NE(AddTable("Kept in the project"), 0);
    EXPECT_EQ(manager.calls, std::vector<std::string>({"begin", "rollback"}));
    EXPECT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(vantor.udos.integrityChecks, 1);
    m_doc->GetProject()->BindDatabase(nullptr, nullptr);
}

}  // namespace
