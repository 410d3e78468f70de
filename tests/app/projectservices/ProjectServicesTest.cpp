// The whole-project services with a real main frame and status window: the
// text reports and comparisons, adding and subtracting project files, the
// scaling factor, and replicating a table into other project files. The
// program's file chooser and its list of open projects are played by the
// test through ServicesHost().
#include <gtest/gtest.h>

#include <QDate>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QComboBox>
#include <QLocale>
#include <QRadioButton>

#include <memory>

#include "CDataObject.h"
#include "CExhibit.h"
#include "CFSLib.h"
#include "CFactorSet.h"
#include "CInfoView.h"
#include "CProject.h"
#include "CProjectDoc.h"
#include "CScalar.h"
#include "CStringStack.h"
#include "FormulaBinding.h"
#include "KernelIds.h"
#include "MessageBox.h"
#include "ModalScript.h"
#include "ProjectHost.h"
#include "TestEnvironment.h"
#include "dialogs/ProjectDialogs.h"
#include "dialogs/SmallDialogs.h"
#include "frames/CMainFrame.h"
#include "frames/StatusWindow.h"
#include "projectservices/ProjectServices.h"
#include "startup/CSplashWindow.h"

namespace {

constexpr QSID kPaidLoss = 101000001;

double Cell(CProject& p, int row, int col, unsigned short layer = NET) {
    double value = 0;
    std::uint8_t flags = 0;
    p.FindDataObject(kPaidLoss, layer)->GetAt(row, col, value, flags);
    return (flags & CDataObject::CF_VALUE) ? value : -1;
}

QByteArray FileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class ProjectServicesTest : public ::testing::Test {
protected:
    void SetUp() override {
        CSplashWindow::Enable(false);
        m_frame = std::make_unique<CMainFrame>();
        ASSERT_TRUE(m_frame->LoadFrame());
        qs::fw::SetMainWindow(m_frame.get());
        m_frame->show();
        ASSERT_TRUE(qs::app::CreateStatusWindow(m_frame.get()));
        m_dir = QString::fromStdString(qs::test::MakeTempDir("services"));
        qs::project::Host().workingDirectory = m_dir;
        qs::app::ProjectServicesHost& host = qs::app::ServicesHost();
        host = qs::app::ProjectServicesHost{};
        host.chooseProjectFiles = [this](const QString& title, const QString& ok, QStringList& paths) {
            m_chooserTitles << title + " | " + ok;
            paths = m_chosen;
            return !paths.isEmpty();
        };
        host.findOpenProject = [this](const QString& path) -> CProjectDoc* {
            for (CProjectDoc* d : m_open)
                if (d->GetPathName() == path) return d;
            return nullptr;
        };
        host.openProjects = [this] { return m_open; };
        qs::project::Host().mapDocumentCommands = [](CProjectDoc& doc) {
            qs::cmd::MapCommandTable<CProjectDoc>(doc, doc, qs::app::ProjectServiceCommands());
        };
    }
    void TearDown() override {
        m_docs.clear();
        qs::project::Host().mapDocumentCommands = nullptr;
        qs::app::ServicesHost() = qs::app::ProjectServicesHost{};
        qs::app::ForgetStatusWindow();
        qs::fw::SetMainWindow(nullptr);
        m_frame.reset();
    }

    // A saved 5 x 5 project whose paid loss holds value at (row, row).
    QString SaveProject(const QString& name, double value, std::uint16_t numExp = 5, LAYERNAMES calc1 = GROSS) {
        CProjectDoc doc;
        std::uint16_t gen = 5, firstYear = 2001, interval = 1, numDev = 5, firstAge = 12;
        PRDLENGTH len = PRD_YEAR;
        LAYERNAMES c1 = calc1, c2 = ASSUMED;
        EXPECT_EQ(doc.GetProject()->Create(gen, numExp, len, firstYear, interval, numDev, len, firstAge, c1, c2), 0);
        for (int r = 0; r < 3; ++r) doc.GetProject()->FindDataObject(kPaidLoss, NET)->SetAt(r, r, value * (r + 1));
        const QString path = m_dir + "/" + name;
        EXPECT_TRUE(doc.OnSaveDocument(path));
        return path;
    }
    // Opens a project as an open document of the program.
    CProjectDoc* OpenDoc(const QString& path) {
        auto doc = qs::app::OpenProjectWithoutWindow(path);
        EXPECT_TRUE(doc);
        if (!doc) return nullptr;
        m_open.push_back(doc.get());
        m_docs.push_back(std::move(doc));
        return m_open.back();
    }
    QString StatusText() { return qs::app::StatusWindowView()->GetText(); }

    std::unique_ptr<CMainFrame> m_frame;
    QString m_dir;
    QStringList m_chosen;
    QStringList m_chooserTitles;
    std::vector<CProjectDoc*> m_open;
    std::vector<std::unique_ptr<CProjectDoc>> m_docs;
};

// ---------------------------------------------------------------- reports

TEST_F(ProjectServicesTest, ReportCommandsShowTheKernelsTextWithProperLineEnds) {
    CProjectDoc* doc = OpenDoc(SaveProject("north.qs5", 10));
    qs::fw::MessageBoxScript boxes;
    const struct {
        int kind;
        const char* suffix;
    } kinds[] = {{INFO_SUMMARY, " Summary..."}, {INFO_EXHIBITS, " Exhibit formulas"},
                 {INFO_METHODS, " Method formulas"}, {INFO_REPORTS, " Report formulas"}};
    for (const auto& k : kinds) {
        doc->OnCmdMsg(k.kind == INFO_SUMMARY ? 32869 : k.kind == INFO_EXHIBITS ? 32905 : k.kind == INFO_METHODS ? 32907 : 32909,
                      CN_COMMAND, nullptr, nullptr);
        QString expected = QString::fromStdString(doc->GetProject()->DumpStructText(k.kind));
        EXPECT_EQ(FileBytes(m_dir + "/PrjInfo.txt"), expected.toUtf8()) << k.suffix;
        expected.replace("\n", "\r\n");
        const QString title = "north.qs5" + QString::fromLatin1(k.suffix);
        const QString date = QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat);
        EXPECT_EQ(StatusText(), title + " DATE:\t" + date + "\r\n" + expected) << k.suffix;
        EXPECT_TRUE(qs::app::IsStatusWindowVisible());
    }
    EXPECT_EQ(boxes.Count(), 0u);
}

TEST_F(ProjectServicesTest, ATextFileOfBareLineFeedsIsAppendedBelowWhatWasThere) {
    StatusWindowOpen("Log");
    StatusWindowWrite("earlier");
    QFile f(m_dir + "/x.txt");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("one\ntwo\r\nthree\n");
    f.close();
    ASSERT_TRUE(qs::app::LoadTextFileIntoView(m_dir + "/x.txt"));
    EXPECT_TRUE(StatusText().endsWith("earlier\r\none\r\ntwo\r\nthree\r\n")) << StatusText().toStdString();
}

TEST_F(ProjectServicesTest, AMissingWorkingDirectoryStopsTheReportWithAMessage) {
    CProjectDoc* doc = OpenDoc(SaveProject("north.qs5", 10));
    qs::project::Host().workingDirectory = m_dir + "/gone";
    qs::fw::MessageBoxScript boxes;
    doc->OnCmdMsg(32869, CN_COMMAND, nullptr, nullptr);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_TRUE(boxes.Last().text.contains("PrjInfo.txt"));
    EXPECT_FALSE(qs::app::IsStatusWindowVisible());
}

TEST_F(ProjectServicesTest, ComparisonLogsEveryFileAndSkipsItself) {
    const QString own = SaveProject("north.qs5", 10);
    const QString other = SaveProject("south.qs5", 20);
    CProjectDoc* doc = OpenDoc(own);
    m_chosen = {own, other, m_dir + "/missing.qs5", other};
    qs::fw::MessageBoxScript boxes;
    qs::app::OnCompareProjects(*doc);
    EXPECT_EQ(m_chooserTitles, QStringList{"Compare north.qs5 to...(multiple selection accepted) | Compare"});
    const QString log = StatusText();
    const QStringList expectedLines = {
        "\r\n Opening file " + own + "\r\n\tWhy compare the file with itself?\r\n",
        "\r\n Opening file " + other + "\r\n Comparing north.qs5 to south.qs5\r\n Comparison to " + other +
            " completed successfully.\r\n Closing file " + other + "\r\n",
        " Error: Unable to open file " + m_dir + "/missing.qs5\r\n Comparison did not complete normally for " + m_dir +
            "/missing.qs5\r\n",
    };
    for (const QString& l : expectedLines) EXPECT_TRUE(log.contains(l)) << l.toStdString() << "\n--\n" << log.toStdString();
    // Both comparisons with the other file are in the report, in order.
    auto south = qs::app::OpenProjectWithoutWindow(other);
    const QString one = QString::fromStdString(doc->GetProject()->CompProjectText(*south->GetProject()));
    EXPECT_EQ(QString::fromUtf8(FileBytes(m_dir + "/CmpPrj.txt")), one + one);
    EXPECT_TRUE(log.contains(QString(one + one).replace("\n", "\r\n")));
    // The missing file's failure was shown too.
    EXPECT_TRUE(boxes.Texts().join("|").contains("Comparison did not complete normally"));
}

// ---------------------------------------------------------------- file arithmetic

TEST_F(ProjectServicesTest, AddingAFileSumsCellByCellSavesTheProjectAndLeavesTheSourceAlone) {
    const QString own = SaveProject("north.qs5", 10);
    const QString other = SaveProject("south.qs5", 1);
    const QByteArray sourceBefore = FileBytes(other);
    CProjectDoc* doc = OpenDoc(own);
    m_chosen = {other};
    qs::fw::MessageBoxScript boxes;
    doc->OnCmdMsg(32875, CN_COMMAND, nullptr, nullptr);
    EXPECT_EQ(m_chooserTitles, QStringList{"Add to north.qs5...(multiple selections accepted) | Add"});
    CProject& p = *doc->GetProject();
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 5 - r; ++c) {
            const double expected = r == c && r < 3 ? 11.0 * (r + 1) : -1;
            EXPECT_EQ(Cell(p, r, c), expected) << r << "," << c;
        }
    EXPECT_EQ(Cell(p, 1, 1, GROSS), 22);  // the calculated layers follow
    const QString log = StatusText();
    EXPECT_TRUE(log.contains(" Opening file " + other + "\r\n Checking structure: south.qs5\r\n north.qs5: Add south.qs5\r\n"
                             " Saving file " + own + "\r\n Closing file " + other + "\r\n\r\n Operation completed successfully.\r\n"))
        << log.toStdString();
    EXPECT_FALSE(log.contains("Consider using 'File Save As'"));  // it is saved already
    EXPECT_EQ(FileBytes(other), sourceBefore);
    // The changed project is on disk.
    EXPECT_FALSE(doc->IsModified());
    m_docs.clear();
    m_open.clear();
    {
        auto reopened = qs::app::OpenProjectWithoutWindow(own);
        ASSERT_TRUE(reopened);
        EXPECT_EQ(Cell(*reopened->GetProject(), 2, 2), 33);
    }

    // Subtracting it again gives the first values back.
    CProjectDoc* again = OpenDoc(own);
    again->OnCmdMsg(32876, CN_COMMAND, nullptr, nullptr);
    EXPECT_EQ(Cell(*again->GetProject(), 2, 2), 30);
    EXPECT_EQ(FileBytes(other), sourceBefore);
    EXPECT_EQ(boxes.Count(), 0u);
}

TEST_F(ProjectServicesTest, AStructureErrorSkipsOnlyThatFile) {
    const QString own = SaveProject("north.qs5", 10);
    const QString layers = SaveProject("ceded.qs5", 1, 5, CEDED);
    const QString longer = SaveProject("longer.qs5", 1, 6);
    CProjectDoc* doc = OpenDoc(own);
    const QByteArray ownBefore = FileBytes(own);
    m_chosen = {layers, longer};
    qs::fw::MessageBoxScript boxes;
    qs::app::ApplyFileArithmetic(*doc, OP_ADD);
    const QString log = StatusText();
    EXPECT_TRUE(log.contains(" Checking structure: ceded.qs5\r\n\r\n Error: Different number of layers\r\n Closing file " + layers +
                             "\r\n\r\n Operation unsuccessful. Check that file structures match.\r\n"))
        << log.toStdString();
    // A warning does not stop the other file.
    EXPECT_TRUE(log.contains(" Warning: Different number of exposure periods, possible loss of data"));
    EXPECT_FALSE(log.contains("Consider using"));
    EXPECT_EQ(Cell(*doc->GetProject(), 0, 0), 11);  // from the second file only
    EXPECT_NE(FileBytes(own), ownBefore);
}

TEST_F(ProjectServicesTest, AnOpenFileIsUsedInPlaceAndNotSaved) {
    const QString own = SaveProject("north.qs5", 10);
    const QString other = SaveProject("south.qs5", 1);
    CProjectDoc* doc = OpenDoc(own);
    CProjectDoc* south = OpenDoc(other);
    south->GetProject()->FindDataObject(kPaidLoss, NET)->SetAt(0, 1, 5);  // unsaved
    const QByteArray sourceBefore = FileBytes(other);
    m_chosen = {other};
    qs::fw::MessageBoxScript boxes;
    qs::app::ApplyFileArithmetic(*doc, OP_ADD);
    EXPECT_EQ(Cell(*doc->GetProject(), 0, 1), 5);
    EXPECT_FALSE(StatusText().contains(" Opening file " + other));
    EXPECT_FALSE(StatusText().contains(" Closing file " + other));
    EXPECT_EQ(FileBytes(other), sourceBefore);
}

// ---------------------------------------------------------------- scaling factor

TEST_F(ProjectServicesTest, TheScalingFactorRefusesZeroAndNegatives) {
    CProjectDoc* doc = OpenDoc(SaveProject("north.qs5", 10));
    qs::fw::MessageBoxScript boxes;
    qs::fw::ModalScript script;
    script.Then<CScalingFactorDlg>([](CScalingFactorDlg& dlg) {
        EXPECT_EQ(dlg.GetDlgItemText(CScalingFactorDlg::IDC_VALUE), "1");
        for (const char* bad : {"0", "-1000", "abc"}) {
            dlg.SetDlgItemText(CScalingFactorDlg::IDC_VALUE, bad);
            dlg.OnOK();
            EXPECT_TRUE(dlg.isVisible()) << bad;
        }
        dlg.SetDlgItemText(CScalingFactorDlg::IDC_VALUE, "1000");
        dlg.OnOK();
    });
    doc->OnCmdMsg(32891, CN_COMMAND, nullptr, nullptr);
    EXPECT_TRUE(script.AllHandled());
    ASSERT_EQ(boxes.Count(), 3u);
    EXPECT_EQ(boxes.Boxes()[0].text, CScalingFactorDlg::kPositive);
    EXPECT_EQ(boxes.Boxes()[1].text, CScalingFactorDlg::kPositive);
    double value = 0;
    auto* scaling = dynamic_cast<CScalar*>(doc->GetProject()->FindObject(doc->GetProject()->GetScalingFactorID(), 0));
    ASSERT_TRUE(scaling);
    scaling->GetValue(value);
    EXPECT_EQ(value, 1000);
}


// ---------------------------------------------------------------- small commands

class ProjectCommandsTest : public ProjectServicesTest {
protected:
    // Every exhibit of the project in Net: the columns a fill dialog yields.
    static std::vector<std::int32_t> NetExhibits(CProject& p) {
        std::vector<std::int32_t> ids;
        p.ForEachObject([&](QSID base, unsigned short layer, CFormula* f) {
            if (layer != NET || dynamic_cast<CExhibit*>(f) == nullptr) return;
            QSID id = base;
            SetIDLayer(id, NET);
            ids.push_back(id);
        });
        return ids;
    }
    // A ".dfl" with one empty set of the project's development structure.
    QString SaveLibrary(const QString& name) {
        CFSLib library;
        library.SetName("Regional");
        EXPECT_EQ(library.AddFactorSet(CFactorSet("Set A", "", 5, PRD_YEAR, 12)), 0);
        const QString path = m_dir + "/" + name;
        EXPECT_EQ(library.SaveFile(path.toStdString()), 0);
        return path;
    }
    void ChooseLibrary(const QString& path, const char* set = "Set A") {
        qs::app::ServicesHost().chooseSelectedColumns = [](CProjectDoc& d, const QString& caption,
                                                           std::vector<std::int32_t>& columns) {
            EXPECT_EQ(caption, "Copy Selecteds to Factor Set");
            columns = NetExhibits(*d.GetProject());
            return true;
        };
        qs::app::ServicesHost().chooseFactorSet = [path, set](CProjectDoc&, qs::app::FactorSetChoice& choice) {
            choice.library = std::make_shared<CFSLib>();
            choice.library->LoadFile(path.toStdString());
            choice.libraryPath = path;
            choice.setName = set;
            return true;
        };
    }
};

TEST_F(ProjectCommandsTest, SelectedFactorsGoIntoTheLibraryFileWithOneMessage) {
    CProjectDoc* doc = OpenDoc(SaveProject("north.qs5", 10));
    const QString dfl = SaveLibrary("regional.dfl");
    const QByteArray before = FileBytes(dfl);
    ChooseLibrary(dfl);
    qs::fw::MessageBoxScript boxes;
    doc->OnCmdMsg(32941, CN_COMMAND, nullptr, nullptr);
    EXPECT_EQ(boxes.Texts(), QStringList{"Operation completed successfully."});
    EXPECT_NE(FileBytes(dfl), before);
    CFSLib reread;
    ASSERT_EQ(reread.LoadFile(dfl.toStdString()), 0);
    CFactorSet* set = nullptr;
    reread.GetFactorSet("Set A", set);
    ASSERT_TRUE(set);
    EXPECT_GT(set->GetDFCount(), 0u);
}

TEST_F(ProjectCommandsTest, AFactorCopyThatCannotBeStoredReportsTheFailureOnly) {
    CProjectDoc* doc = OpenDoc(SaveProject("north.qs5", 10));
    qs::fw::MessageBoxScript boxes;
    // The library file went away after it was read.
    const QString dfl = SaveLibrary("gone.dfl");
    ChooseLibrary(dfl);
    const auto choose = qs::app::ServicesHost().chooseFactorSet;
    qs::app::ServicesHost().chooseFactorSet = [choose, dfl](CProjectDoc& d, qs::app::FactorSetChoice& choice) {
        const bool chosen = choose(d, choice);
        QFile::remove(dfl);
        return chosen;
    };
    doc->OnCmdMsg(32941, CN_COMMAND, nullptr, nullptr);
    EXPECT_EQ(boxes.Texts(), QStringList{"File " + dfl + " could not be opened. If the file is open please close it."});
    EXPECT_FALSE(QFile::exists(dfl));
    // No such set: the look-up fails and nothing is written.
    boxes.Clear();
    const QString other = SaveLibrary("other.dfl");
    const QByteArray before = FileBytes(other);
    ChooseLibrary(other, "Set B");
    doc->OnCmdMsg(32941, CN_COMMAND, nullptr, nullptr);
    EXPECT_EQ(boxes.Texts(), QStringList{"Error: GetFactorSet failed.\n"});
    EXPECT_EQ(FileBytes(other), before);
}

TEST_F(ProjectCommandsTest, ALibraryOpenInItsWindowIsNotWrittenUnderIt) {
    CProjectDoc* doc = OpenDoc(SaveProject("north.qs5", 10));
    const QString dfl = SaveLibrary("regional.dfl");
    const QByteArray before = FileBytes(dfl);
    ChooseLibrary(dfl);
    CProjectDoc openLibrary;  // stands for the library's document
    qs::app::ServicesHost().findOpenLibrary = [&](const QString& path) -> CDocument* {
        return path == dfl ? &openLibrary : nullptr;
    };
    qs::fw::MessageBoxScript boxes;
    doc->OnCmdMsg(32941, CN_COMMAND, nullptr, nullptr);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_TRUE(boxes.Last().text.contains("is open")) << boxes.Last().text.toStdString();
    EXPECT_EQ(FileBytes(dfl), before);
}

TEST_F(ProjectCommandsTest, ANewEvaluationEndsItsProgressWhateverTheOutcome) {
    CProjectDoc* doc = OpenDoc(SaveProject("north.qs5", 10));
    QStringList progress;
    qs::project::Host().beginProgress = [&](const QString& caption) { progress << "begin " + caption; };
    qs::project::Host().endProgress = [&](const QString& text) { progress << "end " + text; };
    const std::uint16_t rows = doc->GetProject()->GetStructure().numExp;
    {
        qs::fw::MessageBoxScript boxes{IDCANCEL};
        doc->OnCmdMsg(32898, CN_COMMAND, nullptr, nullptr);
        EXPECT_EQ(boxes.Texts(), QStringList{"Clear all selecteds and method variables?"});
        EXPECT_TRUE(progress.isEmpty());
        EXPECT_EQ(doc->GetProject()->GetStructure().numExp, rows);
    }
    {
        qs::fw::MessageBoxScript boxes{IDNO, IDOK};
        doc->OnCmdMsg(32898, CN_COMMAND, nullptr, nullptr);
        EXPECT_EQ(boxes.Texts(), (QStringList{"Clear all selecteds and method variables?", "New evaluation successfully added."}));
        EXPECT_EQ(progress, (QStringList{"begin Appending new evaluation.", "end New evaluation successfully added."}));
        EXPECT_EQ(doc->GetProject()->GetStructure().numExp, rows + 1);
    }
    qs::project::Host().beginProgress = nullptr;
    qs::project::Host().endProgress = nullptr;
}

TEST_F(ProjectCommandsTest, MoveLayerAndAsOfDateChangeTheProject) {
    CProjectDoc* doc = OpenDoc(SaveProject("north.qs5", 10));
    doc->m_nCurrentLayer = NET;
    qs::fw::MessageBoxScript boxes;
    qs::fw::ModalScript script;
    script
        .Then<CMoveLayerDataDlg>([](CMoveLayerDataDlg& dlg) {
            EXPECT_EQ(dlg.FromList()->currentIndex(), 0);
            dlg.ToList()->setCurrentIndex(dlg.ToList()->findText("Ceded"));
            dlg.OnOK();
        })
        .Then<CAsOfDateDlg>([](CAsOfDateDlg& dlg) {
            dlg.SetDlgItemText(CAsOfDateDlg::IDC_DATE, "06/30/2025");
            dlg.OnOK();
        });
    doc->OnCmdMsg(32964, CN_COMMAND, nullptr, nullptr);
    EXPECT_EQ(Cell(*doc->GetProject(), 1, 1, CEDED), 20);
    EXPECT_EQ(Cell(*doc->GetProject(), 1, 1, NET), -1);
    doc->OnCmdMsg(32951, CN_COMMAND, nullptr, nullptr);
    EXPECT_EQ(doc->GetProject()->GetAsOfDate().Year(), 2025);
    EXPECT_EQ(doc->GetProject()->GetAsOfDate().Month(), 6);
    EXPECT_TRUE(doc->IsModified());
    EXPECT_TRUE(script.AllHandled());
    EXPECT_EQ(boxes.Count(), 0u);
}

// ---------------------------------------------------------------- replicate

class ReplicateTest : public ProjectServicesTest {
protected:
    // A project with the user table "Doubled Paid" (twice the paid loss) as
    // the current object.
    CProjectDoc* SourceWithTable() {
        CProjectDoc* doc = OpenDoc(SaveProject("source.qs5", 10));
        CUserTable proto;
        proto.SetIDLongName("Doubled Paid");
        proto.SetIDShortName("DblPd");
        proto.SetFormula(CStringStack({"Paid Loss * 2"}), CStringStack({"DO101000001", "*", "2"}));
        QSID id = 0;
        EXPECT_EQ(doc->GetProject()->AddNewFormulaObject(proto, 2, 0, qsk::kNodeUserInput, true, id), 0);
        doc->GetProject()->PostInit();
        doc->m_nCurrentObjectId = id;
        doc->m_nCurrentLayer = NET;
        m_tableId = id;
        return doc;
    }
    static std::function<void(CReplicateDlg&)> Answer(int batch, const QString& name, const QString& shortName,
                                                      std::vector<int> rows = {}) {
        return [=](CReplicateDlg& dlg) {
            if (batch) dynamic_cast<QRadioButton*>(dlg.GetDlgItem(CReplicateDlg::IDC_BATCH))->setChecked(true);
            if (!rows.empty()) {
                dlg.ProjectList()->clearSelection();
                for (int r : rows) dlg.ProjectList()->item(r)->setSelected(true);
            }
            dlg.SetDlgItemText(CReplicateDlg::IDC_NEW_NAME, name);
            dlg.SetDlgItemText(CReplicateDlg::IDC_NEW_SHORT_NAME, shortName);
            dlg.OnOK();
        };
    }
    // The copy in a project: its value at (0, 0) of Net, -1 when it is missing.
    static double CopyCell(CProject& p, const std::string& name) {
        QSID id = 0;
        if (p.GetIDFromName(name, id) != 0) return -1;
        double v = 0;
        std::uint8_t f = 0;
        CDataObject* d = p.FindDataObject(id, NET);
        if (!d || d->GetAt(0, 0, v, f) != 0 || !(f & CDataObject::CF_VALUE)) return -1;
        return v;
    }
    QSID m_tableId = 0;
};

TEST_F(ReplicateTest, BatchModeCopiesIntoEveryFileChosenAndSavesThem) {
    CProjectDoc* doc = SourceWithTable();
    const QString c = SaveProject("c.qs5", 3);
    const QString d = SaveProject("d.qs5", 4);
    m_chosen = {c, d};
    qs::fw::MessageBoxScript boxes;
    qs::fw::ModalScript script;
    script.Then<CReplicateDlg>(Answer(1, "Twice Paid", "TwPd"));
    doc->OnCmdMsg(32933, CN_COMMAND, nullptr, nullptr);
    EXPECT_TRUE(script.AllHandled());
    EXPECT_EQ(m_chooserTitles, QStringList{"Replicate to file(s) | Replicate"});
    const QString log = StatusText();
    EXPECT_TRUE(log.contains("\tTable replicated to " + c + "\r\n\tSaved " + c)) << log.toStdString();
    EXPECT_TRUE(log.contains("\tTable replicated to " + d + "\r\n\tSaved " + d));
    EXPECT_TRUE(log.endsWith("\r\n Operation completed successfully.\r\n"));
    for (const auto& [path, paid] : {std::pair{c, 3.0}, std::pair{d, 4.0}}) {
        auto reopened = qs::app::OpenProjectWithoutWindow(path);
        ASSERT_TRUE(reopened);
        EXPECT_EQ(CopyCell(*reopened->GetProject(), "Twice Paid"), 2 * paid) << path.toStdString();
    }
    // The source keeps its table under its own name.
    EXPECT_EQ(CopyCell(*doc->GetProject(), "Doubled Paid"), 20);
    EXPECT_EQ(boxes.Count(), 0u);
}

TEST_F(ReplicateTest, EveryChosenOpenProjectReceivesTheCopy) {
    CProjectDoc* doc = SourceWithTable();
    CProjectDoc* c = OpenDoc(SaveProject("c.qs5", 3));
    CProjectDoc* d = OpenDoc(SaveProject("d.qs5", 4));
    qs::fw::MessageBoxScript boxes;
    qs::fw::ModalScript script;
    script.Then<CReplicateDlg>([](CReplicateDlg& dlg) {
        // The source project is preselected.
        ASSERT_EQ(dlg.ProjectList()->count(), 3);
        EXPECT_TRUE(dlg.ProjectList()->item(0)->isSelected());
        EXPECT_FALSE(dlg.ProjectList()->item(1)->isSelected());
        EXPECT_EQ(dlg.GetDlgItemText(CReplicateDlg::IDC_NEW_NAME), "Doubled Paid");
        Answer(0, "Twice Paid", "TwPd", {1, 2})(dlg);
    });
    doc->OnCmdMsg(32933, CN_COMMAND, nullptr, nullptr);
    EXPECT_EQ(CopyCell(*c->GetProject(), "Twice Paid"), 6);
    EXPECT_EQ(CopyCell(*d->GetProject(), "Twice Paid"), 8);
    EXPECT_TRUE(c->IsModified());
    EXPECT_EQ(CopyCell(*doc->GetProject(), "Twice Paid"), -1);
    EXPECT_EQ(boxes.Count(), 0u);
}

TEST_F(ReplicateTest, ATakenAbbreviationBringsTheDialogBackWithTheConflict) {
    CProjectDoc* doc = SourceWithTable();
    CProjectDoc* c = OpenDoc(SaveProject("c.qs5", 3));
    // The target already has a table abbreviated "TwPd".
    CUserTable taken;
    taken.SetIDLongName("Taken");
    taken.SetIDShortName("TwPd");
    QSID takenId = 0;
    ASSERT_EQ(c->GetProject()->AddNewFormulaObject(taken, 2, 0, qsk::kNodeUserInput, true, takenId), 0);
    qs::fw::MessageBoxScript boxes;
    qs::fw::ModalScript script;
    QList<int> secondSelection;
    script.Then<CReplicateDlg>(Answer(0, "Taken", "TwPd", {1}))
        .Then<CReplicateDlg>([&](CReplicateDlg& dlg) {
            for (int r = 0; r < dlg.ProjectList()->count(); ++r)
                if (dlg.ProjectList()->item(r)->isSelected()) secondSelection << r;
            dlg.OnCancel();
        });
    doc->OnCmdMsg(32933, CN_COMMAND, nullptr, nullptr);
    EXPECT_TRUE(script.AllHandled());
    EXPECT_EQ(secondSelection, QList<int>{1});
    const QString log = StatusText();
    // The abbreviated name is tested first.
    EXPECT_TRUE(log.contains("TwPd found in \r\nc.qs5\r\n")) << log.toStdString();
    EXPECT_TRUE(log.contains(QString("NAME: Taken\r\nABBREVIATED NAME: TwPd\r\n\r\nconflicts with \r\n\r\nTABLE ID: %1 \r\n"
                                     "NAME: Taken\r\nABBREVIATED NAME: TwPd\r\n")
                                 .arg(GetIDIndex(takenId))));
    EXPECT_TRUE(log.contains("\r\n The name exists  in one or more files!"));
    EXPECT_FALSE(c->GetProject()->IDExists(MakeID(2, 1, 0, 0, GetIDIndex(takenId) + 1)));  // nothing copied
}

TEST_F(ReplicateTest, SystemTablesAreRefused) {
    CProjectDoc* doc = SourceWithTable();
    qs::fw::MessageBoxScript boxes;
    doc->m_nCurrentObjectId = kPaidLoss;
    doc->OnCmdMsg(32933, CN_COMMAND, nullptr, nullptr);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Last().text, "Only user defined tables and graphs can be replicated.");
}

}  // namespace
