#include "frames/CGraphFrame.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDockWidget>
#include <QHBoxLayout>
#include <QMdiArea>
#include <QMdiSubWindow>

#include <algorithm>
#include <QPushButton>
#include <QToolBar>

#include "CView.h"
#include "frames/FrameToolBars.h"

namespace {

CGraphFrame::DataBarFactory& GraphDataBarFactory() {
    static CGraphFrame::DataBarFactory factory;
    return factory;
}

}  // namespace

CGraphFrame::CGraphFrame() = default;

void CGraphFrame::SetDataBarFactory(DataBarFactory factory) { GraphDataBarFactory() = std::move(factory); }

int CGraphFrame::OnCreate(LPCREATESTRUCT lpCreateStruct) {
    if (CChildFrame::OnCreate(lpCreateStruct) == -1) return -1;
    setDockOptions(QMainWindow::AnimatedDocks | QMainWindow::AllowTabbedDocks);

    // The dialog bar: a top-docked bar whose controls the graph view finds by id.
    auto* bar = new QToolBar(this);
    bar->setMovable(false);
    SetControlId(bar, int(IDD_GRAPH_BAR));
    m_pDialogBar = new QWidget(bar);
    auto* layout = new QHBoxLayout(m_pDialogBar);
    layout->setContentsMargins(2, 2, 2, 2);
    m_pStyleList = new QComboBox(m_pDialogBar);
    SetControlId(m_pStyleList, int(IDC_GRAPH_STYLE));
    layout->addWidget(m_pStyleList);
    m_pStyleList->setMinimumContentsLength(16);
    m_pStyleList->setToolTip(QStringLiteral("Graph style"));
    // Zoom, single-series mode and the Y axis' fit are switches: check boxes.
    const struct {
        UINT id;
        const char* text;
        bool check;
    } buttons[] = {{IDC_SAVE_STYLE, "Save Style", false},          {IDC_LOAD_STYLE, "Load Style", false},
                   {IDC_DELETE_STYLE, "Delete Style", false},      {IDC_FILE_CHECK, "File", true},
                   {IDC_RESET_ZOOM, "Reset Zoom", false},          {IDC_ENABLE_ZOOM, "Enable Zoom", true},
                   {IDC_SINGLE_SERIES, "Single-series Mode", true}, {IDC_ADJUST_Y_AXIS, "Adjust Y-Axis", true},
                   {IDC_GRAPH_CANCEL, "Cancel", false},            {IDC_GRAPH_SAVE, "Save", false}};
    for (const auto& b : buttons) {
        QAbstractButton* button = b.check ? static_cast<QAbstractButton*>(new QCheckBox(QString::fromLatin1(b.text), m_pDialogBar))
                                          : static_cast<QAbstractButton*>(new QPushButton(QString::fromLatin1(b.text), m_pDialogBar));
        button->setToolTip(button->text());
        BindCommandButton(button, int(b.id));
        layout->addWidget(button);
        // The database's style controls show only for a database project's graph.
        if (b.id == IDC_DELETE_STYLE || b.id == IDC_FILE_CHECK) button->setVisible(false);
    }
    bar->addWidget(m_pDialogBar);
    addToolBar(Qt::TopToolBarArea, bar);

    const QString title = QStringLiteral("Sidebar");
    if (GraphDataBarFactory()) {
        m_pDataBar = GraphDataBarFactory()(title, this, ID_GRAPH_DATA_BAR);
    } else {
        m_pDataBar = new QDockWidget(title, this);
        m_pDataBar->setWidget(new QWidget(m_pDataBar));
    }
    if (m_pDataBar == nullptr) return -1;
    SetControlId(m_pDataBar, int(ID_GRAPH_DATA_BAR));
    if (dockWidgetArea(m_pDataBar) == Qt::NoDockWidgetArea) addDockWidget(Qt::RightDockWidgetArea, m_pDataBar);
    return 0;
}

void CGraphFrame::ActivateFrame(int nCmdShow) {
    QMdiSubWindow* sub = GetSubWindow();
    if (!m_bSized && sub != nullptr && sub->mdiArea() != nullptr && !sub->isMaximized()) {
        m_bSized = true;
        const QSize area = sub->mdiArea()->viewport()->size();
        sub->resize(std::min(1100, area.width() * 9 / 10), std::min(720, area.height() * 9 / 10));
    }
    CChildFrame::ActivateFrame(nCmdShow);
}

void CGraphFrame::OnClose() {
    if (!m_bClosing) {
        if (auto* query = dynamic_cast<IGraphCloseQuery*>(GetActiveView()); query && !query->CanCloseGraph()) return;
        if (CView* view = GetActiveView()) view->SendMessage(WM_CLOSE);
    }
    m_bClosing = true;
    CChildFrame::OnClose();
    m_bClosing = false;
}
