#include "CPageSetupDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFontDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextBlock>
#include <QVBoxLayout>

#include <cmath>

#include "ModalScript.h"
#include "ViewPrinting.h"

namespace {

const char* const kModes[7] = {"Actual size",           "Fit table to page",        "Fit columns to page",
                               "Fit rows to page",      "Manually scale",           "Number of tables per page",
                               "Number of graphs per page"};

bool ParseMargin(const QString& text, double& value) {
    bool ok = false;
    value = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok) value = QLocale().toDouble(text.trimmed(), &ok);
    return ok && std::isfinite(value) && value >= 0 && value < 100;
}

bool ParsePercent(const QString& text, int& value) {
    bool ok = false;
    value = text.trimmed().toInt(&ok);
    return ok && value >= 1 && value <= 65535;
}

QString MarginText(double inches) { return QString::number(inches, 'g', 6); }

void MarkInvalid(QLineEdit* edit, bool invalid) {
    edit->setStyleSheet(invalid ? QStringLiteral("QLineEdit { background: #ffd0d0; }") : QString());
}

}  // namespace

// ---- Layout ------------------------------------------------------------------------------

CPageSetupLayoutPage::CPageSetupLayoutPage(CEditPageSetup& setup, QWidget* parent)
    : CTabPageDialog(406, parent), m_setup(setup) {
    auto* layout = new QVBoxLayout(this);
    auto* size = new QGroupBox(QStringLiteral("Size"), this);
    auto* sizeGrid = new QGridLayout(size);
    m_pScaling = new QComboBox(size);
    for (const char* mode : kModes) m_pScaling->addItem(QString::fromLatin1(mode));
    SetControlId(m_pScaling, 1150);
    auto* scalingLabel = new QLabel(QStringLiteral("Scaling:"), size);
    scalingLabel->setBuddy(m_pScaling);
    m_pPercent = new QLineEdit(size);
    SetControlId(m_pPercent, 1156);
    m_pPercentLabel = new QLabel(QStringLiteral("%"), size);
    m_pTablesPerPage = new QLineEdit(size);
    m_pTablesPerPage->setValidator(new QIntValidator(0, 99, m_pTablesPerPage));
    SetControlId(m_pTablesPerPage, 1153);
    m_pNewPage = new QCheckBox(QStringLiteral("Start &new page for each part of table"), size);
    SetControlId(m_pNewPage, 1155);
    m_pGraphsLabel = new QLabel(QStringLiteral("# Columns of graphs per page"), size);
    m_pGraphs = new QComboBox(size);
    m_pGraphs->addItems({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")});
    SetControlId(m_pGraphs, 1712);
    sizeGrid->addWidget(scalingLabel, 0, 0);
    sizeGrid->addWidget(m_pScaling, 0, 1);
    sizeGrid->addWidget(m_pPercent, 0, 2);
    sizeGrid->addWidget(m_pPercentLabel, 0, 3);
    sizeGrid->addWidget(m_pTablesPerPage, 0, 4);
    sizeGrid->addWidget(m_pNewPage, 1, 0, 1, 5);
    sizeGrid->addWidget(m_pGraphsLabel, 2, 0, 1, 2);
    sizeGrid->addWidget(m_pGraphs, 2, 2);
    layout->addWidget(size);

    auto* presentation = new QGroupBox(QStringLiteral("Array Presentation"), this);
    auto* presentationBox = new QHBoxLayout(presentation);
    m_pCalendar = new QCheckBox(QStringLiteral("&Calendar Format"), presentation);
    SetControlId(m_pCalendar, 1152);
    presentationBox->addWidget(m_pCalendar);
    const char* presentations[3] = {"&Incremental", "Cu&mulative", "Incremental &and Cumulative"};
    const int presentationIds[3] = {1492, 1494, 1496};
    for (int i = 0; i < 3; ++i) {
        m_pPresentation[i] = new QRadioButton(QString::fromLatin1(presentations[i]), presentation);
        SetControlId(m_pPresentation[i], presentationIds[i]);
        presentationBox->addWidget(m_pPresentation[i]);
        connect(m_pPresentation[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (m_loading || !on) return;
            m_setup.m_nArrayPresentation = i;
            NotifyChange();
        });
    }
    layout->addWidget(presentation);

    auto* bottom = new QHBoxLayout;
    auto* margins = new QGroupBox(QStringLiteral("Margins"), this);
    auto* marginGrid = new QGridLayout(margins);
    const char* marginLabels[4] = {"&Top:", "L&eft:", "&Bottom:", "&Right:"};
    for (int i = 0; i < 4; ++i) {
        m_pMargins[i] = new QLineEdit(margins);
        m_pMargins[i]->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000.000")) + 16);
        SetControlId(m_pMargins[i], 1064 + i);
        auto* label = new QLabel(QString::fromLatin1(marginLabels[i]), margins);
        label->setBuddy(m_pMargins[i]);
        marginGrid->addWidget(label, i, 0);
        marginGrid->addWidget(m_pMargins[i], i, 1);
        marginGrid->addWidget(new QLabel(QStringLiteral("inches"), margins), i, 2);
        marginGrid->setColumnStretch(3, 1);
        connect(m_pMargins[i], &QLineEdit::textChanged, this, [this, i] { OnMarginChanged(i); });
    }
    bottom->addWidget(margins);
    auto* orientation = new QGroupBox(QStringLiteral("Orientation"), this);
    auto* orientationBox = new QVBoxLayout(orientation);
    m_pPortrait = new QRadioButton(QStringLiteral("&Portrait"), orientation);
    m_pLandscape = new QRadioButton(QStringLiteral("&Landscape"), orientation);
    SetControlId(m_pPortrait, 1068);
    SetControlId(m_pLandscape, 1069);
    orientationBox->addWidget(m_pPortrait);
    orientationBox->addWidget(m_pLandscape);
    orientationBox->addStretch();
    bottom->addWidget(orientation);
    layout->addLayout(bottom);
    layout->addStretch();

    connect(m_pScaling, &QComboBox::activated, this, [this](int mode) { ChooseMode(mode); });
    connect(m_pPercent, &QLineEdit::textChanged, this, [this] { OnPercentChanged(); });
    connect(m_pTablesPerPage, &QLineEdit::textEdited, this, [this] { OnTablesPerPageChanged(); });
    connect(m_pNewPage, &QCheckBox::toggled, this, [this](bool on) {
        if (m_loading) return;
        m_setup.m_bNewPageEachPart = on ? 1 : 0;
        NotifyChange();
    });
    connect(m_pGraphs, &QComboBox::activated, this, [this](int index) {
        m_setup.m_nGraphsPerPage = index + 1;
        NotifyChange();
    });
    connect(m_pCalendar, &QCheckBox::toggled, this, [this](bool on) {
        if (m_loading) return;
        m_setup.m_bCalendarFormat = on ? 1 : 0;
        NotifyChange();
    });
    connect(m_pPortrait, &QRadioButton::toggled, this, [this](bool on) {
        if (m_loading) return;
        m_setup.m_nOrientation = on ? 1 : 0;
        NotifyChange();
    });
    Refresh();
}

int CPageSetupLayoutPage::ModeOf(const CPageSetup& s) {
    if (s.m_nGraphsPerPage > 1 || s.m_nGraphPageMarker == -2) return 6;
    if (s.m_bFitRows != 0) {
        if (s.m_bFitColumns != 0 && s.m_nTablesPerPage != 0) return 5;
        return s.m_bFitColumns != 0 ? 1 : 3;
    }
    if (s.m_bFitColumns != 0) return 2;
    if (s.m_nScalePercent != 0) return 4;
    return 0;
}

void CPageSetupLayoutPage::Refresh() {
    m_loading = true;
    const int mode = ModeOf(m_setup);
    m_pScaling->setCurrentIndex(mode);
    m_pPercent->setText(QString::number(m_setup.m_nScalePercent));
    m_pTablesPerPage->setText(QString::number(m_setup.m_nTablesPerPage));
    m_pNewPage->setChecked(m_setup.m_bNewPageEachPart != 0);
    m_pGraphs->setCurrentIndex(std::clamp(m_setup.m_nGraphsPerPage - 1, 0, 2));
    m_pCalendar->setChecked(m_setup.m_bCalendarFormat != 0);
    m_pPresentation[std::clamp(m_setup.m_nArrayPresentation, 0, 2)]->setChecked(true);
    const double margins[4] = {m_setup.m_dTopMargin, m_setup.m_dLeftMargin, m_setup.m_dBottomMargin,
                               m_setup.m_dRightMargin};
    for (int i = 0; i < 4; ++i) {
        m_pMargins[i]->setText(MarginText(margins[i]));
        MarkInvalid(m_pMargins[i], false);
    }
    (m_setup.m_nOrientation == 1 ? m_pPortrait : m_pLandscape)->setChecked(true);
    ShowModeControls(mode);
    m_loading = false;
}

void CPageSetupLayoutPage::ShowModeControls(int mode) {
    m_pPercent->setVisible(mode == 4);
    m_pPercentLabel->setVisible(mode == 4);
    m_pTablesPerPage->setVisible(mode == 5 || mode == 6);
    m_pNewPage->setVisible(mode != 1 && mode != 5 && mode != 6);
    m_pGraphs->setVisible(mode == 6);
    m_pGraphsLabel->setVisible(mode == 6);
}

void CPageSetupLayoutPage::ChooseMode(int mode) {
    m_pScaling->setCurrentIndex(mode);
    CPageSetup& s = m_setup;
    s.m_nScalePercent = 0;
    s.m_nTablesPerPage = 0;
    s.m_bWholeSize = 1;
    s.m_bManualScale = 0;
    s.m_bSeveralPerPage = 0;
    s.m_bFitColumns = 0;
    s.m_bFitRows = 0;
    s.m_nGraphsPerPage = 0;
    s.m_nGraphPageMarker = 0;
    switch (mode) {
    case 1: s.m_bFitColumns = s.m_bFitRows = 1; break;
    case 2: s.m_bFitColumns = 1; break;
    case 3: s.m_bFitRows = 1; break;
    case 4: s.m_bWholeSize = 0; s.m_bManualScale = 1; break;
    case 5: s.m_bWholeSize = 0; s.m_bSeveralPerPage = 1; s.m_bFitColumns = s.m_bFitRows = 1; break;
    case 6:
        s.m_bWholeSize = 0;
        s.m_bSeveralPerPage = 1;
        s.m_bFitColumns = s.m_bFitRows = 1;
        s.m_nGraphsPerPage = 1;
        s.m_nTablesPerPage = 1;
        s.m_nGraphPageMarker = -2;
        break;
    default: break;
    }
    m_loading = true;
    if (mode == 4) {
        s.m_nScalePercent = 100;
        m_pPercent->setText(QStringLiteral("100"));
        MarkInvalid(m_pPercent, false);
    }
    if (mode == 5) {
        s.m_nTablesPerPage = 1;
        s.m_bNewPageEachPart = 1;
        m_pNewPage->setChecked(true);
    }
    m_pTablesPerPage->setText(QString::number(s.m_nTablesPerPage));
    m_pGraphs->setCurrentIndex(std::clamp(s.m_nGraphsPerPage - 1, 0, 2));
    m_loading = false;
    NotifyChange();
    ShowModeControls(mode);
}

void CPageSetupLayoutPage::OnMarginChanged(int which) {
    if (m_loading) return;
    double value = 0;
    const bool ok = ParseMargin(m_pMargins[which]->text(), value);
    MarkInvalid(m_pMargins[which], !ok);
    if (!ok) return;
    double* fields[4] = {&m_setup.m_dTopMargin, &m_setup.m_dLeftMargin, &m_setup.m_dBottomMargin,
                         &m_setup.m_dRightMargin};
    *fields[which] = value;
    NotifyChange();
}

void CPageSetupLayoutPage::OnPercentChanged() {
    if (m_loading) return;
    int value = 0;
    const bool ok = ParsePercent(m_pPercent->text(), value);
    MarkInvalid(m_pPercent, !ok);
    if (!ok) return;
    m_setup.m_nScalePercent = std::uint16_t(value);
    NotifyChange();
}

void CPageSetupLayoutPage::OnTablesPerPageChanged() {
    QString text = m_pTablesPerPage->text();
    // One digit: a new digit replaces the old one, and there is no 0.
    if (text.size() > 1) text = text.right(1);
    if (text == QStringLiteral("0")) text = QStringLiteral("1");
    if (text != m_pTablesPerPage->text()) {
        m_pTablesPerPage->setText(text);
        m_pTablesPerPage->setCursorPosition(int(text.size()));
    }
    m_setup.m_nTablesPerPage = std::uint16_t(text.toInt());
    NotifyChange();
}

QLineEdit* CPageSetupLayoutPage::InvalidEdit() const {
    for (QLineEdit* edit : m_pMargins) {
        double value = 0;
        if (!ParseMargin(edit->text(), value)) return edit;
    }
    int percent = 0;
    if (m_pScaling->currentIndex() == 4 && !ParsePercent(m_pPercent->text(), percent)) return m_pPercent;
    return nullptr;
}

// ---- Titles ------------------------------------------------------------------------------

CPageSetupTitlesPage::CPageSetupTitlesPage(CEditPageSetup& setup, QWidget* parent)
    : CTabPageDialog(407, parent), m_setup(setup) {
    auto* grid = new QGridLayout(this);
    const char* columns[3] = {"Left Text:", "Center Text:", "Right Text:"};
    const char* rows[3] = {"Header:", "Title:", "Footer:"};
    const int ids[3][3] = {{1055, 1058, 1061}, {1057, 1060, 1063}, {1056, 1059, 1062}};
    const Qt::Alignment aligns[3] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
    for (int c = 0; c < 3; ++c) grid->addWidget(new QLabel(QString::fromLatin1(columns[c]), this), 0, c + 1);
    for (int r = 0; r < 3; ++r) {
        grid->addWidget(new QLabel(QString::fromLatin1(rows[r]), this), r + 1, 0);
        for (int c = 0; c < 3; ++c) {
            auto* edit = new QPlainTextEdit(this);
            edit->setTabChangesFocus(true);
            edit->setMinimumHeight(48);
            SetControlId(edit, ids[r][c]);
            QTextOption option = edit->document()->defaultTextOption();
            option.setAlignment(aligns[c]);
            edit->document()->setDefaultTextOption(option);
            edit->installEventFilter(this);
            m_pEdits[r][c] = edit;
            grid->addWidget(edit, r + 1, c + 1);
            connect(edit, &QPlainTextEdit::textChanged, this, [this, r, c] {
                if (m_loading) return;
                QString text = m_pEdits[r][c]->toPlainText();
                text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
                Strings(r)[std::size_t(c)] = text.toStdString();
                NotifyChange();
            });
        }
    }
    m_pInsertField = new QPushButton(QStringLiteral("&Insert field..."), this);
    SetControlId(m_pInsertField, 1166);
    m_pInsertField->setEnabled(false);
    m_pInsertField->setFocusPolicy(Qt::TabFocus);
    grid->addWidget(m_pInsertField, 4, 3, Qt::AlignRight);
    connect(m_pInsertField, &QPushButton::clicked, this, [this] { OnInsertField(); });
    Refresh();
}

std::vector<std::string>& CPageSetupTitlesPage::Strings(int row) {
    if (row == 0) return m_setup.m_HeaderStrings;
    if (row == 1) return m_setup.m_TitleStrings;
    return m_setup.m_FooterStrings;
}

void CPageSetupTitlesPage::Refresh() {
    m_loading = true;
    for (int r = 0; r < 3; ++r) {
        std::vector<std::string>& strings = Strings(r);
        strings.resize(3);
        for (int c = 0; c < 3; ++c) {
            QString text = QString::fromStdString(strings[std::size_t(c)]);
            text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
            m_pEdits[r][c]->setPlainText(text);
        }
    }
    m_loading = false;
}

bool CPageSetupTitlesPage::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn)
        if (auto* edit = qobject_cast<QPlainTextEdit*>(watched)) {
            m_pRemembered = edit;
            m_pInsertField->setEnabled(true);
        }
    return CTabPageDialog::eventFilter(watched, event);
}

void CPageSetupTitlesPage::OnInsertField() {
    if (m_pRemembered == nullptr) return;
    bool title = false;
    for (int c = 0; c < 3; ++c) title = title || m_pEdits[1][c] == m_pRemembered;
    CInsertFieldDlg dialog(m_setup, title, this);
    if (dialog.DoModal() == IDOK && !dialog.m_strChosen.isEmpty())
        m_pRemembered->insertPlainText(QStringLiteral("&[") + dialog.m_strChosen + QLatin1Char(']'));
    m_pRemembered->setFocus();
}

// ---- Fonts -------------------------------------------------------------------------------

CPageSetupFontsPage::CPageSetupFontsPage(CEditPageSetup& setup, QWidget* parent)
    : CTabPageDialog(408, parent), m_setup(setup) {
    auto* grid = new QGridLayout(this);
    const char* labels[6] = {"&Header Font...", "&Footer Font...", "&Title Font...",
                             "&Labels Font...", "&Data Font...",   "Foot&note Font..."};
    const int descriptionIds[6] = {1079, 1047, 1048, 1049, 1050, 1051};
    for (int i = 0; i < 6; ++i) {
        m_pButtons[i] = new QPushButton(QString::fromLatin1(labels[i]), this);
        SetControlId(m_pButtons[i], 1054 + i);
        m_pDescriptions[i] = new QLineEdit(this);
        m_pDescriptions[i]->setReadOnly(true);
        m_pDescriptions[i]->setMinimumWidth(260);
        SetControlId(m_pDescriptions[i], descriptionIds[i]);
        grid->addWidget(m_pButtons[i], i, 0);
        grid->addWidget(m_pDescriptions[i], i, 1);
        connect(m_pButtons[i], &QPushButton::clicked, this, [this, i] { ChooseFont(i); });
    }
    grid->setRowStretch(6, 1);
    Refresh();
}

CLOGFONT& CPageSetupFontsPage::FontAt(int which) {
    CLOGFONT* fonts[6] = {&m_setup.m_HeaderFont, &m_setup.m_FooterFont, &m_setup.m_TitleFont,
                          &m_setup.m_LabelsFont, &m_setup.m_DataFont,   &m_setup.m_FootnoteFont};
    return *fonts[which];
}

QString CPageSetupFontsPage::Describe(const CLOGFONT& font) {
    QsLogFont lf{};
    font.GetLogFont(&lf);
    QString text = QString::fromStdString(font.GetFace()) + QStringLiteral(", ") + QString::number(lf.lfHeight / 10) +
                   QStringLiteral("pt");
    if (lf.lfWeight > 400) text += QStringLiteral(", bold");
    if (lf.lfItalic) text += QStringLiteral(", italic");
    if (lf.lfUnderline) text += QStringLiteral(", underline");
    if (lf.lfStrikeOut) text += QStringLiteral(", strikeout");
    return text;
}

void CPageSetupFontsPage::Refresh() {
    for (int i = 0; i < 6; ++i) m_pDescriptions[i]->setText(Describe(FontAt(i)));
}

void CPageSetupFontsPage::ChooseFont(int which) {
    m_pButtons[which]->setEnabled(false);
    CLOGFONT& stored = FontAt(which);
    QFontDialog dialog(qs::views::FontFromRecord(stored), this);
    dialog.setOption(QFontDialog::DontUseNativeDialog);
    dialog.setWindowTitle(QStringLiteral("Font"));
    if (qs::fw::RunModal(dialog) == IDOK) {
        const QFont font = dialog.selectedFont();
        stored.SetFace(font.family().toStdString());
        stored.m_lfHeight = int(std::lround(font.pointSizeF() * 10));
        stored.m_lfWeight = font.bold() ? 700 : 400;
        stored.m_lfItalic = font.italic() ? 1 : 0;
        stored.m_lfUnderline = font.underline() ? 1 : 0;
        stored.m_lfStrikeOut = font.strikeOut() ? 1 : 0;
        m_pDescriptions[which]->setText(Describe(stored));
    }
    m_pButtons[which]->setEnabled(true);
    NotifyChange();
}

// ---- Graphs ------------------------------------------------------------------------------

CPageSetupGraphsPage::CPageSetupGraphsPage(CEditPageSetup& setup, QWidget* parent)
    : CTabPageDialog(449, parent), m_setup(setup) {
    auto* layout = new QVBoxLayout(this);
    auto* single = new QGroupBox(QStringLiteral("Single-Series Selection"), this);
    auto* singleBox = new QHBoxLayout(single);
    singleBox->addWidget(new QLabel(QStringLiteral("Series to print"), single));
    m_pSeries = new QComboBox(single);
    m_pSeries->addItems({QStringLiteral("All"), QStringLiteral("First"), QStringLiteral("Last")});
    SetControlId(m_pSeries, 1710);
    m_pNumber = new QLineEdit(single);
    m_pNumber->setValidator(new QIntValidator(0, 999, m_pNumber));
    SetControlId(m_pNumber, 1711);
    singleBox->addWidget(m_pSeries);
    singleBox->addWidget(m_pNumber);
    layout->addWidget(single);
    auto* presentation = new QGroupBox(QStringLiteral("Graph Presentation"), this);
    auto* presentationBox = new QVBoxLayout(presentation);
    m_pDefaultView = new QCheckBox(QStringLiteral("Default View"), presentation);
    SetControlId(m_pDefaultView, 1709);
    presentationBox->addWidget(m_pDefaultView);
    const char* by[3] = {"By Rows", "By Columns", "By Diagonals"};
    for (int i = 0; i < 3; ++i) {
        m_pBy[i] = new QCheckBox(QString::fromLatin1(by[i]), presentation);
        SetControlId(m_pBy[i], 1169 + i);
        presentationBox->addWidget(m_pBy[i]);
        connect(m_pBy[i], &QCheckBox::clicked, this, [this] { OnBy(); });
    }
    layout->addWidget(presentation);
    layout->addStretch();
    connect(m_pSeries, &QComboBox::activated, this, [this] { OnSeriesChanged(); });
    connect(m_pNumber, &QLineEdit::textEdited, this, [this] { OnNumberChanged(); });
    connect(m_pDefaultView, &QCheckBox::clicked, this, [this] { OnDefaultView(); });
    Refresh();
}

void CPageSetupGraphsPage::Refresh() {
    m_loading = true;
    const int choice = m_setup.m_nSeriesChoice;
    m_pSeries->setCurrentIndex(choice == -1 ? 0 : (choice == 0 ? 1 : 2));
    const int counts[3] = {m_setup.m_nSeriesByRows, m_setup.m_nSeriesByColumns, m_setup.m_nSeriesByDiagonals};
    const bool allNegative = counts[0] < 0 && counts[1] < 0 && counts[2] < 0;
    m_pDefaultView->setChecked(allNegative);
    bool anyPositive = false;
    for (int i = 0; i < 3; ++i) {
        m_pBy[i]->setChecked(counts[i] > 0);
        anyPositive = anyPositive || counts[i] > 0;
    }
    m_nNumber = 1;
    for (int count : counts)
        if (std::abs(count) != 0 && std::abs(count) != 100) {
            m_nNumber = std::abs(count);
            break;
        }
    m_pNumber->setText(QString::number(m_nNumber));
    m_pNumber->setEnabled(m_pSeries->currentIndex() != 0);
    m_pDefaultView->setEnabled(!anyPositive);
    for (QCheckBox* box : m_pBy) box->setEnabled(anyPositive);
    // With nothing chosen yet every presentation is open.
    if (!anyPositive && !allNegative)
        for (QCheckBox* box : m_pBy) box->setEnabled(true);
    m_loading = false;
}

bool CPageSetupGraphsPage::ReadNumber() {
    bool ok = false;
    const int value = m_pNumber->text().trimmed().toInt(&ok);
    if (!ok || value < 1 || value > 100) {
        if (m_pNumber->isEnabled()) {
            ::MessageBox(this, QStringLiteral("Please enter an integer between 1 and 100."), QString(),
                         MB_OK | MB_ICONEXCLAMATION);
            m_pNumber->setFocus();
            return false;
        }
        return true;  // a disabled number ("All") is not read
    }
    m_nNumber = value;
    return true;
}

void CPageSetupGraphsPage::SetCounts() {
    const int n = m_nNumber;
    if (m_pDefaultView->isChecked()) {
        m_setup.m_nSeriesByRows = m_setup.m_nSeriesByColumns = m_setup.m_nSeriesByDiagonals = -n;
        return;
    }
    std::int32_t* counts[3] = {&m_setup.m_nSeriesByRows, &m_setup.m_nSeriesByColumns, &m_setup.m_nSeriesByDiagonals};
    for (int i = 0; i < 3; ++i)
        if (m_pBy[i]->isChecked()) *counts[i] = n;
}

void CPageSetupGraphsPage::OnNumberChanged() {
    bool ok = false;
    const int value = m_pNumber->text().trimmed().toInt(&ok);
    if (!ok || value < 1 || value > 100) return;  // checked when the page is read
    m_nNumber = value;
    SetCounts();
    NotifyChange();
}

void CPageSetupGraphsPage::OnSeriesChanged() {
    const QString text = m_pSeries->currentText();
    m_setup.m_nSeriesChoice = text == QStringLiteral("All") ? -1 : (text == QStringLiteral("First") ? 0 : 1);
    m_setup.m_nGraphPageMarker = -2;
    m_setup.m_nGraphPageMarker2 = -2;
    const bool all = m_setup.m_nSeriesChoice == -1;
    if (all) {
        m_nNumber = 100;
        m_pNumber->setText(QStringLiteral("100"));
    } else {
        ReadNumber();
    }
    SetCounts();
    m_pNumber->setEnabled(!all);
    NotifyChange();
}

void CPageSetupGraphsPage::OnDefaultView() {
    const int n = m_setup.m_nSeriesChoice == -1 ? 100 : m_nNumber;
    m_setup.m_nSeriesByRows = m_setup.m_nSeriesByColumns = m_setup.m_nSeriesByDiagonals = -n;
    const bool on = m_pDefaultView->isChecked();
    for (QCheckBox* box : m_pBy) {
        box->setChecked(false);
        box->setEnabled(!on);
    }
    NotifyChange();
}

void CPageSetupGraphsPage::OnBy() {
    const int n = m_setup.m_nSeriesChoice == -1 ? 100 : m_nNumber;
    std::int32_t* counts[3] = {&m_setup.m_nSeriesByRows, &m_setup.m_nSeriesByColumns, &m_setup.m_nSeriesByDiagonals};
    bool any = false;
    for (int i = 0; i < 3; ++i) {
        *counts[i] = m_pBy[i]->isChecked() ? n : 0;
        any = any || m_pBy[i]->isChecked();
    }
    if (!any) {
        // The last presentation unchecked: back to the default view.
        m_pDefaultView->setEnabled(true);
        m_pDefaultView->setChecked(true);
        OnDefaultView();
        return;
    }
    m_pDefaultView->setChecked(false);
    m_pDefaultView->setEnabled(false);
    NotifyChange();
}

// ---- the tab control and the dialog -----------------------------------------------------------

void CPageSetupTabCtrl::CreatePages() {
    m_pLayout = new CPageSetupLayoutPage(m_setup, this);
    m_pTitles = new CPageSetupTitlesPage(m_setup, this);
    m_pFonts = new CPageSetupFontsPage(m_setup, this);
    m_pGraphs = new CPageSetupGraphsPage(m_setup, this);
    AddPage(m_pLayout, QStringLiteral("Layout"));
    AddPage(m_pTitles, QStringLiteral("Titles"));
    AddPage(m_pFonts, QStringLiteral("Fonts"));
    AddPage(m_pGraphs, QStringLiteral("Graphs"));
}

CPageSetupDlg::CPageSetupDlg(CEditPageSetup& setup, QWidget* parent, const QString& caption)
    : CTabDialog(kTemplateId, parent), m_setup(setup), m_pOpening(std::make_unique<CEditPageSetup>(setup)),
      m_pDefaults(std::make_unique<CEditPageSetup>()) {
    m_pDefaults->SetFieldNames(setup.FieldNames());
    setWindowTitle(caption.isEmpty() ? QStringLiteral("Page Setup") : caption);
    auto* layout = new QHBoxLayout(this);
    m_pTabs = new CPageSetupTabCtrl(setup, this);
    SetTabCtrl(m_pTabs);
    layout->addWidget(m_pTabs, 1);
    auto* buttons = new QVBoxLayout;
    m_pSave = AddButton(IDOK, QStringLiteral("&Save"));
    buttons->addWidget(m_pSave);
    buttons->addWidget(AddButton(IDCANCEL, QStringLiteral("Cancel")));
    m_pSaveDefault = new QPushButton(QStringLiteral("&Save as Default"), this);
    SetControlId(m_pSaveDefault, IDC_SAVE_DEFAULT);
    m_pUseDefault = new QPushButton(QStringLiteral("&Use Default"), this);
    SetControlId(m_pUseDefault, IDC_USE_DEFAULT);
    buttons->addWidget(m_pSaveDefault);
    buttons->addWidget(m_pUseDefault);
    buttons->addStretch();
    layout->addLayout(buttons);
    connect(m_pSaveDefault, &QPushButton::clicked, this, [this] { OnSaveAsDefault(); });
    connect(m_pUseDefault, &QPushButton::clicked, this, [this] { OnUseDefault(); });
    // The pages exist from the start, so a caller (or a test) can reach them.
    m_pTabs->CreatePages();
    UpdateControls();
}

CPageSetupDlg::~CPageSetupDlg() = default;

void CPageSetupDlg::UpdateControls() {
    const CPageSetup& edited = m_setup;
    m_pSave->setEnabled(edited != *m_pOpening);
    const bool fromDefaults = edited != *m_pDefaults;
    m_pSaveDefault->setEnabled(fromDefaults);
    m_pUseDefault->setEnabled(fromDefaults);
}

void CPageSetupDlg::OnOK() {
    if (QLineEdit* bad = m_pTabs->m_pLayout->InvalidEdit()) {
        m_pTabs->setCurrentWidget(m_pTabs->m_pLayout);
        const bool percent = bad == m_pTabs->m_pLayout->m_pPercent;
        ::MessageBox(this,
                     percent ? QStringLiteral("Please enter a scale between 1 and 65535 percent.")
                             : QStringLiteral("Please enter a margin in inches (a number from 0 to 99)."),
                     QStringLiteral("Page Setup"), MB_OK | MB_ICONEXCLAMATION);
        bad->setFocus();
        bad->selectAll();
        return;
    }
    CDialog::OnOK();
}

void CPageSetupDlg::OnSaveAsDefault() {
    if (!m_setup.SaveDefaults()) {
        ::MessageBox(this, QStringLiteral("The default page setup could not be saved to %1.").arg(CEditPageSetup::DefaultsPath()),
                     QStringLiteral("Page Setup"), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    *m_pDefaults = m_setup;
}

void CPageSetupDlg::OnUseDefault() {
    const std::uint32_t key = m_setup.m_nKeyValue;
    m_setup.LoadDefaults();
    *m_pDefaults = m_setup;
    m_setup.m_nKeyValue = key;
    RefreshPages();
    UpdateControls();
}

// ---- Insert Field ------------------------------------------------------------------------

CInsertFieldDlg::CInsertFieldDlg(const CEditPageSetup& setup, bool titleNames, QWidget* parent)
    : CDialog(409, nullptr) {
    if (parent != nullptr) setParent(parent, windowFlags());
    setWindowTitle(QStringLiteral("Select Field to insert"));
    auto* layout = new QVBoxLayout(this);
    m_pList = new QListWidget(this);
    SetControlId(m_pList, 1167);
    if (titleNames) m_pList->addItems({QStringLiteral("Layer"), QStringLiteral("Table Name"), QStringLiteral("Table ID")});
    if (const QStringList* names = setup.FieldNames()) m_pList->addItems(*names);
    if (m_pList->count() > 0) m_pList->setCurrentRow(0);
    layout->addWidget(m_pList);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(AddButton(IDOK, QStringLiteral("OK")), QDialogButtonBox::AcceptRole);
    buttons->addButton(AddButton(IDCANCEL, QStringLiteral("Cancel")), QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);
    connect(m_pList, &QListWidget::itemDoubleClicked, this, [this] { OnOK(); });
}

void CInsertFieldDlg::OnOK() {
    QListWidgetItem* item = m_pList->currentItem();
    if (item == nullptr) return;
    const QString text = item->text();
    // The separators between the groups of names are not fields.
    if (text == QStringLiteral("--------------") || text == QStringLiteral("--")) return;
    m_strChosen = text;
    CDialog::OnOK();
}

// ---- CEditPageSetup::Edit ----------------------------------------------------------------

BOOL CEditPageSetup::Edit(QWidget* parent, const QString& caption) {
    CPageSetupDlg dialog(*this, parent, caption);
    return dialog.DoModal() == IDOK ? TRUE : FALSE;
}
