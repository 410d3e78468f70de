// The dialogs the factor copy commands choose with: the selected-factor rows
// of the project, a statistic, and one factor set of a development factor
// library.
#include "CAddFactorSetsDlg.h"
#include "CFSLib.h"
#include "CFillSelectedsDlg.h"
#include "CProject.h"
#include "CProjectDoc.h"
#include "projectservices/ProjectServices.h"

namespace qs::app {

void BindFactorChoosers(ProjectServicesHost& host) {
    host.chooseStatistics = [](CProjectDoc& doc, std::vector<std::uint8_t>& statistic, std::vector<std::int32_t>& columns) {
        CFillSelectedsStatsDlg dialog;
        dialog.m_pProject = doc.GetProject();
        if (dialog.DoModal() != IDOK) return false;
        statistic = dialog.m_stat;
        columns.assign(dialog.m_ids.begin(), dialog.m_ids.end());
        return true;
    };
    host.chooseSelectedColumns = [](CProjectDoc& doc, const QString& caption, std::vector<std::int32_t>& columns) {
        CFillSelectedsFactorSetDlg dialog;
        dialog.m_pProject = doc.GetProject();
        dialog.m_strCaption = caption;
        if (dialog.DoModal() != IDOK) return false;
        columns.assign(dialog.m_ids.begin(), dialog.m_ids.end());
        return true;
    };
    host.chooseFactorSet = [](CProjectDoc& doc, FactorSetChoice& choice) {
        CAddFactorSetsDlg dialog(doc.GetProject(), 1);
        dialog.m_strPurpose = QStringLiteral("Development Factor Sets");
        dialog.setWindowTitle(QStringLiteral("Development Factor Sets"));
        if (dialog.DoModal() != IDOK) return false;
        const QStringList& names = dialog.GetChosenNames();
        if (names.isEmpty() || names.front().isEmpty()) return false;
        choice.setName = names.front();
        const bool database = doc.GetProject() != nullptr && doc.GetProject()->Mode() == RM_DATABASE;
        // A file library is named by the path of its file.
        choice.libraryPath = database ? QString() : dialog.GetLibraryName();
        std::unique_ptr<CFSLib> library = dialog.TakeLibrary();
        if (library == nullptr) return false;
        choice.libraryId = database ? long(library->GetID()) : 0;
        choice.library = std::shared_ptr<CFSLib>(std::move(library));
        return true;
    };
}

}  // namespace qs::app
