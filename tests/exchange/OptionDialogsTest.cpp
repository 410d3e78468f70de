// The option dialogs of the batch runs and the import conflict question.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QPushButton>

#include "ExchangeOptionDialogs.h"
#include "MessageBox.h"
#include "ModalScript.h"
#include "ProjectHost.h"
#include "TestEnvironment.h"

using qs::fw::MessageBoxScript;
using qs::fw::ModalScript;

namespace {

class OptionDialogsTest : public ::testing::Test {
protected:
    void SetUp() override {
        qs::project::Host().workingDirectory = QString::fromStdString(qs::test::MakeTempDir("options"));
    }
    void TearDown() override { qs::project::Host() = qs::project::ProjectHost{}; }
};

TEST_F(OptionDialogsTest, LayerListsHoldTheFiveLayersAndTheChoiceIsKept) {
    QStringList importLayers, exportLayers;
    ModalScript script;
    script
        .Then([&](QDialog& d) {
            auto* combo = qobject_cast<QComboBox*>(static_cast<CDialog&>(d).GetDlgItem(qs::exchange::IDC_LAYER));
            for (int i = 0; i < combo->count(); ++i) importLayers << combo->itemText(i);
            combo->setCurrentIndex(3);
            static_cast<CDialog&>(d).OnOK();
        })
        .Then([&](QDialog& d) {
            auto& dialog = static_cast<CExportAsciiDlg&>(d);
            for (int i = 0; i < dialog.m_cmbLayer->count(); ++i) exportLayers << dialog.m_cmbLayer->itemText(i);
            dialog.OnOK();
        });
    CImportAsciiDlg importDlg;
    ASSERT_EQ(importDlg.DoModal(), IDOK);
    EXPECT_EQ(importDlg.m_nLayer, 3);
    EXPECT_EQ(importDlg.m_bCumulative, 1);
    CExportAsciiDlg exportDlg;
    ASSERT_EQ(exportDlg.DoModal(), IDOK);
    const QStringList five{"Net", "Gross", "Ceded", "Direct", "Assumed"};
    EXPECT_EQ(importLayers, five);
    EXPECT_EQ(exportLayers, five);
    EXPECT_EQ(exportDlg.m_nMode, 1) << "no active document: batch mode";
}

// Header and footer lengths are byte counts: a negative or an absurd one is
// refused with the range.
TEST_F(OptionDialogsTest, PaddingLengthsAreChecked) {
    const struct {
        const char* header;
        const char* footer;
        bool accepted;
    } cases[] = {{"0", "0", true}, {"16", "8", true}, {"-1", "0", false}, {"0", "-5", false}, {"99999999", "0", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.header) + "/" + c.footer);
        MessageBoxScript boxes;
        ModalScript script;
        script.Then([&](QDialog& d) {
            auto& dialog = static_cast<CDialog&>(d);
            dialog.SetDlgItemText(qs::exchange::IDC_HEADER_LENGTH, c.header);
            dialog.SetDlgItemText(qs::exchange::IDC_FOOTER_LENGTH, c.footer);
            dialog.OnOK();
            if (!c.accepted) dialog.OnCancel();
        });
        CExportEnhancedAsciiDlg dialog;
        EXPECT_EQ(dialog.DoModal(), c.accepted ? IDOK : IDCANCEL);
        if (c.accepted) {
            EXPECT_EQ(dialog.m_nHeaderLength, QString(c.header).toInt());
            EXPECT_EQ(dialog.m_nFooterLength, QString(c.footer).toInt());
        } else {
            ASSERT_EQ(boxes.Count(), 1u);
            EXPECT_EQ(boxes.Last().text, QStringLiteral("Please enter an integer between 0 and 1048576."));
        }
    }
}

// Each button ends the question with its code; Escape cancels the import;
// Add follows m_bAllowAdd.
TEST_F(OptionDialogsTest, ConflictDialogAnswersWithItsCodes) {
    const struct {
        int button;
        int code;
    } buttons[] = {{CImportConflictDlg::IDC_ADD, 1},
                   {CImportConflictDlg::IDC_REPLACE, 2},
                   {CImportConflictDlg::IDC_RENAME, 3},
                   {CImportConflictDlg::IDC_SKIP, 4},
                   {CImportConflictDlg::IDC_CANCEL_IMPORT, 5}};
    for (const auto& b : buttons) {
        ModalScript script;
        script.Then([&](QDialog& d) {
            qobject_cast<QPushButton*>(static_cast<CDialog&>(d).GetDlgItem(b.button))->click();
        });
        CImportConflictDlg dialog;
        EXPECT_EQ(dialog.DoModal(), b.code);
    }
    for (int allow : {0, 1}) {
        bool addEnabled = !allow;
        QString text;
        ModalScript script;
        script.Then([&](QDialog& d) {
            auto& dialog = static_cast<CDialog&>(d);
            addEnabled = dialog.GetDlgItem(CImportConflictDlg::IDC_ADD)->isEnabled();
            text = dialog.GetDlgItemText(CImportConflictDlg::IDC_MESSAGE);
            d.reject();  // Escape
        });
        CImportConflictDlg dialog;
        dialog.m_bAllowAdd = allow;
        dialog.m_strMessage = "x.qs5\nFile already exists.";
        EXPECT_EQ(dialog.DoModal(), CImportConflictDlg::kCancelImport);
        EXPECT_EQ(addEnabled, allow == 1);
        EXPECT_EQ(text, "x.qs5\nFile already exists.");
    }
    // A dialog nobody answers is a cancel, never a "Replace".
    CImportConflictDlg unanswered;
    EXPECT_EQ(unanswered.DoModal(), CImportConflictDlg::kCancelImport);
}

}  // namespace
