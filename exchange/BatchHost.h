#pragma once
// What a batch import or export run needs of the program around it. The
// application fills this in for its commands; tests set what they drive and
// collect the status lines. Unset hooks do without: no status window, no
// busy window, no navigator, no main window to redraw.
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class CDocTemplate;
class CProjectDoc;
class CWnd;

namespace qs::exchange {

// The busy window of a run: polled for Cancel between files; its progress
// bar serves the kernel call of one file.
class BatchBusy {
public:
    virtual ~BatchBusy() = default;
    // True once after the user pressed the window's Cancel button.
    virtual bool CheckCancel() = 0;
    virtual void SetPosLower() = 0;
    virtual void SetPosUpper() = 0;
    // The main frame's progress reports go to this window's bar while a
    // kernel call runs.
    virtual void RegisterProgress() = 0;
    virtual void UnregisterProgress() = 0;
};

struct BatchHost {
    // The owner of the run's dialogs (null: none).
    CWnd* mainWindow = nullptr;
    // The project documents' template: open documents are found among its
    // documents, targets are opened through it without a window.
    CDocTemplate* projectTemplate = nullptr;

    // Shows the pending status text and closes any busy window left up.
    std::function<void()> flushStatus;
    // The status window: a new log under a title (false: none could be
    // had), and one line.
    std::function<bool(const QString& title)> openStatusWindow;
    std::function<void(const QString& text)> writeStatus;
    // The status bar's text.
    std::function<void(const QString& text)> setStatusMessage;
    // The busy window (caption, whether Cancel shows); null when it cannot
    // be made, which stops the run.
    std::function<std::unique_ptr<BatchBusy>(const QString& caption, bool showCancel)> openBusy;
    // Redraws the main window at once, so the status window is current.
    std::function<void()> redrawMainWindow;
    // Opens a project file for editing, as File Open does.
    std::function<void(const QString& path)> openForEditing;
    // The main frame's active project document, null when none.
    std::function<CProjectDoc*()> activeDocument;
    // The project-file chooser for export sources ("Export file(s)",
    // "Export", several files); false on Cancel.
    std::function<bool(QStringList& paths)> chooseExportSources;
    // Selects an open project in the navigator; false when that failed.
    std::function<bool(CProjectDoc* doc)> selectProjectItem;
    // Runs File Save As on a document (it may stay unnamed).
    std::function<void(CProjectDoc* doc)> saveDocumentAs;
    // The predecessor conversion's options dialog; true on OK.
    std::function<bool()> conversionOptions;
    // The program's flag for a run in progress (its file choosers start in
    // "Files Path").
    std::function<void(bool running)> setBatchRunning;

    // 1 while projects live in files, 0 in database mode (profiles).
    int fileProjects = 1;
    // Rename dialogs start in filesPath while useFilesPath, else in the
    // folder of the project file last opened or saved.
    QString filesPath;
    bool useFilesPath = true;
    QString lastProjectFolder;
};

}  // namespace qs::exchange
