#pragma once
// The dialog "Batch Printing": the job's project files ("Files") and print
// lists ("Print list") on two tabs, "&Open...", "Save &As...", "&Done"
// (save and close), "&Print" (run the job; the dialog stays open).
#include "CTabDialog.h"

#include <memory>

class CBatchJob;
class QListWidget;
class QPushButton;

// The two pages are twins over one of the job's string arrays.
class CBatchListPage : public CTabPageDialog {
public:
    CBatchListPage(CBatchJob& job, bool printLists, QWidget* parent);
    void Refresh() override;
    void OnInsert();
    // Inserts paths at the first selected entry (or the end), each at that
    // same place, so they end up in the reverse of the given order.
    void InsertPaths(const QStringList& paths);
    void OnDelete();
    void OnMove(int direction);
    void OnCreate();
    void OnEdit();
    void UpdateButtons();

    QListWidget* m_pList;
    QPushButton* m_pInsert;
    QPushButton* m_pDelete;
    QPushButton* m_pUp;
    QPushButton* m_pDown;
    QPushButton* m_pCreate = nullptr;
    QPushButton* m_pEdit = nullptr;

private:
    QStringList& Strings();
    std::vector<int> Selected() const;
    void Reload(const std::vector<int>& selected);
    CBatchJob& m_job;
    bool m_bPrintLists;
};

class CBatchTabCtrl : public CDialogTabCtrl {
public:
    CBatchTabCtrl(CBatchJob& job, QWidget* parent) : CDialogTabCtrl(parent), m_job(job) {}
    void CreatePages() override;
    CBatchListPage* m_pFiles = nullptr;
    CBatchListPage* m_pLists = nullptr;

private:
    CBatchJob& m_job;
};

class CBatchPrintDlg : public CTabDialog {
public:
    enum { kTemplateId = 417, IDC_OPEN = 1647, IDC_SAVE_AS = 1091, IDC_DONE = 1673, IDC_PRINTER_SETUP = 1672 };
    explicit CBatchPrintDlg(CBatchJob* job, QWidget* parent = nullptr);
    ~CBatchPrintDlg() override;

    void UpdateControls() override;
    void OnOK() override;  // "&Print"
    void OnCancel() override;
    void OnOpen();
    void OnSaveAs();
    void OnDone();
    bool SaveCheck();

    CBatchTabCtrl* Tabs() const { return m_pTabs; }

private:
    void TakeSnapshot();
    CBatchJob* m_pJob;
    std::unique_ptr<CBatchJob> m_pSnapshot;
    CBatchTabCtrl* m_pTabs;
};
