#include "dialogs/ProjectDialogs.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QDate>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "CProject.h"
#include "MessageBox.h"

namespace {

constexpr const char* kLayerNames[5] = {"Net", "Gross", "Ceded", "Direct", "Assumed"};

QHBoxLayout* OkCancelRow(CDialog& dialog, const QString& okText = QStringLiteral("OK")) {
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(dialog.AddButton(IDOK, okText));
    row->addWidget(dialog.AddButton(IDCANCEL, QStringLiteral("Cancel")));
    return row;
}

QLineEdit* NewEdit(QWidget* parent, int id, int maxLength = 0) {
    auto* edit = new QLineEdit(parent);
    CWnd::SetControlId(edit, id);
    if (maxLength > 0) edit->setMaxLength(maxLength);
    return edit;
}

void FocusControl(CWnd& dialog, int id) {
    if (QWidget* w = dialog.GetDlgItem(id)) {
        w->setFocus();
        if (auto* edit = qobject_cast<QLineEdit*>(w)) edit->selectAll();
    }
}

bool IsNameCharacter(QChar c) {
    return c.isLetterOrNumber() || c == u' ' || c == u'+' || c == u'-' || c == u'_' || c == u'(' || c == u')' ||
           c == u'&';
}

}  // namespace

namespace qs::app {

bool ValidateProjectObjectName(QString& name) {
    name = name.trimmed();
    if (name.isEmpty()) {
        AfxMessageBox(QStringLiteral("Name cannot be empty"));
        return false;
    }
    for (QChar c : name)
        if (!IsNameCharacter(c)) {
            AfxMessageBox(QStringLiteral("[ %1 ] is an invalid character in a name.").arg(c) +
                          QStringLiteral(" A name must contain the following \ncharacters:  A - Z   a - z   0 - 9  +   -   _   (   )   &  [space]"));
            return false;
        }
    return true;
}

}  // namespace qs::app

// ---------------------------------------------------------------- Move Layer Data

CMoveLayerDataDlg::CMoveLayerDataDlg(CProject* project, CWnd* pParent)
    : CDialog(kTemplateId, pParent), m_pProject(project), m_from(new QComboBox(this)), m_to(new QComboBox(this)) {
    setWindowTitle(QStringLiteral("Move Layer Data"));
    SetControlId(m_from, IDC_FROM);
    SetControlId(m_to, IDC_TO);
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("&From:"), this), 0, 0);
    grid->addWidget(m_from, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("&To:"), this), 1, 0);
    grid->addWidget(m_to, 1, 1);
    layout->addLayout(grid);
    auto* warning = new QLabel(
        QStringLiteral("ATTENTION: This action will delete all existing data in the destination layer."), this);
    warning->setWordWrap(true);
    layout->addWidget(warning);
    layout->addLayout(OkCancelRow(*this));
}

BOOL CMoveLayerDataDlg::OnInitDialog() {
    m_from->clear();
    m_to->clear();
    for (int i = 0; i < 5; ++i) {
        m_from->addItem(QString::fromLatin1(kLayerNames[i]));
        m_to->addItem(QString::fromLatin1(kLayerNames[i]), i + 1);
    }
    // The calculated layers take no data: they leave the destinations, the
    // one further down first so the other's position holds.
    if (m_pProject != nullptr) {
        LAYERNAMES c1 = NOLAYER, c2 = NOLAYER;
        m_pProject->GetCalcedLayers(c1, c2);
        for (int layer : {std::max<int>(c1, c2), std::min<int>(c1, c2)}) {
            const int index = m_to->findData(layer);
            if (index >= 0) m_to->removeItem(index);
        }
    }
    m_from->setCurrentIndex(m_nFrom >= 0 && m_nFrom < 5 ? m_nFrom : -1);
    m_to->setCurrentIndex(-1);
    return CDialog::OnInitDialog();
}

void CMoveLayerDataDlg::OnOK() {
    m_nFrom = m_from->currentIndex();
    m_nTo = m_to->currentIndex();
    if (m_nFrom < 0 || m_nTo < 0) {
        AfxMessageBox(QString::fromUtf8(kChooseBoth));
        return;
    }
    const int source = m_nFrom + 1;
    const int destination = m_to->itemData(m_nTo).toInt();
    if (source == destination) {
        AfxMessageBox(QString::fromUtf8(kSameLayers));
        return;
    }
    m_nSourceLayer = static_cast<unsigned short>(source);
    m_nDestinationLayer = static_cast<unsigned short>(destination);
    EndDialog(IDOK);
}

// ---------------------------------------------------------------- name and description

CNameDescriptionDlg::CNameDescriptionDlg(const QString& name, const QString& description, CWnd* pParent)
    : CDialog(kTemplateId, pParent), m_strName(name), m_strDescription(description) {
    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("&Name:"), this), 0, 0);
    layout->addWidget(NewEdit(this, IDC_NAME), 0, 1);
    layout->addWidget(new QLabel(QStringLiteral("&Description:"), this), 1, 0);
    layout->addWidget(NewEdit(this, IDC_DESCRIPTION), 1, 1);
    layout->addLayout(OkCancelRow(*this, QStringLiteral("Save")), 2, 0, 1, 2);
}

BOOL CNameDescriptionDlg::OnInitDialog() {
    setWindowTitle(QStringLiteral("Enter name and description"));
    return CDialog::OnInitDialog();
}

void CNameDescriptionDlg::DoDataExchange(CDataExchange* pDX) {
    DDX_Text(pDX, IDC_NAME, m_strName);
    DDX_Text(pDX, IDC_DESCRIPTION, m_strDescription);
}

// ---------------------------------------------------------------- As Of Date

CAsOfDateDlg::CAsOfDateDlg(CWnd* pParent) : CDialog(kTemplateId, pParent) {
    setWindowTitle(QStringLiteral("As Of Date"));
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("As of &date:"), this));
    row->addWidget(NewEdit(this, IDC_DATE));
    layout->addLayout(row);
    layout->addLayout(OkCancelRow(*this));
}

BOOL CAsOfDateDlg::OnInitDialog() {
    const QDate today = QDate::currentDate();
    CHDate date;
    date.SetDate(today.year(), today.month(), today.day());
    m_strDate = QString::fromStdString(date.Format(CHDate::GetLocale().shortDate));
    return CDialog::OnInitDialog();
}

void CAsOfDateDlg::DoDataExchange(CDataExchange* pDX) { DDX_Text(pDX, IDC_DATE, m_strDate); }

void CAsOfDateDlg::OnOK() {
    if (!UpdateData(TRUE)) return;
    // A date is stored only when the text is one: a typing slip must not
    // reach the project as a date of its own making.
    const QByteArray text = m_strDate.trimmed().toUtf8();
    CHDate date;
    if (text.isEmpty() || date.Parse(text.constData(), int(text.size()), -1) != 0 || date.GetSerial() < 1) {
        AfxMessageBox(QString::fromUtf8(kBadDate).arg(QString::fromStdString(CHDate::GetLocale().shortDate)));
        FocusControl(*this, IDC_DATE);
        return;
    }
    m_date = date;
    EndDialog(IDOK);
}

// ---------------------------------------------------------------- named items

CNamedItemListDlg::CNamedItemListDlg(int mode, CWnd* pParent)
    : CDialog(kTemplateId, pParent), m_nMode(mode), m_list(new QTreeWidget(this)),
      m_name(NewEdit(this, IDC_NAME)), m_description(NewEdit(this, IDC_DESCRIPTION)) {
    SetControlId(m_list, IDC_LIST);
    m_list->setHeaderHidden(true);
    m_list->setRootIsDecorated(false);
    m_list->setIconSize(QSize(16, 16));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Name:"), this), 0, 0);
    grid->addWidget(m_name, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Description:"), this), 1, 0);
    grid->addWidget(m_description, 1, 1);
    layout->addLayout(grid);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(AddButton(IDC_ACTION, QString()));
    row->addWidget(AddButton(IDCANCEL, QStringLiteral("Cancel")));
    layout->addLayout(row);
    MapCommand(IDC_ACTION, [this] { OnAction(); });
    connect(m_list, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { OnItemClicked(m_list->indexOfTopLevelItem(item)); });
    connect(m_list, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { OnItemDoubleClicked(m_list->indexOfTopLevelItem(item)); });
}

BOOL CNamedItemListDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    static const char* const kWords[] = {"Open", "Save", "Delete"};
    if (m_nMode < kOpen || m_nMode > kDelete) return TRUE;
    const QString word = QString::fromLatin1(kWords[m_nMode]);
    setWindowTitle(word);
    if (auto* button = qobject_cast<QPushButton*>(GetDlgItem(IDC_ACTION))) button->setText(QStringLiteral("&") + word);
    m_name->setEnabled(m_nMode == kSave);
    m_description->setEnabled(m_nMode == kSave);
    const QIcon icon = QApplication::windowIcon();
    m_list->clear();
    for (const CNameDescItem& item : m_items) {
        auto* row = new QTreeWidgetItem(m_list, {item.name});
        row->setIcon(0, icon);
    }
    return TRUE;
}

BOOL CNamedItemListDlg::GetChosenItem(CNameDescItem& item, BOOL& isNew) const {
    if (m_strName.isEmpty()) return FALSE;
    item.name = m_strName;
    item.description = m_strDescription;
    isNew = TRUE;
    for (const CNameDescItem& existing : m_items)
        if (existing.name == m_strName) isNew = FALSE;
    return TRUE;
}

void CNamedItemListDlg::OnItemClicked(int row) {
    if (row < 0 || row >= int(m_items.size())) return;
    m_name->setText(m_items[std::size_t(row)].name);
    m_description->setText(m_items[std::size_t(row)].description);
}

void CNamedItemListDlg::OnItemDoubleClicked(int row) {
    OnItemClicked(row);
    OnAction();
}

void CNamedItemListDlg::OnAction() {
    QString name = m_name->text();
    if (name.trimmed().isEmpty()) {
        AfxMessageBox(QString::fromUtf8(kChooseName));
        return;
    }
    if (!qs::app::ValidateProjectObjectName(name)) {
        FocusControl(*this, IDC_NAME);
        return;
    }
    m_strName = name;
    m_strDescription = m_description->text();
    EndDialog(IDOK);
}

// ---------------------------------------------------------------- re-create table

CRecreateTableDlg::CRecreateTableDlg(CWnd* pParent) : CDialog(kTemplateId, pParent), m_list(new QListWidget(this)) {
    SetControlId(m_list, IDC_LIST);
    auto* layout = new QVBoxLayout(this);
    auto* text = new QLabel(QStringLiteral("Select table to re-create:"), this);
    SetControlId(text, IDC_TEXT);
    layout->addWidget(text);
    layout->addWidget(m_list);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(AddButton(IDOK, QStringLiteral("OK")));
    row->addWidget(AddButton(IDC_SECOND_OK, QStringLiteral("OK")));
    row->addWidget(AddButton(IDCANCEL, QStringLiteral("Cancel")));
    layout->addLayout(row);
    MapCommand(IDC_SECOND_OK, [this] { OnSecondOK(); });
    connect(m_list, &QListWidget::currentRowChanged, this, [this](int row) {
        if (QWidget* ok = GetDlgItem(IDOK)) ok->setEnabled(row >= 0);
    });
}

INT_PTR CRecreateTableDlg::DoModal(const QString& caption) {
    m_strCaption = caption;
    return CDialog::DoModal();
}

BOOL CRecreateTableDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    setWindowTitle(m_strCaption);
    QWidget* ok = GetDlgItem(IDOK);
    QWidget* cancel = GetDlgItem(IDCANCEL);
    QWidget* second = GetDlgItem(IDC_SECOND_OK);
    if (m_bShowOnly) {
        ok->hide();
        cancel->hide();
        second->show();
    } else {
        second->hide();
        ok->setEnabled(false);
    }
    m_list->clear();
    for (const auto& [name, id] : m_tables) {
        auto* item = new QListWidgetItem(name, m_list);
        item->setData(Qt::UserRole, qlonglong(id));
    }
    m_nChosen = -1;
    return TRUE;
}

void CRecreateTableDlg::OnOK() {
    m_nChosen = m_list->currentRow();
    EndDialog(IDOK);
}

void CRecreateTableDlg::OnSecondOK() { EndDialog(IDCANCEL); }

// ---------------------------------------------------------------- Save Template As

CSaveTemplateAsDlg::CSaveTemplateAsDlg(const QString& name, const QString& description, CWnd* pParent)
    : CDialog(kTemplateId, pParent), m_strName(name), m_strDescription(description) {
    setWindowTitle(QStringLiteral("Save Template As"));
    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Template &name:"), this), 0, 0);
    layout->addWidget(NewEdit(this, IDC_NAME, 50), 0, 1);
    layout->addWidget(new QLabel(QStringLiteral("&Description:"), this), 1, 0);
    layout->addWidget(NewEdit(this, IDC_DESCRIPTION, 255), 1, 1);
    layout->addLayout(OkCancelRow(*this), 2, 0, 1, 2);
}

void CSaveTemplateAsDlg::DoDataExchange(CDataExchange* pDX) {
    DDX_Text(pDX, IDC_NAME, m_strName);
    DDX_Text(pDX, IDC_DESCRIPTION, m_strDescription);
}

void CSaveTemplateAsDlg::OnOK() {
    if (!UpdateData(TRUE)) return;
    if (m_strName.isEmpty()) {
        AfxMessageBox(QString::fromUtf8(kBlankName), MB_OK | MB_ICONINFORMATION);
        FocusControl(*this, IDC_NAME);
        return;
    }
    QString name = m_strName;
    if (!qs::app::ValidateProjectObjectName(name)) {
        FocusControl(*this, IDC_NAME);
        return;
    }
    m_strName = name;
    EndDialog(IDOK);
}

// ---------------------------------------------------------------- Replicate

CReplicateDlg::CReplicateDlg(CWnd* pParent) : CDialog(kTemplateId, pParent), m_projects(new QListWidget(this)) {
    setWindowTitle(QStringLiteral("Replicate"));
    SetControlId(m_projects, IDC_PROJECTS);
    m_projects->setSelectionMode(QAbstractItemView::MultiSelection);
    auto* layout = new QVBoxLayout(this);
    auto* object = new QLabel(this);
    SetControlId(object, IDC_OBJECT);
    object->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(object);
    auto* open = new QRadioButton(QStringLiteral("&Open File(s)"), this);
    auto* batch = new QRadioButton(QStringLiteral("&Batch mode"), this);
    SetControlId(open, IDC_OPEN_FILES);
    SetControlId(batch, IDC_BATCH);
    auto* modes = new QButtonGroup(this);
    modes->addButton(open, 0);
    modes->addButton(batch, 1);
    auto* modeRow = new QHBoxLayout;
    modeRow->addWidget(open);
    modeRow->addWidget(batch);
    modeRow->addStretch();
    layout->addLayout(modeRow);
    layout->addWidget(m_projects);
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("New Object Name"), this), 0, 0);
    grid->addWidget(NewEdit(this, IDC_NEW_NAME, 256), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Abbreviated Name"), this), 1, 0);
    grid->addWidget(NewEdit(this, IDC_NEW_SHORT_NAME), 1, 1);
    layout->addLayout(grid);
    layout->addLayout(OkCancelRow(*this));
    connect(modes, &QButtonGroup::idClicked, this, [this](int) { OnModeChanged(); });
}

BOOL CReplicateDlg::OnInitDialog() {
    m_projects->clear();
    m_projects->addItems(m_projectTitles);
    for (int id : {int(IDC_OPEN_FILES), int(IDC_BATCH)})
        if (QWidget* w = GetDlgItem(id)) w->setVisible(m_bShowProjectList);
    m_projects->setVisible(m_bShowProjectList);
    if (auto* button = qobject_cast<QRadioButton*>(GetDlgItem(m_nBatch == 1 ? IDC_BATCH : IDC_OPEN_FILES)))
        button->setChecked(true);
    if (m_savedSelection.isEmpty()) {
        int row = int(m_projectTitles.indexOf(m_strSourceTitle));
        if (row < 0 && !m_projectTitles.isEmpty()) row = 0;
        if (row >= 0) m_projects->item(row)->setSelected(true);
    } else {
        for (int row : m_savedSelection)
            if (row >= 0 && row < m_projects->count()) m_projects->item(row)->setSelected(true);
    }
    CDialog::OnInitDialog();
    OnModeChanged();
    return TRUE;
}

void CReplicateDlg::OnModeChanged() {
    auto* batch = qobject_cast<QRadioButton*>(GetDlgItem(IDC_BATCH));
    const bool isBatch = batch != nullptr && batch->isChecked();
    m_projects->setEnabled(!isBatch);
    if (!isBatch && m_projects->isVisible()) m_projects->setFocus();
}

void CReplicateDlg::DoDataExchange(CDataExchange* pDX) {
    if (!pDX->m_bSaveAndValidate) SetDlgItemText(IDC_OBJECT, m_strObject);
    DDX_Text(pDX, IDC_NEW_NAME, m_strNewName);
    DDX_Text(pDX, IDC_NEW_SHORT_NAME, m_strNewShortName);
    if (pDX->m_bSaveAndValidate) {
        auto* batch = qobject_cast<QRadioButton*>(GetDlgItem(IDC_BATCH));
        m_nBatch = batch != nullptr && batch->isChecked() ? 1 : 0;
    }
}

void CReplicateDlg::OnOK() {
    if (!UpdateData(TRUE)) return;
    if (m_strNewName.trimmed().isEmpty()) {
        AfxMessageBox(QString::fromUtf8(kEnterName));
        FocusControl(*this, IDC_NEW_NAME);
        return;
    }
    m_destinations.clear();
    if (m_nBatch == 1) {
        QStringList files;
        if (!m_chooseFiles || !m_chooseFiles(files) || files.isEmpty()) return;  // Cancel keeps the dialog
        m_destinations = files;
    } else {
        for (int row = 0; row < m_projects->count() && m_destinations.size() < 255; ++row)
            if (m_projects->item(row)->isSelected()) m_destinations << m_projects->item(row)->text();
        // Nothing chosen would replicate into nothing and still say it was done.
        if (m_destinations.isEmpty()) {
            AfxMessageBox(QString::fromUtf8(kChooseTarget));
            return;
        }
    }
    m_savedSelection.clear();
    for (int row = 0; row < m_projects->count(); ++row)
        if (m_projects->item(row)->isSelected()) m_savedSelection << row;
    EndDialog(IDOK);
}
