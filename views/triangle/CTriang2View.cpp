#include "CTriang2View.h"

#include <QComboBox>
#include <QPainter>

#include "CDataObject.h"
#include "CDocument.h"
#include "CFrameWnd.h"
#include "CProject.h"
#include "IObjectViewDocument.h"
#include "KernelIds.h"
#include "MessageBox.h"
#include "SpreadsheetControl.h"
#include "ViewIcons.h"
#include "ViewSettings.h"

using qs::ss::SpreadsheetControl;

namespace {
constexpr int kIdRole = Qt::UserRole;
QColor FromRef(std::uint32_t ref) { return QColor(int(ref & 0xFF), int((ref >> 8) & 0xFF), int((ref >> 16) & 0xFF)); }
}  // namespace

CTriang2View::CTriang2View(QWidget* parent) : CTriangView(parent) {
    MapCommand(ID_UPDATE_NEXT, [this] { OnNext(); });
    MapCommand(ID_UPDATE_BACK, [this] { OnBack(); });
    MapUpdateCommand(ID_UPDATE_NEXT, [this](CCmdUI* ui) {
        ui->Enable(m_pCombo != nullptr && m_pCombo->currentIndex() >= 0 &&
                   m_pCombo->currentIndex() < m_pCombo->count() - 1);
    });
    MapUpdateCommand(ID_UPDATE_BACK,
                     [this](CCmdUI* ui) { ui->Enable(m_pCombo != nullptr && m_pCombo->currentIndex() > 0); });
    // The pass always shows the development layout.
    MapUpdateCommand(ID_VIEW_CALENDAR, [](CCmdUI* ui) { ui->Enable(FALSE); });
}

CTriang2View::~CTriang2View() {
    if (m_pObject != nullptr && m_pOpenedProject != nullptr) m_pOpenedProject->CloseObject(m_pObject, this);
    SetKernelLink(nullptr);
    if (m_bCalendarChanged) {
        // Back to the layout the other views had before the pass.
        g_bCalendarView = m_nSavedCalendar;
        NotifyCalendar();
    }
}

void CTriang2View::NotifyCalendar() {
    if (qs::views::Settings().updateAllProjectViews) qs::views::Settings().updateAllProjectViews(this, HINT_CALENDAR, nullptr);
    else if (CDocument* doc = GetDocument()) doc->UpdateAllViews(this, HINT_CALENDAR, nullptr);
}

void CTriang2View::Collect(const CProject& project, QSID node, QSIDArray& out) {
    QSStringArray subNames;
    QSIDArray subIds;
    if (project.GetNodeSubGroups(node, subNames, subIds) == 0)
        for (QSID sub : subIds) Collect(project, sub, out);
    unsigned short layers = 0;
    project.GetLayerCount(layers);
    const QSID pattern = project.GetPayPatternID();
    for (unsigned short layer = 1; layer <= layers; ++layer) {
        QSStringArray names;
        QSIDArray ids;
        if (project.GetNodeObjects(node, names, ids, layer, 1, 1, 0, 0) != 0) continue;
        for (QSID id : ids) {
            const int kind = GetIDDOType(id), type = GetIDDataType(id);
            if ((kind == 1 || kind == 2) && (type == 1 || type == 7)) continue;
            if (kind == 5 || kind == 6) continue;
            if (pattern != 0 && SameIDType(id, pattern)) continue;
            QSID layered = id;
            SetIDLayer(layered, layer);
            out.push_back(layered);
        }
    }
}

QSIDArray CTriang2View::CollectIds(const CProject& project) {
    QSIDArray ids;
    Collect(project, 1000, ids);
    Collect(project, 9000, ids);
    return ids;
}

int CTriang2View::OnCreate() {
    CProject* project = GetProject();
    if (project == nullptr || !CreateTriangGrid()) return -1;
    IObjectViewDocument* doc = GetObjectDocument();
    const int openingKind = doc != nullptr ? GetIDDOType(doc->GetPendingObjectID()) : 0;
    SetFrameIcon(qs::views::IsUserObjectKind(openingKind) ? qs::views::kIconUserTable : qs::views::kIconTable);
    SetCalendarFlag(0);
    m_nSavedCalendar = g_bCalendarView;
    if (g_bCalendarView != 0) {
        g_bCalendarView = 0;
        m_bCalendarChanged = true;
        NotifyCalendar();
    } else {
        m_bCalendarChanged = true;  // restored (to 0) and announced when the pass ends
    }
    m_ids = CollectIds(*project);
    m_edited.assign(m_ids.size(), 0);
    if (m_ids.empty()) {
        AfxMessageBox(QStringLiteral("New Evaluation added.\r\nNo Tables with data to update."), MB_OK | MB_ICONINFORMATION);
        return -1;
    }
    const int kind = GetIDDOType(m_ids.front());
    if (kind == 5 || kind == 6) return 0;
    return OpenTriangleObject(m_ids.front()) ? 0 : -1;
}

int CTriang2View::OpenTriangleObject(QSID id) {
    CProject* project = GetProject();
    if (project == nullptr) return 0;
    if (m_pObject != nullptr && m_pOpenedProject != nullptr) m_pOpenedProject->CloseObject(m_pObject, this);
    // The closed object is gone from the view: nothing may reach it through a stale pointer.
    SetKernelLink(nullptr);
    m_pOpenedProject = nullptr;
    const unsigned short layer = GetIDLayer(id);
    QSID bare = id;
    SetIDLayer(bare, 0);
    m_lObjectID = bare;
    m_nLayer = layer;
    CFormula* object = project->OpenObject(bare, layer, this, 1);
    if (object == nullptr) return 0;
    m_pOpenedProject = project;
    SetKernelLink(object);
    SetFonts(nullptr);
    if (dynamic_cast<CDataObject*>(object) == nullptr) return 0;
    // The array is shown cumulative or incremental as it is kept: flipping it
    // on every first opening would show the next array the other way round.
    if (!OnFormat(nullptr) || !OnUpdateData(FALSE)) return 0;
    SelectNewDiagonal();
    UpdateCaption();
    m_bEditedThis = 0;
    return 1;
}

void CTriang2View::SelectNewDiagonal() {
    auto* data = GetTO();
    SpreadsheetControl* ctrl = GetCtrl();
    if (data == nullptr || ctrl == nullptr) return;
    int row = 1, col = 1;
    std::uint16_t n = 0;
    if (data->GetVectorType() == CDataObject::VT_COLUMN) {
        data->GetNumRowsInCol(0, n);
        row = std::max<int>(1, n);
    } else {
        data->GetNumColsInRow(0, n);
        col = std::max<int>(1, n);
    }
    ctrl->SetSelection(row, col, row, col);
    ctrl->SetActiveCell(row, col);
}

void CTriang2View::FillArrayList() {
    if (m_pCombo == nullptr) {
        if (CFrameWnd* frame = GetParentFrame()) m_pCombo = qobject_cast<QComboBox*>(frame->GetDlgItem(IDC_ARRAY_LIST));
    }
    if (m_pCombo == nullptr) return;
    m_pCombo->blockSignals(true);
    m_pCombo->clear();
    for (QSID id : m_ids) m_pCombo->addItem(ItemName(id), qlonglong(id));
    m_pCombo->setCurrentIndex(m_ids.empty() ? -1 : 0);
    m_pCombo->blockSignals(false);
    m_pCombo->setItemDelegate(new CUpdateItemDelegate(this, m_pCombo));
    QObject::connect(m_pCombo, &QComboBox::activated, this, [this] {
        OpenCurrentItem();
        if (SpreadsheetControl* ctrl = GetCtrl()) ctrl->setFocus();
    });
}

void CTriang2View::OnInitialUpdate() {
    SetFonts(nullptr);
    FillArrayList();
    OpenCurrentItem();
    if (CFrameWnd* frame = GetParentFrame()) frame->showMaximized();
    CObjectView::OnInitialUpdate();
    SelectNewDiagonal();
    if (SpreadsheetControl* ctrl = GetCtrl()) ctrl->setFocus();
}

void CTriang2View::OpenCurrentItem() {
    if (m_pCombo == nullptr || m_pCombo->currentIndex() < 0) return;
    const QSID id = QSID(m_pCombo->currentData(kIdRole).toLongLong());
    if (OpenTriangleObject(id) == 0) AfxMessageBox(QStringLiteral("Error: OpenTriangleObject( lID )\n"));
}

void CTriang2View::OnNext() {
    if (m_pCombo == nullptr || m_pCombo->currentIndex() < 0 || m_pCombo->currentIndex() >= m_pCombo->count() - 1) return;
    m_pCombo->setCurrentIndex(m_pCombo->currentIndex() + 1);
    OpenCurrentItem();
    if (SpreadsheetControl* ctrl = GetCtrl()) ctrl->setFocus();
}

void CTriang2View::OnBack() {
    if (m_pCombo == nullptr || m_pCombo->currentIndex() <= 0) return;
    m_pCombo->setCurrentIndex(m_pCombo->currentIndex() - 1);
    OpenCurrentItem();
    if (SpreadsheetControl* ctrl = GetCtrl()) ctrl->setFocus();
}

void CTriang2View::UpdateCaption() {
    if (m_pObject == nullptr) return;
    CTriangView::UpdateCaption();  // footnote status and the grid's title
    QString caption;
    if (IObjectViewDocument* doc = GetObjectDocument()) caption = doc->GetDocumentTitle() + QStringLiteral(": ");
    caption += QStringLiteral("Update Input Arrays");
    if (auto* data = GetTO(); data != nullptr && data->GetVectorType() != CDataObject::VT_COLUMN)
        caption += data->IsViewedCumulative() ? QStringLiteral(" - Cumulative") : QStringLiteral(" - Incremental");
    if (CFrameWnd* frame = GetParentFrame()) frame->SetWindowText(caption);
}

BOOL CTriang2View::SetAt(int row, int col, const QString& text, double value, CFormula* object) {
    if (!CTriangView::SetAt(row, col, text, value, object)) return FALSE;
    if (!m_bEditedThis) {
        m_bEditedThis = 1;
        QSID current = m_lObjectID;
        SetIDLayer(current, m_nLayer);
        for (std::size_t i = 0; i < m_ids.size(); ++i)
            if (m_ids[i] == current) m_edited[i] = 1;
        if (m_pCombo != nullptr) m_pCombo->update();
    }
    return TRUE;
}

int CTriang2View::MoveActiveCell(int key, bool shift, int& row, int& col, int) {
    // Enter walks the new diagonal whatever "Enter Moves" says; Tab goes across.
    if (key == VK_RETURN) return CTriangView::MoveActiveCell(key, shift, row, col, 2);
    if (key == VK_TAB) return CTriangView::MoveActiveCell(key, shift, row, col, 1);
    return 0;
}

bool CTriang2View::IsEdited(QSID id) const {
    for (std::size_t i = 0; i < m_ids.size(); ++i)
        if (m_ids[i] == id) return m_edited[i] != 0;
    return false;
}

QString CTriang2View::ItemName(QSID id) const {
    CProject* project = GetProject();
    std::string name;
    if (project != nullptr) {
        QSID bare = id;
        SetIDLayer(bare, 0);
        project->GetNameFromID(bare, name);
    }
    return QString::fromStdString(name);
}

QString CTriang2View::ItemLayer(QSID id) const {
    CProject* project = GetProject();
    std::string name;
    if (project != nullptr) project->GetNameLayer(name, GetIDLayer(id));
    return QString::fromStdString(name);
}

// ---------------------------------------------------------------- the array box's items

QSize CUpdateItemDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setWidth(300);
    return size;
}

void CUpdateItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const QSID id = QSID(index.data(kIdRole).toLongLong());
    const bool edited = m_pView != nullptr && m_pView->IsEdited(id);
    painter->save();
    const bool selected = option.state & QStyle::State_Selected;
    painter->fillRect(option.rect, selected ? option.palette.highlight() : option.palette.base());
    QFont font = option.font;
    font.setBold(edited);
    painter->setFont(font);
    painter->setPen(edited ? FromRef(CTriang2View::kEditedColor)
                           : (selected ? option.palette.highlightedText().color() : option.palette.text().color()));
    const QFontMetrics metrics(font);
    const QString layer = m_pView ? m_pView->ItemLayer(id) : QString();
    const int layerWidth = metrics.horizontalAdvance(QStringLiteral("Assumed  "));
    QRect nameRect = option.rect.adjusted(2, 0, -layerWidth, 0);
    painter->drawText(nameRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                      metrics.elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideRight, nameRect.width()));
    QRect layerRect = option.rect;
    layerRect.setLeft(option.rect.right() - layerWidth);
    painter->drawText(layerRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, layer);
    if (option.state & QStyle::State_HasFocus) {
        painter->setPen(option.palette.text().color());
        painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
    }
    painter->restore();
}
