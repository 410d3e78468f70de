#pragma once
// The formula page of the table wizard: the formula of a user-defined table
// or of one column of a user-defined method or report. It offers the
// project's objects in a tree, the formula functions, the operators, a value
// and a layer; inserts their names at the caret; splits the text into the
// raw and the resolved token stacks (names become "DO" and the object id);
// lets the kernel test the formula; and shows a good or bad status with a
// hint. The kernel owns the formula language (docs/kernel/formulas.md).
//
// The page works inside CTableWizardPropSheet (it takes the project, the
// category and the object from it) or alone with SetContext (tests).
#include <QString>
#include <QStringList>

#include <map>
#include <utility>
#include <vector>

#include "CPropertySheet.h"
#include "CStringStack.h"
#include "KernelTypes.h"

class CFormula;
class CProject;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

class CFormulaDialog : public CPropertyPage {
public:
    static constexpr UINT kTemplateId = 140;
    enum : int {
        IDC_FORMULA = 1008,
        IDC_TREE = 1073,
        IDC_ONLY_WITH_DATA = 1040,
        IDC_FUNCTIONS = 1048,
        IDC_OPERATORS = 1050,
        IDC_VALUE = 1045,
        IDC_INSERT = 1054,
        IDC_NO_TOTALS = 1092,
        IDC_SUM_COLUMN = 1093,
        IDC_TOTAL_FORMULA = 1094,
        IDC_LAYER = 102,
        IDC_UNDO = 1055,
        IDC_REDO = 1058,
        IDC_HINT = 1056,
        IDC_STATUS = 1063,
    };
    // Hint flags.
    enum : int { kParenMissing = 1, kQuoteMissing = 2, kUnknownName = 4, kCannotExecute = 8, kDoesNotFit = 16 };
    // Status icons.
    enum : int { kIconGood = 143, kIconBad = 144 };

    CFormulaDialog();

    // Without a wizard: the project, the category of the object being
    // defined and the object (the context the kernel tests the formula in).
    void SetContext(CProject* project, int category, CFormula* object);

    BOOL OnSetActive() override;
    LRESULT OnWizardBack() override;
    LRESULT OnWizardNext() override;
    BOOL OnWizardFinish() override;
    BOOL OnQueryCancel() override;

    // ---- what the wizard calls
    // 1 raw stack empty (an empty formula is shown), 2 resolved stack empty,
    // 0 loaded (shared names qualified by their groups).
    int LoadFormula(const CStringStack& raw, const CStringStack& resolved);
    // 1 no formula, 2 resolved stack empty, 0 copied.
    int GetFormula(CStringStack& raw, CStringStack& resolved) const;
    void ClearColumns() { m_columns.clear(); }
    void AddColumn(QSID id, const QString& name) { m_columns.emplace_back(id, name); }
    int m_nTotals = -1;  // 0 no totals, 1 sum column, 2 total formula

    // ---- the parts a user works with
    // Inserts text and one blank at the caret (replacing a selection).
    void InsertPiece(const QString& piece);
    void InsertTreeItem(QTreeWidgetItem* item);
    // Inserts a function (the diagonal functions ask for the evaluation first).
    void InsertFunction(const QString& name);
    void InsertValue();
    void OnUndo();
    void OnRedo();
    void OnHint();
    void RebuildTree();
    // Tokenises the text and, when it is well formed, has the kernel test it;
    // sets the status, the hint and the wizard's buttons. True when good.
    bool Validate();
    // The tokeniser alone: true when the text is well formed.
    bool Tokenize();

    QString FormulaText() const;
    void SetFormulaText(const QString& text);
    int HintFlags() const { return m_nHintFlags; }
    QString HintText() const;
    int StatusIcon() const { return m_nStatusIcon; }
    const CStringStack& RawStack() const { return m_raw; }
    const CStringStack& ResolvedStack() const { return m_resolved; }
    // Name map: display name -> id, 0 for a name several objects share.
    const std::map<QString, QSID>& NameMap() const { return m_nameMap; }
    // Drops a leading "(nn) " and, with numbered names, "nnn - ".
    QString DisplayName(const QString& name) const;
    QTreeWidget* Tree() const { return m_tree; }
    QPlainTextEdit* Edit() const { return m_edit; }
    QComboBox* LayerCombo() const { return m_layer; }
    QListWidget* Functions() const { return m_functions; }
    QListWidget* Operators() const { return m_operators; }
    QLineEdit* ValueEdit() const { return m_value; }

    static const QStringList& FunctionNames();
    static const QStringList& OperatorTexts();
    static bool IsOperatorChar(QChar c);

private:
    struct Group {
        const char* name;
        const char* prefix;
    };
    static const std::vector<Group>& Groups();
    void PullContext();
    void FillLayerCombo();
    void AddGroupObjects(QTreeWidgetItem* root, const QString& prefix, QSID node, bool withSubGroups);
    void Register(const QString& display, const QString& prefix, QSID id);
    bool IsFunction(const QString& token) const;
    // Trailing digits and points removed, then the display numbering.
    QString Bare(const QString& token) const;
    bool KernelTest();
    void UpdateButtons(bool good);
    QString GroupOfResolved(QSID id) const;
    QString ShowTokens(const std::vector<QString>& tokens) const;
    bool IsMethodLike() const { return m_nCategory == 6000 || m_nCategory == 7000; }

    CProject* m_pProject = nullptr;
    int m_nCategory = 1000;
    CFormula* m_pObject = nullptr;
    bool m_bOnlyWithData = false;
    bool m_bFilled = false;
    bool m_bValidating = false;
    // The edit's undo history: every text the edit held, typed or inserted.
    void RecordText();
    void RestoreText(int pos);
    std::vector<QString> m_history{QString()};
    int m_historyPos = 0;
    bool m_bRestoring = false;
    CStringStack m_raw;
    CStringStack m_resolved;
    std::map<QString, QSID> m_nameMap;
    std::map<QString, QStringList> m_qualified;  // display name -> its qualified names
    std::map<QString, int> m_layerMap;
    std::vector<std::pair<QSID, QString>> m_columns;
    int m_nHintFlags = 0;
    QString m_strUnknown;
    int m_nStatusIcon = kIconGood;

    QPlainTextEdit* m_edit;
    QTreeWidget* m_tree;
    QCheckBox* m_onlyWithData;
    QListWidget* m_functions;
    QListWidget* m_operators;
    QLineEdit* m_value;
    QPushButton* m_insert;
    QButtonGroup* m_totals;
    QComboBox* m_layer;
    QPushButton* m_undo;
    QPushButton* m_redo;
    QPushButton* m_hint;
    QLabel* m_status;
};
