#pragma once
// The table wizard: creates a user-defined project object (input array,
// scalar, exhibit, method, report) or edits the definition of one, page by
// page: the kind (131), the identifier number, names and display options of
// an array, scalar or exhibit (133) or of a method or report with its list of
// columns (167), one column's options (166), and the formula of the table or
// of the column (140, CFormulaDialog).
//
// The caller builds the sheet with the project, the category, the parent and
// the start mode (0 all pages, 1 without the type page, 2 or more without the
// type and object pages), sets m_bEditExisting and the object when it edits
// one, and runs it; ID_WIZFINISH leaves the filled object in the sheet
// (TakeObject for a new one; AddToProject adds it as the New command does).
#include <QString>

#include <memory>

#include "CFormulaDialog.h"
#include "CPropertySheet.h"
#include "KernelTypes.h"

class CFormula;
class CMethod;
class CProject;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class CTableWizardPropSheet;

class CTableWizPage1 : public CPropertyPage {
public:
    static constexpr UINT kTemplateId = 131;
    enum : int { IDC_KINDS = 1043, IDC_TABLE_SYSTEM = 1132 };
    CTableWizPage1();
    BOOL OnSetActive() override;
    LRESULT OnWizardNext() override;
    QListWidget* Kinds() const { return m_list; }
    // Selects the kind of a category (1000 and 4000 select "Array").
    void SelectCategory(int category);

private:
    CTableWizardPropSheet* Sheet() const;
    void UpdateButtons();
    QListWidget* m_list;
    QCheckBox* m_tableSystem;
    bool m_bFilled = false;
};

class CTableWizPage2 : public CPropertyPage {
public:
    static constexpr UINT kTemplateId = 133;
    enum : int {
        IDC_ID = 1141,
        IDC_NAME = 1008,
        IDC_SHORT_NAME = 1007,
        IDC_NUMBER = 1046,
        IDC_CURRENCY = 1047,
        IDC_PERCENT = 1044,
        IDC_DECIMALS = 1049,
        IDC_HAS_FORMULA = 1051,
        IDC_TRIANGLE = 1057,
        IDC_ROW = 1058,
        IDC_COLUMN = 1059,
        IDC_SCALAR = 1061,
        IDC_HAS_SDF = 1053,
        IDC_STATISTICS = 1054,
    };
    CTableWizPage2();
    BOOL OnSetActive() override;
    LRESULT OnWizardBack() override;
    LRESULT OnWizardNext() override;
    BOOL OnWizardFinish() override;
    BOOL OnQueryCancel() override;
    // Choosing an array type (0 triangle, 1 row, 2 column, 3 scalar).
    void OnArrayType(int type);
    void OnHasFormula();

    QLineEdit* IdEdit() const { return m_id; }
    QLineEdit* NameEdit() const { return m_name; }
    QLineEdit* ShortNameEdit() const { return m_shortName; }
    QCheckBox* HasFormula() const { return m_hasFormula; }

private:
    CTableWizardPropSheet* Sheet() const;
    bool CheckAndStore();
    void UpdateButtons();
    QLineEdit* m_id;
    QLineEdit* m_name;
    QLineEdit* m_shortName;
    QButtonGroup* m_display;
    QCheckBox* m_decimals;
    QCheckBox* m_hasFormula;
    QButtonGroup* m_arrayType;
    QWidget* m_arrayGroup;
    QCheckBox* m_hasSDF;
    QCheckBox* m_statistics;
    bool m_bLoading = false;
};

class CTableWizPage22 : public CPropertyPage {
public:
    static constexpr UINT kTemplateId = 167;
    enum : int {
        IDC_ID = 1141,
        IDC_NAME = 1008,
        IDC_SHORT_NAME = 1007,
        IDC_NAME_LABEL = 1045,
        IDC_EXPOSURE = 1088,
        IDC_DEVELOPMENT = 1089,
        IDC_METHOD_TYPE = 1203,
        IDC_COLUMNS = 1052,
        IDC_INSERT_BEFORE = 1057,
        IDC_INSERT_AFTER = 1058,
        IDC_EDIT = 1056,
        IDC_DELETE = 1016,
        IDC_ATTACH = 1013,
        IDC_ROW_DATA_LABEL = 1208,
    };
    enum : int { kNoInsert = 0, kInsertBefore = 1, kInsertAfter = 2, kEditColumn = 3 };
    CTableWizPage22();
    BOOL OnSetActive() override;
    BOOL OnKillActive() override;
    LRESULT OnWizardBack() override;
    BOOL OnWizardFinish() override;
    BOOL OnQueryCancel() override;

    void OnInsertAfter();
    void OnInsertBefore();
    void OnEdit();
    void OnDelete();
    void OnAttachReports();

    QListWidget* Columns() const { return m_columns; }
    QLineEdit* IdEdit() const { return m_id; }
    QLineEdit* NameEdit() const { return m_name; }
    QLineEdit* ShortNameEdit() const { return m_shortName; }
    QComboBox* MethodType() const { return m_methodType; }
    QPushButton* InsertAfterButton() const { return m_insertAfter; }

    int m_nUltPos = -1;
    int m_nInsertMode = kNoInsert;
    int m_nInsertPos = -1;

private:
    CTableWizardPropSheet* Sheet() const;
    CMethod* Method() const;
    void RefillColumns(int select);
    void UpdateColumnButtons();
    void StoreNames();
    // Commits the column the column and formula pages defined; false (and
    // reported) when the kernel refused it.
    bool CommitColumn();
    void StartColumn(int pos, bool checkNames);
    QLineEdit* m_id;
    QLineEdit* m_name;
    QLineEdit* m_shortName;
    QButtonGroup* m_basis;
    QWidget* m_basisGroup;
    QLabel* m_methodTypeLabel;
    QComboBox* m_methodType;
    QListWidget* m_columns;
    QPushButton* m_insertBefore;
    QPushButton* m_insertAfter;
    QPushButton* m_edit;
    QPushButton* m_delete;
    QPushButton* m_attach;
    bool m_bFirst = true;
};

class CTableWizPage3 : public CPropertyPage {
public:
    static constexpr UINT kTemplateId = 166;
    enum : int {
        IDC_COL_NAME = 1007,
        IDC_COL_HEADER = 1099,
        IDC_ULTIMATE = 1043,
        IDC_NUMBER = 1046,
        IDC_CURRENCY = 1047,
        IDC_PERCENT = 1044,
        IDC_AVERAGE = 1096,
        IDC_LTREND = 1097,
        IDC_EXPCURVE = 1098,
        IDC_DECIMALS = 1049,
        IDC_NO_PRINT = 1090,
    };
    CTableWizPage3();
    BOOL OnSetActive() override;
    LRESULT OnWizardBack() override;
    LRESULT OnWizardNext() override;
    void Clear();

    QLineEdit* NameEdit() const { return m_name; }
    QLineEdit* HeaderEdit() const { return m_header; }
    QCheckBox* Ultimate() const { return m_ultimate; }

    QString m_strName;
    QString m_strHeader;
    int m_bUltimate = 0;
    int m_nDisplayType = 0;
    int m_bAverage = 0, m_bLTrend = 0, m_bExpCurve = 0;
    int m_bDecimals = 0;
    int m_bNoPrint = 0;

    void Load();  // members -> controls
    void Save();  // controls -> members

private:
    QLineEdit* m_name;
    QLineEdit* m_header;
    QCheckBox* m_ultimate;
    QButtonGroup* m_display;
    QCheckBox* m_average;
    QCheckBox* m_ltrend;
    QCheckBox* m_expcurve;
    QCheckBox* m_decimals;
    QCheckBox* m_noPrint;
};

class CTableWizardPropSheet : public CPropertySheet {
public:
    static constexpr UINT kTemplateId = 191;
    CTableWizardPropSheet(CProject* project, int category, CWnd* pParent = nullptr, int startMode = 0);
    ~CTableWizardPropSheet() override;

    BOOL OnInitDialog() override;

    // Replaces the object by a new one of the category; false when the
    // category makes nothing.
    bool CreateObject(int category);
    // The object being edited (not owned: the caller's edit slot).
    void SetEditObject(CFormula* object);
    // Hands the new object to the caller.
    std::unique_ptr<CFormula> TakeObject();
    // Adds the new object to the project as the New command does; the status
    // of the kernel call (non-zero: nothing added) and the new id.
    QSSTATUS AddToProject(QSID& id);

    // The next free number of the category at or after from, empty when none.
    QString NextFreeNumber(int from) const;
    // The type page's check of a number: 501..995, else its message.
    bool RangeCheck(const QString& number) const;
    // The number checks of the naming pages (empty, range, in use); the edit
    // gets the number taken. False (reported, focus moved) to stay.
    bool CheckNumber(QLineEdit* edit) const;
    // The name step: required long name, trimmed names, the character check
    // in database mode, the uniqueness check for changed names.
    bool CheckNames(QLineEdit* longEdit, QLineEdit* shortEdit) const;
    // "Are you sure?" unless a script drives the wizard.
    static bool ConfirmCancel();
    QString ObjectTitle() const;
    QString ColumnTitle() const;
    void ApplyTitles();

    CProject* m_pProject;
    int m_nCategory;
    CFormula* m_pObject = nullptr;
    int m_bTableSystem = 0;
    int m_bEditExisting = 0;
    int m_bHasSelectedFactors = 0;
    int m_nStartMode;
    // Set when the formula page hands a column back to the method page.
    bool m_bColumnPending = false;

    CTableWizPage1 m_page1;
    CTableWizPage2 m_page2;
    CTableWizPage22 m_page22;
    CTableWizPage3 m_page3;
    CFormulaDialog m_formula;

private:
    std::unique_ptr<CFormula> m_owned;
};
