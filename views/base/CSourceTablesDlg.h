#pragma once
// "Source Table(s)": the sources of one kernel object, each with its layer,
// to choose the one to open. "&Go To" (OK) is enabled while a source is
// selected; a double click acts as "&Go To". After OK the caller reads the
// chosen id (its layer still in it) and layer.
#include <QString>

#include "CDialog.h"
#include "KernelTypes.h"

class CFormula;
class CProject;
class QTreeWidget;
class QTreeWidgetItem;

class CSourceTablesDlg : public CDialog {
public:
    static constexpr UINT kTemplateId = 180;
    enum : int { IDC_LIST = 1104 };

    explicit CSourceTablesDlg(CWnd* pParent = nullptr);
    BOOL OnInitDialog() override;
    void OnOK() override;

    // The image (by index of the kind icons) of a source id; -1 for a kind
    // without one.
    static int ImageOf(QSID id);
    // "Source Data for " and the object's name.
    static QString TitleFor(const CFormula& object);

    QTreeWidget* List() const { return m_list; }

    CProject* m_pProject = nullptr;
    CFormula* m_pObject = nullptr;
    QSID m_lChosenId = 0;
    unsigned short m_nChosenLayer = 0;

private:
    void OnItemChanged();
    void OnDoubleClick(QTreeWidgetItem* item);

    QTreeWidget* m_list;
};
