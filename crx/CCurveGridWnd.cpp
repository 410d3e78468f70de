#include "CCurveGridWnd.h"

#include <QApplication>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

#include "CCrxApp.h"
#include "CMainFrame.h"
#include "CrxMessages.h"
#include "CrxNumbers.h"
#include "SpreadsheetControl.h"

using qs::ss::SpreadsheetControl;

namespace {

const char* const kHeadings[6] = {"Age\n(X)", "Actual\n(Y)", "Modified\n ", "Exclude\n ", "Incremental\nFitted\nFactors",
                                  "Cumulative\nFitted\nFactors"};
constexpr int kColModified = 3;
constexpr int kColExclude = 4;

}  // namespace

CCurveGridWnd::CCurveGridWnd(QWidget* parent) : QWidget(parent) {
    AttachWidget(this);
    SetControlId(this, 0xE900);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_grid = new SpreadsheetControl(this);
    layout->addWidget(m_grid);
    m_grid->SetMaxCol(6);
    for (int c = 1; c <= 6; ++c) m_grid->SetColHeadingText(c, QString::fromLatin1(kHeadings[c - 1]));
    m_grid->SetHeadingRowHeight(3 * 260);
    m_grid->SetGridSwitch(qs::ss::SSG_AllowEditing, true);
    for (int code : {qs::ss::SSN_Click, qs::ss::SSN_StartEdit, qs::ss::SSN_EndEdit, qs::ss::SSN_KeyDown})
        m_grid->EnableNotify(code, true);
    QObject::connect(m_grid, &SpreadsheetControl::Notified, this,
                     [this](int code, int row, int col, qs::ss::Notification* n) { OnNotified(code, row, col, n); },
                     Qt::DirectConnection);
    MapMessage(MSG_REFRESH_GRID, [this](WPARAM, LPARAM) -> LRESULT {
        Refresh();
        return 1;
    });
    MapMessage(MSG_CURVE_CHANGED, [this](WPARAM, LPARAM) -> LRESULT {
        Refresh();
        return 1;
    });
}

CCurveGridWnd::~CCurveGridWnd() { DetachWidget(); }

int CCurveGridWnd::RowCount(const CTailFactorAnalysis& a, int curve) {
    const double step = a.GetAgeIncrement();
    const double last = a.GetCutoff(curve) + 0.000001;
    int rows = 0;
    if (step > 0 && std::isfinite(step) && std::isfinite(last) && last >= a.GetInitialAge())
        rows = int(std::min<double>(kMaxRows, std::floor((last - a.GetInitialAge()) / step) + 1));
    return std::clamp(std::max(rows, a.GetNumPoints()), 0, kMaxRows);
}

int CCurveGridWnd::Curve() const {
    CMainFrame* frame = CrxApp() ? CrxApp()->MainFrame() : nullptr;
    const LRESULT c = frame ? frame->SendMessage(MSG_GET_CURVE) : -1;
    return c >= 0 && c < kCurveCount ? int(c) : 0;
}

void CCurveGridWnd::Store(const CTailFactorAnalysis& w) {
    CrxApp()->SetWorking(w);
    if (CMainFrame* frame = CrxApp()->MainFrame()) frame->PostMessage(MSG_RECALC);
}

void CCurveGridWnd::Refresh() {
    const int c = Curve();
    const int p = CMainFrame::Precision();
    const CTailFactorAnalysis w = CrxApp()->GetWorking();
    const auto saved = m_grid->Selection();
    const int rows = RowCount(w, c);
    const int n = w.GetNumPoints();

    m_grid->SetRedraw(false);
    m_grid->ClearRange(1, 1, std::max(m_grid->MaxRow(), 1), 6, qs::ss::SSC_All);
    m_grid->SetMaxRow(std::max(rows, 1));
    const QString format = QStringLiteral("0.") + QString(p, '0');
    const QColor yellow = qs::ss::ColorFromRef(0x00FFFF), white = qs::ss::ColorFromRef(0xFFFFFF);
    if (rows > 0) {
        for (int col = 1; col <= 6; ++col) {
            if (col >= 5) m_grid->SetColWidth(col, col, 3000);
            m_grid->SetSelection(1, col, rows, col);
            m_grid->SetNumberFormat(format);
            if (col == kColModified || col == kColExclude) m_grid->SetPattern(0, Qt::black, Qt::black);
            else m_grid->SetPattern(4, yellow, white);
            m_grid->SetBorder(-1, 1, 1, 1, 1, 1, Qt::black, Qt::black, Qt::black, Qt::black, Qt::black);
            if (col == kColExclude) m_grid->SetAlignment(qs::ss::SSH_Center, false, qs::ss::SSV_Center, 0);
        }
        // Cells below the points cannot be edited: they look read-only.
        if (rows > n) {
            m_grid->SetSelection(n + 1, kColModified, rows, kColExclude);
            m_grid->SetPattern(4, yellow, white);
        }
    }
    if (saved.isEmpty()) m_grid->SetSelection(1, 1, 1, 1);
    else m_grid->SetSelection(saved.first().row1, saved.first().col1, saved.first().row2, saved.first().col2);

    for (int r = 1; r <= rows; ++r) {
        const int i = r - 1;
        const double age = w.GetInitialAge() + i * w.GetAgeIncrement();
        m_grid->SetNumber(r, 1, age);
        if (i < n) {
            const double actual = w.GetValue(c, true, i);
            const double modified = w.GetValue(c, false, i);
            if (actual != 0) m_grid->SetNumber(r, 2, actual);
            else m_grid->SetText(r, 2, QString());
            if (modified != 0) m_grid->SetNumber(r, 3, modified);
            else m_grid->SetText(r, 3, QString());
            m_grid->SetText(r, 4, w.GetExclude(c, i) ? QStringLiteral("X") : QString());
        }
    }
    for (int r = rows; r >= 1; --r) {
        const double age = w.GetInitialAge() + (r - 1) * w.GetAgeIncrement();
        m_grid->SetNumber(r, 5, w.GetIncFactor(c, age));
        m_grid->SetNumber(r, 6, w.GetCumFactor(c, age));
    }
    m_grid->SetRedraw(true);
}

void CCurveGridWnd::OnNotified(int code, int row, int col, qs::ss::Notification* n) {
    switch (code) {
    case qs::ss::SSN_Click: OnClick(row, col); break;
    case qs::ss::SSN_StartEdit:
        if (!OnStartEdit(row, col) && n) n->cancel = true;
        break;
    case qs::ss::SSN_EndEdit:
        if (n && !n->cancel) OnEndEdit(row, col, n->text);
        break;
    case qs::ss::SSN_KeyDown:
        if (n && OnKeyDown(row, col, n->key)) n->cancel = true;
        break;
    default: break;
    }
}

void CCurveGridWnd::OnClick(int row, int col) {
    CTailFactorAnalysis w = CrxApp()->GetWorking();
    const int i = row - 1;
    if (col != kColExclude || i < 0 || i >= w.GetNumPoints()) return;
    const int c = Curve();
    if (!w.GetExclude(c, i)) w.SetExclude(c, i, true);
    else if (w.IsValueValid(w.GetEffectiveValue(c, i))) w.SetExclude(c, i, false);
    else return;
    Store(w);
}

bool CCurveGridWnd::OnStartEdit(int row, int col) {
    const int n = CrxApp()->GetWorking().GetNumPoints();
    // The click that came before already toggled an "Exclude" cell; the edit
    // that a double click starts must not toggle it a second time.
    if (col == kColExclude) return false;
    if (col == kColModified && row >= 1 && row <= n) return true;
    QApplication::beep();
    return false;
}

void CCurveGridWnd::OnEndEdit(int row, int col, const QString& text) {
    CTailFactorAnalysis w = CrxApp()->GetWorking();
    const int i = row - 1;
    if (col != kColModified || i < 0 || i >= w.GetNumPoints()) return;
    const int c = Curve();
    const double x = crx::ParseNumber(text);
    w.SetValue(c, false, i, x);
    w.SetExclude(c, i, !w.IsValueValid(x != 0 ? x : w.GetValue(c, true, i)));
    Store(w);
}

bool CCurveGridWnd::OnKeyDown(int row, int col, int key) {
    if (key != Qt::Key_Delete) return false;
    CTailFactorAnalysis w = CrxApp()->GetWorking();
    const int i = row - 1;
    if (i < 0 || i >= w.GetNumPoints()) return false;
    const int c = Curve();
    if (col == kColModified) {
        m_grid->SetText(row, col, QString());
        w.SetValue(c, false, i, 0.0);
        w.SetExclude(c, i, !w.IsValueValid(w.GetValue(c, true, i)));
    } else if (col == kColExclude) {
        if (w.GetExclude(c, i) && !w.IsValueValid(w.GetEffectiveValue(c, i))) return true;
        m_grid->SetText(row, col, QString());
        w.SetExclude(c, i, false);
    } else {
        return false;
    }
    Store(w);
    return true;
}

CTailFactorAnalysis CCurveGridWnd::ReadPasted(CTailFactorAnalysis w, int c) const {
    for (int r = 1; r <= w.GetNumPoints(); ++r) {
        const int i = r - 1;
        QString entry, flag;
        m_grid->GetEntry(r, kColModified, entry);
        m_grid->GetText(r, kColExclude, flag);
        const double x = crx::ParseNumber(entry);
        double v = w.GetValue(c, true, i);
        if (x != 0) {
            w.SetValue(c, false, i, x);
            v = x;
        }
        w.SetExclude(c, i, !w.IsValueValid(v) || flag == QLatin1String("X"));
    }
    return w;
}
