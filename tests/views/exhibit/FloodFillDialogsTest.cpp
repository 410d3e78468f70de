// The flood-fill rule dialogs on a kernel project: the rule of one exhibit
// (selected and interpolated factors) with its tail sheet, the settings
// dialogs that edit the rules of many exhibits per layer, and the exhibit
// view's commands that open them; what they store is what the fill then uses.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTreeWidget>

#include <cmath>

#include "CExhibit.h"
#include "CExhibitView.h"
#include "CFSLib.h"
#include "CFillSelectedsDlg.h"
#include "CFloodFillOptionsDlg.h"
#include "CFloodFillSettingsDlg.h"
#include "CKDVFFTailOptionSht.h"
#include "CSDFFloodFillOptionDlg.h"
#include "CommandIds.h"
#include "ExhibitDialogsHost.h"
#include "MessageBox.h"
#include "MethodTemplates.h"
#include "ModalScript.h"
#include "RaaProjectDoc.h"
#include "TestEnvironment.h"
#include "ViewSettings.h"

using qs::fw::MessageBoxScript;
using qs::fw::ModalScript;
using Sdf = CKDVSDFFloodFillOption;
using Interp = CInterpolateSDFFloodFillOption;

namespace {

struct FloodFillDialogsTest : qs::test::ViewTest {
    CProject* Project() const { return doc.GetProject(); }
    QSID Exhibit(int index, unsigned short layer) const {
        QSID id = qsmethods::StandardExhibitID(index);
        SetIDLayer(id, layer);
        return id;
    }
    template <typename Rule>
    std::unique_ptr<Rule> Stored(QSID id, bool interpolated = false) {
        CMapLongToOb map;
        if (interpolated) Project()->GetInterpolateSDFFloodFillOption(map);
        else Project()->GetRegularSDFFloodFillOption(map);
        std::unique_ptr<Rule> found;
        for (auto& [key, rule] : map) {
            if (key == LONG(id)) found.reset(dynamic_cast<Rule*>(rule));
            else delete rule;
        }
        return found;
    }
    void StoreRule(QSID id, const Sdf& rule) {
        CMapLongToOb map;
        Project()->GetRegularSDFFloodFillOption(map);
        CObject* old = nullptr;
        if (map.Lookup(LONG(id), old)) delete old;
        map.SetAt(LONG(id), new Sdf(rule));
        ASSERT_EQ(Project()->SetRegularSDFFloodFillOption(map), 0);
        for (auto& [key, r] : map) delete r;
    }
    qs::test::RaaDoc doc;
};

// ---- interpolated flood fill options ---------------------------------------------------------------------------------

TEST_F(FloodFillDialogsTest, InterpolatedOptionsKeepTheDefaultsWhenNoneIsChosen) {
    CFloodFillOptionsDlg dialog;
    Interp start;
    start.m_default1 = CInterpolateSDFFloodFillSelection(CURVE_WEIBULL, INPUT_RATIO_TO_ULTIMATE);
    dialog.SetOption(start);
    ModalScript script;
    script.Then<CFloodFillOptionsDlg>([](CFloodFillOptionsDlg& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Flood Fill Options - Paid Loss  "));
        EXPECT_EQ(d.Combo(CFloodFillOptionsDlg::IDC_CURVE1)->currentText(), QStringLiteral("Weibull"));
        d.Radio(CFloodFillOptionsDlg::IDC_NONE)->click();
        EXPECT_FALSE(d.Combo(CFloodFillOptionsDlg::IDC_CURVE1)->isEnabled());
        // A default without chosen items comes back as Exponential on cumulative factors.
        d.Combo(CFloodFillOptionsDlg::IDC_CURVE2)->setCurrentIndex(-1);
        d.Combo(CFloodFillOptionsDlg::IDC_INPUT2)->setCurrentIndex(-1);
        d.OnOK();
    });
    ASSERT_EQ(dialog.DoModal(QStringLiteral("   Paid Loss  ")), IDOK);
    const Interp got = dialog.GetOption();
    EXPECT_EQ(got.GetType(), Interp::NONE);
    EXPECT_EQ(got.GetDefault1(), CInterpolateSDFFloodFillSelection(CURVE_WEIBULL, INPUT_RATIO_TO_ULTIMATE));
    EXPECT_EQ(got.GetDefault2().GetCurveType(), 2);
    EXPECT_EQ(got.GetDefault2().GetInputType(), 1);
}

// ---- flood fill option dialog ----------------------------------------------------------------------------------------

TEST_F(FloodFillDialogsTest, NoneWithoutARuleLeavesNoneAndWithARuleKeepsItAsNone) {
    for (bool withRule : {false, true}) {
        SCOPED_TRACE(withRule);
        Sdf rule(Sdf::HISTORICAL);
        CSDFFloodFillOptionDlg dialog(withRule ? &rule : nullptr, Project());
        ModalScript script;
        script.Then<CSDFFloodFillOptionDlg>([](CSDFFloodFillOptionDlg& d) {
            d.Radio(CSDFFloodFillOptionDlg::IDC_NONE)->click();
            d.OnOK();
        });
        ASSERT_EQ(dialog.DoModal(QStringLiteral("Paid")), IDOK);
        if (withRule) {
            ASSERT_NE(dialog.GetOption(), nullptr);
            EXPECT_EQ(dialog.GetOption()->GetType(), Sdf::NONE);
        } else {
            EXPECT_EQ(dialog.GetOption(), nullptr);
        }
    }
}

TEST_F(FloodFillDialogsTest, BlankCountsFillInAndWeightsAreRefusedOnTrends) {
    CSDFFloodFillOptionDlg dialog(nullptr, Project());
    ModalScript script;
    MessageBoxScript boxes;
    script.Then<CSDFFloodFillOptionDlg>([&](CSDFFloodFillOptionDlg& d) {
        using D = CSDFFloodFillOptionDlg;
        d.Radio(D::IDC_STATISTICS)->click();
        EXPECT_TRUE(d.Combo(D::IDC_TYPE)->isEnabled());
        EXPECT_FALSE(d.Edit(D::IDC_MIN_VALUE)->isEnabled());
        d.Edit(D::IDC_EXCLUDE_FIRST)->clear();
        d.Radio(D::IDC_HISTORICAL)->click();
        EXPECT_EQ(d.Edit(D::IDC_EXCLUDE_FIRST)->text(), QStringLiteral("0"));
        d.Radio(D::IDC_STATISTICS)->click();
        // VOLUME then Linear Trend: NONE, no message.
        d.Combo(D::IDC_WEIGHTS)->setCurrentIndex(1);
        d.Combo(D::IDC_TYPE)->setCurrentIndex(1);
        EXPECT_EQ(d.Combo(D::IDC_WEIGHTS)->currentIndex(), 0);
        EXPECT_EQ(boxes.Count(), 0u);
        // The reverse order is refused with the message.
        d.Combo(D::IDC_WEIGHTS)->setCurrentIndex(2);
        EXPECT_EQ(d.Combo(D::IDC_WEIGHTS)->currentIndex(), 0);
        ASSERT_EQ(boxes.Count(), 1u);
        EXPECT_EQ(boxes.Last().text, QString::fromLatin1(D::kWeightsRefused));
        d.Check(D::IDC_SET_MIN)->click();
        EXPECT_TRUE(d.Edit(D::IDC_MIN_VALUE)->isEnabled());
        d.Edit(D::IDC_MIN_VALUE)->setText(QStringLiteral("1.05"));
        d.Edit(D::IDC_USE_LAST)->setText(QStringLiteral("1001"));
        d.OnOK();  // refused: out of range
        EXPECT_EQ(boxes.Count(), 2u);
        d.Edit(D::IDC_USE_LAST)->setText(QStringLiteral("5"));
        d.OnOK();
    });
    ASSERT_EQ(dialog.DoModal(QStringLiteral("Paid")), IDOK);
    ASSERT_NE(dialog.GetOption(), nullptr);
    const CFFStat& s = dialog.GetOption()->GetStatData();
    EXPECT_EQ(dialog.GetOption()->GetType(), Sdf::STATISTICS);
    EXPECT_EQ(s.m_avgType, 2);
    EXPECT_EQ(s.m_weighting, 0);
    EXPECT_EQ(s.m_useLast, 5);
    EXPECT_TRUE(s.m_setMin);
    EXPECT_DOUBLE_EQ(s.m_minValue, 1.05);
}

TEST_F(FloodFillDialogsTest, AFactorSetRuleNamesAnExistingSetAndKeepsItsDescription) {
    const std::string dir = qs::test::MakeTempDir("ffdfl");
    CFSLib lib;
    lib.SetDescription("Industry");
    lib.AddFactorSet(CFactorSet("Annual", "", 10, PRD_YEAR, 12));
    const std::string path = dir + "/industry.dfl";
    ASSERT_EQ(lib.SaveFile(path), 0);
    Sdf rule(Sdf::FACTOR_SET);
    rule.GetDFLData() = CFFDFL(path.c_str(), "Kept description", "Annual");
    CSDFFloodFillOptionDlg dialog(&rule, Project());
    ModalScript script;
    MessageBoxScript boxes;
    script.Then<CSDFFloodFillOptionDlg>([&](CSDFFloodFillOptionDlg& d) {
        using D = CSDFFloodFillOptionDlg;
        EXPECT_TRUE(d.Edit(D::IDC_LIBRARY)->isEnabled());
        EXPECT_EQ(d.LibraryDescription(), QStringLiteral("Kept description"));
        d.Edit(D::IDC_LIBRARY)->clear();
        d.OnOK();
        d.Edit(D::IDC_LIBRARY)->setText(QString::fromStdString(path));
        d.Edit(D::IDC_FACTOR_SET_NAME)->clear();
        d.OnOK();
        d.Edit(D::IDC_FACTOR_SET_NAME)->setText(QStringLiteral("Quarterly"));
        d.OnOK();
        d.Edit(D::IDC_LIBRARY)->setText(QString::fromStdString(dir + "/none.dfl"));
        d.OnOK();
        d.Edit(D::IDC_LIBRARY)->setText(QString::fromStdString(path));
        d.Edit(D::IDC_FACTOR_SET_NAME)->setText(QStringLiteral("Annual"));
        d.OnOK();
    });
    ASSERT_EQ(dialog.DoModal(QStringLiteral("Paid")), IDOK);
    const QStringList texts = boxes.Texts();
    ASSERT_EQ(texts.size(), 4);
    EXPECT_EQ(texts[0], QStringLiteral("Must enter a Factor Library name."));
    EXPECT_EQ(texts[1], QStringLiteral("Must enter a Factor Set name."));
    EXPECT_TRUE(texts[2].contains(QStringLiteral("Quarterly")));
    EXPECT_TRUE(texts[3].contains(QStringLiteral("none.dfl")));
    EXPECT_EQ(dialog.GetOption()->GetDFLData(), CFFDFL(path.c_str(), "Kept description", "Annual"));
}

TEST_F(FloodFillDialogsTest, BrowseFillsTheLibraryInEitherEdition) {
    const std::string dir = qs::test::MakeTempDir("ffbrowse");
    CFSLib lib;
    lib.SetDescription("Browsed");
    lib.AddFactorSet(CFactorSet("Annual", "", 10, PRD_YEAR, 12));
    const QString path = QString::fromStdString(dir + "/b.dfl");
    ASSERT_EQ(lib.SaveFile(path.toStdString()), 0);
    qs::views::ExhibitHost().chooseLibraryFile = [&](const QString&, const QString&) { return path; };
    CSDFFloodFillOptionDlg dialog(nullptr, Project());
    ModalScript script;
    script.Then<CSDFFloodFillOptionDlg>([&](CSDFFloodFillOptionDlg& d) {
        d.Radio(CSDFFloodFillOptionDlg::IDC_FACTOR_SET)->click();
        d.OnBrowse();
        EXPECT_EQ(d.Edit(CSDFFloodFillOptionDlg::IDC_LIBRARY)->text(), path);
        EXPECT_EQ(d.Edit(CSDFFloodFillOptionDlg::IDC_FACTOR_SET_NAME)->text(), QStringLiteral("Annual"));
        d.OnOK();
    });
    script.Then<QDialog>([](QDialog& d) {
        auto* add = dynamic_cast<CDialog*>(&d);
        auto* list = d.findChild<QTreeWidget*>();
        ASSERT_NE(list, nullptr);
        list->topLevelItem(0)->setSelected(true);
        add->OnOK();
    });
    ASSERT_EQ(dialog.DoModal(QStringLiteral("Paid")), IDOK);
    EXPECT_EQ(dialog.GetOption()->GetDFLData().GetLibraryDesc(), "Browsed");
}

// ---- tail option sheet -----------------------------------------------------------------------------------------------

TEST_F(FloodFillDialogsTest, TheCurvePageComesAndGoesWithTheCurveChoice) {
    CFFTailOption tail;
    tail.m_type = CFFTailOption::SPECIFIED;
    tail.m_specified = 1.05;
    tail.GetTailSettings().m_cutoffIsVariable = false;
    tail.GetTailSettings().m_cutoff = 40;
    tail.GetTailSettings().m_c = 0.5;
    CKDVFFTailOptionSht sheet(tail, QStringLiteral("Flood Fill Option"));
    sheet.SetProject(Project());
    ModalScript script;
    script.Then<CKDVFFTailOptionSht>([](CKDVFFTailOptionSht& s) {
        using P1 = CKDVFFSDFTailOptionPg;
        EXPECT_EQ(s.GetPageCount(), 1);
        EXPECT_TRUE(s.m_page1.Radio(P1::IDC_SPECIFIED)->isChecked());
        EXPECT_EQ(s.m_page1.ValueEdit()->text(), QStringLiteral("1.05"));
        s.m_page1.Radio(P1::IDC_FIT)->click();
        EXPECT_EQ(s.GetPageCount(), 2);
        s.m_page1.Radio(P1::IDC_NONE)->click();
        EXPECT_EQ(s.GetPageCount(), 1);
        s.m_page1.Radio(P1::IDC_FIT)->click();
        s.m_page1.CurveCombo()->setCurrentIndex(2);
        s.PressButton(PSBTN_OK);
    });
    ASSERT_EQ(sheet.DoModal(), IDOK);
    sheet.WriteResults(tail);
    EXPECT_EQ(tail.m_type, CFFTailOption::WEIBULL);
    // The curve page was never opened: its parameters stay the rule's.
    EXPECT_FALSE(tail.GetTailSettings().m_cutoffIsVariable);
    EXPECT_EQ(tail.GetTailSettings().m_cutoff, 40);
    EXPECT_DOUBLE_EQ(tail.GetTailSettings().m_c, 0.5);
}

TEST_F(FloodFillDialogsTest, CutoffsAreCheckedAgainstTheLastAgeInTheirOwnUnits) {
    // RAA: ten annual ages from 12 months, the last at 10 years.
    struct Case {
        bool variable;
        const char* value;
        bool passes;
    };
    for (int mode : {0, 1}) {
        qs::views::ExhibitHost().applicationMode = [mode] { return mode; };
        for (const Case& c : {Case{true, "0", false}, Case{true, "1", true}, Case{false, "9", false},
                              Case{false, "10", true}, Case{false, "120", true}}) {
            SCOPED_TRACE(std::string(c.value) + (c.variable ? " variable" : " fixed") + " mode " + std::to_string(mode));
            CFFTailOption tail;
            tail.m_type = CFFTailOption::INVERSE_POWER;
            CKDVFFTailOptionSht sheet(tail, QStringLiteral("Flood Fill Option"));
            sheet.SetProject(Project());
            ModalScript script;
            MessageBoxScript boxes;
            script.Then<CKDVFFTailOptionSht>([&](CKDVFFTailOptionSht& s) {
                using P2 = CKDVFFSDFTailCurveParamPg;
                ASSERT_TRUE(s.SetActivePage(1));
                s.m_page2.Radio(c.variable ? P2::IDC_VARIABLE : P2::IDC_FIXED)->click();
                s.m_page2.Edit(c.variable ? P2::IDC_VARIABLE_VALUE : P2::IDC_FIXED_VALUE)->setText(QString::fromLatin1(c.value));
                s.PressButton(PSBTN_OK);
                EXPECT_EQ(s.GetActivePage() == &s.m_page2 && boxes.Count() == 1, !c.passes);
                if (!c.passes) {
                    ASSERT_EQ(boxes.Count(), 1u);
                    EXPECT_EQ(boxes.Last().text, QString::fromLatin1(c.variable ? P2::kVariableTooSmall : P2::kFixedTooSmall));
                    s.PressButton(PSBTN_CANCEL);
                }
            });
            EXPECT_EQ(sheet.DoModal(), c.passes ? IDOK : IDCANCEL);
        }
    }
}

// ---- the settings dialogs --------------------------------------------------------------------------------------------

TEST_F(FloodFillDialogsTest, SettingsStoreOneRuleForSeveralExhibitsPerLayer) {
    qs::views::ExhibitHost().navigatorLayer = [] { return static_cast<unsigned short>(NET); };
    const QSID paid = Exhibit(1, NET), incurred = Exhibit(11, NET);
    CFloodFillSettingsDlg dialog(Project());
    ModalScript script;
    script.Then<CFloodFillSettingsDlg>([&](CFloodFillSettingsDlg& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Flood Fill Settings For Selected Development Factors"));
        EXPECT_EQ(d.LayerCombo()->count(), 5);
        QTreeWidgetItem* paidRow = d.RowOf(paid);
        QTreeWidgetItem* incurredRow = d.RowOf(incurred);
        ASSERT_NE(paidRow, nullptr);
        ASSERT_NE(incurredRow, nullptr);
        EXPECT_TRUE(paidRow->text(0).startsWith(QStringLiteral("   ")));
        EXPECT_EQ(paidRow->checkState(0), Qt::Unchecked);
        paidRow->setSelected(true);
        incurredRow->setSelected(true);
        d.OnEdit();
        EXPECT_EQ(d.IsModified(), 1);
        paidRow = d.RowOf(paid);
        EXPECT_EQ(paidRow->checkState(0), Qt::Checked);
        EXPECT_EQ(paidRow->text(1), QStringLiteral("Historical Selection 2"));
        // Another layer shows that layer's rules: none.
        const int ceded = d.LayerCombo()->findData(int(CEDED));
        d.LayerCombo()->setCurrentIndex(ceded);
        d.OnLayerChanged();
        EXPECT_EQ(d.CurrentLayer(), CEDED);
        QSID cededPaid = paid;
        SetIDLayer(cededPaid, CEDED);
        ASSERT_NE(d.RowOf(cededPaid), nullptr);
        EXPECT_EQ(d.RowOf(cededPaid)->checkState(0), Qt::Unchecked);
        d.OnOK();
    });
    script.Then<CSDFFloodFillOptionDlg>([](CSDFFloodFillOptionDlg& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Flood Fill Options - Multiple Entries"));
        d.Radio(CSDFFloodFillOptionDlg::IDC_HISTORICAL)->click();
        d.Edit(CSDFFloodFillOptionDlg::IDC_SELECTION_NUMBER)->setText(QStringLiteral("2"));
        d.OnOK();
    });
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(script.AllHandled());
    for (QSID id : {paid, incurred}) {
        auto rule = Stored<Sdf>(id);
        ASSERT_NE(rule, nullptr);
        EXPECT_EQ(rule->GetType(), Sdf::HISTORICAL);
        EXPECT_EQ(rule->GetHistData().m_number, 2);
    }
}

TEST_F(FloodFillDialogsTest, AnEqualRuleChangesNothingAndClearingMarksTheChange) {
    const QSID paid = Exhibit(1, NET);
    Sdf none(Sdf::NONE);
    StoreRule(paid, none);
    CFloodFillSettingsDlg dialog(Project());
    ModalScript script;
    MessageBoxScript boxes;
    script.Then<CFloodFillSettingsDlg>([&](CFloodFillSettingsDlg& d) {
        QTreeWidgetItem* row = d.RowOf(paid);
        ASSERT_NE(row, nullptr);
        // A None rule: no mark, no text, still a rule.
        EXPECT_EQ(row->checkState(0), Qt::Unchecked);
        EXPECT_NE(d.RuleOf(paid), nullptr);
        row->setSelected(true);
        d.OnDoubleClick();  // None again
        EXPECT_EQ(d.IsModified(), 0);
        d.List()->clearSelection();
        d.OnEdit();
        EXPECT_EQ(boxes.Count(), 1u);
        d.RowOf(paid)->setSelected(true);
        d.OnClear();
        EXPECT_EQ(d.RuleOf(paid), nullptr);
        EXPECT_EQ(d.IsModified(), 1);
        d.OnCancel();
    });
    script.Then<CSDFFloodFillOptionDlg>([](CSDFFloodFillOptionDlg& d) {
        EXPECT_TRUE(d.Radio(CSDFFloodFillOptionDlg::IDC_NONE)->isChecked());
        d.OnOK();
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    // Cancel: the project keeps its rule.
    EXPECT_NE(Stored<Sdf>(paid), nullptr);
}

TEST_F(FloodFillDialogsTest, InterpolatedSettingsSayWhenNothingIsSelected) {
    CInterpFloodFillSettingsDlg dialog(Project());
    ModalScript script;
    MessageBoxScript boxes;
    script.Then<CInterpFloodFillSettingsDlg>([&](CInterpFloodFillSettingsDlg& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Flood Fill Settings For Interpolated Development Factors"));
        d.OnEdit();
        d.OnClear();
        d.OnOK();
    });
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(boxes.Texts(), (QStringList{"No item selected for editing.", "No item selected for this action."}));
}

struct FloodFillSettingsText : qs::test::ViewTest {};

TEST_F(FloodFillSettingsText, StatisticsReadAsTheListShowsThem) {
    CFFStat s;
    s.m_useLast = 3;
    s.m_weighting = 1;
    s.m_avgType = 1;
    s.m_excludeHighLow = true;
    s.m_excludeFirst = 2;
    EXPECT_EQ(CFloodFillSettingsDlg::StatisticText(s, 12, false),
              QStringLiteral("3  Year Volume Weighted Average Excluding High/Low Excluding First 2  Years "));
    EXPECT_EQ(CFloodFillSettingsDlg::StatisticText(s, 3, true),
              QStringLiteral("3  Qrtr Vol Wtd Avg Exc Hi/Lo Exc First 2  Qrtrs "));
    CFFStat trend;
    trend.m_avgType = 2;
    trend.m_includeZeros = true;
    EXPECT_EQ(CFloodFillSettingsDlg::StatisticText(trend, 5, false), QStringLiteral("Linear Trend: Including Zeros "));
}

// ---- the exhibit view's commands -------------------------------------------------------------------------------------

TEST_F(FloodFillDialogsTest, TheExhibitViewStoresItsRuleAndTheFillFollowsIt) {
    qs::views::Settings().fileMode = 0;
    auto view = doc.Open<CExhibitView>(qsmethods::StandardExhibitID(1), NET);
    ASSERT_NE(view, nullptr);
    ModalScript script;
    script.Then<CSDFFloodFillOptionDlg>([](CSDFFloodFillOptionDlg& d) {
        using D = CSDFFloodFillOptionDlg;
        EXPECT_TRUE(d.windowTitle().startsWith(QStringLiteral("Flood Fill Options - ")));
        d.Radio(D::IDC_STATISTICS)->click();
        d.Combo(D::IDC_TYPE)->setCurrentIndex(0);
        d.Combo(D::IDC_WEIGHTS)->setCurrentIndex(0);
        d.OnOK();
    });
    view->OnCmdMsg(ID_SET_SDF_FLOODFILL, 0, nullptr, nullptr);
    EXPECT_TRUE(script.AllHandled());
    const QSID id = Exhibit(1, NET);
    auto rule = Stored<Sdf>(id);
    ASSERT_NE(rule, nullptr);
    EXPECT_EQ(rule->GetType(), Sdf::STATISTICS);
    EXPECT_TRUE(Project()->IsSDFSetWithFloodFill(id));
    // The fill writes the simple average of the first column into the selections.
    MessageBoxScript boxes;
    view->ExecuteSDFFloodFill(CExhibitView::kKindSelected);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Last().text, QStringLiteral("Selected Development Factors Flood Fill Operation Completed!"));
    CDataObject* sdf = view->GetSDF();
    ASSERT_NE(sdf, nullptr);
    CDataObject* factors = view->GetFactorTriangle();
    double sum = 0, v = 0;
    std::uint8_t f = 0;
    int n = 0;
    for (int r = 0; r < 9; ++r) {
        factors->GetAt(r, 0, v, f);
        if (f & CDataObject::CF_VALUE) {
            sum += v;
            ++n;
        }
    }
    sdf->GetAt(0, 0, v, f);
    EXPECT_NEAR(v, sum / n, 1e-9);

    // The interpolated rule: a new option handed to the project.
    ModalScript interp;
    interp.Then<CFloodFillOptionsDlg>([](CFloodFillOptionsDlg& d) {
        d.Combo(CFloodFillOptionsDlg::IDC_CURVE1)->setCurrentIndex(3);
        d.OnOK();
    });
    view->OnSetFloodFill(CExhibitView::kKindInterpolated);
    auto stored = Stored<Interp>(id, true);
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->GetDefault1().GetCurveType(), CURVE_INVERSE_POWER);
}

}  // namespace

// ---- fill selecteds dialogs ------------------------------------------------------------------------------------------

namespace {

TEST_F(FloodFillDialogsTest, FillSelectedsOffersTablesPerLayerAndReturnsTheStatistic) {
    CFillSelectedsFactorSetDlg all;
    all.m_pProject = Project();
    all.m_strCaption = QStringLiteral("Copy Selecteds to Factor Set");
    int everyLayer = 0;
    ModalScript script;
    script.Then<CFillSelectedsFactorSetDlg>([&](CFillSelectedsFactorSetDlg& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Copy Selecteds to Factor Set"));
        everyLayer = d.Available()->topLevelItemCount();
        d.OnCancel();
    });
    EXPECT_EQ(all.DoModal(), IDCANCEL);

    CFillSelectedsStatsDlg dialog;
    dialog.m_pProject = Project();
    MessageBoxScript boxes;
    script.Then<CFillSelectedsStatsDlg>([&](CFillSelectedsStatsDlg& d) {
        // Only Net paid and incurred hold selections: far fewer rows than
        // every table on every layer.
        const int withData = d.Available()->topLevelItemCount();
        EXPECT_GT(withData, 0);
        EXPECT_GT(everyLayer, withData);
        EXPECT_EQ(everyLayer % 5, 0);
        d.OnOK();
        EXPECT_EQ(boxes.Last().text, QStringLiteral("At least one Table should be selected!"));
        QTreeWidgetItem* first = d.Available()->topLevelItem(0);
        first->setSelected(true);
        emit d.Available()->itemDoubleClicked(first, 0);
        EXPECT_EQ(d.Chosen()->topLevelItemCount(), 1);
        qobject_cast<QComboBox*>(d.GetDlgItem(CFillSelectedsStatsDlg::IDC_TYPE))->setCurrentIndex(1);
        qobject_cast<QComboBox*>(d.GetDlgItem(CFillSelectedsStatsDlg::IDC_WEIGHTS))->setCurrentIndex(2);
        d.OnOK();
    });
    ASSERT_EQ(dialog.DoModal(), IDOK);
    ASSERT_EQ(dialog.m_ids.size(), 1u);
    EXPECT_NE(GetIDLayer(dialog.m_ids[0]), 0);
    EXPECT_EQ(dialog.m_stat, (std::vector<std::uint8_t>{1, 2, 0, 0, 0, 0, 0, 2}));
}

}  // namespace
