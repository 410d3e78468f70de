#pragma once
// "Attach Reports": the reports (category 7000) a user-defined method
// carries, chosen from the project's reports in two lists, the reports not
// attached on the left and the attached ones, in their order, on the right.
// The caller sets m_links and m_pProject, runs it and, on OK, takes m_links.
#include <QString>

#include "CDialog.h"
#include "KernelTypes.h"

class CProject;
class QCheckBox;
class QTreeWidget;

class CAttachReportsDlg : public CDialog {
public:
    static constexpr UINT kTemplateId = 181;
    enum : int { IDC_REPORTS = 1129, IDC_ATTACHED = 1118, IDC_ATTACH = 1130, IDC_DETACH = 1088, IDC_ONLY_WITH_DATA = 1168 };

    explicit CAttachReportsDlg(CWnd* pParent = nullptr);
    BOOL OnInitDialog() override;
    void OnOK() override;

    void OnAttach();
    void OnDetach();
    // Refills the left list (all reports, or only those holding data).
    void FillReports();

    QTreeWidget* Reports() const { return m_left; }
    QTreeWidget* Attached() const { return m_right; }

    QSIDArray m_links;
    CProject* m_pProject = nullptr;
    QString m_strCaption = QStringLiteral("Attach Reports");
    int m_bOnlyWithData = 0;

private:
    void Move(QTreeWidget* from, QTreeWidget* to);
    QTreeWidget* m_left;
    QTreeWidget* m_right;
    QCheckBox* m_onlyWithData;
};
