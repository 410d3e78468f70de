#include "CInterpolationOptionsDlg.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "ExhibitDialogWidgets.h"
#include "MessageBox.h"

CInterpolationOptionsDlg::CInterpolationOptionsDlg(CWnd* pParent) : CDialog(kTemplateId, pParent) {
    setWindowTitle(QStringLiteral("Interpolation"));
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    m_order = new QLineEdit(this);
    SetControlId(m_order, IDC_ORDER);
    m_curve = qs::views::CurveCombo(this);
    SetControlId(m_curve, IDC_CURVE);
    m_input = qs::views::InputCombo(this);
    SetControlId(m_input, IDC_INPUT);
    grid->addWidget(qs::views::BuddyLabel(QStringLiteral("&Order"), m_order, this), 0, 0);
    grid->addWidget(m_order, 0, 1);
    grid->addWidget(qs::views::BuddyLabel(QStringLiteral("&Curve Fit"), m_curve, this), 1, 0);
    grid->addWidget(m_curve, 1, 1);
    grid->addWidget(qs::views::BuddyLabel(QStringLiteral("&Input Type"), m_input, this), 2, 0);
    grid->addWidget(m_input, 2, 1);
    layout->addLayout(grid);
    layout->addLayout(qs::views::OkCancelRow(this));
}

BOOL CInterpolationOptionsDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_order->setText(QString::asprintf("%d", m_selection.GetOrder()));
    m_curve->setCurrentIndex(CInterpolationUtil::GetCurveIndices(m_selection.GetCurveType()));
    m_input->setCurrentIndex(CInterpolationUtil::GetInputIndices(m_selection.GetInputType()));
    m_order->setFocus();
    m_order->selectAll();
    return TRUE;
}

void CInterpolationOptionsDlg::OnOK() {
    if (!UpdateData(TRUE)) return;
    bool ok = false;
    const int order = m_order->text().trimmed().toInt(&ok);
    if (!ok || order < 1 || order > 254) {
        AfxMessageBox(QStringLiteral("Please enter an integer from 1 to 254"), MB_OK);
        m_order->setFocus();
        return;
    }
    m_selection.SetOrder(order);
    if (m_curve->currentIndex() >= 0) {
        ENUM_CURVE_TYPE curve = m_selection.GetCurveType();
        if (!CInterpolationUtil::GetCurveType(m_curve->currentText().toStdString(), &curve)) return;
        m_selection.SetCurveType(curve);
    }
    if (m_input->currentIndex() >= 0) {
        ENUM_INPUT_TYPE input = m_selection.GetInputType();
        if (!CInterpolationUtil::GetInputType(m_input->currentText().toStdString(), &input)) return;
        m_selection.SetInputType(input);
    }
    CDialog::OnOK();
}
