// Batch exports: the sample project written in each format and read back
// into a new project with the same values; the active document's export,
// existing targets, and the enhanced ASCII export of several projects into
// one file, with its cancel and its failure.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QRadioButton>

#include "BatchContexts.h"
#include "ExchangeFixture.h"
#include "TableDialogs.h"

using qs::fw::MessageBoxScript;
using qs::fw::ModalScript;
using namespace qs::test;

namespace {

// Every cell of every input table of the layers compared, both ways.
void ExpectSameValues(const CProject& expected, const CProject& actual, std::initializer_list<unsigned short> layers) {
    int compared = 0;
    for (unsigned short layer : layers)
        for (QSID id : {kPaid, kIncurred}) {
            CDataObject* e = expected.FindDataObject(id, layer);
            CDataObject* a = actual.FindDataObject(id, layer);
            ASSERT_NE(e, nullptr);
            ASSERT_NE(a, nullptr);
            for (int r = 0; r < 10; ++r)
                for (int c = 0; c < 10; ++c) {
                    double ev = 0, av = 0;
                    const bool eh = Cell(expected, id, layer, r, c, ev), ah = Cell(actual, id, layer, r, c, av);
                    ASSERT_EQ(eh, ah) << id << " layer " << layer << " " << r << "," << c;
                    if (eh) {
                        EXPECT_DOUBLE_EQ(ev, av) << id << " layer " << layer << " " << r << "," << c;
                        ++compared;
                    }
                }
        }
    EXPECT_GT(compared, 0);
}

class BatchExportTest : public ExchangeFixture {
protected:
    void SetUp() override {
        ExchangeFixture::SetUp();
        m_host.chooseExportSources = [this](QStringList& paths) {
            ++m_sourceChoosers;
            paths = m_sources;
            return !m_sources.isEmpty();
        };
        m_host.activeDocument = [this] { return m_active; };
    }

    // The options dialog in batch mode (or the active file), accepted.
    ModalScript::Handler Options(bool batch, QString* activeText = nullptr, bool* activeEnabled = nullptr) {
        return [=](QDialog& d) {
            auto& dialog = static_cast<CDialog&>(d);
            if (auto* active = qobject_cast<QRadioButton*>(dialog.GetDlgItem(qs::exchange::IDC_EXPORT_ACTIVE))) {
                if (activeText) *activeText = active->text();
                if (activeEnabled) *activeEnabled = active->isEnabled();
            }
            dialog.CheckDlgButton(qs::exchange::IDC_EXPORT_ACTIVE, batch ? 0 : 1);
            dialog.CheckDlgButton(qs::exchange::IDC_BATCH_MODE, batch ? 1 : 0);
            dialog.OnOK();
        };
    }

    QStringList m_sources;
    int m_sourceChoosers = 0;
    CProjectDoc* m_active = nullptr;
};

// Each format: the sample exported in batch mode beside its project file,
// then imported back into a new project: the same values in every layer the
// format carries.
TEST_F(BatchExportTest, EachFormatRoundTripsTheSample) {
    const QString sample = WriteSampleProject("sample.qs5");
    auto original = Load(sample);
    ASSERT_NE(original, nullptr);
    m_sources = {sample};
    const struct {
        const char* label;
        const char* ext;
        bool allLayers;
    } formats[] = {{"Lotus", "wk1", true}, {"EnhancedAscii", "dat", true}, {"Ascii", "asc", false}};
    for (const auto& f : formats) {
        SCOPED_TRACE(f.label);
        m_log.clear();
        const QString ext = QString::fromLatin1(f.ext);
        // Enhanced ASCII in batch mode writes every project into one file
        // (tested below); the active-file mode writes the project's own.
        if (ext == "dat") m_active = OpenDocument(sample);
        ModalScript script;
        script.Then(Options(ext != "dat"));
        if (ext == "wk1") {
            CLotusBatchContext ctx(m_host);
            ctx.BatchExport();
        } else if (ext == "dat") {
            CEnhancedAsciiBatchContext ctx(m_host);
            ctx.BatchExport();
            m_active->OnCloseDocument();
            m_active = nullptr;
        } else {
            CAsciiBatchContext ctx(m_host);
            ctx.BatchExport();
        }
        EXPECT_TRUE(script.AllHandled());
        const QString exported = Path("sample." + ext);
        ASSERT_TRUE(QFileInfo::exists(exported)) << LogText().toStdString();
        EXPECT_EQ(m_log.front(), QStringLiteral("[Export Status]"));
        EXPECT_TRUE(m_log.contains(QStringLiteral("\tExported ") + exported)) << LogText().toStdString();
        EXPECT_EQ(m_log.back(), QStringLiteral("\r\n File(s) successfully exported!"));
        EXPECT_TRUE(m_template->Documents().empty());
        EXPECT_TRUE(QDir(m_dir).entryList({"*.tmp*"}, QDir::Files).isEmpty());

        // Back into a new project: the target is named after the file (the
        // enhanced ASCII project after the name inside it).
        QDir(m_dir).mkdir("back");
        const QString back = Path("back/sample." + ext);
        ASSERT_TRUE(QFile::copy(exported, back));
        ModalScript importScript;
        importScript.Then([](QDialog& d) { static_cast<CDialog&>(d).OnOK(); })
            .Then([&](QDialog& d) {
                auto& dialog = dynamic_cast<QFileDialog&>(d);
                dialog.setDirectory(m_dir + "/back");
                dialog.findChild<QLineEdit*>("fileNameEdit")->setText("sample." + ext);
                d.accept();
            });
        if (ext == "wk1") {
            CLotusBatchContext ctx(m_host);
            ctx.BatchImport();
        } else if (ext == "dat") {
            CEnhancedAsciiBatchContext ctx(m_host);
            ctx.BatchImportEnhancedAscii();
        } else {
            CAsciiBatchContext ctx(m_host);
            ctx.BatchImport();
        }
        EXPECT_TRUE(importScript.AllHandled());
        auto imported = Load(Path("back/sample.qs5"));
        ASSERT_NE(imported, nullptr) << LogText().toStdString();
        if (f.allLayers)
            ExpectSameValues(*original->GetProject(), *imported->GetProject(), {NET, DIRECT});
        else
            ExpectSameValues(*original->GetProject(), *imported->GetProject(), {NET});
        imported.reset();
        QDir(m_dir + "/back").removeRecursively();
    }
}

// With no active document the dialogs offer only the batch; with one, the
// active-file choice names it.
TEST_F(BatchExportTest, ExportDialogsOfferTheActiveDocumentOnlyWhenThereIsOne) {
    const QString sample = WriteSampleProject("sample.qs5");
    for (bool withActive : {false, true}) {
        m_active = withActive ? OpenDocument(sample) : nullptr;
        QString text;
        bool enabled = true;
        bool batchChecked = false;
        ModalScript script;
        script.Then([&](QDialog& d) {
            auto& dialog = static_cast<CDialog&>(d);
            auto* active = qobject_cast<QRadioButton*>(dialog.GetDlgItem(qs::exchange::IDC_EXPORT_ACTIVE));
            text = active->text();
            enabled = active->isEnabled();
            batchChecked = dialog.IsDlgButtonChecked(qs::exchange::IDC_BATCH_MODE) != 0;
            dialog.OnCancel();
        });
        CAsciiBatchContext ctx(m_host);
        ctx.BatchExport();
        EXPECT_EQ(enabled, withActive);
        EXPECT_EQ(batchChecked, !withActive);
        EXPECT_EQ(text, withActive ? QStringLiteral("Export sample.qs5") : QStringLiteral("&Export Active Open File"));
        if (m_active) m_active->OnCloseDocument();
    }
}

// The active document that was never saved must be named first; Cancel
// ends the export with nothing written.
TEST_F(BatchExportTest, UnsavedActiveDocumentIsNamedFirst) {
    CProjectDoc* doc = OpenDocument(WriteSampleProject("named.qs5"));
    ASSERT_NE(doc, nullptr);
    doc->SetPathName(QString(), FALSE);
    m_active = doc;
    int saveAsRuns = 0;
    m_host.saveDocumentAs = [&](CProjectDoc* d) {
        ++saveAsRuns;
        if (saveAsRuns == 2) d->SetPathName(Path("named.qs5"), FALSE);
    };
    {
        ModalScript script;
        script.Then(Options(false));
        MessageBoxScript boxes{IDCANCEL};
        CLotusBatchContext ctx(m_host);
        ctx.BatchExport();
        EXPECT_EQ(boxes.Texts(), QStringList{"Current Document needs a file name for exporting.\r\nSave to file?"});
        EXPECT_TRUE(m_log.isEmpty());
        EXPECT_EQ(saveAsRuns, 0);
    }
    // OK runs Save As until the document has a name.
    ModalScript script;
    script.Then(Options(false));
    MessageBoxScript boxes{IDOK, IDOK};
    CLotusBatchContext ctx(m_host);
    ctx.BatchExport();
    EXPECT_EQ(saveAsRuns, 2);
    EXPECT_TRUE(QFileInfo::exists(Path("named.wk1")));
    EXPECT_EQ(m_template->Documents().size(), 1u) << "the user's document stays open";
}

// An existing target: Skip leaves it alone, Cancel export stops before the
// status window, Replace writes it.
TEST_F(BatchExportTest, ExistingTargetAsksAndFollowsTheAnswer) {
    m_sources = {WriteSampleProject("sample.qs5")};
    const QString target = Path("sample.wk1");
    WriteFile(target.toStdString(), "old");
    const struct {
        const char* label;
        int answer;
        bool written;
        const char* closing;
    } cases[] = {{"Skip", CExportFileExistsDlg::kSkipFile, false, "\r\n One or more files were skipped!"},
                 {"Cancel", CExportFileExistsDlg::kCancelExport, false, nullptr},
                 {"Replace", CExportFileExistsDlg::kReplace, true, "\r\n File(s) successfully exported!"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        m_log.clear();
        QString message;
        ModalScript script;
        script.Then(Options(true)).Then([&](QDialog& d) {
            auto& dialog = dynamic_cast<CExportFileExistsDlg&>(d);
            message = dialog.m_strMessage;
            dialog.Answer(c.answer);
        });
        CLotusBatchContext ctx(m_host);
        ctx.BatchExport();
        EXPECT_TRUE(script.AllHandled());
        EXPECT_EQ(message, target + QStringLiteral("\nFile already exists."));
        EXPECT_EQ(ReadFile(target.toStdString()) != "old", c.written);
        if (c.closing)
            EXPECT_EQ(m_log.back(), QLatin1String(c.closing));
        else
            EXPECT_TRUE(m_log.isEmpty());
    }
}

// A failed export says why and marks the run; the worksheet's limits are
// the kernel's: a project too wide for a sheet is refused.
TEST_F(BatchExportTest, FailedExportSaysWhyAndLeavesNoFile) {
    CProjectDoc doc;
    doc.m_bAutoDelete = FALSE;
    std::uint16_t gen = 5, n = 300, year = 1990, interval = 1, age = 1;
    PRDLENGTH len = PRD_MONTH;
    LAYERNAMES c1 = GROSS, c2 = ASSUMED;
    ASSERT_EQ(doc.GetProject()->Create(gen, n, len, year, interval, n, len, age, c1, c2), 0);
    ASSERT_EQ(doc.GetProject()->FindDataObject(kPaid, NET)->SetAt(0, 0, 1.0), 0);
    ASSERT_TRUE(doc.OnSaveDocument(Path("wide.qs5")));
    doc.OnCloseDocument();
    m_sources = {Path("wide.qs5")};
    ModalScript script;
    script.Then(Options(true));
    CLotusBatchContext ctx(m_host);
    ctx.BatchExport();
    EXPECT_TRUE(m_log.contains(QStringLiteral(" Error: Export failed!"))) << LogText().toStdString();
    EXPECT_TRUE(LogText().contains("too large")) << LogText().toStdString();
    EXPECT_EQ(m_log.back(), QStringLiteral("\r\n One or more files failed to be exported!"));
    EXPECT_FALSE(QFileInfo::exists(Path("wide.wk1")));
}

// Several projects into one enhanced ASCII file: both read back from it;
// a confirmed cancel keeps what was written and does not claim success;
// a project that cannot be opened leaves an empty file.
TEST_F(BatchExportTest, EnhancedAsciiBatchWritesEveryProjectIntoOneFile) {
    const QString one = WriteSampleProject("ONE.qs5");
    const QString two = WriteSampleProject("TWO.qs5", 2.0);
    m_sources = {one, two};
    const QString combined = Path("all.dat");
    const auto saveAs = [&](QDialog& d) {
        // The chooser's own overwrite question is Qt's: the test names a
        // fresh file each time.
        QFile::remove(combined);
        dynamic_cast<QFileDialog&>(d).selectFile(combined);
        d.accept();
    };
    {
        ModalScript script;
        script.Then(Options(true)).Then(saveAs);
        CEnhancedAsciiBatchContext ctx(m_host);
        ctx.BatchExport();
        EXPECT_TRUE(script.AllHandled());
        EXPECT_EQ(m_log.back(), QStringLiteral("\r\n File(s) successfully exported!"));
        EXPECT_TRUE(m_busyShowsCancel);
        qs::exchange::DatScan scan;
        ASSERT_TRUE(qs::exchange::ScanEnhancedAsciiFile(combined, scan, nullptr));
        ASSERT_EQ(scan.projects.size(), 2u);
        EXPECT_EQ(scan.projects[0].name, "ONE");
        EXPECT_EQ(scan.projects[1].name, "TWO");
    }
    {
        m_log.clear();
        m_cancelAfter = 1;
        ModalScript script;
        script.Then(Options(true)).Then(saveAs);
        MessageBoxScript boxes{IDYES};
        CEnhancedAsciiBatchContext ctx(m_host);
        ctx.BatchExport();
        EXPECT_FALSE(m_log.contains(QStringLiteral("\r\n File(s) successfully exported!")));
        qs::exchange::DatScan scan;
        ASSERT_TRUE(qs::exchange::ScanEnhancedAsciiFile(combined, scan, nullptr));
        EXPECT_EQ(scan.projects.size(), 1u);
    }
    {
        m_log.clear();
        m_sources = {one, Path("missing.qs5")};
        ModalScript script;
        script.Then(Options(true)).Then(saveAs);
        CEnhancedAsciiBatchContext ctx(m_host);
        ctx.BatchExport();
        EXPECT_TRUE(m_log.contains(QStringLiteral(" Error: Open or create file failed!")));
        EXPECT_EQ(m_log.back(), QStringLiteral("\r\n One or more files failed to be exported!"));
        EXPECT_EQ(QFileInfo(combined).size(), 0);
    }
    {
        // Cancel in the file dialog says so and writes nothing.
        m_log.clear();
        ModalScript script;
        script.Then(Options(true)).Then([](QDialog& d) { d.reject(); });
        MessageBoxScript boxes;
        CEnhancedAsciiBatchContext ctx(m_host);
        ctx.BatchExport();
        EXPECT_EQ(boxes.Texts(), QStringList{"Enhanced ASCII Batch Export Cancelled! "});
        EXPECT_TRUE(m_log.isEmpty());
    }
    EXPECT_TRUE(m_template->Documents().empty());
}

}  // namespace
