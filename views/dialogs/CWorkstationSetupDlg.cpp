#include "CWorkstationSetupDlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <memory>

#include "CFileDialog.h"
#include "CLayerColorsDlg.h"
#include "CSpreadsheetWnd.h"
#include "CommandIds.h"
#include "ModalScript.h"
#include "SpreadsheetControl.h"

namespace {

constexpr const char* kSetupLayerNames[5] = {"Net", "Gross", "Ceded", "Direct", "Assumed"};

std::vector<CWorkstationSetupDlg::Accelerator>& AcceleratorStore() {
    static std::vector<CWorkstationSetupDlg::Accelerator> table;
    return table;
}
bool& AcceleratorsLoadedFlag() {
    static bool loaded = false;
    return loaded;
}

QCheckBox* SetupCheck(QWidget* parent, int id, const QString& text) {
    auto* box = new QCheckBox(text, parent);
    CWnd::SetControlId(box, id);
    return box;
}

QColor SetupColor(std::uint32_t ref) { return QColor(int(ref & 0xFF), int((ref >> 8) & 0xFF), int((ref >> 16) & 0xFF)); }
std::uint32_t SetupColorRef(const QColor& c) {
    return std::uint32_t(c.red()) | (std::uint32_t(c.green()) << 8) | (std::uint32_t(c.blue()) << 16);
}

}  // namespace

// ---------------------------------------------------------------- accelerators

void CWorkstationSetupDlg::LoadAccelerators() {
    if (AcceleratorsLoadedFlag()) return;
    // The edit keys, so the data path field has them whatever the dialog's
    // own key handling does with them.
    AcceleratorStore() = {
        {QKeySequence(Qt::CTRL | Qt::Key_C), ID_EDIT_COPY},
        {QKeySequence(Qt::CTRL | Qt::Key_X), ID_EDIT_CUT},
        {QKeySequence(Qt::CTRL | Qt::Key_V), ID_EDIT_PASTE},
        {QKeySequence(Qt::CTRL | Qt::Key_Z), ID_EDIT_UNDO},
    };
    AcceleratorsLoadedFlag() = true;
}

const std::vector<CWorkstationSetupDlg::Accelerator>& CWorkstationSetupDlg::Accelerators() { return AcceleratorStore(); }
bool CWorkstationSetupDlg::AcceleratorsLoaded() { return AcceleratorsLoadedFlag(); }

// ---------------------------------------------------------------- dialog

CWorkstationSetupDlg::CWorkstationSetupDlg(CWnd* pParent)
    : CDialog(kTemplateId, pParent),
      m_enterMoves(new QComboBox(this)),
      m_defaultShow(new QComboBox(this)),
      m_defaultLayer(new QComboBox(this)),
      m_dataPath(new QLineEdit(this)),
      m_readOnlyBackground(nullptr) {
    setWindowTitle(QStringLiteral("Workstation Setup"));
    SetControlId(m_enterMoves, IDC_ENTER_MOVES);
    SetControlId(m_defaultShow, IDC_DEFAULT_SHOW);
    SetControlId(m_defaultLayer, IDC_DEFAULT_LAYER);
    SetControlId(m_dataPath, IDC_DATA_PATH);
    for (const char* text : {"Down", "Right", "Down Diagonal", "Up Diagonal", "No Movement"})
        m_enterMoves->addItem(QString::fromLatin1(text));
    for (const char* text : {"Cumulative", "Incremental"}) m_defaultShow->addItem(QString::fromLatin1(text));
    for (const char* text : kSetupLayerNames) m_defaultLayer->addItem(QString::fromLatin1(text));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(SetupCheck(this, IDC_AUTO_OPEN, QStringLiteral("Reload &last file at startup")));
    layout->addWidget(SetupCheck(this, IDC_SHOW_TABLE_ID, QStringLiteral("Show &table ID#")));
    layout->addWidget(SetupCheck(this, IDC_SHOW_START, QStringLiteral("Show &startup dialog box")));
    layout->addWidget(SetupCheck(this, IDC_LAYER_COLORS, QStringLiteral("Show l&ayers in different colors")));
    layout->addWidget(SetupCheck(this, IDC_FULL_PRECISION, QStringLiteral("Show column totals using &full precision")));
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Enter moves cursor:"), this), 0, 0);
    grid->addWidget(m_enterMoves, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Open Input Arrays as:"), this), 1, 0);
    grid->addWidget(m_defaultShow, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Default Layer:"), this), 2, 0);
    grid->addWidget(m_defaultLayer, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("Data path:"), this), 3, 0);
    auto* pathRow = new QHBoxLayout;
    pathRow->addWidget(m_dataPath);
    QPushButton* browse = AddButton(IDC_BROWSE, QStringLiteral("..."));
    browse->setAutoDefault(false);
    pathRow->addWidget(browse);
    grid->addLayout(pathRow, 3, 1);
    layout->addLayout(grid);
    auto* buttons = new QHBoxLayout;
    for (auto [id, text] : {std::pair{int(IDC_CHOOSE_COLORS), " Choose Layer Colors"},
                            std::pair{int(IDC_READONLY_BACKGROUND), "Read-only &Background"},
                            std::pair{int(IDC_DEFAULT_BACKGROUND), "&Default Background"}}) {
        QPushButton* b = AddButton(id, QString::fromLatin1(text));
        b->setAutoDefault(false);
        buttons->addWidget(b);
        if (id == IDC_READONLY_BACKGROUND) m_readOnlyBackground = b;
    }
    layout->addLayout(buttons);
    auto* okRow = new QHBoxLayout;
    okRow->addStretch();
    okRow->addWidget(AddButton(IDOK, QStringLiteral("OK")));
    okRow->addWidget(AddButton(IDCANCEL, QStringLiteral("Cancel")));
    layout->addLayout(okRow);

    connect(m_defaultLayer, &QComboBox::currentIndexChanged, this, [this](int) { OnDefaultLayerChanged(); });
    MapCommand(IDC_CHOOSE_COLORS, [this] { OnChooseLayerColors(); });
    MapCommand(IDC_BROWSE, [this] { OnBrowseDataPath(); });
    MapCommand(IDC_READONLY_BACKGROUND, [this] { OnReadOnlyBackground(); });
    MapCommand(IDC_DEFAULT_BACKGROUND, [this] { OnDefaultBackground(); });
    for (UINT id : {UINT(ID_EDIT_COPY), UINT(ID_EDIT_CUT), UINT(ID_EDIT_PASTE), UINT(ID_EDIT_UNDO)})
        MapCommand(id, [this, id] { TranslateAccelerator(id); });
}

BOOL CWorkstationSetupDlg::OnInitDialog() {
    if (m_nDefaultLayer < 1 || m_nDefaultLayer > 5) m_nDefaultLayer = 1;
    m_nPendingLayer = m_nDefaultLayer;
    m_pendingColors = m_layerColors;
    CDialog::OnInitDialog();
    {
        const QSignalBlocker block(m_defaultLayer);
        m_defaultLayer->setCurrentIndex(m_nDefaultLayer - 1);
    }
    // Accelerator keys reach the dialog before the focused control.
    for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);
    return TRUE;
}

void CWorkstationSetupDlg::DoDataExchange(CDataExchange* pDX) {
    DDX_Check(pDX, IDC_AUTO_OPEN, m_bAutoOpenMru);
    DDX_Check(pDX, IDC_SHOW_TABLE_ID, m_bShowTableId);
    DDX_Text(pDX, IDC_DATA_PATH, m_strDataPath);
    DDX_Check(pDX, IDC_SHOW_START, m_bShowStartDialog);
    DDX_Check(pDX, IDC_LAYER_COLORS, m_bShowLayerColors);
    DDX_Check(pDX, IDC_FULL_PRECISION, m_bColumnSumFullPrecision);
    // A value the list cannot show (a calendar "Default Show", an Enter
    // setting out of range) shows no choice and is kept as it was.
    int enterMoves = m_nEnterMoves, defaultShow = m_nDefaultShow;
    DDX_CBIndex(pDX, IDC_ENTER_MOVES, enterMoves);
    DDX_CBIndex(pDX, IDC_DEFAULT_SHOW, defaultShow);
    if (pDX->m_bSaveAndValidate) {
        if (enterMoves >= 0) m_nEnterMoves = enterMoves;
        if (defaultShow >= 0) m_nDefaultShow = defaultShow;
    }
}

void CWorkstationSetupDlg::OnDefaultLayerChanged() {
    const QString text = m_defaultLayer->currentText();
    for (int i = 0; i < 5; ++i) {
        if (text.compare(QString::fromLatin1(kSetupLayerNames[i]), Qt::CaseInsensitive) == 0) {
            m_nPendingLayer = i + 1;
            return;
        }
    }
    m_nPendingLayer = m_nDefaultLayer;
}

void CWorkstationSetupDlg::OnOK() {
    m_nDefaultLayer = m_nPendingLayer;
    m_layerColors = m_pendingColors;
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void CWorkstationSetupDlg::OnChooseLayerColors() {
    CLayerColorsDlg dialog(m_pendingColors, this);
    if (dialog.DoModal() == IDOK) m_pendingColors = dialog.m_colors;
}

void CWorkstationSetupDlg::OnBrowseDataPath() {
    UpdateData(TRUE);
    const bool endsWithSeparator = m_strDataPath.endsWith(QLatin1Char('\\')) || m_strDataPath.endsWith(QLatin1Char('/'));
    CFileDialog dialog(TRUE, QString(), endsWithSeparator ? QString() : m_strDataPath, OFN_HIDEREADONLY, QString(), this);
    if (endsWithSeparator) dialog.setDirectory(m_strDataPath);
    if (dialog.DoModal() != IDOK) return;
    const QString chosen = dialog.GetPathName();
    if (chosen.isEmpty()) return;
    // The folder: the chosen name cut just before its file-name part.
    m_strDataPath = QFileInfo(chosen).path();
    m_dataPath->setText(m_strDataPath);
}

void CWorkstationSetupDlg::ApplyPatternThroughGrid(bool askUser, int pattern, std::uint32_t fg, std::uint32_t bg) {
    auto host = std::make_unique<CSpreadsheetWnd>();
    if (!host->CreateInParent(nullptr)) return;
    host->hide();
    qs::ss::SpreadsheetControl* ctrl = host->Ctrl();
    ctrl->SetSelection(1, 1, ctrl->MaxRow(), ctrl->MaxCol());
    ctrl->SetActiveCell(1, 1);
    ctrl->SetPattern(pattern, SetupColor(fg), SetupColor(bg));
    if (askUser) {
        CSpreadsheetPatternDlg dialog(this);
        dialog.m_nPattern = pattern;
        dialog.m_nForeground = fg;
        dialog.m_nBackground = bg;
        if (dialog.DoModal() != IDOK) return;
        ctrl->SetPattern(dialog.m_nPattern, SetupColor(dialog.m_nForeground), SetupColor(dialog.m_nBackground));
    }
    int readPattern = 0;
    QColor readFg, readBg;
    if (ctrl->GetPattern(readPattern, readFg, readBg) != qs::ss::SS_OK) return;
    m_nPattern = readPattern;
    m_nPatternFg = SetupColorRef(readFg);
    m_nPatternBg = SetupColorRef(readBg);
}

void CWorkstationSetupDlg::OnReadOnlyBackground() { ApplyPatternThroughGrid(true, m_nPattern, m_nPatternFg, m_nPatternBg); }

void CWorkstationSetupDlg::OnDefaultBackground() {
    if (::MessageBox(this, QString::fromLatin1(kResetBackground), windowTitle(), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    // The grid's own default pattern, with the default colours.
    ApplyPatternThroughGrid(false, 4, 65535, 16777215);
}

bool CWorkstationSetupDlg::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::KeyPress && AcceleratorsLoaded()) {
        auto* key = static_cast<QKeyEvent*>(e);
        const QKeySequence pressed(key->keyCombination());
        for (const Accelerator& accel : Accelerators()) {
            if (accel.keys == pressed) {
                SendMessage(WM_COMMAND, accel.command, 0);
                return true;
            }
        }
    }
    return CDialog::eventFilter(watched, e);
}

void CWorkstationSetupDlg::TranslateAccelerator(UINT command) {
    auto* edit = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    if (edit == nullptr || !isAncestorOf(edit)) return;
    switch (command) {
    case ID_EDIT_COPY: edit->copy(); break;
    case ID_EDIT_CUT: edit->cut(); break;
    case ID_EDIT_PASTE: edit->paste(); break;
    case ID_EDIT_UNDO: edit->undo(); break;
    default: break;
    }
}

// ---------------------------------------------------------------- pattern dialog

CSpreadsheetPatternDlg::CSpreadsheetPatternDlg(CWnd* pParent) : CDialog(0, pParent) {
    setWindowTitle(QStringLiteral("Pattern"));
    auto* pattern = new QComboBox(this);
    SetControlId(pattern, IDC_PATTERN);
    for (const char* text : {"None", "Solid", "75% grey", "50% grey", "25% grey", "Horizontal", "Vertical", "Diagonal",
                             "Reverse diagonal", "Cross", "Diagonal cross"})
        pattern->addItem(QString::fromLatin1(text));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pattern);
    auto* colours = new QHBoxLayout;
    colours->addWidget(AddButton(IDC_FOREGROUND, QStringLiteral("&Foreground...")));
    colours->addWidget(AddButton(IDC_BACKGROUND, QStringLiteral("&Background...")));
    layout->addLayout(colours);
    auto* okRow = new QHBoxLayout;
    okRow->addStretch();
    okRow->addWidget(AddButton(IDOK, QStringLiteral("OK")));
    okRow->addWidget(AddButton(IDCANCEL, QStringLiteral("Cancel")));
    layout->addLayout(okRow);
    MapCommand(IDC_FOREGROUND, [this] { ChooseColor(m_nForeground); });
    MapCommand(IDC_BACKGROUND, [this] { ChooseColor(m_nBackground); });
}

void CSpreadsheetPatternDlg::DoDataExchange(CDataExchange* pDX) { DDX_CBIndex(pDX, IDC_PATTERN, m_nPattern); }

void CSpreadsheetPatternDlg::ChooseColor(std::uint32_t& colour) {
    QColorDialog chooser(SetupColor(colour), this);
    if (qs::fw::RunModal(chooser) == IDOK) colour = SetupColorRef(chooser.selectedColor());
}
