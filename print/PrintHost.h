#pragma once
// What the printing subsystem needs of the application that hosts it. The
// application object fills these in at start-up; tests set what they drive.
// Unset hooks fall back to the behaviour of an interactive application that
// stores print lists in files and has no graph printing.
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class CFormula;
class CPrintInfo;
class CPrintList;
class CPrintPageState;
class CProjectDoc;
class CView;
class QPainter;
class QPrinter;

namespace qs::print {

// Printing a graph item: the graph view's three hooks and the progress it
// keeps over a page of several graphs. Bound to the graph view by default
// (GraphViewPrinting); tests put stand-ins in its place.
struct GraphItemPrinting {
    // True when the view shows a graph these hooks can print.
    std::function<bool(CView* view)> isGraphView;
    std::function<void(CView* view, QPainter* dc, CPrintInfo* info)> beginPrint;
    std::function<void(CView* view, QPainter* dc, CPrintInfo* info)> printPage;
    std::function<void(CView* view, QPainter* dc, CPrintInfo* info)> endPrint;
    // The job's page state: the objects the page holds already, a new page
    // (the slots, saved top and graphs left on it start afresh), and the end
    // of the graphs' run (a table prints, or the job ends).
    std::function<void(CPrintPageState& state, int objectsOnPage)> syncObjectsOnPage = [](CPrintPageState&, int) {};
    std::function<void(CPrintPageState& state)> newPage = [](CPrintPageState&) {};
    std::function<void(CPrintPageState& state)> forgetProgress = [](CPrintPageState&) {};
};

// The graph view's printing (graphs/).
GraphItemPrinting GraphViewPrinting();

struct PrintHost {
    // The "Working Directory" setting: "default.lst", "PageSetup.def" and
    // "Default.pjb" live there. Empty: the process's working folder.
    QString workingDirectory;
    // Set while print lists are kept in files (no enterprise database
    // manager is loaded).
    bool fileStorage = true;
    // 1 while a person drives the application, 0 under automation.
    std::function<bool()> isInteractive;
    // The application's mode value (2, 3 and 9 disable "Show Only Tables
    // with Data" on the Tables page).
    std::function<int()> applicationMode;
    // The one routine that expands "&[Field]" codes in header, footer and
    // title texts (the state and the object may be null). Unset: the text
    // is printed as written.
    std::function<QString(const QString& text, CPrintInfo* info, CProjectDoc* doc, CFormula* object)>
        expandPrintFields;
    // Readies the printer of a job over doc's objects: false cancels the job.
    // Unset: the default printer without a dialog, or, when no printer is
    // installed, a PDF file the user names (the chooser starts in the
    // project's folder).
    std::function<bool(QPrinter& printer, CProjectDoc* doc, const QString& jobTitle)> preparePrinter;
    // A job has printed: its pages and where they went (a printer's name or
    // a PDF file). Unset: nothing is said.
    std::function<void(int pages, const QString& where)> jobPrinted;
    // The application's printer set-up command.
    std::function<void()> printerSetup;
    // Disables and enables the main window while a list or a batch prints.
    std::function<void(bool enable)> enableMainWindow;
    // The project's Default Page Setup command (the Tables page's "Page
    // Setup Default" sends it).
    std::function<void(CProjectDoc* doc)> defaultPageSetup;
    // The folder the file dialogs start in; the print list and batch
    // dialogs set it to the folder of the file last opened.
    QString lastFileFolder;
    // The projects a batch job prints: an open document whose path equals
    // path (without regard to case), else the file opened without showing
    // it (opened set to true); null when it cannot be opened.
    std::function<CProjectDoc*(const QString& path, bool& opened)> openProjectForBatch;
    // Closes a document the batch run opened.
    std::function<void(CProjectDoc* doc)> closeBatchProject;
    // The project file chooser of the batch job's Files page (several files).
    std::function<bool(QStringList& paths)> chooseProjectFiles;
    // The print lists of the enterprise database (made by createNewPrintList
    // when fileStorage is off). Unset: file lists are made in every mode.
    std::function<std::unique_ptr<CPrintList>(CProjectDoc* doc)> createEnterprisePrintList;
    // The project summary report of "Print File Summary": writes it into
    // path; true when written. Unset: no summary is printed.
    std::function<bool(CProjectDoc* doc, const QString& path)> writeProjectInfo;
    // Graph items of a print list.
    GraphItemPrinting graphs = GraphViewPrinting();
    // The console trace: a scope named after a method's signature text
    // writes its entry line when made and its exit line when dropped; a line
    // may be written under an open scope. Unset: nothing is traced.
    std::function<std::shared_ptr<void>(const char* text)> traceScope;
    std::function<void(const std::shared_ptr<void>& scope, const QString& line)> traceLine;
};

PrintHost& Host();

// Host().workingDirectory joined with a file name.
QString WorkingFile(const QString& fileName);
// The default printer, or, with no printer installed, a PDF file the user
// names in a chooser that starts in the project's folder; false on Cancel.
bool PrepareDefaultPrinter(QPrinter& printer, CProjectDoc* doc, const QString& jobTitle);
bool IsInteractive();

// One traced call (PrintHost::traceScope) for the life of the object.
class TraceScope {
public:
    explicit TraceScope(const char* text);
    void Line(const QString& line) const;

private:
    std::shared_ptr<void> m_scope;
};

}  // namespace qs::print
