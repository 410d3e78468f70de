#include "CChooseGraphElementsDlg.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "CExhibit.h"
#include "CGraph.h"
#include "CGraphIterators.h"
#include "CMethod.h"
#include "CProject.h"
#include "CScalar.h"
#include "CSelectDataSourceDlg.h"
#include "CStatistics.h"
#include "CTailFactorAnalysis.h"
#include "KernelIds.h"

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

CChooseGraphElementsDlg::CChooseGraphElementsDlg(CTableIterator* tables, CTableAdapter* table, QWidget* pParent)
    : CDialog(IDD, nullptr), m_pIterator(tables), m_pAdapter(table) {
    setWindowTitle(QStringLiteral("Choose Table Elements to Graph"));
    if (pParent != nullptr) setParent(pParent, windowFlags() | Qt::Dialog);
    auto* layout = new QVBoxLayout(this);
    auto* columns = new QHBoxLayout;
    m_pTables = new QTreeWidget(this);
    SetControlId(m_pTables, IDC_TABLES);
    m_pTables->setColumnCount(2);
    m_pTables->setHeaderLabels({QStringLiteral("Table Name"), QStringLiteral("Layer")});
    m_pTables->setRootIsDecorated(false);
    m_pTables->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_pTables->setMinimumWidth(280);
    m_pElements = new QListWidget(this);
    SetControlId(m_pElements, IDC_ELEMENTS);
    m_pElements->setMinimumWidth(280);
    auto* left = new QVBoxLayout;
    left->addWidget(new QLabel(QStringLiteral("Tables:"), this));
    left->addWidget(m_pTables);
    auto* right = new QVBoxLayout;
    right->addWidget(new QLabel(QStringLiteral("Elements to graph:"), this));
    right->addWidget(m_pElements);
    columns->addLayout(left);
    columns->addLayout(right);
    layout->addLayout(columns);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(AddButton(IDOK, QStringLiteral("OK")), QDialogButtonBox::AcceptRole);
    buttons->addButton(AddButton(IDCANCEL, QStringLiteral("Cancel")), QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);
    // A click asks for the table once the click is over (the list's own
    // handling of it comes first).
    connect(m_pTables, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (item == nullptr) return;
        const int row = m_pTables->indexOfTopLevelItem(item);
        QTimer::singleShot(0, this, [this, row] { ShowTable(row); });
    });
}

std::vector<CChooseGraphElementsDlg::Element> CChooseGraphElementsDlg::ElementsOf(CTableAdapter& table) {
    std::vector<Element> out;
    CGraph* graph = table.GetGraph();
    CProject* project = graph != nullptr ? graph->GetProject() : nullptr;
    if (project == nullptr) return out;
    const QSID id = static_cast<QSID>(table.GetID());
    const unsigned short layer = GetIDLayer(id) != 0 ? GetIDLayer(id) : graph->GetViewLayer();
    CFormula* object = project->FindObject(id, layer);
    const int type = GetIDDataType(id), kind = GetIDDOType(id);
    const auto add = [&out](const QString& text, PartCode part, int index = 0) {
        out.push_back({text, CGraphData::MakeCode(part, index)});
    };
    if ((type == 0 || type == 8) && (kind == 1 || kind == 2)) {
        const auto* data = dynamic_cast<CDataObject*>(object);
        switch (data != nullptr ? data->GetVectorType() : -1) {
        case CDataObject::VT_TRIANGLE: add(QStringLiteral("Triangle Data"), PART_TRIANGLE); break;
        case CDataObject::VT_ROW: add(QStringLiteral("Row Data"), PART_ROW); break;
        case CDataObject::VT_COLUMN: add(QStringLiteral("Column Data"), PART_COLUMN); break;
        default: add(QStringLiteral("Unknown"), PART_TRIANGLE); break;
        }
    } else if (type == 1 && (kind == 3 || kind == 4)) {
        auto* exhibit = dynamic_cast<CExhibit*>(object);
        if (exhibit == nullptr) return out;
        add(Q(exhibit->GetIDLongName()), PART_EXHIBIT);
        CStatistics* statistics = nullptr;
        unsigned short count = 0;
        if (exhibit->GetStatistics(statistics) == qsk::kOk && statistics != nullptr &&
            statistics->GetNumStats(count) == 0)
            for (unsigned short s = 0; s < count; ++s) {
                std::string name;
                statistics->GetStatName(s, name, 0);
                add(Q(name), PART_STATISTIC, s);
            }
        CTailFactorAnalysis* analysis = nullptr;
        if (exhibit->GetCRXObject(analysis) == qsk::kOk && analysis != nullptr)
            for (int curve = 0; curve < 4; ++curve)
                if (analysis->IsCurveEnabled(curve)) add(Q(analysis->GetCurveName(curve, 0)), PART_CURVE, curve);
        int showSdf = 0, showHistory = 0;
        project->GetExhibitShowSDF(showSdf);
        if (showSdf) add(QStringLiteral("Selected Development Factors"), PART_SDF);
        std::vector<CDataObject*> rows;
        if (exhibit->HasDFs() && exhibit->GetDFs(rows) == qsk::kOk)
            for (size_t i = 0; i < rows.size(); ++i)
                add(rows[i] != nullptr && !rows[i]->GetIDLongName().empty() ? Q(rows[i]->GetIDLongName())
                                                                             : QStringLiteral("Factor Set %1").arg(i + 1),
                    PART_DFSET, int(i));
        project->GetExhibitShowSelHist(showHistory);
        std::vector<CDataObject*> history;
        if (showHistory && exhibit->HasSelHist() && exhibit->GetSelHist(history) == qsk::kOk)
            for (size_t i = 0; i < history.size(); ++i)
                add(QStringLiteral("Selection %1").arg(i + 1), PART_SELHIST, int(i));
    } else if ((type == 2 || type == 3) && (kind == 3 || kind == 4)) {
        const auto* method = dynamic_cast<CMethod*>(object);
        const int count = method != nullptr ? method->GetNumDataObjects() : 0;
        for (int i = 0; i < count; ++i) add(Q(graph->CreateDisplayName(id, i)), PART_NAMEDROW, i);
    } else if ((type == 1 || type == 7) && (kind == 1 || kind == 2)) {
        add(QStringLiteral("Selected Development Factors"), PART_ROW);
    } else if (kind == 5 || kind == 6) {
        const auto* scalar = dynamic_cast<CScalar*>(object);
        double value = 0.0;
        if (scalar == nullptr || scalar->IsScalarBlank() || scalar->GetValue(value) != qsk::kOk)
            add(QStringLiteral("(Blank)"), PART_SCALAR);
        else
            add(QString::number(value, 'g', 12), PART_SCALAR);
    }
    return out;
}

BOOL CChooseGraphElementsDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_tables.clear();
    m_pTables->clear();
    int chosen = 0;
    if (m_pIterator != nullptr) {
        m_pIterator->Reset();
        for (CTableAdapter* a = nullptr; m_pIterator->GetNext(a);) {
            if (a == m_pAdapter) chosen = int(m_tables.size());
            m_tables.push_back(a);
            new QTreeWidgetItem(m_pTables, {Q(a->GetName()), Q(a->GetLayerName())});
        }
    }
    for (int t = 0; t < int(m_tables.size()); ++t) m_elements[t] = ElementsOf(*m_tables[size_t(t)]);
    if (!m_tables.empty()) {
        const QSignalBlocker block(m_pTables);
        m_pTables->setCurrentItem(m_pTables->topLevelItem(chosen));
    }
    ShowTable(chosen);
    return TRUE;
}

void CChooseGraphElementsDlg::Remember() {
    if (m_nShown < 0) return;
    std::vector<bool>& checks = m_checks[m_nShown];
    checks.assign(size_t(m_pElements->count()), false);
    for (int i = 0; i < m_pElements->count(); ++i) checks[size_t(i)] = m_pElements->item(i)->checkState() == Qt::Checked;
}

void CChooseGraphElementsDlg::ShowTable(int index) {
    if (index < 0 || index >= int(m_tables.size()) || index == m_nShown) return;
    Remember();
    m_nShown = index;
    m_pElements->clear();
    const std::vector<Element>& elements = m_elements[index];
    const auto remembered = m_checks.find(index);
    const CGraphData* data = m_tables[size_t(index)]->GetGraphData();
    for (size_t i = 0; i < elements.size(); ++i) {
        auto* item = new QListWidgetItem(elements[i].text, m_pElements);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        const bool on = remembered != m_checks.end() ? remembered->second[i]
                                                     : data != nullptr && data->GetIndexForCode(elements[i].code) >= 0;
        item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    }
    if (remembered == m_checks.end()) Remember();
    if (m_pTables->currentItem() != m_pTables->topLevelItem(index)) {
        const QSignalBlocker block(m_pTables);
        m_pTables->setCurrentItem(m_pTables->topLevelItem(index));
    }
}

bool CChooseGraphElementsDlg::SetChecked(const QString& text, bool on) {
    for (int i = 0; i < m_pElements->count(); ++i)
        if (m_pElements->item(i)->text() == text) {
            m_pElements->item(i)->setCheckState(on ? Qt::Checked : Qt::Unchecked);
            return true;
        }
    return false;
}

void CChooseGraphElementsDlg::OnOK() {
    Remember();
    CGraph* graph = nullptr;
    for (const auto& [table, checks] : m_checks) {
        CTableAdapter* adapter = m_tables[size_t(table)];
        CGraphData* data = adapter->GetGraphData();
        if (data == nullptr) continue;
        graph = adapter->GetGraph();
        data->Clear();
        const std::vector<Element>& elements = m_elements[table];
        for (size_t i = 0; i < elements.size() && i < checks.size(); ++i)
            if (checks[i]) data->AddCode(elements[i].code);
    }
    if (graph == nullptr && m_pAdapter != nullptr) graph = m_pAdapter->GetGraph();
    if (graph != nullptr) {
        graph->SetSaveAsNewGraph();
        graph->SetDirty(true);
    }
    CDialog::OnOK();
}
