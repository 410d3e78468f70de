// The wizard of the blanks-to-zeros utility, driven offscreen as a user
// would: options, the file chooser, the question, processing and "Done".
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "CZerofillApp.h"
#include "MessageBox.h"
#include "ModalScript.h"
#include "QsInstanceCounter.h"
#include "ZeroFillFixture.h"
#include "ZerofillPages.h"

using zftest::B;

namespace {

// Chooses files of one folder in the chooser, as a user would type them.
auto Choose(const std::string& dir, const QStringList& names) {
    return [dir = QString::fromStdString(dir), names](QDialog& d) {
        auto& dialog = dynamic_cast<QFileDialog&>(d);
        dialog.setDirectory(dir);
        QStringList quoted;
        for (const QString& n : names) quoted << "\"" + n + "\"";
        dialog.findChild<QLineEdit*>("fileNameEdit")->setText(quoted.join(' '));
        d.accept();
    };
}

class Wizard : public ::testing::Test {
protected:
    void SetUp() override {
        dir = qs::test::MakeTempDir("wizard");
        f = zftest::MakeProject();
        ASSERT_TRUE(f.project);
        sheet.m_page2.m_pauseMs = 0;
        sheet.Create();
    }
    QString StatusText() { return sheet.m_page2.GetDlgItemText(CPropPage2::IDC_STATUS); }
    QStringList Results() {
        QStringList lines;
        auto* list = dynamic_cast<QListWidget*>(sheet.m_page2.GetDlgItem(CPropPage2::IDC_RESULTS));
        for (int i = 0; list && i < list->count(); ++i) lines << list->item(i)->text();
        return lines;
    }
    // Next on page 1, then the chooser, the question and the processing.
    void RunToTheEnd() {
        ASSERT_TRUE(sheet.PressButton(PSBTN_NEXT));
        QApplication::processEvents();  // page 2's start message
    }

    std::string dir;
    zftest::Fixture f;
    CZerofillSheet sheet;
    qs::fw::MessageBoxScript boxes;
    qs::fw::ModalScript modals;
};

TEST_F(Wizard, ConvertsTwoFilesAndSaysWhatItDid) {
    zftest::WriteCompound(dir + "/First.qs5", *f.project);
    zftest::WriteCompound(dir + "/Second.qs4", *f.project);
    EXPECT_EQ(sheet.windowTitle(), "Blanks to Zero Wizard");
    EXPECT_EQ(sheet.m_page1.GetCaption(), "Blanks to Zeros Wizard");
    EXPECT_EQ(sheet.GetActiveIndex(), 0);
    EXPECT_TRUE(sheet.Button(PSBTN_NEXT)->isEnabled());
    EXPECT_FALSE(sheet.Button(PSBTN_BACK)->isEnabled());

    QString chooserTitle, okText;
    modals.Then([&](QDialog& d) {
        chooserTitle = d.windowTitle();
        okText = dynamic_cast<QFileDialog&>(d).labelText(QFileDialog::Accept);
        Choose(dir, {"First.qs5", "Second.qs4"})(d);
    });
    boxes.Answer(IDOK);
    sheet.show();
    RunToTheEnd();
    EXPECT_EQ(chooserTitle, "Blanks to Zero Wizard");
    EXPECT_EQ(okText, "Next");
    ASSERT_EQ(boxes.Count(), 1u) << boxes.Texts().join("\n").toStdString();
    EXPECT_EQ(boxes.Boxes()[0].text,
              "There are 2 files selected for processing.  Do you want to start processing the selected files?");
    EXPECT_EQ(StatusText(), "Processing is complete.");
    EXPECT_EQ(Results().size(), 2);
    EXPECT_EQ(Results()[0], "Converted First.qs5 into First.qs5: 2 tables, 5 blank cells filled");
    EXPECT_EQ(Results()[1], "Converted Second.qs4 into Second.qs5: 2 tables, 5 blank cells filled");
    EXPECT_EQ(sheet.Button(PSBTN_CANCEL)->text(), "Done");
    EXPECT_TRUE(sheet.Button(PSBTN_BACK)->isEnabled());
    EXPECT_FALSE(sheet.Button(PSBTN_NEXT)->isEnabled());
    for (const char* out : {"/First.qs5", "/Second.qs5"}) {
        auto p = zftest::Load(dir + out);
        ASSERT_TRUE(p) << out;
        EXPECT_EQ(zftest::Cells(*p, f.triangle)[2], (std::vector<double>{50, B})) << out;
    }
    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(dir + "/First.BK5")));
    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(dir + "/Second.BK4")));
    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(dir + "/Second.log")));

    // Back starts a new round with Cancel, not Done.
    ASSERT_TRUE(sheet.PressButton(PSBTN_BACK));
    EXPECT_EQ(sheet.GetActiveIndex(), 0);
    EXPECT_EQ(sheet.Button(PSBTN_CANCEL)->text(), "Cancel");
}

TEST_F(Wizard, IncrementalModeAndOneFile) {
    zftest::WriteCompound(dir + "/Only.qs5", *f.project);
    auto* box = dynamic_cast<QCheckBox*>(sheet.m_page1.GetDlgItem(CPropPage1::IDC_INCREMENTAL));
    ASSERT_NE(box, nullptr);
    box->click();
    EXPECT_EQ(sheet.m_session.incrementalMode, 1);
    modals.Then(Choose(dir, {"Only.qs5"}));
    boxes.Answer(IDOK);
    RunToTheEnd();
    EXPECT_EQ(boxes.Boxes()[0].text,
              "There is 1 file selected for processing.  Do you want to start processing the selected file?");
    auto p = zftest::Load(dir + "/Only.qs5");
    ASSERT_TRUE(p);
    // A blank after the row's last value becomes a zero increment here.
    EXPECT_EQ(zftest::Cells(*p, f.triangle)[2], (std::vector<double>{50, 50}));
}

TEST_F(Wizard, DecliningTheQuestionTouchesNothing) {
    zftest::WriteCompound(dir + "/Kept.qs5", *f.project);
    const std::string before = qs::test::ReadFile(dir + "/Kept.qs5");
    modals.Then(Choose(dir, {"Kept.qs5"}));
    boxes.Answer(IDCANCEL);
    RunToTheEnd();
    EXPECT_EQ(StatusText(), "Processing cancelled.");
    EXPECT_EQ(sheet.GetActiveIndex(), 0);
    EXPECT_EQ(sheet.m_session.fileDialog, nullptr);
    EXPECT_EQ(qs::test::ReadFile(dir + "/Kept.qs5"), before);
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(dir + "/Kept.BK5")));
}

TEST_F(Wizard, CancellingTheChooserEndsTheWizard) {
    modals.Then([](QDialog& d) { d.reject(); });
    sheet.show();
    EXPECT_FALSE(sheet.PressButton(PSBTN_NEXT) && sheet.GetActiveIndex() == 1);
    EXPECT_FALSE(sheet.isVisible());
    EXPECT_EQ(sheet.m_session.fileDialog, nullptr);
}

TEST_F(Wizard, CancelStopsAfterTheFileInHand) {
    // The first file is damaged; while its report is up the user cancels.
    // It finishes, and the files after it are not touched.
    qs::test::WriteFile(dir + "/A.qs5", "damaged");
    zftest::WriteCompound(dir + "/B.qs5", *f.project);
    zftest::WriteCompound(dir + "/C.qs5", *f.project);
    const std::string b = qs::test::ReadFile(dir + "/B.qs5");
    modals.Then(Choose(dir, {"A.qs5", "B.qs5", "C.qs5"}));
    boxes.SetResponder([&](const qs::fw::MessageBoxRecord& r) {
        if (r.text.contains("could not be serialized")) sheet.PressButton(PSBTN_CANCEL);
        return IDOK;
    });
    sheet.show();
    RunToTheEnd();
    EXPECT_TRUE(sheet.m_page2.StopRequested());
    EXPECT_EQ(Results(), QStringList{"Not converted: A.qs5"});
    EXPECT_EQ(qs::test::ReadFile(dir + "/B.qs5"), b);
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(dir + "/B.BK5")));
}

TEST(ZerofillApp, ASecondCopySaysTheApplicationIsRunning) {
    qs::ipc::InstanceCounter first("zerofill");
    ASSERT_EQ(first.Increment(), 1);
    qs::fw::MessageBoxScript boxes;
    CZerofillApp second;
    EXPECT_FALSE(second.InitInstance());
    second.ExitInstance();
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Last().text, "Application is running.");
    EXPECT_EQ(first.Count(), 1);
}

}  // namespace
