// The project's text reports: the kernel writes them into a text file in the
// working directory, and the file is appended to the status window.
#include <QFile>
#include <QFileInfo>
#include <QMdiSubWindow>

#include <cerrno>
#include <cstring>

#include "CInfoView.h"
#include "CMDIChildWnd.h"
#include "CProject.h"
#include "CProjectDoc.h"
#include "KernelTypes.h"
#include "MessageBox.h"
#include "ProjectHost.h"
#include "WaitCursor.h"
#include "frames/StatusWindow.h"
#include "projectservices/ProjectServices.h"

namespace qs::app {

namespace {

QString WorkingFile(const char* name) {
    return qs::project::Host().workingDirectory + QLatin1Char('/') + QLatin1String(name);
}

// The framework's message for a file it could not create or open.
void ReportFileError(const QString& path, int error) {
    QString why = error != 0 ? QString::fromLocal8Bit(std::strerror(error)) : QString();
    AfxMessageBox(QStringLiteral("Unable to access the file %1.").arg(QFileInfo(path).absoluteFilePath()) +
                      (why.isEmpty() ? QString() : QStringLiteral("\n") + why),
                  MB_OK | MB_ICONEXCLAMATION);
}

// Closes a C file on every road out.
struct FileCloser {
    void operator()(std::FILE* f) const {
        if (f) std::fclose(f);
    }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

FilePtr CreateTextFile(const QString& path) {
    if (qs::project::Host().workingDirectory.isEmpty()) {
        ReportFileError(path, ENOENT);
        return nullptr;
    }
    FilePtr file(std::fopen(QFile::encodeName(path).constData(), "w"));
    if (!file) ReportFileError(path, errno);
    return file;
}

const char* ReportTitleSuffix(int kind) {
    switch (kind) {
    case INFO_SUMMARY: return " Summary...";
    case INFO_EXHIBITS: return " Exhibit formulas";
    case INFO_METHODS: return " Method formulas";
    default: return " Report formulas";
    }
}

}  // namespace

QString ProjectInfoPath() { return WorkingFile("PrjInfo.txt"); }
QString CompareReportPath() { return WorkingFile("CmpPrj.txt"); }

bool WriteProjectInfo(CProjectDoc& doc, const QString& path, int kind) {
    CWaitCursor wait;
    FilePtr file = CreateTextFile(path);
    if (!file) return false;
    const QSSTATUS status = doc.GetProject()->DumpStruct(file.get(), kind);
    if (status != 0) doc.ReportMessage(QStringLiteral("Error: CProject::DumpStruct\n"));
    return status == 0;
}

bool LoadTextFileIntoView(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        ReportFileError(path, file.error() == QFileDevice::OpenError ? ENOENT : 0);
        return false;
    }
    // Text mode has made every "\r\n" a "\n"; each line end becomes "\r\n".
    QString text = QString::fromUtf8(file.readAll());
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    CInfoView* view = StatusWindowView();
    if (view == nullptr) return false;
    view->AppendAtEnd(text);
    if (CMDIChildWnd* frame = StatusWindowFrame())
        if (QMdiSubWindow* sub = frame->GetSubWindow(); sub && sub->isMinimized()) sub->showNormal();
    return true;
}

bool CompareWithProject(CProjectDoc& doc, const CProject& other, std::FILE* file) {
    CWaitCursor wait;
    const QSSTATUS status = doc.GetProject()->CompProject(other, file);
    if (status != 0) doc.ReportMessage(QStringLiteral("Error: CProject::CompProject\n"));
    return status == 0;
}

void RunProjectReport(CProjectDoc& doc, int kind) {
    const QString path = ProjectInfoPath();
    if (!WriteProjectInfo(doc, path, kind)) return;
    if (!StatusWindowOpen(doc.GetTitle() + QLatin1String(ReportTitleSuffix(kind)))) return;
    LoadTextFileIntoView(path);
}

void OnCompareProjects(CProjectDoc& doc) {
    QStringList paths;
    const QString title = QStringLiteral("Compare ") + doc.GetTitle() + QStringLiteral(" to...(multiple selection accepted)");
    if (!ServicesHost().chooseProjectFiles || !ServicesHost().chooseProjectFiles(title, QStringLiteral("Compare"), paths))
        return;
    if (paths.isEmpty()) return;
    const QString reportPath = CompareReportPath();
    FilePtr report = CreateTextFile(reportPath);
    if (!report) return;
    if (!StatusWindowOpen(doc.GetTitle() + QStringLiteral("  Compare..."))) return;
    const QString ownPath = QFileInfo(doc.GetPathName()).absoluteFilePath();
    for (const QString& path : paths) {
        StatusWindowWrite(QStringLiteral("\r\n Opening file ") + path);
        if (!doc.GetPathName().isEmpty() && QFileInfo(path).absoluteFilePath().compare(ownPath, Qt::CaseInsensitive) == 0) {
            StatusWindowWrite(QStringLiteral("\tWhy compare the file with itself?"));
            continue;
        }
        // A file open in the program is compared as it is: opening it a
        // second time would only find it locked by ourselves.
        CProjectDoc* open = ServicesHost().findOpenProject ? ServicesHost().findOpenProject(path) : nullptr;
        std::unique_ptr<CProjectDoc> temporary;
        if (open == nullptr) temporary = OpenProjectWithoutWindow(path);
        CProjectDoc* other = open ? open : temporary.get();
        if (other == nullptr || other->GetProject() == nullptr) {
            StatusWindowWrite(QStringLiteral(" Error: Unable to open file ") + path);
            const QString failed = QStringLiteral(" Comparison did not complete normally for ") + path;
            StatusWindowWrite(failed);
            AfxMessageBoxIfVisible(failed);
            continue;
        }
        StatusWindowWrite(QStringLiteral(" Comparing ") + doc.GetTitle() + QStringLiteral(" to ") + other->GetTitle());
        if (CompareWithProject(doc, *other->GetProject(), report.get()))
            StatusWindowWrite(QStringLiteral(" Comparison to ") + path + QStringLiteral(" completed successfully."));
        else
            StatusWindowWrite(QStringLiteral(" An error occured during compare of ") + path);
        if (temporary) {
            StatusWindowWrite(QStringLiteral(" Closing file ") + path);
            temporary.reset();
        }
    }
    StatusWindowWrite(QStringLiteral("\r\n "));
    report.reset();
    LoadTextFileIntoView(reportPath);
}

}  // namespace qs::app
