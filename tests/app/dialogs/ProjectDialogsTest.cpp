// The small project dialogs, each played through its buttons: what they
// offer, what they refuse (the dialog stays open with its message) and what
// they hand back.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

#include "CProject.h"
#include "MessageBox.h"
#include "ModalScript.h"
#include "dialogs/ProjectDialogs.h"

namespace {

QStringList Items(QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
    return items;
}

TEST(ProjectDialogs, MoveLayerOffersOnlyEnteredDestinationsAndRefusesTheSameLayer) {
    CProject project;
    std::uint16_t gen = 5, numExp = 3, firstYear = 2001, interval = 1, numDev = 3, firstAge = 12;
    PRDLENGTH len = PRD_YEAR;
    LAYERNAMES c1 = GROSS, c2 = ASSUMED;
    ASSERT_EQ(project.Create(gen, numExp, len, firstYear, interval, numDev, len, firstAge, c1, c2), 0);
    qs::fw::MessageBoxScript boxes;
    qs::fw::ModalScript script;
    script.Then<CMoveLayerDataDlg>([](CMoveLayerDataDlg& dlg) {
        EXPECT_EQ(Items(dlg.FromList()), (QStringList{"Net", "Gross", "Ceded", "Direct", "Assumed"}));
        EXPECT_EQ(Items(dlg.ToList()), (QStringList{"Net", "Ceded", "Direct"}));
        EXPECT_EQ(dlg.FromList()->currentIndex(), 2);  // the current layer
        dlg.OnOK();  // no destination yet
        dlg.FromList()->setCurrentIndex(0);
        dlg.ToList()->setCurrentIndex(0);
        dlg.OnOK();  // Net to Net
        EXPECT_TRUE(dlg.isVisible());
        dlg.ToList()->setCurrentIndex(2);
        dlg.OnOK();
    });
    CMoveLayerDataDlg dialog(&project);
    dialog.m_nFrom = CEDED - 1;
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(boxes.Texts(), (QStringList{CMoveLayerDataDlg::kChooseBoth, CMoveLayerDataDlg::kSameLayers}));
    EXPECT_EQ(dialog.m_nSourceLayer, NET);
    EXPECT_EQ(dialog.m_nDestinationLayer, DIRECT);
}

TEST(ProjectDialogs, AsOfDateTakesOnlyADate) {
    qs::fw::MessageBoxScript boxes;
    qs::fw::ModalScript script;
    script.Then<CAsOfDateDlg>([](CAsOfDateDlg& dlg) {
        EXPECT_FALSE(dlg.GetDlgItemText(CAsOfDateDlg::IDC_DATE).isEmpty());  // today
        for (const char* bad : {"", "13/45/2020", "tomorrow"}) {
            dlg.SetDlgItemText(CAsOfDateDlg::IDC_DATE, bad);
            dlg.OnOK();
            EXPECT_TRUE(dlg.isVisible()) << bad;
        }
        dlg.SetDlgItemText(CAsOfDateDlg::IDC_DATE, "12/31/2024");
        dlg.OnOK();
    });
    CAsOfDateDlg dialog;
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(boxes.Count(), 3u);
    EXPECT_EQ(dialog.m_date.Year(), 2024);
    EXPECT_EQ(dialog.m_date.Month(), 12);
    EXPECT_EQ(dialog.m_date.Day(), 31);
}

TEST(ProjectDialogs, NamedItemListByMode) {
    const std::vector<CNameDescItem> items = {{"Paid", "paid styles"}, {"Incurred", "incurred styles"}};
    qs::fw::MessageBoxScript boxes;
    qs::fw::ModalScript script;
    script
        .Then<CNamedItemListDlg>([](CNamedItemListDlg& dlg) {
            EXPECT_EQ(dlg.windowTitle(), "Open");
            EXPECT_EQ(qobject_cast<QPushButton*>(dlg.GetDlgItem(CNamedItemListDlg::IDC_ACTION))->text(), "&Open");
            EXPECT_FALSE(dlg.GetDlgItem(CNamedItemListDlg::IDC_NAME)->isEnabled());
            ASSERT_EQ(dlg.List()->topLevelItemCount(), 2);
            dlg.OnItemClicked(1);  // fills the disabled edits all the same
            EXPECT_EQ(dlg.GetDlgItemText(CNamedItemListDlg::IDC_NAME), "Incurred");
            EXPECT_EQ(dlg.GetDlgItemText(CNamedItemListDlg::IDC_DESCRIPTION), "incurred styles");
            dlg.OnItemDoubleClicked(0);
        })
        .Then<CNamedItemListDlg>([](CNamedItemListDlg& dlg) {
            EXPECT_EQ(dlg.windowTitle(), "Save");
            EXPECT_TRUE(dlg.GetDlgItem(CNamedItemListDlg::IDC_NAME)->isEnabled());
            dlg.OnAction();  // empty name
            dlg.SetDlgItemText(CNamedItemListDlg::IDC_NAME, "Bad*Name");
            dlg.OnAction();
            EXPECT_TRUE(dlg.isVisible());
            dlg.SetDlgItemText(CNamedItemListDlg::IDC_NAME, "  New Style  ");
            dlg.OnAction();
        });
    CNamedItemListDlg open(CNamedItemListDlg::kOpen);
    open.SetItems(items);
    ASSERT_EQ(open.DoModal(), IDOK);
    CNameDescItem chosen;
    BOOL isNew = TRUE;
    ASSERT_TRUE(open.GetChosenItem(chosen, isNew));
    EXPECT_EQ(chosen.name, "Paid");
    EXPECT_FALSE(isNew);

    CNamedItemListDlg save(CNamedItemListDlg::kSave);
    save.SetItems(items);
    ASSERT_EQ(save.DoModal(), IDOK);
    ASSERT_TRUE(save.GetChosenItem(chosen, isNew));
    EXPECT_EQ(chosen.name, "New Style");
    EXPECT_TRUE(isNew);
    ASSERT_EQ(boxes.Count(), 2u);
    EXPECT_EQ(boxes.Boxes()[0].text, CNamedItemListDlg::kChooseName);
    EXPECT_TRUE(boxes.Boxes()[1].text.startsWith("[ * ] is an invalid character in a name."));
    // Same name in another letter case is a new item.
    save.m_strName = "paid";
    save.GetChosenItem(chosen, isNew);
    EXPECT_TRUE(isNew);
}

TEST(ProjectDialogs, RecreateTableInChoiceAndShowOnlyModes) {
    qs::fw::ModalScript script;
    script
        .Then<CRecreateTableDlg>([](CRecreateTableDlg& dlg) {
            EXPECT_EQ(dlg.windowTitle(), "Re-create");
            EXPECT_FALSE(dlg.GetDlgItem(IDOK)->isEnabled());
            EXPECT_TRUE(dlg.GetDlgItem(CRecreateTableDlg::IDC_SECOND_OK)->isHidden());
            ASSERT_EQ(dlg.List()->count(), 2);
            EXPECT_EQ(dlg.List()->item(1)->data(Qt::UserRole).toLongLong(), 77);
            dlg.List()->setCurrentRow(1);
            EXPECT_TRUE(dlg.GetDlgItem(IDOK)->isEnabled());
            dlg.OnOK();
        })
        .Then<CRecreateTableDlg>([](CRecreateTableDlg& dlg) {
            EXPECT_TRUE(dlg.GetDlgItem(IDOK)->isHidden());
            EXPECT_TRUE(dlg.GetDlgItem(IDCANCEL)->isHidden());
            dlg.List()->setCurrentRow(0);
            dlg.OnSecondOK();
        });
    CRecreateTableDlg choose;
    choose.AddTable("Losses", 12);
    choose.AddTable("Premium", 77);
    EXPECT_EQ(choose.DoModal("Re-create"), IDOK);
    EXPECT_EQ(choose.m_nChosen, 1);
    CRecreateTableDlg show;
    show.m_bShowOnly = TRUE;
    show.AddTable("Losses", 12);
    EXPECT_EQ(show.DoModal("Tables"), IDCANCEL);
    EXPECT_EQ(show.m_nChosen, -1);
}

TEST(ProjectDialogs, SaveTemplateAsRefusesBlankAndBadNames) {
    qs::fw::MessageBoxScript boxes;
    qs::fw::ModalScript script;
    script.Then<CSaveTemplateAsDlg>([](CSaveTemplateAsDlg& dlg) {
        EXPECT_EQ(qobject_cast<QLineEdit*>(dlg.GetDlgItem(CSaveTemplateAsDlg::IDC_NAME))->maxLength(), 50);
        EXPECT_EQ(qobject_cast<QLineEdit*>(dlg.GetDlgItem(CSaveTemplateAsDlg::IDC_DESCRIPTION))->maxLength(), 255);
        dlg.SetDlgItemText(CSaveTemplateAsDlg::IDC_NAME, "");
        dlg.OnOK();
        dlg.SetDlgItemText(CSaveTemplateAsDlg::IDC_NAME, "   ");  // passes the blank test, then the rule refuses it
        dlg.OnOK();
        dlg.SetDlgItemText(CSaveTemplateAsDlg::IDC_NAME, " Auto (2024) ");
        dlg.OnOK();
    });
    CSaveTemplateAsDlg dialog("Old", "desc");
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(boxes.Texts(), (QStringList{CSaveTemplateAsDlg::kBlankName, "Name cannot be empty"}));
    EXPECT_EQ(dialog.m_strName, "Auto (2024)");
    EXPECT_EQ(dialog.m_strDescription, "desc");
}

TEST(ProjectDialogs, ReplicateGathersNamesAndDestinations) {
    qs::fw::MessageBoxScript boxes;
    qs::fw::ModalScript script;
    QStringList chooserCalls;
    script
        .Then<CReplicateDlg>([](CReplicateDlg& dlg) {
            // Database mode: no list and no modes; the source stays chosen.
            EXPECT_TRUE(dlg.ProjectList()->isHidden());
            EXPECT_TRUE(dlg.GetDlgItem(CReplicateDlg::IDC_BATCH)->isHidden());
            dlg.SetDlgItemText(CReplicateDlg::IDC_NEW_NAME, "");
            dlg.OnOK();
            dlg.SetDlgItemText(CReplicateDlg::IDC_NEW_NAME, "Copy");
            dlg.OnOK();
        })
        .Then<CReplicateDlg>([](CReplicateDlg& dlg) {
            auto* batch = qobject_cast<QRadioButton*>(dlg.GetDlgItem(CReplicateDlg::IDC_BATCH));
            batch->click();
            EXPECT_FALSE(dlg.ProjectList()->isEnabled());
            dlg.OnOK();  // the chooser is cancelled: the dialog stays
            EXPECT_TRUE(dlg.isVisible());
            dlg.OnOK();
        });
    CReplicateDlg database;
    database.m_projectTitles = {"a.qs5", "b.qs5"};
    database.m_strSourceTitle = "b.qs5";
    database.m_bShowProjectList = false;
    ASSERT_EQ(database.DoModal(), IDOK);
    EXPECT_EQ(database.m_destinations, QStringList{"b.qs5"});
    EXPECT_EQ(database.m_savedSelection, QList<int>{1});
    EXPECT_EQ(boxes.Texts(), QStringList{CReplicateDlg::kEnterName});

    CReplicateDlg batch;
    batch.m_projectTitles = {"a.qs5"};
    batch.m_strNewName = "Copy";
    int calls = 0;
    batch.m_chooseFiles = [&](QStringList& files) {
        if (++calls == 1) return false;
        files = {"/x/c.qs5", "/x/d.qs4"};
        return true;
    };
    ASSERT_EQ(batch.DoModal(), IDOK);
    EXPECT_EQ(batch.m_nBatch, 1);
    EXPECT_EQ(batch.m_destinations, (QStringList{"/x/c.qs5", "/x/d.qs4"}));
}

}  // namespace
