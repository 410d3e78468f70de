#include "CTableWizard.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

#include "CAttachReportsDlg.h"
#include "CDataObject.h"
#include "CExhibit.h"
#include "CMethod.h"
#include "CProject.h"
#include "CScalar.h"
#include "FormulaBinding.h"
#include "KernelIds.h"
#include "MessageBox.h"
#include "ObjectNameValidation.h"
#include "ViewSettings.h"
#include "WaitCursor.h"

namespace {
constexpr int kCategoryRole = Qt::UserRole;

QString Q(const std::string& s) { return QString::fromStdString(s); }

QAbstractButton* AddRadio(QWidget* owner, QButtonGroup* group, QLayout* layout, int id, const QString& text) {
    auto* radio = new QRadioButton(text, owner);
    CWnd::SetControlId(radio, id);
    group->addButton(radio, group->buttons().size());
    layout->addWidget(radio);
    return radio;
}

void SetChoice(QButtonGroup* group, int index) {
    if (QAbstractButton* b = group->button(index)) {
        b->setChecked(true);
        return;
    }
    group->setExclusive(false);
    for (QAbstractButton* b : group->buttons()) b->setChecked(false);
    group->setExclusive(true);
}

QCheckBox* AddCheck(QWidget* owner, QLayout* layout, int id, const QString& text) {
    auto* check = new QCheckBox(text, owner);
    CWnd::SetControlId(check, id);
    layout->addWidget(check);
    return check;
}

QLineEdit* AddEdit(QWidget* owner, QFormLayout* form, int id, const QString& label, int maxLength) {
    auto* edit = new QLineEdit(owner);
    edit->setMaxLength(maxLength);
    CWnd::SetControlId(edit, id);
    form->addRow(label, edit);
    return edit;
}

const char* CategoryWord(int category) {
    switch (category) {
    case 5000: return "Exhibit";
    case 6000: return "Method";
    case 7000: return "Report";
    default: return "Array";
    }
}

void Report(const char* text) { AfxMessageBox(QString::fromLatin1(text), MB_OK | MB_ICONEXCLAMATION); }
}  // namespace

// ====================================================================== the sheet

CTableWizardPropSheet::CTableWizardPropSheet(CProject* project, int category, CWnd* pParent, int startMode)
    : CPropertySheet(QStringLiteral("Table Wizard"), pParent),
      m_pProject(project),
      m_nCategory(category),
      m_nStartMode(startMode) {
    SetWizardMode();
    if (startMode == 0) AddPage(&m_page1);
    if (startMode <= 1) AddPage(&m_page2);
    AddPage(&m_page22);
    AddPage(&m_page3);
    AddPage(&m_formula);
    resize(640, 520);
}

CTableWizardPropSheet::~CTableWizardPropSheet() = default;

BOOL CTableWizardPropSheet::OnInitDialog() {
    ApplyTitles();
    const BOOL result = CPropertySheet::OnInitDialog();
    // A script driving the wizard presses Next by itself.
    if (qs::views::Settings().appMode == 10) PressButton(PSBTN_NEXT);
    return result;
}

QString CTableWizardPropSheet::ObjectTitle() const {
    switch (m_nCategory) {
    case 1000: return QStringLiteral("User Defined Input Array - Set Object Information");
    case 5000: return QStringLiteral("User Defined Exhibit - Set Object Information");
    case 6000: return QStringLiteral("User Defined Method - Set Object Information");
    case 7000: return QStringLiteral("User Defined Report - Set Object Information");
    default: return QString();
    }
}

QString CTableWizardPropSheet::ColumnTitle() const {
    switch (m_nCategory) {
    case 1000: return QStringLiteral("User Defined Input Array - Set Column Information");
    case 5000: return QStringLiteral("User Defined Exhibit - Set Column Information");
    case 6000: return QStringLiteral("User Defined Method - Set Column Information");
    case 7000: return QStringLiteral("User Defined Report - Set Column Information");
    default: return QString();
    }
}

void CTableWizardPropSheet::ApplyTitles() {
    if (qs::views::Settings().fileMode != 0) return;
    if (m_nCategory != 1000 && m_nCategory != 5000 && m_nCategory != 6000 && m_nCategory != 7000) {
        if (m_nCategory != 4000) m_nCategory = 1000;
        return;
    }
    const QString object = ObjectTitle();
    for (CPropertyPage* page : {static_cast<CPropertyPage*>(&m_page2), static_cast<CPropertyPage*>(&m_page22),
                                static_cast<CPropertyPage*>(&m_formula)})
        page->setWindowTitle(object);
    m_page3.setWindowTitle(ColumnTitle());
}

bool CTableWizardPropSheet::CreateObject(int category) {
    std::unique_ptr<CFormula> object;
    switch (category) {
    case 1000: {
        auto table = std::make_unique<CUserTable>();
        table->SetVectorType(CDataObject::VT_TRIANGLE);
        object = std::move(table);
        break;
    }
    case 4000: object = std::make_unique<CScalar>(); break;
    case 5000: object = std::make_unique<CUserExhibit>(); break;
    case 6000:
    case 7000: {
        auto method = std::make_unique<CMethod>(m_pProject);
        method->SetReport(category == 7000);
        object = std::move(method);
        break;
    }
    default: return false;
    }
    object->SetProject(m_pProject);
    m_owned = std::move(object);
    m_pObject = m_owned.get();
    return true;
}

void CTableWizardPropSheet::SetEditObject(CFormula* object) {
    m_owned.reset();
    m_pObject = object;
    m_bEditExisting = 1;
}

std::unique_ptr<CFormula> CTableWizardPropSheet::TakeObject() {
    m_pObject = nullptr;
    return std::move(m_owned);
}

QSSTATUS CTableWizardPropSheet::AddToProject(QSID& id) {
    if (m_pProject == nullptr || !m_owned) return 1;
    id = m_owned->GetIDNum();
    QSSTATUS st = 1;
    switch (m_nCategory) {
    case 1000:
        if (auto* data = dynamic_cast<CDataObject*>(m_owned.get())) st = m_pProject->AddNewObject(*data, id, 1);
        break;
    case 4000:
        if (auto* scalar = dynamic_cast<CScalar*>(m_owned.get()))
            st = m_pProject->AddNewObject(*scalar, id, m_bTableSystem ? 0 : 1);
        break;
    case 5000:
        if (auto* exhibit = dynamic_cast<CExhibit*>(m_owned.get())) {
            exhibit->SetHasSDF(m_bHasSelectedFactors != 0);
            st = m_pProject->AddNewFormulaObject(*exhibit, m_bTableSystem ? 3 : 4, 1, qsk::kCatExhibit, true, id);
            if (st == 0) m_pProject->PostInit();
        }
        break;
    case 6000:
    case 7000:
        if (auto* method = dynamic_cast<CMethod*>(m_owned.get()))
            st = m_pProject->AddNewObject(*method, id, m_nCategory == 7000 ? 1 : (m_bTableSystem ? 0 : 1));
        break;
    default: break;
    }
    return st;
}

QString CTableWizardPropSheet::NextFreeNumber(int from) const {
    std::string result;
    if (m_pProject == nullptr ||
        m_pProject->GetNextAvailIndex(m_nCategory, static_cast<std::uint16_t>(std::clamp(from, 0, 65535)), result) != 0)
        return QString();
    return Q(result);
}

bool CTableWizardPropSheet::RangeCheck(const QString& number) const {
    const int n = number.toInt();
    if (n >= 501 && n <= 995) return true;
    const QString range = QStringLiteral("ERROR!  ID# must be between 501 and 995!");
    if (n < 501 && !number.isEmpty()) {
        AfxMessageBox(range, MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    AfxMessageBox(QStringLiteral("You cannot add any more [%1] tables as the maximum limit is reached!!!\n")
                          .arg(QString::fromLatin1(CategoryWord(m_nCategory))) +
                      range,
                  MB_OK | MB_ICONEXCLAMATION);
    return false;
}

bool CTableWizardPropSheet::CheckNumber(QLineEdit* edit) const {
    if (edit->isReadOnly()) return true;
    QString number = edit->text().trimmed();
    if (number.isEmpty() || number == QStringLiteral("0")) {
        number = NextFreeNumber(501);
        edit->setText(number);
    }
    bool ok = false;
    const int n = number.toInt(&ok);
    if (!ok || n < 501 || n > 995) {
        AfxMessageBox(QStringLiteral("ID# must be between 501 and 995!"), MB_OK | MB_ICONEXCLAMATION);
        edit->setFocus();
        return false;
    }
    if (m_pProject != nullptr && !m_pProject->IsIndexAvail(m_nCategory, number.toStdString())) {
        const QString next = NextFreeNumber(n);
        const int m = next.toInt();
        if (!next.isEmpty() && m >= 501 && m <= 995) {
            if (AfxMessageBox(QStringLiteral("ID# already in use.\nNext available ID# is %1.\nUse this ID#?").arg(next),
                              MB_YESNO | MB_ICONSTOP) == IDYES)
                edit->setText(next);
        } else {
            AfxMessageBox(QStringLiteral("ID# already in use.  Unable to determine\nnext available ID.  Please "
                                         "choose another ID#."),
                          MB_OK | MB_ICONSTOP);
        }
        edit->setFocus();
        return false;
    }
    return true;
}

bool CTableWizardPropSheet::CheckNames(QLineEdit* longEdit, QLineEdit* shortEdit) const {
    QString longName = longEdit->text();
    QString shortName = shortEdit->text();
    if (longName.trimmed().isEmpty()) {
        AfxMessageBox(QStringLiteral("Name Required!"), MB_OK | MB_ICONEXCLAMATION);
        longEdit->setFocus();
        return false;
    }
    longName = longName.trimmed();
    shortName = shortName.trimmed();
    longEdit->setText(longName);
    shortEdit->setText(shortName);
    // In file mode the character check is skipped, as the workstation always did.
    if (qs::views::Settings().fileMode == 0 && !ValidateObjectName(longName)) {
        longEdit->setFocus();
        return false;
    }
    if (m_pObject == nullptr || m_pProject == nullptr) return true;
    const bool longChanged = longName.toStdString() != m_pObject->GetIDLongName();
    const bool shortChanged = shortName.toStdString() != m_pObject->GetIDShortName();
    if (!longChanged && !shortChanged) return true;
    QSID id = m_pObject->GetIDNum();
    const qs::views::NameConflict conflict = qs::views::CheckNameUnique(
        *m_pProject, longChanged ? longName : QString(), shortChanged ? shortName : QString(), id, m_nCategory);
    if (conflict == qs::views::NameConflict::LongName) longEdit->setFocus();
    if (conflict == qs::views::NameConflict::ShortName) shortEdit->setFocus();
    return conflict == qs::views::NameConflict::None;
}

bool CTableWizardPropSheet::ConfirmCancel() {
    const int mode = qs::views::Settings().appMode;
    if (mode == 10 || mode == 11) return true;
    return AfxMessageBox(QStringLiteral("Are you sure?"), MB_YESNO | MB_ICONQUESTION) == IDYES;
}

// ====================================================================== type page (131)

CTableWizPage1::CTableWizPage1()
    : CPropertyPage(kTemplateId, QStringLiteral("Table Wizard - Select Object Type")),
      m_list(new QListWidget(this)),
      m_tableSystem(new QCheckBox(QStringLiteral("Table &System"), this)) {
    setWindowTitle(QStringLiteral("Table Wizard - Select Object Type"));
    SetControlId(m_list, IDC_KINDS);
    SetControlId(m_tableSystem, IDC_TABLE_SYSTEM);
    m_list->setViewMode(QListView::IconMode);
    m_list->setIconSize(QSize(32, 32));
    m_list->setMovement(QListView::Static);
    m_list->setSpacing(12);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Select the kind of table to create:"), this));
    layout->addWidget(m_list, 1);
    layout->addWidget(m_tableSystem);
    connect(m_list, &QListWidget::itemSelectionChanged, this, [this] { UpdateButtons(); });
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this] {
        if (GetSheet()) GetSheet()->PressButton(PSBTN_NEXT);
    });
}

CTableWizardPropSheet* CTableWizPage1::Sheet() const { return dynamic_cast<CTableWizardPropSheet*>(GetSheet()); }

void CTableWizPage1::SelectCategory(int category) {
    if (category == 4000) category = 1000;
    for (int i = 0; i < m_list->count(); ++i)
        if (m_list->item(i)->data(kCategoryRole).toInt() == category) m_list->setCurrentRow(i);
}

BOOL CTableWizPage1::OnSetActive() {
    if (!m_bFilled) {
        m_bFilled = true;
        m_tableSystem->hide();
        QStyle* style = QApplication::style();
        const struct {
            const char* text;
            QStyle::StandardPixmap icon;
            int category;
        } kinds[] = {{"Array", QStyle::SP_FileDialogDetailedView, 1000},
                     {"Exhibit", QStyle::SP_FileDialogContentsView, 5000},
                     {"Method", QStyle::SP_FileDialogListView, 6000},
                     {"Report", QStyle::SP_FileIcon, 7000}};
        for (const auto& k : kinds) {
            auto* item = new QListWidgetItem(style->standardIcon(k.icon), QString::fromLatin1(k.text), m_list);
            item->setData(kCategoryRole, k.category);
        }
        if (CTableWizardPropSheet* sheet = Sheet()) SelectCategory(sheet->m_nCategory);
    }
    UpdateButtons();
    return CPropertyPage::OnSetActive();
}

void CTableWizPage1::UpdateButtons() {
    CPropertySheet* sheet = GetSheet();
    if (sheet == nullptr || sheet->GetActivePage() != this) return;
    sheet->SetWizardButtons(m_list->currentItem() && m_list->currentItem()->isSelected() ? DWORD(PSWIZB_NEXT) : DWORD(0));
}

LRESULT CTableWizPage1::OnWizardNext() {
    CTableWizardPropSheet* sheet = Sheet();
    QListWidgetItem* item = m_list->currentItem();
    if (sheet == nullptr || item == nullptr) return -1;
    sheet->m_bTableSystem = m_tableSystem->isChecked() ? 1 : 0;
    const int category = item->data(kCategoryRole).toInt();
    const bool same = category == sheet->m_nCategory || (category == 1000 && sheet->m_nCategory == 4000);
    if (!(same && sheet->m_pObject != nullptr)) {
        sheet->m_nCategory = category;
        const QString number = sheet->NextFreeNumber(501);
        if (!sheet->RangeCheck(number.isEmpty() ? QStringLiteral("996") : number)) return -1;
        if (!sheet->CreateObject(category)) {
            AfxMessageBox(QStringLiteral("Error: pParent->CreateObject()\n"), MB_OK | MB_ICONEXCLAMATION);
            return -1;
        }
        sheet->ApplyTitles();
    }
    return (sheet->m_nCategory == 6000 || sheet->m_nCategory == 7000) ? CTableWizPage22::kTemplateId
                                                                      : CTableWizPage2::kTemplateId;
}

// ====================================================================== object page (133)

CTableWizPage2::CTableWizPage2()
    : CPropertyPage(kTemplateId, QStringLiteral("Table Wizard - Set Object Information")),
      m_id(nullptr),
      m_display(new QButtonGroup(this)),
      m_arrayType(new QButtonGroup(this)) {
    setWindowTitle(QStringLiteral("Table Wizard - Set Object Information"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    m_id = AddEdit(this, form, IDC_ID, QStringLiteral("ID#:"), 3);
    m_name = AddEdit(this, form, IDC_NAME, QStringLiteral("Name:"), 255);
    m_shortName = AddEdit(this, form, IDC_SHORT_NAME, QStringLiteral("Abbreviated name:"), 80);
    layout->addLayout(form);

    auto* row = new QHBoxLayout;
    auto* displayBox = new QGroupBox(QStringLiteral("Display"), this);
    auto* displayLayout = new QVBoxLayout(displayBox);
    AddRadio(displayBox, m_display, displayLayout, IDC_NUMBER, QStringLiteral("Nu&mber"));
    AddRadio(displayBox, m_display, displayLayout, IDC_CURRENCY, QStringLiteral("C&urrency"));
    AddRadio(displayBox, m_display, displayLayout, IDC_PERCENT, QStringLiteral("&Percent"));
    m_decimals = AddCheck(displayBox, displayLayout, IDC_DECIMALS, QStringLiteral("&Display decimals"));
    row->addWidget(displayBox);

    auto* arrayBox = new QGroupBox(QStringLiteral("Array type"), this);
    auto* arrayLayout = new QVBoxLayout(arrayBox);
    AddRadio(arrayBox, m_arrayType, arrayLayout, IDC_TRIANGLE, QStringLiteral("&Triangle"));
    AddRadio(arrayBox, m_arrayType, arrayLayout, IDC_ROW, QStringLiteral("&Row"));
    AddRadio(arrayBox, m_arrayType, arrayLayout, IDC_COLUMN, QStringLiteral("&Column"));
    AddRadio(arrayBox, m_arrayType, arrayLayout, IDC_SCALAR, QStringLiteral("&Scalar"));
    m_arrayGroup = arrayBox;
    row->addWidget(arrayBox);
    layout->addLayout(row);

    auto* options = new QVBoxLayout;
    m_hasFormula = AddCheck(this, options, IDC_HAS_FORMULA, QStringLiteral("Has &formula"));
    m_hasSDF = AddCheck(this, options, IDC_HAS_SDF, QStringLiteral("&Has selected factors"));
    m_statistics = AddCheck(this, options, IDC_STATISTICS, QStringLiteral("Displa&y statistics"));
    m_statistics->hide();
    layout->addLayout(options);
    layout->addStretch();

    connect(m_arrayType, &QButtonGroup::idClicked, this, [this](int type) { OnArrayType(type); });
    connect(m_hasFormula, &QCheckBox::clicked, this, [this] { OnHasFormula(); });
}

CTableWizardPropSheet* CTableWizPage2::Sheet() const { return dynamic_cast<CTableWizardPropSheet*>(GetSheet()); }

BOOL CTableWizPage2::OnSetActive() {
    CTableWizardPropSheet* sheet = Sheet();
    if (sheet == nullptr || sheet->m_pObject == nullptr) return FALSE;
    if (sheet->m_nCategory == 6000 || sheet->m_nCategory == 7000) return FALSE;
    m_bLoading = true;
    CFormula* object = sheet->m_pObject;
    const int category = sheet->m_nCategory;
    const bool hasNumber = object->GetIDNum() >= 1000;  // an object of the project
    m_id->setReadOnly(hasNumber);
    m_name->setText(Q(object->GetIDLongName()));
    m_shortName->setText(Q(object->GetIDShortName()));
    QString number = Q(object->GetIDIndexLabel());
    if (number == QStringLiteral("0")) number.clear();
    if (number.isEmpty() && !hasNumber) {
        number = sheet->NextFreeNumber(501);
        sheet->RangeCheck(number.isEmpty() ? QStringLiteral("996") : number);
    }
    m_id->setText(number);
    SetChoice(m_display, std::clamp(object->GetDisplayType(), 0, 2));
    short decimals = 0;
    object->GetDecimals(decimals);
    m_decimals->setChecked(decimals != 0);
    CStringStack raw, resolved;
    object->GetFormula(raw, resolved);
    if (category == 1000) {
        if (auto* data = dynamic_cast<CDataObject*>(object)) SetChoice(m_arrayType, data->GetVectorType());
        m_hasFormula->setChecked(!raw.IsEmpty());
    } else if (category == 5000) {
        m_hasFormula->setChecked(true);
        if (auto* exhibit = dynamic_cast<CExhibit*>(object)) sheet->m_bHasSelectedFactors = exhibit->HasSDF() ? 1 : 0;
        m_hasSDF->setChecked(sheet->m_bHasSelectedFactors != 0);
    } else if (category == 4000) {
        SetChoice(m_arrayType, 3);
        m_hasFormula->setChecked(false);
    }
    m_hasFormula->setEnabled(category == 1000);
    m_hasSDF->setVisible(category == 5000);
    m_display->button(1)->setVisible(category != 1000);
    m_arrayGroup->setVisible(!sheet->m_bEditExisting && (category == 1000 || category == 4000));
    m_bLoading = false;
    UpdateButtons();
    m_name->setFocus();
    return CPropertyPage::OnSetActive();
}

void CTableWizPage2::UpdateButtons() {
    CTableWizardPropSheet* sheet = Sheet();
    if (sheet == nullptr || sheet->GetActivePage() != this) return;
    const bool formula = m_hasFormula->isChecked();
    DWORD buttons = formula ? PSWIZB_NEXT : PSWIZB_FINISH;
    const bool scripted = qs::views::Settings().appMode == 10;
    if (!sheet->m_bEditExisting && !scripted && sheet->m_nStartMode == 0) buttons |= PSWIZB_BACK;
    sheet->SetWizardButtons(buttons);
}

void CTableWizPage2::OnHasFormula() {
    if (m_bLoading) return;
    if (m_hasFormula->isChecked() && m_id->isReadOnly())
        AfxMessageBox(QStringLiteral("Selecting this option will erase any entered data for this table."),
                      MB_OK | MB_ICONEXCLAMATION);
    UpdateButtons();
}

void CTableWizPage2::OnArrayType(int type) {
    CTableWizardPropSheet* sheet = Sheet();
    if (sheet == nullptr || m_bLoading) return;
    const int want = type == 3 ? 4000 : 1000;
    if (sheet->m_nCategory != want) {
        // The object changes kind: a scalar and an array are different objects.
        const QString typed = m_id->text().trimmed();
        const QString name = m_name->text(), shortName = m_shortName->text();
        sheet->m_nCategory = want;
        sheet->CreateObject(want);
        m_hasFormula->setChecked(false);
        m_hasFormula->setEnabled(want == 1000);
        const int n = typed.toInt();
        if (!(n >= 501 && n <= 998 && sheet->m_pProject && sheet->m_pProject->IsIndexAvail(want, typed.toStdString())))
            m_id->setText(sheet->NextFreeNumber(std::max(n, 501)));
        m_name->setText(name);
        m_shortName->setText(shortName);
    }
    if (want == 1000)
        if (auto* data = dynamic_cast<CDataObject*>(sheet->m_pObject)) data->SetVectorType(type);
    UpdateButtons();
}

bool CTableWizPage2::CheckAndStore() {
    CTableWizardPropSheet* sheet = Sheet();
    if (sheet == nullptr || sheet->m_pObject == nullptr) return false;
    if (!sheet->CheckNumber(m_id)) return false;
    if (!sheet->CheckNames(m_name, m_shortName)) return false;
    CFormula* object = sheet->m_pObject;
    // Each store is checked: a refused one stops with its call named.
    if (object->SetIDShortName(m_shortName->text().toStdString()) != 0 && !m_shortName->text().isEmpty()) {
        Report("Error: CFormula::SetIDShortName\n");
        return false;
    }
    if (object->SetIDLongName(m_name->text().toStdString()) != 0) {
        Report("Error: CFormula::SetIDLongName\n");
        return false;
    }
    if (!m_id->isReadOnly() && object->SetIDIndexLabel(m_id->text().toStdString()) != 0) {
        Report("Error: CFormula::SetIDIndexLabel\n");
        return false;
    }
    object->SetDisplayType(std::max(0, m_display->checkedId()));
    if (object->SetDecimals(m_decimals->isChecked() ? -1 : 0) != 0) {
        Report("Error: CFormula::SetDecimals\n");
        return false;
    }
    if (!m_hasFormula->isChecked() && sheet->m_nCategory != 5000 && object->ClearFormula() != 0) {
        Report("Error: CFormula::ClearFormula\n");
        return false;
    }
    if (sheet->m_nCategory == 1000 && m_arrayGroup->isVisible())
        if (auto* data = dynamic_cast<CDataObject*>(object); data && data->SetVectorType(m_arrayType->checkedId()) != 0) {
            Report("Error: CDataObject::SetVectorType\n");
            return false;
        }
    if (sheet->m_nCategory == 5000) sheet->m_bHasSelectedFactors = m_hasSDF->isChecked() ? 1 : 0;
    return true;
}

LRESULT CTableWizPage2::OnWizardBack() { return CTableWizPage1::kTemplateId; }

LRESULT CTableWizPage2::OnWizardNext() { return CheckAndStore() ? LRESULT(CFormulaDialog::kTemplateId) : -1; }

BOOL CTableWizPage2::OnWizardFinish() { return CheckAndStore() ? TRUE : FALSE; }

BOOL CTableWizPage2::OnQueryCancel() { return CTableWizardPropSheet::ConfirmCancel() ? TRUE : FALSE; }

// ====================================================================== method page (167)

CTableWizPage22::CTableWizPage22()
    : CPropertyPage(kTemplateId, QStringLiteral("Table Wizard - Set Object Information")),
      m_basis(new QButtonGroup(this)),
      m_methodType(new QComboBox(this)),
      m_columns(new QListWidget(this)),
      m_insertBefore(new QPushButton(QStringLiteral("Insert &Before"), this)),
      m_insertAfter(new QPushButton(QStringLiteral("Insert &After"), this)),
      m_edit(new QPushButton(QStringLiteral("&Edit"), this)),
      m_delete(new QPushButton(QStringLiteral("&Delete"), this)),
      m_attach(new QPushButton(QStringLiteral("Attach &Reports"), this)) {
    setWindowTitle(QStringLiteral("Table Wizard - Set Object Information"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    m_id = AddEdit(this, form, IDC_ID, QStringLiteral("ID#:"), 3);
    m_name = AddEdit(this, form, IDC_NAME, QStringLiteral("Name:"), 255);
    if (auto* label = qobject_cast<QLabel*>(form->labelForField(m_name))) SetControlId(label, IDC_NAME_LABEL);
    m_shortName = AddEdit(this, form, IDC_SHORT_NAME, QStringLiteral("Abbreviated name:"), 80);
    m_methodTypeLabel = new QLabel(QStringLiteral("Method type:"), this);
    m_methodType->addItems({QStringLiteral("Development"), QStringLiteral("Expected Loss Ratio"),
                            QStringLiteral("Bornhuetter-Ferguson"), QStringLiteral("Cape Cod"),
                            QStringLiteral("Frequency-Severity"), QStringLiteral("Case Adjustment"),
                            QStringLiteral("Other")});
    m_methodType->setCurrentIndex(-1);
    SetControlId(m_methodType, IDC_METHOD_TYPE);
    form->addRow(m_methodTypeLabel, m_methodType);
    auto* basisBox = new QWidget(this);
    auto* basisLayout = new QHBoxLayout(basisBox);
    basisLayout->setContentsMargins(0, 0, 0, 0);
    auto* basisLabel = new QLabel(QStringLiteral("Row data:"), basisBox);
    SetControlId(basisLabel, IDC_ROW_DATA_LABEL);
    basisLayout->addWidget(basisLabel);
    AddRadio(basisBox, m_basis, basisLayout, IDC_EXPOSURE, QStringLiteral("E&xposure"));
    AddRadio(basisBox, m_basis, basisLayout, IDC_DEVELOPMENT, QStringLiteral("De&velopment"));
    basisLayout->addStretch();
    m_basisGroup = basisBox;
    form->addRow(basisBox);
    layout->addLayout(form);

    auto* columnsRow = new QHBoxLayout;
    SetControlId(m_columns, IDC_COLUMNS);
    columnsRow->addWidget(m_columns, 1);
    auto* buttons = new QVBoxLayout;
    const struct {
        QPushButton* button;
        int id;
    } bs[] = {{m_insertBefore, IDC_INSERT_BEFORE}, {m_insertAfter, IDC_INSERT_AFTER}, {m_edit, IDC_EDIT},
              {m_delete, IDC_DELETE}, {m_attach, IDC_ATTACH}};
    for (const auto& b : bs) {
        SetControlId(b.button, b.id);
        b.button->setAutoDefault(false);
        buttons->addWidget(b.button);
    }
    buttons->addStretch();
    columnsRow->addLayout(buttons);
    layout->addWidget(new QLabel(QStringLiteral("Columns:"), this));
    layout->addLayout(columnsRow, 1);

    connect(m_columns, &QListWidget::currentRowChanged, this, [this] { UpdateColumnButtons(); });
    connect(m_columns, &QListWidget::itemDoubleClicked, this, [this] { OnEdit(); });
    connect(m_insertAfter, &QPushButton::clicked, this, [this] { OnInsertAfter(); });
    connect(m_insertBefore, &QPushButton::clicked, this, [this] { OnInsertBefore(); });
    connect(m_edit, &QPushButton::clicked, this, [this] { OnEdit(); });
    connect(m_delete, &QPushButton::clicked, this, [this] { OnDelete(); });
    connect(m_attach, &QPushButton::clicked, this, [this] { OnAttachReports(); });
}

CTableWizardPropSheet* CTableWizPage22::Sheet() const { return dynamic_cast<CTableWizardPropSheet*>(GetSheet()); }

CMethod* CTableWizPage22::Method() const {
    CTableWizardPropSheet* sheet = Sheet();
    return sheet ? dynamic_cast<CMethod*>(sheet->m_pObject) : nullptr;
}

BOOL CTableWizPage22::OnSetActive() {
    CTableWizardPropSheet* sheet = Sheet();
    CMethod* method = Method();
    if (sheet == nullptr || method == nullptr) return FALSE;
    const bool hasNumber = method->GetIDNum() >= 1000;
    if (m_bFirst) {
        m_bFirst = false;
        m_id->setReadOnly(hasNumber);
        m_nUltPos = method->GetUltPos();
        if (method->GetMethodType() >= 0 && method->GetMethodType() <= 6) m_methodType->setCurrentIndex(method->GetMethodType());
    }
    m_name->setText(Q(method->GetIDLongName()));
    m_shortName->setText(Q(method->GetIDShortName()));
    QString number = Q(method->GetIDIndexLabel());
    if (number == QStringLiteral("0")) number.clear();
    if (number.isEmpty() && !hasNumber) {
        number = sheet->NextFreeNumber(501);
        sheet->RangeCheck(number.isEmpty() ? QStringLiteral("996") : number);
    }
    m_id->setText(number);
    SetChoice(m_basis, method->GetBasis());
    int select = m_columns->currentRow();
    if (sheet->m_bColumnPending) {
        sheet->m_bColumnPending = false;
        if (CommitColumn()) select = m_nInsertPos;
        m_nInsertMode = kNoInsert;
    }
    RefillColumns(select);

    const int category = sheet->m_nCategory;
    SetDlgItemText(IDC_NAME_LABEL, QStringLiteral("Name:"));
    m_methodTypeLabel->setVisible(category == 6000);
    m_methodType->setVisible(category == 6000);
    m_attach->setVisible(category == 6000);
    m_basisGroup->setVisible(category == 7000);
    const bool scripted = qs::views::Settings().appMode == 10;
    sheet->SetWizardButtons(sheet->m_bEditExisting || scripted || sheet->m_nStartMode > 0
                                ? PSWIZB_FINISH
                                : PSWIZB_BACK | PSWIZB_FINISH);
    m_name->setFocus();
    return CPropertyPage::OnSetActive();
}

bool CTableWizPage22::CommitColumn() {
    CTableWizardPropSheet* sheet = Sheet();
    CMethod* method = Method();
    if (sheet == nullptr || method == nullptr || m_nInsertMode == kNoInsert) return false;
    CTableWizPage3& col = sheet->m_page3;
    CStringStack raw, resolved;
    sheet->m_formula.GetFormula(raw, resolved);
    const int pos = m_nInsertPos;
    const std::string name = col.m_strName.toStdString();
    if (m_nInsertMode == kEditColumn) {
        if (method->SetColFormula(pos, raw, resolved) != 0) {
            Report("Error: CMethod::SetColFormula\n");
            return false;
        }
    } else if (method->AddNewCol(pos, name, raw, resolved) != 0) {
        // Nothing was added, so there is no column to give the options to.
        Report("Error: CMethod::AddNewCol\n");
        return false;
    }
    const struct {
        const char* call;
        QSSTATUS status;
    } steps[] = {
        {"Error: CMethod::SetColName\n", method->SetColName(pos, name)},
        {"Error: CMethod::SetColHeader\n", method->SetColHeader(pos, col.m_strHeader.toStdString())},
        {"Error: CMethod::SetObjDisplayType\n", method->SetObjDisplayType(pos, col.m_nDisplayType)},
        {"Error: CMethod::SetObjDecimal\n", method->SetObjDecimal(pos, col.m_bDecimals ? -1 : 0)},
        {"Error: CMethod::SetObjHidden\n", method->SetObjHidden(pos, col.m_bNoPrint != 0)},
        {"Error: CMethod::SetObjStats\n",
         method->SetObjStats(pos, col.m_bAverage != 0, col.m_bLTrend != 0, col.m_bExpCurve != 0)},
        {"Error: CMethod::SetObjTotalType\n", method->SetObjTotalType(pos, std::max(0, sheet->m_formula.m_nTotals))},
    };
    for (const auto& s : steps)
        if (s.status != 0) {
            Report(s.call);
            return false;
        }
    if (m_nInsertMode != kEditColumn && m_nUltPos >= pos) ++m_nUltPos;
    if (col.m_bUltimate) m_nUltPos = pos;
    else if (m_nUltPos == pos && m_nInsertMode == kEditColumn) m_nUltPos = -1;
    return true;
}

void CTableWizPage22::RefillColumns(int select) {
    CMethod* method = Method();
    m_columns->clear();
    if (method != nullptr)
        for (int i = 0; i < method->GetNumDataObjects(); ++i) m_columns->addItem(Q(method->GetColName(i)));
    if (select >= 0 && select < m_columns->count()) m_columns->setCurrentRow(select);
    UpdateColumnButtons();
}

void CTableWizPage22::UpdateColumnButtons() {
    const bool selected = m_columns->currentRow() >= 0;
    const bool empty = m_columns->count() == 0;
    m_edit->setEnabled(selected);
    m_delete->setEnabled(selected);
    m_insertBefore->setEnabled(selected);
    m_insertAfter->setEnabled(empty || selected);
    m_insertAfter->setText(empty ? QStringLiteral("&New") : QStringLiteral("Insert &After"));
}

void CTableWizPage22::StoreNames() {
    CTableWizardPropSheet* sheet = Sheet();
    CMethod* method = Method();
    if (sheet == nullptr || method == nullptr) return;
    if (!m_name->text().trimmed().isEmpty()) method->SetIDLongName(m_name->text().trimmed().toStdString());
    method->SetIDShortName(m_shortName->text().trimmed().toStdString());
    if (!m_id->isReadOnly() && !m_id->text().trimmed().isEmpty()) method->SetIDIndexLabel(m_id->text().trimmed().toStdString());
    if (m_basis->checkedId() >= 0) method->SetBasis(m_basis->checkedId());
    if (m_methodType->currentIndex() >= 0) method->SetMethodType(m_methodType->currentIndex());
}

void CTableWizPage22::StartColumn(int pos, bool checkNames) {
    CTableWizardPropSheet* sheet = Sheet();
    CMethod* method = Method();
    if (sheet == nullptr || method == nullptr) return;
    if (checkNames && !sheet->CheckNames(m_name, m_shortName)) return;
    StoreNames();
    m_columns->insertItem(pos, QStringLiteral("<New Column>"));
    m_columns->setCurrentRow(pos);
    // A column formula may read only the columns before it.
    sheet->m_formula.ClearColumns();
    for (int i = 0; i < pos && i < method->GetNumDataObjects(); ++i)
        sheet->m_formula.AddColumn(method->GetObjID(i), Q(method->GetColName(i)));
    sheet->m_page3.Clear();
    sheet->m_formula.m_nTotals = -1;
    sheet->m_formula.SetFormulaText(QString());
    m_nInsertPos = pos;
    sheet->SetActivePage(&sheet->m_page3);
}

void CTableWizPage22::OnInsertAfter() {
    const int row = m_columns->currentRow();
    m_nInsertMode = kInsertAfter;
    StartColumn(row < 0 ? 0 : row + 1, true);
}

void CTableWizPage22::OnInsertBefore() {
    const int row = m_columns->currentRow();
    if (row < 0) return;
    m_nInsertMode = kInsertBefore;
    StartColumn(row, false);
}

void CTableWizPage22::OnEdit() {
    CTableWizardPropSheet* sheet = Sheet();
    CMethod* method = Method();
    const int pos = m_columns->currentRow();
    if (sheet == nullptr || method == nullptr || pos < 0 || pos >= method->GetNumDataObjects()) return;
    StoreNames();
    CTableWizPage3& col = sheet->m_page3;
    col.m_strName = Q(method->GetColName(pos));
    col.m_strHeader = Q(method->GetColHeader(pos));
    col.m_bUltimate = m_nUltPos == pos ? 1 : 0;
    col.m_nDisplayType = method->GetObjDisplayType(pos);
    col.m_bDecimals = method->GetObjDecimal(pos) != 0 ? 1 : 0;
    col.m_bNoPrint = method->IsObjHidden(pos) ? 1 : 0;
    const int stats = method->GetObjStats(pos);
    col.m_bAverage = (stats & CMethod::ST_AVERAGE) ? 1 : 0;
    col.m_bLTrend = (stats & CMethod::ST_LTREND) ? 1 : 0;
    col.m_bExpCurve = (stats & CMethod::ST_EXPCURVE) ? 1 : 0;
    col.Load();
    sheet->m_formula.ClearColumns();
    for (int i = 0; i < pos; ++i) sheet->m_formula.AddColumn(method->GetObjID(i), Q(method->GetColName(i)));
    sheet->m_formula.m_nTotals = method->GetObjTotalType(pos);
    // The tree must know the names before the formula is shown.
    sheet->m_formula.SetContext(sheet->m_pProject, sheet->m_nCategory, method);
    sheet->m_formula.RebuildTree();
    CStringStack raw, resolved;
    method->GetColFormula(pos, raw, resolved);
    sheet->m_formula.LoadFormula(raw, resolved);
    m_nInsertMode = kEditColumn;
    m_nInsertPos = pos;
    sheet->SetActivePage(&sheet->m_page3);
}

void CTableWizPage22::OnDelete() {
    CMethod* method = Method();
    const int pos = m_columns->currentRow();
    if (method == nullptr || pos < 0) return;
    if (method->RemoveColDef(pos) != 0) {
        AfxMessageBox(QStringLiteral("This column is used in another column's formula."), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (pos == m_nUltPos) {
        AfxMessageBox(QStringLiteral("Please select a new ultimate column."), MB_OK | MB_ICONEXCLAMATION);
        m_nUltPos = -1;
    } else if (m_nUltPos > pos) {
        --m_nUltPos;
    }
    RefillColumns(pos > 0 ? pos - 1 : 0);
}

void CTableWizPage22::OnAttachReports() {
    CTableWizardPropSheet* sheet = Sheet();
    CMethod* method = Method();
    if (sheet == nullptr || method == nullptr) return;
    CAttachReportsDlg dlg(this);
    method->GetLinks(dlg.m_links);
    dlg.m_pProject = sheet->m_pProject;
    if (dlg.DoModal() == IDOK) method->SetLinks(dlg.m_links);
}

BOOL CTableWizPage22::OnKillActive() {
    StoreNames();
    return CPropertyPage::OnKillActive();
}

LRESULT CTableWizPage22::OnWizardBack() {
    StoreNames();
    return CTableWizPage1::kTemplateId;
}

BOOL CTableWizPage22::OnWizardFinish() {
    CTableWizardPropSheet* sheet = Sheet();
    CMethod* method = Method();
    if (sheet == nullptr || method == nullptr) return FALSE;
    if (!sheet->CheckNumber(m_id)) return FALSE;
    if (!sheet->CheckNames(m_name, m_shortName)) return FALSE;
    if (method->GetNumDataObjects() == 0) {
        AfxMessageBox(QStringLiteral("At least one column has to be created!"), MB_OK | MB_ICONEXCLAMATION);
        m_insertAfter->setFocus();
        return FALSE;
    }
    if (sheet->m_nCategory == 6000 && m_nUltPos < 0) {
        AfxMessageBox(QStringLiteral("One column has to be Ultimate!"), MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
    if (method->SetUltPos(m_nUltPos) != 0) {
        Report("Error: CMethod::SetUltPos\n");
        return FALSE;
    }
    StoreNames();
    return TRUE;
}

BOOL CTableWizPage22::OnQueryCancel() { return CTableWizardPropSheet::ConfirmCancel() ? TRUE : FALSE; }

// ====================================================================== column page (166)

CTableWizPage3::CTableWizPage3()
    : CPropertyPage(kTemplateId, QStringLiteral("Table Wizard - Set Column Information")),
      m_display(new QButtonGroup(this)) {
    setWindowTitle(QStringLiteral("Table Wizard - Set Column Information"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    m_name = AddEdit(this, form, IDC_COL_NAME, QStringLiteral("Column name:"), 255);
    m_header = AddEdit(this, form, IDC_COL_HEADER, QStringLiteral("Column header:"), 255);
    layout->addLayout(form);
    auto* options = new QVBoxLayout;
    m_ultimate = AddCheck(this, options, IDC_ULTIMATE, QStringLiteral("This column is &Ultimate"));
    layout->addLayout(options);
    auto* row = new QHBoxLayout;
    auto* displayBox = new QGroupBox(QStringLiteral("Display"), this);
    auto* displayLayout = new QVBoxLayout(displayBox);
    AddRadio(displayBox, m_display, displayLayout, IDC_NUMBER, QStringLiteral("&Number"));
    AddRadio(displayBox, m_display, displayLayout, IDC_CURRENCY, QStringLiteral("&Currency"));
    AddRadio(displayBox, m_display, displayLayout, IDC_PERCENT, QStringLiteral("&Percent"));
    row->addWidget(displayBox);
    auto* statsBox = new QGroupBox(QStringLiteral("Statistics"), this);
    auto* statsLayout = new QVBoxLayout(statsBox);
    m_average = AddCheck(statsBox, statsLayout, IDC_AVERAGE, QStringLiteral("&Average"));
    m_ltrend = AddCheck(statsBox, statsLayout, IDC_LTREND, QStringLiteral("&Linear trend"));
    m_expcurve = AddCheck(statsBox, statsLayout, IDC_EXPCURVE, QStringLiteral("&Exponential curve"));
    row->addWidget(statsBox);
    auto* optionsBox = new QGroupBox(QStringLiteral("Options"), this);
    auto* optionsLayout = new QVBoxLayout(optionsBox);
    m_decimals = AddCheck(optionsBox, optionsLayout, IDC_DECIMALS, QStringLiteral("Display &decimals"));
    m_noPrint = AddCheck(optionsBox, optionsLayout, IDC_NO_PRINT, QStringLiteral("Do not prin&t"));
    row->addWidget(optionsBox);
    layout->addLayout(row);
    layout->addStretch();
}

void CTableWizPage3::Clear() {
    m_strName.clear();
    m_strHeader.clear();
    m_bUltimate = 0;
    m_nDisplayType = 0;
    m_bAverage = m_bLTrend = m_bExpCurve = 0;
    m_bDecimals = 0;
    m_bNoPrint = 0;
    Load();
}

void CTableWizPage3::Load() {
    m_name->setText(m_strName);
    m_header->setText(m_strHeader);
    m_ultimate->setChecked(m_bUltimate != 0);
    SetChoice(m_display, m_nDisplayType);
    m_average->setChecked(m_bAverage != 0);
    m_ltrend->setChecked(m_bLTrend != 0);
    m_expcurve->setChecked(m_bExpCurve != 0);
    m_decimals->setChecked(m_bDecimals != 0);
    m_noPrint->setChecked(m_bNoPrint != 0);
}

void CTableWizPage3::Save() {
    m_strName = m_name->text();
    m_strHeader = m_header->text();
    m_bUltimate = m_ultimate->isChecked() ? 1 : 0;
    m_nDisplayType = std::max(0, m_display->checkedId());
    m_bAverage = m_average->isChecked() ? 1 : 0;
    m_bLTrend = m_ltrend->isChecked() ? 1 : 0;
    m_bExpCurve = m_expcurve->isChecked() ? 1 : 0;
    m_bDecimals = m_decimals->isChecked() ? 1 : 0;
    m_bNoPrint = m_noPrint->isChecked() ? 1 : 0;
}

BOOL CTableWizPage3::OnSetActive() {
    auto* sheet = dynamic_cast<CTableWizardPropSheet*>(GetSheet());
    if (sheet == nullptr || (sheet->m_nCategory != 6000 && sheet->m_nCategory != 7000)) return FALSE;
    if (sheet->m_page22.m_nInsertMode == CTableWizPage22::kNoInsert) return FALSE;
    m_ultimate->setVisible(sheet->m_nCategory == 6000);
    sheet->SetWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
    m_name->setFocus();
    return CPropertyPage::OnSetActive();
}

LRESULT CTableWizPage3::OnWizardBack() {
    Save();
    auto* sheet = dynamic_cast<CTableWizardPropSheet*>(GetSheet());
    if (sheet) sheet->m_page22.m_nInsertMode = CTableWizPage22::kNoInsert;  // the new column is dropped
    return CTableWizPage22::kTemplateId;
}

LRESULT CTableWizPage3::OnWizardNext() {
    m_name->setText(m_name->text().trimmed());
    if (m_name->text().isEmpty()) {
        AfxMessageBox(QStringLiteral("Column Name is Required!"), MB_OK | MB_ICONEXCLAMATION);
        m_name->setFocus();
        return -1;
    }
    if (m_header->text().trimmed().isEmpty() &&
        AfxMessageBox(QStringLiteral("WARNING: Column Header is empty."), MB_OKCANCEL | MB_ICONEXCLAMATION) == IDCANCEL)
        return -1;
    Save();
    return CFormulaDialog::kTemplateId;
}
