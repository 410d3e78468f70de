#include "CCurveGraphBar.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "CCrxApp.h"
#include "CCurveGraphWnd.h"
#include "CGraphFrame.h"
#include "CMainFrame.h"
#include "CrxMessages.h"
#include "CrxNumbers.h"

CColorCheckButton::CColorCheckButton(const QString& caption, const QColor& color, QWidget* parent)
    : QCheckBox(caption, parent) {
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, color.darker(120));
    palette.setColor(QPalette::ButtonText, color.darker(120));
    setPalette(palette);
    QFont f = font();
    f.setBold(true);
    setFont(f);
}

CCurveGraphBar::CCurveGraphBar(QWidget* parent) : QWidget(parent) {
    AttachWidget(this);
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(6, 4, 6, 4);
    const char* names[kCurveCount] = {"Inverse Power", "Exponential", "Weibull"};
    for (int c = 0; c < kCurveCount; ++c) {
        auto* box = new CColorCheckButton(QString::fromLatin1(names[c]), CurveColor(c));
        box->setChecked(true);
        SetControlId(box, 1001 + c);
        grid->addWidget(box, 0, c + 1);
        QObject::connect(box, &QCheckBox::clicked, this, [c] {
            if (CGraphFrame* frame = CrxApp()->m_pGraphFrame) frame->PostMessage(MSG_TOGGLE_CURVE, WPARAM(c));
        });
        for (int row = 1; row <= 2; ++row) {
            auto* value = new QLabel;
            value->setMinimumWidth(80);
            SetControlId(value, (row == 1 ? 1021 : 1024) + c);
            grid->addWidget(value, row, c + 1);
        }
    }
    grid->addWidget(new QLabel(QStringLiteral("R Squared:")), 1, 0);
    grid->addWidget(new QLabel(QStringLiteral("Tail Factor:")), 2, 0);
    auto* reset = new QPushButton(QStringLiteral("Reset Zoom"));
    SetControlId(reset, 1028);
    grid->addWidget(reset, 0, kCurveCount + 1);
    QObject::connect(reset, &QPushButton::clicked, this, [] {
        if (CGraphFrame* frame = CrxApp()->m_pGraphFrame) frame->PostMessage(MSG_RESET_ZOOM);
    });
    auto* fit = new QCheckBox(QStringLiteral("Fit values less than 1"));
    SetControlId(fit, 1029);
    fit->setChecked(CrxApp()->GetWorking().GetFitNegative());
    grid->addWidget(fit, 1, kCurveCount + 1);
    QObject::connect(fit, &QCheckBox::clicked, this, [this](bool on) { OnFitNegative(on); });
    grid->setColumnStretch(kCurveCount + 2, 1);
    MapMessage(MSG_REFRESH_GRAPH, [this](WPARAM, LPARAM) -> LRESULT {
        Fill();
        return 1;
    });
    Fill();
}

CCurveGraphBar::~CCurveGraphBar() { DetachWidget(); }

void CCurveGraphBar::Fill() {
    const int p = CMainFrame::Precision();
    const CTailFactorAnalysis w = CrxApp()->GetWorking();
    for (int c = 0; c < kCurveCount; ++c) {
        SetDlgItemText(1021 + c, crx::FormatNumber(w.GetRSquared(c), p));
        SetDlgItemText(1024 + c, crx::FormatNumber(w.GetTail(c), p));
    }
}

void CCurveGraphBar::OnFitNegative(bool on) {
    CTailFactorAnalysis w = CrxApp()->GetWorking();
    w.SetFitNegative(on);
    for (int c = 0; c < kCurveCount; ++c)
        for (int i = 0; i < w.GetNumPoints(); ++i) w.SetExclude(c, i, !w.IsValueValid(w.GetEffectiveValue(c, i)));
    CrxApp()->SetWorking(w);
    CrxApp()->MainFrame()->PostMessage(MSG_RECALC);
}
