#include <gtest/gtest.h>

#include <QComboBox>
#include <QFontMetrics>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <map>
#include <vector>

#include "dialogs/ListControls.h"
#include "MessageBox.h"
#include "ModalScript.h"
#include "dialogs/SmallDialogs.h"
#include "frames/SpreadsheetHostDispatch.h"
#include "WindowMessages.h"

namespace {

class FakeProject : public ISortNameSource {
public:
    std::map<long, std::string> names, layers;
    std::string NameFromID(long id) const override { return names.at(id); }
    std::string LayerNameOfID(long id) const override { return layers.at(id); }
};

TEST(SortListCtrl, SortsByNameOrLayerWithUnnamedRowsFirst) {
    FakeProject project;
    project.names = {{11, "Paid Losses"}, {12, "Incurred Losses"}, {13, "Claim Counts"}};
    project.layers = {{11, "NET"}, {12, "GROSS"}, {13, "CEDED"}};
    SetSortProject(&project);
    CSortListCtrl list;
    list.setColumnCount(3);
    for (long id : {11L, 0L, 12L, 13L, 0L}) list.AddItem(id, {QString::number(id), "", ""});

    auto order = [&] {
        std::vector<long> ids;
        for (int i = 0; i < list.topLevelItemCount(); ++i) ids.push_back(CSortListCtrl::ItemId(list.topLevelItem(i)));
        return ids;
    };
    list.SortByColumn(0);
    EXPECT_EQ(order(), (std::vector<long>{0, 0, 13, 12, 11}));
    list.SortByColumn(1);
    EXPECT_EQ(order(), (std::vector<long>{0, 0, 13, 12, 11}));  // CEDED, GROSS, NET
    project.layers[11] = "ASSUMED";
    list.SortByColumn(1);
    EXPECT_EQ(order(), (std::vector<long>{0, 0, 11, 13, 12}));
    SetSortProject(nullptr);
}

TEST(SortListCtrl, TheComparisonIsAStrictWeakOrderAlsoWithIdZero) {
    FakeProject project;
    project.names = {{5, "B"}, {6, "A"}, {-7, "C"}};
    SetSortProject(&project);
    const long ids[] = {0, 5, 6, -7};
    for (long a : ids) {
        EXPECT_EQ(CompareSortListItems(a, a, 0), 0);  // irreflexive
        for (long b : ids) {
            EXPECT_EQ(CompareSortListItems(a, b, 0), -CompareSortListItems(b, a, 0)) << a << " " << b;
            for (long c : ids) {
                if (CompareSortListItems(a, b, 0) < 0 && CompareSortListItems(b, c, 0) < 0) {
                    EXPECT_LT(CompareSortListItems(a, c, 0), 0) << a << b << c;
                }
            }
        }
    }
    EXPECT_EQ(CompareSortListItems(5, 6, 2), 0);  // other columns keep their order
    SetSortProject(nullptr);
}

TEST(OwnerDrawListCtrl, TypeAheadExtendsThePrefixUntilAPause) {
    COwnerDrawListCtrl list;
    list.setColumnCount(2);
    for (const char* name : {"Apple", "Banana", "abacus", "Cherry", "ab initio"})
        new QTreeWidgetItem(&list, QStringList{"x", name});
    list.SetSearchColumn(1);
    list.show();

    QTest::keyClick(&list, Qt::Key_A);
    EXPECT_EQ(list.currentItem()->text(1), "Apple");
    QTest::keyClick(&list, Qt::Key_B);  // within 250 ms: "ab"
    EXPECT_EQ(list.currentItem()->text(1), "abacus");
    EXPECT_EQ(list.selectedItems().size(), 1);
    EXPECT_EQ(list.SearchPrefix(), "ab");

    QTest::qWait(COwnerDrawListCtrl::kSearchResetMs + 150);
    EXPECT_TRUE(list.SearchPrefix().isEmpty());
    QTest::keyClick(&list, Qt::Key_C);  // a new search from the first item
    EXPECT_EQ(list.currentItem()->text(1), "Cherry");
    QTest::keyClick(&list, Qt::Key_Z);  // no match: the prefix is dropped at once
    EXPECT_TRUE(list.SearchPrefix().isEmpty());
    EXPECT_EQ(list.currentItem()->text(1), "Cherry");
}

TEST(OwnerDrawListCtrl, LabelsAreShortenedWithThreeDots) {
    const QFontMetrics metrics(QFont("DejaVu Sans", 10));
    EXPECT_EQ(ShortenToFit("Loss", metrics, 1000), "Loss");
    const QString shown = ShortenToFit("Incurred Losses by Accident Year", metrics,
                                       metrics.horizontalAdvance("Incurred Losses..."));
    EXPECT_EQ(shown, "Incurred Losses...");
    EXPECT_EQ(ShortenToFit("Incurred", metrics, 0), "...");
}

TEST(CustomFileDialog, ReturnsTheFolderWithTheDummyName) {
    CCustomFileDialog dialog(true);
    dialog.setDirectory("/tmp");
    EXPECT_EQ(dialog.fileMode(), QFileDialog::Directory);
    EXPECT_TRUE(dialog.GetPathName().endsWith("/Junk"));
}

TEST(SmallDialogs, SelectNameEnablesOkOnlyWithASelection) {
    qs::fw::ModalScript script;
    bool okAtStart = true;
    script.Then([&](QDialog& d) {
        auto& dlg = dynamic_cast<CSelectNameDlg&>(d);
        auto* ok = qobject_cast<QPushButton*>(dlg.GetDlgItem(IDOK));
        okAtStart = ok->isEnabled();
        qobject_cast<QListWidget*>(dlg.GetDlgItem(CSelectNameDlg::IDC_NAMES))->setCurrentRow(1);
        EXPECT_TRUE(ok->isEnabled());
        dlg.SetDlgItemText(CSelectNameDlg::IDC_TEXT, "Paid2");
        dlg.OnOK();
    });
    CSelectNameDlg dialog({"Paid", "Incurred", "Counts"});
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_FALSE(okAtStart);
    EXPECT_EQ(dialog.m_strSelected, "Incurred");
    EXPECT_EQ(dialog.m_strText, "Paid2");
}

TEST(SmallDialogs, ScalingFactorTakesANumber) {
    qs::fw::MessageBoxScript boxes{IDOK};
    qs::fw::ModalScript script;
    script.Then([](QDialog& d) {
        auto& dlg = dynamic_cast<CScalingFactorDlg&>(d);
        dlg.SetDlgItemText(CScalingFactorDlg::IDC_VALUE, "thousand");
        dlg.OnOK();  // refused: stays open
        dlg.SetDlgItemText(CScalingFactorDlg::IDC_VALUE, "1000");
        dlg.OnOK();
    });
    CScalingFactorDlg dialog;
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_DOUBLE_EQ(dialog.m_dValue, 1000.0);
    EXPECT_EQ(boxes.Count(), 1u);
}

TEST(SmallDialogs, StatisticsRefusesWeightsOnCurvesAndCountsOutsideTheRange) {
    const struct {
        int type, weights;
        const char* count;
        const char* message;  // null: closes with OK
    } cases[] = {
        {1, 1, "3", CStatisticsDlg::kWeightsRefused},
        {2, 2, "3", CStatisticsDlg::kWeightsRefused},
        {0, 1, "255", CStatisticsDlg::kCountRange},
        {3, 1, "-1", CStatisticsDlg::kCountRange},
        {1, 0, "254", nullptr},
        {0, 2, "0", nullptr},
    };
    for (const auto& c : cases) {
        qs::fw::MessageBoxScript boxes{IDOK};
        qs::fw::ModalScript script;
        int focusId = 0;
        script.Then([&](QDialog& d) {
            auto& dlg = dynamic_cast<CStatisticsDlg&>(d);
            for (QComboBox* list : {dlg.TypeList(), dlg.WeightsList()})
                list->addItems({"none", "linear", "exponential", "other"});
            dlg.TypeList()->setCurrentIndex(c.type);
            dlg.WeightsList()->setCurrentIndex(c.weights);
            dlg.SetDlgItemText(CStatisticsDlg::IDC_COUNT, c.count);
            dlg.OnOK();
            if (QWidget* focus = dlg.focusWidget()) focusId = CWnd::ControlIdOf(focus);
            if (dlg.isVisible() && dlg.result() == 0) dlg.EndDialog(IDCANCEL);
        });
        CStatisticsDlg dialog;
        const INT_PTR result = dialog.DoModal();
        if (c.message) {
            EXPECT_EQ(result, IDCANCEL) << c.type << c.weights << c.count;
            ASSERT_EQ(boxes.Count(), 1u);
            EXPECT_EQ(boxes.Last().text, c.message);
            EXPECT_EQ(focusId, c.message == CStatisticsDlg::kWeightsRefused ? CStatisticsDlg::IDC_WEIGHTS
                                                                            : CStatisticsDlg::IDC_COUNT);
        } else {
            EXPECT_EQ(result, IDOK) << c.type << c.weights << c.count;
            EXPECT_EQ(boxes.Count(), 0u);
        }
    }
}

TEST(SpreadsheetHostDispatch, EachNotificationReachesItsSignal) {
    CSpreadsheetHostDispatch host;
    QList<int> plain, withBlock, pair, param;
    long firstOfBlock = 0, secondOfPair = 0;
    WPARAM paramSeen = 0;
    int focus = 0;
    QObject::connect(&host, &CSpreadsheetHostDispatch::Notified, [&](int code) { plain << code; });
    QObject::connect(&host, &CSpreadsheetHostDispatch::NotifiedWithBlock, [&](int code, long first, const long* rest) {
        withBlock << code;
        firstOfBlock = first;
        EXPECT_EQ(rest[0], 8);
    });
    QObject::connect(&host, &CSpreadsheetHostDispatch::NotifiedWithPair, [&](int code, long, long second) {
        pair << code;
        secondOfPair = second;
    });
    QObject::connect(&host, &CSpreadsheetHostDispatch::NotifiedWithParam, [&](int code, const long*, WPARAM w) {
        param << code;
        paramSeen = w;
    });
    QObject::connect(&host, &CSpreadsheetHostDispatch::FocusRequested, [&] { ++focus; });
    long block[] = {7, 8, 9};
    const LPARAM b = reinterpret_cast<LPARAM>(block);
    for (int code = 1; code <= 24; ++code) EXPECT_TRUE(host.Dispatch(WM_USER + code, 42, b)) << code;
    EXPECT_FALSE(host.Dispatch(WM_USER, 0, b));
    EXPECT_FALSE(host.Dispatch(WM_USER + 25, 0, b));

    EXPECT_EQ(plain, (QList<int>{1, 4, 5, 16, 20}));
    EXPECT_EQ(withBlock, (QList<int>{2, 3}));
    EXPECT_EQ(firstOfBlock, 7);
    EXPECT_EQ(pair, (QList<int>{6, 7, 23, 24}));
    EXPECT_EQ(secondOfPair, 8);
    EXPECT_EQ(param, (QList<int>{21, 22}));
    EXPECT_EQ(paramSeen, WPARAM(42));
    EXPECT_EQ(focus, 1);
}

}  // namespace
