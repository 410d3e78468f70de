#include <gtest/gtest.h>

#include <QTest>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QWidget>

#include <cstring>
#include <filesystem>
#include <stdexcept>

#include "CDisplayDefaults.h"
#include "CPrjSheet.h"
#include "CPrjSheetEnvironment.h"
#include "CProject.h"
#include "CProjectDoc.h"
#include "KernelGlobals.h"
#include "MessageBox.h"
#include "ModalScript.h"
#include "SpreadsheetControl.h"
#include "TestEnvironment.h"

using qs::fw::MessageBoxScript;
using qs::fw::ModalScript;

namespace {

// Every test starts from a fresh environment and a visible main window, so
// the structure checks' boxes are shown and recorded.
class PrjSheetTest : public ::testing::Test {
protected:
    void SetUp() override {
        PrjSheetEnv() = PrjSheetEnvironment{};
        m_main.show();
        qs::fw::SetMainWindow(&m_main);
    }
    void TearDown() override {
        qs::fw::SetMainWindow(nullptr);
        PrjSheetEnv() = PrjSheetEnvironment{};
    }
    QWidget m_main;
};

void SetText(CWnd& page, int id, const QString& text) {
    qobject_cast<QLineEdit*>(page.GetDlgItem(id))->setText(text);
}

// ---------------------------------------------------------------- layers

struct LayerCase {
    const char* entered;  // letters N G C D A
    int first;
    int second;
};

void EnterLayers(CPrjPage3& page, const char* entered) {
    const std::pair<char, int> boxes[5] = {{'N', CPrjPage3::IDC_NET}, {'G', CPrjPage3::IDC_GROSS},
                                           {'C', CPrjPage3::IDC_CEDED}, {'D', CPrjPage3::IDC_DIRECT},
                                           {'A', CPrjPage3::IDC_ASSUMED}};
    for (const auto& [letter, id] : boxes) page.CheckDlgButton(id, std::strchr(entered, letter) ? 1 : 0);
}

TEST_F(PrjSheetTest, EnteredLayersChooseTheRelationships) {
    const LayerCase cases[] = {
        {"N", 2, 1},   {"G", 1, 1},   {"C", 2, 1},   {"D", 2, 1},   {"A", 2, 0},   {"NG", 1, 1},
        {"NC", 2, 1},  {"ND", 2, 1},  {"NA", 2, 0},  {"GC", 0, 1},  {"GD", 1, 1},  {"GA", 1, 0},
        {"CD", 2, 1},  {"CA", 2, 0},  {"DA", 1, 2},  {"NGD", 1, 1}, {"NGA", 1, 0}, {"NCD", 2, 1},
        {"NCA", 2, 0}, {"NDA", 1, 2}, {"GCD", 0, 1}, {"GCA", 0, 0}, {"CDA", 0, 2},
    };
    CPrjPage3 page;
    for (const LayerCase& c : cases) {
        page.m_nRelation1 = page.m_nRelation2 = -1;
        EnterLayers(page, c.entered);
        QString message;
        ASSERT_TRUE(page.CheckEnteredLayers(message)) << c.entered;
        EXPECT_EQ(page.m_nRelation1, c.first) << c.entered;
        EXPECT_EQ(page.m_nRelation2, c.second) << c.entered;
    }
    // Nothing entered keeps the relationships.
    page.m_nRelation1 = 2;
    page.m_nRelation2 = 0;
    EnterLayers(page, "");
    QString message;
    EXPECT_TRUE(page.CheckEnteredLayers(message));
    EXPECT_EQ(page.m_nRelation1, 2);
    EXPECT_EQ(page.m_nRelation2, 0);
    // Refusals.
    for (const auto& [entered, text] :
         {std::pair{"NCG", "Cannot have 3 entered layers in one relationship!"},
          std::pair{"DAG", "Cannot have 3 entered layers in one relationship!"},
          std::pair{"NGCD", "Cannot select more than 3 entered layers!"}}) {
        EnterLayers(page, entered);
        EXPECT_FALSE(page.CheckEnteredLayers(message)) << entered;
        EXPECT_EQ(message, text) << entered;
    }
}

TEST_F(PrjSheetTest, ClickingLayerBoxesRefusesABadSetAndShowsTheHint) {
    CPrjPage3 page;
    page.OnInitDialog();
    EXPECT_EQ(page.GetDlgItemText(CPrjPage3::IDC_RELATION1), "Gross - Net = Ceded");
    EXPECT_EQ(page.GetDlgItemText(CPrjPage3::IDC_RELATION2), "Gross - Direct = Assumed");
    const auto box = [&page](int id) { return qobject_cast<QCheckBox*>(page.GetDlgItem(id)); };
    // Defaults are Net, Direct and Gross: clear them, then enter Net, Ceded and Gross.
    for (int id : {CPrjPage3::IDC_NET, CPrjPage3::IDC_DIRECT, CPrjPage3::IDC_GROSS}) box(id)->click();
    box(CPrjPage3::IDC_NET)->click();
    box(CPrjPage3::IDC_CEDED)->click();
    EXPECT_EQ(page.GetDlgItemText(CPrjPage3::IDC_HINT), "");
    box(CPrjPage3::IDC_GROSS)->click();
    EXPECT_FALSE(box(CPrjPage3::IDC_GROSS)->isChecked());
    EXPECT_EQ(page.GetDlgItemText(CPrjPage3::IDC_HINT), "Hint: Cannot have 3 entered layers in one relationship!");

    // Gross, Ceded and Assumed: Net and Direct are calculated.
    box(CPrjPage3::IDC_NET)->click();
    box(CPrjPage3::IDC_GROSS)->click();
    box(CPrjPage3::IDC_ASSUMED)->click();
    EXPECT_EQ(page.GetDlgItemText(CPrjPage3::IDC_HINT), "");
    EXPECT_EQ(page.GetDlgItemText(CPrjPage3::IDC_RELATION1), "Gross - Ceded = Net");
    EXPECT_EQ(page.GetDlgItemText(CPrjPage3::IDC_RELATION2), "Gross - Assumed = Direct");
    box(CPrjPage3::IDC_DIRECT)->click();
    EXPECT_FALSE(box(CPrjPage3::IDC_DIRECT)->isChecked());
    EXPECT_EQ(page.GetDlgItemText(CPrjPage3::IDC_HINT), "Hint: Cannot select more than 3 entered layers!");
}

// ---------------------------------------------------------------- structure

TEST_F(PrjSheetTest, StructureChecks) {
    const auto make = [](int numExp, PRDLENGTH expLength, int numDev, PRDLENGTH devLength, LAYERNAMES c1,
                         LAYERNAMES c2) {
        NewProjectStructure s;
        s.numExp = std::uint16_t(numExp);
        s.expLength = expLength;
        s.numDev = std::uint16_t(numDev);
        s.devLength = devLength;
        s.calc1 = c1;
        s.calc2 = c2;
        return s;
    };
    const struct {
        NewProjectStructure s;
        const char* error;
    } cases[] = {
        {make(10, PRD_YEAR, 10, PRD_YEAR, CEDED, ASSUMED), ""},
        {make(11, PRD_YEAR, 10, PRD_YEAR, CEDED, ASSUMED), "Invalid number of development periods!"},
        {make(8, PRD_QUARTER, 8, PRD_YEAR, CEDED, ASSUMED), "Not enough exposure periods!"},
        {make(10, PRD_YEAR, 40, PRD_QUARTER, CEDED, ASSUMED), ""},
        {make(10, PRD_YEAR, 36, PRD_QUARTER, CEDED, ASSUMED), "Invalid number of development periods!"},
        {make(7, PRD_YEAR, 7, PRD_YEAR, GROSS, GROSS), "Invalid calculated layer!"},
        {make(7, PRD_YEAR, 7, PRD_YEAR, NET, DIRECT), ""},
    };
    for (const auto& c : cases) EXPECT_EQ(ProjectStructureError(c.s), c.error) << c.error;

    // The check shows the message with the stop icon and, without a person, logs it.
    const std::filesystem::path log = std::filesystem::path(qs::test::MakeTempDir()) / "qs.log";
    PrjSheetEnv().interactive = false;
    PrjSheetEnv().logFilePath = QString::fromStdString(log.string());
    gbLogFileContainsError = false;
    MessageBoxScript boxes;
    EXPECT_FALSE(CheckProjectStructure(cases[5].s));
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Last().text, "Invalid calculated layer!");
    EXPECT_EQ(boxes.Last().icon, unsigned(MB_ICONSTOP));
    EXPECT_TRUE(gbLogFileContainsError);
    EXPECT_NE(qs::test::ReadFile(log.string()).find("  Invalid calculated layer!\n"), std::string::npos);
    gbLogFileContainsError = false;
}

TEST_F(PrjSheetTest, YearOutsideItsRangeKeepsTheSheetOnTheStructurePage) {
    for (const char* year : {"1899", "10000"}) {
        CPrjSheet sheet;
        MessageBoxScript boxes;
        ModalScript script;
        bool stayed = false;
        script.Then([&](QDialog&) {
            SetText(sheet.m_Page1, CPrjPage1::IDC_FIRST_YEAR, year);
            sheet.PressButton(PSBTN_OK);
            stayed = sheet.isVisible() && sheet.GetActiveIndex() == 0;
            sheet.PressButton(PSBTN_CANCEL);
        });
        EXPECT_EQ(sheet.DoModal(), IDCANCEL);
        EXPECT_TRUE(stayed) << year;
        ASSERT_EQ(boxes.Count(), 1u) << year;
        EXPECT_EQ(boxes.Last().text, "Please enter year between 1900 and 9999");
        EXPECT_EQ(boxes.Last().icon, unsigned(MB_ICONEXCLAMATION));
    }
}

// ---------------------------------------------------------------- creation

// Fills the structure page and presses OK.
void EnterStructure(CPrjSheet& sheet, int numExp, int expIndex, int numDev, int devIndex) {
    SetText(sheet.m_Page1, CPrjPage1::IDC_NUM_EXP, QString::number(numExp));
    qobject_cast<QComboBox*>(sheet.m_Page1.GetDlgItem(CPrjPage1::IDC_EXP_LENGTH))->setCurrentIndex(expIndex);
    SetText(sheet.m_Page1, CPrjPage1::IDC_NUM_DEV, QString::number(numDev));
    qobject_cast<QComboBox*>(sheet.m_Page1.GetDlgItem(CPrjPage1::IDC_DEV_LENGTH))->setCurrentIndex(devIndex);
}

TEST_F(PrjSheetTest, NewProjectThroughTheSheetAfterARefusedStructure) {
    QStringList progress;
    PrjSheetEnv().beginProgress = [&](const QString& t) { progress << "begin " + t; };
    PrjSheetEnv().endProgress = [&](const QString& t) { progress << "end " + t; };
    CPrjSheet sheet;
    CProject project;
    MessageBoxScript boxes;
    ModalScript script;
    script.Then([&](QDialog&) {
        sheet.SetActivePage(1);
        SetText(sheet.m_Page2, CPrjPage2::IDC_COMPANY, "Acme Mutual");
        sheet.SetActivePage(2);
        // Enter Gross, Ceded and Assumed: Net and Direct become calculated.
        for (int id : {CPrjPage3::IDC_NET, CPrjPage3::IDC_DIRECT, CPrjPage3::IDC_CEDED, CPrjPage3::IDC_ASSUMED})
            qobject_cast<QCheckBox*>(sheet.m_Page3.GetDlgItem(id))->click();
        sheet.SetActivePage(0);
        EnterStructure(sheet, 11, 3, 10, 3);
        SetText(sheet.m_Page1, CPrjPage1::IDC_FIRST_YEAR, "2001");
        sheet.m_Page1.CheckDlgButton(CPrjPage1::IDC_PRIOR, 1);
        sheet.PressButton(PSBTN_OK);
        // Refused while the sheet is open, with the rule; the entries stay
        // and only the development count changes.
        ASSERT_EQ(boxes.Count(), 1u) << boxes.Texts().join(" | ").toStdString();
        EXPECT_TRUE(boxes.Last().text.startsWith("Invalid number of development periods!\n"));
        EXPECT_TRUE(boxes.Last().text.contains("at least 11 development periods")) << boxes.Last().text.toStdString();
        EXPECT_EQ(sheet.m_Page1.GetDlgItemText(CPrjPage1::IDC_FIRST_YEAR), "2001");
        SetText(sheet.m_Page1, CPrjPage1::IDC_NUM_DEV, "11");
        // Enter in the field presses OK.
        QTest::keyClick(sheet.m_Page1.GetDlgItem(CPrjPage1::IDC_NUM_DEV), Qt::Key_Return);
    });
    ASSERT_TRUE(sheet.CreateNewProject(project, "Project1", " - File Properties"));
    EXPECT_EQ(sheet.windowTitle(), "Project1 - File Properties");
    EXPECT_EQ(boxes.Count(), 1u);
    EXPECT_TRUE(script.AllHandled());

    std::uint16_t gen = 5, numExp = 0, year = 0, interval = 0, numDev = 0, start = 0;
    PRDLENGTH expLength{}, devLength{};
    ASSERT_EQ(project.GetInfoProject(gen, numExp, expLength, year, interval, numDev, devLength, start), 0);
    EXPECT_EQ(numExp, 11);
    EXPECT_EQ(expLength, PRD_YEAR);
    EXPECT_EQ(year, 2001);
    EXPECT_EQ(numDev, 11);
    EXPECT_EQ(start, 12);
    EXPECT_TRUE(project.GetIncludesPrior());
    LAYERNAMES c1{}, c2{};
    project.GetCalcedLayers(c1, c2);
    EXPECT_EQ(c1, NET);
    EXPECT_EQ(c2, DIRECT);
    EXPECT_EQ(project.GetCompanyName(), "Acme Mutual");
    EXPECT_EQ(progress, (QStringList{"begin Creating Project1", "end Project1 successfully created."}));

    // A properties sheet filled from the project shows structure and layers locked.
    CPrjSheet props(QStringLiteral("Project1 - File Properties"), nullptr, 1);
    props.AddPage(&props.m_Page4);
    props.AddPage(&props.m_Page5);
    props.LoadFromProject(&project);
    EXPECT_EQ(props.m_Page1.m_nNumExp, 11u);
    EXPECT_EQ(props.m_Page1.m_nFirstYear, 2001u);
    EXPECT_EQ(props.m_Page2.m_strCompany, "Acme Mutual");
    EXPECT_EQ(props.m_Page3.m_nRelation1, 0);
    EXPECT_EQ(props.m_Page3.m_nRelation2, 0);
    props.m_Page3.OnInitDialog();
    EXPECT_FALSE(props.m_Page3.GetDlgItem(CPrjPage3::IDC_GROSS)->isEnabled());
    EXPECT_FALSE(props.m_Page3.IsDlgButtonChecked(CPrjPage3::IDC_NET));
    EXPECT_FALSE(props.m_Page3.IsDlgButtonChecked(CPrjPage3::IDC_DIRECT));
    EXPECT_TRUE(props.m_Page3.IsDlgButtonChecked(CPrjPage3::IDC_CEDED));
    EXPECT_EQ(props.m_Page3.m_strRelation1, "Gross - Ceded = Net");

    // Applying the properties writes information, scaling factor and display.
    props.m_Page2.m_strDescription = "Auto liability";
    props.m_Page4.m_dScalingFactor = 1000;
    props.m_Page5.m_display.currencySymbol = "\u00A3";
    props.m_Page5.m_display.negativeFormat = 2;
    props.m_Page5.m_display.decimals = 3;
    props.ApplyToProject(&project);
    EXPECT_EQ(project.GetDescription(), "Auto liability");
    std::string negative;
    int leading = -1, red = 0;
    project.GetNegSymbol(negative, leading, red);
    EXPECT_EQ(negative, "-");
    EXPECT_EQ(leading, 0);
    short decimals = 0;
    project.GetDecimals(decimals);
    EXPECT_EQ(decimals, 3);
    CPrjSheet again(QStringLiteral("again"), nullptr);
    again.AddPage(&again.m_Page4);
    again.LoadFromProject(&project);
    EXPECT_EQ(again.m_Page4.m_dScalingFactor, 1000);
}

TEST_F(PrjSheetTest, CancellingAfterARefusalCreatesNothing) {
    CPrjSheet sheet;
    CProject project;
    MessageBoxScript boxes;
    ModalScript script;
    script.Then([&](QDialog&) {
        EnterStructure(sheet, 8, 1, 8, 3);  // quarterly exposures, annual development
        sheet.PressButton(PSBTN_OK);
        EXPECT_EQ(boxes.Count(), 1u);
        sheet.PressButton(PSBTN_CANCEL);
    });
    EXPECT_FALSE(sheet.CreateNewProject(project, "Project2", " - File Properties"));
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_TRUE(boxes.Last().text.startsWith("Not enough exposure periods!\n"));
    EXPECT_EQ(project.GetNumExpPrds(), 0);
}

TEST_F(PrjSheetTest, AKernelExceptionStillEndsTheProgress) {
    QStringList progress;
    PrjSheetEnv().beginProgress = [&](const QString& t) { progress << "begin " + t; };
    PrjSheetEnv().endProgress = [&](const QString& t) { progress << "end " + t; };
    PrjSheetEnv().defaultPageSetup = []() -> CPageSetup { throw std::runtime_error("kernel"); };
    CPrjSheet sheet;
    CProject project;
    MessageBoxScript boxes;
    ModalScript script;
    script.Then([&](QDialog&) { sheet.PressButton(PSBTN_OK); });
    EXPECT_FALSE(sheet.CreateNewProject(project, "Project3", ""));
    EXPECT_EQ(progress, (QStringList{"begin Creating Project3", "end "}));
    EXPECT_EQ(boxes.Count(), 0u);
}

TEST_F(PrjSheetTest, FileNewOnTheProjectDocumentRunsTheApplicationsSheet) {
    CPrjSheet sheet;
    CPrjSheet::SetNewProjectSheet(&sheet);
    MessageBoxScript boxes;
    ModalScript script;
    script.Then([&](QDialog&) {
        EnterStructure(sheet, 12, 2, 12, 2);  // half years
        sheet.PressButton(PSBTN_OK);
    });
    CProjectDoc doc;
    doc.SetTitle("Project4");
    EXPECT_TRUE(doc.CreateProjectFile(" - File Properties"));
    EXPECT_EQ(sheet.windowTitle(), "Project4 - File Properties");
    PRDLENGTH length{};
    doc.GetProject()->GetLengthExpPrd(length);
    EXPECT_EQ(length, PRD_HALFYEAR);
    EXPECT_EQ(doc.GetProject()->GetNumExpPrds(), 12);
    CPrjSheet::SetNewProjectSheet(nullptr);
}

// ---------------------------------------------------------------- display

TEST_F(PrjSheetTest, DisplayDefaultsFileLayout) {
    CDisplaySettings s;
    s.currencySymbol = "$";
    s.currencyPosition = 1;
    s.negativeFormat = 1;
    s.useThousands = 1;
    s.decimals = 2;
    const std::vector<std::uint8_t> expected = {1, '$', 1, '-', 0, ',', '.', 1, 0, 0, 0, 1, 0, 0, 0,
                                                0, 0, 0, 0, 1, 0, 0, 0, 2, 0};
    EXPECT_EQ(qs::project::EncodeDisplayDefaults(s), expected);
    for (int format : {0, 1, 2}) {
        s.negativeFormat = format;
        const auto back = qs::project::DecodeDisplayDefaults(qs::project::EncodeDisplayDefaults(s));
        ASSERT_TRUE(back);
        EXPECT_EQ(back->negativeFormat, format);
        EXPECT_EQ(back->decimals, 2);
    }
    // Long texts take the longer length forms.
    s.currencySymbol = QString(300, 'x');
    auto bytes = qs::project::EncodeDisplayDefaults(s);
    EXPECT_EQ(bytes[0], 255);
    EXPECT_EQ(bytes[1] | (bytes[2] << 8), 300);
    EXPECT_EQ(qs::project::DecodeDisplayDefaults(bytes)->currencySymbol.size(), 300);
    bytes.pop_back();
    EXPECT_FALSE(qs::project::DecodeDisplayDefaults(bytes));
}

TEST_F(PrjSheetTest, SaveAsDefaultAsksAndStoresOnlyOnYes) {
    const std::filesystem::path dir = qs::test::MakeTempDir();
    PrjSheetEnv().workingDirectory = QString::fromStdString(dir.string());
    PrjSheetEnv().buildNumberFormat = [](int, bool, int d) { return QStringLiteral("0.%1").arg(QString(d, '0')); };
    CPrjPage5 page;
    page.OnInitDialog();
    qobject_cast<QComboBox*>(page.GetDlgItem(CPrjPage5::IDC_DECIMALS))->setCurrentIndex(2);
    page.UpdatePreview();
    QString text;
    page.Preview()->GetText(1, 1, text);
    EXPECT_EQ(text, "1234.00");

    MessageBoxScript boxes{IDNO, IDYES};
    page.OnSaveAsDefault();
    EXPECT_FALSE(std::filesystem::exists(dir / "display.def"));
    EXPECT_EQ(boxes.Last().text, "Do you want to change default for display options?\nThis change will only affect "
                                 "all new files. It will\nnot affect the current file.");
    EXPECT_EQ(boxes.Last().icon, unsigned(MB_ICONQUESTION));
    page.OnSaveAsDefault();
    ASSERT_TRUE(std::filesystem::exists(dir / "display.def"));

    // A sheet without a project loads the defaults into its display page.
    CPrjSheet sheet;
    sheet.AddPage(&sheet.m_Page5);
    sheet.LoadFromProject(nullptr);
    EXPECT_EQ(sheet.m_Page5.m_display.decimals, 2);
    // No file: the page keeps what it had.
    PrjSheetEnv().workingDirectory = QString::fromStdString((dir / "missing").string());
    sheet.m_Page5.m_display.decimals = 7;
    EXPECT_EQ(sheet.m_Page5.SerializeDefaults(FALSE), 0);
    EXPECT_EQ(sheet.m_Page5.m_display.decimals, 7);
}

}  // namespace
