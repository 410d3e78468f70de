// The project document's command table: the shared enabling rules, the
// commands of the enterprise database's templates and profile data, the
// print-list commands and the document's close. The other entries of the
// table are mapped next to their handlers (periods, user-defined tables,
// flood fills, settings, graph locks) and, for the whole-project services
// that need the running program, through the project host.
#include "CCmdUI.h"
#include "CProject.h"
#include "CProjectDoc.h"
#include "CommandIds.h"
#include "CommandNotAvailable.h"
#include "KernelTypes.h"
#include "ProjectHost.h"

using qs::project::Host;

namespace {

int ApplicationMode() { return Host().applicationMode ? Host().applicationMode() : 0; }

// Commands whose work needs the enterprise database or the print lists,
// which this program does not have yet: they are enabled by their rule and
// say so when run.
struct PendingCommand {
    UINT id;
    const char* name;
};
constexpr PendingCommand kPendingCommands[] = {
    {370, "Manage Summary Export"},   {33058, "Save Template"},       {33059, "Save Template As"},
    {33086, "Save Profile Data"},     {33087, "Manage Printing"},     {33089, "Save Data"},
    {33090, "Save Data As"},          {33094, "Print"},
};

}  // namespace

void CProjectDoc::OnUpdateAlwaysEnabled(CCmdUI* ui) { ui->Enable(TRUE); }

void CProjectDoc::OnUpdateSaveTemplate(CCmdUI* ui) { ui->Enable(ApplicationMode() <= 3 && m_bTemplateWrite != 0); }

void CProjectDoc::OnUpdateSaveTemplateAs(CCmdUI* ui) { ui->Enable(ApplicationMode() <= 3); }

void CProjectDoc::OnUpdateSaveData(CCmdUI* ui) { ui->Enable(ApplicationMode() <= 1 && m_bGroupQuery != 0); }

void CProjectDoc::OnUpdateSaveDataAs(CCmdUI* ui) { ui->Enable(ApplicationMode() <= 1); }

// CProjectDoc.cpp maps it with the document's other commands.
void MapProjectCommandTable(CProjectDoc& doc) {
    for (const PendingCommand& c : kPendingCommands) {
        const QString name = QString::fromLatin1(c.name);
        doc.MapCommand(c.id, [name] { qs::project::ShowCommandNotAvailable(name); });
    }
    const auto always = [&doc](CCmdUI* ui) { doc.OnUpdateAlwaysEnabled(ui); };
    for (UINT id : {UINT(ID_FILE_CLOSE), 32796u, 32803u, 32804u, 32805u, 32874u, 32875u, 32876u, 32898u, 32939u, 32940u,
                    32941u, 32964u, 33086u})
        doc.MapUpdateCommand(id, always);
    // The database's flood-fill runs take the same rule with their commands.
    doc.MapUpdateCommand(370, [&doc](CCmdUI* ui) { doc.OnUpdateDatabaseOnly(ui); });
    doc.MapUpdateCommand(33058, [&doc](CCmdUI* ui) { doc.OnUpdateSaveTemplate(ui); });
    doc.MapUpdateCommand(33059, [&doc](CCmdUI* ui) { doc.OnUpdateSaveTemplateAs(ui); });
    doc.MapUpdateCommand(33089, [&doc](CCmdUI* ui) { doc.OnUpdateSaveData(ui); });
    doc.MapUpdateCommand(33090, [&doc](CCmdUI* ui) { doc.OnUpdateSaveDataAs(ui); });
}
