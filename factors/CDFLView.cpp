#include "CDFLView.h"

#include <QApplication>
#include <QClipboard>
#include <QButtonGroup>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "CDFLDoc.h"
#include "CDFLGrid.h"
#include "CDataObject.h"
#include "CFSLib.h"
#include "CFactorSet.h"
#include "CMDIChildWnd.h"
#include "CWinApp.h"
#include "CommandIds.h"
#include "FactorLibraryHost.h"
#include "FactorRowForms.h"
#include "FactorSetDialogs.h"
#include "KernelIds.h"
#include "MessageBox.h"
#include "ObjectViewFormats.h"
#include "QsProfile.h"
#include "SpreadsheetControl.h"
#include "WaitCursor.h"
#include "WindowMessages.h"

IMPLEMENT_DYNCREATE(CDFLView, CView)

using qs::factors::Host;
using qs::ss::SpreadsheetControl;

namespace {

constexpr int kRightsCategory = 4;
constexpr int kRightsChange = 2;
constexpr int kIdRole = Qt::UserRole;
const char* const kNoPermission =
    "You have not been granted permission to perform this task on this component.\nSee component's Access "
    "Properties for more information.";
const char* const kSetExists = "Factor Set already exists.\r\nChoose a different name.";
const char* const kNoSetsToSave = "Please add a Factor Set.";
const char* const kFillSetsFailed = "Error: FillListSets()\n";
const char* const kFillExhibitsFailed = "Error: FillListSDFs()\n";
const char* const kUndoWarning = " This action cannot be undone. Choosing [Cancel] later  \nwill not reverse this action.  ";

QString Text(const char* text) { return QString::fromLatin1(text); }

// Two 16-pixel marks for the exhibit list: without and with factors.
QIcon ExhibitMark(bool withFactors) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::white);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x60, 0x60, 0x60), 1));
    painter.drawRect(2, 2, 11, 11);
    if (withFactors) {
        painter.setPen(QPen(QColor(0x10, 0x80, 0x20), 2));
        painter.drawLine(4, 8, 7, 11);
        painter.drawLine(7, 11, 12, 4);
    }
    return QIcon(pixmap);
}

// Commits a factor-set label edit only when the view accepts the rename.
class SetNameDelegate : public QStyledItemDelegate {
public:
    SetNameDelegate(CDFLView* view, QObject* parent) : QStyledItemDelegate(parent), m_view(view) {}
    void setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const override {
        auto* edit = qobject_cast<QLineEdit*>(editor);
        if (edit == nullptr || index.column() != 0) return;
        m_view->OnEndLabelEdit(index.row(), edit->text());
    }

private:
    CDFLView* m_view;
};

QTreeWidget* ReportList(QWidget* owner, int id) {
    auto* list = new QTreeWidget(owner);
    CWnd::SetControlId(list, id);
    list->setRootIsDecorated(false);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setAllColumnsShowFocus(true);
    list->header()->setSectionsClickable(false);
    list->setSortingEnabled(true);
    list->sortByColumn(0, Qt::AscendingOrder);
    return list;
}

QPushButton* IdButton(QWidget* owner, int id, const QString& text) {
    auto* button = new QPushButton(text, owner);
    CWnd::SetControlId(button, id);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

CDFLView::CDFLView() {
    BuildForm();
    MapCommands();
}

CDFLView::~CDFLView() {
    // The grid's editor may still commit while the view goes: cut it off.
    if (m_pGrid && m_pGrid->Ctrl()) m_pGrid->Ctrl()->EnableNotify(qs::ss::SSN_EndEdit, false);
}

CDFLDoc* CDFLView::GetDocument() const { return dynamic_cast<CDFLDoc*>(CView::GetDocument()); }

void CDFLView::BuildForm() {
    auto* layout = new QGridLayout(this);

    auto* nameRow = new QGridLayout;
    m_pName = new QLineEdit(this);
    CWnd::SetControlId(m_pName, IDC_NAME);
    m_pName->setMaxLength(50);
    m_pDescription = new QLineEdit(this);
    CWnd::SetControlId(m_pDescription, IDC_DESCRIPTION);
    m_pDescription->setMaxLength(255);
    auto* nameLabel = new QLabel(QStringLiteral("&Name:"), this);
    nameLabel->setBuddy(m_pName);
    auto* descriptionLabel = new QLabel(QStringLiteral("Descri&ption:"), this);
    descriptionLabel->setBuddy(m_pDescription);
    nameRow->addWidget(nameLabel, 0, 0);
    nameRow->addWidget(m_pName, 0, 1);
    nameRow->addWidget(descriptionLabel, 1, 0);
    nameRow->addWidget(m_pDescription, 1, 1);
    layout->addLayout(nameRow, 0, 0, 1, 2);

    auto* buttons = new QVBoxLayout;
    const std::pair<int, const char*> mainButtons[] = {
        {IDC_OK, "O&K"}, {IDC_SAVE, "&Save"}, {IDC_SAVE_AS, "Sa&ve As"}, {IDC_CANCEL, "&Cancel"}};
    for (const auto& [id, text] : mainButtons) {
        QPushButton* b = IdButton(this, id, Text(text));
        BindCommandButton(b, id);
        buttons->addWidget(b);
    }
    buttons->addStretch();
    layout->addLayout(buttons, 0, 2, 3, 1);

    // Factor sets on the left, exhibits and the display options on the right.
    auto* sets = new QVBoxLayout;
    sets->addWidget(new QLabel(QStringLiteral("Factor sets:"), this));
    m_pSetList = ReportList(this, IDC_SET_LIST);
    m_pSetList->setHeaderLabels({QStringLiteral("Factor Set Name"), QStringLiteral("# of Periods"),
                                 QStringLiteral("Period Length"), QStringLiteral("First Period")});
    m_pSetList->setItemDelegateForColumn(0, new SetNameDelegate(this, m_pSetList));
    m_pSetList->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    sets->addWidget(m_pSetList);
    auto* setButtons = new QHBoxLayout;
    const std::pair<int, const char*> setCommands[] = {{IDC_ADD_SET, "&Add set..."},
                                                       {IDC_EDIT_SETS, "E&dit Set(s)..."},
                                                       {IDC_DELETE_SET, "De&lete set"},
                                                       {int(ID_NEW_EVALUATION), "&New Evaluation"},
                                                       {IDC_CLEAR_SETS, "Clea&r Set(s)..."}};
    for (const auto& [id, text] : setCommands) {
        QPushButton* b = IdButton(this, id, Text(text));
        BindCommandButton(b, id);
        setButtons->addWidget(b);
        if (id == IDC_DELETE_SET) m_pDeleteSet = b;
        if (id == int(ID_NEW_EVALUATION)) m_pNewEval = b;
    }
    sets->addLayout(setButtons);
    layout->addLayout(sets, 1, 0);

    auto* right = new QVBoxLayout;
    auto* layerRow = new QHBoxLayout;
    m_pLayer = new QComboBox(this);
    CWnd::SetControlId(m_pLayer, IDC_LAYER);
    auto* layerLabel = new QLabel(QStringLiteral("La&yer:"), this);
    layerLabel->setBuddy(m_pLayer);
    layerRow->addWidget(layerLabel);
    layerRow->addWidget(m_pLayer, 1);
    right->addLayout(layerRow);
    auto* forms = new QGroupBox(QStringLiteral("Development Factors"), this);
    auto* formLayout = new QHBoxLayout(forms);
    m_pForms = new QButtonGroup(this);
    const std::pair<int, const char*> formButtons[] = {
        {IDC_AGE_TO_AGE, "A&ge to Age"}, {IDC_AGE_TO_ULT, "Age &to Ultimate"}, {IDC_RATIO_TO_ULT, "&Ratio to Ultimate"}};
    int formIndex = 0;
    for (const auto& [id, text] : formButtons) {
        auto* radio = new QRadioButton(Text(text), forms);
        CWnd::SetControlId(radio, id);
        m_pForms->addButton(radio, formIndex++);
        formLayout->addWidget(radio);
    }
    QPushButton* decimals = IdButton(forms, IDC_DECIMALS, QStringLiteral("D&ecimal"));
    BindCommandButton(decimals, IDC_DECIMALS);
    formLayout->addWidget(decimals);
    right->addWidget(forms);
    m_pExhibitList = ReportList(this, IDC_EXHIBIT_LIST);
    m_pExhibitList->setHeaderLabels({QStringLiteral("Development Exhibits")});
    m_pExhibitList->setIconSize(QSize(16, 16));
    right->addWidget(m_pExhibitList);
    layout->addLayout(right, 1, 1);

    m_pCaption = new QLabel(this);
    CWnd::SetControlId(m_pCaption, IDC_GRID_CAPTION);
    layout->addWidget(m_pCaption, 2, 0, 1, 2);
    m_pGridFrame = new QFrame(this);
    CWnd::SetControlId(m_pGridFrame, IDC_GRID_FRAME);
    m_pGridFrame->setFrameShape(QFrame::StyledPanel);
    m_pGridFrame->setFrameShadow(QFrame::Sunken);
    m_pGridFrame->setMinimumHeight(64);
    layout->addWidget(m_pGridFrame, 3, 0, 1, 3);
    layout->setRowStretch(1, 1);

    // A name or description typed is a change the library must not lose.
    for (QLineEdit* edit : {m_pName, m_pDescription})
        connect(edit, &QLineEdit::textEdited, this, [this] {
            if (m_pDoc) m_pDoc->SetModifiedFlag(TRUE);
        });
    connect(m_pSetList, &QTreeWidget::itemSelectionChanged, this, [this] { OnSetSelectionChanged(); });
    connect(m_pExhibitList, &QTreeWidget::itemSelectionChanged, this, [this] { OnExhibitSelectionChanged(); });
    connect(m_pLayer, &QComboBox::activated, this, [this](int) { OnLayerChanged(); });
    connect(m_pForms, &QButtonGroup::idClicked, this, [this](int form) {
        if (!CheckPermission(true)) {
            m_pForms->button(m_nDisplayForm)->setChecked(true);
            return;
        }
        SetDisplayForm(form);
    });
}

void CDFLView::MapCommands() {
    MapCommand(ID_FORM_AGE_TO_AGE, [this] { SetDisplayForm(0); });
    MapCommand(ID_FORM_AGE_TO_ULT, [this] { SetDisplayForm(1); });
    MapCommand(ID_FORM_RATIO_TO_ULT, [this] { SetDisplayForm(2); });
    for (UINT id : {ID_FORM_AGE_TO_AGE, ID_FORM_AGE_TO_ULT, ID_FORM_RATIO_TO_ULT})
        MapUpdateCommand(id, [this, id](CCmdUI* ui) { ui->SetCheck(m_nDisplayForm == int(id - ID_FORM_AGE_TO_AGE)); });
    MapCommand(IDC_ADD_SET, [this] { OnAddSet(); });
    MapCommand(IDC_EDIT_SETS, [this] { OnEditSets(); });
    MapCommand(IDC_DELETE_SET, [this] { OnDeleteSet(); });
    MapCommand(ID_NEW_EVALUATION, [this] { OnNewEvaluation(); });
    MapUpdateCommand(ID_NEW_EVALUATION, [this](CCmdUI* ui) { ui->Enable(m_nCurFactorSet >= 0); });
    MapCommand(IDC_CLEAR_SETS, [this] { OnClearSets(); });
    MapCommand(IDC_DECIMALS, [this] {
        if (CheckPermission(true)) OnDecimals();
    });
    MapCommand(ID_SET_DECIMALS, [this] { OnDecimals(); });
    MapCommand(IDC_SAVE, [this] { SaveLibrary(false); });
    MapCommand(IDC_OK, [this] { SaveLibrary(true); });
    MapCommand(IDC_SAVE_AS, [this] { OnSaveAs(); });
    MapCommand(IDC_CANCEL, [this] { OnCancel(); });
    // The menu's Save and Save As take the edits' name and description too.
    MapCommand(ID_FILE_SAVE, [this] { SaveLibrary(false); });
    MapCommand(ID_FILE_SAVE_AS, [this] { OnSaveAs(); });
    MapCommand(ID_FILE_PRINT, [this] { OnFilePrint(); });
    MapCommand(ID_FILE_PRINT_DIRECT, [this] { OnFilePrintDirect(); });
    MapUpdateCommand(ID_FILE_PRINT, [](CCmdUI* ui) { ui->Enable(TRUE); });

    MapCommand(ID_EDIT_COPY, [this] { OnEditCopy(); });
    MapCommand(ID_EDIT_CUT, [this] { OnEditCut(); });
    MapCommand(ID_EDIT_PASTE, [this] { OnEditPaste(); });
    MapCommand(ID_EDIT_CLEAR, [this] { OnEditClear(); });
    MapCommand(ID_EDIT_DELETE, [this] { OnEditClear(); });
    MapCommand(ID_EDIT_CLEAR_ALL, [this] {
        if (GridHasFocus()) ClearAllFactors();
    });
    auto editWithSelection = [this](CCmdUI* ui) {
        if (GridHasFocus()) return ui->Enable(TRUE);
        QWidget* focus = QApplication::focusWidget();
        if (focus == m_pName || focus == m_pDescription)
            ui->Enable(static_cast<QLineEdit*>(focus)->hasSelectedText());
    };
    MapUpdateCommand(ID_EDIT_COPY, editWithSelection);
    MapUpdateCommand(ID_EDIT_CUT, editWithSelection);
    MapUpdateCommand(ID_EDIT_PASTE, [this](CCmdUI* ui) {
        if (GridHasFocus()) ui->Enable(m_pGrid->Ctrl()->CanEditPaste());
        else ui->Enable(QApplication::clipboard() && !QApplication::clipboard()->text().isEmpty());
    });
    for (UINT id : {UINT(ID_EDIT_CLEAR), UINT(ID_EDIT_DELETE), UINT(ID_EDIT_CLEAR_ALL)})
        MapUpdateCommand(id, [this](CCmdUI* ui) { ui->Enable(GridHasFocus()); });
    MapCommand(ID_NEXT_INPUT, [this] {
        if (m_pExhibitList->hasFocus() && m_pGrid && m_pGrid->Ctrl()) m_pGrid->Ctrl()->setFocus();
        else focusNextChild();
    });
    MapCommand(ID_PREV_INPUT, [this] {
        if (GridHasFocus()) m_pExhibitList->setFocus();
        else focusPreviousChild();
    });
}

void CDFLView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        OnCancel();
        return;
    }
    CView::keyPressEvent(event);
}

// ---------------------------------------------------------------- initial update

void CDFLView::OnInitialUpdate() {
    m_pDoc = GetDocument();
    if (m_pDoc == nullptr) return;
    if (auto* frame = dynamic_cast<CMDIChildWnd*>(GetParentFrame()))
        if (QMdiSubWindow* sub = frame->GetSubWindow()) {
            // The view closes through its own buttons.
            sub->setWindowFlags(sub->windowFlags() & ~Qt::WindowCloseButtonHint);
        }
    m_strName = m_pDoc->LibraryNameFromTitle();
    m_strDescription = QString::fromStdString(m_pDoc->GetLibrary()->GetDescription());
    const std::string profile = Host().profilePath ? Host().profilePath() : std::string();
    m_nDecimals = profile.empty() ? 3 : qs::profile::ReadInt(profile, "Settings", "DFL decimals", 3);
    if (m_nDecimals < 0 || m_nDecimals > 7) m_nDecimals = 3;
    m_pName->setText(m_strName);
    m_pDescription->setText(m_strDescription);
    if (CFrameWnd* frame = GetParentFrame()) {
        if (auto* mdi = dynamic_cast<CMDIChildWnd*>(frame); mdi && mdi->GetSubWindow())
            mdi->GetSubWindow()->resize(mdi->GetSubWindow()->sizeHint().expandedTo(QSize(760, 520)));
    }

    m_pLayer->clear();
    m_pLayer->addItems(m_pDoc->m_strLayerNames);
    if (m_pLayer->count() > 0) m_pLayer->setCurrentIndex(0);

    m_pGrid = new CDFLGrid(this, m_pGridFrame);
    if (!m_pGrid->CreateInParent(m_pGridFrame)) return;
    CWnd::SetControlId(m_pGrid, CDFLGrid::kControlId);
    auto* frameLayout = new QVBoxLayout(m_pGridFrame);
    frameLayout->setContentsMargins(2, 2, 2, 2);
    frameLayout->addWidget(m_pGrid);
    m_pGrid->SetUp(m_nDecimals);

    const int width = fontMetrics().horizontalAdvance(QStringLiteral("wwwwwwwwwwww"));
    for (int c = 1; c <= 3; ++c) m_pSetList->setColumnWidth(c, width);
    m_pSetList->setColumnWidth(0, std::max(width, m_pSetList->viewport()->width() - 3 * width));
    if (!FillListSets()) {
        qs::factors::ReportFailure(Text(kFillSetsFailed));
        return;
    }
    if (m_pSetList->topLevelItemCount() > 0) {
        m_nCurFactorSet = 0;
        SelectFactorSetRow(0);
    }
    if (!FillListSDFs()) {
        qs::factors::ReportFailure(Text(kFillExhibitsFailed));
        return;
    }
    MarkExhibitsWithFactors();
    if (m_pExhibitList->topLevelItemCount() > 0) {
        SelectExhibitRow(0);
    } else {
        PrepareFactorGrid();
        ShowFactors(FALSE);
    }
    m_pCaption->setText(FormCaption(m_nDisplayForm));
    if (m_pSetList->topLevelItemCount() > 0) m_pSetList->setFocus();
    m_pForms->button(0)->setChecked(true);
    m_pGrid->m_bEditPermission = CheckPermission(false);
    if (m_pDoc->HasDBManager()) m_pDoc->SynchronizeFactorSets();
    UpdatePanes();
}

void CDFLView::OnUpdate(CView*, LPARAM lHint, CObject*) {
    constexpr LPARAM kHintRelayout = 5, kHintEnterMoves = 8;
    if (lHint == kHintEnterMoves && m_pGrid) m_pGrid->ApplyEnterMoves();
    if (lHint == kHintRelayout && m_pDoc) {
        const int row = SelectedExhibitRow();
        const QVariant id = row >= 0 ? m_pExhibitList->topLevelItem(row)->data(0, kIdRole) : QVariant();
        if (!FillListSDFs()) {
            qs::factors::ReportFailure(Text(kFillExhibitsFailed));
        } else {
            MarkExhibitsWithFactors();
            for (int i = 0; i < m_pExhibitList->topLevelItemCount(); ++i)
                if (id.isValid() && m_pExhibitList->topLevelItem(i)->data(0, kIdRole) == id) {
                    SelectExhibitRow(i);
                    m_pExhibitList->scrollToItem(m_pExhibitList->topLevelItem(i));
                    m_pExhibitList->setFocus();
                }
        }
    }
    if (m_pNewEval) m_pNewEval->setEnabled(m_nCurFactorSet >= 0);
}

// ---------------------------------------------------------------- lists

QString CDFLView::LengthText(int months) {
    switch (months) {
    case 1: return QStringLiteral("Months");
    case 3: return QStringLiteral("Quarters");
    case 6: return QStringLiteral("Half Years");
    case 12: return QStringLiteral("Years");
    default: return QString();
    }
}

QString CDFLView::FormCaption(int form) {
    static const char* const kForms[] = {"Age-to-Age", "Age-to-Ultimate", "Ratio-to-Ultimate"};
    return QStringLiteral("Development Factors:    ") + Text(kForms[std::clamp(form, 0, 2)]);
}

BOOL CDFLView::FillListSets() {
    CFSLib* library = m_pDoc ? m_pDoc->GetLibrary() : nullptr;
    if (library == nullptr) return FALSE;
    m_bFilling = true;
    m_pSetList->setSortingEnabled(false);
    m_pSetList->clear();
    QSStringArray names;
    library->GetFactorSetNames(names);
    BOOL ok = TRUE;
    for (const std::string& name : names) {
        CFactorSet* set = nullptr;
        library->GetFactorSet(name, set);
        if (set == nullptr) {
            ok = FALSE;
            break;
        }
        auto* item = new QTreeWidgetItem;
        item->setText(0, QString::fromStdString(name));
        item->setText(1, QString::number(set->GetNumDevPrds()));
        item->setText(2, LengthText(set->GetDevPrdLength()));
        item->setText(3, QString::number(set->GetFirstDevPrdLength()));
        item->setFlags(item->flags() | Qt::ItemIsEditable);
        m_pSetList->insertTopLevelItem(0, item);
    }
    m_pSetList->setSortingEnabled(true);
    m_pSetList->sortByColumn(0, Qt::AscendingOrder);
    m_bFilling = false;
    return ok;
}

BOOL CDFLView::FillListSDFs() {
    if (m_pDoc == nullptr) return FALSE;
    m_bFilling = true;
    m_pExhibitList->setSortingEnabled(false);
    m_pExhibitList->clear();
    const bool labels = qs::factors::ShowTableId();
    for (std::size_t i = 0; i < m_pDoc->m_ObjectIds.size(); ++i) {
        auto* item = new QTreeWidgetItem;
        const int index = int(i);
        item->setText(0, labels && index < m_pDoc->m_ObjectLabels.size() ? m_pDoc->m_ObjectLabels[index]
                                                                          : m_pDoc->m_ObjectNames.value(index));
        item->setData(0, kIdRole, qlonglong(m_pDoc->m_ObjectIds[i]));
        item->setIcon(0, ExhibitMark(false));
        m_pExhibitList->addTopLevelItem(item);
    }
    m_pExhibitList->setSortingEnabled(true);
    m_pExhibitList->sortByColumn(0, Qt::AscendingOrder);
    m_bFilling = false;
    return TRUE;
}

int CDFLView::SelectedLayer() const { return m_pLayer->currentIndex() + 1; }

int CDFLView::SelectedExhibitRow() const {
    const QList<QTreeWidgetItem*> selected = m_pExhibitList->selectedItems();
    return selected.isEmpty() ? -1 : m_pExhibitList->indexOfTopLevelItem(selected.front());
}

QString CDFLView::ExhibitRowText(int index) const {
    QTreeWidgetItem* item = m_pExhibitList->topLevelItem(index);
    return item ? item->text(0) : QString();
}

QString CDFLView::CurrentFactorSetName() const {
    QTreeWidgetItem* item = m_nCurFactorSet >= 0 ? m_pSetList->topLevelItem(m_nCurFactorSet) : nullptr;
    return item ? item->text(0) : QString();
}

CFactorSet* CDFLView::CurrentFactorSet() const {
    if (m_pDoc == nullptr || m_nCurFactorSet < 0) return nullptr;
    const QString name = CurrentFactorSetName();
    if (name.isEmpty()) return nullptr;
    CFactorSet* set = nullptr;
    m_pDoc->GetLibrary()->GetFactorSet(name.toStdString(), set);
    return set;
}

void CDFLView::MarkExhibitsWithFactors() {
    CFactorSet* set = CurrentFactorSet();
    if (set == nullptr) return;
    QSIDArray ids;
    QSStringArray names;
    set->GetDFList(std::uint16_t(SelectedLayer()), ids, names);
    for (int i = 0; i < m_pExhibitList->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = m_pExhibitList->topLevelItem(i);
        const QSID rowId = QSID(item->data(0, kIdRole).toLongLong());
        // Layer and instance do not count: the same exhibit on any of them.
        const bool has = std::any_of(ids.begin(), ids.end(), [rowId](QSID id) {
            return GetIDDOType(id) == GetIDDOType(rowId) && GetIDDataType(id) == GetIDDataType(rowId) &&
                   GetIDIndex(id) == GetIDIndex(rowId);
        });
        item->setIcon(0, ExhibitMark(has));
        item->setData(0, Qt::UserRole + 1, has ? 1 : 0);
    }
}

void CDFLView::SelectFactorSetRow(int row) {
    QTreeWidgetItem* item = m_pSetList->topLevelItem(row);
    if (item == nullptr) return;
    m_pSetList->setCurrentItem(item);
    item->setSelected(true);
}

void CDFLView::SelectExhibitRow(int row) {
    QTreeWidgetItem* item = m_pExhibitList->topLevelItem(row);
    if (item == nullptr) return;
    m_pExhibitList->setCurrentItem(item);
    item->setSelected(true);
}

void CDFLView::UpdatePanes() {
    if (m_pNewEval) m_pNewEval->setEnabled(m_nCurFactorSet >= 0);
    if (m_pSetList->selectedItems().isEmpty() && m_nCurFactorSet >= 0 &&
        m_nCurFactorSet < m_pSetList->topLevelItemCount()) {
        m_bFilling = true;
        SelectFactorSetRow(m_nCurFactorSet);
        m_bFilling = false;
    }
    const bool haveSet = m_nCurFactorSet >= 0 && m_nCurFactorSet < m_pSetList->topLevelItemCount();
    m_pExhibitList->setVisible(haveSet);
    m_pDeleteSet->setEnabled(haveSet);
    const bool showGrid = haveSet && SelectedExhibitRow() >= 0;
    if (m_pGrid) m_pGrid->setVisible(showGrid);
    m_pGridFrame->setVisible(showGrid);
    m_pCaption->setVisible(showGrid);
    if (!showGrid) m_pShownRow = nullptr;
}

void CDFLView::PrepareFactorGrid() {
    UpdatePanes();
    CFactorSet* set = CurrentFactorSet();
    if (m_pGrid == nullptr || m_pGrid->isHidden() || set == nullptr) return;
    MarkExhibitsWithFactors();
    QSStringArray labels;
    set->GetDevPrdLabels(labels);
    SpreadsheetControl* ctrl = m_pGrid->Ctrl();
    ctrl->SetMaxCol(int(labels.size()));
    for (std::size_t i = 0; i < labels.size(); ++i) ctrl->SetColHeadingText(int(i) + 1, QString::fromStdString(labels[i]));
}

void CDFLView::OnSetSelectionChanged() {
    if (m_bFilling) return;
    const QList<QTreeWidgetItem*> selected = m_pSetList->selectedItems();
    if (selected.isEmpty()) return;
    m_nCurFactorSet = m_pSetList->indexOfTopLevelItem(selected.front());
    PrepareFactorGrid();
    ShowFactors(FALSE);
}

void CDFLView::OnExhibitSelectionChanged() {
    if (m_bFilling || SelectedExhibitRow() < 0) return;
    PrepareFactorGrid();
    ShowFactors(FALSE);
}

void CDFLView::OnLayerChanged() {
    MarkExhibitsWithFactors();
    UpdatePanes();
    if (m_pGrid && !m_pGrid->isHidden()) ShowFactors(FALSE);
}

// ---------------------------------------------------------------- permission

BOOL CDFLView::CheckPermission(bool tell) {
    if (qs::factors::FileMode() != 0 || qs::factors::ApplicationMode() != 8 || m_pDoc == nullptr) return TRUE;
    int answer = 0;
    if (!m_pDoc->CheckUserRight(kRightsCategory, kRightsChange, answer)) return FALSE;
    if (answer == 0 && tell) AfxMessageBox(Text(kNoPermission));
    return answer != 0;
}

// ---------------------------------------------------------------- set commands

void CDFLView::OnAddSet() {
    if (!CheckPermission(true) || m_pDoc == nullptr) return;
    CFSLib* library = m_pDoc->GetLibrary();
    CNewFactorSetDlg dialog(CNewFactorSetDlg::kNew, this);
    for (;;) {
        if (dialog.DoModal() != IDOK) return;
        dialog.m_strName = dialog.m_strName.trimmed();
        CFactorSet* existing = nullptr;
        library->GetFactorSet(dialog.m_strName.toStdString(), existing);
        if (existing == nullptr) break;
        AfxMessageBoxIfVisible(Text(kSetExists));
    }
    const CFactorSet set(dialog.m_strName.toStdString(), std::string(), std::uint16_t(dialog.m_nNumDevPrds),
                         dialog.m_PrdLength, std::uint16_t(dialog.m_nFirstDevPrd));
    if (library->AddFactorSet(set) != 0) {
        qs::factors::ReportFailure(QStringLiteral("Error: AddFactorSet( FS )\n"));
        return;
    }
    m_pDoc->SetModifiedFlag(TRUE);
    if (!FillListSets()) {
        qs::factors::ReportFailure(Text(kFillSetsFailed));
        return;
    }
    const QList<QTreeWidgetItem*> found = m_pSetList->findItems(dialog.m_strName, Qt::MatchFixedString, 0);
    if (found.isEmpty()) {
        m_nCurFactorSet = -1;
        PrepareFactorGrid();
        ShowFactors(FALSE);
        return;
    }
    m_nCurFactorSet = m_pSetList->indexOfTopLevelItem(found.front());
    m_pSetList->clearSelection();
    SelectFactorSetRow(m_nCurFactorSet);
    m_pSetList->scrollToItem(found.front());
    m_pSetList->setFocus();
    // With no exhibit chosen yet, the first one is shown.
    if (SelectedExhibitRow() < 0 && m_pExhibitList->topLevelItemCount() > 0) SelectExhibitRow(0);
}

void CDFLView::OnEditSets() {
    if (!CheckPermission(true)) return;
    CFactorSet* set = CurrentFactorSet();
    if (set == nullptr) return;
    CFSLib* library = m_pDoc->GetLibrary();
    const QString oldName = QString::fromStdString(set->GetName());
    CNewFactorSetDlg dialog(CNewFactorSetDlg::kEdit, this);
    dialog.m_strName = oldName;
    dialog.m_nNumDevPrds = set->GetNumDevPrds();
    dialog.m_nFirstDevPrd = set->GetFirstDevPrdLength();
    dialog.m_PrdLength = set->GetDevPrdLength();
    for (;;) {
        if (dialog.DoModal() != IDOK) return;
        const auto count = std::uint16_t(dialog.m_nNumDevPrds);
        const auto first = std::uint16_t(dialog.m_nFirstDevPrd);
        const PRDLENGTH length = dialog.m_PrdLength;
        if (dialog.m_bApplyToAll) {
            library->Redim(dialog.m_bClearValues != 0, count, length, first);
            break;
        }
        const QString newName = dialog.m_strName.trimmed();
        const bool renamed = newName.compare(oldName, Qt::CaseInsensitive) != 0;
        if (count == set->GetNumDevPrds() && length == set->GetDevPrdLength() && first == set->GetFirstDevPrdLength() &&
            !renamed)
            return;
        if (renamed) {
            CFactorSet* other = nullptr;
            library->GetFactorSet(newName.toStdString(), other);
            if (other != nullptr) {
                AfxMessageBoxIfVisible(Text(kSetExists));
                continue;
            }
        }
        if (set->Redim(dialog.m_bClearValues != 0, count, length, first) != 0) {
            qs::factors::ReportFailure(QStringLiteral("Error: CFactorSet::Redim\n"));
            return;
        }
        if (renamed) library->SetFSName(oldName.toStdString(), newName.toStdString());
        break;
    }
    m_pShownRow = nullptr;
    if (!FillListSets()) {
        qs::factors::ReportFailure(Text(kFillSetsFailed));
        return;
    }
    m_pDoc->SetModifiedFlag(TRUE);
    UpdatePanes();
    PrepareFactorGrid();
    ShowFactors(FALSE);
}

void CDFLView::OnDeleteSet() {
    if (!CheckPermission(true) || m_pDoc == nullptr) return;
    const QList<QTreeWidgetItem*> selected = m_pSetList->selectedItems();
    if (selected.isEmpty()) return;
    if (::MessageBox(this, Text(kUndoWarning) + QStringLiteral("Continue with deletion?"),
                     QStringLiteral("Delete Factor Set"), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    QTreeWidgetItem* item = selected.front();
    const std::string setName = item->text(0).toStdString();
    const std::string libraryName = m_strName.toStdString();
    CFSLib* library = m_pDoc->GetLibrary();
    // The row on display goes with its set.
    CFactorSet* doomed = nullptr;
    library->GetFactorSet(setName, doomed);
    if (doomed != nullptr && doomed == CurrentFactorSet()) m_pShownRow = nullptr;
    if (library->RemoveFactorSet(setName, libraryName) != 0) return;
    m_bFilling = true;
    delete item;
    m_bFilling = false;
    if (!m_pDoc->HasDBManager()) m_pDoc->SetModifiedFlag(TRUE);
    m_pShownRow = nullptr;
    if (m_pSetList->topLevelItemCount() > 0) {
        m_nCurFactorSet = 0;
        m_pSetList->clearSelection();
        SelectFactorSetRow(0);
    } else {
        m_nCurFactorSet = -1;
        PrepareFactorGrid();
        ShowFactors(FALSE);
    }
}

bool CDFLView::OnEndLabelEdit(int row, const QString& typed) {
    QTreeWidgetItem* item = m_pSetList->topLevelItem(row);
    if (item == nullptr || m_pDoc == nullptr) return false;
    const QString oldName = item->text(0);
    const QString newName = typed.trimmed();
    if (newName == oldName || newName.isEmpty()) return false;
    if (newName.compare(oldName, Qt::CaseInsensitive) == 0) {
        QApplication::beep();
        return false;
    }
    CFSLib* library = m_pDoc->GetLibrary();
    CFactorSet* existing = nullptr;
    library->GetFactorSet(newName.toStdString(), existing);
    if (existing != nullptr) return false;
    if (AfxMessageBox(Text(kUndoWarning) + QStringLiteral("Continue with rename?"), MB_YESNO) != IDYES) return false;
    if (library->SetFSName(oldName.toStdString(), newName.toStdString()) != 0) return false;
    // A renamed set is a change of the library: without this it would be
    // lost when the library closes.
    m_pDoc->SetModifiedFlag(TRUE);
    m_bFilling = true;
    item->setText(0, newName);
    m_bFilling = false;
    // The list sorts itself again: the current row follows the set.
    const bool wasCurrent = row == m_nCurFactorSet;
    if (wasCurrent) m_nCurFactorSet = m_pSetList->indexOfTopLevelItem(item);
    return true;
}

void CDFLView::OnNewEvaluation() {
    CFactorSet* set = CurrentFactorSet();
    if (set == nullptr) return;
    if (AfxMessageBox(QStringLiteral("A new evaluation period will be added to the factor sets. Do you want to continue?"),
                      MB_YESNO) != IDYES)
        return;
    m_pShownRow = nullptr;
    if (set->AddNewEval() != 0) return;
    m_pDoc->SetModifiedFlag(TRUE);
    const int current = m_nCurFactorSet;
    if (!FillListSets()) {
        qs::factors::ReportFailure(Text(kFillSetsFailed));
        return;
    }
    m_nCurFactorSet = current;
    UpdatePanes();
    PrepareFactorGrid();
    ShowFactors(FALSE);
}

void CDFLView::OnClearSets() {
    if (!CheckPermission(true)) return;
    CFactorSet* set = CurrentFactorSet();
    if (set == nullptr) return;
    CClearFactorSetsDlg dialog(QString::fromStdString(set->GetName()), this);
    if (dialog.DoModal() != IDOK) return;
    if (dialog.m_bApplyToAll) m_pDoc->GetLibrary()->Clear();
    else set->ClearFactorSet();
    const int current = m_nCurFactorSet;
    if (!FillListSets()) {
        qs::factors::ReportFailure(Text(kFillSetsFailed));
        return;
    }
    m_nCurFactorSet = current;
    m_pDoc->SetModifiedFlag(TRUE);
    UpdatePanes();
    PrepareFactorGrid();
    ShowFactors(FALSE);
}

void CDFLView::OnDecimals() {
    CDFLDecimalsDlg dialog(m_nDecimals, this);
    if (dialog.DoModal() != IDOK) return;
    m_nDecimals = dialog.m_nDecimals;
    SetDecimals(m_nDecimals);
    const std::string profile = Host().profilePath ? Host().profilePath() : std::string();
    if (!profile.empty()) qs::profile::WriteInt(profile, "Settings", "DFL decimals", m_nDecimals);
}

void CDFLView::SetDisplayForm(int form) {
    m_nDisplayForm = std::clamp(form, 0, 2);
    ShowFactors(FALSE);
    m_pCaption->setText(FormCaption(m_nDisplayForm));
    m_pForms->button(m_nDisplayForm)->setChecked(true);
}

// ---------------------------------------------------------------- name, description, saving

void CDFLView::GetNameAndDescription(QString& name, QString& description) const {
    name = m_pName->text();
    description = m_pDescription->text();
}

bool CDFLView::ValidateNameAndDescription(QString& name, const QString& description) {
    if (name.trimmed().isEmpty()) {
        AfxMessageBoxIfVisible(QStringLiteral("Please enter Development Factor Library Name."), MB_OK | MB_ICONINFORMATION);
        return false;
    }
    if (description.trimmed().isEmpty()) {
        AfxMessageBoxIfVisible(QStringLiteral("Please enter Development Factor Library Description.\nThis is the "
                                              "label by which all the Factor Sets will be displayed."),
                               MB_OK | MB_ICONINFORMATION);
        return false;
    }
    name = name.trimmed();
    // A file name cannot hold a folder separator.
    if (name.contains(QLatin1Char('/'))) {
        AfxMessageBoxIfVisible(QStringLiteral("The library name cannot contain \"/\"."), MB_OK | MB_ICONINFORMATION);
        return false;
    }
    return true;
}

bool CDFLView::ConfirmLibraryName(const QString&, bool& found) {
    // Database libraries only; their records arrive with the database side.
    found = false;
    return true;
}

void CDFLView::UpdateNameAndDescription(const QString& name, const QString& description) {
    if (m_pDoc == nullptr) return;
    if (name.compare(m_strName, Qt::CaseInsensitive) != 0) m_pDoc->SetModifiedFlag(TRUE);
    m_strName = name;
    if (description != m_strDescription) {
        m_strDescription = description;
        m_pDoc->GetLibrary()->SetDescription(description.toStdString());
        m_pDoc->SetModifiedFlag(TRUE);
    }
    const QString oldTitle = m_pDoc->LibraryNameFromTitle();
    if (m_strName != oldTitle) {
        m_pDoc->SetTitle(m_strName);
        m_pDoc->GetLibrary()->SetName(m_strName.toStdString());
        const QString path = m_pDoc->GetPathName();
        if (!path.isEmpty()) {
            // Only the file's own name follows the library; the folders
            // keep theirs even when one of them has the old name in it.
            const int slash = path.lastIndexOf(QLatin1Char('/'));
            const QString folder = path.left(slash + 1);
            QString file = path.mid(slash + 1);
            const int at = file.indexOf(oldTitle);
            if (!oldTitle.isEmpty() && at >= 0) {
                file.replace(at, oldTitle.size(), m_strName);
                m_pDoc->SetPathName(folder + file, FALSE);
                m_pDoc->SetTitle(m_strName);
            }
        }
        m_pDoc->SetModifiedFlag(TRUE);
    }
}

BOOL CDFLView::SaveLibrary(bool close) {
    if (!CheckPermission(true) || m_pDoc == nullptr) return FALSE;
    QString name, description;
    GetNameAndDescription(name, description);
    if (!ValidateNameAndDescription(name, description)) return FALSE;
    const bool databaseDoc = m_pDoc->HasDBManager();
    bool found = false;
    if (databaseDoc && !ConfirmLibraryName(name, found)) return FALSE;
    if (m_pSetList->topLevelItemCount() == 0) {
        AfxMessageBoxIfVisible(Text(kNoSetsToSave));
        return FALSE;
    }
    // A library saved under its own name again needs no file chooser.
    const bool nameChanged = name != m_pDoc->LibraryNameFromTitle() || m_pDoc->GetPathName().isEmpty();
    UpdateNameAndDescription(name, description);
    CWaitCursor wait;
    BOOL saved = TRUE;
    if (qs::factors::FileMode() != 0) {
        if (m_pDoc->IsModified()) {
            if (close && AfxMessageBox(QStringLiteral("The dfl has been modified do you want to save?"), MB_YESNO) != IDYES)
                return FALSE;
            if (nameChanged) {
                saved = m_pDoc->DoSaveAs(QString(), TRUE);
                if (saved) SyncNameFromTitle(false);
            } else {
                saved = m_pDoc->DoSaveAs(m_pDoc->GetPathName(), FALSE);
            }
        }
    } else if (m_pDoc->IsModified()) {
        saved = m_pDoc->SaveToDatabase(found);
    }
    if (saved && close) {
        if (CWnd* main = AfxGetMainWnd()) main->SendMessage(WM_USER + 5);
        if (CFrameWnd* frame = GetParentFrame()) frame->PostMessage(WM_CLOSE);
    }
    return saved;
}

void CDFLView::SyncNameFromTitle(bool keepUnmodified) {
    if (m_pDoc == nullptr) return;
    m_strName = m_pDoc->LibraryNameFromTitle();
    m_pDoc->GetLibrary()->SetName(m_strName.toStdString());
    m_pName->setText(m_strName);
    if (keepUnmodified) m_pDoc->SetModifiedFlag(FALSE);
}

void CDFLView::OnSaveAs() {
    if (m_pDoc == nullptr) return;
    CWaitCursor wait;
    if (qs::factors::FileMode() == 0) return;  // the database road arrives with the database side
    QString name, description;
    GetNameAndDescription(name, description);
    if (!ValidateNameAndDescription(name, description)) return;
    UpdateNameAndDescription(name, description);
    if (m_pDoc->DoSaveAs(QString(), TRUE)) SyncNameFromTitle(true);
}

void CDFLView::OnCancel() {
    if (m_pDoc == nullptr) return;
    const QString name = m_pName->text(), description = m_pDescription->text();
    if ((!name.isEmpty() && name.compare(m_strName, Qt::CaseInsensitive) != 0) ||
        (!description.isEmpty() && description.compare(m_strDescription, Qt::CaseInsensitive) != 0))
        m_pDoc->SetModifiedFlag(TRUE);
    if (m_pDoc->IsModified()) {
        if (AfxMessageBox(QStringLiteral("DFL document has been modified. Confirm cancellation?"), MB_YESNO) != IDYES)
            return;
        m_pDoc->SetModifiedFlag(FALSE);
    }
    if (qs::factors::FileMode() == 0 && Host().batchContinue) Host().batchContinue();
    if (CFrameWnd* frame = GetParentFrame()) frame->PostMessage(WM_CLOSE);
}
