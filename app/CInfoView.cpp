#include "CInfoView.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>
#include <QVBoxLayout>

namespace {

QString ToWidgetText(QString text) { return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")); }

}  // namespace

CInfoView::CInfoView() : m_edit(new QPlainTextEdit(this)) {
    m_edit->setReadOnly(true);
    m_edit->setUndoRedoEnabled(false);
    m_edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_edit);
}

QString CInfoView::GetText() const {
    return m_edit->toPlainText().replace(u'\n', QStringLiteral("\r\n"));
}

void CInfoView::SetText(const QString& text) {
    m_edit->setPlainText(ToWidgetText(text));
    m_edit->moveCursor(QTextCursor::End);
}

void CInfoView::AppendAtEnd(const QString& text) {
    QTextCursor cursor = m_edit->textCursor();
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(ToWidgetText(text));
    m_edit->setTextCursor(cursor);
    m_edit->ensureCursorVisible();
}

void CInfoView::Clear() { m_edit->clear(); }
