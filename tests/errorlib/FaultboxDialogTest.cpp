// The error list dialog and the options applet, driven offscreen: modal
// dialogs are played by a ModalScript and message boxes answered by a
// MessageBoxScript.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "CDebugOptionsDlg.h"
#include "CFaultbox.h"
#include "CFaultboxDll.h"
#include "CaptureStderr.h"
#include "FaultboxApi.h"
#include "MessageBox.h"
#include "ModalScript.h"
#include "QsEnvironment.h"
#include "QsProfile.h"
#include "SharedMessageOptions.h"
#include "TestEnvironment.h"

namespace {

std::string Ini() { return qs::env::WindowsDirectory() + "/system.ini"; }

std::string Run(const std::string& command) {
    std::string out;
    FILE* p = ::popen(command.c_str(), "r");
    if (!p) return out;
    std::array<char, 512> buf{};
    while (std::fgets(buf.data(), buf.size(), p)) out += buf.data();
    ::pclose(p);
    return out;
}

std::string PdfText(const std::string& pdf, int page = 0) {
    std::string range = page > 0 ? " -f " + std::to_string(page) + " -l " + std::to_string(page) : "";
    return Run("pdftotext -layout" + range + " '" + pdf + "' - 2>/dev/null");
}

int PdfPages(const std::string& pdf) {
    std::string info = Run("pdfinfo '" + pdf + "' 2>/dev/null");
    auto at = info.find("Pages:");
    return at == std::string::npos ? -1 : std::stoi(info.substr(at + 6));
}

template <typename T>
T* Control(QWidget& dialog, int id) {
    T* control = dialog.findChild<T*>(QString::number(id));
    EXPECT_NE(control, nullptr) << "control " << id;
    return control;
}

class FaultboxDialogs : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        CaptureStderr quiet;
        ASSERT_NE(CFaultboxDll::Instance(), nullptr);
    }
    void SetUp() override {
        faultbox::InitialiseSharedMessageOptions(faultbox::SharedOptions());
        std::filesystem::remove(Ini());
    }

    // An error list the way a client hands it over.
    struct List {
        std::vector<std::string> texts;
        std::vector<const char*> pointers;
        FaultboxErrorList list{};
        explicit List(std::vector<std::string> t) : texts(std::move(t)) {
            for (const auto& s : texts) pointers.push_back(s.c_str());
            list.strings = pointers.data();
            list.count = static_cast<int>(pointers.size());
        }
    };
};

TEST_F(FaultboxDialogs, ListsTheErrorsAndSavesThem) {
    List errors({"first error", "second error", "third error"});
    const std::string path = qs::test::MakeTempDir("save") + "/ERRORS.txt";
    qs::fw::ModalScript script;
    script
        .Then<CFaultbox>([&](CFaultbox& dlg) {
            EXPECT_EQ(dlg.windowTitle(), "The Following Error Messages Have Occurred");
            QListWidget* list = Control<QListWidget>(dlg, CFaultbox::IDC_ERRORS);
            ASSERT_EQ(list->count(), 3);
            EXPECT_EQ(list->item(2)->text(), "third error");
            Control<QPushButton>(dlg, CFaultbox::IDC_SAVE)->click();
            Control<QPushButton>(dlg, CFaultbox::IDC_CLOSE)->click();
        })
        .Then<QFileDialog>([&](QFileDialog& chooser) {
            EXPECT_EQ(chooser.defaultSuffix(), "txt");
            chooser.selectFile(QString::fromStdString(path));
            static_cast<QDialog&>(chooser).accept();  // validates like a click on Save
        });
    CaptureStderr quiet;
    ShowErrors(&errors.list, nullptr);
    EXPECT_TRUE(script.AllHandled());
    EXPECT_EQ(script.Dialogs().size(), 2u);
    EXPECT_EQ(script.Dialogs().front().result, IDOK);
    EXPECT_EQ(qs::test::ReadFile(path), "first error\nsecond error\nthird error\n");
}

TEST_F(FaultboxDialogs, SaveFailureIsReportedAndTheDialogStaysOpen) {
    List errors({"only"});
    const std::string path = qs::test::MakeTempDir("save") + "/no-such-folder/ERRORS.txt";
    qs::fw::MessageBoxScript boxes;
    qs::fw::ModalScript script;
    script
        .Then<CFaultbox>([&](CFaultbox& dlg) {
            Control<QPushButton>(dlg, CFaultbox::IDC_SAVE)->click();
            EXPECT_TRUE(dlg.isVisible());
            dlg.done(IDOK);
        })
        .Then<QFileDialog>([&](QFileDialog& chooser) {
            chooser.selectFile(QString::fromStdString(path));
            static_cast<QDialog&>(chooser).done(QDialog::Accepted);  // skips the folder check
        });
    CFaultbox dialog(&errors.list);
    qs::fw::RunModal(dialog);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Last().text, "Could not open the file");
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(FaultboxDialogs, EmptyOrMissingListOpensEmptyAndSavePrintDoNothing) {
    List empty({});
    for (const FaultboxErrorList* list : {static_cast<const FaultboxErrorList*>(&empty.list),
                                         static_cast<const FaultboxErrorList*>(nullptr)}) {
        qs::fw::ModalScript script;
        script.Then<CFaultbox>([](CFaultbox& dlg) {
            EXPECT_EQ(Control<QListWidget>(dlg, CFaultbox::IDC_ERRORS)->count(), 0);
            Control<QPushButton>(dlg, CFaultbox::IDC_SAVE)->click();
            Control<QPushButton>(dlg, CFaultbox::IDC_PRINT)->click();
            dlg.done(IDOK);
        });
        CFaultbox dialog(list);
        qs::fw::RunModal(dialog);
        EXPECT_EQ(script.Dialogs().size(), 1u);  // no file or print dialog started
    }
}

TEST_F(FaultboxDialogs, PrintsTheListThroughThePrintSetupDialog) {
    List errors({"alpha failure", "beta failure", "gamma failure"});
    const std::string pdf = qs::test::MakeTempDir("print") + "/errors.pdf";
    qs::fw::ModalScript script;
    script
        .Then<CFaultbox>([](CFaultbox& dlg) {
            Control<QPushButton>(dlg, CFaultbox::IDC_PRINT)->click();
            dlg.done(IDOK);
        })
        .Then<QPrintDialog>([&](QPrintDialog& setup) {
            setup.printer()->setOutputFormat(QPrinter::PdfFormat);
            setup.printer()->setOutputFileName(QString::fromStdString(pdf));
            setup.done(QDialog::Accepted);
        });
    CFaultbox dialog(&errors.list);
    qs::fw::RunModal(dialog);
    EXPECT_TRUE(script.AllHandled());
    ASSERT_TRUE(std::filesystem::exists(pdf));
    EXPECT_EQ(PdfPages(pdf), 1);
    const std::string text = PdfText(pdf);
    const auto a = text.find("alpha failure"), b = text.find("beta failure"), c = text.find("gamma failure");
    ASSERT_NE(a, std::string::npos) << text;
    EXPECT_LT(a, b);
    EXPECT_LT(b, c);
}

TEST_F(FaultboxDialogs, AFullPageIsFollowedByAnEmptyOne) {
    const std::string pdf = qs::test::MakeTempDir("print") + "/full.pdf";
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(pdf));
    const int perPage = CFaultbox::LinesPerPage(printer);
    ASSERT_GT(perPage, 10);
    std::vector<std::string> lines;
    for (int i = 1; i <= perPage + 2; ++i) lines.push_back("line " + std::to_string(i));

    List full(std::vector<std::string>(lines.begin(), lines.begin() + perPage));
    CFaultbox(&full.list).PrintTo(printer);
    EXPECT_EQ(PdfPages(pdf), 2);
    EXPECT_NE(PdfText(pdf, 1).find("line " + std::to_string(perPage)), std::string::npos);
    EXPECT_EQ(PdfText(pdf, 2).find("line"), std::string::npos);

    List over(lines);
    CFaultbox(&over.list).PrintTo(printer);
    EXPECT_EQ(PdfPages(pdf), 2);
    EXPECT_NE(PdfText(pdf, 2).find("line " + std::to_string(perPage + 2)), std::string::npos);
    EXPECT_EQ(PdfText(pdf, 2).find("line " + std::to_string(perPage) + "\n"), std::string::npos);
}

TEST_F(FaultboxDialogs, AppletAnswersTheControlPanel) {
    EXPECT_EQ(CPlApplet(nullptr, CPL_INIT, 0, 0), 1);
    EXPECT_EQ(CPlApplet(nullptr, CPL_GETCOUNT, 0, 0), 1);
    for (unsigned m : {unsigned(CPL_INQUIRE), unsigned(CPL_SELECT), unsigned(CPL_STOP), unsigned(CPL_EXIT), 99u}) EXPECT_EQ(CPlApplet(nullptr, m, 0, 0), 0);
    NEWCPLINFO info;
    std::memset(&info, 0x5a, sizeof info);
    EXPECT_EQ(CPlApplet(nullptr, CPL_NEWINQUIRE, 0, reinterpret_cast<long>(&info)), 0);
    EXPECT_EQ(info.dwSize, 244u);
    EXPECT_EQ(info.dwFlags, 0u);
    EXPECT_EQ(info.dwHelpContext, 0u);
    EXPECT_EQ(info.lData, 0);
    EXPECT_EQ(info.hIcon, 103u);
    EXPECT_STREQ(info.szName, "PCRFT Err Hndlr");
    EXPECT_STREQ(info.szInfo, "PCraftr Error Handler Configuration");
    EXPECT_STREQ(info.szHelpFile, "");
}

std::string Option(const char* key) {
    return qs::profile::ReadString(Ini(), "PCraftr Error Display Driver", key, "<missing>");
}

TEST_F(FaultboxDialogs, OptionsOkWritesEverySwitchAndKeepsPriorityZero) {
    auto& o = faultbox::SharedOptions();
    o.AlertFile = 1;
    CFaultboxDll::SetMessageFileName("/tmp/keep.dbg");
    qs::fw::ModalScript script;
    script.Then<CDebugOptionsDlg>([](CDebugOptionsDlg& dlg) {
        EXPECT_EQ(dlg.windowTitle(), "Platecraft Debugging Options");
        EXPECT_TRUE(Control<QCheckBox>(dlg, CDebugOptionsDlg::IDC_ALERT_FILE)->isChecked());
        for (int id : {CDebugOptionsDlg::IDC_PRIORITY_CRITICAL, CDebugOptionsDlg::IDC_PRIORITY_WARNING,
                       CDebugOptionsDlg::IDC_PRIORITY_ALL})
            EXPECT_FALSE(Control<QRadioButton>(dlg, id)->isChecked());
        EXPECT_EQ(Control<QLineEdit>(dlg, CDebugOptionsDlg::IDC_FILENAME)->text(), "/tmp/keep.dbg");
        Control<QCheckBox>(dlg, CDebugOptionsDlg::IDC_ERRORS_MSGBOX)->setChecked(true);
        Control<QCheckBox>(dlg, CDebugOptionsDlg::IDC_TRACE_FILE)->setChecked(true);
        dlg.accept();
    });
    CaptureStderr out;
    CPlApplet(nullptr, CPL_DBLCLK, 0, 0);
    EXPECT_NE(out.Text().find("void CFaultboxDll::ChangeToInit()\n"), std::string::npos);
    EXPECT_EQ(o.CErrorsMsgBox, 1);
    EXPECT_EQ(o.TraceFile, 1);
    EXPECT_EQ(o.AlertFile, 1);
    EXPECT_EQ(o.ShowPriority, '0');
    const std::pair<const char*, const char*> expected[] = {
        {"CErrorsDebugWin", "0"}, {"CErrorsMsgBox", "1"}, {"AlertMsgBox", "0"}, {"AlertDebugWin", "0"},
        {"TraceMsgs", "0"},       {"ShowPriority", "0"},  {"ErrorFile", "0"},   {"AlertFile", "1"},
        {"TraceFile", "1"},       {"FileName", "<missing>"},  // unchanged name is not written
    };
    for (const auto& [key, value] : expected) EXPECT_EQ(Option(key), value) << key;
}

TEST_F(FaultboxDialogs, OptionsPriorityClickAndClearedFileName) {
    CFaultboxDll::SetMessageFileName("/tmp/old.dbg");
    qs::fw::ModalScript script;
    script.Then<CDebugOptionsDlg>([](CDebugOptionsDlg& dlg) {
        Control<QRadioButton>(dlg, CDebugOptionsDlg::IDC_PRIORITY_WARNING)->click();
        Control<QLineEdit>(dlg, CDebugOptionsDlg::IDC_FILENAME)->clear();
        dlg.accept();
    });
    CaptureStderr quiet;
    CPlApplet(nullptr, CPL_DBLCLK, 0, 0);
    EXPECT_EQ(faultbox::SharedOptions().ShowPriority, '2');
    EXPECT_EQ(Option("ShowPriority"), "2");
    EXPECT_EQ(Option("FileName"), "c:\\msg_file.dbg");
    EXPECT_EQ(CFaultboxDll::MessageFileName(), "c:\\msg_file.dbg");
}

TEST_F(FaultboxDialogs, OptionsCancelKeepsTheGivenValues) {
    auto& o = faultbox::SharedOptions();
    o.TraceMsgs = 1;
    o.ShowPriority = '3';
    CFaultboxDll::SetMessageFileName("/tmp/same.dbg");
    qs::fw::ModalScript script;
    script.Then<CDebugOptionsDlg>([](CDebugOptionsDlg& dlg) {
        EXPECT_TRUE(Control<QRadioButton>(dlg, CDebugOptionsDlg::IDC_PRIORITY_ALL)->isChecked());
        Control<QCheckBox>(dlg, CDebugOptionsDlg::IDC_TRACE_DEBUGWIN)->setChecked(false);
        Control<QRadioButton>(dlg, CDebugOptionsDlg::IDC_PRIORITY_CRITICAL)->click();
        Control<QLineEdit>(dlg, CDebugOptionsDlg::IDC_FILENAME)->setText("/tmp/other.dbg");
        dlg.reject();
    });
    CaptureStderr quiet;
    CPlApplet(nullptr, CPL_DBLCLK, 0, 0);
    EXPECT_EQ(o.TraceMsgs, 1);
    EXPECT_EQ(o.ShowPriority, '3');
    EXPECT_EQ(CFaultboxDll::MessageFileName(), "/tmp/same.dbg");
    EXPECT_EQ(Option("TraceMsgs"), "1");
    EXPECT_EQ(Option("ShowPriority"), "3");
    EXPECT_EQ(Option("FileName"), "<missing>");
}

}  // namespace
