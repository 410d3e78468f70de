#pragma once
// "Exhibit Options": the project-wide settings of every exhibit view on five
// pages: statistics rows, selection rows, interpolation set-up, attached
// factor sets and the exhibits that carry statistics. LoadFromProject copies
// the project's settings in; StoreToProject writes them back (after OK
// only). Four pages can save their content as the user's defaults
// (ExhibitDefaultsFiles.h) without touching the project.
#include <QString>
#include <QStringList>

#include <array>
#include <vector>

#include "CFactorSet.h"
#include "CInterpolateSelection.h"
#include "CPropertySheet.h"
#include "CStatistics.h"
#include "ExhibitDialogWidgets.h"
#include "KernelTypes.h"

class CProject;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTreeWidget;

// Statistics.
class CExhibitPropertyPage1 : public CPropertyPage {
public:
    static constexpr UINT kTemplateId = 116;
    enum : int {
        IDC_GRID = 1025,
        IDC_NEW = 1026,
        IDC_DELETE = 1027,
        IDC_MODIFY = 1028,
        IDC_SAVE_DEFAULT = 1188,
        IDC_EXCLUDE_PRIOR = 1369,
        IDC_ABBREVIATE = 1606,
    };
    CExhibitPropertyPage1();

    BOOL OnSetActive() override;
    BOOL OnKillActive() override;

    void OnNew();
    void OnModify();
    void OnDelete();
    void OnSaveAsDefault();
    // Typed text of the Order column: an integer 0 .. 255 (text that is no
    // number reads as 0); false after the message.
    bool CheckTypedOrder(const QString& text);
    // The grid rows sorted by Order and read into m_defs.
    void ReadGrid();

    int m_bExcludePrior = 1;
    int m_bAbbreviate = 0;
    std::vector<CStatistics::Record> m_defs;
    int m_bPriorRowEnabled = 0;

    qs::views::OptionsGrid* Grid() const { return m_grid; }
    QPushButton* ModifyButton() const { return m_modify; }
    QPushButton* DeleteButton() const { return m_delete; }

private:
    void SetUpGrid();
    void FillGrid();
    void WriteRow(int row, const CStatistics::Record& r);
    CStatistics::Record RowRecord(int row) const;
    void UpdateButtons();

    qs::views::OptionsGrid* m_grid = nullptr;
    QCheckBox* m_excludePrior = nullptr;
    QCheckBox* m_abbreviate = nullptr;
    QPushButton* m_modify = nullptr;
    QPushButton* m_delete = nullptr;
    bool m_gridReady = false;
    bool m_moving = false;
};

// Selections.
class CExhibitPropertyPage3 : public CPropertyPage {
public:
    static constexpr UINT kTemplateId = 1539;
    enum : int {
        IDC_SELECTED = 1103,
        IDC_RATIO = 1055,
        IDC_AGE = 1165,
        IDC_BLANK = 1056,
        IDC_HISTORICAL = 1057,
        IDC_COUNT = 1219,
        IDC_SAVE_DEFAULT = 1188,
    };
    CExhibitPropertyPage3();

    BOOL OnSetActive() override;
    BOOL OnKillActive() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void ApplyEnableRules();
    void OnSaveAsDefault();

    int m_bShowSelected = 0;
    int m_bShowRatio = 0;
    int m_bShowAge = 0;
    int m_bShowBlank = 0;
    int m_bShowHistorical = 0;
    int m_nHistoricalCount = 0;

    QCheckBox* Check(int id) const;
    QLineEdit* CountEdit() const { return m_count; }

private:
    QLineEdit* m_count = nullptr;
};

// Interpolation.
class CExhibitInterpolationPropertyPage : public CPropertyPage {
public:
    static constexpr UINT kTemplateId = 399;
    enum : int {
        IDC_GRID = 1619,
        IDC_NEW = 1026,
        IDC_DELETE = 1027,
        IDC_MODIFY = 1028,
        IDC_SAVE_DEFAULT = 1188,
        IDC_ACCIDENT = 1624,
        IDC_POLICY = 1625,
        IDC_DISPLAY = 1626,
        IDC_ABBREVIATE = 1627,
        IDC_USE_IN_METHODS = 1628,
        IDC_FULL_PERIOD = 1634,
        IDC_PARTIAL_PERIOD = 1635,
    };
    CExhibitInterpolationPropertyPage();

    BOOL OnSetActive() override;
    BOOL OnKillActive() override;

    void OnNew();
    void OnModify();
    void OnDelete();
    void OnSaveAsDefault();
    void ReadGrid();

    int m_bDisplay = 0;
    int m_bAbbreviate = 0;
    int m_bUseInMethods = 0;
    std::vector<CInterpolateSelection> m_selections;
    ENUM_PERIOD m_period = PERIOD_ACCIDENT;
    ENUM_ADJ_UNEARNED_EXPOSURE m_adjustment = ADJ_FULL_PERIOD_ULTIMATE;
    CProject* m_pProject = nullptr;

    qs::views::OptionsGrid* Grid() const { return m_grid; }
    QCheckBox* Check(int id) const;
    QRadioButton* Radio(int id) const;

private:
    void FillGrid();
    void RunEditor(int row, bool isNew);

    qs::views::OptionsGrid* m_grid = nullptr;
    bool m_gridReady = false;
};

// Factor sets.
class CExhibitPropertyPage2 : public CPropertyPage {
public:
    static constexpr UINT kTemplateId = 117;
    enum : int { IDC_LIST = 1160, IDC_ADD = 1012, IDC_REMOVE = 1016 };
    CExhibitPropertyPage2();

    BOOL OnSetActive() override;
    void OnAdd();
    void OnRemove();
    void FillList();

    CProject* m_pProject = nullptr;
    QStringList m_libraryNames;
    QStringList m_libraryDescriptions;
    std::vector<CFactorSet> m_sets;

    QTreeWidget* List() const { return m_list; }
    QPushButton* AddButton() const { return m_add; }

private:
    QTreeWidget* m_list = nullptr;
    QPushButton* m_add = nullptr;
};

// Exhibits with and without statistics.
class CExhibitPropertyPage4 : public CPropertyPage {
public:
    static constexpr UINT kTemplateId = 1554;
    enum : int { IDC_WITHOUT = 1129, IDC_WITH = 1118, IDC_ADD = 1130, IDC_DEL = 1088, IDC_SAVE_DEFAULT = 1188 };
    CExhibitPropertyPage4();

    BOOL OnSetActive() override;
    BOOL OnKillActive() override;
    void OnAdd();
    void OnDel();
    void OnSaveAsDefault();

    QSIDArray m_withStats;
    QSIDArray m_second;  // offered on loading; the exhibits without statistics after leaving
    CProject* m_pProject = nullptr;

    QTreeWidget* WithoutList() const { return m_without; }
    QTreeWidget* WithList() const { return m_with; }

private:
    void ReadLists();

    QTreeWidget* m_without = nullptr;
    QTreeWidget* m_with = nullptr;
    bool m_filled = false;
};

class CExhibitPropertySheet : public CPropertySheet {
public:
    explicit CExhibitPropertySheet(CWnd* parent = nullptr);

    // From and to the project of the document (nothing for null). Store
    // writes every setting it can and reports the ones the project refused;
    // false when any was refused.
    void LoadFromProject(CProject* project);
    bool StoreToProject(CProject* project);

    CExhibitPropertyPage1 m_page1;
    CExhibitPropertyPage3 m_page3;
    CExhibitInterpolationPropertyPage m_pageInterpolation;
    CExhibitPropertyPage2 m_page2;
    CExhibitPropertyPage4 m_page4;
};

namespace qs::views {
// The exhibit options command: runs the sheet on the project and, on OK,
// stores it; true when the project changed (the caller refreshes its views).
bool RunExhibitOptions(CProject* project, CWnd* parent = nullptr);
}  // namespace qs::views
