// The page setup dialog: its four tabs show the settings they open on,
// write every change straight into the edited page setup, refuse margins
// and scales that are no valid number, and store or take the user's
// defaults.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "CPageSetupDlg.h"
#include "MessageBox.h"
#include "ModalScript.h"
#include "PrintTestSupport.h"
#include "TestEnvironment.h"

namespace {

class PageSetupDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = qs::test::MakeTempDir("pagesetupdlg");
        qs::test::ResetPrintHost(m_dir);
    }
    static void Type(QLineEdit* edit, const QString& text) {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }
    std::string m_dir;
    qs::fw::MessageBoxScript m_boxes;
};

TEST_F(PageSetupDlgTest, TheFourTabsShowTheSettingsTheyOpenOn) {
    CEditPageSetup setup(static_cast<const QStringList*>(nullptr));
    setup.m_nGraphsPerPage = 2;
    setup.m_dLeftMargin = 1.25;
    setup.m_nOrientation = 0;
    setup.m_nArrayPresentation = 2;
    setup.m_TitleStrings = {"Left", "&[Table Name]", "Right"};
    setup.m_nSeriesByRows = 5;
    setup.m_nSeriesChoice = 0;
    CPageSetupDlg dialog(setup);
    CPageSetupTabCtrl* tabs = dialog.Tabs();
    ASSERT_EQ(tabs->count(), 4);
    EXPECT_EQ(tabs->tabText(0), QStringLiteral("Layout"));
    EXPECT_EQ(tabs->tabText(3), QStringLiteral("Graphs"));
    EXPECT_EQ(tabs->ShownPage(), 0);
    const CPageSetupLayoutPage* layout = tabs->m_pLayout;
    EXPECT_EQ(layout->m_pScaling->currentText(), QStringLiteral("Number of graphs per page"));
    EXPECT_EQ(layout->m_pGraphs->currentText(), QStringLiteral("2"));
    EXPECT_EQ(layout->m_pMargins[1]->text(), QStringLiteral("1.25"));
    EXPECT_TRUE(layout->m_pLandscape->isChecked());
    EXPECT_TRUE(layout->m_pPresentation[2]->isChecked());
    EXPECT_EQ(tabs->m_pTitles->m_pEdits[1][1]->toPlainText(), QStringLiteral("&[Table Name]"));
    EXPECT_EQ(tabs->m_pFonts->m_pDescriptions[0]->text(), QStringLiteral("Arial, 10pt"));
    EXPECT_EQ(tabs->m_pFonts->m_pDescriptions[2]->text(), QStringLiteral("Arial, 12pt, bold"));
    EXPECT_EQ(tabs->m_pGraphs->m_pSeries->currentText(), QStringLiteral("First"));
    EXPECT_TRUE(tabs->m_pGraphs->m_pBy[0]->isChecked());
    EXPECT_EQ(tabs->m_pGraphs->m_pNumber->text(), QStringLiteral("5"));
    // Nothing changed yet: nothing to save.
    EXPECT_FALSE(dialog.m_pSave->isEnabled());
}

TEST_F(PageSetupDlgTest, ChangesGoStraightIntoTheSettingsAndEnableSave) {
    CEditPageSetup setup(static_cast<const QStringList*>(nullptr));
    CPageSetupDlg dialog(setup);
    CPageSetupTabCtrl* tabs = dialog.Tabs();
    Type(tabs->m_pLayout->m_pMargins[0], QStringLiteral("1.5"));
    EXPECT_EQ(setup.m_dTopMargin, 1.5);
    EXPECT_TRUE(dialog.m_pSave->isEnabled());
    tabs->m_pLayout->m_pLandscape->click();
    EXPECT_EQ(setup.m_nOrientation, 0);
    tabs->m_pTitles->m_pEdits[2][2]->setPlainText(QStringLiteral("Page &[Page]\nof the review"));
    EXPECT_EQ(setup.m_FooterStrings[2], "Page &[Page]\r\nof the review");
    tabs->m_pLayout->ChooseMode(4);
    EXPECT_EQ(setup.m_nScalePercent, 100);
    EXPECT_EQ(setup.m_bManualScale, 1);
    Type(tabs->m_pLayout->m_pPercent, QStringLiteral("80"));
    EXPECT_EQ(setup.m_nScalePercent, 80);
    // Back where it started: nothing to save again.
    CEditPageSetup opening(static_cast<const QStringList*>(nullptr));
    setup = opening;
    dialog.UpdateControls();
    EXPECT_FALSE(dialog.m_pSave->isEnabled());
}

TEST_F(PageSetupDlgTest, AMarginOrScaleThatIsNoNumberIsNotTakenAndSaveSaysWhy) {
    CEditPageSetup setup(static_cast<const QStringList*>(nullptr));
    const double before = setup.m_dBottomMargin;
    int result = 0;
    qs::fw::ModalScript script;
    script.Then<CPageSetupDlg>([&](CPageSetupDlg& dialog) {
        CPageSetupLayoutPage* layout = dialog.Tabs()->m_pLayout;
        Type(layout->m_pMargins[2], QStringLiteral("1,5x"));
        EXPECT_FALSE(dialog.m_pSave->isEnabled());  // not taken: nothing changed
        layout->m_pLandscape->click();
        dialog.m_pSave->click();  // refused: the dialog stays open
        EXPECT_TRUE(dialog.isVisible());
        Type(layout->m_pMargins[2], QStringLiteral("0.5"));
        layout->ChooseMode(4);
        Type(layout->m_pPercent, QStringLiteral("70000"));
        dialog.m_pSave->click();
        EXPECT_TRUE(dialog.isVisible());
        Type(layout->m_pPercent, QStringLiteral("90"));
        dialog.m_pSave->click();
    });
    CPageSetupDlg dialog(setup);
    result = int(dialog.DoModal());
    EXPECT_EQ(result, IDOK);
    ASSERT_EQ(m_boxes.Count(), 2u);
    EXPECT_TRUE(m_boxes.Texts().at(0).contains(QStringLiteral("margin")));
    EXPECT_TRUE(m_boxes.Texts().at(1).contains(QStringLiteral("65535")));
    EXPECT_NE(setup.m_dBottomMargin, before);
    EXPECT_EQ(setup.m_dBottomMargin, 0.5);
    EXPECT_EQ(setup.m_nScalePercent, 90);
}

TEST_F(PageSetupDlgTest, TheTablesPerPageBoxKeepsOneDigitAndNoZero) {
    CEditPageSetup setup(static_cast<const QStringList*>(nullptr));
    CPageSetupDlg dialog(setup);
    CPageSetupLayoutPage* layout = dialog.Tabs()->m_pLayout;
    layout->ChooseMode(5);
    EXPECT_EQ(setup.m_nTablesPerPage, 1);
    EXPECT_EQ(setup.m_bNewPageEachPart, 1);
    layout->m_pTablesPerPage->setFocus();
    layout->m_pTablesPerPage->end(false);
    QTest::keyClicks(layout->m_pTablesPerPage, QStringLiteral("5"));  // "15"
    EXPECT_EQ(layout->m_pTablesPerPage->text(), QStringLiteral("5"));
    EXPECT_EQ(setup.m_nTablesPerPage, 5);
    layout->m_pTablesPerPage->selectAll();
    QTest::keyClicks(layout->m_pTablesPerPage, QStringLiteral("0"));
    EXPECT_EQ(layout->m_pTablesPerPage->text(), QStringLiteral("1"));
    EXPECT_EQ(setup.m_nTablesPerPage, 1);
}

TEST_F(PageSetupDlgTest, SaveAsDefaultStoresTheSettingsAndUseDefaultTakesThemBack) {
    CEditPageSetup setup(static_cast<const QStringList*>(nullptr));
    setup.m_nKeyValue = 7;
    CPageSetupDlg dialog(setup);
    // No defaults file: Use Default keeps the settings, and afterwards they
    // are the defaults.
    setup.m_dRightMargin = 2.0;
    dialog.UpdateControls();
    EXPECT_TRUE(dialog.m_pUseDefault->isEnabled());
    dialog.m_pUseDefault->click();
    EXPECT_EQ(setup.m_dRightMargin, 2.0);
    EXPECT_FALSE(dialog.m_pUseDefault->isEnabled());
    EXPECT_FALSE(dialog.m_pSaveDefault->isEnabled());

    Type(dialog.Tabs()->m_pLayout->m_pMargins[3], QStringLiteral("0.4"));
    EXPECT_TRUE(dialog.m_pSaveDefault->isEnabled());
    dialog.m_pSaveDefault->click();
    const CEditPageSetup stored;
    EXPECT_TRUE(stored == setup);
    Type(dialog.Tabs()->m_pLayout->m_pMargins[3], QStringLiteral("3"));
    dialog.m_pUseDefault->click();
    EXPECT_EQ(setup.m_dRightMargin, 0.4);
    EXPECT_EQ(dialog.Tabs()->m_pLayout->m_pMargins[3]->text(), QStringLiteral("0.4"));
    EXPECT_EQ(setup.m_nKeyValue, 7u);  // the key is the owner's, not the defaults'
}

TEST_F(PageSetupDlgTest, TheGraphsTabSwitchesBetweenDefaultViewAndChosenSeries) {
    CEditPageSetup setup(static_cast<const QStringList*>(nullptr));
    CPageSetupDlg dialog(setup);
    CPageSetupGraphsPage* graphs = dialog.Tabs()->m_pGraphs;
    graphs->m_pSeries->setCurrentIndex(2);  // "Last"
    graphs->OnSeriesChanged();
    EXPECT_EQ(setup.m_nSeriesChoice, 1);
    EXPECT_EQ(setup.m_nGraphPageMarker, -2);
    Type(graphs->m_pNumber, QStringLiteral("4"));
    graphs->m_pBy[1]->click();
    EXPECT_EQ(setup.m_nSeriesByColumns, 4);
    EXPECT_FALSE(graphs->m_pDefaultView->isEnabled());
    graphs->m_pBy[1]->click();  // the last one unchecked: back to the default view
    EXPECT_TRUE(graphs->m_pDefaultView->isChecked());
    EXPECT_EQ(setup.m_nSeriesByRows, -4);
    EXPECT_EQ(setup.m_nSeriesByColumns, -4);
    EXPECT_EQ(setup.m_nSeriesByDiagonals, -4);
    // The series choice makes the layout open on graphs per page next time.
    CPageSetupDlg again(setup);
    EXPECT_EQ(again.Tabs()->m_pLayout->m_pScaling->currentIndex(), 6);
}

TEST_F(PageSetupDlgTest, InsertFieldPutsTheChosenFieldIntoTheEditLastVisited) {
    const QStringList names{QStringLiteral("Company Name"), QStringLiteral("--"), QStringLiteral("Print Date")};
    CEditPageSetup setup(&names);
    CPageSetupDlg dialog(setup);
    CPageSetupTitlesPage* titles = dialog.Tabs()->m_pTitles;
    dialog.show();
    dialog.Tabs()->ShowPage(1);
    EXPECT_FALSE(titles->m_pInsertField->isEnabled());
    QPlainTextEdit* titleLeft = titles->m_pEdits[1][0];
    titleLeft->setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(titles->m_pInsertField->isEnabled());
    QStringList listed;
    qs::fw::ModalScript script;
    script.Then<CInsertFieldDlg>([&](CInsertFieldDlg& field) {
        for (int i = 0; i < field.m_pList->count(); ++i) listed << field.m_pList->item(i)->text();
        field.m_pList->setCurrentRow(4);  // the separator: refused, the dialog stays
        field.OnOK();
        EXPECT_TRUE(field.isVisible());
        field.m_pList->setCurrentRow(1);
        field.OnOK();
    });
    titles->OnInsertField();
    EXPECT_EQ(listed, (QStringList{QStringLiteral("Layer"), QStringLiteral("Table Name"), QStringLiteral("Table ID"),
                                   QStringLiteral("Company Name"), QStringLiteral("--"), QStringLiteral("Print Date")}));
    EXPECT_EQ(setup.m_TitleStrings[0], "&[Table Name]");
}

TEST_F(PageSetupDlgTest, EnterInAPageEndsTheDialogWithSave) {
    CEditPageSetup setup(static_cast<const QStringList*>(nullptr));
    qs::fw::ModalScript script;
    script.Then<CPageSetupDlg>([](CPageSetupDlg& dialog) {
        QLineEdit* margin = dialog.Tabs()->m_pLayout->m_pMargins[0];
        margin->setFocus();
        margin->selectAll();
        QTest::keyClicks(margin, QStringLiteral("2"));
        QTest::keyClick(margin, Qt::Key_Return);
    });
    CPageSetupDlg dialog(setup);
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(setup.m_dTopMargin, 2.0);
}

}  // namespace
