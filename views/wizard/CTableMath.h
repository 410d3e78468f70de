#pragma once
// Table math: adds a constant to, subtracts it from, multiplies or divides
// one or more project tables, or combines them with other tables, in one
// step. A five-page wizard collects the choice and shows a summary; the
// arithmetic is one kernel call (CProject::PerformTableMath) whose status and
// reported tables the last page turns into lines of the summary.
//
// Pages: targets (0, a CTableMathPage1), operation (1), operand kind (2),
// operand tables (3, a second CTableMathPage1), summary (4).
#include <QString>

#include "CPropertySheet.h"
#include "KernelTypes.h"

class CProject;
class QButtonGroup;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QTreeWidget;
class QTreeWidgetItem;
class CTableMathPrpSheet;

class CTableMathPage1 : public CPropertyPage {
public:
    static constexpr UINT kTemplateId = 183;
    enum : int { IDC_LEFT = 1129, IDC_RIGHT = 1118, IDC_ADD = 1130, IDC_DEL = 1088, IDC_RIGHT_CAPTION = 1132 };
    explicit CTableMathPage1(bool firstInstance);
    BOOL OnSetActive() override;
    LRESULT OnWizardNext() override;
    void OnAdd();
    void OnDel();

    QTreeWidget* Left() const { return m_left; }
    QTreeWidget* Right() const { return m_right; }
    QLabel* RightCaption() const { return m_caption; }

    bool m_bFirstInstance;
    QSID m_lCurrentId = 0;
    unsigned short m_nCurrentLayer = 0;

private:
    CTableMathPrpSheet* Sheet() const;
    void Fill(QSID node);
    void MoveSelected(QTreeWidget* from, QTreeWidget* to);
    QTreeWidget* m_left;
    QTreeWidget* m_right;
    QLabel* m_caption;
    bool m_bFilled = false;
};

class CTableMathPage2 : public CPropertyPage {
public:
    static constexpr UINT kTemplateId = 200;
    enum : int { IDC_LIST = 1129, IDC_ADD = 1120, IDC_SUBTRACT = 1121, IDC_MULTIPLY = 1122, IDC_DIVIDE = 1123 };
    CTableMathPage2();
    BOOL OnSetActive() override;
    LRESULT OnWizardNext() override;
    QTreeWidget* List() const { return m_list; }
    QButtonGroup* Operations() const { return m_operations; }

private:
    QTreeWidget* m_list;
    QButtonGroup* m_operations;
};

class CTableMathPage3 : public CPropertyPage {
public:
    static constexpr UINT kTemplateId = 184;
    enum : int { IDC_VALUE_RADIO = 1122, IDC_TABLES_RADIO = 1123, IDC_VALUE = 1121, IDC_QUESTION = 1131 };
    CTableMathPage3();
    BOOL OnSetActive() override;
    LRESULT OnWizardNext() override;
    void OnValueRadio();
    void OnTablesRadio();
    QLineEdit* ValueEdit() const { return m_value; }
    static QString QuestionFor(int operation);

    int m_nKind = 0;  // 0 value, 1 tables
    double m_dValue = 0.0;

private:
    QButtonGroup* m_kind;
    QLineEdit* m_value;
};

class CTableMathPage5 : public CPropertyPage {
public:
    static constexpr UINT kTemplateId = 201;
    enum : int { IDC_SUMMARY = 1186 };
    CTableMathPage5();
    BOOL OnSetActive() override;
    LRESULT OnWizardBack() override;
    BOOL OnWizardFinish() override;
    QPlainTextEdit* Summary() const { return m_edit; }
    // The error line prefix of a failed status (empty for others).
    static QString ErrorPrefix(std::int32_t status);

    QString m_strSummary;
    // Set once a partly skipped run has been reported: the next Finish closes.
    static int s_bResultShown;

private:
    void ShowSummary();
    QPlainTextEdit* m_edit;
};

class CTableMathPrpSheet : public CPropertySheet {
public:
    static constexpr UINT kCaptionId = 182;
    explicit CTableMathPrpSheet(CWnd* pParent = nullptr);

    // "\"name<layer>\"": the table's name from its first letter and its layer.
    QString DisplayName(QSID layeredId) const;

    CTableMathPage1 m_page1{true};
    CTableMathPage2 m_page2;
    CTableMathPage3 m_page3;
    CTableMathPage1 m_page4{false};
    CTableMathPage5 m_page5;

    QSIDArray m_targets;
    QSIDArray m_operands;
    int m_bValue = 1;
    double m_dValue = 0.0;
    int m_nOperation = 0;
    CProject* m_pProject = nullptr;
    // Set when the kernel ran the operation (the caller refreshes the navigator).
    bool m_bPerformed = false;
};

namespace qs::views {
// The table math command's run: the wizard on the project with the active
// table (id with or without its layer, and its layer) chosen first. Returns
// the wizard's end; performed tells whether the kernel changed tables (the
// caller then refreshes the navigator, also when the wizard ends by Close).
int RunTableMath(CProject& project, QSID currentId, unsigned short currentLayer, bool* performed = nullptr);
}  // namespace qs::views
