#include "CUltWeightsDlg.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "CLOGFONT.h"
#include "CProject.h"
#include "CF1Ctrl.h"
#include "KernelIds.h"
#include "MessageBox.h"
#include "SpreadsheetControl.h"

using namespace qs::ss;

namespace {

// The weights grid refuses anything but a plain decimal number.
class WeightsGrid : public CF1WeightsCtrl {
public:
    explicit WeightsGrid(QWidget* owner) : m_owner(owner) {}
    void OnEndEdit(const QString& text, bool& cancel) override {
        if (CUltWeightsDlg::IsAcceptableWeight(text.trimmed())) return;
        cancel = true;
        ::MessageBox(m_owner, QStringLiteral("Only numeric characters are allowed."), QString(), MB_OK);
    }

private:
    QWidget* m_owner;
};

}  // namespace

CUltWeightsDlg::CUltWeightsDlg(CProject* project, QWidget* parent) : CDialog(kTemplateId, nullptr), m_pProject(project) {
    if (parent != nullptr) setParent(parent, Qt::Widget);
    auto* layout = new QVBoxLayout(this);
    auto* text = new QLabel(
        QStringLiteral("Please enter weights to apply to each method.  The calculations are based on relative "
                       "weights, so you can enter them in any format -- .5/.3/.2 or 5/3/2 or 50/30/20 will all "
                       "give the same weighted average."),
        this);
    text->setWordWrap(true);
    SetControlId(text, IDC_TEXT);
    layout->addWidget(text);
    auto* grid = new WeightsGrid(this);
    grid->CreateInParent(nullptr);
    SetControlId(grid, IDC_BOOK);
    m_pGrid = grid->Ctrl();
    m_pGrid->EnableNotify(SSN_DblClick, false);
    m_pGrid->SetGridSwitch(SSG_AllowEditing, true);
    grid->setMinimumSize(240, 160);
    layout->addWidget(grid, 1);
    auto* row = new QHBoxLayout;
    auto* label = new QLabel(QStringLiteral("Number of Latest Exposure Period(s):"), this);
    SetControlId(label, IDC_LATEST_LABEL);
    m_pLatest = new QSpinBox(this);
    // The count is 1 to 250: zero latest periods would leave nothing to weight apart.
    m_pLatest->setRange(1, kMaxLatest);
    SetControlId(m_pLatest, IDC_LATEST);
    label->setBuddy(m_pLatest);
    row->addWidget(label);
    row->addWidget(m_pLatest);
    row->addStretch();
    layout->addLayout(row);
    connect(m_pLatest, &QSpinBox::valueChanged, this, [this](int value) { OnLatestChanged(value); });
}

CUltWeightsDlg::~CUltWeightsDlg() = default;

bool CUltWeightsDlg::IsAcceptableWeight(const QString& text) {
    int dots = 0;
    for (const QChar ch : text) {
        if (ch == QLatin1Char('.')) {
            if (++dots > 1) return false;
        } else if (!ch.isDigit()) {
            return false;
        }
    }
    return true;
}

void CUltWeightsDlg::SetWeightData(const QSIDArray& ids, const CKDVUltWeightDataInfo& info, unsigned short layer) {
    m_Ids = ids;
    m_Info = info;
    m_nLayer = layer;
}

BOOL CUltWeightsDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_bReady = false;
    m_nLatest = m_Info.GetNumLatest() > 0 ? m_Info.GetNumLatest() : 4;
    m_pLatest->setValue(m_nLatest);
    const int cols = std::max<int>(1, int(m_Ids.size()));
    m_pGrid->SetMaxCol(cols);
    m_pGrid->SetMaxRow(m_nLatest + 1);
    if (m_pProject != nullptr) {
        CLOGFONT headings;
        m_pProject->GetHeadingsFont(headings);
        QsLogFont lf{};
        headings.GetLogFont(&lf);
        m_pGrid->SelectHeadings(true, true, true);
        m_pGrid->SetFont(QString::fromLatin1(lf.lfFaceName, int(qstrnlen(lf.lfFaceName, sizeof lf.lfFaceName))),
                         lf.lfHeight / 10, lf.lfWeight > 400, false, false, false, QColor(Qt::black));
        m_pGrid->SelectHeadings(false, false, false);
    }
    BuildRowHeadings();
    // Headings and weights, ultimate by ultimate, until a look-up fails.
    m_nFilled = 0;
    for (std::size_t i = 0; i < m_Ids.size(); ++i) {
        QSID id = m_Ids[i];
        SetIDLayer(id, m_nLayer);
        std::string header;
        CDataObject* table = nullptr;
        const bool found = m_pProject != nullptr &&
                           (m_pProject->FindObject(id, m_nLayer) != nullptr ||
                            m_pProject->UltimateMapLookup(id, table) == qsk::kOk) &&
                           m_pProject->CreateHeader(id, header) == qsk::kOk;
        if (!found) {
            ::MessageBox(this, QString::fromLatin1(kLookupFailed), QString(), MB_OK);
            break;
        }
        const int col = int(i) + 1;
        m_pGrid->SetColHeadingText(
            col, QString::asprintf("%s %ld", (QString::fromStdString(header) + QStringLiteral("\n===\n")).toUtf8().constData(),
                                   long(col)));
        CKDVUltWeightData data;
        if (m_Info.GetColData(m_Ids[i], data)) {
            m_pGrid->SetNumber(1, col, data.GetAllOtherData());
            for (int k = 0; k < m_nLatest && k < data.GetLatestCount(); ++k)
                m_pGrid->SetNumber(2 + k, col, data.GetLatestData(k));
        }
        m_nFilled = col;
    }
    FitWidths();
    adjustSize();
    m_bReady = true;
    return TRUE;
}

void CUltWeightsDlg::BuildRowHeadings() {
    m_pGrid->SetRowHeadingText(1, QStringLiteral("All Other"));
    QSStringArray exposure, development, exhibit;
    std::string word;
    if (m_pProject != nullptr) m_pProject->GetLabels(exposure, development, exhibit, word);
    const int periods = int(exposure.size());
    for (int k = 0; k < m_nLatest; ++k) {
        // The latest N periods, oldest first: the newest is the last row.
        const int period = periods - m_nLatest + k;
        const QString label = period >= 0 && period < periods ? QString::fromStdString(exposure[std::size_t(period)])
                                                              : QString();
        m_pGrid->SetRowHeadingText(2 + k, label);
    }
    QString widest = QStringLiteral("All Other");
    for (int r = 2; r <= m_nLatest + 1; ++r)
        if (m_pGrid->RowHeadingText(r).size() > widest.size()) widest = m_pGrid->RowHeadingText(r);
    m_pGrid->SetHeadingColWidth(int((widest.size() + 2) * 1440 / 10));
}

void CUltWeightsDlg::FitWidths() {
    const QFontMetrics metrics(m_pGrid->font());
    int lines = 1;
    for (int c = 1; c <= m_pGrid->MaxCol(); ++c) {
        const QStringList pieces = m_pGrid->ColHeadingText(c).split(QLatin1Char('\n'));
        lines = std::max(lines, int(pieces.size()));
        QString widest;
        for (const QString& piece : pieces)
            if (metrics.horizontalAdvance(piece) > metrics.horizontalAdvance(widest)) widest = piece;
        m_pGrid->SetColWidthChars(c, c, widest.size() + 2);
    }
    m_pGrid->SetHeadingRowHeight(lines * 300);
}

void CUltWeightsDlg::OnLatestChanged(int latest) {
    if (!m_bReady || latest < 1 || latest > kMaxLatest) return;
    const int have = m_pGrid->MaxRow() - 1;
    if (latest < have) {
        // The oldest of the latest periods go: the rows below "All Other".
        m_pGrid->DeleteRows(2, 2 + (have - latest) - 1);
        m_pGrid->SetMaxRow(latest + 1);
    } else if (latest > have) {
        m_pGrid->SetMaxRow(latest + 1);
        m_pGrid->InsertRows(2, 2 + (latest - have) - 1);
    }
    m_nLatest = latest;
    BuildRowHeadings();
    FitWidths();
    adjustSize();
}

bool CUltWeightsDlg::SaveWeights() {
    m_pGrid->EndEdit();
    const int latest = m_pLatest->value();
    if (latest < 1 || latest > kMaxLatest) return false;
    m_nLatest = latest;
    CKDVUltWeightDataInfo info(latest);
    info.SetLayer(m_nLayer);
    for (std::size_t i = 0; i < m_Ids.size(); ++i) {
        const int col = int(i) + 1;
        if (col > m_nFilled) {
            // Not shown (its look-up failed, or one before it did): it keeps
            // the weights it came with.
            CKDVUltWeightData kept;
            if (m_Info.GetColData(m_Ids[i], kept)) info.SetColData(kept);
            continue;
        }
        CKDVUltWeightData data;
        data.SetID(GetLayerNeutralID(m_Ids[i]));
        double value = 0.0;
        m_pGrid->GetNumber(1, col, value);
        data.SetAllOtherData(value);
        for (int k = 0; k < latest; ++k) {
            value = 0.0;
            m_pGrid->GetNumber(2 + k, col, value);
            data.AddLatestData(value);
        }
        info.SetColData(data);
    }
    m_Info = info;
    return true;
}

void CUltWeightsDlg::OnOK() {
    if (!SaveWeights()) return;
    CDialog::OnOK();
}

// ---- the scrolling host -------------------------------------------------------------------------------------

CUltWeightsScrollWnd::CUltWeightsScrollWnd(CUltWeightsDlg* dialog, QWidget* parent)
    : QScrollArea(parent), m_pDialog(dialog) {
    CWnd::SetControlId(this, kControlId);
    setWidgetResizable(true);
    setWidget(dialog);
}

CWeightSettingsDlg::CWeightSettingsDlg(CProject* project, CWnd* pParent)
    : CDialog(kTemplateId, pParent), m_pWeights(new CUltWeightsDlg(project, nullptr)), m_pScroll(nullptr) {
    setWindowTitle(QStringLiteral("Weight Settings"));
    m_pWeights->setWindowFlags(Qt::Widget);
    m_pScroll = new CUltWeightsScrollWnd(m_pWeights, this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pScroll, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(AddButton(IDOK, QStringLiteral("OK")));
    buttons->addWidget(AddButton(IDCANCEL, QStringLiteral("Cancel")));
    layout->addLayout(buttons);
    resize(560, 420);
}

void CWeightSettingsDlg::SetWeightData(const QSIDArray& ids, const CKDVUltWeightDataInfo& info, unsigned short layer) {
    m_pWeights->SetWeightData(ids, info, layer);
}

BOOL CWeightSettingsDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_pWeights->OnInitDialog();
    m_pWeights->show();
    return TRUE;
}

void CWeightSettingsDlg::OnOK() {
    if (!m_pWeights->SaveWeights()) return;
    CDialog::OnOK();
}
