// The number display of an open project with its sample, the default for
// new files, the read-only cell pattern; and the display selection that the
// navigator's View dialog opens for "Only selected tables".
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QTabBar>
#include <QTreeWidget>

#include <algorithm>

#include "CDisplayDefaults.h"
#include "CDisplaySelectionDlg.h"
#include "CFileDisplayOptionsDlg.h"
#include "CPrjSheetEnvironment.h"
#include "CProject.h"
#include "CWinApp.h"
#include "CWorkstationSetupDlg.h"
#include "KernelIds.h"
#include "MessageBox.h"
#include "ModalScript.h"
#include "ProjectHost.h"
#include "SmallViewDialogs.h"
#include "SpreadsheetControl.h"
#include "TestEnvironment.h"
#include "ViewSettings.h"

namespace {

using qs::fw::ModalScript;

class DisplayOptionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_savedHost = qs::project::Host();
        m_savedEnv = PrjSheetEnv();
        m_savedViews = qs::views::Settings();
        std::uint16_t gen = 5, numExp = 5, firstYear = 2001, interval = 1, numDev = 5, firstAge = 12;
        PRDLENGTH len = PRD_YEAR, devLen = PRD_YEAR;
        LAYERNAMES c1 = GROSS, c2 = ASSUMED;
        ASSERT_EQ(m_project.Create(gen, numExp, len, firstYear, interval, numDev, devLen, firstAge, c1, c2), 0);
        // A number format that shows what it was built from.
        PrjSheetEnv().buildNumberFormat = [](int negative, bool thousands, int decimals) {
            return QStringLiteral("N%1%2%3").arg(negative).arg(thousands ? 1 : 0).arg(decimals);
        };
        m_dir = QString::fromStdString(qs::test::MakeTempDir("display"));
        PrjSheetEnv().workingDirectory = m_dir;
    }
    void TearDown() override {
        qs::project::Host() = m_savedHost;
        PrjSheetEnv() = m_savedEnv;
        qs::views::Settings() = m_savedViews;
        CViewSelectionDlg::DisplaySelectionRunner() = nullptr;
    }
    static QString SampleFormat(CFileDisplayOptionsDlg& d) {
        QString format;
        d.Preview()->SetActiveCell(1, 1);
        d.Preview()->GetNumberFormat(format);
        return format;
    }
    static QComboBox* List(CDialog& d, int id) { return qobject_cast<QComboBox*>(d.GetDlgItem(id)); }

    qs::project::ProjectHost m_savedHost;
    PrjSheetEnvironment m_savedEnv;
    qs::views::ViewSettings m_savedViews;
    CProject m_project;
    QString m_dir;
};

TEST_F(DisplayOptionsTest, TheSampleFollowsTheChoicesAndOkStoresThem) {
    m_project.SetNegSymbol("-", 1, 0);
    m_project.SetDecimals(0);
    for (bool ok : {false, true}) {
        CFileDisplayOptionsDlg dialog(&m_project);
        ModalScript script;
        script.Then<CFileDisplayOptionsDlg>([ok](CFileDisplayOptionsDlg& d) {
            EXPECT_EQ(d.windowTitle(), QStringLiteral("File Display Options"));
            EXPECT_EQ(SampleFormat(d), QStringLiteral("N110"));  // "-1.1", separator, 0 decimals
            QComboBox* decimals = List(d, CFileDisplayOptionsDlg::IDC_DECIMALS);
            decimals->setCurrentIndex(2);
            emit decimals->activated(2);
            QComboBox* negative = List(d, CFileDisplayOptionsDlg::IDC_NEGATIVE);
            negative->setCurrentIndex(0);
            emit negative->activated(0);
            qobject_cast<QCheckBox*>(d.GetDlgItem(CFileDisplayOptionsDlg::IDC_USE_THOUSANDS))->click();
            EXPECT_EQ(SampleFormat(d), QStringLiteral("N002"));
            QComboBox* symbol = List(d, CFileDisplayOptionsDlg::IDC_CURRENCY_SYMBOL);
            emit symbol->activated(1);
            EXPECT_EQ(d.m_display.currencySymbol, QStringLiteral("\u00A3"));
            ok ? d.OnOK() : d.OnCancel();
        });
        EXPECT_EQ(dialog.DoModal(), ok ? IDOK : IDCANCEL);
        short decimals = 0;
        m_project.GetDecimals(decimals);
        std::string negative, symbol;
        int leading = 0, red = 0, position = 0;
        m_project.GetNegSymbol(negative, leading, red);
        m_project.GetCurrencySymbol(symbol, position);
        EXPECT_EQ(decimals, ok ? 2 : 0);
        EXPECT_EQ(negative, ok ? "" : "-");  // "(1.1)" is kept as no symbol
        EXPECT_EQ(symbol == "\u00A3", ok);
    }
}

TEST_F(DisplayOptionsTest, DefaultIsKeptForNewFilesOnlyWhenConfirmed) {
    CWinApp app{"Quillstone"};
    for (int answer : {int(IDNO), int(IDYES)}) {
        qs::fw::MessageBoxScript boxes{answer};
        CFileDisplayOptionsDlg dialog(&m_project);
        ModalScript script;
        script.Then<CFileDisplayOptionsDlg>([](CFileDisplayOptionsDlg& d) {
            List(d, CFileDisplayOptionsDlg::IDC_NEGATIVE)->setCurrentIndex(0);  // "(1.1)"
            List(d, CFileDisplayOptionsDlg::IDC_DECIMALS)->setCurrentIndex(3);
            d.OnDefault();
            d.OnCancel();
        });
        dialog.DoModal();
        ASSERT_EQ(boxes.Count(), 1u);
        EXPECT_EQ(boxes.Last().text,
                  QStringLiteral("Do you want to change default for display options?\nThis change will only affect all "
                                 "new files. It will\nnot affect the current file."));
        CDisplaySettings stored;
        const bool hasFile = qs::project::LoadDisplayDefaults(m_dir, stored);
        const QString negativeSymbol = app.GetProfileString("Settings", "Negative Symbol", "none");
        if (answer == IDNO) {
            EXPECT_FALSE(hasFile);
            EXPECT_EQ(negativeSymbol, QStringLiteral("none"));
            continue;
        }
        EXPECT_EQ(negativeSymbol, QString());
        EXPECT_EQ(app.GetProfileInt("Settings", "Negative Position", -1), 0);
        EXPECT_EQ(app.GetProfileInt("Settings", "Negative Red", -1), 0);
        EXPECT_EQ(app.GetProfileInt("Settings", "Decimals", -1), 3);
        EXPECT_EQ(app.GetProfileInt("Settings", "Thousand Separator", -1), int(','));
        EXPECT_EQ(app.GetProfileInt("Settings", "Decimal Separator", -1), int('.'));
        ASSERT_TRUE(hasFile);  // the set-up sheet of a new project starts from it
        EXPECT_EQ(stored.negativeFormat, 0);
        EXPECT_EQ(stored.decimals, 3);
    }
    // The open project is not changed by the default.
    short decimals = 0;
    m_project.GetDecimals(decimals);
    EXPECT_NE(decimals, 3);
}

TEST_F(DisplayOptionsTest, ReadOnlyBackgroundBecomesTheApplicationsPattern) {
    int kept = -1;
    qs::project::Host().setReadOnlyPattern = [&](int pattern, std::uint32_t, std::uint32_t background) {
        kept = pattern;
        EXPECT_EQ(background, 0x00FF00u);
    };
    CFileDisplayOptionsDlg dialog(&m_project);
    ModalScript script;
    script.Then<CFileDisplayOptionsDlg>([](CFileDisplayOptionsDlg& d) {
        d.Preview()->SetSelection(2, 2, 2, 2);
        d.Preview()->SetActiveCell(2, 2);
        d.OnReadOnlyBackground();
        int row = 0, col = 0;
        d.Preview()->GetActiveCell(row, col);
        EXPECT_EQ(row, 2);  // the selection comes back
        d.OnCancel();
    });
    script.Then<CSpreadsheetPatternDlg>([](CSpreadsheetPatternDlg& p) {
        p.m_nPattern = 2;
        p.m_nBackground = 0x00FF00;
        p.UpdateData(FALSE);
        p.OnOK();
    });
    dialog.DoModal();
    EXPECT_TRUE(script.AllHandled());
    EXPECT_EQ(kept, 2);
    EXPECT_EQ(qs::views::Settings().pattern, 2);
    EXPECT_EQ(qs::views::Settings().patternBg, 0x00FF00u);
}

// The objects the navigator shows under node with "Only selected tables".
std::vector<QSID> ShownUnder(const CProject& p, QSID node) {
    QSStringArray names;
    QSIDArray ids;
    p.GetNodeObjects(node, names, ids, 0, 0, 1, 1, 1);
    return ids;
}

TEST_F(DisplayOptionsTest, SelectionFromTheViewDialogFiltersTheNavigator) {
    CViewSelectionDlg::DisplaySelectionRunner() = [this](CWnd* parent) {
        qs::project::RunDisplaySelection(&m_project, parent);
    };
    QSID node = 0, chosen = 0;
    CViewSelectionDlg view;
    ModalScript script;
    script.Then<CViewSelectionDlg>([](CViewSelectionDlg& v) {
        EXPECT_FALSE(v.SelectButton()->isEnabled());
        v.Choice(4)->click();
        ASSERT_TRUE(v.SelectButton()->isEnabled());
        v.SelectButton()->click();
        v.OnOK();
    });
    script.Then<CDisplaySelectionDlg>([&](CDisplaySelectionDlg& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Display Selection Settings"));
        QTreeWidgetItem* root = d.Tree()->topLevelItem(0);
        ASSERT_NE(root, nullptr);
        EXPECT_EQ(root->text(0), QStringLiteral("Input Data"));
        // The first group with two objects or more.
        for (int i = 0; i < root->childCount() && node == 0; ++i) {
            d.Tree()->setCurrentItem(root->child(i));
            if (d.Grid()->count() >= 2) node = d.SelectedNode();
        }
        ASSERT_NE(node, 0);
        QStringList names;
        for (int r = 0; r < d.Grid()->count(); ++r) names << d.Grid()->item(r)->text();
        QStringList sorted = names;
        std::sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) {
            return a.toStdString() < b.toStdString();
        });
        EXPECT_EQ(names, sorted);
        // Checked twice, listed once.
        d.Grid()->item(1)->setCheckState(Qt::Checked);
        d.OnObjectChecked(1, true);
        chosen = d.m_rows[1].first;
        EXPECT_EQ(std::count(d.m_showList.begin(), d.m_showList.end(), chosen), 1);
        // Select All then Unselect All leave the group empty; check the one again.
        d.SelectAll(true);
        EXPECT_EQ(d.m_showList.size(), std::size_t(d.Grid()->count()));
        d.SelectAll(false);
        EXPECT_TRUE(d.m_showList.empty());
        d.Grid()->item(1)->setCheckState(Qt::Checked);
        // Another category has its own tree.
        d.Categories()->setCurrentIndex(1);
        EXPECT_EQ(d.Tree()->topLevelItem(0)->text(0), QStringLiteral("Exhibits"));
        d.OnOK();
    });
    ASSERT_EQ(view.DoModal(), IDOK);
    EXPECT_TRUE(script.AllHandled());
    EXPECT_EQ(view.m_bSelectedOnly, 1);
    QSIDArray shown;
    m_project.GetShowItems(shown);
    EXPECT_EQ(shown, QSIDArray{chosen});
    EXPECT_EQ(ShownUnder(m_project, node), std::vector<QSID>{chosen});

    // Cancel keeps the list as it was.
    ModalScript cancel;
    cancel.Then<CDisplaySelectionDlg>([](CDisplaySelectionDlg& d) {
        d.SelectAll(false);
        d.OnCancel();
    });
    qs::project::RunDisplaySelection(&m_project, nullptr);
    m_project.GetShowItems(shown);
    EXPECT_EQ(shown, QSIDArray{chosen});
}

}  // namespace
