#include "CFloodFillSettingsDlg.h"

#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cstring>

#include "CExhibit.h"
#include "CFloodFillOptionsDlg.h"
#include "CProject.h"
#include "CSDFFloodFillOptionDlg.h"
#include "ExhibitDialogWidgets.h"
#include "ExhibitDialogsHost.h"
#include "KernelIds.h"
#include "MessageBox.h"

namespace {

constexpr int kIdRole = Qt::UserRole;
constexpr const char* kGroupNames[] = {"Paid Exhibits", "Incurred Exhibits", "Claims Exhibits",
                                       "Salvage and Subrogation Exhibits", "Premium Exhibits", "User Defined Exhibits"};

// The list: right-clicks on a selected row open the row menu.
class SettingsList : public QTreeWidget {
public:
    SettingsList(QWidget* parent, std::function<void(QTreeWidgetItem*, const QPoint&)> menu)
        : QTreeWidget(parent), m_menu(std::move(menu)) {}

protected:
    void contextMenuEvent(QContextMenuEvent* e) override {
        QTreeWidgetItem* item = itemAt(e->pos());
        if (item != nullptr && item->isSelected()) m_menu(item, e->globalPos());
    }

private:
    std::function<void(QTreeWidgetItem*, const QPoint&)> m_menu;
};

}  // namespace

CFloodFillSettingsBase::CFloodFillSettingsBase(CProject* project, CWnd* pParent)
    : CDialog(kTemplateId, pParent), m_pProject(project) {
    setWindowTitle(QStringLiteral("Flood Fill Settings For Selected Development Factors"));
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    m_layers = new QComboBox(this);
    SetControlId(m_layers, IDC_LAYER);
    top->addWidget(qs::views::BuddyLabel(QStringLiteral("Layer:"), m_layers, this));
    top->addWidget(m_layers);
    top->addStretch();
    layout->addLayout(top);
    m_list = new SettingsList(this, [this](QTreeWidgetItem* item, const QPoint& at) {
        ClearGroupSelection();
        if (SelectedMembers().empty()) return;
        QMenu menu(this);
        QAction* edit = menu.addAction(QStringLiteral("&Edit..."));
        QAction* clear = menu.addAction(QStringLiteral("C&lear..."));
        menu.addAction(QStringLiteral("&Cancel"));
        QAction* chosen = menu.exec(at);
        if (chosen == edit) OnEdit(item);
        else if (chosen == clear) OnClear();
    });
    SetControlId(m_list, IDC_LIST);
    m_list->setRootIsDecorated(false);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setMinimumSize(640, 320);
    layout->addWidget(m_list, 1);
    auto* buttons = new QHBoxLayout;
    auto* edit = new QPushButton(QStringLiteral("&Edit"), this);
    SetControlId(edit, IDC_EDIT);
    auto* clear = new QPushButton(QStringLiteral("&Clear"), this);
    SetControlId(clear, IDC_CLEAR);
    buttons->addWidget(edit);
    buttons->addWidget(clear);
    buttons->addStretch();
    buttons->addWidget(AddButton(IDOK, QStringLiteral("OK")));
    buttons->addWidget(AddButton(IDCANCEL, QStringLiteral("Cancel")));
    layout->addLayout(buttons);
    connect(edit, &QPushButton::clicked, this, [this] { OnEdit(); });
    connect(clear, &QPushButton::clicked, this, [this] { OnClear(); });
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, [this] { OnDoubleClick(); });
    connect(m_list, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        if (IsGroupRow(item) && (QApplication::keyboardModifiers() & Qt::ControlModifier)) ToggleGroup(item);
        ClearGroupSelection();
    });
    connect(m_layers, &QComboBox::activated, this, [this] { OnLayerChanged(); });
}

CFloodFillSettingsBase::~CFloodFillSettingsBase() { FreeMap(); }

void CFloodFillSettingsBase::FreeMap() {
    for (auto& [id, rule] : m_map) delete rule;
    m_map.RemoveAll();
}

bool CFloodFillSettingsBase::IsGroupRow(const QTreeWidgetItem* item) {
    if (item == nullptr) return false;
    const QSID id = QSID(item->data(0, kIdRole).toLongLong());
    return std::find(std::begin(kNodes), std::end(kNodes), id) != std::end(kNodes);
}

BOOL CFloodFillSettingsBase::OnInitDialog() {
    CDialog::OnInitDialog();
    const unsigned short navigator =
        qs::views::ExhibitHost().navigatorLayer ? qs::views::ExhibitHost().navigatorLayer() : 0;
    m_nLayer = navigator >= 1 && navigator <= 5 ? navigator : 1;
    m_layers->clear();
    unsigned short count = 0;
    if (m_pProject != nullptr) m_pProject->GetLayerCount(count);
    if (count >= 2)
        for (unsigned short l = 1; l <= count; ++l) {
            std::string name;
            if (m_pProject->GetNameLayer(name, l) != qsk::kOk) continue;
            m_layers->addItem(QString::fromStdString(name), int(l));
            if (l == m_nLayer) m_layers->setCurrentIndex(m_layers->count() - 1);
        }
    m_list->setColumnCount(int(Columns().size()));
    m_list->setHeaderLabels(Columns());
    const int w = m_list->minimumWidth();
    const std::vector<int> sevenths = ColumnSevenths();
    for (std::size_t c = 0; c < sevenths.size(); ++c) m_list->setColumnWidth(int(c), sevenths[c] * w / 7);
    FreeMap();
    if (m_pProject != nullptr) ReadRules(m_map);
    ReadNodes();
    FillList();
    return TRUE;
}

void CFloodFillSettingsBase::ReadNodes() {
    m_nodes.clear();
    if (m_pProject == nullptr) return;
    QSStringArray groupNames;
    QSIDArray groupIds;
    m_pProject->GetNodeSubGroups(QSID(qsk::kCatExhibit), groupNames, groupIds);
    for (std::size_t n = 0; n < std::size(kNodes); ++n) {
        Node node{kNodes[n], QString::fromLatin1(kGroupNames[n]), {}};
        for (std::size_t g = 0; g < groupIds.size(); ++g)
            if (groupIds[g] == kNodes[n]) node.name = QString::fromStdString(groupNames[g]);
        QSStringArray names;
        QSIDArray ids;
        if (m_pProject->GetNodeObjects(kNodes[n], names, ids, m_nLayer, 0, 1, 1, 0) != qsk::kOk) continue;
        for (std::size_t i = 0; i < ids.size(); ++i)
            if (Lists(ids[i])) node.members.push_back({ids[i], QString::fromStdString(names[i])});
        std::stable_sort(node.members.begin(), node.members.end(), [](const Member& a, const Member& b) {
            return std::strcmp(a.name.toUtf8().constData(), b.name.toUtf8().constData()) < 0;
        });
        m_nodes.push_back(std::move(node));
    }
}

void CFloodFillSettingsBase::FillList() {
    m_list->clear();
    for (const Node& node : m_nodes) {
        if (node.members.empty()) continue;
        auto* group = new QTreeWidgetItem(m_list);
        group->setText(0, node.name);
        group->setData(0, kIdRole, qlonglong(node.id));
        QFont bold = group->font(0);
        bold.setBold(true);
        group->setFont(0, bold);
        for (const Member& m : node.members) {
            QSID id = m.id;
            SetIDLayer(id, m_nLayer);
            auto* row = new QTreeWidgetItem(m_list);
            row->setText(0, QStringLiteral("   ") + m.name);
            row->setData(0, kIdRole, qlonglong(id));
            const CObject* rule = RuleOf(id);
            const bool active = rule != nullptr && IsActive(rule);
            row->setCheckState(0, active ? Qt::Checked : Qt::Unchecked);
            row->setFlags(row->flags() & ~Qt::ItemIsUserCheckable);
            if (active) {
                const QStringList texts = Texts(rule);
                for (int c = 0; c < texts.size(); ++c) row->setText(c + 1, texts[c]);
            }
        }
    }
}

const CObject* CFloodFillSettingsBase::RuleOf(QSID id) const {
    CObject* rule = nullptr;
    return m_map.Lookup(LONG(id), rule) ? rule : nullptr;
}

QTreeWidgetItem* CFloodFillSettingsBase::RowOf(QSID id) const {
    for (int i = 0; i < m_list->topLevelItemCount(); ++i)
        if (QSID(m_list->topLevelItem(i)->data(0, kIdRole).toLongLong()) == id && !IsGroupRow(m_list->topLevelItem(i)))
            return m_list->topLevelItem(i);
    return nullptr;
}

void CFloodFillSettingsBase::ClearGroupSelection() {
    for (int i = 0; i < m_list->topLevelItemCount(); ++i)
        if (IsGroupRow(m_list->topLevelItem(i))) m_list->topLevelItem(i)->setSelected(false);
}

std::vector<QTreeWidgetItem*> CFloodFillSettingsBase::SelectedMembers() const {
    std::vector<QTreeWidgetItem*> rows;
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = m_list->topLevelItem(i);
        if (item->isSelected() && !IsGroupRow(item)) rows.push_back(item);
    }
    return rows;
}

void CFloodFillSettingsBase::ToggleGroup(QTreeWidgetItem* group) {
    const int start = m_list->indexOfTopLevelItem(group);
    std::vector<QTreeWidgetItem*> members;
    for (int i = start + 1; i < m_list->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = m_list->topLevelItem(i);
        if (IsGroupRow(item)) break;
        members.push_back(item);
    }
    if (members.empty()) return;
    const bool select = !members.front()->isSelected();
    for (QTreeWidgetItem* m : members) m->setSelected(select);
}

void CFloodFillSettingsBase::StoreFor(const std::vector<QSID>& ids, const CObject& rule) {
    for (QSID id : ids) {
        CObject* held = nullptr;
        if (!m_map.Lookup(LONG(id), held)) {
            m_map.SetAt(LONG(id), CopyRule(&rule));
            m_bModified = 1;
        } else if (!SameRule(held, &rule)) {
            AssignRule(held, &rule);
            m_bModified = 1;
        }
    }
}

void CFloodFillSettingsBase::EditRows(const std::vector<QTreeWidgetItem*>& rows, QTreeWidgetItem* open) {
    // The row to keep in view after the list is refilled: the last one of
    // the page, or the last row when the list ends before it.
    const int count = m_list->topLevelItemCount();
    const QModelIndex topIndex = m_list->indexAt(QPoint(1, 1));
    const int top = topIndex.isValid() ? topIndex.row() : 0;
    const int rowHeight = std::max(1, m_list->sizeHintForRow(0));
    const int perPage = std::max(1, m_list->viewport()->height() / rowHeight);
    const int keep = std::min(top + perPage - 1, count - 1);
    const QString title = rows.size() == 1 ? rows.front()->text(0) : QStringLiteral("Multiple Entries");
    const QSID openId = QSID(open->data(0, kIdRole).toLongLong());
    std::unique_ptr<CObject> edited = EditRule(RuleOf(openId), title);
    if (edited != nullptr) {
        std::vector<QSID> ids;
        for (QTreeWidgetItem* row : rows) ids.push_back(QSID(row->data(0, kIdRole).toLongLong()));
        StoreFor(ids, *edited);
    }
    FillList();
    if (keep >= 0 && keep < m_list->topLevelItemCount()) m_list->scrollToItem(m_list->topLevelItem(keep));
}

void CFloodFillSettingsBase::OnEdit(QTreeWidgetItem* clicked) {
    ClearGroupSelection();
    const std::vector<QTreeWidgetItem*> rows = SelectedMembers();
    if (rows.empty()) {
        NothingToEdit();
        return;
    }
    QTreeWidgetItem* open = clicked != nullptr && !IsGroupRow(clicked) ? clicked : rows.front();
    EditRows(rows, open);
}

void CFloodFillSettingsBase::OnDoubleClick() {
    QTreeWidgetItem* first = nullptr;
    for (int i = 0; i < m_list->topLevelItemCount() && first == nullptr; ++i)
        if (m_list->topLevelItem(i)->isSelected()) first = m_list->topLevelItem(i);
    if (first == nullptr || IsGroupRow(first)) return;
    EditRows({first}, first);
}

void CFloodFillSettingsBase::OnClear() {
    const QList<QTreeWidgetItem*> selected = m_list->selectedItems();
    if (selected.isEmpty()) {
        NothingToClear();
        return;
    }
    for (QTreeWidgetItem* item : selected) {
        const LONG id = LONG(item->data(0, kIdRole).toLongLong());
        CObject* rule = nullptr;
        if (!m_map.Lookup(id, rule)) continue;
        m_map.RemoveKey(id);
        delete rule;
        // A cleared rule changes the project as much as a stored one.
        m_bModified = 1;
    }
    FillList();
}

void CFloodFillSettingsBase::OnLayerChanged() {
    const int index = m_layers->currentIndex();
    if (index < 0) return;
    // The rows show the map's own rules, so every edit is in the map already.
    m_nLayer = static_cast<unsigned short>(m_layers->itemData(index).toInt());
    FillList();
}

void CFloodFillSettingsBase::OnOK() {
    if (!UpdateData(TRUE)) return;
    if (m_pProject != nullptr && StoreRules(m_map) != qsk::kOk) {
        AfxMessageBox(QStringLiteral("The flood fill settings could not be stored."), MB_OK | MB_ICONSTOP);
        return;
    }
    EndDialog(IDOK);
}

// ---- selected factors ------------------------------------------------------------------------------------------------

CFloodFillSettingsDlg::CFloodFillSettingsDlg(CProject* project, CWnd* pParent) : CFloodFillSettingsBase(project, pParent) {}

QStringList CFloodFillSettingsDlg::Columns() const {
    return {QStringLiteral("Development Exhibit"), QStringLiteral("Selected Development Factors"),
            QStringLiteral("Selected Tail Factors")};
}

QSSTATUS CFloodFillSettingsDlg::ReadRules(CMapLongToOb& map) const { return m_pProject->GetRegularSDFFloodFillOption(map); }
QSSTATUS CFloodFillSettingsDlg::StoreRules(const CMapLongToOb& map) {
    return m_pProject->SetRegularSDFFloodFillOption(map);
}

bool CFloodFillSettingsDlg::Lists(QSID id) const {
    const auto* ex = dynamic_cast<const CExhibit*>(m_pProject->FindObject(id, GetIDLayer(id)));
    return ex != nullptr && ex->HasSDF();
}

bool CFloodFillSettingsDlg::IsActive(const CObject* rule) const {
    const auto* r = dynamic_cast<const CKDVSDFFloodFillOption*>(rule);
    return r != nullptr && r->GetType() != CKDVSDFFloodFillOption::NONE;
}

QString CFloodFillSettingsDlg::StatisticText(const CFFStat& stat, int months, bool abbreviated) {
    auto word = [abbreviated](const char* full, const char* shortForm) {
        return QString::fromLatin1(abbreviated ? shortForm : full);
    };
    QString unit, units;
    switch (months) {
    case 1: unit = units = QStringLiteral(" Mo "); break;
    case 3: unit = word(" Quarter ", " Qrtr "); units = word(" Quarters ", " Qrtrs "); break;
    case 6: unit = word(" Half Year ", " Half Yr "); units = word(" Half Years ", " Half Yrs "); break;
    case 12: unit = word(" Year ", " Yr "); units = word(" Years ", " Yrs "); break;
    default: unit = QStringLiteral(" Interval "); units = QStringLiteral(" Intervals "); break;
    }
    QString text;
    if (stat.m_useLast > 0) text += QString::asprintf("%ld ", long(stat.m_useLast)) + unit;
    switch (stat.m_weighting) {
    case 1: text += word("Volume Weighted ", "Vol Wtd "); break;
    case 2: text += word("Time Weighted ", "Time Wtd "); break;
    case 3: text += word("User Weighted ", "User Wtd "); break;
    default: break;
    }
    switch (stat.m_avgType) {
    case 1: text += word("Average ", "Avg "); break;
    case 2: text += QStringLiteral("Linear Trend: "); break;
    case 4: text += QStringLiteral("Exp Curve "); break;
    default: break;
    }
    if (stat.m_includeZeros) text += word("Including Zeros ", "Inc Zeros ");
    if (stat.m_excludeHighLow) text += word("Excluding High/Low ", "Exc Hi/Lo ");
    if (stat.m_excludeFirst > 0)
        text += word("Excluding First ", "Exc First ") + QString::asprintf("%ld ", long(stat.m_excludeFirst)) + units;
    if (stat.m_excludeLast > 0)
        text += word("Excluding Last ", "Exc Last ") + QString::asprintf("%ld ", long(stat.m_excludeLast)) + units;
    return text;
}

QStringList CFloodFillSettingsDlg::Texts(const CObject* rule) const {
    const auto* r = dynamic_cast<const CKDVSDFFloodFillOption*>(rule);
    if (r == nullptr) return {};
    switch (r->GetType()) {
    case CKDVSDFFloodFillOption::STATISTICS: {
        PRDLENGTH length = PRD_YEAR;
        m_pProject->GetLengthExpPrd(length);
        const bool abbreviated = m_pProject->GetExhibitSettings().abbreviate != 0;
        QString tail;
        const CFFTailOption& t = r->GetStatData().GetTailFactor();
        switch (t.m_type) {
        case 0: tail = QStringLiteral("Inverse Power Curve"); break;
        case 1: tail = QStringLiteral("Exponential Curve"); break;
        case 2: tail = QStringLiteral("Weibull Curve"); break;
        case 3: tail = QStringLiteral("Selection based on R2"); break;
        case 4: tail = QString::asprintf("Specified Value = %lf", t.m_specified); break;
        default: break;
        }
        return {StatisticText(r->GetStatData(), int(length), abbreviated), tail};
    }
    case CKDVSDFFloodFillOption::HISTORICAL:
        return {QString::asprintf("Historical Selection %d", r->GetHistData().m_number), QString()};
    case CKDVSDFFloodFillOption::FACTOR_SET:
        return {QString::fromStdString(r->GetDFLData().GetLibraryName()) + QStringLiteral(" - ") +
                    QString::fromStdString(r->GetDFLData().GetFactorSetName()),
                QString()};
    default: return {};
    }
}

std::unique_ptr<CObject> CFloodFillSettingsDlg::EditRule(const CObject* rule, const QString& title) {
    CSDFFloodFillOptionDlg dialog(dynamic_cast<const CKDVSDFFloodFillOption*>(rule), m_pProject, this);
    if (dialog.DoModal(title) != IDOK || dialog.GetOption() == nullptr) return nullptr;
    return std::make_unique<CKDVSDFFloodFillOption>(*dialog.GetOption());
}

bool CFloodFillSettingsDlg::SameRule(const CObject* a, const CObject* b) const {
    const auto* x = dynamic_cast<const CKDVSDFFloodFillOption*>(a);
    const auto* y = dynamic_cast<const CKDVSDFFloodFillOption*>(b);
    return x != nullptr && y != nullptr && *x == *y;
}

CObject* CFloodFillSettingsDlg::CopyRule(const CObject* rule) const {
    return new CKDVSDFFloodFillOption(*dynamic_cast<const CKDVSDFFloodFillOption*>(rule));
}

void CFloodFillSettingsDlg::AssignRule(CObject* to, const CObject* from) const {
    *dynamic_cast<CKDVSDFFloodFillOption*>(to) = *dynamic_cast<const CKDVSDFFloodFillOption*>(from);
}

// The selected-factor dialog says why nothing happens too, as its twin does.
void CFloodFillSettingsDlg::NothingToEdit() { AfxMessageBox(QStringLiteral("No item selected for editing."), MB_OK); }
void CFloodFillSettingsDlg::NothingToClear() { AfxMessageBox(QStringLiteral("No item selected for this action."), MB_OK); }

// ---- interpolated factors --------------------------------------------------------------------------------------------

CInterpFloodFillSettingsDlg::CInterpFloodFillSettingsDlg(CProject* project, CWnd* pParent)
    : CFloodFillSettingsBase(project, pParent) {
    setWindowTitle(QStringLiteral("Flood Fill Settings For Interpolated Development Factors"));
}

QStringList CInterpFloodFillSettingsDlg::Columns() const {
    return {QStringLiteral("Development Exhibit"), QStringLiteral("Interpolated Development Factors")};
}

QSSTATUS CInterpFloodFillSettingsDlg::ReadRules(CMapLongToOb& map) const {
    return m_pProject->GetInterpolateSDFFloodFillOption(map);
}
QSSTATUS CInterpFloodFillSettingsDlg::StoreRules(const CMapLongToOb& map) {
    return m_pProject->SetInterpolateSDFFloodFillOption(map);
}

bool CInterpFloodFillSettingsDlg::Lists(QSID id) const {
    const auto* ex = dynamic_cast<const CExhibit*>(m_pProject->FindObject(id, GetIDLayer(id)));
    return ex != nullptr && ex->HasInterpolateSDF();
}

bool CInterpFloodFillSettingsDlg::IsActive(const CObject* rule) const {
    const auto* r = dynamic_cast<const CInterpolateSDFFloodFillOption*>(rule);
    return r != nullptr && r->GetType() != CInterpolateSDFFloodFillOption::NONE;
}

QStringList CInterpFloodFillSettingsDlg::Texts(const CObject* rule) const {
    const auto* r = dynamic_cast<const CInterpolateSDFFloodFillOption*>(rule);
    if (r == nullptr) return {};
    auto pair = [](const CInterpolateSDFFloodFillSelection& s) {
        return QStringLiteral("( ") + QString::fromStdString(CInterpolationUtil::GetCurveLabel(s.GetCurveType(), 1)) +
               QStringLiteral(", ") + QString::fromStdString(CInterpolationUtil::GetInputLabel(s.GetInputType(), 1)) +
               QStringLiteral(" )");
    };
    return {QStringLiteral("Default1 = ") + pair(r->GetDefault1()) + QStringLiteral(" Default2 = ") +
            pair(r->GetDefault2())};
}

std::unique_ptr<CObject> CInterpFloodFillSettingsDlg::EditRule(const CObject* rule, const QString& title) {
    CFloodFillOptionsDlg dialog(this);
    if (const auto* r = dynamic_cast<const CInterpolateSDFFloodFillOption*>(rule)) dialog.SetOption(*r);
    if (dialog.DoModal(title) != IDOK) return nullptr;
    return std::make_unique<CInterpolateSDFFloodFillOption>(dialog.GetOption());
}

bool CInterpFloodFillSettingsDlg::SameRule(const CObject* a, const CObject* b) const {
    const auto* x = dynamic_cast<const CInterpolateSDFFloodFillOption*>(a);
    const auto* y = dynamic_cast<const CInterpolateSDFFloodFillOption*>(b);
    return x != nullptr && y != nullptr && *x == *y;
}

CObject* CInterpFloodFillSettingsDlg::CopyRule(const CObject* rule) const {
    return new CInterpolateSDFFloodFillOption(*dynamic_cast<const CInterpolateSDFFloodFillOption*>(rule));
}

void CInterpFloodFillSettingsDlg::AssignRule(CObject* to, const CObject* from) const {
    *dynamic_cast<CInterpolateSDFFloodFillOption*>(to) = *dynamic_cast<const CInterpolateSDFFloodFillOption*>(from);
}

void CInterpFloodFillSettingsDlg::NothingToEdit() {
    AfxMessageBox(QStringLiteral("No item selected for editing."), MB_OK);
}
void CInterpFloodFillSettingsDlg::NothingToClear() {
    AfxMessageBox(QStringLiteral("No item selected for this action."), MB_OK);
}

namespace qs::views {

bool RunFloodFillSettings(CProject* project, bool interpolated, CWnd* parent) {
    if (project == nullptr) return false;
    std::unique_ptr<CFloodFillSettingsBase> dialog;
    if (interpolated) dialog = std::make_unique<CInterpFloodFillSettingsDlg>(project, parent);
    else dialog = std::make_unique<CFloodFillSettingsDlg>(project, parent);
    if (dialog->DoModal() != IDOK) return false;
    if (dialog->IsModified()) project->SetModifiedFlag(true);
    return true;
}

}  // namespace qs::views
