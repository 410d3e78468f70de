// The factor-library document and view as a user drives them: sets are
// added, factors typed (bad text refused), sets renamed, the library saved,
// closed and opened again byte for byte; damaged files are refused; an open
// library lends its sets to the project; printing puts every set in a PDF.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QLineEdit>
#include <QTreeWidget>

#include <memory>

#include "CDFLDoc.h"
#include "CDFLGrid.h"
#include "CDFLView.h"
#include "CDataObject.h"
#include "CDocTemplate.h"
#include "CFSLib.h"
#include "CFactorSet.h"
#include "CFrameWnd.h"
#include "CProject.h"
#include "CProjectDoc.h"
#include "CWinApp.h"
#include "FactorLibraryHost.h"
#include "FactorLibraryLending.h"
#include "FactorSetDialogs.h"
#include "KernelIds.h"
#include "MessageBox.h"
#include "ModalScript.h"
#include "SpreadsheetControl.h"
#include "TestEnvironment.h"
#include "ViewSettings.h"

namespace {

using qs::fw::MessageBoxScript;
using qs::fw::ModalScript;

QByteArray Bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QString PdfText(const QString& path) {
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (!process.waitForFinished(60000) || process.exitCode() != 0) return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The dialog of "Add set...": a name and a shape, then OK.
ModalScript::Handler NewSet(const QString& name, int periods, int lengthIndex = 3, int first = 12) {
    return [=](QDialog& d) {
        auto& dialog = dynamic_cast<CNewFactorSetDlg&>(d);
        dialog.SetDlgItemText(CNewFactorSetDlg::IDC_NAME, name);
        dialog.SetDlgItemText(CNewFactorSetDlg::IDC_NUM_PERIODS, QString::number(periods));
        dialog.SetDlgItemText(CNewFactorSetDlg::IDC_FIRST_PERIOD, QString::number(first));
        qobject_cast<QComboBox*>(dialog.GetDlgItem(CNewFactorSetDlg::IDC_PERIOD_LENGTH))->setCurrentIndex(lengthIndex);
        dialog.OnOK();
    };
}

// The file chooser: the path typed, then Save.
ModalScript::Handler ChooseFile(const QString& path, QString* proposed = nullptr) {
    return [=](QDialog& d) {
        auto& dialog = dynamic_cast<QFileDialog&>(d);
        if (proposed) *proposed = dialog.selectedFiles().value(0);
        dialog.selectFile(path);
        static_cast<QDialog&>(dialog).accept();
    };
}

class FactorLibraryTest : public ::testing::Test {
protected:
    void SetUp() override {
        qs::views::Settings() = qs::views::ViewSettings{};
        m_app = std::make_unique<CWinApp>(QStringLiteral("Qstone"));
        m_libraries = new CMultiDocTemplate(130, RUNTIME_CLASS(CDFLDoc), RUNTIME_CLASS(CFrameWnd), RUNTIME_CLASS(CDFLView));
        m_libraries->SetDocStrings(
            QStringLiteral("\nFactor Library\nFactor Library\nFactor Library (*.dfl)\n.dfl\nDFL.Document\nFactor Library"));
        m_projects = new CMultiDocTemplate(224, RUNTIME_CLASS(CProjectDoc), RUNTIME_CLASS(CFrameWnd),
                                           RUNTIME_CLASS(CDFLView));
        m_app->AddDocTemplate(m_projects);
        m_app->AddDocTemplate(m_libraries);
        qs::factors::Host() = {};
        m_dir = QString::fromStdString(qs::test::MakeTempDir("dfl"));
        // Messages that only a visible main window shows are part of what is checked.
        m_main.show();
        qs::fw::SetMainWindow(&m_main);
    }
    void TearDown() override {
        m_app->CloseAllDocuments(TRUE);
        qs::fw::SetMainWindow(nullptr);
        m_app.reset();
    }

    QString Path(const QString& name) const { return m_dir + QLatin1Char('/') + name; }

    CDFLDoc* NewLibrary() { return dynamic_cast<CDFLDoc*>(m_libraries->OpenDocumentFile(QString())); }
    CDFLDoc* OpenLibrary(const QString& path) { return dynamic_cast<CDFLDoc*>(m_libraries->OpenDocumentFile(path)); }
    static CDFLView* ViewOf(CDocument* doc) {
        if (doc == nullptr || doc->Views().empty()) return nullptr;
        auto* view = dynamic_cast<CDFLView*>(doc->Views().front());
        if (view && view->GetParentFrame()) view->GetParentFrame()->show();  // in-cell editing needs a shown grid
        return view;
    }

    // A project document with an annual project of five periods.
    CProjectDoc* OpenProject() {
        auto* doc = dynamic_cast<CProjectDoc*>(m_projects->CreateNewDocument());
        doc->m_bAutoDelete = FALSE;
        std::uint16_t gen = 5, numExp = 5, firstYear = 2001, interval = 1, numDev = 5, firstAge = 12;
        PRDLENGTH len = PRD_YEAR;
        LAYERNAMES c1 = GROSS, c2 = ASSUMED;
        EXPECT_EQ(doc->GetProject()->Create(gen, numExp, len, firstYear, interval, numDev, len, firstAge, c1, c2), 0);
        return doc;
    }

    // Types text into grid cell (1, col) as a user would; true when the
    // grid took it.
    static bool Type(CDFLView* view, int col, const QString& text) {
        qs::ss::SpreadsheetControl* ctrl = view->Grid()->Ctrl();
        ctrl->SetSelection(1, col, 1, col);
        ctrl->StartEdit(text, true);
        const bool stored = ctrl->EndEdit() == 0;
        if (!stored) ctrl->CancelEdit();
        return stored;
    }

    static double Factor(CFactorSet* set, QSID id, int col, bool* has = nullptr) {
        const CDataObject* row = set ? set->FindDF(id) : nullptr;
        double value = 0;
        std::uint8_t flags = 0;
        if (row) row->GetAt(0, col, value, flags);
        if (has) *has = row && (flags & CDataObject::CF_VALUE);
        return value;
    }

    static QSID ExhibitId(CDFLView* view, int row, unsigned short layer = 1) {
        QSID id = QSID(view->ExhibitList()->topLevelItem(row)->data(0, Qt::UserRole).toLongLong());
        SetIDLayer(id, layer);
        return id;
    }

    std::unique_ptr<CWinApp> m_app;
    CMultiDocTemplate* m_libraries = nullptr;
    CMultiDocTemplate* m_projects = nullptr;
    QWidget m_main;
    QString m_dir;
};

TEST_F(FactorLibraryTest, CreateEditSaveAndReopenGivesTheSameBytes) {
    CDFLDoc* doc = NewLibrary();
    CDFLView* view = ViewOf(doc);
    ASSERT_TRUE(view);
    ASSERT_GT(view->ExhibitList()->topLevelItemCount(), 0) << "a fresh project offers the standard exhibits";
    // An empty library: nothing to show, nothing to save.
    EXPECT_TRUE(view->ExhibitList()->isHidden());
    EXPECT_FALSE(view->GetDlgItem(CDFLView::IDC_DELETE_SET)->isEnabled());

    {
        ModalScript script;
        script.Then(NewSet("Industry", 4)).Then(NewSet("Company", 3));
        view->OnAddSet();
        view->OnAddSet();
        EXPECT_TRUE(script.AllHandled());
    }
    ASSERT_EQ(doc->GetLibrary()->GetCount(), 2u);
    EXPECT_EQ(view->CurrentFactorSetName(), QStringLiteral("Company"));
    view->SelectExhibitRow(0);
    const QSID exhibit = ExhibitId(view, 0);

    MessageBoxScript boxes;
    EXPECT_TRUE(Type(view, 1, QStringLiteral("1.25")));
    EXPECT_TRUE(Type(view, 2, QStringLiteral("(3)")));
    for (const char* bad : {"abc", "1e5", "#N/A", "=2+3", "1.2.3"}) EXPECT_FALSE(Type(view, 3, QString::fromLatin1(bad))) << bad;
    EXPECT_TRUE(Type(view, 3, QStringLiteral("1.05")));
    ASSERT_EQ(boxes.Count(), 5u);
    EXPECT_EQ(boxes.Boxes()[0].text, QStringLiteral("Alpha characters are not allowed."));
    EXPECT_TRUE(boxes.Boxes()[3].text.contains(QStringLiteral("is not a number")));

    CFactorSet* company = view->CurrentFactorSet();
    EXPECT_DOUBLE_EQ(Factor(company, exhibit, 0), 1.25);
    EXPECT_DOUBLE_EQ(Factor(company, exhibit, 1), -3.0);
    EXPECT_DOUBLE_EQ(Factor(company, exhibit, 2), 1.05);
    EXPECT_EQ(view->ExhibitList()->topLevelItem(0)->data(0, Qt::UserRole + 1).toInt(), 1) << "marked as holding factors";

    // A rename by label edit is a change that must be saved.
    doc->SetModifiedFlag(FALSE);
    boxes.Answer(IDYES);
    const int companyRow = view->SetList()->indexOfTopLevelItem(view->SetList()->findItems("Company", Qt::MatchExactly).front());
    EXPECT_TRUE(view->OnEndLabelEdit(companyRow, QStringLiteral("Company 2024")));
    EXPECT_TRUE(doc->IsModified());
    CFactorSet* renamed = nullptr;
    doc->GetLibrary()->GetFactorSet("Company 2024", renamed);
    ASSERT_TRUE(renamed);

    view->GetDlgItem(CDFLView::IDC_NAME);
    qobject_cast<QLineEdit*>(view->GetDlgItem(CDFLView::IDC_NAME))->setText(QStringLiteral("Auto"));
    qobject_cast<QLineEdit*>(view->GetDlgItem(CDFLView::IDC_DESCRIPTION))->setText(QStringLiteral("Private passenger auto"));
    const QString path = Path("Auto.dfl");
    QString proposed;
    {
        ModalScript script;
        script.Then(ChooseFile(path, &proposed));
        EXPECT_TRUE(view->SaveLibrary(false));
        EXPECT_TRUE(script.AllHandled());
    }
    EXPECT_TRUE(proposed.endsWith(QStringLiteral("Auto.dfl"))) << proposed.toStdString();
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(doc->GetTitle(), QStringLiteral("Auto.dfl"));
    const QByteArray saved = Bytes(path);
    ASSERT_FALSE(saved.isEmpty());

    // A second save under the unchanged name writes the same file without asking for one.
    EXPECT_TRUE(Type(view, 1, QStringLiteral("1.3")));
    {
        ModalScript script;
        EXPECT_TRUE(view->SaveLibrary(false));
        EXPECT_TRUE(script.Dialogs().empty()) << "no file chooser for a library saved under its own name";
    }
    const QByteArray resaved = Bytes(path);
    doc->OnCloseDocument();

    CDFLDoc* reopened = OpenLibrary(path);
    ASSERT_TRUE(reopened);
    CDFLView* view2 = ViewOf(reopened);
    EXPECT_EQ(qobject_cast<QLineEdit*>(view2->GetDlgItem(CDFLView::IDC_NAME))->text(), QStringLiteral("Auto"));
    EXPECT_EQ(qobject_cast<QLineEdit*>(view2->GetDlgItem(CDFLView::IDC_DESCRIPTION))->text(),
              QStringLiteral("Private passenger auto"));
    CFactorSet* set = nullptr;
    reopened->GetLibrary()->GetFactorSet("Company 2024", set);
    ASSERT_TRUE(set);
    EXPECT_DOUBLE_EQ(Factor(set, exhibit, 0), 1.3);
    EXPECT_DOUBLE_EQ(Factor(set, exhibit, 2), 1.05);
    ASSERT_TRUE(reopened->DoSaveAs(Path("Copy.dfl"), FALSE));
    EXPECT_EQ(Bytes(Path("Copy.dfl")), resaved);
    EXPECT_NE(saved, resaved);
}

TEST_F(FactorLibraryTest, DamagedFileIsRefusedWithAClearMessageAndChangesNothing) {
    CFSLib library;
    library.SetDescription("Workers compensation");
    library.AddFactorSet(CFactorSet("Industry", "", 5, PRD_YEAR, 12));
    const QString good = Path("Good.dfl");
    ASSERT_EQ(library.SaveFile(good.toStdString()), 0);
    const QByteArray bytes = Bytes(good);

    QByteArray flipped = bytes;
    flipped[flipped.size() / 2] = char(flipped[flipped.size() / 2] ^ 0x10);
    const std::pair<const char*, QByteArray> cases[] = {
        {"bit flip", flipped},
        {"truncated", bytes.left(bytes.size() - 3)},
        {"not a library", QByteArray("QS5 project, not a factor library")},
        {"empty", QByteArray()},
    };
    for (const auto& [name, content] : cases) {
        const QString path = Path(QStringLiteral("Damaged.dfl"));
        WriteBytes(path, content);
        MessageBoxScript boxes;
        EXPECT_EQ(OpenLibrary(path), nullptr) << name;
        ASSERT_EQ(boxes.Count(), 1u) << name;
        EXPECT_TRUE(boxes.Last().text.contains(QStringLiteral("not a factor library, or it is damaged"))) << name;
        EXPECT_EQ(Bytes(path), content) << name;
        EXPECT_TRUE(m_libraries->Documents().empty()) << name;
    }
    MessageBoxScript boxes;
    EXPECT_EQ(OpenLibrary(Path("Missing.dfl")), nullptr);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_TRUE(boxes.Last().text.contains(QStringLiteral("cannot be opened")));
}

TEST_F(FactorLibraryTest, OpenLibraryLendsItsSetsToTheOpenProject) {
    CProjectDoc* projectDoc = OpenProject();
    CProject* project = projectDoc->GetProject();
    const QString path = Path("Lent.dfl");
    {
        CFSLib library;
        library.AddFactorSet(CFactorSet("Annual", "", 5, PRD_YEAR, 12));
        library.AddFactorSet(CFactorSet("Longer", "", 9, PRD_YEAR, 12));
        library.AddFactorSet(CFactorSet("Quarterly", "", 20, PRD_QUARTER, 3));
        ASSERT_EQ(library.SaveFile(path.toStdString()), 0);
    }
    CDFLDoc* doc = OpenLibrary(path);
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->GetProject(), project);
    EXPECT_FALSE(doc->OwnsProject());

    const std::vector<qs::factors::LentFactorSet> lent = qs::factors::LendFactorSets(project);
    ASSERT_EQ(lent.size(), 3u);
    EXPECT_EQ(lent[0].libraryName, QStringLiteral("Lent"));
    EXPECT_EQ(lent[0].set->GetName(), "Annual");
    EXPECT_TRUE(lent[0].fits);
    EXPECT_TRUE(lent[1].fits) << "a longer set is cut to the project's periods";
    EXPECT_FALSE(lent[2].fits) << "quarterly periods do not fit an annual project";
    EXPECT_FALSE(qs::factors::LendFactorSets(project, 0)[1].fits);

    // The project closes first: the library no longer reaches it.
    projectDoc->m_bAutoDelete = TRUE;
    projectDoc->OnCloseDocument();
    EXPECT_EQ(doc->GetProject(), nullptr);
}

TEST_F(FactorLibraryTest, PrintingPutsEverySetAndLayerInThePdfAndLeavesTheShownRow) {
    CDFLDoc* doc = NewLibrary();
    CDFLView* view = ViewOf(doc);
    ASSERT_TRUE(view);
    {
        ModalScript script;
        script.Then(NewSet("Industry", 4)).Then(NewSet("Regional", 3));
        view->OnAddSet();
        view->OnAddSet();
    }
    doc->GetLibrary()->SetDescription("Commercial auto");
    // Industry: rows on layers 1 and 3; Regional: layer 1 only.
    auto typeInto = [&](const char* set, unsigned short layer, int exhibitRow, std::initializer_list<const char*> texts) {
        view->SelectFactorSetRow(view->SetList()->indexOfTopLevelItem(view->SetList()->findItems(set, Qt::MatchExactly).front()));
        view->LayerCombo()->setCurrentIndex(layer - 1);
        view->OnLayerChanged();
        view->SelectExhibitRow(exhibitRow);
        int col = 1;
        for (const char* t : texts) EXPECT_TRUE(Type(view, col++, QString::fromLatin1(t)));
    };
    typeInto("Industry", 1, 0, {"1.5", "1.2"});
    typeInto("Industry", 3, 1, {"2.25"});
    typeInto("Regional", 1, 0, {"1.75"});
    CDataObject* shown = view->m_pShownRow;
    ASSERT_TRUE(shown);

    const QString pdf = Path("Library.pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    EXPECT_EQ(view->PrintLibraryTo(printer), 3);
    const QString text = PdfText(pdf);
    EXPECT_EQ(text.count(QStringLiteral("Library: Commercial auto")), 3) << text.toStdString();
    EXPECT_EQ(text.count(QStringLiteral("Factor Set: Industry")), 2);
    EXPECT_EQ(text.count(QStringLiteral("Factor Set: Regional")), 1);
    const QString net = doc->m_strLayerNames.value(0), ceded = doc->m_strLayerNames.value(2);
    EXPECT_TRUE(text.contains(QStringLiteral("Layer: ") + net));
    EXPECT_TRUE(text.contains(QStringLiteral("Layer: ") + ceded));
    EXPECT_LT(text.indexOf(QStringLiteral("Layer: ") + net), text.indexOf(QStringLiteral("Layer: ") + ceded));
    for (const char* value : {"1.500", "1.200", "2.250", "1.750"}) EXPECT_TRUE(text.contains(QLatin1String(value))) << value;
    EXPECT_TRUE(text.contains(QStringLiteral("Format: Age to Age")));
    EXPECT_TRUE(text.contains(QStringLiteral("Date: ")));

    // The next edit still goes to the row on screen.
    EXPECT_EQ(view->m_pShownRow, shown);
    EXPECT_TRUE(Type(view, 2, QStringLiteral("1.1")));
    CFactorSet* regional = nullptr;
    doc->GetLibrary()->GetFactorSet("Regional", regional);
    EXPECT_DOUBLE_EQ(Factor(regional, ExhibitId(view, 0), 1), 1.1);
}

TEST_F(FactorLibraryTest, LibraryWithoutRowsPrintsNothingAndAsksNothing) {
    CDFLDoc* doc = NewLibrary();
    CDFLView* view = ViewOf(doc);
    doc->GetLibrary()->AddFactorSet(CFactorSet("Empty", "", 3, PRD_YEAR, 12));
    ModalScript script;
    EXPECT_EQ(view->PrintLibrary(), 0);
    EXPECT_TRUE(script.Dialogs().empty());
}

TEST_F(FactorLibraryTest, PastedTextIsCheckedBeforeAnythingIsWritten) {
    CDFLDoc* doc = NewLibrary();
    CDFLView* view = ViewOf(doc);
    {
        ModalScript script;
        script.Then(NewSet("Industry", 4));
        view->OnAddSet();
    }
    view->SelectExhibitRow(0);
    const QSID exhibit = ExhibitId(view, 0);
    EXPECT_TRUE(Type(view, 1, QStringLiteral("1.5")));
    qs::ss::SpreadsheetControl* ctrl = view->Grid()->Ctrl();
    ctrl->setFocus();

    MessageBoxScript boxes;
    ctrl->SetSelection(1, 1, 1, 1);
    ctrl->PasteText(QStringLiteral("abc\t1.3"));
    EXPECT_FALSE(view->ShowFactors(TRUE));
    EXPECT_EQ(boxes.Count(), 1u);
    EXPECT_DOUBLE_EQ(Factor(view->CurrentFactorSet(), exhibit, 0), 1.5) << "nothing written";
    bool has = true;
    Factor(view->CurrentFactorSet(), exhibit, 1, &has);
    EXPECT_FALSE(has);

    ctrl->PasteText(QStringLiteral("#n/a\t1.3"));
    EXPECT_TRUE(view->ShowFactors(TRUE));
    const CDataObject* row = view->CurrentFactorSet()->FindDF(exhibit);
    ASSERT_TRUE(row);
    EXPECT_TRUE(row->RawFlags(0, 0) & CDataObject::CF_NOTAVAIL);
    EXPECT_DOUBLE_EQ(Factor(view->CurrentFactorSet(), exhibit, 1), 1.3);

    // Clearing every cell removes the row from the set.
    ctrl->SetSelection(1, 1, 1, 4);
    ctrl->Clear(qs::ss::SSC_Values);
    EXPECT_TRUE(view->ShowFactors(TRUE));
    EXPECT_EQ(view->CurrentFactorSet()->FindDF(exhibit), nullptr);
}

TEST_F(FactorLibraryTest, DisplayFormsShowAndTakeTheirOwnValues) {
    CDFLDoc* doc = NewLibrary();
    CDFLView* view = ViewOf(doc);
    {
        ModalScript script;
        script.Then(NewSet("Industry", 3));
        view->OnAddSet();
    }
    view->SelectExhibitRow(0);
    const QSID exhibit = ExhibitId(view, 0);
    EXPECT_TRUE(Type(view, 1, QStringLiteral("2")));
    EXPECT_TRUE(Type(view, 2, QStringLiteral("1.5")));
    EXPECT_TRUE(Type(view, 3, QStringLiteral("1.2")));
    view->SetDisplayForm(1);
    double shown = 0;
    view->Grid()->Ctrl()->GetNumber(1, 1, shown);
    EXPECT_NEAR(shown, 3.6, 1e-12);
    EXPECT_EQ(view->GetDlgItemText(CDFLView::IDC_GRID_CAPTION), QStringLiteral("Development Factors:    Age-to-Ultimate"));
    EXPECT_TRUE(Type(view, 2, QStringLiteral("2.4")));  // age to ultimate typed
    EXPECT_NEAR(Factor(view->CurrentFactorSet(), exhibit, 1), 2.0, 1e-12);
    view->SetDisplayForm(2);
    view->Grid()->Ctrl()->GetNumber(1, 3, shown);
    EXPECT_NEAR(shown, 1 / 1.2, 1e-12);
}

TEST_F(FactorLibraryTest, SetCommandsKeepTheListAndTheModifiedFlagRight) {
    CDFLDoc* doc = NewLibrary();
    CDFLView* view = ViewOf(doc);
    {
        ModalScript script;
        script.Then(NewSet("Alpha", 4)).Then(NewSet("alpha", 4)).Then([](QDialog& d) { d.reject(); });
        MessageBoxScript boxes;
        view->OnAddSet();
        view->OnAddSet();  // a taken name (any case) is asked again
        EXPECT_EQ(boxes.Texts(), QStringList{QStringLiteral("Factor Set already exists.\r\nChoose a different name.")});
    }
    EXPECT_EQ(doc->GetLibrary()->GetCount(), 1u);

    // Edit with nothing changed (the name compared without case) does nothing.
    doc->SetModifiedFlag(FALSE);
    {
        ModalScript script;
        script.Then([](QDialog& d) {
            auto& dialog = dynamic_cast<CNewFactorSetDlg&>(d);
            dialog.SetDlgItemText(CNewFactorSetDlg::IDC_NAME, QStringLiteral("ALPHA"));
            dialog.OnOK();
        });
        view->OnEditSets();
    }
    EXPECT_FALSE(doc->IsModified());

    // Renaming to the same name in another case beeps and keeps the label.
    EXPECT_FALSE(view->OnEndLabelEdit(0, QStringLiteral("ALPHA")));
    EXPECT_EQ(view->SetList()->topLevelItem(0)->text(0), QStringLiteral("Alpha"));

    {
        ModalScript script;
        script.Then(NewSet("Beta", 2));
        view->OnAddSet();
    }
    // New Evaluation adds a period to the current set.
    MessageBoxScript boxes{IDYES};
    view->OnNewEvaluation();
    CFactorSet* beta = nullptr;
    doc->GetLibrary()->GetFactorSet("Beta", beta);
    EXPECT_EQ(beta->GetNumDevPrds(), 3);
    EXPECT_EQ(view->SetList()->findItems("Beta", Qt::MatchExactly).front()->text(1), QStringLiteral("3"));

    // Deleting every set hides the exhibits and the grid.
    boxes.Answer(IDYES).Answer(IDYES);
    view->OnDeleteSet();
    view->OnDeleteSet();
    EXPECT_EQ(doc->GetLibrary()->GetCount(), 0u);
    EXPECT_EQ(view->m_nCurFactorSet, -1);
    EXPECT_TRUE(view->ExhibitList()->isHidden());
    EXPECT_TRUE(view->Grid()->isHidden());
    boxes.Clear();
    qobject_cast<QLineEdit*>(view->GetDlgItem(CDFLView::IDC_NAME))->setText(QStringLiteral("Empty"));
    qobject_cast<QLineEdit*>(view->GetDlgItem(CDFLView::IDC_DESCRIPTION))->setText(QStringLiteral("Nothing yet"));
    EXPECT_FALSE(view->SaveLibrary(false));
    EXPECT_EQ(boxes.Texts(), QStringList{QStringLiteral("Please add a Factor Set.")});
}

TEST_F(FactorLibraryTest, RenamingTheLibraryRenamesOnlyTheFile) {
    // The folder carries the library's old name too; it must stay as it is.
    const QString folder = Path("Auto");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/Auto.dfl");
    {
        CFSLib library;
        library.SetDescription("d");
        library.AddFactorSet(CFactorSet("Industry", "", 3, PRD_YEAR, 12));
        ASSERT_EQ(library.SaveFile(path.toStdString()), 0);
    }
    CDFLDoc* doc = OpenLibrary(path);
    CDFLView* view = ViewOf(doc);
    view->UpdateNameAndDescription(QStringLiteral("Truck"), QStringLiteral("d"));
    EXPECT_EQ(doc->GetPathName(), folder + QStringLiteral("/Truck.dfl"));
    EXPECT_EQ(doc->GetTitle(), QStringLiteral("Truck"));
    EXPECT_TRUE(doc->IsModified());
}

TEST(FactorLibraryText, ChecksWhatIsTypedAndPasted) {
    struct Case {
        const char* text;
        bool typedOk, pastedOk;
    };
    const Case cases[] = {
        {"", true, true},          {"1.25", true, true},     {"(3)", true, true},   {"-3", true, true},
        {"3-", true, true},        {"1,250.5", true, true},  {"$1.2", true, true},  {"abc", false, false},
        {"1e5", false, false},     {"#N/A", false, true},    {"#n/a", false, true}, {"=5", false, false},
        {"=A1*2", false, false},   {"1.2.3", false, false},  {"1 2", true, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CDFLView::CheckFactorText(QString::fromLatin1(c.text), false).isEmpty(), c.typedOk) << c.text;
        EXPECT_EQ(CDFLView::CheckFactorText(QString::fromLatin1(c.text), true).isEmpty(), c.pastedOk) << c.text;
    }
}

TEST(FactorLibraryText, LabelsRightAlignTheIndex) {
    QSID id = MakeID(2, 1, 0, 0, 7);
    EXPECT_EQ(CDFLDoc::ObjectLabel(id, QStringLiteral("Paid")), QStringLiteral("  7 - Paid"));
    id = MakeID(2, 1, 0, 0, 42);
    EXPECT_EQ(CDFLDoc::ObjectLabel(id, QStringLiteral("Paid")), QStringLiteral(" 42 - Paid"));
    id = MakeID(2, 1, 0, 0, 123);
    EXPECT_EQ(CDFLDoc::ObjectLabel(id, QStringLiteral("Paid")), QStringLiteral("123 - Paid"));
    EXPECT_EQ(CDFLDoc::NameFromTitle(QStringLiteral("Auto.dfl")), QStringLiteral("Auto"));
    EXPECT_EQ(CDFLDoc::NameFromTitle(QStringLiteral("Auto")), QStringLiteral("Auto"));
}

}  // namespace
