// The frame the project's structural commands run in: which object the user
// means, the guard against the open tail-factor program, the repaint before
// long work and the ways a command reports.
#include "CProjectDoc.h"

#include <QWidget>

#include <ctime>
#include <fstream>

#include "CExhibitView.h"
#include "CMDIFrameWnd.h"
#include "CMethodView.h"
#include "CProject.h"
#include "CScalarView.h"
#include "CTriangView.h"
#include "KernelGlobals.h"
#include "KernelIds.h"
#include "MessageBox.h"
#include "ProjectHost.h"

using qs::project::Host;

int CProjectDoc::GetObjectCategory(QSID id) {
    // A graph id carries its table's kind below the graph flag; it is a graph
    // whatever that table is.
    if (IsGraphID(id)) return kCategoryGraph;
    const int kind = GetIDDOType(id), dataType = GetIDDataType(id);
    if (kind == 5 || kind == 6) return kCategoryScalar;
    if ((kind == 1 || kind == 2) && (dataType == 0 || dataType == 1 || dataType == 7 || dataType == 8))
        return kCategoryInput;
    if (kind == 3 || kind == 4) {
        if (dataType == 1) return kCategoryExhibit;
        if (dataType == 2) return kCategoryMethod;
        if (dataType == 3) return kCategoryReport;
    }
    return kCategoryNone;
}

int CProjectDoc::GetActiveObject() {
    m_nCurrentLayer = 0;
    m_nCurrentObjectId = 0;
    auto* main = dynamic_cast<CMDIFrameWnd*>(qs::fw::MainWindow());
    const CView* view = main ? main->GetActiveView() : nullptr;
    if (view == nullptr) return kCategoryNone;

    int layer = 0;
    QSID id = 0;
    if (Host().navigatorSelection && Host().navigatorSelection(view, layer, id)) {
        m_nCurrentLayer = static_cast<std::uint16_t>(layer);
        m_nCurrentObjectId = id;
        return GetObjectCategory(id);
    }
    const auto* objectView = dynamic_cast<const CObjectView*>(view);
    if (objectView == nullptr) return kCategoryNone;
    int category = kCategoryNone;
    if (dynamic_cast<const CTriangView*>(view)) category = kCategoryInput;
    else if (dynamic_cast<const CExhibitView*>(view)) category = kCategoryExhibit;
    else if (dynamic_cast<const CScalarView*>(view)) category = kCategoryScalar;
    else if (dynamic_cast<const CMethodView*>(view)) {
        const QSID viewId = objectView->GetObjectID();
        const int kind = GetIDDOType(viewId);
        category = GetIDDataType(viewId) == 2 && (kind == 3 || kind == 4) ? kCategoryMethod : kCategoryReport;
    }
    if (category == kCategoryNone) return kCategoryNone;
    m_nCurrentLayer = objectView->GetLayer();
    m_nCurrentObjectId = objectView->GetObjectID();
    return category;
}

bool CProjectDoc::IsTailFactorProgramOpen() const {
    return Host().tailFactorProgramOpen && Host().tailFactorProgramOpen();
}

void CProjectDoc::RedrawMainWindow() {
    if (QWidget* w = qs::fw::MainWindow(); w && w->isVisible()) w->repaint();
}

void CProjectDoc::ReportMessageNoError(const QString& text) {
    AfxMessageBoxIfVisible(text, MB_OK);
    LogMessage(text);
}

void CProjectDoc::ShowMessageIfVisible(const QString& text) { AfxMessageBoxIfVisible(text, MB_OK); }

std::string GetProjectLogFileName(const CProject* project) {
    return project ? project->GetLogFileName() : std::string();
}

void CProjectDoc::LogMessage(const QString& text) {
    if (m_pProject == nullptr || m_pProject->Mode() != RM_DATABASE) return;
    // The project's own log, not the application's: each database project
    // reports to the log its binding named.
    const std::string log = GetProjectLogFileName(m_pProject);
    if (log.empty()) return;
    std::ofstream out(log, std::ios::app);
    if (!out) return;
    char stamp[128] = {};
    const std::time_t now = std::time(nullptr);
    std::strftime(stamp, sizeof stamp, "%X  ", std::localtime(&now));
    out << '\n' << stamp << text.toStdString();
}

void CProjectDoc::ShowMessage(const QString& text) { AfxMessageBox(text, MB_OK); }
