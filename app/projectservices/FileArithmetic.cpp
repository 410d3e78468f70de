// Adding and subtracting other project files into the open project, with a
// running log in the status window.
#include <QFileInfo>

#include "CProject.h"
#include "CProjectDoc.h"
#include "KernelTypes.h"
#include "ProjectFileNames.h"
#include "WaitCursor.h"
#include "frames/StatusWindow.h"
#include "projectservices/ProjectServices.h"

namespace qs::app {

namespace {

struct MatchText {
    std::uint32_t bit;
    const char* text;
};

// Errors in the order they are tested; the first one found is reported.
constexpr MatchText kMatchErrors[] = {
    {MP_LAYERS, "\r\n Error: Different number of layers"},
    {MP_EXP_LENGTH, "\r\n Error: Different exposure length"},
    {MP_DEV_LENGTH, "\r\n Error: Different development length"},
    {MP_EXP_DATES, "\r\n Erroe: Different exposure dates"},
    {MP_DEV_DATES, "\r\n Error: Different development dates"},
    {MP_FIRST_DEV, "\r\n Error: Different first development"},
    {MP_FIRST_EXP, "\r\n Error: Different first exposure period"},
    {MP_INTERVAL, "\r\n Error: Different interval first exposure"},
    {MP_STRUCTURE, "\r\n Error: Different structures"},
    {MP_UNKNOWN, "\r\n Error: Fail unknown"},
};
constexpr MatchText kMatchWarnings[] = {
    {MP_OFFSET_WARN, " Warning: Different exposure periods, data will be offset to match exposure periods"},
    {MP_NUM_EXP_WARN, " Warning: Different number of exposure periods, possible loss of data"},
    {MP_DEV_PERIODS_WARN, " Warning: Different development periods, possible loss of data"},
};

// The project a run works with: an open document used in place, or one
// opened for the run and closed after it.
struct Operand {
    CProjectDoc* doc = nullptr;
    std::unique_ptr<CProjectDoc> owned;
    bool alreadyOpen = false;
};

Operand OpenProjectForOperation(const QString& path) {
    Operand op;
    if (ServicesHost().findOpenProject) op.doc = ServicesHost().findOpenProject(path);
    if (op.doc != nullptr) {
        op.alreadyOpen = true;
        op.doc->CloseObjectViews(FALSE);
        return op;
    }
    StatusWindowWrite(QStringLiteral(" Opening file ") + path);
    op.owned = OpenProjectWithoutWindow(path);
    op.doc = op.owned.get();
    return op;
}

bool SamePath(const QString& a, const QString& b) {
    return !a.isEmpty() && !b.isEmpty() && QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath();
}

// Writes the changed project back to its own file. A project that has no
// file yet, is read-only or is of an older generation stays changed in
// memory: the user saves it with Save As.
bool SaveChangedProject(CProjectDoc& doc, bool& saved) {
    saved = false;
    const QString path = doc.GetPathName();
    if (path.isEmpty() || doc.IsReadOnly() || qs::project::ProjectExtension(path) != QLatin1String(".QS5")) return true;
    StatusWindowWrite(QStringLiteral(" Saving file ") + path);
    if (!doc.OnSaveDocument(path)) return false;
    doc.SetModifiedFlag(FALSE);
    saved = true;
    return true;
}

}  // namespace

int CheckStructureMatch(const CProject& project, const CProject& other, QString& text) {
    text.clear();
    const std::uint32_t bits = project.MatchProject(other);
    for (const MatchText& e : kMatchErrors)
        if (bits & e.bit) {
            text = QString::fromUtf8(e.text);
            return 1;
        }
    for (const MatchText& w : kMatchWarnings)
        if (bits & w.bit) text += QString::fromUtf8(w.text);
    return 0;
}

void ApplyFileArithmetic(CProjectDoc& doc, int operation) {
    const QString title = doc.GetTitle();
    const QString verb = operation == OP_ADD ? QStringLiteral("Add") : QStringLiteral("Subtract");
    const QString chooserTitle = (operation == OP_ADD ? QStringLiteral("Add to ") : QStringLiteral("Subtract from ")) +
                                 title + QStringLiteral("...(multiple selections accepted)");
    QStringList paths;
    if (!ServicesHost().chooseProjectFiles || !ServicesHost().chooseProjectFiles(chooserTitle, verb, paths) ||
        paths.isEmpty())
        return;
    CWaitCursor wait;
    if (!StatusWindowOpen(title + QStringLiteral(" Status"))) return;
    bool anyError = false;
    bool unsaved = false;  // changes only in memory: the user saves them
    for (const QString& path : paths) {
        if (SamePath(path, doc.GetPathName())) {
            StatusWindowWrite(QStringLiteral("\r\n Error: A file cannot be added to or subtracted from itself: ") + path);
            anyError = true;
            continue;
        }
        Operand op = OpenProjectForOperation(path);
        if (op.doc == nullptr || op.doc->GetProject() == nullptr) {
            StatusWindowWrite(QStringLiteral("\r\n Error: Open or create file failed!"));
            anyError = true;
            break;
        }
        StatusWindowWrite(QStringLiteral(" Checking structure: ") + op.doc->GetTitle());
        QString text;
        bool ok = false;
        if (CheckStructureMatch(*doc.GetProject(), *op.doc->GetProject(), text) != 0) {
            StatusWindowWrite(text);
        } else {
            if (!text.isEmpty()) StatusWindowWrite(text);
            StatusWindowWrite(QStringLiteral(" ") + title + QStringLiteral(": ") + verb + QStringLiteral(" ") +
                              op.doc->GetTitle());
            // The open windows of the project hear of the new values from the kernel.
            ok = doc.GetProject()->ProjectMath(*op.doc->GetProject(), operation) == 0;
        }
        if (op.alreadyOpen) op.doc->ReopenObjectViews();
        if (ok) {
            doc.SetModifiedFlag(TRUE);
            bool saved = false;
            if (!SaveChangedProject(doc, saved)) {
                StatusWindowWrite(QStringLiteral("\r\n Error: Save Document failed!"));
                ok = false;
            }
            unsaved = unsaved || !saved;
        }
        if (op.owned) {
            // The source is only read: it is closed without being written.
            StatusWindowWrite(QStringLiteral(" Closing file ") + path);
            op.owned.reset();
        }
        if (ok) {
            StatusWindowWrite(QStringLiteral("\r\n Operation completed successfully."));
        } else {
            StatusWindowWrite(QStringLiteral("\r\n Operation unsuccessful. Check that file structures match."));
            anyError = true;
        }
    }
    QString closing = QStringLiteral(" ------------------------------------\r\n Finished.....No more files left to process.\r\n");
    // The advice is for changes that are not on disk yet; a project saved in
    // place after each file needs none.
    if (!anyError && unsaved)
        closing += QStringLiteral(" Consider using 'File Save As' to save this file with a different name.\r\n");
    StatusWindowWrite(closing);
    if (ServicesHost().refreshNavigator) ServicesHost().refreshNavigator();
}

}  // namespace qs::app
