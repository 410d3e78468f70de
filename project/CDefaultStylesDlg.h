#pragma once
// "Default Styles": the chart style a new graph of each kind of table takes,
// chosen from the style files installed under the working directory's
// "styles" folder (a file project) or the database's graph style records (a
// database project). It edits the project's default styles in place; OK
// marks the project changed when a style differs other than by letter case.
#include <QStringList>

#include "CDialog.h"

class CGraphDefaultStyles;
class CProject;
class QComboBox;

class CDefaultStylesDlg : public CDialog {
public:
    static constexpr UINT kTemplateId = 295;
    enum : int { IDC_FIRST_STYLE = 1292 };  // 1292 .. 1297 in the order of CGraphDefaultStyles

    explicit CDefaultStylesDlg(CProject* project, CWnd* pParent = nullptr);

    BOOL OnInitDialog() override;
    void OnOK() override;

    // The list of a kind (0 .. 5).
    QComboBox* StyleList(int kind) const { return m_lists[kind]; }
    // The names a list offers for the current style (the rules above).
    QStringList AvailableStyles(const QString& current) const;

private:
    CProject* m_pProject;
    CGraphDefaultStyles* m_pStyles;
    QComboBox* m_lists[6] = {};
};
