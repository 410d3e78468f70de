#include "CGraphDataBar.h"

#include <QCheckBox>
#include <algorithm>
#include <QDockWidget>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "CChooseGraphElementsDlg.h"
#include "CGraph.h"
#include "CGraphIterators.h"

namespace {

const char* const kPaneTitles[4] = {" Table(s) ", " Series As ", " Series to Display ", " Data Points "};
const char* const kAdapterProperty = "qsGraphAdapter";

}  // namespace

CGraphDataBar::CGraphDataBar(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    // Never squeezed below what the entries need: the scroll area scrolls.
    layout->setSizeConstraint(QLayout::SetMinimumSize);
    layout->setContentsMargins(4, 15, 4, 4);
    layout->setSpacing(0);
    for (int p = 0; p < 4; ++p) {
        m_panes[p] = new QGroupBox(QString::fromLatin1(kPaneTitles[p]), this);
        m_panes[p]->setFixedWidth(kPaneWidth);
        m_paneLayouts[p] = new QVBoxLayout(m_panes[p]);
        m_paneLayouts[p]->setSpacing(2);
        layout->addWidget(m_panes[p]);
    }
    layout->addStretch(1);
}

CGraphDataBar::~CGraphDataBar() {
    if (m_pGraph != nullptr) m_pGraph->RemoveEventReceiver(this);
}

void CGraphDataBar::SetGraph(CGraph* graph) {
    if (m_pGraph != nullptr) m_pGraph->RemoveEventReceiver(this);
    m_pGraph = graph;
    m_bInitialised = false;
    if (m_pGraph != nullptr) {
        m_pGraph->SetEventReceiver(this);
        RebuildPanes();
    } else {
        Clear();
    }
}

std::vector<QAbstractButton*> CGraphDataBar::Entries(int pane) const {
    std::vector<QAbstractButton*> out;
    if (pane < 0 || pane > 3) return out;
    for (int i = 0; i < m_paneLayouts[pane]->count(); ++i)
        if (auto* b = qobject_cast<QAbstractButton*>(m_paneLayouts[pane]->itemAt(i)->widget())) out.push_back(b);
    return out;
}

void CGraphDataBar::Clear() {
    for (QVBoxLayout* layout : m_paneLayouts) {
        while (QLayoutItem* item = layout->takeAt(0)) {
            if (QWidget* w = item->widget()) {
                // An entry may be the one whose click led here: it goes once
                // its handler has returned.
                w->hide();
                w->deleteLater();
            }
            delete item;
        }
    }
}

void CGraphDataBar::OnGraphCatalogued(CGraph*) {
    m_bRebuildPending = true;
    ScheduleRebuild();
}

void CGraphDataBar::ScheduleRebuild() {
    if (m_bRebuildQueued) return;
    m_bRebuildQueued = true;
    QTimer::singleShot(0, this, [this] {
        m_bRebuildQueued = false;
        RebuildPanes();
    });
}

void CGraphDataBar::RebuildPanes() {
    Clear();
    if (m_pGraph == nullptr || !m_pGraph->Lock()) return;
    m_tables = std::make_unique<CTableIterator>(m_pGraph);
    m_types = std::make_unique<CSeriesTypeIterator>(m_pGraph);
    m_series = std::make_unique<CSeriesIteratorImpl>(m_pGraph);
    m_labels = std::make_unique<CLabelIterator>(m_pGraph);

    CTableAdapter* table = nullptr;
    while (m_tables->GetNext(table)) {
        auto* button = new QToolButton(m_panes[0]);
        button->setText(QString::fromStdString(table->GetName()));
        button->setArrowType(Qt::DownArrow);
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        button->setToolTip(QStringLiteral("Choose the elements of %1 to graph").arg(button->text()));
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        button->setEnabled(table->IsAvailable());
        const int index = table->GetTableIndex();
        connect(button, &QToolButton::clicked, this, [this, index] { OpenElementChooser(index); });
        m_paneLayouts[0]->addWidget(button);
    }
    auto* add = new QPushButton(QStringLiteral("Add Table(s)"), m_panes[0]);
    connect(add, &QPushButton::clicked, this, [this] {
        if (onAddTables) onAddTables();
    });
    m_paneLayouts[0]->addWidget(add);

    CSeriesTypeAdapter* type = nullptr;
    while (m_types->GetNext(type)) AddEntry(1, type, new QRadioButton(m_panes[1]), true);
    const bool exclusive = m_pGraph->IsGraphMultiTables();
    CSeriesAdapter* series = nullptr;
    while (m_series->GetNext(series)) {
        QAbstractButton* b = exclusive ? static_cast<QAbstractButton*>(new QRadioButton(m_panes[2]))
                                       : static_cast<QAbstractButton*>(new QCheckBox(m_panes[2]));
        AddEntry(2, series, b, exclusive);
    }
    CLabelAdapter* label = nullptr;
    while (m_labels->GetNext(label)) AddEntry(3, label, new QCheckBox(m_panes[3]), false);
    m_pGraph->Unlock();
    // At least 100 pixels high, and never less than the entries need (an
    // explicit minimum would let the layout squeeze them).
    for (QGroupBox* pane : m_panes) {
        pane->setMinimumHeight(0);
        pane->setMinimumHeight(std::max(kPaneMinHeight, pane->minimumSizeHint().height()));
    }
    m_bInitialised = true;
    m_bRebuildPending = false;
}

void CGraphDataBar::AddEntry(int pane, CGraphAdapter* adapter, QAbstractButton* button, bool exclusive) {
    button->setText(QString::fromStdString(adapter->GetName()));
    // Radio buttons of a pane are exclusive by hand: the kernel decides.
    button->setAutoExclusive(false);
    button->setCheckable(true);
    button->setChecked(adapter->IsSelected());
    button->setEnabled(adapter->IsAvailable());
    button->setProperty(kAdapterProperty, QVariant::fromValue(static_cast<void*>(adapter)));
    connect(button, &QAbstractButton::clicked, this,
            [this, adapter, button, exclusive] { OnEntryClicked(adapter, button, exclusive); });
    m_paneLayouts[pane]->addWidget(button);
}

void CGraphDataBar::OnEntryClicked(CGraphAdapter* adapter, QAbstractButton* button, bool exclusive) {
    if (!adapter->IsAvailable()) return;
    if (exclusive) {
        // Other entries of the pane are deselected first, so the kernel's
        // redraw sees only the chosen one.
        for (int p = 0; p < 4; ++p) {
            const std::vector<QAbstractButton*> entries = Entries(p);
            if (std::find(entries.begin(), entries.end(), button) == entries.end()) continue;
            for (QAbstractButton* other : entries)
                if (other != button) other->setChecked(false);
        }
        button->setChecked(true);
        adapter->Select(true);
    } else {
        adapter->Select(button->isChecked());
    }
    setFocus();
}

void CGraphDataBar::OpenElementChooser(int table) {
    if (m_pGraph == nullptr) return;
    CTableIterator tables(m_pGraph);
    CTableAdapter* chosen = nullptr;
    for (CTableAdapter* a = nullptr; tables.GetNext(a);)
        if (a->GetTableIndex() == table) chosen = a;
    if (chosen == nullptr || !chosen->IsAvailable()) return;
    CChooseGraphElementsDlg dialog(&tables, chosen, this);
    if (dialog.DoModal() == IDOK) OnCatalogRequest();
}

void CGraphDataBar::OnCatalogRequest() {
    if (m_pGraph == nullptr) return;
    CGraph* graph = m_pGraph;
    graph->CatalogData();
    // The graph's receivers redraw (the view among them); this bar rebuilds.
    graph->RecatalogAndRefresh();
    RebuildPanes();
}

namespace qs::graphs {

QDockWidget* CreateGraphDataBarDock(const QString& title, QWidget* frame) {
    auto* dock = new QDockWidget(title, frame);
    dock->setFeatures(QDockWidget::NoDockWidgetFeatures);
    auto* scroll = new QScrollArea(dock);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* bar = new CGraphDataBar(scroll);
    bar->setObjectName(QStringLiteral("graphDataBar"));
    scroll->setWidget(bar);
    scroll->setMinimumWidth(CGraphDataBar::kPaneWidth + 30);
    dock->setWidget(scroll);
    return dock;
}

CGraphDataBar* DataBarOf(QWidget* dock) {
    return dock != nullptr ? dock->findChild<CGraphDataBar*>(QStringLiteral("graphDataBar")) : nullptr;
}

}  // namespace qs::graphs
