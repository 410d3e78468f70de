#include <QDialog>
#include <QLineEdit>
#include <QWidget>
#include <gtest/gtest.h>

#include "MessageBox.h"
#include "ModalScript.h"

namespace {

TEST(MessageBox, ScriptAnswersInOrderAndRecordsEveryBox) {
    qs::fw::SetApplicationName("Quillstone");
    qs::fw::MessageBoxScript script{IDNO};
    script.Answer(IDRETRY);

    EXPECT_EQ(AfxMessageBox("Save changes?", MB_YESNO | MB_DEFBUTTON2, 42), IDNO);
    EXPECT_EQ(MessageBox(nullptr, "Disk busy", "Copy", MB_RETRYCANCEL | MB_ICONSTOP), IDRETRY);
    // The queue is empty: the box gets its default button and is marked.
    EXPECT_EQ(AfxMessageBox("Done."), IDOK);

    ASSERT_EQ(script.Count(), 3u);
    const auto& first = script.Boxes()[0];
    EXPECT_EQ(first.text, "Save changes?");
    EXPECT_EQ(first.caption, "Quillstone");
    EXPECT_EQ(first.icon, UINT(MB_ICONQUESTION));  // added by the framework
    EXPECT_EQ(first.buttons, (std::vector<int>{IDYES, IDNO}));
    EXPECT_EQ(first.defaultAnswer, IDNO);
    EXPECT_EQ(first.helpId, 42u);
    const auto& second = script.Boxes()[1];
    EXPECT_EQ(second.caption, "Copy");
    EXPECT_EQ(second.icon, UINT(MB_ICONSTOP));
    EXPECT_EQ(second.buttons, (std::vector<int>{IDRETRY, IDCANCEL}));
    EXPECT_EQ(script.Last().icon, UINT(MB_ICONEXCLAMATION));
    EXPECT_FALSE(script.Last().scripted);
    EXPECT_FALSE(script.AllScripted());
}

TEST(MessageBox, IconsAndDefaultsPerType) {
    struct Case {
        UINT type;
        UINT icon;  // after AfxMessageBox
        std::vector<int> buttons;
        int defaultAnswer;
    } cases[] = {
        {MB_OK, MB_ICONEXCLAMATION, {IDOK}, IDOK},
        {MB_OKCANCEL | MB_DEFBUTTON2, MB_ICONEXCLAMATION, {IDOK, IDCANCEL}, IDCANCEL},
        {MB_YESNOCANCEL | MB_DEFBUTTON3, MB_ICONQUESTION, {IDYES, IDNO, IDCANCEL}, IDCANCEL},
        {MB_ABORTRETRYIGNORE | MB_DEFBUTTON2, 0, {IDABORT, IDRETRY, IDIGNORE}, IDRETRY},
        {MB_OK | MB_ICONINFORMATION, MB_ICONINFORMATION, {IDOK}, IDOK},
        {MB_YESNO | MB_ICONSTOP, MB_ICONSTOP, {IDYES, IDNO}, IDYES},
        {MB_OK | MB_DEFBUTTON3, MB_ICONEXCLAMATION, {IDOK}, IDOK},  // out of range: first
    };
    for (const Case& c : cases) {
        qs::fw::MessageBoxScript script;
        EXPECT_EQ(AfxMessageBox("x", c.type), c.defaultAnswer) << c.type;
        EXPECT_EQ(script.Last().icon, c.icon) << c.type;
        EXPECT_EQ(script.Last().buttons, c.buttons) << c.type;
    }
}

TEST(MessageBox, ShownOnlyWhileMainWindowVisible) {
    qs::fw::MessageBoxScript script{IDNO, IDNO};
    QWidget main;
    qs::fw::SetMainWindow(&main);
    // Hidden: nothing shown, the default answer comes back.
    EXPECT_EQ(AfxMessageBoxIfVisible("Failed", MB_YESNO), IDYES);
    EXPECT_EQ(script.Count(), 0u);
    main.show();
    EXPECT_EQ(AfxMessageBoxIfVisible("Failed", MB_YESNO), IDNO);
    EXPECT_EQ(script.Count(), 1u);
    qs::fw::SetMainWindow(nullptr);
    EXPECT_FALSE(qs::fw::IsMainWindowVisible());
}

TEST(MessageBox, InnermostScriptAnswersAndResponderSeesTheBox) {
    qs::fw::MessageBoxScript outer{IDCANCEL};
    {
        qs::fw::MessageBoxScript inner;
        inner.SetResponder([](const qs::fw::MessageBoxRecord& box) {
            return box.text.startsWith("Retry") ? IDRETRY : IDOK;
        });
        EXPECT_EQ(AfxMessageBox("Retry the copy?", MB_RETRYCANCEL), IDRETRY);
        EXPECT_EQ(inner.Count(), 1u);
    }
    EXPECT_EQ(AfxMessageBox("Go on?", MB_OKCANCEL), IDCANCEL);
    EXPECT_EQ(outer.Count(), 1u);
}

TEST(ModalScript, HandlerSetsFieldsAndEndsDialog) {
    QDialog dialog;
    dialog.setWindowTitle("Name");
    auto* edit = new QLineEdit(&dialog);
    qs::fw::ModalScript script;
    script.Then([](QDialog& d) {
        d.findChild<QLineEdit*>()->setText("Paid losses");
        d.accept();
    });
    script.Then([](QDialog& d) { d.done(7); });
    script.Then([](QDialog&) {});  // leaves the dialog open

    EXPECT_EQ(qs::fw::RunModal(dialog), IDOK);
    EXPECT_EQ(edit->text(), "Paid losses");
    EXPECT_EQ(qs::fw::RunModal(dialog), 7);
    EXPECT_EQ(qs::fw::RunModal(dialog), IDCANCEL);
    EXPECT_FALSE(dialog.isVisible());
    // No handler left: cancelled, marked.
    EXPECT_EQ(qs::fw::RunModal(dialog), IDCANCEL);

    ASSERT_EQ(script.Dialogs().size(), 4u);
    EXPECT_EQ(script.Dialogs()[0].title, "Name");
    EXPECT_TRUE(script.Dialogs()[1].handled);
    EXPECT_FALSE(script.Dialogs()[2].handled);
    EXPECT_FALSE(script.Dialogs()[3].handled);
    EXPECT_FALSE(script.AllHandled());
}

TEST(ModalScript, RejectIsCancel) {
    QDialog dialog;
    qs::fw::ModalScript script;
    script.Then([](QDialog& d) { d.reject(); });
    EXPECT_EQ(qs::fw::RunModal(dialog), IDCANCEL);
    EXPECT_TRUE(script.AllHandled());
}

}  // namespace
