#include "CFileDisplayOptionsDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "CPrjSheetEnvironment.h"
#include "CProject.h"
#include "CWinApp.h"
#include "CWorkstationSetupDlg.h"
#include "DisplayPreview.h"
#include "ProjectHost.h"
#include "SpreadsheetControl.h"
#include "ViewSettings.h"

namespace {

QComboBox* MakeList(QWidget* parent, int id, const QStringList& items) {
    auto* box = new QComboBox(parent);
    box->addItems(items);
    CWnd::SetControlId(box, id);
    return box;
}

QColor ColorOf(std::uint32_t ref) { return QColor(int(ref & 0xFF), int((ref >> 8) & 0xFF), int((ref >> 16) & 0xFF)); }
std::uint32_t RefOf(const QColor& c) {
    return std::uint32_t(c.red()) | (std::uint32_t(c.green()) << 8) | (std::uint32_t(c.blue()) << 16);
}

}  // namespace

CFileDisplayOptionsDlg::CFileDisplayOptionsDlg(CProject* project, CWnd* pParent)
    : CDialog(IDD, pParent), m_pProject(project), m_preview(nullptr) {
    setWindowTitle(QStringLiteral("File Display Options"));
    auto* layout = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    auto* form = new QFormLayout;
    QStringList digits;
    for (int i = 0; i <= 12; ++i) digits << QString::number(i);
    auto* decimals = MakeList(this, IDC_DECIMALS, digits);
    form->addRow(QStringLiteral("No. of digits af&ter decimal:"), decimals);
    auto* negative = MakeList(this, IDC_NEGATIVE, {QStringLiteral("(1.1)"), QStringLiteral("-1.1"), QStringLiteral("1.1-")});
    form->addRow(QStringLiteral("Negative number &format:"), negative);
    auto* symbol = MakeList(this, IDC_CURRENCY_SYMBOL,
                            {QStringLiteral("$"), QStringLiteral("\u00A3"), QStringLiteral("\u00A5"), QString()});
    symbol->setEditable(true);
    symbol->lineEdit()->setMaxLength(kMaxSymbol);
    form->addRow(QStringLiteral("Currency &symbol:"), symbol);
    auto* position = MakeList(this, IDC_POSITION, {QStringLiteral("1.1\u00A4"), QStringLiteral("\u00A41.1")});
    form->addRow(QStringLiteral("Position of &currency symbol:"), position);
    auto* thousands = new QCheckBox(QStringLiteral("Use &Thousand Separator"), this);
    SetControlId(thousands, IDC_USE_THOUSANDS);
    form->addRow(thousands);
    form->addRow(new QLabel(QStringLiteral("\u00A4 = Universal currency symbol"), this));
    left->addLayout(form);
    m_preview = new qs::ss::SpreadsheetControl(this);
    SetControlId(m_preview, IDC_PREVIEW_FRAME);
    m_preview->setMinimumSize(280, 100);
    m_preview->setMaximumHeight(120);
    m_preview->setFocusPolicy(Qt::NoFocus);  // a sample, not a place to type
    left->addWidget(m_preview, 1);
    layout->addLayout(left, 1);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(AddButton(IDOK, QStringLiteral("OK")));
    buttons->addWidget(AddButton(IDCANCEL, QStringLiteral("Cancel")));
    buttons->addSpacing(12);
    buttons->addWidget(AddButton(IDC_DEFAULT, QStringLiteral("&Default...")));
    buttons->addWidget(AddButton(IDC_READ_ONLY_BACKGROUND, QStringLiteral("Read-only Background")));
    buttons->addStretch(1);
    layout->addLayout(buttons);
    MapCommand(IDC_DEFAULT, [this] { OnDefault(); });
    MapCommand(IDC_READ_ONLY_BACKGROUND, [this] { OnReadOnlyBackground(); });

    // A confirmed list choice, an edited symbol or a click on the box redraws the sample.
    for (QComboBox* list : {decimals, negative, position})
        connect(list, &QComboBox::activated, this, [this] { UpdatePreview(); });
    connect(symbol->lineEdit(), &QLineEdit::textEdited, this, [this] { UpdatePreview(); });
    connect(symbol, &QComboBox::activated, this, [this](int index) { OnSelchangeCurrencySymbol(index); });
    connect(thousands, &QCheckBox::clicked, this, [this] { UpdatePreview(); });
}

BOOL CFileDisplayOptionsDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    if (m_pProject != nullptr) qs::project::ReadDisplaySettings(*m_pProject, m_display);
    qs::project::BuildDisplayPreview(*m_preview);
    UpdateData(FALSE);
    UpdatePreview();
    return TRUE;
}

void CFileDisplayOptionsDlg::DoDataExchange(CDataExchange* pDX) { qs::project::ExchangeDisplaySettings(pDX, *this, m_display); }

void CFileDisplayOptionsDlg::UpdatePreview() {
    if (m_preview == nullptr || !m_preview->MaxRow()) return;  // before the sample is laid out
    UpdateData(TRUE);
    qs::project::FormatDisplayPreview(*m_preview, m_display);
}

void CFileDisplayOptionsDlg::OnSelchangeCurrencySymbol(int index) {
    if (qs::project::PickCurrencySymbol(*this, index, m_display)) UpdatePreview();
}

void CFileDisplayOptionsDlg::OnReadOnlyBackground() {
    // The grid's own pattern choice, made on the whole sample and read back
    // from it, becomes the application's read-only pattern.
    qs::views::ViewSettings& views = qs::views::Settings();
    const QList<qs::ss::Range> selection = m_preview->Selection();
    int activeRow = 1, activeCol = 1;
    m_preview->GetActiveCell(activeRow, activeCol);
    m_preview->SetSelection(1, 1, m_preview->MaxRow(), m_preview->MaxCol());
    m_preview->SetActiveCell(1, 1);
    CSpreadsheetPatternDlg dialog(this);
    dialog.m_nPattern = views.pattern;
    dialog.m_nForeground = views.patternFg;
    dialog.m_nBackground = views.patternBg;
    if (dialog.DoModal() == IDOK) {
        m_preview->SetPattern(dialog.m_nPattern, ColorOf(dialog.m_nForeground), ColorOf(dialog.m_nBackground));
        int pattern = 0;
        QColor fg, bg;
        if (m_preview->GetPattern(pattern, fg, bg) == qs::ss::SS_OK) {
            views.pattern = pattern;
            views.patternFg = RefOf(fg);
            views.patternBg = RefOf(bg);
            if (qs::project::Host().setReadOnlyPattern)
                qs::project::Host().setReadOnlyPattern(pattern, views.patternFg, views.patternBg);
        }
    }
    bool first = true;
    for (const qs::ss::Range& r : selection) {
        if (first) m_preview->SetSelection(r.row1, r.col1, r.row2, r.col2);
        else m_preview->AddSelection(r.row1, r.col1, r.row2, r.col2);
        first = false;
    }
    m_preview->SetActiveCell(activeRow, activeCol);
}

void CFileDisplayOptionsDlg::OnDefault() {
    const QString kind = qs::project::IsInteractive() ? QStringLiteral("file") : QStringLiteral("template");
    const QString question = QStringLiteral(
                                 "Do you want to change default for display options?\nThis change will only affect "
                                 "all new %1s. It will\nnot affect the current %2.")
                                 .arg(kind, kind);
    if (AfxMessageBox(question, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
    UpdateData(TRUE);
    const CDisplaySettings& d = m_display;
    if (CWinApp* app = AfxGetApp()) {
        const QString section = QStringLiteral("Settings");
        app->WriteProfileString(section, QStringLiteral("Currency"), d.currencySymbol);
        app->WriteProfileInt(section, QStringLiteral("Currency Position"), d.currencyPosition);
        app->WriteProfileString(section, QStringLiteral("Negative Symbol"), d.NegativeSymbol());
        app->WriteProfileInt(section, QStringLiteral("Negative Position"), d.NegativeLeading());
        app->WriteProfileInt(section, QStringLiteral("Negative Red"), 0);
        app->WriteProfileInt(section, QStringLiteral("Thousand Separator"), static_cast<unsigned char>(d.thousandsSeparator));
        app->WriteProfileInt(section, QStringLiteral("Decimal Separator"), static_cast<unsigned char>(d.decimalSeparator));
        app->WriteProfileInt(section, QStringLiteral("Use Thousand Separator"), d.useThousands);
        app->WriteProfileInt(section, QStringLiteral("Decimals"), d.decimals);
    }
    // New projects take their display from the defaults file the set-up
    // sheet reads, so the choice is kept there too.
    const QString& working = PrjSheetEnv().workingDirectory;
    if (!working.isEmpty() && !qs::project::StoreDisplayDefaults(working, d))
        AfxMessageBox(QStringLiteral("The default display options could not be written to %1.")
                          .arg(QString::fromLatin1(qs::project::kDisplayDefaultsFile)),
                      MB_OK);
}

void CFileDisplayOptionsDlg::OnOK() {
    if (!UpdateData(TRUE)) return;
    if (m_pProject != nullptr) qs::project::WriteDisplaySettings(*m_pProject, m_display);
    CDialog::OnOK();
}
