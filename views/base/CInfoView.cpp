#include "CInfoView.h"

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QFontDatabase>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>

#include <algorithm>

#include "CCmdUI.h"
#include "CPrintInfo.h"
#include "CommandIds.h"
#include "MessageBox.h"
#include "ViewSettings.h"

namespace {

QString ToWidgetText(QString text) { return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")); }

}  // namespace

CInfoView::CInfoView() : m_edit(new QPlainTextEdit(this)) {
    m_edit->setReadOnly(true);
    m_edit->setUndoRedoEnabled(false);
    SetWordWrap(WrapNone);
    m_edit->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_edit);
    MapInfoCommands();
}

void CInfoView::MapInfoCommands() {
    for (UINT id : {UINT(ID_FILE_PRINT), UINT(ID_FILE_PRINT_DIRECT), UINT(ID_FILE_PRINT_MANAGE)})
        MapCommand(id, [this] { OnFilePrint(); });
    // A report cannot take a paste, and it has no table to fit a window to.
    for (UINT id : {UINT(ID_EDIT_PASTE), UINT(ID_RESIZE_WINDOW)})
        MapUpdateCommand(id, [](CCmdUI* ui) { ui->Enable(FALSE); });
}

QString CInfoView::GetText() const { return m_edit->toPlainText().replace(u'\n', QStringLiteral("\r\n")); }

void CInfoView::SetText(const QString& text) {
    m_edit->setPlainText(ToWidgetText(text));
    m_edit->moveCursor(QTextCursor::End);
}

bool CInfoView::LoadTextFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) return false;
    SetText(QString::fromUtf8(bytes));
    m_edit->moveCursor(QTextCursor::Start);
    return true;
}

void CInfoView::AppendAtEnd(const QString& text) {
    QTextCursor cursor = m_edit->textCursor();
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(ToWidgetText(text));
    m_edit->setTextCursor(cursor);
    m_edit->ensureCursorVisible();
}

void CInfoView::Clear() { m_edit->clear(); }

void CInfoView::SetWordWrap(WordWrapType mode) {
    m_wrap = mode;
    // Wrapping to the printer happens on the printed copy; the screen only
    // knows wrapped to its width or not at all.
    m_edit->setLineWrapMode(mode == WrapToWindow ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}

BOOL CInfoView::OnPreparePrinting(CPrintInfo* pInfo) {
    if (pInfo == nullptr || pInfo->m_pPrinter == nullptr || !pInfo->m_pPrinter->isValid()) return FALSE;
    pInfo->SetMinPage(1);
    pInfo->SetMaxPage(kMaxPrintPages);
    pInfo->SetFromPage(1);
    pInfo->SetToPage(kMaxPrintPages);
    return TRUE;
}

void CInfoView::OnFilePrint() {
    SetWordWrap(WrapToTargetDevice);
    // No print dialog: the application's default printer.
    QPrinter printer;
    if (auto& prepare = qs::views::Settings().preparePrinter) prepare(printer);
    CPrintInfo info;
    info.m_pPrinter = &printer;
    bool printed = false;
    if (OnPreparePrinting(&info)) printed = PrintTo(printer, info.GetFromPage(), info.GetToPage()) >= 0;
    if (!printed) ::MessageBox(this, QStringLiteral("The report could not be printed: no printer is available."),
                               QString(), MB_OK | MB_ICONSTOP);
    SetWordWrap(WrapNone);
}

int CInfoView::PrintTo(QPrinter& printer, UINT fromPage, UINT toPage) {
    constexpr double kMarginPoints = kPrintMarginTwips / 20.0;
    printer.setPageMargins(QMarginsF(kMarginPoints, kMarginPoints, kMarginPoints, kMarginPoints), QPageLayout::Point);
    const QSizeF page = printer.pageLayout().paintRectPixels(printer.resolution()).size();

    // A copy of the text laid out for the printer: wrapped at the page's width
    // in the view's fixed-pitch font, paginated at its height.
    QTextDocument doc;
    doc.documentLayout()->setPaintDevice(&printer);
    doc.setDefaultFont(m_edit->font());
    QTextOption option = doc.defaultTextOption();
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    doc.setDefaultTextOption(option);
    doc.setDocumentMargin(0);
    doc.setPlainText(m_edit->toPlainText());
    doc.setPageSize(page);

    QPainter painter;
    if (!painter.begin(&printer)) return -1;
    const int last = std::min(int(toPage), doc.pageCount());
    int pages = 0;
    for (int p = std::max(1, int(fromPage)); p <= last; ++p) {
        if (pages > 0) printer.newPage();
        painter.save();
        const QRectF slice(0, (p - 1) * page.height(), page.width(), page.height());
        painter.translate(0, -slice.top());
        doc.drawContents(&painter, slice);
        painter.restore();
        ++pages;
    }
    painter.end();
    return pages;
}
