// Batch imports driven as a user drives them: the options dialog and the
// file chooser played by ModalScript handlers, the questions by
// MessageBoxScript, the status log collected by the host. Each format's
// fixture (tests/data/exchange) goes into new and existing projects; a
// damaged file changes nothing and says why; whatever happens, documents
// the run opened are closed and the user's documents get their views back.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>

#include <cstdlib>
#include <stdexcept>

#include "AsciiRecordLayout.h"
#include "BatchContexts.h"
#include "CFile.h"
#include "ExchangeFixture.h"
#include "ValueArrays.h"

using qs::fw::MessageBoxScript;
using qs::fw::ModalScript;
using namespace qs::test;

namespace {

QString Fixture(const char* name) { return QString::fromStdString(DataDir() + "/exchange/") + QLatin1String(name); }

// The file chooser's handler: the named files of a folder, accepted.
ModalScript::Handler Choose(const QString& dir, const QStringList& names) {
    return [dir, names](QDialog& d) {
        auto& dialog = dynamic_cast<QFileDialog&>(d);
        dialog.setDirectory(dir);
        QStringList quoted;
        for (const QString& n : names) quoted << QLatin1Char('"') + n + QLatin1Char('"');
        dialog.findChild<QLineEdit*>("fileNameEdit")->setText(names.size() == 1 ? names.front() : quoted.join(' '));
        d.accept();
    };
}

// The options dialog of any format, accepted as it opens.
ModalScript::Handler AcceptOptions() {
    return [](QDialog& d) { static_cast<CDialog&>(d).OnOK(); };
}

ModalScript::Handler AnswerConflict(int code, QString* message = nullptr, bool* addEnabled = nullptr) {
    return [=](QDialog& d) {
        auto& c = dynamic_cast<CImportConflictDlg&>(d);
        if (message) *message = c.m_strMessage;
        if (addEnabled) *addEnabled = c.GetDlgItem(CImportConflictDlg::IDC_ADD)->isEnabled();
        c.Answer(code);
    };
}

void ExpectRaa(const CProject& p, double scale = 1.0) {
    const qs::calc::Triangle& t = Raa();
    for (int r = 0; r < t.rows; ++r)
        for (int c = 0; c < t.cols; ++c) {
            if (!t.Has(r, c)) continue;
            double v = 0;
            ASSERT_TRUE(Cell(p, kPaid, NET, r, c, v)) << r << "," << c;
            EXPECT_DOUBLE_EQ(v, t.At(r, c) * scale) << r << "," << c;
        }
}

enum class Kind { Lotus, EnhancedAscii, Ascii, Predecessor };

struct FormatCase {
    const char* label;
    Kind kind;
    const char* fixture;
    bool hasDirect;  // the file brings the Direct layer too
};

const FormatCase kFormats[] = {
    {"Lotus", Kind::Lotus, "raa.wk1", true},
    {"EnhancedAscii", Kind::EnhancedAscii, "raa.dat", true},
    {"Ascii", Kind::Ascii, "raa.asc", false},
    {"Predecessor", Kind::Predecessor, "raa.pc5", true},
};

class BatchImportTest : public ExchangeFixture {
protected:
    // Copies a fixture into the test's folder under a name.
    QString Stage(const char* fixture, const QString& name) {
        const QString path = Path(name);
        QFile::remove(path);
        EXPECT_TRUE(QFile::copy(Fixture(fixture), path)) << fixture;
        return path;
    }

    void Run(Kind kind) {
        switch (kind) {
        case Kind::Lotus: {
            CLotusBatchContext ctx(m_host);
            ctx.BatchImport();
            break;
        }
        case Kind::EnhancedAscii: {
            CEnhancedAsciiBatchContext ctx(m_host);
            ctx.BatchImportEnhancedAscii();
            break;
        }
        case Kind::Ascii: {
            CAsciiBatchContext ctx(m_host);
            ctx.BatchImport();
            break;
        }
        case Kind::Predecessor: {
            CConvertPC5BatchContext ctx(m_host);
            ctx.BatchImport();
            break;
        }
        }
    }

    // The file name each format's fixture is staged under, and its target.
    static QString SourceName(const FormatCase& f) {
        return QStringLiteral("raa.") + QString::fromLatin1(f.fixture).section('.', -1);
    }
};

// The fixtures: written by the kernel's own writers from the RAA project.
// Regenerate with QS_FIXTURE_OUT=<tests/data/exchange> and
// --gtest_also_run_disabled_tests --gtest_filter='*WriteFixtures'.
TEST(ExchangeFixtures, DISABLED_WriteFixtures) {
    const char* out = std::getenv("QS_FIXTURE_OUT");
    ASSERT_NE(out, nullptr);
    const std::string dir = out;
    CProject raa;
    FillRaa(raa);
    raa.SetFileName("RAA.qs5");
    ASSERT_EQ(raa.ExportWK1(dir + "/raa.wk1", 1, 0), 0);
    const qs::exchange::AsciiRecordLayout layout = qs::exchange::AsciiRecordLayout::Defaults();
    CByteArray header, data;
    layout.HeaderWidths(header);
    layout.DataWidths(data);
    ASSERT_EQ(raa.ExportAscii(dir + "/raa.asc", NET, 1, header, data), 0);
    // Two projects in one file between 16 bytes of header and 8 of footer.
    CProject doubled;
    FillRaa(doubled, 2.0);
    doubled.SetFileName("RAADBL.qs5");
    CFile file(dir + "/raa.dat", CFile::modeCreate | CFile::modeWrite);
    const std::string header16(16, '\0'), footer8(8, '\0');
    file.Write(header16.data(), header16.size());
    ASSERT_EQ(raa.ExportExtAscii(file, 1), 0);
    ASSERT_EQ(doubled.ExportExtAscii(file, 0), 0);
    file.Write(footer8.data(), footer8.size());
    file.Close();
}

// Each format into a project that does not exist yet: the options, the
// chooser (its title and button), the target beside the source, saved and
// opened for editing when it is the only one.
TEST_F(BatchImportTest, EachFormatMakesANewProjectBesideItsSource) {
    const struct {
        Kind kind;
        const char* title;
        const char* okText;
    } choosers[] = {{Kind::Lotus, "Import from Lotus 1-2-3 Files", "Import"},
                    {Kind::EnhancedAscii, "Import from Enhanced ASCII Files", "Import"},
                    {Kind::Ascii, "Import from ASCII Files", "Import"},
                    {Kind::Predecessor, "Convert PC5 Files", "Convert"}};
    for (const FormatCase& f : kFormats) {
        SCOPED_TRACE(f.label);
        m_log.clear();
        m_openedForEditing.clear();
        const QString source = Stage(f.fixture, SourceName(f));
        QString title, okText;
        bool conversionAsked = false;
        m_host.conversionOptions = [&] { return conversionAsked = true; };
        ModalScript script;
        if (f.kind != Kind::Predecessor) script.Then(AcceptOptions());
        script.Then([&](QDialog& d) {
            title = d.windowTitle();
            okText = dynamic_cast<QFileDialog&>(d).labelText(QFileDialog::Accept);
            Choose(m_dir, {SourceName(f)})(d);
        });
        MessageBoxScript boxes;
        Run(f.kind);
        EXPECT_TRUE(script.AllHandled());
        EXPECT_EQ(boxes.Count(), 0u) << boxes.Texts().join(" | ").toStdString();
        for (const auto& c : choosers)
            if (c.kind == f.kind) {
                EXPECT_EQ(title, QLatin1String(c.title));
                EXPECT_EQ(okText, QLatin1String(c.okText));
            }
        EXPECT_EQ(conversionAsked, f.kind == Kind::Predecessor);
        EXPECT_EQ(m_registered, 0);
        EXPECT_FALSE(m_batchRunning);
        EXPECT_TRUE(m_template->Documents().empty());
        EXPECT_EQ(m_log.front(), QStringLiteral("[Import Status]"));
        EXPECT_EQ(m_log.back(), QStringLiteral("\r\n File(s) successfully imported!")) << LogText().toStdString();

        // The enhanced ASCII fixture holds two projects, named in the file.
        const QString target = f.kind == Kind::EnhancedAscii ? Path("RAA.qs5") : Path("raa.qs5");
        auto doc = Load(target);
        ASSERT_NE(doc, nullptr);
        ExpectRaa(*doc->GetProject());
        double v = 0;
        EXPECT_EQ(Cell(*doc->GetProject(), kIncurred, DIRECT, 0, 0, v) ||
                      Cell(*doc->GetProject(), kIncurred, GROSS, 0, 0, v),
                  f.hasDirect);
        if (f.kind == Kind::EnhancedAscii) {
            auto second = Load(Path("RAADBL.qs5"));
            ASSERT_NE(second, nullptr);
            ExpectRaa(*second->GetProject(), 2.0);
            EXPECT_TRUE(m_openedForEditing.isEmpty()) << "two projects: none is opened for editing";
        } else {
            EXPECT_EQ(m_openedForEditing, QStringList{target});
            EXPECT_TRUE(m_log.contains(QStringLiteral("\tSaved ") + target));
        }
        doc.reset();
        QFile::remove(target);
        QFile::remove(Path("RAADBL.qs5"));
    }
}

// An existing target: the overwrite question and each of its answers.
TEST_F(BatchImportTest, ExistingTargetAsksAndFollowsTheAnswer) {
    const QString source = Stage("raa.wk1", "raa.wk1");
    const QString target = Path("raa.qs5");
    const struct {
        const char* label;
        int answer;
        double expectedScale;  // of the paid values afterwards; 0: the file is untouched
        const char* closing;
    } cases[] = {
        {"Replace", CImportConflictDlg::kReplace, 1.0, "\r\n File(s) successfully imported!"},
        {"Add", CImportConflictDlg::kAdd, 3.0, "\r\n File(s) successfully imported!"},
        {"Skip", CImportConflictDlg::kSkipFile, 0.0, "\r\n One or more files were skipped!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        m_log.clear();
        QFile::remove(target);
        WriteSampleProject("raa.qs5", 2.0);
        const std::string before = ReadFile(target.toStdString());
        QString message;
        bool addEnabled = false;
        ModalScript script;
        script.Then(AcceptOptions()).Then(Choose(m_dir, {"raa.wk1"})).Then(AnswerConflict(c.answer, &message, &addEnabled));
        Run(Kind::Lotus);
        EXPECT_TRUE(script.AllHandled());
        EXPECT_EQ(message, target + QStringLiteral("\nFile already exists."));
        EXPECT_TRUE(addEnabled);
        EXPECT_EQ(m_log.back(), QLatin1String(c.closing)) << LogText().toStdString();
        EXPECT_TRUE(m_template->Documents().empty());
        if (c.expectedScale == 0) {
            EXPECT_TRUE(ReadFile(target.toStdString()) == before);
            EXPECT_TRUE(m_log.contains(QStringLiteral("\r\n Skip raa.wk1")));
            continue;
        }
        auto doc = Load(target);
        ASSERT_NE(doc, nullptr);
        ExpectRaa(*doc->GetProject(), c.expectedScale);
        EXPECT_TRUE(m_log.contains(QStringLiteral("\tOpen file ") + target));
    }

    // Cancel import stops before any status output; the predecessor
    // conversion cannot add to an existing file.
    m_log.clear();
    const std::string before = ReadFile(target.toStdString());
    Stage("raa.pc5", "raa.pc5");
    bool addEnabled = true;
    m_host.conversionOptions = [] { return true; };
    ModalScript script;
    script.Then(Choose(m_dir, {"raa.pc5"})).Then(AnswerConflict(CImportConflictDlg::kCancelImport, nullptr, &addEnabled));
    Run(Kind::Predecessor);
    EXPECT_TRUE(script.AllHandled());
    EXPECT_FALSE(addEnabled);
    EXPECT_TRUE(m_log.isEmpty());
    EXPECT_TRUE(ReadFile(target.toStdString()) == before);
}

// Rename asks for another name; a name that exists asks again; Cancel in
// the name dialog keeps the name and asks again.
TEST_F(BatchImportTest, RenameTakesANewTargetAndAsksAgainForOneThatExists) {
    Stage("raa.wk1", "raa.wk1");
    WriteSampleProject("raa.qs5", 2.0);
    WriteSampleProject("taken.qs5", 2.0);
    QStringList messages;
    const auto conflict = [&](int code) {
        return [&messages, code](QDialog& d) {
            auto& c = dynamic_cast<CImportConflictDlg&>(d);
            messages << c.m_strMessage;
            c.Answer(code);
        };
    };
    const auto saveAs = [this](const QString& name) {
        return [this, name](QDialog& d) {
            auto& dialog = dynamic_cast<QFileDialog&>(d);
            dialog.selectFile(Path(name));
            d.accept();
        };
    };
    ModalScript script;
    script.Then(AcceptOptions())
        .Then(Choose(m_dir, {"raa.wk1"}))
        .Then(conflict(CImportConflictDlg::kRename))
        .Then([](QDialog& d) { d.reject(); })  // the name dialog cancelled: the same name again
        .Then(conflict(CImportConflictDlg::kRename))
        .Then(saveAs("taken.qs5"))
        .Then(conflict(CImportConflictDlg::kRename))
        .Then(saveAs("fresh.qs5"));
    MessageBoxScript boxes;
    Run(Kind::Lotus);
    EXPECT_TRUE(script.AllHandled());
    ASSERT_EQ(messages.size(), 3);
    EXPECT_EQ(messages[1], messages[0]);
    EXPECT_EQ(messages[2], Path("taken.qs5") + QStringLiteral("\nFile already exists."));
    auto doc = Load(Path("fresh.qs5"));
    ASSERT_NE(doc, nullptr);
    ExpectRaa(*doc->GetProject());
    EXPECT_EQ(m_openedForEditing, QStringList{Path("fresh.qs5")});
}

// Two sources that differ only in their extension's case name the same
// target: the second is "referenced again" (Add offered) and Replace puts
// both into it, one after the other; two files open nothing for editing.
TEST_F(BatchImportTest, TargetNamedTwiceIsReferencedAgain) {
    Stage("raa.wk1", "twice.wk1");
    Stage("raa.wk1", "twice.WK1");
    QString message;
    bool addEnabled = false;
    ModalScript script;
    script.Then(AcceptOptions())
        .Then(Choose(m_dir, {"twice.wk1", "twice.WK1"}))
        .Then(AnswerConflict(CImportConflictDlg::kAdd, &message, &addEnabled));
    Run(Kind::Lotus);
    EXPECT_TRUE(script.AllHandled());
    EXPECT_TRUE(message.endsWith(QStringLiteral(
        "twice.qs5 is referenced again.\nPlease select an option to perform when processing this part of the import "
        "file.")))
        << message.toStdString();
    EXPECT_TRUE(addEnabled);
    EXPECT_TRUE(m_busyShowsCancel);
    EXPECT_TRUE(m_openedForEditing.isEmpty());
    auto doc = Load(Path("twice.qs5"));
    ASSERT_NE(doc, nullptr);
    ExpectRaa(*doc->GetProject(), 2.0);  // the second added to the first
}

// A target the user has open is imported into the open document: its
// views close for the import and come back, and it is neither saved nor
// closed.
TEST_F(BatchImportTest, OpenTargetIsImportedInPlaceAndKeepsItsViews) {
    Stage("raa.asc", "raa.asc");
    const QString target = WriteSampleProject("raa.qs5", 2.0);
    const std::string before = ReadFile(target.toStdString());
    CProjectDoc* open = OpenDocument(target);
    ASSERT_NE(open, nullptr);
    ASSERT_NE(open->OpenObjectView(kPaid, NET), nullptr);
    const std::size_t views = open->Views().size();
    ModalScript script;
    script.Then(AcceptOptions()).Then(Choose(m_dir, {"raa.asc"})).Then(AnswerConflict(CImportConflictDlg::kReplace));
    Run(Kind::Ascii);
    EXPECT_TRUE(script.AllHandled());
    EXPECT_EQ(m_log.back(), QStringLiteral("\r\n File(s) successfully imported!"));
    ASSERT_EQ(m_template->Documents().size(), 1u);
    EXPECT_EQ(open->Views().size(), views);
    ExpectRaa(*open->GetProject());
    EXPECT_TRUE(open->IsModified());
    EXPECT_TRUE(ReadFile(target.toStdString()) == before) << "the open document is not saved";
    EXPECT_FALSE(m_log.contains(QStringLiteral("\tSaved ") + target));
    EXPECT_TRUE(m_openedForEditing.isEmpty());
}

// A damaged file of each format changes nothing, says why and marks the
// run failed; the next file of the run still goes in.
TEST_F(BatchImportTest, DamagedInputChangesNothingAndSaysWhy) {
    for (const FormatCase& f : kFormats) {
        SCOPED_TRACE(f.label);
        m_log.clear();
        m_openedForEditing.clear();
        const QString ext = QString::fromLatin1(f.fixture).section('.', -1);
        // Cut a few bytes into a line a quarter into the file: every format
        // notices. (ASCII records have no count or end mark: a cut between
        // records, or inside the last field, reads as a shorter file.)
        std::string bytes = ReadFile(Fixture(f.fixture).toStdString());
        std::size_t cut = bytes.find('\n', bytes.size() / 4);
        bytes.resize(cut == std::string::npos ? bytes.size() / 4 : cut + 6);
        WriteFile(Path("cut." + ext).toStdString(), bytes);
        // An enhanced ASCII file names its targets after its projects.
        const QString existing = WriteSampleProject(f.kind == Kind::EnhancedAscii ? "RAA.qs5" : "cut.qs5", 2.0);
        const std::string before = ReadFile(existing.toStdString());
        m_host.conversionOptions = [] { return true; };
        ModalScript script;
        if (f.kind != Kind::Predecessor) script.Then(AcceptOptions());
        script.Then(Choose(m_dir, {"cut." + ext})).Then(AnswerConflict(CImportConflictDlg::kReplace));
        MessageBoxScript boxes;
        Run(f.kind);
        EXPECT_TRUE(ReadFile(existing.toStdString()) == before) << "the existing project is untouched";
        EXPECT_EQ(m_log.back(), QStringLiteral("\r\n One or more files failed to be imported!")) << LogText().toStdString();
        const QString log = LogText();
        EXPECT_TRUE(log.contains(QStringLiteral("Error: Import failed!")) || log.contains("holds no project") ||
                    log.contains("not imported"))
            << log.toStdString();
        EXPECT_TRUE(log.contains(QStringLiteral("Nothing was changed.")) || log.contains("holds no project"))
            << log.toStdString();
        EXPECT_TRUE(m_template->Documents().empty());
        EXPECT_TRUE(m_openedForEditing.isEmpty());
        QFile::remove(existing);
    }
}

// An unexpected failure inside the import still gives the user's document
// its views back, closes what the run opened and writes the closing line.
class ThrowingLotus : public CLotusBatchContext {
public:
    using CLotusBatchContext::CLotusBatchContext;
    QSSTATUS ImportFile(CProject&, const QString&, int) override { throw std::runtime_error("disk on fire"); }
};

TEST_F(BatchImportTest, FailureInsideTheImportEndsTheRunCleanly) {
    Stage("raa.wk1", "open.wk1");
    Stage("raa.wk1", "closed.wk1");
    const QString openTarget = WriteSampleProject("open.qs5", 2.0);
    WriteSampleProject("closed.qs5", 2.0);
    CProjectDoc* open = OpenDocument(openTarget);
    ASSERT_NE(open, nullptr);
    ASSERT_NE(open->OpenObjectView(kPaid, NET), nullptr);
    const std::size_t views = open->Views().size();
    for (const QString& name : {QStringLiteral("open.wk1"), QStringLiteral("closed.wk1")}) {
        SCOPED_TRACE(name.toStdString());
        m_log.clear();
        ModalScript script;
        script.Then(AcceptOptions()).Then(Choose(m_dir, {name})).Then(AnswerConflict(CImportConflictDlg::kReplace));
        MessageBoxScript boxes;
        ThrowingLotus ctx(m_host);
        ctx.BatchImport();
        EXPECT_EQ(boxes.Texts(), QStringList{"disk on fire"});
        EXPECT_EQ(m_log.back(), QStringLiteral("\r\n One or more files failed to be imported!"));
        EXPECT_EQ(m_template->Documents().size(), 1u) << "only the user's document stays open";
        EXPECT_EQ(open->Views().size(), views);
        EXPECT_EQ(m_registered, 0);
    }
}

// Targets are named by cutting the source's own extension, whatever its
// length.
TEST_F(BatchImportTest, TargetNamesReplaceTheWholeExtension) {
    CLotusBatchContext ctx(m_host);
    const struct {
        const char* source;
        const char* importTarget;
        const char* exportTarget;
    } cases[] = {
        {"/d/ABC.WK1", "/d/ABC.qs5", "/d/ABC.wk1"},
        {"/d/data.lotus", "/d/data.qs5", "/d/data.wk1"},
        {"/d/x.w", "/d/x.qs5", "/d/x.wk1"},
        {"/d.v2/noext", "/d.v2/noext.qs5", "/d.v2/noext.wk1"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ctx.ImportTargetOf(c.source), QLatin1String(c.importTarget));
        EXPECT_EQ(ctx.ExportTargetOf(c.source), QLatin1String(c.exportTarget));
    }
}

// Cancel in the busy window is confirmed; Yes ends the run with its
// closing line and nothing more is imported.
TEST_F(BatchImportTest, ConfirmedCancelEndsTheRunBetweenFiles) {
    Stage("raa.wk1", "one.wk1");
    Stage("raa.wk1", "two.wk1");
    m_cancelAfter = 1;  // pressed before the second file
    ModalScript script;
    script.Then(AcceptOptions()).Then(Choose(m_dir, {"one.wk1", "two.wk1"}));
    MessageBoxScript boxes{IDYES};
    Run(Kind::Lotus);
    EXPECT_EQ(boxes.Texts(), QStringList{"Are you sure you want to Cancel?"});
    EXPECT_TRUE(QFileInfo::exists(Path("one.qs5")));
    EXPECT_FALSE(QFileInfo::exists(Path("two.qs5")));
    EXPECT_EQ(m_log.back(), QStringLiteral("\r\n File(s) successfully imported!"));
}

}  // namespace
