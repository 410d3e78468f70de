#include "CTableMath.h"

#include <QApplication>
#include <QButtonGroup>
#include <QDoubleValidator>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "CProject.h"
#include "KernelIds.h"
#include "MessageBox.h"
#include "WaitCursor.h"

int CTableMathPage5::s_bResultShown = 0;

namespace {
constexpr int kIdRole = Qt::UserRole;

QString Q(const std::string& s) { return QString::fromStdString(s); }

QTreeWidget* MakeList(QWidget* owner, int id, const QString& first) {
    auto* list = new QTreeWidget(owner);
    CWnd::SetControlId(list, id);
    list->setRootIsDecorated(false);
    list->setHeaderLabels({first, QStringLiteral("Layer")});
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->header()->setSectionsClickable(true);
    QObject::connect(list->header(), &QHeaderView::sectionClicked, list,
                     [list](int column) { list->sortItems(column, Qt::AscendingOrder); });
    return list;
}

// The layer column as wide as its widest name, the table names the rest,
// also when the list is laid out or resized after it was filled (the long
// names such as "Historical Ultimate Loss and ALAE" stay readable).
void LayoutColumns(QTreeWidget* list) {
    QHeaderView* header = list->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    header->setSectionResizeMode(1, QHeaderView::ResizeToContents);
}

QString LayerName(const CProject* project, unsigned short layer) {
    std::string name;
    if (project != nullptr) project->GetNameLayer(name, layer);
    return Q(name);
}

QTreeWidgetItem* MakeItem(const QString& name, const QString& layer, QSID id) {
    auto* item = new QTreeWidgetItem({name.left(255), layer});
    item->setData(0, kIdRole, qlonglong(id));
    return item;
}
}  // namespace

// ====================================================================== the sheet

CTableMathPrpSheet::CTableMathPrpSheet(CWnd* pParent) : CPropertySheet(QStringLiteral("Table Math Wizard"), pParent) {
    SetWizardMode();
    m_psh.dwFlags |= PSH_NOAPPLYNOW;
    AddPage(&m_page1);
    AddPage(&m_page2);
    AddPage(&m_page3);
    AddPage(&m_page4);
    AddPage(&m_page5);
    resize(760, 480);
}

QString CTableMathPrpSheet::DisplayName(QSID layeredId) const {
    QSID id = layeredId;
    SetIDLayer(id, 0);
    std::string raw;
    if (m_pProject != nullptr) m_pProject->GetNameFromID(id, raw);
    QString name = Q(raw);
    int first = 0;
    while (first < name.size() && !name.at(first).isLetter()) ++first;
    if (first < name.size()) name = name.mid(first);
    return QStringLiteral("\"%1<%2>\"").arg(name, LayerName(m_pProject, GetIDLayer(layeredId)));
}

// ====================================================================== list pages (0 and 3)

CTableMathPage1::CTableMathPage1(bool firstInstance)
    : CPropertyPage(kTemplateId, QStringLiteral("Table Math")),
      m_bFirstInstance(firstInstance),
      m_left(MakeList(this, IDC_LEFT, QStringLiteral("Table Name"))),
      m_right(MakeList(this, IDC_RIGHT, QStringLiteral("Selected Table"))),
      m_caption(new QLabel(QStringLiteral("Arrays Selected for Adjustment"), this)) {
    SetControlId(m_caption, IDC_RIGHT_CAPTION);
    auto* layout = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    left->addWidget(new QLabel(QStringLiteral("Unselected Arrays"), this));
    left->addWidget(m_left, 1);
    layout->addLayout(left, 1);
    auto* middle = new QVBoxLayout;
    middle->addStretch();
    auto* add = new QPushButton(QStringLiteral(" >>&Add"), this);
    auto* del = new QPushButton(QStringLiteral("<<&Del"), this);
    SetControlId(add, IDC_ADD);
    SetControlId(del, IDC_DEL);
    add->setAutoDefault(false);
    del->setAutoDefault(false);
    middle->addWidget(add);
    middle->addWidget(del);
    middle->addStretch();
    layout->addLayout(middle);
    auto* right = new QVBoxLayout;
    m_caption->setWordWrap(true);
    right->addWidget(m_caption);
    right->addWidget(m_right, 1);
    layout->addLayout(right, 1);
    connect(add, &QPushButton::clicked, this, [this] { OnAdd(); });
    connect(del, &QPushButton::clicked, this, [this] { OnDel(); });
    connect(m_left, &QTreeWidget::itemDoubleClicked, this, [this] { OnAdd(); });
    connect(m_right, &QTreeWidget::itemDoubleClicked, this, [this] { OnDel(); });
}

CTableMathPrpSheet* CTableMathPage1::Sheet() const { return dynamic_cast<CTableMathPrpSheet*>(GetSheet()); }

void CTableMathPage1::Fill(QSID node) {
    CTableMathPrpSheet* sheet = Sheet();
    CProject* project = sheet ? sheet->m_pProject : nullptr;
    if (project == nullptr) return;
    QSStringArray subNames;
    QSIDArray subIds;
    if (project->GetNodeSubGroups(node, subNames, subIds) == 0)
        for (QSID sub : subIds) Fill(sub);
    unsigned short layers = 0;
    project->GetLayerCount(layers);
    for (unsigned short layer = 1; layer <= layers; ++layer) {
        QSStringArray names;
        QSIDArray ids;
        if (project->GetNodeObjects(node, names, ids, layer, 0, 1, m_bFirstInstance ? 0 : 1, 0) != 0) continue;
        const QString layerName = LayerName(project, layer);
        for (std::size_t i = 0; i < ids.size() && i < names.size(); ++i) {
            QSID id = ids[i];
            const int type = GetIDDataType(id), kind = GetIDDOType(id);
            if ((type == 1 || type == 7) && (kind == 1 || kind == 2)) continue;
            SetIDLayer(id, layer);
            QTreeWidgetItem* item = MakeItem(Q(names[i]), layerName, id);
            m_left->insertTopLevelItem(0, item);
            QSID bare = id;
            SetIDLayer(bare, 0);
            QSID current = m_lCurrentId;
            SetIDLayer(current, 0);
            if (m_bFirstInstance && bare == current && layer == m_nCurrentLayer) item->setSelected(true);
        }
    }
}

BOOL CTableMathPage1::OnSetActive() {
    CTableMathPrpSheet* sheet = Sheet();
    if (sheet == nullptr) return FALSE;
    if (!m_bFilled) {
        m_bFilled = true;
        CWaitCursor wait;
        m_left->clear();
        if (m_bFirstInstance) {
            m_caption->setText(QStringLiteral("Arrays Selected for Adjustment"));
            Fill(1000);
            Fill(9000);
            OnAdd();  // the current table starts chosen
        } else {
            Fill(1000);
            Fill(9000);
            Fill(4000);  // scalars can serve as operands
        }
        LayoutColumns(m_left);
        LayoutColumns(m_right);
    }
    if (m_bFirstInstance) {
        sheet->SetWizardButtons(PSWIZB_NEXT);
    } else {
        sheet->SetWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
        if (sheet->m_targets.size() >= 2) {
            m_left->setSelectionMode(QAbstractItemView::SingleSelection);
            MoveSelected(m_right, m_left);
            m_caption->setText(QStringLiteral("Select one table to adjust many tables."));
        } else {
            m_left->setSelectionMode(QAbstractItemView::ExtendedSelection);
            m_caption->setText(QStringLiteral("Selection of tables used in adjustment."));
        }
    }
    return CPropertyPage::OnSetActive();
}

void CTableMathPage1::MoveSelected(QTreeWidget* from, QTreeWidget* to) {
    const QList<QTreeWidgetItem*> chosen = from->selectedItems();
    if (chosen.isEmpty()) return;
    to->clearSelection();
    QTreeWidgetItem* last = nullptr;
    for (int i = 0; i < from->topLevelItemCount();) {
        QTreeWidgetItem* item = from->topLevelItem(i);
        if (!chosen.contains(item)) {
            ++i;
            continue;
        }
        from->takeTopLevelItem(i);
        to->addTopLevelItem(item);
        item->setSelected(false);
        last = item;
    }
    if (last != nullptr) to->scrollToItem(last);
    to->setFocus();
}

void CTableMathPage1::OnAdd() {
    CTableMathPrpSheet* sheet = Sheet();
    const QList<QTreeWidgetItem*> chosen = m_left->selectedItems();
    if (chosen.isEmpty()) return;
    if (!m_bFirstInstance && sheet != nullptr && sheet->m_targets.size() > 1) {
        // Many targets take one operand table: a new choice replaces the old.
        while (m_right->topLevelItemCount() > 0) {
            QTreeWidgetItem* item = m_right->takeTopLevelItem(0);
            m_left->addTopLevelItem(item);
            item->setSelected(false);
        }
        for (QTreeWidgetItem* item : chosen) item->setSelected(true);
    }
    MoveSelected(m_left, m_right);
}

void CTableMathPage1::OnDel() { MoveSelected(m_right, m_left); }

LRESULT CTableMathPage1::OnWizardNext() {
    CTableMathPrpSheet* sheet = Sheet();
    if (sheet == nullptr) return -1;
    if (m_right->topLevelItemCount() == 0) {
        AfxMessageBox(QStringLiteral("At least one Table should be selected!"), MB_OK | MB_ICONEXCLAMATION);
        m_right->setFocus();
        return -1;
    }
    QSIDArray ids;
    for (int i = 0; i < m_right->topLevelItemCount(); ++i)
        ids.push_back(QSID(m_right->topLevelItem(i)->data(0, kIdRole).toLongLong()));
    (m_bFirstInstance ? sheet->m_targets : sheet->m_operands) = ids;
    return 0;
}

// ====================================================================== operation page (1)

CTableMathPage2::CTableMathPage2()
    : CPropertyPage(kTemplateId, QStringLiteral("Table Math")),
      m_list(MakeList(this, IDC_LIST, QStringLiteral("Selected Table"))),
      m_operations(new QButtonGroup(this)) {
    m_list->setSelectionMode(QAbstractItemView::NoSelection);
    QPalette palette = m_list->palette();
    palette.setColor(QPalette::Base, QColor(0xC0, 0xC0, 0xC0));
    m_list->setPalette(palette);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Selection of Input Arrays to be adjusted..."), this));
    layout->addWidget(m_list, 1);
    layout->addWidget(new QLabel(QStringLiteral("What operation would you like to perform on your Selection:"), this));
    auto* row = new QHBoxLayout;
    const struct {
        int id;
        const char* text;
    } ops[] = {{IDC_ADD, "Add (+)"}, {IDC_SUBTRACT, "Subtract (-)"}, {IDC_MULTIPLY, "Multiply (*)"}, {IDC_DIVIDE, "Divide (/)"}};
    for (const auto& op : ops) {
        auto* radio = new QRadioButton(QString::fromLatin1(op.text), this);
        SetControlId(radio, op.id);
        m_operations->addButton(radio, m_operations->buttons().size());
        row->addWidget(radio);
    }
    row->addStretch();
    layout->addLayout(row);
}

BOOL CTableMathPage2::OnSetActive() {
    auto* sheet = dynamic_cast<CTableMathPrpSheet*>(GetSheet());
    if (sheet == nullptr) return FALSE;
    sheet->SetWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
    m_list->clear();
    for (QSID id : sheet->m_targets) {
        std::string name;
        if (sheet->m_pProject) sheet->m_pProject->GetNameFromID(id, name);
        m_list->addTopLevelItem(MakeItem(Q(name), LayerName(sheet->m_pProject, GetIDLayer(id)), id));
    }
    LayoutColumns(m_list);
    if (QAbstractButton* b = m_operations->button(sheet->m_nOperation)) b->setChecked(true);
    return CPropertyPage::OnSetActive();
}

LRESULT CTableMathPage2::OnWizardNext() {
    if (auto* sheet = dynamic_cast<CTableMathPrpSheet*>(GetSheet()))
        sheet->m_nOperation = std::max(0, m_operations->checkedId());
    return 0;
}

// ====================================================================== operand page (2)

CTableMathPage3::CTableMathPage3()
    : CPropertyPage(kTemplateId, QStringLiteral("Table Math")), m_kind(new QButtonGroup(this)), m_value(new QLineEdit(this)) {
    auto* layout = new QVBoxLayout(this);
    auto* question = new QLabel(this);
    SetControlId(question, IDC_QUESTION);
    layout->addWidget(question);
    auto* valueRow = new QHBoxLayout;
    auto* value = new QRadioButton(QStringLiteral("&Value"), this);
    SetControlId(value, IDC_VALUE_RADIO);
    m_kind->addButton(value, 0);
    valueRow->addWidget(value);
    SetControlId(m_value, IDC_VALUE);
    m_value->setText(QStringLiteral("0"));
    valueRow->addWidget(m_value);
    valueRow->addStretch();
    layout->addLayout(valueRow);
    auto* tables = new QRadioButton(QStringLiteral("Another &Table(s)"), this);
    SetControlId(tables, IDC_TABLES_RADIO);
    m_kind->addButton(tables, 1);
    layout->addWidget(tables);
    layout->addStretch();
    connect(value, &QRadioButton::clicked, this, [this] { OnValueRadio(); });
    connect(tables, &QRadioButton::clicked, this, [this] { OnTablesRadio(); });
}

QString CTableMathPage3::QuestionFor(int operation) {
    switch (operation) {
    case 1: return QStringLiteral("What would you like to subtract from your Selected Tables:");
    case 2: return QStringLiteral("What would you like to multiply your Selected Tables by:");
    case 3: return QStringLiteral("What would you like to divide your Selected Tables by:");
    default: return QStringLiteral("What would you like to add to your Selected Tables:");
    }
}

BOOL CTableMathPage3::OnSetActive() {
    auto* sheet = dynamic_cast<CTableMathPrpSheet*>(GetSheet());
    if (sheet == nullptr) return FALSE;
    sheet->SetWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
    SetDlgItemText(IDC_QUESTION, QuestionFor(sheet->m_nOperation));
    m_kind->button(m_nKind)->setChecked(true);
    m_value->setEnabled(m_nKind == 0);
    if (m_nKind == 0) m_value->setFocus();
    return CPropertyPage::OnSetActive();
}

void CTableMathPage3::OnValueRadio() {
    m_nKind = 0;
    m_value->setEnabled(true);
    m_value->setFocus();
}

void CTableMathPage3::OnTablesRadio() {
    m_nKind = 1;
    m_value->setText(QStringLiteral("0"));
    m_value->setEnabled(false);
}

LRESULT CTableMathPage3::OnWizardNext() {
    auto* sheet = dynamic_cast<CTableMathPrpSheet*>(GetSheet());
    if (sheet == nullptr) return -1;
    m_nKind = std::max(0, m_kind->checkedId());
    CDataExchange dx(this, TRUE);
    DDX_Text(&dx, IDC_VALUE, m_dValue);
    if (dx.m_failed) return -1;
    if (m_nKind == 0) {
        sheet->m_bValue = 1;
        sheet->m_dValue = m_dValue;
        return CTableMathPage5::kTemplateId;
    }
    sheet->m_bValue = 0;
    sheet->m_dValue = 0.0;
    return 0;
}

// ====================================================================== summary page (4)

CTableMathPage5::CTableMathPage5() : CPropertyPage(kTemplateId, QStringLiteral("Table Math")), m_edit(new QPlainTextEdit(this)) {
    s_bResultShown = 0;
    SetControlId(m_edit, IDC_SUMMARY);
    m_edit->setReadOnly(true);
    m_edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Summary Screen ( Select Finish to execute )"), this));
    layout->addWidget(m_edit, 1);
}

QString CTableMathPage5::ErrorPrefix(std::int32_t status) {
    switch (status) {
    case 100: return QStringLiteral("ERROR: Target is a calculated array: ");
    case 200: return QStringLiteral("ERROR: Target is a scalar: ");
    case 300: return QStringLiteral("ERROR: Target cannot accept input: ");
    case 400: return QStringLiteral("ERROR: Source cannot provide input: ");
    case 500: return QStringLiteral("ERROR: Target cannot be found");
    case 600: return QStringLiteral("ERROR: Source cannot be found: ");
    case 700: return QStringLiteral("ERROR: Incompatible shapes: ");
    case 800: return QStringLiteral("ERROR: Could not perform operation: ");
    default: return QString();
    }
}

void CTableMathPage5::ShowSummary() {
    // The edit shows \r\n line ends as single breaks.
    QString shown = m_strSummary;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    m_edit->setPlainText(shown);
    m_edit->moveCursor(QTextCursor::End);
    m_edit->verticalScrollBar()->setValue(m_edit->verticalScrollBar()->maximum());
}

BOOL CTableMathPage5::OnSetActive() {
    auto* sheet = dynamic_cast<CTableMathPrpSheet*>(GetSheet());
    if (sheet == nullptr) return FALSE;
    sheet->SetWizardButtons(PSWIZB_BACK | PSWIZB_FINISH);
    static const char* const kOperators[] = {" + ", " - ", " * ", " / "};
    const QString op = QString::fromLatin1(kOperators[std::clamp(sheet->m_nOperation, 0, 3)]);
    m_strSummary.clear();
    for (QSID target : sheet->m_targets) {
        const QString name = sheet->DisplayName(target);
        m_strSummary += name + QStringLiteral(" = ") + name;
        if (sheet->m_bValue) {
            m_strSummary += op + QString::asprintf("%8.4f", sheet->m_dValue) + QStringLiteral("\r\n");
        } else {
            for (QSID operand : sheet->m_operands) {
                if (sheet->m_operands.size() >= 2) m_strSummary += QStringLiteral("\r\n\t");
                m_strSummary += op + sheet->DisplayName(operand);
            }
            m_strSummary += QStringLiteral("\r\n");
        }
    }
    ShowSummary();
    return CPropertyPage::OnSetActive();
}

LRESULT CTableMathPage5::OnWizardBack() {
    auto* sheet = dynamic_cast<CTableMathPrpSheet*>(GetSheet());
    if (sheet != nullptr && sheet->m_bValue) return CTableMathPage3::kTemplateId;
    return 0;
}

BOOL CTableMathPage5::OnWizardFinish() {
    auto* sheet = dynamic_cast<CTableMathPrpSheet*>(GetSheet());
    if (sheet == nullptr || sheet->m_pProject == nullptr) return TRUE;
    CWaitCursor wait;
    if (s_bResultShown == 1) return TRUE;
    if (sheet->m_bValue) sheet->m_operands.clear();
    QSIDArray out;
    std::int32_t status = 0;
    double value = sheet->m_dValue;
    sheet->m_pProject->PerformTableMath(sheet->m_targets, sheet->m_nOperation, sheet->m_operands, value, out, status);
    if (status == 0) {
        sheet->m_bPerformed = true;
        return TRUE;
    }
    if (status == 101) {
        sheet->m_bPerformed = true;
        m_strSummary += QStringLiteral("NOTE: The following became calculated during the operation and were skipped:\r\n");
        for (QSID id : out) m_strSummary += QStringLiteral("\t") + sheet->DisplayName(id) + QStringLiteral("\r\n");
        // The run is over: only closing is left.
        if (QPushButton* cancel = sheet->Button(PSBTN_CANCEL)) cancel->setText(QStringLiteral("Close"));
        sheet->SetFinishText(QStringLiteral("Close"));
        s_bResultShown = 1;
    } else {
        const QString prefix = ErrorPrefix(status);
        for (QSID id : out) m_strSummary += prefix + sheet->DisplayName(id) + QStringLiteral("\r\n");
        sheet->SetWizardButtons(PSWIZB_BACK | PSWIZB_DISABLEDFINISH);
    }
    ShowSummary();
    QApplication::beep();
    return FALSE;
}

namespace qs::views {
int RunTableMath(CProject& project, QSID currentId, unsigned short currentLayer, bool* performed) {
    CTableMathPrpSheet sheet;
    sheet.m_psh.dwFlags |= PSH_NOAPPLYNOW;
    sheet.m_pProject = &project;
    sheet.m_page1.m_lCurrentId = currentId;
    sheet.m_page1.m_nCurrentLayer = currentLayer;
    const int result = int(sheet.DoModal());
    if (performed != nullptr) *performed = sheet.m_bPerformed;
    return result;
}
}  // namespace qs::views
