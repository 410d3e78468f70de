#pragma once
// The print list editor ("Print", "Create print list" or "Print - name"):
// the Tables page chooses objects, page breaks and page-setup changes; the
// Options page the four print options. Every change goes straight into the
// list; a copy taken at opening tells whether it changed. "&Done" saves,
// "&Print" prints, "Cancel" asks about unsaved changes (never for the
// default list).
#include <QString>

#include <memory>

#include "CTabDialog.h"

class CPrintList;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

class CPrintListTablesPage : public CTabPageDialog {
public:
    CPrintListTablesPage(CPrintList& list, QWidget* parent);
    void Refresh() override;

    // Category 0-5: input data, exhibits, methods, reports, ultimates, graphs.
    void ChooseCategory(int category);
    void FillTables();
    void OnSelectTable(bool graph);
    void OnDeselect();
    void OnDeselectAll();
    void OnPageBreak();
    void OnNewPageSetup();
    void OnChangeEntry();
    void OnMove(int direction);

    // The stored entry the list widget selects (-1 none), and after which a
    // new entry goes.
    int InsertPosition() const;

    QTreeWidget* m_pGroups;
    // Columns "Table Name", "Selected", "Layer"; the id in Qt::UserRole.
    QTreeWidget* m_pTables;
    // One row per stored entry: its text and layer.
    QTreeWidget* m_pEntries;
    QComboBox* m_pLayer;
    QCheckBox* m_pDataOnly;
    QPushButton* m_pCategories[6];
    QPushButton* m_pSelectTable;
    QPushButton* m_pSelectGraph;
    int m_nCategory = 0;
    int m_nLargestKey = 0;

private:
    void ReloadEntries(const std::vector<int>& selected);
    QString EntryRow(int index) const;
    CPrintList& m_list;
};

class CPrintListOptionsPage : public CTabPageDialog {
public:
    CPrintListOptionsPage(CPrintList& list, QWidget* parent);
    void Refresh() override;
    QCheckBox* m_pCRX;
    QCheckBox* m_pSummary;
    QCheckBox* m_pNotes;
    QCheckBox* m_pAllExhibits;

private:
    CPrintList& m_list;
};

class CPrintListTabCtrl : public CDialogTabCtrl {
public:
    CPrintListTabCtrl(CPrintList& list, QWidget* parent) : CDialogTabCtrl(parent), m_list(list) {}
    void CreatePages() override;
    CPrintListTablesPage* m_pTables = nullptr;
    CPrintListOptionsPage* m_pOptions = nullptr;

private:
    CPrintList& m_list;
};

class CPrintListDlg : public CTabDialog {
public:
    enum { kTemplateId = 410, IDC_OPEN = 1647, IDC_SAVE_AS = 1091, IDC_DONE = 1673, IDC_PRINTER_SETUP = 1192 };
    explicit CPrintListDlg(CPrintList* list, QWidget* parent = nullptr);
    ~CPrintListDlg() override;

    void UpdateControls() override;
    void OnPrint();
    void OnDone();
    void OnSaveAs();
    void OnOpen();
    void OnCancel() override;
    // False when the user chose Cancel, or Yes and the save failed.
    bool ChangeCheck();

    CPrintListTabCtrl* Tabs() const { return m_pTabs; }
    QPushButton* m_pPrint;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void TakeSnapshot();
    CPrintList* m_pList;
    std::unique_ptr<CPrintList> m_pSnapshot;
    CPrintListTabCtrl* m_pTabs;
};

// "Next Page Number" (0 = next in sequence), 0 to 999.
class CPageBreakDlg : public CDialog {
public:
    explicit CPageBreakDlg(int page, QWidget* parent = nullptr);
    void OnOK() override;
    QLineEdit* m_pNumber;
    int m_nPage;
};

// "Load print list from" / "Save print list to": "&Database" (IDOK),
// "&File (.lst)" (1648) or "&Cancel".
class CPrintListStorageDlg : public CDialog {
public:
    enum { IDC_FILE = 1648 };
    explicit CPrintListStorageDlg(const QString& caption, QWidget* parent = nullptr);
};
