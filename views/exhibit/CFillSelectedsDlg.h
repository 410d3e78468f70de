#pragma once
// The fill-selecteds dialogs: the user picks, across the project, the
// selected-factor rows (a table on a layer) that a project command fills in
// one go. "Fill Selecteds with Statistics" also asks for the statistic; the
// factor-set dialog ("Fill Selecteds with Factor Set" or "Copy Selecteds to
// Factor Set", the caption set by the caller) only picks the targets.
// After OK: m_ids (each a table's id with the chosen layer), and the
// statistic's 8 bytes or the "Only with data" value.
#include <QString>

#include <vector>

#include "CDialog.h"
#include "KernelTypes.h"

class CProject;
class QTreeWidget;

class CFillSelectedsBase : public CDialog {
public:
    enum : int { IDC_AVAILABLE = 1129, IDC_CHOSEN = 1118, IDC_ADD = 1130, IDC_DEL = 1088 };
    static constexpr QSID kRootNode = 2000;

    CFillSelectedsBase(UINT templateId, CWnd* pParent);

    BOOL OnInitDialog() override;
    void OnAdd();
    void OnDel();

    CProject* m_pProject = nullptr;
    QSIDArray m_ids;

    QTreeWidget* Available() const { return m_available; }
    QTreeWidget* Chosen() const { return m_chosen; }

protected:
    // Whether the table-layer pair is offered, given whether it has data.
    virtual bool Offers(bool hasData) const = 0;
    virtual int OnlyWithDataFlag() const { return 0; }
    // Takes the chosen targets; false (after the message) when there are none.
    bool TakeTargets();
    QWidget* ListsWidget() const { return m_lists; }

private:
    void AddNode(QSID node);

    bool m_bWalkingExhibits = false;
    QWidget* m_lists = nullptr;
    QTreeWidget* m_available = nullptr;
    QTreeWidget* m_chosen = nullptr;
};

class CFillSelectedsStatsDlg : public CFillSelectedsBase {
public:
    static constexpr UINT kTemplateId = 246;
    enum : int {
        IDC_TYPE = 1039,
        IDC_INCLUDE_ZEROS = 1030,
        IDC_EXCLUDE_HILO = 1031,
        IDC_EXCLUDE_FIRST = 1032,
        IDC_EXCLUDE_LAST = 1033,
        IDC_USE_LAST = 1036,
        IDC_WEIGHTS = 1038,
    };
    explicit CFillSelectedsStatsDlg(CWnd* pParent = nullptr);

    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;

    int m_nType = 0, m_bIncludeZeros = 0, m_bExcludeHiLo = 0;
    int m_nExcludeFirst = 0, m_nExcludeLast = 0, m_nUseLast = 0, m_nWeights = 0;
    std::vector<std::uint8_t> m_stat;  // 8 bytes after OK

protected:
    bool Offers(bool hasData) const override { return hasData; }
};

class CFillSelectedsFactorSetDlg : public CFillSelectedsBase {
public:
    static constexpr UINT kTemplateId = 1553;
    enum : int { IDC_ONLY_WITH_DATA = 1168 };
    explicit CFillSelectedsFactorSetDlg(CWnd* pParent = nullptr);

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;

    int m_bOnlyWithData = 0;
    // 1: only targets with data are listed (filling from a set).
    int m_bListWithDataOnly = 0;
    QString m_strCaption;

protected:
    bool Offers(bool hasData) const override { return m_bListWithDataOnly == 0 || hasData; }
    int OnlyWithDataFlag() const override { return m_bOnlyWithData; }
};
