// The project document's command table: the file structure, settings,
// user-defined table, flood-fill and graph-lock commands, and those of the
// enterprise database's templates, profile data and print lists. The
// whole-project services that need the running program add theirs through
// the project host (qs::app::ProjectServiceCommands).
#include "ProjectCommandTable.h"

#include "CCmdUI.h"
#include "CProject.h"
#include "CProjectDoc.h"
#include "KernelTypes.h"
#include "ProjectHost.h"

using qs::project::Host;
using namespace qs::cmd;

namespace {

using Doc = CProjectDoc;
using Kind = CProjectDoc::FloodFillKind;
using Entry = CommandEntry<Doc>;

int ApplicationMode() { return Host().applicationMode ? Host().applicationMode() : 0; }

bool IsDatabaseProject(const Doc& doc) {
    return doc.GetProject() != nullptr && doc.GetProject()->Mode() == RM_DATABASE;
}

// The method variables' fill and the busy runs belong to database projects.
std::function<void(Doc&)> OnDatabase(Kind kind, bool run) {
    return [kind, run](Doc& d) {
        if (!IsDatabaseProject(d)) return;
        if (run)
            d.OnRunFloodFill(kind);
        else
            d.OnExecuteFloodFill(kind);
    };
}

const auto kDatabaseOnly = [](Doc& d, CCmdUI* ui) { d.OnUpdateDatabaseOnly(ui); };

// Commands whose work needs the enterprise database or the print lists,
// which this program does not have yet, are enabled by their rule and say
// so when run (NotAvailable).
const Entry kCommands[] = {
    // File
    {.id = kFileClose, .menuText = "&Close", .enabled = Always<Doc>, .handler = [](Doc& d) { d.OnFileClose(); }},
    {.id = kSaveData, .menuText = "&Save Data...\tCtrl+S",
     .update = [](Doc& d, CCmdUI* ui) { d.OnUpdateSaveData(ui); }, .handler = [](Doc& d) { d.OnSaveData(); }},
    {.id = kSaveDataAs, .menuText = "Save &Data As...",
     .update = [](Doc& d, CCmdUI* ui) { d.OnUpdateSaveDataAs(ui); }, .handler = [](Doc& d) { d.SaveProfileData(); }},
    {.id = kSaveTemplate, .menuText = "Save &Template...\tCtrl+T",
     .update = [](Doc& d, CCmdUI* ui) { d.OnUpdateSaveTemplate(ui); },
     .handler = [](Doc& d) { d.OnSaveTemplateCommand(); }},
    {.id = kSaveTemplateAs, .menuText = "S&ave Template As...",
     .update = [](Doc& d, CCmdUI* ui) { d.OnUpdateSaveTemplateAs(ui); },
     .handler = [](Doc& d) { d.SaveTemplateAs(); }},
    {.id = kSaveProfileData, .enabled = Always<Doc>, .handler = [](Doc& d) { d.SaveProfileData(); }},
    {.id = kPageSetup, .menuText = "Pa&ge Setup...", .enabled = [](Doc&) { return Host().editPageSetup != nullptr; },
     .handler = [](Doc& d) { d.OnPageSetup(); }},
    // The project's Print (33094) and print management (33087) are the
    // printing subsystem's: qs::app::ProjectServiceCommands.

    // File Structure
    {.id = kAppendNewEvaluation, .menuText = "Append New E&valuation...", .enabled = Always<Doc>,
     .handler = [](Doc& d) { d.OnAppendNewEvaluation(); }},
    {.id = kRemoveLastEvaluation, .menuText = "&Remove Last Evaluation Period(s)...", .enabled = Always<Doc>,
     .handler = [](Doc& d) { d.OnRemoveLastEvaluation(); }},
    {.id = kAppendOldestExposurePeriod, .menuText = "Append Oldest E&xposure Period", .enabled = Always<Doc>,
     .handler = [](Doc& d) { d.OnAppendOldestExposurePeriod(); }},
    {.id = kRemoveOldestExposurePeriod, .menuText = "Remove &Oldest Exposure Period(s)...", .enabled = Always<Doc>,
     .handler = [](Doc& d) { d.OnRemoveOldestExposurePeriod(); }},
    {.id = kAppendPriorExposurePeriod, .menuText = "Append  &Prior Exposure Period",
     .update = [](Doc& d, CCmdUI* ui) { d.OnUpdateAppendPriorExposurePeriod(ui); },
     .handler = [](Doc& d) { d.OnAppendPriorExposurePeriod(); }},
    {.id = kRemovePriorExposurePeriod, .menuText = "Remove Prior &Exposure Period",
     .update = [](Doc& d, CCmdUI* ui) { d.OnUpdateRemovePriorExposurePeriod(ui); },
     .handler = [](Doc& d) { d.OnRemovePriorExposurePeriod(); }},
    {.id = kAppendDevelopmentPeriod, .prompt = "Append prior development",
     .handler = [](Doc& d) { d.OnAppendDevelopmentPeriod(); }},
    {.id = kCompressColumns, .menuText = "Compress &Columns...",
     .update = [](Doc& d, CCmdUI* ui) { d.OnUpdateCompressColumns(ui); },
     .handler = [](Doc& d) { d.OnCompressColumns(); }},
    {.id = kCompressRows, .menuText = "Compress Ro&ws...",
     .update = [](Doc& d, CCmdUI* ui) { d.OnUpdateCompressRows(ui); }, .handler = [](Doc& d) { d.OnCompressRows(); }},

    // Graph
    {.id = kDefaultStyles, .menuText = "De&fault Styles", .handler = [](Doc& d) { d.OnDefaultStyles(); }},
    {.id = kLockGraph, .update = [](Doc& d, CCmdUI* ui) { d.OnUpdateLockGraph(ui); },
     .handler = [](Doc& d) { d.OnLockGraph(); }},
    {.id = kLockGraphCreation, .menuText = "Lock/Unlock graphs for creation",
     .update = [](Doc& d, CCmdUI* ui) { d.OnUpdateLockGraphCreation(ui); },
     .handler = [](Doc& d) { d.OnLockGraphCreation(); }},
    {.id = kRefreshUserGraphs, .menuText = "Refresh User Defined Graphs",
     .update = [](Doc& d, CCmdUI* ui) { d.OnUpdateRefreshUserGraphs(ui); },
     .handler = [](Doc& d) { d.OnRefreshUserGraphs(); }},

    // Tools
    {.id = kTableMath, .menuText = "&Table Math...", .handler = [](Doc& d) { d.OnTableMath(); }},
    {.id = kNewTable, .menuText = "&New", .update = [](Doc& d, CCmdUI* ui) { d.OnUpdateNewTable(ui); },
     .handler = [](Doc& d) { d.OnNewTable(); }},
    {.id = kEditTable, .menuText = "&Edit", .update = [](Doc& d, CCmdUI* ui) { d.OnUpdateEditTable(ui); },
     .handler = [](Doc& d) { d.OnEditTable(); }},
    {.id = kDeleteTable, .menuText = "&Delete", .update = [](Doc& d, CCmdUI* ui) { d.OnUpdateDeleteTable(ui); },
     .handler = [](Doc& d) { d.OnDeleteTable(); }},
    {.id = kFileLabels, .menuText = "File &Labels...", .handler = [](Doc& d) { d.OnFileLabels(); }},
    {.id = kFileDisplayOptions, .prompt = "File display options", .handler = [](Doc& d) { d.OnFileDisplayOptions(); }},
    {.id = kExhibitOptions, .menuText = "E&xhibit Options...", .handler = [](Doc& d) { d.OnExhibitOptions(); }},
    {.id = kManageSummaryExport, .menuText = "Manage Summary &Export", .update = kDatabaseOnly,
     .handler = NotAvailable<Doc>("Manage Summary Export")},

    // Tools > flood fills
    {.id = kSetUltimatesFloodFill, .menuText = "Ultimate Fl&ood Fill Option...",
     .handler = [](Doc& d) { d.OnSetUltimatesFloodFillOptions(); }},
    {.id = kSetSDFFloodFill, .menuText = "&Selected Development Factors...",
     .handler = [](Doc& d) { d.OnSetSDFFloodFillOptions(false); }},
    {.id = kSetInterpolatedFloodFill, .menuText = "&Interpolated Development Factors...",
     .handler = [](Doc& d) { d.OnSetSDFFloodFillOptions(true); }},
    {.id = kExecuteUltimatesFloodFill, .menuText = "&Execute Ultimates Flood Fill Options",
     .handler = [](Doc& d) { d.OnExecuteFloodFill(Kind::Ultimates); }},
    {.id = kExecuteSDFFloodFill, .handler = [](Doc& d) { d.OnExecuteFloodFill(Kind::SelectedFactors); }},
    {.id = kExecuteInterpolatedFloodFill, .handler = [](Doc& d) { d.OnExecuteFloodFill(Kind::InterpolatedFactors); }},
    {.id = kExecuteMethodVariableFloodFill, .update = kDatabaseOnly, .handler = OnDatabase(Kind::MethodVariables, false)},
    {.id = kRunSDFFloodFill, .menuText = "&Selected Development Factors", .update = kDatabaseOnly,
     .handler = OnDatabase(Kind::SelectedFactors, true)},
    {.id = kRunUltimatesFloodFill, .menuText = "S&elected Ultimates", .update = kDatabaseOnly,
     .handler = OnDatabase(Kind::Ultimates, true)},
    {.id = kRunInterpolatedFloodFill, .menuText = "&Interpolated Development Factors", .update = kDatabaseOnly,
     .handler = OnDatabase(Kind::InterpolatedFactors, true)},
};

}  // namespace

namespace qs::project {

CommandTable<CProjectDoc> ProjectCommands() { return kCommands; }

}  // namespace qs::project

void CProjectDoc::OnUpdateAlwaysEnabled(CCmdUI* ui) { ui->Enable(TRUE); }

void CProjectDoc::OnUpdateSaveTemplate(CCmdUI* ui) { ui->Enable(ApplicationMode() <= 3 && m_bTemplateWrite != 0); }

void CProjectDoc::OnUpdateSaveTemplateAs(CCmdUI* ui) { ui->Enable(ApplicationMode() <= 3); }

void CProjectDoc::OnUpdateSaveData(CCmdUI* ui) { ui->Enable(ApplicationMode() <= 1 && m_bGroupQuery != 0); }

void CProjectDoc::OnUpdateSaveDataAs(CCmdUI* ui) { ui->Enable(ApplicationMode() <= 1); }
