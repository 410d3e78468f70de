// The period commands of the project document, driven as a user drives
// them: the dialogs played by ModalScript handlers, the questions answered
// by MessageBoxScript. Each command must leave the project in the shape the
// kernel gives it, reattach the open windows on every path and report
// successes and failures each in its own way.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QWidget>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "CCmdUI.h"
#include "CDataObject.h"
#include "CDocTemplate.h"
#include "CFrameWnd.h"
#include "CProject.h"
#include "CProjectDoc.h"
#include "CTriangView.h"
#include "KernelGlobals.h"
#include "MessageBox.h"
#include "ModalScript.h"
#include "ProjectHost.h"
#include "StructureDialogs.h"
#include "TestEnvironment.h"
#include "ViewSettings.h"

using qs::fw::MessageBoxScript;
using qs::fw::ModalScript;

namespace {

constexpr QSID kPaid = 101000001;

enum : UINT {
    kRemoveLastEvaluation = 32796,
    kAppendNewEvaluation = 32803,
    kAppendOldestExposure = 32804,
    kRemoveOldestExposure = 32805,
    kAppendDevelopment = 32806,
    kCompressColumns = 32807,
    kCompressRows = 32809,
    kRemovePrior = 33053,
    kAppendPrior = 33054,
};

struct Shape {
    std::uint16_t numExp = 5;
    PRDLENGTH expLength = PRD_YEAR;
    std::uint16_t numDev = 5;
    PRDLENGTH devLength = PRD_YEAR;
    std::uint16_t firstAge = 12;
    bool prior = false;
};

void MakeProject(CProject& project, const Shape& s) {
    std::uint16_t gen = 5, numExp = s.numExp, firstYear = 2001, interval = 1, numDev = s.numDev, firstAge = s.firstAge;
    PRDLENGTH expLength = s.expLength, devLength = s.devLength;
    LAYERNAMES c1 = GROSS, c2 = ASSUMED;
    project.SetIncludesPrior(s.prior);
    ASSERT_EQ(project.Create(gen, numExp, expLength, firstYear, interval, numDev, devLength, firstAge, c1, c2), 0);
    // Distinct cumulative values in every cell of the paid triangle.
    CDataObject* paid = project.FindDataObject(kPaid, NET);
    std::uint16_t rows = 0, cols = 0;
    paid->GetMaxRowsCols(rows, cols);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            if (paid->LocationIsValid(r, c)) paid->SetAt(r, c, 1000.0 * (r + 1) + 10.0 * c);
}

// The paid triangle as a comparable text: its shape and every valid cell.
std::string PaidCells(const CProject& project) {
    const CDataObject* paid = project.FindDataObject(kPaid, NET);
    std::uint16_t rows = 0, cols = 0;
    paid->GetMaxRowsCols(rows, cols);
    std::ostringstream out;
    out << rows << 'x' << cols << ':';
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) {
            if (!paid->LocationIsValid(r, c)) continue;
            double v = 0;
            std::uint8_t f = 0;
            paid->GetAt(r, c, v, f);
            out << ' ' << v << '/' << int(f);
        }
    return out.str();
}

bool Enabled(CProjectDoc& doc, UINT id) {
    CCmdUI ui;
    ui.m_nID = id;
    ui.DoUpdate(&doc, TRUE);
    return ui.m_enabled;
}

class PeriodCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        qs::views::Settings() = qs::views::ViewSettings{};
        m_main = std::make_unique<QWidget>();
        m_main->show();  // failure reports are shown only over a visible main window
        qs::fw::SetMainWindow(m_main.get());
        m_template = std::make_unique<CMultiDocTemplate>(0, RUNTIME_CLASS(CProjectDoc), RUNTIME_CLASS(CFrameWnd),
                                                         RUNTIME_CLASS(CTriangView));
        qs::project::ProjectHost& host = qs::project::Host();
        host.viewTemplate = [this](qs::project::ObjectViewKind kind) -> CDocTemplate* {
            return kind == qs::project::ObjectViewKind::Table ? m_template.get() : nullptr;
        };
        host.postCommand = [this](unsigned command, CProjectDoc*) { m_posted.push_back(command); };
        host.beginProgress = [this](const QString& caption) { m_progress << "begin " + caption; };
        host.endProgress = [this](const QString& text) { m_progress << "end " + text; };
        host.tailFactorProgramOpen = [this] { return m_tailProgramOpen; };
        const std::string dir = qs::test::MakeTempDir("periods");
        m_log = dir + "/project.log";
        m_appLog = dir + "/application.log";
        // The application's log is another file: the project's reports never go there.
        host.logFilePath = [this] { return m_appLog; };
        gbLogFileContainsError = false;
    }

    void TearDown() override {
        if (m_doc) m_doc->OnCloseDocument();
        m_doc.reset();
        qs::project::Host() = qs::project::ProjectHost{};
        qs::fw::SetMainWindow(nullptr);
        gbLogFileContainsError = false;
    }

    CProjectDoc& Open(const Shape& shape = {}) {
        m_doc = std::make_unique<CProjectDoc>();
        m_doc->m_bAutoDelete = FALSE;  // the test owns it
        MakeProject(*m_doc->GetProject(), shape);
        m_doc->GetProject()->SetLogFileName(m_log);
        m_doc->GetProject()->SetModifiedFlag(false);
        m_doc->SetModifiedFlag(FALSE);
        return *m_doc;
    }

    // An open window on the paid triangle: every command must give it back
    // its kernel object.
    CTriangView* OpenPaidWindow() {
        CFrameWnd* frame = m_doc->OpenObjectView(kPaid, NET);
        if (frame == nullptr) return nullptr;
        for (CView* view : frame->GetViews())
            if (auto* t = dynamic_cast<CTriangView*>(view)) return t;
        return nullptr;
    }

    void Run(UINT command) { m_doc->OnCmdMsg(command, CN_COMMAND, nullptr, nullptr); }

    const QSStructure& Structure() const { return m_doc->GetProject()->GetStructure(); }

    std::string LogText() const { return qs::test::ReadFile(m_log); }

    std::unique_ptr<QWidget> m_main;
    std::unique_ptr<CMultiDocTemplate> m_template;
    std::unique_ptr<CProjectDoc> m_doc;
    std::vector<unsigned> m_posted;
    QStringList m_progress;
    bool m_tailProgramOpen = false;
    std::string m_log;
    std::string m_appLog;
};

// ---------------------------------------------------------------- evaluations

TEST_F(PeriodCommandsTest, AppendNewEvaluationGrowsTheGridAndOffersSaveAs) {
    CProjectDoc& doc = Open();
    CTriangView* window = OpenPaidWindow();
    ASSERT_NE(window, nullptr);
    ModalScript dialogs;
    dialogs.Then<CAppendEvalPeriodDlg>([](CAppendEvalPeriodDlg& d) {
        // Development always grows; exposure grows while the project can.
        EXPECT_TRUE(d.IsDlgButtonChecked(CAppendEvalPeriodDlg::IDC_DEVELOPMENT));
        EXPECT_FALSE(d.GetDlgItem(CAppendEvalPeriodDlg::IDC_DEVELOPMENT)->isEnabled());
        EXPECT_TRUE(d.IsDlgButtonChecked(CAppendEvalPeriodDlg::IDC_EXPOSURE));
        d.OnOK();
    });
    MessageBoxScript boxes{IDNO, IDYES};
    Run(kAppendNewEvaluation);

    ASSERT_TRUE(dialogs.AllHandled());
    EXPECT_EQ(boxes.Texts(), QStringList({"Clear all selecteds and method variables?",
                                          "New evaluation period appended successfully.\nSave file under different name?"}));
    EXPECT_EQ(Structure().numExp, 6);
    EXPECT_EQ(Structure().numDev, 6);
    // Save As is posted, to run once the command has ended.
    EXPECT_EQ(m_posted, std::vector<unsigned>({57604}));
    EXPECT_EQ(m_progress, QStringList({"begin Appending new evaluation.", "end New evaluation period successfully appended."}));
    EXPECT_EQ(window->GetTO(), doc.GetProject()->FindDataObject(kPaid, NET));
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(PeriodCommandsTest, AppendNewEvaluationInADatabaseProjectAsksNoSaveAs) {
    CProjectDoc& doc = Open();
    doc.GetProject()->SetMode(RM_DATABASE);
    ModalScript dialogs;
    dialogs.Then<CAppendEvalPeriodDlg>([](CAppendEvalPeriodDlg& d) {
        d.CheckDlgButton(CAppendEvalPeriodDlg::IDC_EXPOSURE, 0);
        d.OnOK();
    });
    MessageBoxScript boxes{IDYES};
    Run(kAppendNewEvaluation);
    EXPECT_EQ(boxes.Texts(), QStringList({"Clear all selecteds and method variables?"}));
    EXPECT_TRUE(m_posted.empty());
    // Without new exposure rows the evaluation moves along the diagonal.
    EXPECT_EQ(Structure().numExp, 5);
    EXPECT_EQ(Structure().numDev, 6);
    EXPECT_EQ(Structure().evalExtra, 12);
}

TEST_F(PeriodCommandsTest, AppendNewEvaluationRefusedReattachesAndSaysSo) {
    // A project already at the largest development count cannot grow.
    CProjectDoc& doc = Open({.numExp = 2, .numDev = 999});
    CTriangView* window = OpenPaidWindow();
    ASSERT_NE(window, nullptr);
    const std::string before = PaidCells(*doc.GetProject());
    ModalScript dialogs;
    dialogs.Then<CAppendEvalPeriodDlg>([](CAppendEvalPeriodDlg& d) { d.OnOK(); });
    MessageBoxScript boxes{IDNO};
    Run(kAppendNewEvaluation);
    EXPECT_EQ(boxes.Texts(), QStringList({"Clear all selecteds and method variables?",
                                          "This operation is not available with the structure of your current data file."}));
    EXPECT_EQ(PaidCells(*doc.GetProject()), before);
    EXPECT_TRUE(m_posted.empty());
    EXPECT_EQ(m_progress.last(), "end Append Evaluation period did not succeed.");
    EXPECT_EQ(window->GetTO(), doc.GetProject()->FindDataObject(kPaid, NET));
}

TEST_F(PeriodCommandsTest, RemoveLastEvaluationsUndoAppendedOnes) {
    CProjectDoc& doc = Open();
    for (int i = 0; i < 3; ++i) {
        ModalScript dialogs;
        dialogs.Then<CAppendEvalPeriodDlg>([](CAppendEvalPeriodDlg& d) { d.OnOK(); });
        MessageBoxScript boxes{IDNO, IDNO};
        Run(kAppendNewEvaluation);
    }
    ASSERT_EQ(Structure().numExp, 8);
    CTriangView* window = OpenPaidWindow();
    ASSERT_NE(window, nullptr);

    // The first entry removes exactly one evaluation.
    m_progress.clear();
    ModalScript one;
    one.Then<CRemoveEvalPeriodsDlg>([](CRemoveEvalPeriodsDlg& d) {
        d.List()->setCurrentIndex(0);
        d.OnOK();
    });
    MessageBoxScript boxes;
    Run(kRemoveLastEvaluation);
    EXPECT_EQ(Structure().numExp, 7);
    EXPECT_EQ(m_progress, QStringList({"begin Removing last evaluation period(s).", "end Evaluation period(s) removed."}));

    // The second entry removes two more: back to the project as it was
    // (the grown development columns stay).
    m_progress.clear();
    ModalScript two;
    two.Then<CRemoveEvalPeriodsDlg>([](CRemoveEvalPeriodsDlg& d) {
        d.List()->setCurrentIndex(1);
        d.OnOK();
    });
    Run(kRemoveLastEvaluation);
    EXPECT_EQ(Structure().numExp, 5);
    EXPECT_EQ(m_progress.first(), "begin Removing last 2 evaluation period(s).");
    EXPECT_EQ(boxes.Count(), 0u) << boxes.Texts().join("|").toStdString();
    EXPECT_EQ(window->GetTO(), doc.GetProject()->FindDataObject(kPaid, NET));
    // The entered cells of the remaining periods are kept.
    double v = 0;
    std::uint8_t f = 0;
    ASSERT_EQ(doc.GetProject()->FindDataObject(kPaid, NET)->GetAt(4, 0, v, f), 0);
    EXPECT_EQ(v, 5000.0);
}

TEST_F(PeriodCommandsTest, APartlyRefusedRemovalKeepsWhatWentAndSaysHowMuch) {
    CProjectDoc& doc = Open({.numExp = 3});
    CTriangView* window = OpenPaidWindow();
    ASSERT_NE(window, nullptr);
    ModalScript dialogs;
    // More than the project holds: the kernel refuses the third removal.
    dialogs.Then<CRemoveEvalPeriodsDlg>([](CRemoveEvalPeriodsDlg& d) {
        d.m_nIndex = 2;
        d.EndDialog(IDOK);
    });
    MessageBoxScript boxes;
    Run(kRemoveLastEvaluation);
    EXPECT_EQ(Structure().numExp, 1);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Last().text, "Error: Removing evaluation period(s)!\n2 of the 3 evaluation period(s) were removed.");
    EXPECT_EQ(m_progress.last(), "end " + boxes.Last().text);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(window->GetTO(), doc.GetProject()->FindDataObject(kPaid, NET));
}

// ---------------------------------------------------------------- exposure periods

TEST_F(PeriodCommandsTest, OldestExposurePeriodAppendedAndRemovedAgain) {
    CProjectDoc& doc = Open();
    const std::string original = PaidCells(*doc.GetProject());
    CTriangView* window = OpenPaidWindow();
    ASSERT_NE(window, nullptr);
    MessageBoxScript boxes;
    Run(kAppendOldestExposure);
    EXPECT_EQ(Structure().numExp, 6);
    EXPECT_EQ(Structure().firstYear, 2000);
    EXPECT_EQ(boxes.Texts(), QStringList({"One exposure period appended."}));
    EXPECT_EQ(m_progress.last(), "end New exposure period successfully appended.");
    EXPECT_EQ(window->GetTO(), doc.GetProject()->FindDataObject(kPaid, NET));

    ModalScript dialogs;
    dialogs.Then<CRemoveExposurePeriodsDlg>([](CRemoveExposurePeriodsDlg& d) {
        d.List()->setCurrentIndex(0);
        d.OnOK();
    });
    boxes.Clear();
    Run(kRemoveOldestExposure);
    EXPECT_EQ(boxes.Count(), 0u);
    EXPECT_EQ(Structure().firstYear, 2001);
    EXPECT_EQ(PaidCells(*doc.GetProject()), original);
    EXPECT_EQ(m_progress.last(), "end Exposure period(s) removed.");
}

TEST_F(PeriodCommandsTest, RemovingOldestExposurePeriodsStopsAtTheFirstRefusal) {
    CProjectDoc& doc = Open({.numExp = 3});
    ModalScript dialogs;
    dialogs.Then<CRemoveExposurePeriodsDlg>([](CRemoveExposurePeriodsDlg& d) {
        d.m_nIndex = 2;  // all three: the last one cannot go
        d.EndDialog(IDOK);
    });
    MessageBoxScript boxes;
    Run(kRemoveOldestExposure);
    EXPECT_EQ(Structure().numExp, 1);
    EXPECT_EQ(boxes.Texts(),
              QStringList({"Error: Removing oldest exposure period(s)!\n2 of the 3 exposure period(s) were removed."}));
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(PeriodCommandsTest, TheOnlyPeriodBesideThePriorRowStays) {
    Open({.numExp = 2, .prior = true});
    ModalScript dialogs;  // no dialog may open
    MessageBoxScript boxes;
    Run(kRemoveOldestExposure);
    Run(kRemovePrior);
    EXPECT_EQ(boxes.Texts(), QStringList({"You cannot delete the only exposure period.",
                                          "You can not delete the only exposure period."}));
    EXPECT_TRUE(dialogs.Dialogs().empty());
    EXPECT_EQ(Structure().numExp, 2);
    EXPECT_TRUE(Structure().prior);
}

// ---------------------------------------------------------------- the prior row

TEST_F(PeriodCommandsTest, PriorRowAppendedAndRemovedWithTheirMenuStates) {
    CProjectDoc& doc = Open();
    doc.GetProject()->SetMode(RM_DATABASE);  // reports also go to the project log
    EXPECT_TRUE(Enabled(doc, kAppendPrior));
    EXPECT_FALSE(Enabled(doc, kRemovePrior));

    MessageBoxScript boxes;
    Run(kAppendPrior);
    EXPECT_TRUE(Structure().prior);
    EXPECT_EQ(Structure().numExp, 6);
    EXPECT_EQ(boxes.Texts(), QStringList({"One prior exposure appended."}));
    EXPECT_EQ(m_progress.last(), "end Prior exposure period appended.");
    EXPECT_FALSE(Enabled(doc, kAppendPrior));
    EXPECT_TRUE(Enabled(doc, kRemovePrior));

    // Cancelling the warning changes nothing.
    boxes.Clear();
    boxes.Answer(IDCANCEL);
    Run(kRemovePrior);
    EXPECT_TRUE(Structure().prior);
    EXPECT_EQ(boxes.Texts(), QStringList({"This action could result in loss of data\n"}));

    boxes.Clear();
    boxes.Answer(IDOK);
    Run(kRemovePrior);
    EXPECT_FALSE(Structure().prior);
    EXPECT_EQ(Structure().numExp, 5);
    EXPECT_EQ(boxes.Texts(), QStringList({"This action could result in loss of data\n", "Prior exposure period removed."}));
    EXPECT_EQ(m_progress.last(), "end Prior exposure period removed.");
    // Both successes are logged, and neither marks the log as holding an error.
    const std::string log = LogText();
    EXPECT_NE(log.find("One prior exposure appended."), std::string::npos);
    EXPECT_NE(log.find("Prior exposure period removed."), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(m_appLog));
    EXPECT_FALSE(gbLogFileContainsError);
}

TEST_F(PeriodCommandsTest, PriorRowCommandsInTheWrongStateReportWithoutTouchingWindows) {
    CProjectDoc& doc = Open();
    doc.GetProject()->SetMode(RM_DATABASE);
    CTriangView* window = OpenPaidWindow();
    ASSERT_NE(window, nullptr);
    MessageBoxScript boxes;
    Run(kRemovePrior);
    EXPECT_EQ(boxes.Texts(), QStringList({" Prior row does not exit. Requested action can not be applied."}));
    EXPECT_TRUE(gbLogFileContainsError);
    EXPECT_NE(LogText().find(" Prior row does not exit."), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(m_appLog));

    int count = 1;
    ASSERT_EQ(doc.GetProject()->AppendExposurePeriod(count, 0), 0);
    boxes.Clear();
    m_progress.clear();
    Run(kAppendPrior);
    EXPECT_EQ(boxes.Texts(), QStringList({"Prior row already exits. Requested action cannot be applied."}));
    EXPECT_TRUE(m_progress.isEmpty());
    EXPECT_NE(window->GetTO(), nullptr);
}

// ---------------------------------------------------------------- development periods

TEST_F(PeriodCommandsTest, DevelopmentPeriodAppendedOnlyAfterYes) {
    CProjectDoc& doc = Open();
    CTriangView* window = OpenPaidWindow();
    ASSERT_NE(window, nullptr);
    MessageBoxScript boxes{IDNO};
    Run(kAppendDevelopment);
    EXPECT_EQ(Structure().numDev, 5);
    EXPECT_TRUE(m_progress.isEmpty());

    boxes.Clear();
    boxes.Answer(IDYES);
    Run(kAppendDevelopment);
    EXPECT_EQ(Structure().numDev, 6);
    EXPECT_EQ(boxes.Texts(), QStringList({"Attention!\nThis action cannot be undone!\nContinue anyway?",
                                          "One development period appended."}));
    EXPECT_EQ(m_progress, QStringList({"begin Appending new development period...",
                                       "end New development period successfully appended."}));
    EXPECT_EQ(window->GetTO(), doc.GetProject()->FindDataObject(kPaid, NET));
}

// ---------------------------------------------------------------- compression

TEST_F(PeriodCommandsTest, CompressColumnsGivesWhatTheKernelGives) {
    const Shape quarterly{.numExp = 5, .numDev = 20, .devLength = PRD_QUARTER, .firstAge = 3};
    CProjectDoc& doc = Open(quarterly);
    EXPECT_TRUE(Enabled(doc, kCompressColumns));
    EXPECT_FALSE(Enabled(doc, kCompressRows));
    CProject twin;
    MakeProject(twin, quarterly);
    int count = 1;
    ASSERT_EQ(twin.CompressColumns(12, 1, count), 0);

    ModalScript dialogs;
    dialogs.Then<CCompressColumnsDlg>([](CCompressColumnsDlg& d) {
        EXPECT_EQ(d.GetDlgItemText(CCompressColumnsDlg::IDC_CURRENT), "Quarters");
        QStringList offered;
        for (int i = 0; i < d.List()->count(); ++i) offered << d.List()->itemText(i);
        EXPECT_EQ(offered, QStringList({"Years", "Half Years"}));
        d.List()->setCurrentText("Years");
        d.CheckDlgButton(CCompressColumnsDlg::IDC_LEAVE_FIRST, 1);
        d.OnOK();
    });
    MessageBoxScript boxes{IDYES};
    Run(kCompressColumns);
    ASSERT_TRUE(dialogs.AllHandled());
    EXPECT_EQ(boxes.Texts(), QStringList({"Attention!\nThis action cannot be undone!\nContinue anyway?", "Columns compressed."}));
    EXPECT_EQ(PaidCells(*doc.GetProject()), PaidCells(twin));
    EXPECT_EQ(Structure().devLength, PRD_YEAR);
    EXPECT_EQ(m_progress.last(), "end Columns compressed successfully.");
    EXPECT_FALSE(Enabled(doc, kCompressColumns));
}

TEST_F(PeriodCommandsTest, CompressColumnsIntoFewerColumnsThanRowsIsAConflict) {
    CProjectDoc& doc = Open({.numExp = 5, .numDev = 8, .devLength = PRD_QUARTER, .firstAge = 3});
    doc.GetProject()->SetMode(RM_DATABASE);
    const std::string before = PaidCells(*doc.GetProject());
    ModalScript dialogs;
    dialogs.Then<CCompressColumnsDlg>([](CCompressColumnsDlg& d) {
        d.List()->setCurrentText("Years");
        d.OnOK();
    });
    MessageBoxScript boxes{IDYES};
    Run(kCompressColumns);
    const QString conflict =
        "Conflict with exposure periods.\nThis operation would result in more exposure periods than development "
        "periods, which is not allowed.";
    EXPECT_EQ(boxes.Last().text, conflict);
    EXPECT_EQ(m_progress.last(), "end " + conflict);
    EXPECT_EQ(PaidCells(*doc.GetProject()), before);
    EXPECT_NE(LogText().find("Conflict with exposure periods."), std::string::npos);
    EXPECT_FALSE(gbLogFileContainsError);
}

TEST_F(PeriodCommandsTest, CompressRowsGivesWhatTheKernelGives) {
    const Shape quarterly{.numExp = 8, .expLength = PRD_QUARTER, .numDev = 8, .devLength = PRD_QUARTER, .firstAge = 3};
    CProjectDoc& doc = Open(quarterly);
    EXPECT_TRUE(Enabled(doc, kCompressRows));
    CProject twin;
    MakeProject(twin, quarterly);
    int start = 0, stop = 0, ratio = 0;
    ASSERT_EQ(twin.CompressRows(12, start, stop, ratio), 0);

    ModalScript dialogs;
    dialogs.Then<CCompressRowsDlg>([](CCompressRowsDlg& d) {
        EXPECT_EQ(d.GetDlgItemText(CCompressRowsDlg::IDC_CURRENT), "Quarters");
        d.List()->setCurrentText("Years");
        d.OnOK();
    });
    MessageBoxScript boxes{IDYES};
    Run(kCompressRows);
    EXPECT_EQ(boxes.Last().text, "Rows compressed.");
    EXPECT_EQ(PaidCells(*doc.GetProject()), PaidCells(twin));
    EXPECT_EQ(Structure().numExp, 2);
    EXPECT_EQ(m_progress.last(), "end Rows compressed successfully.");
    EXPECT_FALSE(Enabled(doc, kCompressRows));
}

TEST_F(PeriodCommandsTest, CompressRowsExplainsMissingPeriods) {
    const struct {
        const char* name;
        Shape shape;
        const char* into;
        int ratio;  // 0: the default compression
        QString message;
        bool marksLogError;
    } cases[] = {
        {"one missing beside the prior row",
         {.numExp = 21, .expLength = PRD_MONTH, .numDev = 24, .devLength = PRD_MONTH, .firstAge = 1, .prior = true},
         "Quarters", 0,
         "We are unable to compress the 20 Months ( excluding Prior Row )into Quarters because you are missing 1 period "
         "of data.\nSolution:\nAdd 1 new evaluation period and then compress to Quarters",
         false},
        {"three missing",
         {.numExp = 9, .expLength = PRD_MONTH, .numDev = 12, .devLength = PRD_MONTH, .firstAge = 1},
         "Half Years", 0,
         "You cannot compress data when you do not have enough periods to start with.\nWe are unable to compress the 9 "
         "Months into Half Years because you are missing 3 period(s) of data.\nSolution:\nAdd 3 new evaluation "
         "period(s) and then compress to Half Years",
         false},
        {"a ratio the length does not allow",
         {.numExp = 8, .expLength = PRD_QUARTER, .numDev = 8, .devLength = PRD_QUARTER, .firstAge = 3},
         "Years", 3, "Error: CProject::CompressRows", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CProjectDoc& doc = Open(c.shape);
        doc.GetProject()->SetMode(RM_DATABASE);
        gbLogFileContainsError = false;
        const std::string before = PaidCells(*doc.GetProject());
        ModalScript dialogs;
        dialogs.Then<CCompressRowsDlg>([&](CCompressRowsDlg& d) {
            d.List()->setCurrentText(c.into);
            if (c.ratio != 0) {
                d.OnUserDefined();
                d.SetDlgItemText(CCompressRowsDlg::IDC_RATIO, QString::number(c.ratio));
            }
            d.OnOK();
        });
        MessageBoxScript boxes{IDYES};
        Run(kCompressRows);
        ASSERT_TRUE(dialogs.AllHandled());
        EXPECT_EQ(boxes.Last().text, c.message);
        EXPECT_EQ(m_progress.last(), "end " + c.message);
        EXPECT_EQ(PaidCells(*doc.GetProject()), before);
        EXPECT_EQ(gbLogFileContainsError, c.marksLogError);
        m_doc->OnCloseDocument();
        m_doc.reset();
    }
}

// ---------------------------------------------------------------- the frame

TEST_F(PeriodCommandsTest, NothingRunsWhileTheTailFactorProgramIsOpen) {
    CProjectDoc& doc = Open({.numExp = 8, .expLength = PRD_QUARTER, .numDev = 8, .devLength = PRD_QUARTER, .firstAge = 3});
    const std::string before = PaidCells(*doc.GetProject());
    m_tailProgramOpen = true;
    ModalScript dialogs;
    MessageBoxScript boxes;
    boxes.SetResponder([](const qs::fw::MessageBoxRecord&) { return IDYES; });
    for (UINT command : {kRemoveLastEvaluation, kAppendNewEvaluation, kAppendOldestExposure, kRemoveOldestExposure,
                         kAppendDevelopment, kCompressColumns, kCompressRows, kRemovePrior, kAppendPrior})
        Run(command);
    EXPECT_TRUE(dialogs.Dialogs().empty());
    EXPECT_EQ(boxes.Count(), 0u) << boxes.Texts().join("|").toStdString();
    EXPECT_TRUE(m_progress.isEmpty());
    EXPECT_EQ(PaidCells(*doc.GetProject()), before);
}

TEST_F(PeriodCommandsTest, CancelledDialogsChangeNothing) {
    CProjectDoc& doc = Open({.numExp = 8, .expLength = PRD_QUARTER, .numDev = 8, .devLength = PRD_QUARTER, .firstAge = 3});
    const std::string before = PaidCells(*doc.GetProject());
    ModalScript dialogs;
    for (int i = 0; i < 5; ++i) dialogs.Then([](QDialog& d) { d.reject(); });
    MessageBoxScript boxes;
    for (UINT command : {kAppendNewEvaluation, kRemoveLastEvaluation, kRemoveOldestExposure, kCompressColumns, kCompressRows})
        Run(command);
    EXPECT_EQ(dialogs.Dialogs().size(), 5u);
    EXPECT_EQ(boxes.Count(), 0u) << boxes.Texts().join("|").toStdString();
    EXPECT_TRUE(m_progress.isEmpty());
    EXPECT_EQ(PaidCells(*doc.GetProject()), before);
    EXPECT_FALSE(doc.IsModified());
}

}  // namespace
