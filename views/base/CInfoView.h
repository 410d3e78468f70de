#pragma once
// A read-only text view: a text report of the project (loaded whole from the
// text file the project document writes) and, without a document, the
// status (log) window. It shows the text in the system's fixed-pitch font
// without word wrap and prints it with fixed margins on the default printer,
// wrapped to the page. The text keeps "\r\n" line ends as the program writes
// them; the widget shows each as a line break.
#include <QString>

#include "CView.h"
#include "ObjectViewLink.h"

class CPrintInfo;
class QPlainTextEdit;
class QPrinter;

class CInfoView : public CView, public qs::project::ObjectViewLink {
public:
    // The project document finds an open information window by its kind.
    qs::project::ObjectViewKind ViewKind() const override { return qs::project::ObjectViewKind::Info; }
    QSID ViewObjectId() const override { return 0; }
    unsigned short ViewLayer() const override { return 0; }

    // Command ids the view serves or disables.
    enum : UINT {
        ID_FILE_PRINT_MANAGE = 33087,
        ID_RESIZE_WINDOW = 32962,
    };
    // Print margins on every side, twips.
    static constexpr int kPrintMarginTwips = 1000;
    static constexpr UINT kMaxPrintPages = 20;
    enum WordWrapType { WrapNone = 0, WrapToWindow = 1, WrapToTargetDevice = 2 };

    CInfoView();

    // The whole text, line ends as "\r\n".
    QString GetText() const;
    // Replaces the whole text.
    void SetText(const QString& text);
    // Replaces the whole text with a text file's (UTF-8); false, and the
    // view unchanged, when the file cannot be read.
    bool LoadTextFile(const QString& path);
    // Inserts at the end (not undoable) and scrolls there.
    void AppendAtEnd(const QString& text);
    // Empties the view (the edit "clear" command).
    void Clear();
    QPlainTextEdit* Editor() const { return m_edit; }

    void SetWordWrap(WordWrapType mode);
    WordWrapType GetWordWrap() const { return m_wrap; }

    // Print commands (57607, 57608, 33087): the text on the default printer,
    // its first twenty pages, margins of kPrintMarginTwips.
    void OnFilePrint();
    // The print set-up: the default printer, pages 1 to 20. FALSE when no
    // printer can be used.
    virtual BOOL OnPreparePrinting(CPrintInfo* pInfo);
    // Prints on the given printer; the number of pages, -1 when the printer
    // cannot be opened.
    int PrintTo(QPrinter& printer, UINT fromPage = 1, UINT toPage = kMaxPrintPages);

private:
    void MapInfoCommands();

    QPlainTextEdit* m_edit;
    WordWrapType m_wrap = WrapNone;
};
