#include "SmallViewDialogs.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ModalScript.h"

namespace {

QHBoxLayout* OkCancelRow(CDialog* dialog, const QString& okText = QStringLiteral("OK")) {
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(dialog->AddButton(IDOK, okText));
    row->addWidget(dialog->AddButton(IDCANCEL, QStringLiteral("Cancel")));
    return row;
}

void ExchangeRadio(CDataExchange* pDX, RadioGroup& radio, int& value) {
    if (pDX->m_bSaveAndValidate) value = radio.Choice();
    else radio.SetChoice(value);
}

}  // namespace

// ---------------------------------------------------------------- radio group

QAbstractButton* RadioGroup::Add(int controlId, const QString& text) {
    auto* button = new QRadioButton(text, m_owner);
    CWnd::SetControlId(button, controlId);
    m_group->addButton(button, m_group->buttons().size());
    return button;
}

int RadioGroup::Choice() const { return m_group->checkedId(); }

void RadioGroup::SetChoice(int index) {
    if (QAbstractButton* button = m_group->button(index)) {
        button->setChecked(true);
        return;
    }
    // No button: clear the group (an exclusive group keeps one checked otherwise).
    m_group->setExclusive(false);
    for (QAbstractButton* b : m_group->buttons()) b->setChecked(false);
    m_group->setExclusive(true);
}

// ---------------------------------------------------------------- Clear

CClearDlg::CClearDlg(CWnd* pParent) : CDialog(kTemplateId, pParent), m_radio(this, new QButtonGroup(this)) {
    setWindowTitle(QStringLiteral("Clear"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_radio.Add(IDC_DATA_AND_NOTES, QStringLiteral("&Data and cell notes")));
    layout->addWidget(m_radio.Add(IDC_NOTES, QStringLiteral("Cell &notes")));
    layout->addLayout(OkCancelRow(this));
}

void CClearDlg::DoDataExchange(CDataExchange* pDX) { ExchangeRadio(pDX, m_radio, m_nChoice); }

// ---------------------------------------------------------------- View

CViewSelectionDlg::CViewSelectionDlg(CWnd* pParent)
    : CDialog(kTemplateId, pParent), m_radio(this, new QButtonGroup(this)), m_select(nullptr) {
    setWindowTitle(QStringLiteral("View"));
    auto* layout = new QVBoxLayout(this);
    auto* box = new QGroupBox(QStringLiteral("Selection Type:"), this);
    auto* inner = new QVBoxLayout(box);
    inner->addWidget(m_radio.Add(IDC_ALL, QStringLiteral("&All tables")));
    inner->addWidget(m_radio.Add(IDC_WITH_DATA, QStringLiteral("All tables with &data")));
    inner->addWidget(m_radio.Add(IDC_ENTERED, QStringLiteral("Only &entered arrays")));
    inner->addWidget(m_radio.Add(IDC_CALCULATED, QStringLiteral("Only &calculated arrays")));
    auto* selectedRow = new QHBoxLayout;
    selectedRow->addWidget(m_radio.Add(IDC_SELECTED, QStringLiteral("Only selected &tables")));
    m_select = AddButton(IDC_SELECT, QStringLiteral("Select..."));
    m_select->setAutoDefault(false);
    selectedRow->addWidget(m_select);
    inner->addLayout(selectedRow);
    layout->addWidget(box);
    layout->addLayout(OkCancelRow(this));
    connect(m_radio.Group(), &QButtonGroup::idClicked, this, [this](int) { OnChoiceClicked(); });
    MapCommand(IDC_SELECT, [this] {
        if (auto& run = DisplaySelectionRunner()) run(this);
    });
}

std::function<void(CWnd*)>& CViewSelectionDlg::DisplaySelectionRunner() {
    static std::function<void(CWnd*)> runner;
    return runner;
}

BOOL CViewSelectionDlg::OnInitDialog() {
    // Tested in order; a later match overrides an earlier one.
    if (m_bEntered && m_bCalculated && !m_bWithData) m_nSelection = 0;
    if (m_bEntered && m_bCalculated && m_bWithData) m_nSelection = 1;
    if (m_bEntered && !m_bCalculated) m_nSelection = 2;
    if (m_bCalculated && !m_bEntered) m_nSelection = 3;
    if (m_bSelectedOnly) m_nSelection = 4;
    CDialog::OnInitDialog();
    m_select->setEnabled(m_nSelection == 4);
    return TRUE;
}

QAbstractButton* CViewSelectionDlg::Choice(int index) const { return m_radio.Group()->button(index); }

void CViewSelectionDlg::OnChoiceClicked() {
    m_nSelection = m_radio.Choice();
    m_select->setEnabled(m_nSelection == 4);
}

void CViewSelectionDlg::DoDataExchange(CDataExchange* pDX) { ExchangeRadio(pDX, m_radio, m_nSelection); }

void CViewSelectionDlg::OnOK() {
    if (!UpdateData(TRUE)) return;
    m_bSelectedOnly = 0;
    switch (m_nSelection) {
    case 0: m_bEntered = 1, m_bCalculated = 1, m_bWithData = 0; break;
    case 1: m_bEntered = 1, m_bCalculated = 1, m_bWithData = 1; break;
    case 2: m_bEntered = 1, m_bCalculated = 0, m_bWithData = 0; break;
    case 3: m_bEntered = 0, m_bCalculated = 1, m_bWithData = 0; break;
    case 4: m_bSelectedOnly = 1; break;
    default: break;
    }
    EndDialog(IDOK);
}

// ---------------------------------------------------------------- Zoom

namespace {
constexpr int kZoomValues[] = {400, 200, 100, 75, 50, 25};
}

CZoomDlg::CZoomDlg(CWnd* pParent) : CDialog(kTemplateId, pParent), m_radio(this, new QButtonGroup(this)) {
    setWindowTitle(QStringLiteral("Zoom"));
    auto* layout = new QVBoxLayout(this);
    auto* box = new QGroupBox(QStringLiteral("Magnification"), this);
    auto* inner = new QVBoxLayout(box);
    inner->addWidget(m_radio.Add(IDC_400, QStringLiteral("&400%")));
    inner->addWidget(m_radio.Add(IDC_200, QStringLiteral("20&0%")));
    inner->addWidget(m_radio.Add(IDC_100, QStringLiteral("&100%")));
    inner->addWidget(m_radio.Add(IDC_75, QStringLiteral("&75%")));
    inner->addWidget(m_radio.Add(IDC_50, QStringLiteral("&50%")));
    inner->addWidget(m_radio.Add(IDC_25, QStringLiteral("&25%")));
    layout->addWidget(box);
    layout->addLayout(OkCancelRow(this));
}

void CZoomDlg::DoDataExchange(CDataExchange* pDX) { ExchangeRadio(pDX, m_radio, m_nZoom); }

int CZoomDlg::IndexForZoom(int zoom) {
    if (zoom > 400 || zoom < 10) return -1;
    if (zoom > 200) return 0;
    if (zoom > 100) return 1;
    if (zoom > 75) return 2;
    if (zoom > 50) return 3;
    if (zoom > 25) return 4;
    return 5;
}

int CZoomDlg::ZoomForIndex(int index) { return index >= 0 && index < 6 ? kZoomValues[index] : -1; }

bool CZoomDlg::Run(int& zoom, CWnd* pParent) {
    CZoomDlg dialog(pParent);
    dialog.m_nZoom = IndexForZoom(zoom);
    if (dialog.DoModal() != IDOK) return false;
    if (const int value = ZoomForIndex(dialog.m_nZoom); value > 0) zoom = value;
    return true;
}
