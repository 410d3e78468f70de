#pragma once
// "New Graph - Set Object Information": the index (501..995), name and
// abbreviated name of a graph the user keeps. New mode (existing id 0): the
// graph view asks before it stores a graph in the navigator. Rename mode:
// the dialog opens the existing graph, shows its names and on OK writes the
// new names into it. Every refusal keeps the dialog open with the focus on
// the field at fault; nothing is stored before all checks pass.
#include "CDialog.h"
#include "KernelTypes.h"

class CProject;
class CFormula;
class QLineEdit;

class CNewGraphDlg : public CDialog, public IKernelWindow {
public:
    enum : UINT { IDD = 446, IDC_ID_NUMBER = 1141, IDC_GRAPH_NAME = 1008, IDC_ABBREVIATED_NAME = 1569 };

    CNewGraphDlg(CProject* project, QSID existingId, CWnd* pParent = nullptr);
    ~CNewGraphDlg() override;

    BOOL OnInitDialog() override;
    void OnOK() override;
    void XRefresh(CFormula*, int, long) override {}

    // Results after OK.
    int m_nIndex = 0;
    QString m_strName;
    QString m_strAbbreviatedName;
    int m_nNode = -1;  // always -1

    QLineEdit* IdEdit() const { return m_pId; }
    QLineEdit* NameEdit() const { return m_pName; }
    QLineEdit* AbbreviatedNameEdit() const { return m_pAbbreviated; }

private:
    bool IsRename() const { return m_lExistingId != 0; }
    void Refuse(QLineEdit* edit, const QString& text, UINT type = MB_OK | MB_ICONEXCLAMATION, bool selectAll = false);

    CProject* m_pProject;
    QSID m_lExistingId;
    CFormula* m_pObject = nullptr;
    QLineEdit* m_pId;
    QLineEdit* m_pName;
    QLineEdit* m_pAbbreviated;
};
