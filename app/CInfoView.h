#pragma once
// A read-only text view: the project's information text and, without a
// document, the status (log) window. The text keeps "\r\n" line ends as the
// program writes them; the widget shows each as a line break.
#include "CView.h"

class QPlainTextEdit;

class CInfoView : public CView {
public:
    CInfoView();

    // The whole text, line ends as "\r\n".
    QString GetText() const;
    void SetText(const QString& text);
    // Inserts at the end (not undoable) and scrolls there.
    void AppendAtEnd(const QString& text);
    // Empties the view (the edit "clear" command).
    void Clear();
    QPlainTextEdit* Editor() const { return m_edit; }

private:
    QPlainTextEdit* m_edit;
};
