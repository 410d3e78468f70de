#include "CPrjPage5.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "CPrjSheetEnvironment.h"
#include "DisplayPreview.h"
#include "SpreadsheetControl.h"

namespace {

QComboBox* MakeDisplayList(QWidget* parent, int id, const QStringList& items) {
    auto* box = new QComboBox(parent);
    box->addItems(items);
    CWnd::SetControlId(box, id);
    return box;
}

}  // namespace

CPrjPage5::CPrjPage5() : CPropertyPage(IDD, QStringLiteral("Display")) {
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    auto* position = MakeDisplayList(this, IDC_POSITION, {QStringLiteral("1.1\u00A4"), QStringLiteral("\u00A41.1")});
    form->addRow(QStringLiteral("Position of currency symbol:"), position);
    auto* negative = MakeDisplayList(this, IDC_NEGATIVE, {QStringLiteral("(1.1)"), QStringLiteral("-1.1"),
                                                          QStringLiteral("1.1-")});
    form->addRow(QStringLiteral("Negative number format:"), negative);
    QStringList digits;
    for (int i = 0; i <= 12; ++i) digits << QString::number(i);
    auto* decimals = MakeDisplayList(this, IDC_DECIMALS, digits);
    form->addRow(QStringLiteral("No. of digits after decimal:"), decimals);
    auto* symbol = MakeDisplayList(this, IDC_CURRENCY_SYMBOL, {QStringLiteral("$"), QStringLiteral("\u00A3"),
                                                               QStringLiteral("\u00A5"), QStringLiteral("\u20AC ")});
    symbol->setEditable(true);
    symbol->lineEdit()->setMaxLength(kMaxSymbol);
    form->addRow(QStringLiteral("Currency symbol:"), symbol);
    auto* thousands = new QCheckBox(QStringLiteral("Use &thousand separator"), this);
    SetControlId(thousands, IDC_USE_THOUSANDS);
    form->addRow(thousands);
    form->addRow(new QLabel(QStringLiteral("\u00A4 = Universal currency symbol"), this));
    layout->addLayout(form);

    m_preview = new qs::ss::SpreadsheetControl(this);
    SetControlId(m_preview, IDC_PREVIEW_FRAME);
    layout->addWidget(m_preview, 1);
    auto* save = new QPushButton(QStringLiteral("Save as &Default..."), this);
    BindCommandButton(save, IDC_SAVE_DEFAULT);
    MapCommand(IDC_SAVE_DEFAULT, [this] { OnSaveAsDefault(); });
    layout->addWidget(save, 0, Qt::AlignLeft);

    // A confirmed list choice, an edited symbol or a click on the box redraws the sample.
    for (QComboBox* list : {decimals, negative, position})
        connect(list, &QComboBox::activated, this, [this] { UpdatePreview(); });
    connect(symbol, &QComboBox::editTextChanged, this, [this] { UpdatePreview(); });
    connect(symbol, &QComboBox::activated, this, [this](int index) { OnSelchangeCurrencySymbol(index); });
    connect(thousands, &QCheckBox::clicked, this, [this] { UpdatePreview(); });
}

BOOL CPrjPage5::OnInitDialog() {
    CPropertyPage::OnInitDialog();
    qs::project::BuildDisplayPreview(*m_preview);
    UpdatePreview();
    return TRUE;
}

void CPrjPage5::DoDataExchange(CDataExchange* pDX) { qs::project::ExchangeDisplaySettings(pDX, *this, m_display); }

void CPrjPage5::UpdatePreview() {
    if (!m_preview || !m_preview->MaxRow()) return;  // before the grid is built
    UpdateData(TRUE);
    qs::project::FormatDisplayPreview(*m_preview, m_display);
}

void CPrjPage5::OnSelchangeCurrencySymbol(int index) {
    if (qs::project::PickCurrencySymbol(*this, index, m_display)) UpdatePreview();
}

void CPrjPage5::OnSaveAsDefault() {
    const QString kind = PrjSheetEnv().interactive ? QStringLiteral("file") : QStringLiteral("template");
    const QString question = QStringLiteral(
                                 "Do you want to change default for display options?\nThis change will only affect "
                                 "all new %1s. It will\nnot affect the current %2.")
                                 .arg(kind, kind);
    if (AfxMessageBox(question, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
    UpdateData(TRUE);
    SerializeDefaults(TRUE);
}

int CPrjPage5::SerializeDefaults(BOOL bStore) {
    const QString& directory = PrjSheetEnv().workingDirectory;
    if (bStore) return qs::project::StoreDisplayDefaults(directory, m_display) ? 1 : 0;
    return qs::project::LoadDisplayDefaults(directory, m_display) ? 1 : 0;
}
