// Templates in the enterprise database: Save Template, Save Template As,
// the close prompt, the modified state, and the check of the referenced
// factor sets when a template is loaded.
#include <QApplication>
#include <QRegularExpression>

#include <map>
#include <memory>

#include "CFSLib.h"
#include "CFactorSet.h"
#include "CKDVVantor.h"
#include "CProject.h"
#include "CProjectDoc.h"
#include "DatabaseManager.h"
#include "KernelGlobals.h"
#include "MessageBox.h"
#include "ProjectHost.h"

using qs::project::Host;

namespace {

constexpr const char* kCaptionQuestion = "Quillstone Enterprise...";
constexpr const char* kCaptionError = "Quillstone Enterprise Error...";

QWidget* Foreground() { return QApplication::activeWindow(); }

int Ask(const QString& text, const char* caption, UINT type) {
    return MessageBox(Foreground(), text, QString::fromUtf8(caption), type | MB_SETFOREGROUND);
}

int Mode() { return qs::project::ApplicationMode(); }

// The failure of a store, with the database's reason when it gave one.
QString WithReason(const QString& text, const std::string& reason) {
    return reason.empty() ? text : text + QStringLiteral("\n\n") + QString::fromStdString(reason);
}

}  // namespace

CKDVTemplate* CProjectDoc::DatabaseTemplate() const {
    CKDVVantor* vantor = m_pProject ? m_pProject->GetCKDVVantor() : nullptr;
    return vantor ? vantor->GetTemplate() : nullptr;
}

CKDVData* CProjectDoc::DatabaseData() const {
    CKDVVantor* vantor = m_pProject ? m_pProject->GetCKDVVantor() : nullptr;
    return vantor ? vantor->GetData() : nullptr;
}

void CProjectDoc::OnSaveTemplateCommand() {
    if (Mode() == 2) SaveTemplateAs();
    else SaveTemplate();
}

BOOL CProjectDoc::SaveTemplate() {
    BOOL allowed = FALSE;
    if (!CheckPermission(qs::db::kKindTemplates, qs::db::kPermissionUpdate, allowed)) {
        AfxMessageBox(QStringLiteral("Error while validating object permission!"), MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
    if (!allowed) {
        AfxMessageBox(QString::fromUtf8(qs::project::text::kNoPermission), MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
    CKDVTemplate* templ = DatabaseTemplate();
    if (templ == nullptr || !m_pDataAccess || !m_pConnection) return FALSE;
    const long id = templ->GetID();
    const long found = m_pDataAccess->FindRecord(QStringLiteral("TEMPLATE_TBL"), QStringLiteral("TEMPLATE_ID"), id);
    if (found == qs::db::kOk && id > 0) {
        const bool stored = templ->Save();
        if (stored && Mode() == 2 && Host().setApplicationMode) Host().setApplicationMode(3);
        if (!stored) ReportMessage(WithReason(QStringLiteral("Unable to save the template to the database!"), templ->GetLastError()));
        UpdateAllViews(nullptr, 1);
        return stored ? TRUE : FALSE;
    }
    // Deleted by another user meanwhile: it is stored as a new template.
    if (found == qs::db::kNotFound) return SaveTemplateAs();
    AfxMessageBoxIfVisible(QStringLiteral("Unable to save the template to the database!"), MB_OK | MB_ICONEXCLAMATION);
    return FALSE;
}

BOOL CProjectDoc::SaveTemplateAs() {
    if (gSecAttribs.activeGroup == 0) {
        AfxMessageBox(QString::fromUtf8(qs::project::text::kNotInGroup), MB_OK | MB_SETFOREGROUND);
        return FALSE;
    }
    CKDVTemplate* templ = DatabaseTemplate();
    QString name = templ ? QString::fromStdString(templ->GetName()) : QString();
    const QString description = templ ? QString::fromStdString(templ->GetDescription()) : QString();
    if (name.isEmpty()) {
        name = GetTitle();
        if (name.isEmpty()) name = QStringLiteral("New Template");
        static const QRegularExpression projectExtension(QStringLiteral("\\.qs[1-5]$"),
                                                         QRegularExpression::CaseInsensitiveOption);
        if (projectExtension.match(name).hasMatch()) name.chop(4);
    }
    return SaveTemplateAsDialog(name, description);
}

BOOL CProjectDoc::SaveTemplateAsDialog(const QString& nameIn, const QString& descriptionIn) {
    QString name = nameIn, description = descriptionIn;
    // The dialog comes back with the entered texts for as long as the
    // chosen name cannot be used.
    for (;;) {
        if (!Host().saveTemplateAsDialog || !Host().saveTemplateAsDialog(name, description)) return FALSE;
        CKDVTemplate* templ = DatabaseTemplate();
        if (templ == nullptr) return FALSE;
        long userId = 0;
        if (!m_pDataAccess || m_pDataAccess->CurrentUserId(userId) < 0) {
            ReportMessage(QStringLiteral("Could not get the user id to attach to the template!"));
            return FALSE;
        }
        const int modeOnEntry = Mode();
        const long idOnEntry = templ->GetID();
        templ->SaveProperties();
        templ->SetName(name.toStdString());
        templ->SetDescription(description.toStdString());
        templ->SetUserID(userId);
        long existing = -1;
        bool stored = false;
        if (templ->CheckForTemplateNameInUse(name.toStdString(), existing) && existing != idOnEntry) {
            BOOL allowed = FALSE;
            const bool mayUpdate = CheckObjectPermission(existing, qs::db::kKindTemplates, qs::db::kPermissionUpdate,
                                                         allowed) &&
                                   allowed;
            if (mayUpdate) {
                if (AfxMessageBox(QStringLiteral("Template [%1] exists. Do you want to overwrite?").arg(name), MB_YESNO) !=
                    IDYES) {
                    // Asked again, the template keeps its old name meanwhile.
                    templ->RestoreProperties();
                    continue;
                }
                templ->SetID(existing);
                stored = templ->Save();
                if (!stored) templ->SetID(idOnEntry);
            } else {
                AfxMessageBox(QStringLiteral("Template [%1] exists but you have not been granted permission to update "
                                             "this component.\nSee component's Access Properties for more information.")
                                  .arg(name),
                              MB_OK);
                templ->RestoreProperties();
                continue;
            }
        } else {
            stored = templ->SaveAs(true);
        }
        if (stored && modeOnEntry == 2 && Host().setApplicationMode) Host().setApplicationMode(3);
        if (!stored) {
            const std::string why = templ->GetLastError();
            templ->RestoreProperties();
            ReportMessage(WithReason(QStringLiteral("Unable to save the template to the database!"), why));
        }
        UpdateTitle();
        UpdateAllViews(nullptr);
        return stored ? TRUE : FALSE;
    }
}

int CProjectDoc::PromptSaveTemplate() {
    CKDVTemplate* templ = DatabaseTemplate();
    if (templ == nullptr) return 1;
    RefreshTemplateWriteAccess();
    const QString name = QString::fromStdString(templ->GetName());
    QString reason;
    bool isNew = false;
    if (Mode() == 2 && (name.isEmpty() || name.startsWith(QStringLiteral("DUPLICATE")))) {
        reason = QStringLiteral("is new.");
        isNew = true;
    } else if (templ->HasTemplateChanged()) {
        if (m_bTemplateWrite) {
            reason = QStringLiteral("has changed.");
        } else {
            const int answer = MessageBox(Foreground(),
                                          QStringLiteral("You do not have sufficient permissions on this template to "
                                                         "update it.  \n\nTemplate changes will not be saved!. Do you "
                                                         "want to continue?"),
                                          QString::fromUtf8(kCaptionQuestion), MB_YESNOCANCEL | MB_ICONINFORMATION);
            return answer == IDYES ? 0 : 1;
        }
    } else if (m_bFactorSetChanged) {
        reason = QStringLiteral("has changed due to changes in DFL(s) or Factor Set(s).\n\n");
    }
    if (reason.isEmpty()) return 0;
    const QString text = name.isEmpty() ? QStringLiteral("Template %1  Do you want to save it?").arg(reason)
                                         : QStringLiteral("Template [%1] %2  Do you want to save it?").arg(name, reason);
    switch (AfxMessageBox(text, MB_YESNOCANCEL)) {
    case IDYES: return (isNew ? SaveTemplateAs() : SaveTemplate()) ? 0 : 1;
    // Cancel stops the close: the changes are still there to be saved.
    case IDCANCEL: return 1;
    default: return 0;
    }
}

BOOL CProjectDoc::GetModifiedState(int& state) {
    BOOL dataChanged = FALSE;
    return GetModifiedStateEx(state, dataChanged);
}

BOOL CProjectDoc::GetModifiedStateEx(int& state, BOOL& dataChanged) {
    state = 0;
    CKDVTemplate* templ = DatabaseTemplate();
    CKDVData* data = DatabaseData();
    if (templ == nullptr || data == nullptr) return FALSE;
    if (templ->HasTemplateChanged()) state |= 1;
    if (data->HasDataChanged()) {
        state |= 2;
        dataChanged = TRUE;
    }
    return TRUE;
}

// ---------------------------------------------------------------- factor sets of a loaded template

BOOL CProjectDoc::CheckFactorSetChanges() {
    if (m_pProject == nullptr) return TRUE;
    if (m_pProject->GetTemplateVersion() < 3.1) return TRUE;
    std::vector<CFactorSet> sets;
    QSStringArray libraries, names;
    m_pProject->GetFSList(sets, libraries, names);
    m_bFactorSetChanged = 0;
    if (sets.empty()) return TRUE;
    ReferencedFactorSets refs;
    refs.libraries = libraries;
    refs.names = names;
    refs.sets.resize(sets.size());
    refs.changed.assign(sets.size(), false);
    for (std::size_t i = 0; i < sets.size(); ++i) refs.sets[i] = std::make_unique<CFactorSet>(sets[i]);
    if (!CheckReferencedFactorSets(refs)) return FALSE;

    bool deleted = false;
    QString list;
    for (std::size_t i = 0; i < refs.sets.size(); ++i) {
        if (!refs.sets[i]) deleted = true;
        else if (refs.changed[i]) {
            m_bFactorSetChanged = 1;
            list += QString::fromStdString(refs.libraries[i]) + QStringLiteral(" - ") +
                    QString::fromStdString(refs.names[i]) + QStringLiteral("\n");
        }
    }
    if (m_bFactorSetChanged &&
        Ask(QStringLiteral("Changes have been made to factor values in referenced Factor Set(s): \n\n%1\n\nApply these "
                           "changes to current template?")
                .arg(list),
            kCaptionQuestion, MB_YESNO | MB_ICONQUESTION) == IDNO)
        m_bFactorSetChanged = 0;
    if (deleted || m_bFactorSetChanged) {
        // Gone sets leave the list; changed ones take the stored values when
        // the user agreed, and keep the template's copy otherwise.
        std::vector<CFactorSet> kept;
        QSStringArray keptLibraries, keptNames;
        for (std::size_t i = 0; i < refs.sets.size(); ++i) {
            if (!refs.sets[i]) continue;
            kept.push_back(refs.changed[i] && !m_bFactorSetChanged ? sets[i] : *refs.sets[i]);
            keptLibraries.push_back(refs.libraries[i]);
            keptNames.push_back(refs.names[i]);
        }
        m_pProject->SetFSList(kept, keptLibraries, keptNames);
        UpdateAllViews(nullptr, 1);
        const QString why =
            deleted && m_bFactorSetChanged
                ? QStringLiteral("Template has changed due to changes in both DFL factors\nand deleted Factor "
                                 "Library(s)/Factor Set(s)! \n\n")
            : deleted ? QStringLiteral("Template has changed due to deleted Factor Library(s)/Factor Set(s)! \n\n")
                      : QStringLiteral("Template has changed due to changes in DFL factors! \n\n");
        if (Ask(QStringLiteral("%1Save template changes to database?").arg(why), kCaptionQuestion,
                MB_YESNO | MB_ICONQUESTION) == IDYES)
            SaveTemplate();
    }
    m_bFactorSetChanged = 0;
    return TRUE;
}

BOOL CProjectDoc::CheckReferencedFactorSets(ReferencedFactorSets& refs) {
    CFSLib database;
    if (database.InitProjectWithDBManager(m_pProject->GetDBManager()) < 0) return FALSE;
    std::uint16_t numDev = 0, firstAge = 0;
    PRDLENGTH devLength = PRD_YEAR;
    m_pProject->GetInfoDevPrd(numDev, devLength, firstAge);
    const bool interactive = qs::project::IsInteractive();
    const bool templateSession = !interactive && Mode() >= 1 && Mode() <= 3;
    std::map<std::string, std::unique_ptr<CFSLib>> loaded;  // by library name
    // "Continue batch processing?": No stops the check at once.
    auto carryOn = [](const QString& text) { return Ask(text, kCaptionError, MB_YESNO | MB_ICONQUESTION) == IDYES; };
    for (std::size_t i = 0; i < refs.sets.size(); ++i) {
        const std::string& libraryName = refs.libraries[i];
        const QString library = QString::fromStdString(libraryName);
        const QString setName = QString::fromStdString(refs.names[i]);
        auto it = loaded.find(libraryName);
        if (it == loaded.end()) {
            auto lib = std::make_unique<CFSLib>();
            lib->InitProjectWithDBManager(m_pProject->GetDBManager());
            if (!lib->GetDFLfromDB(libraryName)) {
                refs.sets[i].reset();
                if (Mode() == 2 || Mode() == 3) {
                    MessageBox(Foreground(),
                               QStringLiteral("DFL [%1] not found in database!\nAny reference to this DFL will be removed "
                                              "from the template.")
                                   .arg(library),
                               QString::fromUtf8(kCaptionError), MB_OK | MB_ICONEXCLAMATION);
                } else if (!carryOn(QStringLiteral("DFL [%1] not found in database!\nAny reference to this DFL will be "
                                                   "removed from the template. \n\n\tContinue batch processing?")
                                        .arg(library))) {
                    return FALSE;
                }
                continue;
            }
            if (!lib->LoadFactorSetsFromDB(lib->GetID())) {
                refs.sets[i].reset();
                if (!carryOn(QStringLiteral("No factor sets found in DFL [%1]!\nAny reference to this DFL will be "
                                            "removed from the template. \n\n\tContinue batch processing?")
                                 .arg(library)))
                    return FALSE;
                continue;
            }
            it = loaded.emplace(libraryName, std::move(lib)).first;
        }
        CFactorSet* stored = nullptr;
        it->second->GetFactorSet(refs.names[i], stored);
        if (stored == nullptr) {
            refs.sets[i].reset();
            if (!carryOn(QStringLiteral("Factor Set [%1] not found in DFL [%2]!\nAny reference to this Factor Set will "
                                        "be removed from the template. \n\n\tContinue batch processing?")
                             .arg(setName, library)))
                return FALSE;
            continue;
        }
        if (!templateSession && !stored->CanAdjustSize(numDev, devLength, firstAge, 0, 0, 1)) {
            refs.sets[i].reset();
            if (!carryOn(QStringLiteral("Factor Set [%1] in DFL [%2]\nis not compatible with the project structure!\nAny "
                                        "reference to this Factor Set will be removed from the template. "
                                        "\n\n\tContinue batch processing?")
                             .arg(setName, library)))
                return FALSE;
            continue;
        }
        if (!stored->CompareDFList(*refs.sets[i])) {
            refs.changed[i] = true;
            *refs.sets[i] = *stored;
        }
    }
    return TRUE;
}
