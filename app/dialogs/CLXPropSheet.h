#pragma once
// The statistics-database import wizard: companies, lines of business, the
// files to make, and a summary. Everything it lists comes from the import
// engine, which it obtains through the entry points the program bound at
// start-up; destroying the sheet hands the engine back.
#include <QString>

#include <functional>
#include <vector>

#include "CPropertySheet.h"
#include "LexigroveInterface.h"

#include "dialogs/ListControls.h"
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QCheckBox;
class QTreeWidget;
class QTreeWidgetItem;
class CLXPropSheet;
namespace qs::app {
class StatusSink;
}

// A page with an available and a selected list and Add / Remove / Remove All.
class CPickPropPage : public CPropertyPage {
public:
    enum : int { IDC_SELECTED = 1001, IDC_ADD = 1002, IDC_REMOVE = 1003, IDC_REMOVE_ALL = 1004, IDC_AVAILABLE = 1005 };
    CPickPropPage(UINT id, const QString& caption, const QString& prompt);

    COwnerDrawListCtrl* Available() const { return m_available; }
    COwnerDrawListCtrl* Selected() const { return m_selected; }
    // Moves the selected rows (all rows with all) from one list to the other,
    // walking the source from its last row to its first.
    void MoveRows(QTreeWidget* from, QTreeWidget* to, bool all);
    void OnAdd() { MoveRows(m_available, m_selected, false); }
    void OnRemove() { MoveRows(m_selected, m_available, false); }
    void OnRemoveAll() { MoveRows(m_selected, m_available, true); }
    BOOL OnSetActive() override;
    // Item data of every selected row, in row order.
    std::vector<long> SelectedIndexes() const;

protected:
    CLXPropSheet* Sheet() const;
    void UpdateButtons();
    // Filled once, on the first display; false ends the wizard.
    virtual bool Fill() = 0;
    virtual bool BackAlways() const { return false; }

    COwnerDrawListCtrl* m_available = nullptr;
    COwnerDrawListCtrl* m_selected = nullptr;
    QPushButton* m_add = nullptr;
    QPushButton* m_remove = nullptr;
    QPushButton* m_removeAll = nullptr;
    bool m_filled = false;
};

class CCompPropPage : public CPickPropPage {
public:
    enum : int { IDD = 103 };
    CCompPropPage();
    // A header click on the available list: column 0 by number, 1 by name.
    void SortAvailable(int column);

protected:
    bool Fill() override;
};

class CLOBPropPage : public CPickPropPage {
public:
    enum : int { IDD = 104 };
    CLOBPropPage();

protected:
    bool Fill() override;
    bool BackAlways() const override { return true; }
};

class CNumFilesPropPage : public CPropertyPage {
public:
    enum : int { IDD = 105, IDC_EACH = 1003, IDC_SUMMED = 1004, IDC_NAME = 1233, IDC_FOLDER = 1235, IDC_BROWSE = 1236,
                 IDC_PRIOR = 1444 };
    CNumFilesPropPage();
    BOOL OnSetActive() override;
    LRESULT OnWizardNext() override;
    void OnBrowse();

    QRadioButton* m_each = nullptr;
    QRadioButton* m_summed = nullptr;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_folder = nullptr;
    QCheckBox* m_prior = nullptr;

private:
    void Fail(QLineEdit* field, const QString& text);
    bool m_filled = false;
};

class CSummaryPropPage : public CPropertyPage {
public:
    enum : int { IDD = 106, IDC_TEXT = 1012, IDC_COMPANIES = 1009, IDC_LOBS = 1010 };
    CSummaryPropPage();
    BOOL OnSetActive() override;
    BOOL OnWizardFinish() override;

    QPlainTextEdit* m_text = nullptr;
    QTreeWidget* m_companies = nullptr;
    QTreeWidget* m_lobs = nullptr;
};

class CLXPropSheet : public CPropertySheet {
public:
    // status: where the company list's loading shows (null: nowhere).
    CLXPropSheet(CWnd* parent, GetLexigroveInstanceFn get, ReleaseLexigroveInstanceFn release,
                 qs::app::StatusSink* status = nullptr);
    ~CLXPropSheet() override;
    qs::app::StatusSink* Status() const { return m_status; }

    // The engine's interface object; null with the call's result when it cannot be had.
    IStatisticsDb* Engine(int* result = nullptr) const;
    // The extension of project files, upper-cased without its dot ("QS5").
    static QString ProjectExtension() { return QStringLiteral(".qs5"); }

    QString m_summaryFileName;
    int m_fileMode = 1;  // 1 one file per company and line of business, 0 one summed file
    std::vector<long> m_companies;
    std::vector<long> m_lobs;
    int m_priorRow = 1;
    QString m_folder;

    CCompPropPage m_compPage;
    CLOBPropPage m_lobPage;
    CNumFilesPropPage m_filesPage;
    CSummaryPropPage m_summaryPage;

private:
    GetLexigroveInstanceFn m_get;
    ReleaseLexigroveInstanceFn m_release;
    qs::app::StatusSink* m_status = nullptr;
};

// Asks what to do with a target file that exists: 0 Replace, 1 Replace All,
// 2 Skip File, 3 Skip All, 4 Cancel import (also when the dialog is closed).
class CStatsImportConflictDlg : public CDialog {
public:
    enum : int { IDD = 1557, IDC_MESSAGE = 1172 };
    enum : int { kReplace = 0, kReplaceAll = 1, kSkip = 2, kSkipAll = 3, kCancel = 4 };
    explicit CStatsImportConflictDlg(CWnd* parent = nullptr);
    void SetMessage(const QString& text);
    QString Message() const;
    // Closing the window is the same as Cancel import.
    void OnCancel() override { EndDialog(kCancel); }

private:
    QLabel* m_message = nullptr;
};
