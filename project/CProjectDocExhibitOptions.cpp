// The project document's exhibit settings commands: the exhibit options
// sheet and the flood-fill settings of selected and interpolated factors.
#include "CProjectDoc.h"

#include "CExhibitPropertySheet.h"
#include "CFloodFillSettingsDlg.h"
#include "CProject.h"
#include "WaitCursor.h"

namespace {

constexpr UINT kExhibitOptions = 32883;
constexpr UINT kSelectedFloodFillSettings = 33056;
constexpr UINT kInterpolatedFloodFillSettings = 33095;

}  // namespace

void MapExhibitOptionsCommands(CProjectDoc& doc) {
    doc.MapCommand(kExhibitOptions, [&doc] {
        if (!qs::views::RunExhibitOptions(doc.GetProject())) return;
        CWaitCursor wait;
        doc.UpdateAllViews(nullptr, 1);
    });
    doc.MapCommand(kSelectedFloodFillSettings, [&doc] { qs::views::RunFloodFillSettings(doc.GetProject(), false); });
    doc.MapCommand(kInterpolatedFloodFillSettings, [&doc] { qs::views::RunFloodFillSettings(doc.GetProject(), true); });
}
