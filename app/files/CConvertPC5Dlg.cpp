#include "files/CConvertPC5Dlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "CProject.h"

CConvertPC5Dlg::CConvertPC5Dlg() : CDialog(kTemplateId, nullptr) {
    setWindowTitle(QStringLiteral("Convert PC5 Files"));
    auto* layout = new QVBoxLayout(this);
    auto* gross = new QRadioButton(QStringLiteral("Put direct/assumed data in the &Gross layer"), this);
    auto* direct = new QRadioButton(QStringLiteral("Put direct/assumed data in the &Direct layer"), this);
    auto* group = new QButtonGroup(this);
    group->addButton(gross);
    group->addButton(direct);
    SetControlId(gross, IDC_LAYER_GROSS);
    SetControlId(direct, IDC_LAYER_DIRECT);
    auto* assumed = new QCheckBox(QStringLiteral("&Assumed layer is calculated"), this);
    SetControlId(assumed, IDC_ASSUMED_CALCULATED);
    layout->addWidget(gross);
    layout->addWidget(direct);
    layout->addWidget(assumed);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(AddButton(IDOK, QStringLiteral("OK")));
    buttons->addWidget(AddButton(IDCANCEL, QStringLiteral("Cancel")));
    layout->addLayout(buttons);
}

BOOL CConvertPC5Dlg::OnInitDialog() {
    CDialog::OnInitDialog();
    int layer = 2, assumed = 0;
    CProject::GetPC5DirectLayer(layer);
    CProject::GetPC5IsAssCalc(assumed);
    CheckDlgButton(layer == 2 ? IDC_LAYER_GROSS : IDC_LAYER_DIRECT, 1);
    CheckDlgButton(IDC_ASSUMED_CALCULATED, assumed ? 1 : 0);
    return TRUE;
}

void CConvertPC5Dlg::OnOK() {
    CProject::SetPC5DirectLayer(IsDlgButtonChecked(IDC_LAYER_GROSS) ? 2 : 4);
    CProject::SetPC5IsAssCalc(IsDlgButtonChecked(IDC_ASSUMED_CALCULATED) ? 1 : 0);
    CDialog::OnOK();
}
