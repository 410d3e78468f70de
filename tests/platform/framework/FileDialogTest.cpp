#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <gtest/gtest.h>

#include "CCtrlView.h"
#include "CFileDialog.h"
#include "ModalScript.h"
#include "TestEnvironment.h"

namespace {

TEST(FileDialog, FiltersInTheClassLibrarysFormBecomeNameFilters) {
    struct Case {
        const char* filter;
        QStringList expected;
    } cases[] = {
        {"", {}},
        {"Text Files (*.txt)|*.txt||", {"Text Files (*.txt)"}},  // patterns already shown, not twice
        {"Text Files|*.txt||", {"Text Files (*.txt)"}},
        {"Projects (*.qs1;*.qs2)|*.qs1;*.qs2||", {"Projects (*.qs1 *.qs2)"}},
        {"Projects|*.qs1;*.qs2|All Files|*.*||", {"Projects (*.qs1 *.qs2)", "All Files (*)"}},
        {"Odd|", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(CFileDialog::ConvertFilter(c.filter), c.expected) << c.filter;
}

TEST(FileDialog, ChoosesSeveralFilesWithinTheNameBuffer) {
    const QString dir = QString::fromStdString(qs::test::MakeTempDir("files"));
    QStringList names;
    for (int i = 0; i < 3; ++i) {
        const QString name = QStringLiteral("batch%1.qs5").arg(i);
        QFile file(dir + "/" + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        names << name;
    }
    auto choose = [&](QDialog& d) {
        auto& dialog = dynamic_cast<QFileDialog&>(d);
        dialog.setDirectory(dir);
        dialog.findChild<QLineEdit*>("fileNameEdit")->setText("\"batch0.qs5\" \"batch1.qs5\" \"batch2.qs5\"");
        d.accept();
    };
    qs::fw::ModalScript script;
    script.Then(choose).Then(choose).Then([](QDialog& d) { d.reject(); });

    CFileDialog dialog(TRUE, "qs5", "", OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST, "Projects|*.qs5||");
    dialog.m_ofn.nMaxFile = 2048;
    dialog.SetOkCaption("Import");
    ASSERT_EQ(dialog.DoModal(), IDOK);
    QStringList chosen;
    for (POSITION pos = dialog.GetStartPosition(); pos != nullptr;) chosen << dialog.GetNextPathName(pos);
    EXPECT_EQ(chosen.size(), 3);
    EXPECT_EQ(QFileInfo(chosen.front()).fileName(), "batch0.qs5");
    EXPECT_EQ(dialog.GetFileExt(), "qs5");
    EXPECT_EQ(dialog.GetFileTitle(), "batch0");

    // Folder + names + NULs no longer fit: cancelled with the buffer error.
    dialog.m_ofn.nMaxFile = UINT(dir.size() + 20);
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(CommDlgExtendedError(), FNERR_BUFFERTOOSMALL);
    EXPECT_EQ(dialog.GetStartPosition(), nullptr);

    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(CommDlgExtendedError(), 0u);
}

class NameForm : public CFormView {
public:
    NameForm() : CFormView(198) {
        auto* edit = new QLineEdit(this);
        SetControlId(edit, 1001);
    }
    int m_years = 10;
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Text(pDX, 1001, m_years);
        DDV_MinMaxInt(pDX, m_years, 1, 99);
    }
};

TEST(FormView, ExchangesDataLikeADialog) {
    qs::fw::MessageBoxScript boxes;
    NameForm form;
    form.OnInitialUpdate();
    EXPECT_EQ(form.GetDlgItemText(1001), "10");
    form.SetDlgItemText(1001, "120");
    EXPECT_FALSE(form.UpdateData(TRUE));
    EXPECT_EQ(form.m_years, 120);  // stored, then refused by the range check
    EXPECT_EQ(boxes.Count(), 1u);
    form.SetDlgItemText(1001, "25");
    EXPECT_TRUE(form.UpdateData(TRUE));
    EXPECT_EQ(form.m_years, 25);
}

}  // namespace
