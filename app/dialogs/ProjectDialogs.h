#pragma once
// Small modal dialogs of the project commands: moving one layer's data into
// another, a name and description, the as-of date, a list of named items to
// open, save or delete, the table to re-create, Save Template As and
// Replicate. The caller sets the members, runs DoModal and reads the members
// after IDOK. Every refusal keeps the dialog open with its message; none
// writes anything outside its own members.
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <utility>
#include <vector>

#include "CDialog.h"
#include "CHDate.h"

class CProject;
class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QTreeWidget;

namespace qs::app {
// Trims the name; false, after its message, for an empty name or one with a
// character other than letters, digits, blanks and + - _ ( ) &.
bool ValidateProjectObjectName(QString& name);
}  // namespace qs::app

// "Move Layer Data" (276).
class CMoveLayerDataDlg : public CDialog {
public:
    static constexpr UINT kTemplateId = 276;
    enum : int { IDC_FROM = 1161, IDC_TO = 1162 };
    static constexpr const char* kChooseBoth = "Please select both source and destination layers.";
    static constexpr const char* kSameLayers = "Source layer and destination layer are the same.";

    explicit CMoveLayerDataDlg(CProject* project, CWnd* pParent = nullptr);
    BOOL OnInitDialog() override;
    void OnOK() override;

    QComboBox* FromList() const { return m_from; }
    QComboBox* ToList() const { return m_to; }

    CProject* m_pProject;
    int m_nFrom = -1;  // list index; the caller presets the current layer - 1
    int m_nTo = -1;
    // The result after OK: layers 1..5.
    unsigned short m_nSourceLayer = 0;
    unsigned short m_nDestinationLayer = 0;

private:
    QComboBox* m_from;
    QComboBox* m_to;
};

// "Enter name and description" (454).
class CNameDescriptionDlg : public CDialog {
public:
    static constexpr UINT kTemplateId = 454;
    enum : int { IDC_NAME = 1007, IDC_DESCRIPTION = 1457 };

    CNameDescriptionDlg(const QString& name, const QString& description, CWnd* pParent = nullptr);
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;

    QString m_strName;
    QString m_strDescription;
};

// "As Of Date" (254): the date typed in the short date form; OK only with a
// real date.
class CAsOfDateDlg : public CDialog {
public:
    static constexpr UINT kTemplateId = 254;
    enum : int { IDC_DATE = 1138 };
    static constexpr const char* kBadDate = "Please enter a valid date (%1).";

    explicit CAsOfDateDlg(CWnd* pParent = nullptr);
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;

    QString m_strDate;
    CHDate m_date;  // after OK: the date read from the text
};

struct CNameDescItem {
    QString name;
    QString description;
};

// The named-item list (338): Open (0), Save (1) or Delete (2).
class CNamedItemListDlg : public CDialog {
public:
    static constexpr UINT kTemplateId = 338;
    enum : int { IDC_LIST = 1426, IDC_NAME = 1427, IDC_DESCRIPTION = 1428, IDC_ACTION = 1424 };
    enum Mode : int { kOpen = 0, kSave = 1, kDelete = 2 };
    static constexpr const char* kChooseName = "Please Choose a name to save.";

    explicit CNamedItemListDlg(int mode, CWnd* pParent = nullptr);
    BOOL OnInitDialog() override;
    void SetItems(const std::vector<CNameDescItem>& items) { m_items = items; }
    // FALSE for an empty name; otherwise item holds the typed name and
    // description, and isNew tells whether no item has exactly that name.
    BOOL GetChosenItem(CNameDescItem& item, BOOL& isNew) const;

    void OnItemClicked(int row);
    void OnItemDoubleClicked(int row);
    void OnAction();

    QTreeWidget* List() const { return m_list; }

    int m_nMode;
    std::vector<CNameDescItem> m_items;
    QString m_strName;
    QString m_strDescription;

private:
    QTreeWidget* m_list;
    QLineEdit* m_name;
    QLineEdit* m_description;
};

// The table to re-create (373).
class CRecreateTableDlg : public CDialog {
public:
    static constexpr UINT kTemplateId = 373;
    enum : int { IDC_LIST = 374, IDC_TEXT = 375, IDC_SECOND_OK = 3 };

    explicit CRecreateTableDlg(CWnd* pParent = nullptr);
    void AddTable(const QString& name, long id) { m_tables.emplace_back(name, id); }
    INT_PTR DoModal(const QString& caption);
    INT_PTR DoModal() override { return DoModal(m_strCaption); }
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnSecondOK();

    QListWidget* List() const { return m_list; }

    BOOL m_bShowOnly = FALSE;  // the list is only shown: one OK that cancels
    std::vector<std::pair<QString, long>> m_tables;
    int m_nChosen = -1;
    QString m_strCaption;

private:
    QListWidget* m_list;
};

// "Save Template As" (342).
class CSaveTemplateAsDlg : public CDialog {
public:
    static constexpr UINT kTemplateId = 342;
    enum : int { IDC_NAME = 1445, IDC_DESCRIPTION = 1446 };
    static constexpr const char* kBlankName = "The template name cannot be blank.";

    CSaveTemplateAsDlg(const QString& name, const QString& description, CWnd* pParent = nullptr);
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;

    QString m_strName;
    QString m_strDescription;
};

// "Replicate" (245): the new names of the object and where it goes.
class CReplicateDlg : public CDialog {
public:
    static constexpr UINT kTemplateId = 245;
    enum : int {
        IDC_OBJECT = 1131,
        IDC_PROJECTS = 1104,
        IDC_OPEN_FILES = 1086,
        IDC_BATCH = 1087,
        IDC_NEW_NAME = 1452,
        IDC_NEW_SHORT_NAME = 1569,
    };
    static constexpr const char* kEnterName = "Please Enter a Name \n";
    static constexpr const char* kChooseTarget = "Please select the project(s) to replicate to.";

    explicit CReplicateDlg(CWnd* pParent = nullptr);
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
    void OnModeChanged();

    QListWidget* ProjectList() const { return m_projects; }

    // Set by the caller.
    QString m_strObject;
    QString m_strSourceTitle;
    QStringList m_projectTitles;  // the open projects, in the list's order
    bool m_bShowProjectList = true;  // false in database mode
    // The file chooser of batch mode: false on Cancel.
    std::function<bool(QStringList&)> m_chooseFiles;
    // In and out.
    int m_nBatch = 0;  // 0 the open projects of the list, 1 files from disk
    QString m_strNewName;
    QString m_strNewShortName;
    QList<int> m_savedSelection;
    // After OK: project titles, or file paths in batch mode.
    QStringList m_destinations;

private:
    QListWidget* m_projects;
};
