// The exhibit view's tail-factor analysis commands: New builds an analysis
// from one selected row, Edit opens the exhibit's own, Delete removes it.
// Both hand the analysis to the tail program through the application's one
// connection (TailFactorLink) with this view's window for the answers:
// "TF_REFRESH" 1 reads the analysis back into the exhibit, 2 discards it,
// and "TF_GET_PRECISION" is answered with the exhibit's decimals.
#include "CExhibitView.h"

#include <QApplication>

#include <atomic>

#include "CCmdUI.h"
#include "CDataObject.h"
#include "CDocument.h"
#include "CExhibit.h"
#include "CFrameWnd.h"
#include "CProject.h"
#include "CTailFactorAnalysis.h"
#include "CWinApp.h"
#include "MessageBox.h"
#include "RemoteWindow.h"
#include "SpreadsheetControl.h"
#include "TailFactorLink.h"
#include "ViewSettings.h"

using namespace qs::ss;

namespace {

constexpr int kFrameResizeCommand = 32962;

UINT TfRefreshMessage() {
    static const UINT message = RegisterWindowMessage("TF_REFRESH");
    return message;
}
UINT TfGetPrecisionMessage() {
    static const UINT message = RegisterWindowMessage("TF_GET_PRECISION");
    return message;
}

// Row labels of the statistics that a new analysis cannot start from.
bool IsStatisticsLabel(const QString& text) {
    for (const char* label : {"Slope", "Y Intercept", "R squared", "Linear Trend:", "Slope %", "Exponential Curve:",
                              "Cumulative", "Ratio to Ultimate"})
        if (text.compare(QLatin1String(label), Qt::CaseInsensitive) == 0) return true;
    return false;
}

void ShowLoading(const QString& text) {
    if (auto& status = qs::views::Settings().statusMessage) status(text);
    if (CWnd* main = AfxGetMainWnd()) main->SendMessage(WM_USER + 2);
}

}  // namespace

void CExhibitView::MapTailCommands() {
    MapCommand(ID_TAILFACTOR_NEW, [this] { OnTailFactorNew(); });
    MapCommand(ID_TAILFACTOR_EDIT, [this] { OnTailFactorEdit(); });
    MapCommand(ID_TAILFACTOR_DELETE, [this] { OnTailFactorDelete(); });
    auto editable = [this](CCmdUI* ui) { ui->Enable(m_layout.crx != nullptr && TailFactorLink::Shared().IsAvailable()); };
    MapUpdateCommand(ID_TAILFACTOR_EDIT, editable);
    MapUpdateCommand(ID_TAILFACTOR_DELETE, editable);
    MapUpdateCommand(ID_TAILFACTOR_NEW, [this](CCmdUI* ui) {
        bool on = false;
        SpreadsheetControl* ctrl = GetCtrl();
        int r1 = 0, c1 = 0, r2 = 0, c2 = 0;
        if (ShowSDF() && m_pExhibit != nullptr && m_pExhibit->HasSDF() && ctrl != nullptr &&
            ctrl->GetSelection(0, r1, c1, r2, c2) == SS_OK) {
            QString text;
            ctrl->GetText(r1, 1, text);
            on = !text.isEmpty() && !IsStatisticsLabel(text);
        }
        ui->Enable(on);
    });
    MapMessage(TfRefreshMessage(), [this](WPARAM w, LPARAM l) { return OnTFRefresh(w, l); });
    MapMessage(TfGetPrecisionMessage(), [this](WPARAM w, LPARAM l) { return OnTFGetPrecision(w, l); });
}

qs::automation::WindowHandle CExhibitView::TailWindow() {
    if (!m_pTailWindow) {
        // The tail program reaches this view through an object of its own on
        // the bus; a view closing takes it away, which the program notices.
        static std::atomic<int> serial{0};
        m_pTailWindow = std::make_unique<qs::automation::RemoteWindow>(
            [this](unsigned m, std::uintptr_t w, std::intptr_t l) { return SendMessage(m, w, l); },
            [this](unsigned m, std::uintptr_t w, std::intptr_t l) { return PostMessage(m, w, l) != FALSE; });
        if (!m_pTailWindow->Export(QStringLiteral("/org/quillstone/windows/exhibit%1").arg(++serial))) {
            m_pTailWindow.reset();
            return {};
        }
    }
    return m_pTailWindow->Handle();
}

bool CExhibitView::KeepOnMDIDestroy() {
    if (!TailFactorLink::Shared().IsOpenFor(this)) return false;
    AfxMessageBox(QString::fromLatin1(kTailOpenOnClose), MB_OK);
    return true;
}

void CExhibitView::ReleaseTailFactorServer() {
    TailFactorLink::Shared().Release(this);
    m_pTailWindow.reset();
}

int CExhibitView::ConnectTailFactorServer(HRESULT* hr, QString* error) {
    TailFactorLink& link = TailFactorLink::Shared();
    switch (link.Open(this, hr, error)) {
    case TailFactorLink::Connect::Connected: return kTailConnected;
    case TailFactorLink::Connect::AlreadyOpen:
        if (AfxMessageBox(QStringLiteral("Unable to perform the requested operation.  Tail Factor\nAnalysis is already "
                                         "open for an exhibit.  Would you\nlike to go to it now?"),
                          MB_YESNO) == IDYES)
            link.Display();
        return kTailAlreadyOpen;
    case TailFactorLink::Connect::Failed: break;
    }
    return kTailFailed;
}

void CExhibitView::SendTailAnalysis(const CTailFactorAnalysis& analysis) {
    QString error;
    const auto window = TailWindow();
    if (window.IsNull()) error = QStringLiteral("this window cannot be reached on the session bus");
    if (window.IsNull() || !TailFactorLink::Shared().Send(analysis, window, &error)) {
        // The connection is gone with the failure, so a later New or Edit
        // starts afresh instead of being told an analysis is open.
        TailFactorLink::Shared().Release(this);
        AfxMessageBox(TailFactorLink::FailureText(E_FAIL, error), MB_OK | MB_ICONEXCLAMATION);
    }
}

void CExhibitView::OnTailFactorEdit() {
    ShowLoading(QStringLiteral("Loading Duvi Rozire Vididaze Module"));
    if (m_layout.crx == nullptr) return;
    HRESULT hr = S_OK;
    QString error;
    const int result = ConnectTailFactorServer(&hr, &error);
    if (result == kTailConnected) SendTailAnalysis(*m_layout.crx);
    else if (result == kTailFailed) AfxMessageBox(TailFactorLink::FailureText(hr, error), MB_OK | MB_ICONEXCLAMATION);
}

void CExhibitView::OnTailFactorNew() {
    ShowLoading(QStringLiteral("Loading Duvi Rozire Vididaze Module."));
    SpreadsheetControl* ctrl = GetCtrl();
    int r1 = 0, c1 = 0, r2 = 0, c2 = 0;
    if (ctrl == nullptr || ctrl->GetSelection(0, r1, c1, r2, c2) != SS_OK || c1 != 1 || r1 != r2) {
        AfxMessageBox(QStringLiteral("Please select one row of data."));
        return;
    }
    HRESULT hr = S_OK;
    QString error;
    const int result = ConnectTailFactorServer(&hr, &error);
    if (result == kTailAlreadyOpen) return;
    if (result == kTailFailed) {
        AfxMessageBox(TailFactorLink::FailureText(hr, error), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    CProject* project = GetProject();
    std::uint16_t generation = 0, numExp = 0, firstYear = 0, firstInterval = 0, numDev = 0, firstDevAge = 0;
    PRDLENGTH expLength{}, devLength{};
    if (project == nullptr || m_layout.factors == nullptr ||
        project->GetInfoProject(generation, numExp, expLength, firstYear, firstInterval, numDev, devLength,
                                firstDevAge) != qsk::kOk) {
        TailFactorLink::Shared().Release(this);
        AfxMessageBox(QStringLiteral("Error: CProject::GetInfoProject\n"));
        return;
    }
    CTailFactorAnalysis analysis(double(firstDevAge) / 12.0, double(devLength) / 12.0);
    std::uint16_t rows = 0, cols = 0;
    m_layout.factors->GetMaxRowsCols(rows, cols);
    analysis.SetNumPoints(std::max(0, cols - 1));
    for (int c = 2; c <= cols; ++c) {
        double value = 0;
        ctrl->GetNumber(r1, c, value);
        for (int curve = 0; curve < 3; ++curve) analysis.SetValue(curve, true, c - 2, value);
    }
    SendTailAnalysis(analysis);
}

void CExhibitView::OnTailFactorDelete() {
    const QString question =
        FileMode() ? QStringLiteral("Are you sure you want to delete the\nCRX for this exhibit?")
                   : QStringLiteral("Are you sure you want to delete the CRX for this exhibit?\nThis action cannot be "
                                    "undone. Do you want to continue?");
    if (AfxMessageBox(question, MB_YESNO) != IDYES || m_pExhibit == nullptr) return;
    if (m_pExhibit->DeleteCRXObject() == 0) {
        AfxMessageBox(QStringLiteral("Error: CExhibit::DeleteCRXObject\n"));
        return;
    }
    // The analysis is gone: nothing may reach it before the views lay their
    // rows out again.
    m_layout.crx = nullptr;
    if (CDocument* doc = GetDocument()) doc->UpdateAllViews(nullptr, 1, nullptr);
    if (FileMode())
        if (CProject* project = GetProject()) project->SetModifiedFlag(true);
    if (CFrameWnd* frame = GetParentFrame()) frame->PostMessage(WM_COMMAND, kFrameResizeCommand);
}

// The analysis handed back now decides the last selected factor, so the mark
// of a hand-adjusted cutoff there goes, with its border, when the user was
// working in the Selected row.
void CExhibitView::ClearAdjustedCutoffMark() {
    SpreadsheetControl* ctrl = GetCtrl();
    if (ctrl == nullptr || m_layout.sdf == nullptr || m_layout.factors == nullptr || m_layout.firstSelectedRow <= 0) return;
    int r1 = 0, c1 = 0, r2 = 0, c2 = 0;
    if (ctrl->GetSelection(0, r1, c1, r2, c2) != SS_OK || r1 != m_layout.firstSelectedRow) return;
    std::uint16_t rows = 0, cols = 0;
    m_layout.factors->GetMaxRowsCols(rows, cols);
    if (cols < 1 || !m_layout.sdf->GetAdjCutoffInCell(0, cols - 1)) return;
    m_layout.sdf->SetCellHasNoAdjCutoff(0, cols - 1);
    CObjectView::ResetCellBorder(GetHost(), m_layout.firstSelectedRow, cols + 1);
}

LRESULT CExhibitView::OnTFRefresh(WPARAM wParam, LPARAM) {
    if (CWnd* main = AfxGetMainWnd()) main->ShowWindow(SW_SHOW);
    if (wParam == 1 && m_pExhibit != nullptr) {
        bool dirty = false;
        QString error;
        CTailFactorAnalysis back;
        // Read first: the exhibit gets an analysis only from a whole read,
        // so a failed one leaves it with what it had (or none).
        if (!TailFactorLink::Shared().ReadBack(&back, &dirty, &error)) {
            AfxMessageBox(QStringLiteral("The tail-factor analysis could not be read back: %1").arg(error),
                          MB_OK | MB_ICONEXCLAMATION);
        } else {
            if (m_layout.crx == nullptr) m_pExhibit->InitCRXObject();
            // The layout takes the analysis when the rows are laid out again below.
            CTailFactorAnalysis* crx = nullptr;
            m_pExhibit->GetCRXObject(crx);
            if (crx == nullptr) {
                // The connection stays: the user can Apply again.
                AfxMessageBox(QStringLiteral("Error: CExhibit::GetCRXObject\n"));
                return 0;
            }
            *crx = back;
            const QString longName = QString::fromStdString(m_pExhibit->GetIDLongName());
            const QString shortName = QString::fromStdString(m_pExhibit->GetIDShortName());
            crx->SetIDLongName(longName.isEmpty() ? std::string() : ("CRX " + longName).toStdString());
            crx->SetIDShortName(shortName.isEmpty() ? std::string() : ("CRX " + shortName).toStdString());
            crx->SetDataDirty(dirty ? 1 : 0);
            ClearAdjustedCutoffMark();
            if (CProject* project = GetProject()) project->SetModifiedFlag(true);
            if (CDocument* doc = GetDocument()) doc->UpdateAllViews(this, 1, nullptr);
            // The curves' rows come or go: lay the rows out again before the values.
            if (OnFormat(nullptr)) OnUpdateData(FALSE);
            if (CFrameWnd* frame = GetParentFrame()) frame->PostMessage(WM_COMMAND, kFrameResizeCommand);
        }
    }
    ReleaseTailFactorServer();
    if (CWnd* main = AfxGetMainWnd()) main->SetForegroundWindow();
    return 0;
}

LRESULT CExhibitView::OnTFGetPrecision(WPARAM, LPARAM) {
    short decimals = 0;
    if (m_pExhibit != nullptr) m_pExhibit->GetDecimals(decimals);
    return decimals;
}
