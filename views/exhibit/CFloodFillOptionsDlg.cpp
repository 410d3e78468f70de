#include "CFloodFillOptionsDlg.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ExhibitDialogWidgets.h"

CFloodFillOptionsDlg::CFloodFillOptionsDlg(CWnd* pParent) : CDialog(kTemplateId, pParent) {
    auto* layout = new QVBoxLayout(this);
    auto* fit = new QRadioButton(QStringLiteral("Curve Fit"), this);
    SetControlId(fit, IDC_CURVE_FIT);
    auto* none = new QRadioButton(QStringLiteral("None"), this);
    SetControlId(none, IDC_NONE);
    layout->addWidget(fit);
    auto* grid = new QGridLayout;
    grid->setContentsMargins(24, 0, 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("Curve Type"), this), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Input Type"), this), 0, 2);
    const struct {
        const char* label;
        int curve, input;
    } rows[] = {{"Default 1", IDC_CURVE1, IDC_INPUT1}, {"Default 2", IDC_CURVE2, IDC_INPUT2}};
    for (int r = 0; r < 2; ++r) {
        QComboBox* curve = qs::views::CurveCombo(this);
        SetControlId(curve, rows[r].curve);
        QComboBox* input = qs::views::InputCombo(this);
        SetControlId(input, rows[r].input);
        grid->addWidget(qs::views::BuddyLabel(QString::fromLatin1(rows[r].label), curve, this), r + 1, 0);
        grid->addWidget(curve, r + 1, 1);
        grid->addWidget(input, r + 1, 2);
    }
    layout->addLayout(grid);
    layout->addWidget(none);
    layout->addLayout(qs::views::OkCancelRow(this));
    connect(none, &QRadioButton::clicked, this, [this] { OnNone(); });
    connect(fit, &QRadioButton::clicked, this, [this] { OnCurveFit(); });
}

QComboBox* CFloodFillOptionsDlg::Combo(int id) const { return qobject_cast<QComboBox*>(GetDlgItem(id)); }
QRadioButton* CFloodFillOptionsDlg::Radio(int id) const { return qobject_cast<QRadioButton*>(GetDlgItem(id)); }

INT_PTR CFloodFillOptionsDlg::DoModal(const QString& nodeName) {
    qsizetype lead = 0;
    while (lead < nodeName.size() && nodeName[lead] == QLatin1Char(' ')) ++lead;
    m_strTitle = QStringLiteral("Flood Fill Options - ") + nodeName.mid(lead);
    return CDialog::DoModal();
}

void CFloodFillOptionsDlg::EnableCombos(bool on) {
    for (int id : {IDC_CURVE1, IDC_INPUT1, IDC_CURVE2, IDC_INPUT2}) Combo(id)->setEnabled(on);
}

BOOL CFloodFillOptionsDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    Combo(IDC_CURVE1)->setCurrentIndex(CInterpolationUtil::GetCurveIndices(m_option.GetDefault1().GetCurveType()));
    Combo(IDC_INPUT1)->setCurrentIndex(CInterpolationUtil::GetInputIndices(m_option.GetDefault1().GetInputType()));
    Combo(IDC_CURVE2)->setCurrentIndex(CInterpolationUtil::GetCurveIndices(m_option.GetDefault2().GetCurveType()));
    Combo(IDC_INPUT2)->setCurrentIndex(CInterpolationUtil::GetInputIndices(m_option.GetDefault2().GetInputType()));
    const bool none = m_option.GetType() == CInterpolateSDFFloodFillOption::NONE;
    Radio(IDC_NONE)->setChecked(none);
    Radio(IDC_CURVE_FIT)->setChecked(!none);
    EnableCombos(!none);
    setWindowTitle(m_strTitle);
    return TRUE;
}

void CFloodFillOptionsDlg::OnNone() {
    m_option.SetType(CInterpolateSDFFloodFillOption::NONE);
    EnableCombos(false);
}

void CFloodFillOptionsDlg::OnCurveFit() {
    m_option.SetType(CInterpolateSDFFloodFillOption::INTERPOLATE);
    EnableCombos(true);
}

// A combo without a chosen item gives Exponential or Cumulative.
bool CFloodFillOptionsDlg::ReadDefault(int curveId, int inputId, CInterpolateSDFFloodFillSelection& out) const {
    ENUM_CURVE_TYPE curve = CURVE_EXPONENTIAL;
    ENUM_INPUT_TYPE input = INPUT_CUMULATIVE;
    if (Combo(curveId)->currentIndex() >= 0 &&
        !CInterpolationUtil::GetCurveType(Combo(curveId)->currentText().toStdString(), &curve))
        return false;
    if (Combo(inputId)->currentIndex() >= 0 &&
        !CInterpolationUtil::GetInputType(Combo(inputId)->currentText().toStdString(), &input))
        return false;
    out = CInterpolateSDFFloodFillSelection(curve, input);
    return true;
}

void CFloodFillOptionsDlg::OnOK() {
    if (!UpdateData(TRUE)) return;
    if (!ReadDefault(IDC_CURVE1, IDC_INPUT1, m_option.GetDefault1())) return;
    if (!ReadDefault(IDC_CURVE2, IDC_INPUT2, m_option.GetDefault2())) return;
    m_option.SetType(Radio(IDC_CURVE_FIT)->isChecked() ? CInterpolateSDFFloodFillOption::INTERPOLATE
                                                       : CInterpolateSDFFloodFillOption::NONE);
    CDialog::OnOK();
}
