#include "CSDFFloodFillOptionDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "CAddFactorSetsDlg.h"
#include "CFSLib.h"
#include "CKDVFFTailOptionSht.h"
#include "ExhibitDialogWidgets.h"
#include "ExhibitDialogsHost.h"
#include "MessageBox.h"
#include "ViewSettings.h"

namespace {

constexpr int kTypeCodes[] = {1, 2, 4};

QLineEdit* IdEdit(QWidget* parent, int id, int width = 60) {
    auto* edit = new QLineEdit(parent);
    CWnd::SetControlId(edit, id);
    if (width > 0) edit->setMaximumWidth(width);
    return edit;
}

QCheckBox* IdCheck(QWidget* parent, int id, const QString& text = QString()) {
    auto* box = new QCheckBox(text, parent);
    CWnd::SetControlId(box, id);
    return box;
}

}  // namespace

CSDFFloodFillOptionDlg::CSDFFloodFillOptionDlg(const CKDVSDFFloodFillOption* option, CProject* project, CWnd* pParent)
    : CDialog(kTemplateId, pParent), m_pProject(project) {
    if (option != nullptr) m_pOption = std::make_unique<CKDVSDFFloodFillOption>(*option);
    auto* layout = new QVBoxLayout(this);

    // Statistics.
    auto* stats = new QRadioButton(QStringLiteral("&Statistics"), this);
    SetControlId(stats, IDC_STATISTICS);
    layout->addWidget(stats);
    auto* statsGrid = new QGridLayout;
    statsGrid->setContentsMargins(24, 0, 0, 0);
    const char* headings[] = {"Type", "Incl.\nZeros", "Excl.\nHi/Low", "Excl.\nFirst", "Excl.\nLast", "Use\nLast", "Weights"};
    for (int c = 0; c < 7; ++c) statsGrid->addWidget(new QLabel(QString::fromLatin1(headings[c]), this), 0, c);
    auto* type = new QComboBox(this);
    SetControlId(type, IDC_TYPE);
    for (const char* t : {"Average", "Linear Trend", "Exponential Curve"}) type->addItem(QString::fromLatin1(t));
    auto* weights = new QComboBox(this);
    SetControlId(weights, IDC_WEIGHTS);
    for (const char* w : {"NONE", "VOLUME", "TIME", "USER"}) weights->addItem(QString::fromLatin1(w));
    statsGrid->addWidget(type, 1, 0);
    statsGrid->addWidget(IdCheck(this, IDC_INCLUDE_ZEROS), 1, 1);
    statsGrid->addWidget(IdCheck(this, IDC_EXCLUDE_HILO), 1, 2);
    statsGrid->addWidget(IdEdit(this, IDC_EXCLUDE_FIRST), 1, 3);
    statsGrid->addWidget(IdEdit(this, IDC_EXCLUDE_LAST), 1, 4);
    statsGrid->addWidget(IdEdit(this, IDC_USE_LAST), 1, 5);
    statsGrid->addWidget(weights, 1, 6);
    layout->addLayout(statsGrid);
    auto* minRow = new QHBoxLayout;
    minRow->setContentsMargins(24, 0, 0, 0);
    auto* setMin = IdCheck(this, IDC_SET_MIN, QStringLiteral("Set Min SDF to"));
    minRow->addWidget(setMin);
    minRow->addWidget(IdEdit(this, IDC_MIN_VALUE));
    minRow->addStretch();
    auto* tail = new QPushButton(QStringLiteral("Set &Tail Factor..."), this);
    SetControlId(tail, IDC_TAIL);
    minRow->addWidget(tail);
    layout->addLayout(minRow);

    // Historical selection.
    auto* historical = new QRadioButton(QStringLiteral("&Historical Selection"), this);
    SetControlId(historical, IDC_HISTORICAL);
    auto* histRow = new QHBoxLayout;
    histRow->addWidget(historical);
    histRow->addWidget(IdEdit(this, IDC_SELECTION_NUMBER));
    histRow->addWidget(new QLabel(QStringLiteral("Select 1 for latest, 2 for second latest, etc."), this));
    histRow->addStretch();
    layout->addLayout(histRow);
    auto* fillRow = new QHBoxLayout;
    fillRow->setContentsMargins(24, 0, 0, 0);
    fillRow->addWidget(IdCheck(this, IDC_FILL_LAST, QStringLiteral("Fill last cell(s) by spreading tail")));
    layout->addLayout(fillRow);

    // Factor library set.
    auto* set = new QRadioButton(QStringLiteral("&Factor Library Set"), this);
    SetControlId(set, IDC_FACTOR_SET);
    layout->addWidget(set);
    auto* setGrid = new QGridLayout;
    setGrid->setContentsMargins(24, 0, 0, 0);
    auto* library = IdEdit(this, IDC_LIBRARY, 0);
    library->setMaxLength(256);
    auto* setName = IdEdit(this, IDC_FACTOR_SET_NAME, 0);
    setName->setMaxLength(256);
    setGrid->addWidget(qs::views::BuddyLabel(QStringLiteral("Library Name:"), library, this), 0, 0);
    setGrid->addWidget(library, 0, 1);
    auto* browse = new QPushButton(QStringLiteral("&Browse..."), this);
    SetControlId(browse, IDC_BROWSE);
    setGrid->addWidget(browse, 0, 2);
    setGrid->addWidget(qs::views::BuddyLabel(QStringLiteral("Factor Set Name:"), setName, this), 1, 0);
    setGrid->addWidget(setName, 1, 1);
    layout->addLayout(setGrid);

    auto* none = new QRadioButton(QStringLiteral("&None"), this);
    SetControlId(none, IDC_NONE);
    layout->addWidget(none);
    layout->addLayout(qs::views::OkCancelRow(this));

    for (QRadioButton* b : {stats, historical, set, none}) connect(b, &QRadioButton::clicked, this, [this] { OnSourceClicked(); });
    connect(type, &QComboBox::currentIndexChanged, this, [this] { OnTypeChanged(); });
    connect(weights, &QComboBox::currentIndexChanged, this, [this] { OnWeightsChanged(); });
    connect(setMin, &QCheckBox::clicked, this, [this] { OnSetMinClicked(); });
    connect(tail, &QPushButton::clicked, this, [this] { OnSetTailFactor(); });
    connect(browse, &QPushButton::clicked, this, [this] { OnBrowse(); });
}

CSDFFloodFillOptionDlg::~CSDFFloodFillOptionDlg() = default;

QRadioButton* CSDFFloodFillOptionDlg::Radio(int id) const { return qobject_cast<QRadioButton*>(GetDlgItem(id)); }
QComboBox* CSDFFloodFillOptionDlg::Combo(int id) const { return qobject_cast<QComboBox*>(GetDlgItem(id)); }
QLineEdit* CSDFFloodFillOptionDlg::Edit(int id) const { return qobject_cast<QLineEdit*>(GetDlgItem(id)); }
QCheckBox* CSDFFloodFillOptionDlg::Check(int id) const { return qobject_cast<QCheckBox*>(GetDlgItem(id)); }
QPushButton* CSDFFloodFillOptionDlg::Button(int id) const { return qobject_cast<QPushButton*>(GetDlgItem(id)); }

INT_PTR CSDFFloodFillOptionDlg::DoModal(const QString& name) {
    qsizetype lead = 0;
    while (lead < name.size() && name[lead] == QLatin1Char(' ')) ++lead;
    m_strTitle = QStringLiteral("Flood Fill Options - ") + name.mid(lead);
    return CDialog::DoModal();
}

void CSDFFloodFillOptionDlg::DoDataExchange(CDataExchange* pDX) {
    const int sources[] = {IDC_STATISTICS, IDC_HISTORICAL, IDC_FACTOR_SET, IDC_NONE};
    if (pDX->m_bSaveAndValidate) {
        for (int i = 0; i < 4; ++i)
            if (Radio(sources[i])->isChecked()) m_nSource = i;
    } else {
        for (int i = 0; i < 4; ++i) Radio(sources[i])->setChecked(m_nSource == i);
    }
    DDX_Check(pDX, IDC_INCLUDE_ZEROS, m_bIncludeZeros);
    DDX_Check(pDX, IDC_EXCLUDE_HILO, m_bExcludeHiLo);
    DDX_Check(pDX, IDC_SET_MIN, m_bSetMin);
    DDX_Check(pDX, IDC_FILL_LAST, m_bFillLast);
    const struct {
        int id;
        int* value;
        int low, high;
    } ints[] = {{IDC_EXCLUDE_FIRST, &m_nExcludeFirst, 0, 1000},
                {IDC_EXCLUDE_LAST, &m_nExcludeLast, 0, 1000},
                {IDC_USE_LAST, &m_nUseLast, 0, 1000},
                {IDC_SELECTION_NUMBER, &m_nSelection, 1, 1000}};
    for (const auto& f : ints) {
        DDX_Text(pDX, f.id, *f.value);
        DDV_MinMaxInt(pDX, *f.value, f.low, f.high);
        if (pDX->m_failed) return;
    }
    DDX_Text(pDX, IDC_MIN_VALUE, m_dMinValue);
    if (pDX->m_failed) return;
    if (pDX->m_bSaveAndValidate && (m_dMinValue < 0.0 || m_dMinValue > 1000.0)) {
        AfxMessageBox(QStringLiteral("Please enter a number between 0 and 1000."), MB_ICONEXCLAMATION);
        pDX->Fail(IDC_MIN_VALUE);
        return;
    }
    DDX_Text(pDX, IDC_LIBRARY, m_strLibrary);
    DDV_MaxChars(pDX, m_strLibrary, 256);
    DDX_Text(pDX, IDC_FACTOR_SET_NAME, m_strFactorSet);
    DDV_MaxChars(pDX, m_strFactorSet, 256);
}

BOOL CSDFFloodFillOptionDlg::OnInitDialog() {
    m_bLoading = true;
    Combo(IDC_WEIGHTS)->setCurrentIndex(0);
    Combo(IDC_TYPE)->setCurrentIndex(0);
    if (m_pOption != nullptr) {
        m_nSource = m_pOption->GetType();
        switch (m_nSource) {
        case CKDVSDFFloodFillOption::STATISTICS: {
            const CFFStat& s = m_pOption->GetStatData();
            int typeIndex = -1;
            for (int i = 0; i < 3; ++i)
                if (kTypeCodes[i] == s.m_avgType) typeIndex = i;
            Combo(IDC_TYPE)->setCurrentIndex(typeIndex);
            Combo(IDC_WEIGHTS)->setCurrentIndex(s.m_weighting >= 0 && s.m_weighting <= 3 ? s.m_weighting : -1);
            m_bIncludeZeros = s.m_includeZeros;
            m_bExcludeHiLo = s.m_excludeHighLow;
            m_nExcludeFirst = s.m_excludeFirst;
            m_nExcludeLast = s.m_excludeLast;
            m_nUseLast = s.m_useLast;
            m_bSetMin = s.m_setMin;
            m_dMinValue = s.m_minValue;
            m_tail = s.GetTailFactor();
            break;
        }
        case CKDVSDFFloodFillOption::HISTORICAL:
            m_nSelection = m_pOption->GetHistData().m_number;
            m_bFillLast = m_pOption->GetHistData().m_fillLast;
            break;
        case CKDVSDFFloodFillOption::FACTOR_SET:
            m_strLibrary = QString::fromStdString(m_pOption->GetDFLData().GetLibraryName());
            m_strFactorSet = QString::fromStdString(m_pOption->GetDFLData().GetFactorSetName());
            // Kept: a rule confirmed without a new Browse keeps its description.
            m_strLibraryDesc = QString::fromStdString(m_pOption->GetDFLData().GetLibraryDesc());
            break;
        default: break;
        }
    }
    CDialog::OnInitDialog();
    m_bLoading = false;
    ApplyEnableRules();
    setWindowTitle(m_strTitle);
    return TRUE;
}

bool CSDFFloodFillOptionDlg::FillBlankFields(bool checkLibrary) {
    auto blank = [this](int id) { return Edit(id)->text().trimmed().isEmpty(); };
    const bool stats = Radio(IDC_STATISTICS)->isChecked();
    if (!stats) {
        for (int id : {IDC_EXCLUDE_FIRST, IDC_EXCLUDE_LAST, IDC_USE_LAST})
            if (blank(id)) Edit(id)->setText(QStringLiteral("0"));
        if (blank(IDC_MIN_VALUE)) {
            Edit(IDC_MIN_VALUE)->setText(QStringLiteral("1"));
            Check(IDC_SET_MIN)->setChecked(false);
        }
    } else if (!Check(IDC_SET_MIN)->isChecked() && blank(IDC_MIN_VALUE)) {
        Edit(IDC_MIN_VALUE)->setText(QStringLiteral("1"));
    }
    if (!Radio(IDC_HISTORICAL)->isChecked() && blank(IDC_SELECTION_NUMBER))
        Edit(IDC_SELECTION_NUMBER)->setText(QStringLiteral("1"));
    if (checkLibrary && Radio(IDC_FACTOR_SET)->isChecked()) {
        if (blank(IDC_LIBRARY)) {
            AfxMessageBox(QStringLiteral("Must enter a Factor Library name."), MB_OK);
            Edit(IDC_LIBRARY)->setFocus();
            return false;
        }
        if (blank(IDC_FACTOR_SET_NAME)) {
            AfxMessageBox(QStringLiteral("Must enter a Factor Set name."), MB_OK);
            Edit(IDC_FACTOR_SET_NAME)->setFocus();
            return false;
        }
    }
    return true;
}

void CSDFFloodFillOptionDlg::ApplyEnableRules() {
    const bool stats = Radio(IDC_STATISTICS)->isChecked();
    const bool hist = Radio(IDC_HISTORICAL)->isChecked();
    const bool set = Radio(IDC_FACTOR_SET)->isChecked();
    for (int id : {IDC_TYPE, IDC_WEIGHTS, IDC_INCLUDE_ZEROS, IDC_EXCLUDE_HILO, IDC_EXCLUDE_FIRST, IDC_EXCLUDE_LAST,
                   IDC_USE_LAST, IDC_SET_MIN, IDC_TAIL})
        GetDlgItem(id)->setEnabled(stats);
    Edit(IDC_MIN_VALUE)->setEnabled(stats && Check(IDC_SET_MIN)->isChecked());
    for (int id : {IDC_SELECTION_NUMBER, IDC_FILL_LAST}) GetDlgItem(id)->setEnabled(hist);
    for (int id : {IDC_LIBRARY, IDC_FACTOR_SET_NAME, IDC_BROWSE}) GetDlgItem(id)->setEnabled(set);
}

void CSDFFloodFillOptionDlg::OnSourceClicked() {
    FillBlankFields(false);
    ApplyEnableRules();
}

void CSDFFloodFillOptionDlg::OnTypeChanged() {
    if (m_bLoading) return;
    const int type = Combo(IDC_TYPE)->currentIndex();
    if (type == 1 || type == 2) {
        m_bLoading = true;
        Combo(IDC_WEIGHTS)->setCurrentIndex(0);
        m_bLoading = false;
    }
}

void CSDFFloodFillOptionDlg::OnWeightsChanged() {
    if (m_bLoading) return;
    const int type = Combo(IDC_TYPE)->currentIndex();
    if (Combo(IDC_WEIGHTS)->currentIndex() > 0 && (type == 1 || type == 2)) {
        AfxMessageBox(QString::fromLatin1(kWeightsRefused), MB_OK);
        m_bLoading = true;
        Combo(IDC_WEIGHTS)->setCurrentIndex(0);
        m_bLoading = false;
        Combo(IDC_WEIGHTS)->setFocus();
    }
}

void CSDFFloodFillOptionDlg::OnSetMinClicked() {
    if (!Check(IDC_SET_MIN)->isChecked() && Edit(IDC_MIN_VALUE)->text().trimmed().isEmpty())
        Edit(IDC_MIN_VALUE)->setText(QStringLiteral("1"));
    ApplyEnableRules();
}

void CSDFFloodFillOptionDlg::OnSetTailFactor() {
    CKDVFFTailOptionSht sheet(m_tail, QStringLiteral("Flood Fill Option"), nullptr, 0);
    sheet.SetProject(m_pProject);
    if (sheet.DoModal() != IDCANCEL) sheet.WriteResults(m_tail);
}

void CSDFFloodFillOptionDlg::OnBrowse() {
    CProject* project = qs::views::ExhibitHost().activeProject ? qs::views::ExhibitHost().activeProject() : nullptr;
    if (project == nullptr) project = m_pProject;
    CAddFactorSetsDlg dialog(project, 1, this, false, true);
    if (dialog.DoModal() != IDOK) return;
    const QStringList& names = dialog.GetChosenNames();
    if (names.isEmpty() || names.last().isEmpty()) return;
    Edit(IDC_LIBRARY)->setText(dialog.GetLibraryName());
    Edit(IDC_FACTOR_SET_NAME)->setText(names.last());
    m_strLibraryDesc = dialog.GetLibraryDescription();
}

void CSDFFloodFillOptionDlg::OnOK() {
    if (!FillBlankFields(true)) return;
    if (!UpdateData(TRUE)) return;
    CKDVSDFFloodFillOption built(m_nSource);
    switch (m_nSource) {
    case CKDVSDFFloodFillOption::STATISTICS: {
        CFFStat& s = built.GetStatData();
        const int type = Combo(IDC_TYPE)->currentIndex();
        s.m_avgType = type >= 0 && type < 3 ? kTypeCodes[type] : 0;
        s.m_weighting = std::max(0, Combo(IDC_WEIGHTS)->currentIndex());
        s.m_includeZeros = m_bIncludeZeros != 0;
        s.m_excludeHighLow = m_bExcludeHiLo != 0;
        s.m_excludeFirst = m_nExcludeFirst;
        s.m_excludeLast = m_nExcludeLast;
        s.m_useLast = m_nUseLast;
        s.m_setMin = m_bSetMin != 0;
        s.m_minValue = m_dMinValue;
        s.m_tail = m_tail;
        break;
    }
    case CKDVSDFFloodFillOption::HISTORICAL: built.GetHistData() = CFFHistorical(m_nSelection, m_bFillLast); break;
    case CKDVSDFFloodFillOption::FACTOR_SET: {
        // A typed library and set must exist: a rule that names nothing would
        // only fail when the fill runs.
        if (qs::views::Settings().fileMode == 1 || qs::views::ExhibitHost().store == nullptr) {
            CFSLib library;
            if (library.LoadFile(m_strLibrary.toStdString()) != 0) {
                AfxMessageBox(QStringLiteral("The Factor Library %1 could not be opened.").arg(m_strLibrary), MB_OK);
                Edit(IDC_LIBRARY)->setFocus();
                return;
            }
            CFactorSet* set = nullptr;
            library.GetFactorSet(m_strFactorSet.toStdString(), set);
            if (set == nullptr) {
                AfxMessageBox(QStringLiteral("The Factor Library %1 holds no Factor Set %2.").arg(m_strLibrary, m_strFactorSet),
                              MB_OK);
                Edit(IDC_FACTOR_SET_NAME)->setFocus();
                return;
            }
            if (m_strLibraryDesc.isEmpty()) m_strLibraryDesc = QString::fromStdString(library.GetDescription());
        } else {
            CFSLib library;
            if (!qs::views::ExhibitHost().store->GetDFLfromDB(library, m_strLibrary.toStdString())) {
                AfxMessageBox(QStringLiteral("The library %1 is not found").arg(m_strLibrary), MB_OK);
                Edit(IDC_LIBRARY)->setFocus();
                return;
            }
        }
        built.GetDFLData() = CFFDFL(m_strLibrary.toUtf8().constData(), m_strLibraryDesc.toUtf8().constData(),
                                    m_strFactorSet.toUtf8().constData());
        break;
    }
    default: break;
    }
    if (m_pOption == nullptr) {
        if (m_nSource != CKDVSDFFloodFillOption::NONE) m_pOption = std::make_unique<CKDVSDFFloodFillOption>(built);
    } else {
        *m_pOption = built;
    }
    EndDialog(IDOK);
}
