#include "CCurveGridBar.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "CCrxApp.h"
#include "CGridFrame.h"
#include "CMainFrame.h"
#include "CrxDialogs.h"
#include "CrxMessages.h"
#include "CrxNumbers.h"
#include "MessageBox.h"

namespace {

enum : int {
    IDC_A = 1008, IDC_B = 1009, IDC_C = 1010, IDC_RSQUARED = 1006, IDC_CUTOFF = 1014, IDC_FORMULA = 1030,
    IDC_SET_C = 1019, IDC_SET_CUTOFF = 1017, IDC_RESET = 1027, IDC_APPLY = 1028, IDC_CANCEL = 1029,
    IDC_TABS = 1002,
};

void PostToMain(UINT message) {
    if (CMainFrame* frame = CrxApp()->MainFrame()) frame->PostMessage(message);
}

}  // namespace

QString CurveFormulaText(int curve, bool fitNegative) {
    const QString sign = fitNegative ? QStringLiteral("&minus;") : QStringLiteral("+");
    switch (curve) {
    case 0: return QStringLiteral("y = 1 %1 e<sup>a</sup> (x + c)<sup>&minus;b</sup>").arg(sign);
    case 1: return QStringLiteral("y = 1 %1 e<sup>(a + b x)</sup>").arg(sign);
    default:
        return fitNegative ? QStringLiteral("y = 1 &minus; exp(&minus;e<sup>a</sup> (x + c)<sup>b</sup>)")
                           : QStringLiteral("y = 1 / (1 &minus; exp(&minus;e<sup>a</sup> (x + c)<sup>b</sup>))");
    }
}

CFormulaPanel::CFormulaPanel(int curve, QWidget* parent) : QWidget(parent), m_curve(curve) {
    AttachWidget(this);
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("FORMULA:")), 0, 0);
    m_formula = new QLabel;
    m_formula->setTextFormat(Qt::RichText);
    SetControlId(m_formula, IDC_FORMULA);
    grid->addWidget(m_formula, 0, 1, 1, 3);
    auto value = [this](int id) {
        auto* label = new QLabel;
        label->setMinimumWidth(90);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        SetControlId(label, id);
        return label;
    };
    auto button = [this](int id, const QString& text) {
        auto* b = new QPushButton(text);
        BindCommandButton(b, id);
        b->setAutoDefault(false);
        return b;
    };
    grid->addWidget(new QLabel(QStringLiteral("a               = ")), 1, 0);
    grid->addWidget(value(IDC_A), 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("b               =")), 2, 0);
    grid->addWidget(value(IDC_B), 2, 1);
    QPushButton* setC = button(IDC_SET_C, QStringLiteral("c        ="));
    grid->addWidget(setC, 3, 0);
    QLabel* c = value(IDC_C);
    grid->addWidget(c, 3, 1);
    grid->addWidget(new QLabel(QStringLiteral("R squared =")), 1, 2);
    grid->addWidget(value(IDC_RSQUARED), 1, 3);
    grid->addWidget(button(IDC_SET_CUTOFF, QStringLiteral("Cutoff =")), 2, 2);
    grid->addWidget(value(IDC_CUTOFF), 2, 3);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(button(IDC_RESET, QStringLiteral("Reset")));
    buttons->addWidget(button(IDC_APPLY, QStringLiteral("Apply")));
    buttons->addWidget(button(IDC_CANCEL, QStringLiteral("Cancel")));
    buttons->addStretch();
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(4, 4, 4, 4);
    row->addLayout(grid, 1);
    row->addLayout(buttons);
    // The exponential curve has no constant.
    if (curve == 1) {
        setC->hide();
        c->hide();
    }
    MapCommand(IDC_SET_C, [this] { OnConstant(); });
    MapCommand(IDC_SET_CUTOFF, [this] { OnCutoff(); });
    MapCommand(IDC_RESET, [] { PostToMain(MSG_RESET); });
    MapCommand(IDC_APPLY, [] { PostToMain(MSG_APPLY); });
    MapCommand(IDC_CANCEL, [] { PostToMain(MSG_CANCEL); });
    MapMessage(MSG_REFRESH_GRID, [this](WPARAM, LPARAM) -> LRESULT {
        Fill();
        return 1;
    });
}

CFormulaPanel::~CFormulaPanel() { DetachWidget(); }

void CFormulaPanel::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        PostToMain(MSG_CANCEL);
        return;
    }
    QWidget::keyPressEvent(event);
}

void CFormulaPanel::Fill() {
    const int p = CMainFrame::Precision();
    const CTailFactorAnalysis w = CrxApp()->GetWorking();
    auto show = [this, p](int id, double v) { SetDlgItemText(id, crx::TrimNumber(crx::FormatNumber(v, p))); };
    show(IDC_A, w.GetYIntercept(m_curve));
    show(IDC_B, w.GetSlope(m_curve));
    show(IDC_C, w.GetConstant(m_curve));
    show(IDC_RSQUARED, w.GetRSquared(m_curve));
    show(IDC_CUTOFF, w.GetCutoff(m_curve));
    m_formula->setText(CurveFormulaText(m_curve, w.GetFitNegative()));
}

void CFormulaPanel::OnConstant() {
    CTailFactorAnalysis w = CrxApp()->GetWorking();
    CValueDlg dialog(CValueDlg::Constant, GetDlgItemText(IDC_C), w.GetInitialAge(), this);
    if (dialog.DoModal() != IDOK) return;
    w.SetConstant(m_curve, dialog.m_value);
    CrxApp()->SetWorking(w);
    PostToMain(MSG_RECALC);
}

void CFormulaPanel::OnCutoff() {
    CTailFactorAnalysis w = CrxApp()->GetWorking();
    CValueDlg dialog(CValueDlg::Cutoff, GetDlgItemText(IDC_CUTOFF), w.GetInitialAge(), this);
    if (dialog.DoModal() != IDOK) return;
    if (!w.SetCutoff(m_curve, dialog.m_value)) {
        MessageBox(QString::fromUtf8(crx::kMsgCutoffRefused), QString(), MB_OK | MB_ICONINFORMATION);
        return;
    }
    CrxApp()->SetWorking(w);
    PostToMain(MSG_RECALC);
}

CCurveGridBar::CCurveGridBar(QWidget* parent) : QWidget(parent) {
    AttachWidget(this);
    m_tabs = new QTabWidget;
    SetControlId(m_tabs, IDC_TABS);
    const char* names[kCurveCount] = {"Inverse Power", "Exponential", "Weibull"};
    for (int i = 0; i < kCurveCount; ++i) {
        auto* panel = new CFormulaPanel(i);
        m_panels.push_back(panel);
        m_tabs->addTab(panel, QString::fromLatin1(names[i]));
    }
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_tabs);
    QObject::connect(m_tabs, &QTabWidget::currentChanged, this, [](int index) {
        CCrxApp* app = CrxApp();
        if (app->m_pGridFrame) app->m_pGridFrame->PostMessage(MSG_CURVE_CHANGED, WPARAM(index));
        PostToMain(MSG_REFRESH_GRAPH);
    });
    MapMessage(MSG_GET_CURVE, [this](WPARAM, LPARAM) -> LRESULT { return m_tabs->currentIndex(); });
    MapMessage(MSG_REFRESH_GRID, [this](WPARAM, LPARAM) -> LRESULT {
        for (CFormulaPanel* panel : m_panels) panel->PostMessage(MSG_REFRESH_GRID);
        return 1;
    });
    MapMessage(MSG_CURVE_CHANGED, [](WPARAM w, LPARAM) -> LRESULT {
        if (CCrxApp* app = CrxApp(); app->m_pGridFrame) app->m_pGridFrame->PostMessage(MSG_CURVE_CHANGED, w);
        return -1;
    });
}

CCurveGridBar::~CCurveGridBar() { DetachWidget(); }
