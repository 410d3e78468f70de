#pragma once
// The editor of one development factor library: its name and description,
// a layer chooser, the list of factor sets, the list of the project's
// development exhibits and one grid row with the factors of the chosen set,
// exhibit and layer, in one of three forms (age to age, age to ultimate,
// ratio to ultimate). It adds, edits, renames, clears and deletes sets,
// appends an evaluation period, saves through the document and prints the
// whole library.
#include <QString>

#include "CView.h"
#include "KernelTypes.h"

class CDFLDoc;
class CDFLGrid;
class CDataObject;
class CFactorSet;
class QButtonGroup;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPrinter;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

class CDFLView : public CView {
    DECLARE_DYNCREATE(CDFLView)

public:
    // Controls of the form, by id.
    enum : int {
        IDC_NAME = 1374,
        IDC_DESCRIPTION = 1011,
        IDC_OK = 1601,
        IDC_SAVE = 1375,
        IDC_SAVE_AS = 1377,
        IDC_CANCEL = 1564,
        IDC_LAYER = 1361,
        IDC_AGE_TO_AGE = 1088,
        IDC_AGE_TO_ULT = 1440,
        IDC_RATIO_TO_ULT = 1439,
        IDC_DECIMALS = 1017,
        IDC_ADD_SET = 1012,
        IDC_EDIT_SETS = 1056,
        IDC_DELETE_SET = 1016,
        IDC_CLEAR_SETS = 1686,
        IDC_SET_LIST = 1160,
        IDC_EXHIBIT_LIST = 1001,
        IDC_GRID_CAPTION = 1215,
        IDC_GRID_FRAME = 1003,
    };
    // Commands.
    enum : UINT {
        ID_FORM_AGE_TO_AGE = 32774,
        ID_FORM_AGE_TO_ULT = 32775,
        ID_FORM_RATIO_TO_ULT = 32776,
        ID_NEW_EVALUATION = 32778,
        ID_SET_DECIMALS = 32950,
        ID_EDIT_DELETE = 32837,
        ID_NEXT_INPUT = 32900,
        ID_PREV_INPUT = 32963,
    };

    CDFLView();
    ~CDFLView() override;

    void OnInitialUpdate() override;
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;

    CDFLDoc* GetDocument() const;

    // ---- lists and panes
    BOOL FillListSets();
    BOOL FillListSDFs();
    void MarkExhibitsWithFactors();
    void UpdatePanes();
    void PrepareFactorGrid();
    void OnLayerChanged();
    void SelectFactorSetRow(int row);
    void SelectExhibitRow(int row);
    // The factor set of the current row; null when none.
    CFactorSet* CurrentFactorSet() const;
    QString CurrentFactorSetName() const;

    // ---- commands
    void OnAddSet();
    void OnEditSets();
    void OnDeleteSet();
    // A label edit of a factor-set row ended with newName; true when the
    // set was renamed (the label then shows the new name).
    bool OnEndLabelEdit(int row, const QString& newName);
    void OnNewEvaluation();
    void OnClearSets();
    void OnDecimals();
    void SetDisplayForm(int form);
    BOOL SaveLibrary(bool close);
    void OnSaveAs();
    void OnCancel();
    // The file's title may have changed (Save As): the name follows it;
    // keepUnmodified marks the document unmodified afterwards.
    void SyncNameFromTitle(bool keepUnmodified);

    // ---- name and description (also for the application's batch exit)
    void GetNameAndDescription(QString& name, QString& description) const;
    bool ValidateNameAndDescription(QString& name, const QString& description);
    bool ConfirmLibraryName(const QString& name, bool& found);
    void UpdateNameAndDescription(const QString& name, const QString& description);
    BOOL CheckPermission(bool tell);

    // ---- the grid (factor row shown, editing, clipboard)
    BOOL ShowFactors(BOOL save);
    BOOL WriteFactorCell(int row, int col, const QString& text, double value);
    void SetDecimals(int n);
    void ClearAllFactors();
    void OnEditCopy();
    void OnEditCut();
    void OnEditPaste();
    void OnEditClear();
    bool GridHasFocus() const;
    // Checks a text typed into the grid (pasted: "#N/A" allowed); empty
    // when it is acceptable, else the message to show.
    static QString CheckFactorText(const QString& text, bool pasted);

    // ---- printing
    // Prints every set and layer that holds rows, one table each. With the
    // print dialog before the first table unless printing directly.
    // Returns the number of tables printed, -1 when the printer failed.
    int PrintLibrary();
    // The same to a printer the caller set up (no dialog).
    int PrintLibraryTo(QPrinter& printer);
    void OnFilePrint();
    void OnFilePrintDirect();

    // State the document, grid and tests read.
    CDFLDoc* m_pDoc = nullptr;
    int m_nCurFactorSet = -1;
    int m_nDisplayForm = 0;
    int m_nDecimals = 3;
    CDataObject* m_pShownRow = nullptr;
    QString m_strName;
    QString m_strDescription;
    bool m_bPrintDirect = false;

    CDFLGrid* Grid() const { return m_pGrid; }
    QTreeWidget* SetList() const { return m_pSetList; }
    QTreeWidget* ExhibitList() const { return m_pExhibitList; }
    QComboBox* LayerCombo() const { return m_pLayer; }
    int SelectedLayer() const;
    int SelectedExhibitRow() const;

    static QString LengthText(int months);
    static QString FormCaption(int form);

protected:
    // Escape cancels the library's window as its Cancel button does.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void BuildForm();
    void MapCommands();
    void OnSetSelectionChanged();
    void OnExhibitSelectionChanged();
    void WriteCellFromRow(int col);
    QString ExhibitRowText(int index) const;
    bool RowTextsValid(int lastCol, QString& message) const;

    QLineEdit* m_pName = nullptr;
    QLineEdit* m_pDescription = nullptr;
    QComboBox* m_pLayer = nullptr;
    QButtonGroup* m_pForms = nullptr;
    QTreeWidget* m_pSetList = nullptr;
    QTreeWidget* m_pExhibitList = nullptr;
    QLabel* m_pCaption = nullptr;
    QFrame* m_pGridFrame = nullptr;
    QPushButton* m_pDeleteSet = nullptr;
    QPushButton* m_pNewEval = nullptr;
    CDFLGrid* m_pGrid = nullptr;
    bool m_bFilling = false;
};
