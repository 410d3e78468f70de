// Cell notes and footnotes: the dialogs store into the kernel, a refused
// store is reported, and the notes listing for printing has its layout.
#include <gtest/gtest.h>

#include <QHelpEvent>
#include <QPlainTextEdit>
#include <QToolTip>

#include "CDataObject.h"
#include "CEditCellNoteDlg.h"
#include "CPrintInfo.h"
#include "CPrintPageState.h"
#include "CTriangView.h"
#include "MessageBox.h"
#include "ModalScript.h"
#include "SpreadsheetControl.h"
#include "ViewSettings.h"
#include "ViewTestSupport.h"

using qs::test::kPaidLoss;
using qs::test::TestProjectDoc;

namespace {

struct CellNotesTest : qs::test::ViewTest {
    void SetUp() override {
        ViewTest::SetUp();
        OpenTablesAsStored();
    }
    CDataObject* Paid() { return doc.GetProject()->FindDataObject(kPaidLoss, NET); }
    std::string NoteOf(int row, int col) {
        std::string note;
        Paid()->GetNoteInCell(row, col, note);
        return note;
    }
    // The next note dialog gets `text` and OK (or Cancel); its title is kept.
    void AnswerNote(qs::fw::ModalScript& script, const QString& text, bool ok = true, QString* title = nullptr,
                    QString* shown = nullptr) {
        script.Then<CEditCellNoteDlg>([=](CEditCellNoteDlg& dlg) {
            if (title != nullptr) *title = dlg.windowTitle();
            if (shown != nullptr) *shown = dlg.NoteEdit()->toPlainText();
            dlg.NoteEdit()->setPlainText(text);
            if (ok) dlg.OnOK();
            else dlg.OnCancel();
        });
    }
    TestProjectDoc doc;  // 5 x 5 annual triangle: rows 2001.., ages 12, 24, ...
};

TEST_F(CellNotesTest, NotesAreStoredEditedAndRemovedThroughTheDialog) {
    auto view = doc.Open<CTriangView>(kPaidLoss, NET);
    ASSERT_NE(view, nullptr);
    qs::fw::ModalScript script;
    QString title, shown;
    AnswerNote(script, QStringLiteral("Checked\nwith broker"), true, &title);
    // Double-click and menu command both reach the active cell's note.
    view->GetCtrl()->SetActiveCell(2, 3);
    view->RouteCommand(ID_EDIT_CELLNOTE);
    EXPECT_EQ(title, QStringLiteral("Edit Cell Note (2002,36)"));
    EXPECT_EQ(NoteOf(1, 2), "Checked\r\nwith broker");

    // The dialog shows the stored note; Cancel changes nothing.
    AnswerNote(script, QStringLiteral("something else"), false, nullptr, &shown);
    view->EditCellNote(1, 2);
    EXPECT_EQ(shown, QStringLiteral("Checked\nwith broker"));
    EXPECT_EQ(NoteOf(1, 2), "Checked\r\nwith broker");

    // An emptied note is removed; an empty note on a cell without one does nothing.
    qs::fw::MessageBoxScript boxes;
    AnswerNote(script, QString());
    view->EditCellNote(1, 2);
    EXPECT_FALSE(Paid()->DoesCellHaveNote(1, 2));
    AnswerNote(script, QString());
    view->EditCellNote(0, 0);
    EXPECT_FALSE(Paid()->DoesCellHaveNote(0, 0));
    EXPECT_EQ(boxes.Count(), 0u);
    EXPECT_TRUE(script.AllHandled());

    // A note longer than 1024 characters is refused by the dialog and not stored.
    AnswerNote(script, QString(1025, QLatin1Char('n')));
    EXPECT_FALSE(view->EditCellNote(2, 0));
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Last().text, QStringLiteral("Please enter no more than 1024 characters."));
    EXPECT_FALSE(Paid()->DoesCellHaveNote(2, 0));
}

TEST_F(CellNotesTest, TheCalendarLayoutNotesTheCellItShows) {
    g_bCalendarView = 1;
    auto view = doc.Open<CTriangView>(kPaidLoss, NET);
    ASSERT_NE(view, nullptr);
    ASSERT_EQ(view->IsCalendar(), 1);
    qs::fw::ModalScript script;
    QString title;
    AnswerNote(script, QStringLiteral("latest diagonal"), true, &title);
    // The last row's only cell stands in the last column.
    view->GetCtrl()->SetActiveCell(5, 5);
    view->RouteCommand(ID_EDIT_CELLNOTE);
    EXPECT_EQ(title, QStringLiteral("Edit Cell Note (2005,12)"));
    EXPECT_EQ(NoteOf(4, 0), "latest diagonal");
}

TEST_F(CellNotesTest, ANotedCellSaysItsNoteUnderThePointer) {
    ASSERT_EQ(Paid()->SetNoteInCell(1, 2, "Checked with broker"), 0);
    for (int calendar : {0, 1}) {
        g_bCalendarView = calendar;
        auto view = doc.Open<CTriangView>(kPaidLoss, NET);
        ASSERT_NE(view, nullptr);
        view->resize(600, 400);
        view->show();
        qs::ss::SpreadsheetControl* ctrl = view->GetCtrl();
        QWidget* viewport = ctrl->viewport();
        // Row 2002 (grid row 2), age 36: object column 2, grid column 3; in
        // calendar periods the cell stands in the column of its diagonal, 4.
        const int gridCol = calendar ? 4 : 3;
        const auto tipAt = [&](int row, int col) {
            const QPoint pos = ctrl->CellRect(row, col).center();
            QHelpEvent help(QEvent::ToolTip, pos, viewport->mapToGlobal(pos));
            QCoreApplication::sendEvent(viewport, &help);
            return QToolTip::isVisible() ? QToolTip::text() : QString();
        };
        EXPECT_EQ(tipAt(1, 2), QString()) << "calendar " << calendar;
        EXPECT_EQ(tipAt(2, gridCol), QStringLiteral("Checked with broker")) << "calendar " << calendar;
    }
}

TEST_F(CellNotesTest, ANoteTheKernelRefusesIsReportedNotTakenAsSaved) {
    auto view = doc.Open<CTriangView>(kPaidLoss, NET);
    ASSERT_NE(view, nullptr);
    qs::fw::ModalScript script;
    qs::fw::MessageBoxScript boxes;
    AnswerNote(script, QStringLiteral("lost?"));
    // (4, 4) lies beyond the last row's single cell: the kernel refuses it.
    EXPECT_FALSE(view->EditCellNote(4, 4));
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Last().text, QStringLiteral("Error: DO::SetNoteInCell\n"));
    EXPECT_TRUE(Paid()->GetNotes().empty());
}

TEST_F(CellNotesTest, TheFootnoteIsStoredAndMarksTheCaption) {
    auto view = doc.Open<CTriangView>(kPaidLoss, NET);
    ASSERT_NE(view, nullptr);
    QString status;
    qs::views::Settings().statusMessage = [&](const QString& text) { status = text; };
    qs::fw::ModalScript script;
    script.Then<CEditFootnoteDlg>([](CEditFootnoteDlg& dlg) {
        EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Edit Footnote"));
        dlg.FootnoteEdit()->setPlainText(QStringLiteral("Excludes large loss"));
        dlg.OnOK();
    });
    view->RouteCommand(ID_EDIT_FOOTNOTE);
    std::string footnote;
    Paid()->GetFootnoteString(footnote);
    EXPECT_EQ(footnote, "Excludes large loss");
    EXPECT_EQ(view->GetFootnote(), QStringLiteral("Excludes large loss"));
    EXPECT_TRUE(view->GetCaption().contains(QLatin1Char('*')));
    EXPECT_EQ(status, QStringLiteral("(Footnote) Excludes large loss"));
}

TEST_F(CellNotesTest, TheNotesListingForPrinting) {
    QSStringArray rows{"AY 2001", "AY 2002", "AY 2003", "AY 2004", "AY 2005"};
    QSStringArray cols{"5", "12", "24", "36", "48"};
    Paid()->SetCustomLabels(rows, cols, "AY / Age");
    ASSERT_EQ(Paid()->SetNoteInCell(0, 0, "first line\r\n\r\nsecond line\nthird line"), 0);
    ASSERT_EQ(Paid()->SetNoteInCell(1, 1, "one line"), 0);
    auto view = doc.Open<CTriangView>(kPaidLoss, NET);
    ASSERT_NE(view, nullptr);
    CPrintPageState state;
    state.m_strNotes = QStringLiteral("earlier");
    CPrintInfo info;
    info.m_lpUserData = &state;
    EXPECT_TRUE(view->SaveCellNotes(&info));
    const QString heading = QString::fromStdString(Paid()->GetIDName(-1)) + QStringLiteral(" (Net)");
    EXPECT_EQ(state.m_strNotes, QStringLiteral("earlier\r\n\r\n") + heading +
                                    QStringLiteral("\r\n\tAY 2001: 5\tfirst line\r\n\t\tsecond line\r\n\t\tthird line"
                                                   "\r\n\tAY 2002:12\tone line"));
    // A given name replaces the object's; a table without notes adds nothing.
    state.m_strNotes.clear();
    EXPECT_TRUE(view->SaveCellNotes(&info, nullptr, QStringLiteral("Paid")));
    EXPECT_TRUE(state.m_strNotes.startsWith(QStringLiteral("\r\n\r\nPaid (Net)\r\n\t")));
    Paid()->RemoveNoteInCell(0, 0);
    Paid()->RemoveNoteInCell(1, 1);
    state.m_strNotes.clear();
    EXPECT_FALSE(view->SaveCellNotes(&info));
    EXPECT_TRUE(state.m_strNotes.isEmpty());
}

}  // namespace
