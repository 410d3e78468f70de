#include "CAsciiRecordStructureDlg.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ProjectHost.h"

using qs::exchange::AsciiRecordLayout;

namespace {

void AddField(CDialog& dialog, QGridLayout* grid, int row, const qs::exchange::AsciiFieldSpec& spec) {
    grid->addWidget(new QLabel(QString::fromLatin1(spec.label), &dialog), row, 0);
    auto* edit = new QLineEdit(&dialog);
    edit->setMaxLength(5);
    edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 12);
    CWnd::SetControlId(edit, spec.controlId);
    grid->addWidget(edit, row, 1);
}

}  // namespace

CAsciiRecordStructureDlg::CAsciiRecordStructureDlg(CWnd* pParent)
    : CDialog(kTemplateId, pParent),
      m_path(qs::exchange::AsciiRecordLayoutPath(qs::project::Host().workingDirectory.toStdString())),
      m_layout(qs::exchange::LoadAsciiRecordLayout(m_path)) {
    BuildLists();
    setWindowTitle(QStringLiteral("ASCII Record Structure"));
    auto* layout = new QVBoxLayout(this);
    auto* records = new QHBoxLayout;
    auto* header = new QGroupBox(QStringLiteral("Header Record"), this);
    auto* headerGrid = new QGridLayout(header);
    // Fields 1-11 in the first column pair, 12-17 in the second.
    for (int i = 0; i < AsciiRecordLayout::kHeaderFields; ++i) {
        auto* sub = new QGridLayout;
        AddField(*this, sub, 0, AsciiRecordLayout::kHeaderSpecs[i]);
        headerGrid->addLayout(sub, i < 11 ? i : i - 11, i < 11 ? 0 : 1);
    }
    auto* data = new QGroupBox(QStringLiteral("Data Record"), this);
    auto* dataGrid = new QGridLayout(data);
    for (int i = 0; i < AsciiRecordLayout::kDataFields; ++i) AddField(*this, dataGrid, i, AsciiRecordLayout::kDataSpecs[i]);
    records->addWidget(header);
    records->addWidget(data);
    layout->addLayout(records);
    auto* linefeeds = new QCheckBox(QStringLiteral("Use linefeeds"), this);
    SetControlId(linefeeds, AsciiRecordLayout::kUseLinefeedsId);
    layout->addWidget(linefeeds);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(AddButton(IDOK, QStringLiteral("OK")));
    buttons->addWidget(AddButton(IDCANCEL, QStringLiteral("Cancel")));
    layout->addLayout(buttons);
}

void CAsciiRecordStructureDlg::BuildLists() {
    m_layout.HeaderWidths(m_arrHeaderWidths);
    m_layout.DataWidths(m_arrDataWidths);
}

BOOL CAsciiRecordStructureDlg::OnInitDialog() {
    m_edited = m_layout;
    return CDialog::OnInitDialog();  // loads the controls from m_edited
}

void CAsciiRecordStructureDlg::DoDataExchange(CDataExchange* pDX) {
    // Screen order: header 1-11, data 1-11, header 12-17, then the flag.
    const auto exchange = [&](const qs::exchange::AsciiFieldSpec& spec, std::uint8_t& width) {
        int value = width;
        DDX_Text(pDX, spec.controlId, value);
        DDV_MinMaxInt(pDX, value, spec.minimum, 255);
        if (pDX->m_bSaveAndValidate && !pDX->m_failed) width = static_cast<std::uint8_t>(value);
    };
    for (int i = 0; i < 11 && !pDX->m_failed; ++i) exchange(AsciiRecordLayout::kHeaderSpecs[i], m_edited.header[i]);
    for (int i = 0; i < AsciiRecordLayout::kDataFields && !pDX->m_failed; ++i)
        exchange(AsciiRecordLayout::kDataSpecs[i], m_edited.data[i]);
    for (int i = 11; i < AsciiRecordLayout::kHeaderFields && !pDX->m_failed; ++i)
        exchange(AsciiRecordLayout::kHeaderSpecs[i], m_edited.header[i]);
    if (pDX->m_failed) return;
    int linefeeds = m_edited.useLinefeeds ? 1 : 0;
    DDX_Check(pDX, AsciiRecordLayout::kUseLinefeedsId, linefeeds);
    m_edited.useLinefeeds = linefeeds != 0;
}

void CAsciiRecordStructureDlg::OnOK() {
    // The fields are exchanged into a copy: a refused field leaves the
    // layout as it was, whatever came before it.
    if (!UpdateData(TRUE)) return;
    m_layout = m_edited;
    BuildLists();
    std::string error;
    if (!qs::exchange::SaveAsciiRecordLayout(m_path, m_layout, &error))
        AfxMessageBox(QStringLiteral("The record structure could not be saved to %1 (%2). It is used for this "
                                     "import or export only.")
                          .arg(QString::fromStdString(m_path), QString::fromStdString(error)),
                      MB_ICONEXCLAMATION);
    EndDialog(IDOK);
}
