#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <memory>
#include <gtest/gtest.h>

#include "CDialog.h"
#include "CPropertySheet.h"
#include "MessageBox.h"
#include "ModalScript.h"

namespace {

enum : int { IDC_NAME = 1001, IDC_COUNT = 1002, IDC_FLAG = 1003, IDC_RETRY = 1004 };

// A dialog with an edit for a name, one for a count (1..10) and a check box.
class NameDialog : public CDialog {
public:
    NameDialog() : CDialog(233) {
        auto* name = new QLineEdit(this);
        SetControlId(name, IDC_NAME);
        auto* count = new QLineEdit(this);
        SetControlId(count, IDC_COUNT);
        auto* flag = new QCheckBox(this);
        SetControlId(flag, IDC_FLAG);
        AddButton(IDOK, "OK");
        AddButton(IDCANCEL, "Cancel");
        AddButton(IDC_RETRY, "Retry");
        MapCommand(IDC_RETRY, [this] { EndDialog(IDRETRY); });
    }
    QString m_name = "Paid";
    int m_count = 3;
    int m_flag = 1;
    int m_initCalls = 0;

    BOOL OnInitDialog() override {
        ++m_initCalls;
        return CDialog::OnInitDialog();
    }
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Text(pDX, IDC_NAME, m_name);
        DDX_Text(pDX, IDC_COUNT, m_count);
        DDV_MinMaxInt(pDX, m_count, 1, 10);
        DDX_Check(pDX, IDC_FLAG, m_flag);
    }
};

TEST(Dialogs, DoModalReturnsWhatTheScriptedUserDid) {
    qs::fw::ModalScript script;
    script.Then<NameDialog>([](NameDialog& d) {
        // Fields were loaded by OnInitDialog before the user sees them.
        EXPECT_EQ(d.GetDlgItemText(IDC_NAME), "Paid");
        EXPECT_EQ(d.IsDlgButtonChecked(IDC_FLAG), 1u);
        d.SetDlgItemText(IDC_NAME, "Incurred");
        d.SetDlgItemInt(IDC_COUNT, 7);
        d.CheckDlgButton(IDC_FLAG, 0);
        d.GetDlgItem(IDOK)->setFocus();
        qobject_cast<QPushButton*>(d.GetDlgItem(IDOK))->click();
    });
    script.Then<NameDialog>([](NameDialog& d) {
        d.SetDlgItemText(IDC_NAME, "Lost");
        d.reject();  // Escape
    });
    script.Then<NameDialog>([](NameDialog& d) { qobject_cast<QPushButton*>(d.GetDlgItem(IDC_RETRY))->click(); });

    NameDialog dialog;
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.m_name, "Incurred");
    EXPECT_EQ(dialog.m_count, 7);
    EXPECT_EQ(dialog.m_flag, 0);
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.m_name, "Incurred");  // cancel saves nothing
    EXPECT_EQ(dialog.DoModal(), IDRETRY);
    EXPECT_EQ(dialog.m_initCalls, 3);
    EXPECT_TRUE(script.AllHandled());
}

TEST(Dialogs, BadInputKeepsTheDialogOpenWithAMessage) {
    qs::fw::ModalScript script;
    qs::fw::MessageBoxScript boxes;
    script.Then<NameDialog>([](NameDialog& d) {
        d.SetDlgItemText(IDC_COUNT, "seven");
        d.OnOK();
        EXPECT_TRUE(d.isVisible());
        d.SetDlgItemText(IDC_COUNT, "11");
        d.OnOK();
        EXPECT_TRUE(d.isVisible());
        d.SetDlgItemText(IDC_COUNT, "10");
        d.OnOK();
    });
    NameDialog dialog;
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.m_count, 10);
    EXPECT_EQ(boxes.Texts(), (QStringList{"Please enter an integer.", "Please enter an integer between 1 and 10."}));
}

TEST(Dialogs, WrongDialogKindIsCancelledAndMarked) {
    qs::fw::ModalScript script;
    script.Then<CPropertySheet>([](CPropertySheet& s) { s.PressButton(PSBTN_OK); });
    NameDialog dialog;
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_FALSE(script.AllHandled());
}

// Pages that record the protocol calls and can refuse them.
std::vector<std::string> g_calls;

class Page : public CPropertyPage {
public:
    Page(UINT id, const char* name) : CPropertyPage(id, name), m_name(name) {}
    std::string m_name;
    bool m_refuseSetActive = false;
    bool m_refuseKill = false;
    LRESULT m_next = 0;
    LRESULT m_back = 0;
    DWORD m_buttons = PSWIZB_BACK | PSWIZB_NEXT;

    BOOL OnSetActive() override {
        g_calls.push_back(m_name + ".set");
        if (m_refuseSetActive) return FALSE;
        if (GetSheet()->IsWizard()) GetSheet()->SetWizardButtons(m_buttons);
        return TRUE;
    }
    BOOL OnKillActive() override {
        g_calls.push_back(m_name + ".kill");
        return m_refuseKill ? FALSE : TRUE;
    }
    LRESULT OnWizardNext() override { return m_next; }
    LRESULT OnWizardBack() override { return m_back; }
    BOOL OnApply() override {
        g_calls.push_back(m_name + ".apply");
        return TRUE;
    }
    void OnCancel() override { g_calls.push_back(m_name + ".cancel"); }
};

TEST(PropertySheets, TabsOkApplyAndCancel) {
    Page a(301, "a"), b(302, "b"), c(303, "c");
    CPropertySheet sheet("Project Setup");
    sheet.AddPage(&a);
    sheet.AddPage(&b);
    sheet.AddPage(&c);
    qs::fw::ModalScript script;
    script.Then<CPropertySheet>([&](CPropertySheet& s) {
        EXPECT_EQ(s.GetActiveIndex(), 0);
        ASSERT_NE(s.Button(PSBTN_APPLYNOW), nullptr);
        EXPECT_FALSE(s.Button(PSBTN_APPLYNOW)->isEnabled());
        b.m_refuseKill = false;
        EXPECT_TRUE(s.SetActivePage(1));
        b.SetModified();
        EXPECT_TRUE(s.Button(PSBTN_APPLYNOW)->isEnabled());
        EXPECT_TRUE(s.PressButton(PSBTN_APPLYNOW));
        EXPECT_FALSE(b.IsModified());
        // A page that refuses to be left keeps the sheet open.
        b.m_refuseKill = true;
        s.PressButton(PSBTN_OK);
        EXPECT_TRUE(s.isVisible());
        b.m_refuseKill = false;
        s.PressButton(PSBTN_OK);
    });
    g_calls.clear();
    EXPECT_EQ(sheet.DoModal(), IDOK);
    // Pages never shown (c) get no apply.
    const std::vector<std::string> expected = {"a.set", "a.kill", "b.set", "b.kill", "a.apply", "b.apply",
                                               "b.kill", "b.kill", "a.apply", "b.apply"};
    EXPECT_EQ(g_calls, expected);

    script.Then<CPropertySheet>([](CPropertySheet& s) { s.PressButton(PSBTN_CANCEL); });
    g_calls.clear();
    EXPECT_EQ(sheet.DoModal(), IDCANCEL);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"a.set", "a.cancel"}));

    CPropertySheet noApply("Setup");
    noApply.m_psh.dwFlags |= PSH_NOAPPLYNOW;
    Page d(304, "d");
    noApply.AddPage(&d);
    script.Then<CPropertySheet>([](CPropertySheet& s) {
        EXPECT_EQ(s.Button(PSBTN_APPLYNOW), nullptr);
        EXPECT_FALSE(s.PressButton(PSBTN_APPLYNOW));
        EXPECT_FALSE(s.PressButton(PSBTN_NEXT));  // not a wizard
        s.PressButton(PSBTN_OK);
    });
    EXPECT_EQ(noApply.DoModal(), IDOK);
}

// A sheet whose pages are its own members: they are destroyed before the
// base sheet, while still in its tab widget.
class MemberPageSheet : public CPropertySheet {
public:
    MemberPageSheet() : CPropertySheet("Members") {
        AddPage(&m_first);
        AddPage(&m_second);
    }
    Page m_first{311, "first"};
    Page m_second{312, "second"};
};

TEST(PropertySheets, MemberPagesGoQuietlyBeforeTheirSheet) {
    for (bool wizard : {false, true}) {
        SCOPED_TRACE(wizard ? "wizard" : "tabs");
        auto sheet = std::make_unique<MemberPageSheet>();
        if (wizard) sheet->SetWizardMode();
        qs::fw::ModalScript script;
        script.Then<CPropertySheet>([](CPropertySheet& s) {
            EXPECT_TRUE(s.SetActivePage(1));
            s.PressButton(PSBTN_CANCEL);
        });
        sheet->DoModal();
        sheet->m_second.m_refuseKill = true;
        g_calls.clear();
        sheet.reset();
        // No page is activated or asked to be left while the sheet goes.
        EXPECT_TRUE(g_calls.empty());
    }
}

TEST(PropertySheets, WizardNavigation) {
    Page one(401, "one"), two(402, "two"), three(403, "three"), four(404, "four");
    one.m_buttons = PSWIZB_NEXT;
    four.m_buttons = PSWIZB_BACK | PSWIZB_FINISH;
    CPropertySheet wizard("New Table");
    for (Page* p : {&one, &two, &three, &four}) wizard.AddPage(p);
    wizard.SetWizardMode();

    qs::fw::ModalScript script;
    script.Then<CPropertySheet>([&](CPropertySheet& s) {
        EXPECT_EQ(s.GetActiveIndex(), 0);
        EXPECT_FALSE(s.PressButton(PSBTN_BACK));  // disabled on the first page
        EXPECT_FALSE(s.PressButton(PSBTN_FINISH));
        EXPECT_TRUE(s.PressButton(PSBTN_NEXT));
        EXPECT_EQ(s.GetActiveIndex(), 1);
        // A page that fails validation stays.
        two.m_refuseKill = true;
        EXPECT_FALSE(s.PressButton(PSBTN_NEXT));
        EXPECT_EQ(s.GetActiveIndex(), 1);
        two.m_refuseKill = false;
        // OnWizardNext jumps by template id; a page that refuses activation is skipped.
        two.m_next = 404;
        EXPECT_TRUE(s.PressButton(PSBTN_NEXT));
        EXPECT_EQ(s.GetActiveIndex(), 3);
        EXPECT_TRUE(s.Button(PSBTN_FINISH)->isVisible());
        three.m_refuseSetActive = true;
        EXPECT_TRUE(s.PressButton(PSBTN_BACK));
        EXPECT_EQ(s.GetActiveIndex(), 1);  // three refused, so back lands on two
        // -1 stays.
        two.m_next = -1;
        EXPECT_FALSE(s.PressButton(PSBTN_NEXT));
        two.m_next = 404;
        s.PressButton(PSBTN_NEXT);
        EXPECT_TRUE(s.PressButton(PSBTN_FINISH));
    });
    g_calls.clear();
    EXPECT_EQ(wizard.DoModal(), ID_WIZFINISH);
    EXPECT_EQ(std::count(g_calls.begin(), g_calls.end(), std::string("three.set")), 1);

    script.Then<CPropertySheet>([](CPropertySheet& s) {
        s.PressButton(PSBTN_NEXT);
        s.reject();  // Escape
    });
    EXPECT_EQ(wizard.DoModal(), IDCANCEL);
    EXPECT_TRUE(script.AllHandled());
}

}  // namespace
