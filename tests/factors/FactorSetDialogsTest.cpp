// The factor set dialogs' checks, and the document's database seam: a
// refused binding or a failed store leaves the document as it was.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>

#include "CDFLDoc.h"
#include "CFSLib.h"
#include "CKDVVantor.h"
#include "FactorLibraryHost.h"
#include "FactorSetDialogs.h"
#include "MessageBox.h"
#include "ModalScript.h"

namespace {

using qs::fw::MessageBoxScript;
using qs::fw::ModalScript;

// Runs the dialog, types the period count and presses OK once; returns the
// boxes it showed and whether it closed with OK.
std::pair<QStringList, bool> PressOk(CNewFactorSetDlg& dialog, const QString& periods, const QString& first = "12") {
    MessageBoxScript boxes;
    ModalScript script;
    script.Then([&](QDialog& d) {
        dialog.SetDlgItemText(CNewFactorSetDlg::IDC_NAME, QStringLiteral("Set"));
        dialog.SetDlgItemText(CNewFactorSetDlg::IDC_NUM_PERIODS, periods);
        dialog.SetDlgItemText(CNewFactorSetDlg::IDC_FIRST_PERIOD, first);
        dialog.OnOK();
        if (d.isVisible() && d.result() == 0) d.reject();
    });
    const bool ok = dialog.DoModal() == IDOK;
    QStringList texts;
    for (const auto& box : boxes.Boxes()) texts << box.text;
    return {texts, ok};
}

TEST(FactorSetDialogs, PeriodCountAndFirstPeriodAreChecked) {
    const QString outOfRange = QStringLiteral("The number of developments must be between 1 and 255.\n");
    struct Case {
        const char* periods;
        const char* first;
        bool ok;
        QString message;
    };
    const Case cases[] = {
        {"255", "12", true, {}},
        {"1", "0", true, {}},
        {"256", "12", false, outOfRange},
        {"0", "12", false, outOfRange},
        {"-1", "12", false, QStringLiteral(" Number of development periods cannot be negative\n")},
        {"7", "-3", false, QStringLiteral(" First Devlopment period cannot be negative\n")},
    };
    for (const Case& c : cases) {
        CNewFactorSetDlg dialog(CNewFactorSetDlg::kNew);
        const auto [texts, ok] = PressOk(dialog, QString::fromLatin1(c.periods), QString::fromLatin1(c.first));
        EXPECT_EQ(ok, c.ok) << c.periods << " " << c.first;
        EXPECT_EQ(texts, c.message.isEmpty() ? QStringList() : QStringList{c.message}) << c.periods;
    }
}

TEST(FactorSetDialogs, NewModeWaitsForANameAndEditModeOffersTheApplyChoice) {
    CNewFactorSetDlg fresh(CNewFactorSetDlg::kNew);
    fresh.OnInitDialog();
    EXPECT_FALSE(fresh.OkButton()->isEnabled());
    EXPECT_TRUE(fresh.GetDlgItem(CNewFactorSetDlg::IDC_APPLY)->isHidden());
    EXPECT_EQ(fresh.windowTitle(), QStringLiteral("New Factor Set"));

    CNewFactorSetDlg edit(CNewFactorSetDlg::kEdit);
    edit.m_strName = QStringLiteral("Industry");
    edit.m_PrdLength = PRD_HALFYEAR;
    edit.OnInitDialog();
    EXPECT_TRUE(edit.OkButton()->isEnabled());
    EXPECT_FALSE(edit.GetDlgItem(CNewFactorSetDlg::IDC_APPLY)->isHidden());
    EXPECT_EQ(qobject_cast<QComboBox*>(edit.GetDlgItem(CNewFactorSetDlg::IDC_PERIOD_LENGTH))->currentIndex(), 2);
    EXPECT_EQ(edit.IsDlgButtonChecked(CNewFactorSetDlg::IDC_TO_SELECTED), 1u);
    EXPECT_EQ(edit.m_bApplyToAll, 0);
}

TEST(FactorSetDialogs, ClearDialogStartsOnTheNamedSet) {
    CClearFactorSetsDlg named(QStringLiteral("Industry"));
    named.OnInitDialog();
    EXPECT_EQ(named.IsDlgButtonChecked(CClearFactorSetsDlg::IDC_TO_SELECTED), 1u);
    EXPECT_EQ(named.m_bApplyToAll, 0);
    CClearFactorSetsDlg unnamed(QString{});
    unnamed.OnInitDialog();
    EXPECT_EQ(unnamed.m_bApplyToAll, 1);
}

TEST(FactorSetDialogs, DecimalsAcceptZeroToSeven) {
    QWidget main;
    main.show();
    qs::fw::SetMainWindow(&main);
    for (const auto& [typed, ok] : std::vector<std::pair<const char*, bool>>{{"0", true}, {"7", true}, {"8", false}, {"15", false}, {"-1", false}}) {
        CDFLDecimalsDlg dialog(3);
        MessageBoxScript boxes;
        ModalScript script;
        script.Then([&](QDialog& d) {
            dialog.SetDlgItemText(CDFLDecimalsDlg::IDC_DECIMALS, QString::fromLatin1(typed));
            dialog.OnOK();
            if (d.result() == 0) d.reject();
        });
        EXPECT_EQ(dialog.DoModal() == IDOK, ok) << typed;
        if (!ok) EXPECT_EQ(boxes.Texts(), QStringList{QStringLiteral("Precision out of range")}) << typed;
        else EXPECT_EQ(dialog.m_nDecimals, QString::fromLatin1(typed).toInt());
    }
    qs::fw::SetMainWindow(nullptr);
}

// A database store whose answers the test chooses.
class FakeStore : public qs::factors::IFactorLibraryStore {
public:
    long bindResult = 0;
    bool insertOk = true, updateOk = true, storeOk = true;
    long InitProjectWithDBManager(CFSLib&, IKDVDatabaseManager*) override { return bindResult; }
    bool GetDFLfromDB(CFSLib&, const std::string&) override { return true; }
    bool LoadFactorSetsFromDB(CFSLib&, long) override { return true; }
    bool InsertDFLinDB(CFSLib&, long* id, long, const std::string&) override {
        *id = 77;
        return insertOk;
    }
    bool UpdateDFLinDB(CFSLib&, long, const std::string&) override { return updateOk; }
    bool StoreFactorSetsToDB(CFSLib&, long) override { return storeOk; }
    bool CheckUserRight(int, int, int& answer) override {
        answer = 1;
        return true;
    }
    bool CleanupUdSdfsInEachFactorSet(CFSLib&, CProject*, bool& changed) override {
        changed = false;
        return true;
    }
    long LoggedInUserId() override { return 1; }
};

class DatabaseSeamTest : public ::testing::Test {
protected:
    void SetUp() override {
        qs::factors::Host() = {};
        qs::factors::Host().store = &m_store;
        qs::factors::Host().fileMode = [this] { return m_fileMode; };
        qs::factors::Host().setFileMode = [this](int mode) { m_fileMode = mode; };
    }
    void TearDown() override { qs::factors::Host() = {}; }
    FakeStore m_store;
    IKDVDatabaseManager m_manager;
    int m_fileMode = 1;
};

TEST_F(DatabaseSeamTest, RefusedBindingFailsAndHoldsNoManager) {
    CDFLDoc doc;
    doc.m_bAutoDelete = FALSE;
    EXPECT_NE(doc.AttachDatabaseManager(nullptr), 0);
    m_store.bindResult = -1;
    EXPECT_NE(doc.AttachDatabaseManager(&m_manager), 0);
    EXPECT_FALSE(doc.HasDBManager());
    EXPECT_EQ(m_fileMode, 1) << "still a file library";
    m_store.bindResult = 0;
    EXPECT_EQ(doc.AttachDatabaseManager(&m_manager), 0);
    EXPECT_TRUE(doc.HasDBManager());
    EXPECT_EQ(m_fileMode, 0);
}

TEST_F(DatabaseSeamTest, FailedStoreKeepsTheDocumentModifiedAndWithoutANewId) {
    CDFLDoc doc;
    doc.m_bAutoDelete = FALSE;
    ASSERT_EQ(doc.AttachDatabaseManager(&m_manager), 0);
    doc.SetTitle(QStringLiteral("Auto"));
    doc.SetModifiedFlag(TRUE);
    m_store.storeOk = false;
    MessageBoxScript boxes;
    EXPECT_FALSE(doc.SaveAsNewToDatabase());
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.GetLibrary()->GetID(), -1);
    EXPECT_FALSE(doc.SaveToDatabase(true));
    EXPECT_TRUE(doc.IsModified());

    m_store.storeOk = true;
    EXPECT_TRUE(doc.SaveAsNewToDatabase());
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.GetLibrary()->GetID(), 77) << "a second save can update the record";
}

TEST_F(DatabaseSeamTest, EmptyLibraryNameFailsBeforeAnyDatabaseCall) {
    CDFLDoc doc;
    doc.m_bAutoDelete = FALSE;
    ASSERT_EQ(doc.AttachDatabaseManager(&m_manager), 0);
    EXPECT_FALSE(doc.OnOpenDocument(QString()));
    EXPECT_EQ(doc.m_bOpened, 1);
}

}  // namespace
