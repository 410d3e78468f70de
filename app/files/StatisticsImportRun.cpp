#include "files/StatisticsImportRun.h"

#include <QFileInfo>
#include <QSet>

#include <memory>

#include "CArchive.h"
#include "CHDate.h"
#include "CProject.h"
#include "CWinApp.h"
#include "CWnd.h"
#include "WaitCursor.h"
#include "WindowMessages.h"
#include "files/ProjectStreamFile.h"
#include "frames/CMainFrame.h"

namespace qs::app {
namespace {

const QString kSeparator = QStringLiteral("--------------------------------------------------------------------------------");

// Hands the engine back on every way out of the run.
struct EngineGuard {
    ReleaseLexigroveInstanceFn release;
    ~EngineGuard() {
        if (release) release();
    }
};

QString Reason(QSSTATUS status) {
    switch (status) {
    case CProject::LS_UNSUPPORTED: return QStringLiteral("This is an unsupported file format.\r\n");
    case CProject::LS_RESOURCES:
        return QStringLiteral("An error occured while loading file.\nTry closing other applications and or files and try again.\r\n");
    case CProject::LS_CONVERSION: return QStringLiteral("An error occurred during conversion of the PC5 file.\r\n");
    default: return QStringLiteral("An error occurred during file load.\r\n");
    }
}

// Writes the project as a new compound file and lets go of the storage at
// once, so the file is complete and unlocked when this returns.
bool SaveProject(CProject& project, const QString& path, StatisticsImportHost& host) {
    CWaitCursor wait;
    try {
        std::unique_ptr<CProjectStreamFile> file = CreateProjectStreamFile(path.toStdString());
        if (!file) {
            host.write(QStringLiteral("ERROR: File cannot be saved....file skipped."));
            return false;
        }
        {
            CArchive ar(file.get(), CArchive::store, 4096);
            project.Archive(ar, 1);
            ar.Close();
        }
        file->Close();
        ReleaseStorage();
        host.write(QStringLiteral("File saved successfully."));
        return true;
    } catch (...) {
        ReleaseStorage();
        host.write(QStringLiteral("ERROR: ") + QStringLiteral("Unable to open file: ") + path +
                   Reason(project.GetLoadStatus()) + QStringLiteral("....file skipped.\r\n"));
        return false;
    }
}

std::unique_ptr<CProject> NewProject(const StatisticsImportChoices& c, int year, const QString& yearText,
                                     const QString& company, const QString& lob) {
    auto project = std::make_unique<CProject>();
    project->SetIncludesPrior(c.priorRow);
    std::uint16_t generation = 5, numExp = c.priorRow ? 11 : 10,
                  firstYear = static_cast<std::uint16_t>(year - (c.priorRow ? 10 : 9)), firstInterval = 1,
                  numDev = c.priorRow ? 11 : 10, firstAge = 12;
    PRDLENGTH expLength = PRD_YEAR, devLength = PRD_YEAR;
    LAYERNAMES calc1 = CEDED, calc2 = ASSUMED;
    if (project->Create(generation, numExp, expLength, firstYear, firstInterval, numDev, devLength, firstAge, calc1,
                        calc2) != 0)
        return nullptr;
    if (c.oneFilePerPair) {
        CHDate asOf;
        const QByteArray text = QStringLiteral("12/31/%1").arg(yearText).toLatin1();
        asOf.Parse(text.constData(), text.size(), 0);
        project->SetAsOfDate(asOf);
        project->SetCompanyName(company.toStdString());
        project->SetDescription(lob.toStdString());
        project->SetComment("Loss data includes LAE.\nSource: statistics database annual statement data.");
    } else {
        project->SetComment("Loss data includes LAE.\nSource: the sum of statistics database annual statement data.");
    }
    return project;
}

}  // namespace

std::vector<QString> RunStatisticsImport(const StatisticsImportChoices& choices, StatisticsImportHost& host) {
    std::vector<QString> written;
    if (!host.write) host.write = [](const QString&) {};
    auto* frame = dynamic_cast<CMainFrame*>(AfxGetMainWnd());
    EngineGuard guard{host.release};
    auto abort = [&](const char* what) {
        host.write(QStringLiteral("ERROR:  Could not obtain the %1.  Import aborted").arg(QLatin1String(what)));
        return written;
    };
    IStatisticsDb* db = nullptr;
    if (!host.get || host.get(&db) != 0 || !db) return abort("statistics database interface pointer");
    ICompanyList* companies = nullptr;
    ILOBMap* lobs = nullptr;
    const char* yearText = nullptr;
    int count = 0;
    if (db->GetCompanyList(&companies) != 0 || !companies || companies->GetCount(&count) != 0)
        return abort("company map");
    if (db->GetLOBMap(&lobs) != 0 || !lobs) return abort("line of business map");
    if (db->GetDataYear(&yearText) != 0 || !yearText || !*yearText) return abort("year of statement");
    const QString year = QString::fromLatin1(yearText);
    const int yearNumber = year.toInt();

    if (frame) frame->SetStatusMessage(QStringLiteral("Importing data from the statistics database..."));
    if (CWnd* main = AfxGetMainWnd()) main->SendMessage(WM_USER + 2, 0, 0);
    host.write(QStringLiteral("Import from the statistics database started."));

    QString folder = choices.folder;
    if (!folder.endsWith('/')) folder += '/';

    struct Pair {
        long company, lob;
        QString target;
    };
    std::vector<Pair> pairs;
    for (long c : choices.companies)
        for (long l : choices.lobs) {
            const char* name = nullptr;
            long number = 0;
            const char* code = nullptr;
            if (companies->GetEntry(static_cast<int>(c), &name, &number) != 0 ||
                lobs->GetColumn1(static_cast<int>(l), &code) != 0) {
                pairs.push_back({c, l, QString()});
                continue;
            }
            QString target;
            if (choices.oneFilePerPair) {
                const QString codeText = QString::fromLatin1(code);
                target = folder + codeText + (codeText.size() == 1 ? QStringLiteral("_") : QString()) +
                         year.right(1) + QString::asprintf("%05ld", number) + QStringLiteral(".qs5");
            } else {
                target = folder + choices.summaryFileName;
            }
            pairs.push_back({c, l, target});
        }

    // First pass: what to do with targets that exist.
    bool replaceAll = false, skipAll = false;
    QSet<QString> skipped, asked;
    for (const Pair& p : pairs) {
        if (p.target.isEmpty() || asked.contains(p.target) || !QFileInfo::exists(p.target)) continue;
        asked.insert(p.target);
        if (replaceAll) continue;
        if (skipAll) {
            skipped.insert(p.target);
            continue;
        }
        const int answer =
            host.askConflict ? host.askConflict(QStringLiteral("%1 already exists.  Please select an option below.").arg(p.target))
                             : 4;
        if (answer == 1) replaceAll = true;
        else if (answer == 2) skipped.insert(p.target);
        else if (answer == 3) {
            skipped.insert(p.target);
            skipAll = true;
        } else if (answer != 0) {
            host.write(QStringLiteral("Import operation cancelled by the user."));
            if (CWnd* main = AfxGetMainWnd()) main->SendMessage(WM_USER, 0, 0);
            return written;
        }
    }

    // Second pass: import and write.
    bool errors = false;
    std::unique_ptr<CProject> summed;
    int summedPairs = 0;
    for (const Pair& p : pairs) {
        const char* name = nullptr;
        long number = 0;
        if (companies->GetEntry(static_cast<int>(p.company), &name, &number) != 0) {
            host.write(QStringLiteral("ERROR:  Error retrieving company information.  Company cannot be identified and will be skipped."));
            errors = true;
            continue;
        }
        const char *code = nullptr, *lobText = nullptr;
        if (lobs->GetColumn1(static_cast<int>(p.lob), &code) != 0 || lobs->GetColumn3(static_cast<int>(p.lob), &lobText) != 0) {
            host.write(QStringLiteral("ERROR:  Error retrieving line of business information. Line of business cannot be identified and will be skipped."));
            errors = true;
            continue;
        }
        const QString company = QString::asprintf("%05ld ", number) + QString::fromUtf8(name);
        const QString lob = QString::fromUtf8(lobText);
        host.write(kSeparator);
        host.write(QStringLiteral("File name..........") + p.target);
        host.write(QStringLiteral("Company............") + company);
        host.write(QStringLiteral("Line of Business...") + lob);
        if (host.isOpen && host.isOpen(p.target)) {
            host.write(QStringLiteral("ERROR: File is already open."));
            errors = true;
            continue;
        }
        if (skipped.contains(p.target)) {
            host.write(QStringLiteral("WARNING: Skipping file due to user request"));
            continue;
        }
        if (CWnd* main = AfxGetMainWnd()) main->SendMessage(WM_USER + 2, 0, 0);
        std::unique_ptr<CProject> own;
        CProject* project = nullptr;
        if (choices.oneFilePerPair) {
            own = NewProject(choices, yearNumber, year, QString::fromUtf8(name), lob);
            project = own.get();
        } else {
            // Made for the first pair that reaches this point, whichever it is.
            if (!summed) summed = NewProject(choices, yearNumber, year, company, lob);
            project = summed.get();
        }
        if (!project) {
            host.write(QStringLiteral("ERROR: The project could not be created....file skipped."));
            errors = true;
            continue;
        }
        if (db->ImportCompany(project, static_cast<int>(p.company), static_cast<int>(p.lob), choices.priorRow ? 1 : 0) != 0) {
            host.write(QStringLiteral("ERROR: Import load process failed....file skipped.\r\n"));
            errors = true;
            continue;
        }
        if (choices.oneFilePerPair) {
            if (SaveProject(*project, p.target, host))
                written.push_back(p.target);
            else
                errors = true;
        } else {
            ++summedPairs;
            host.write(QStringLiteral("Data successfully added to file."));
        }
    }
    if (!choices.oneFilePerPair && summed && summedPairs > 0) {
        const QString target = folder + choices.summaryFileName;
        host.write(kSeparator);
        if (SaveProject(*summed, target, host))
            written.push_back(target);
        else
            errors = true;
    }

    host.write(kSeparator);
    if (errors)
        host.write(QStringLiteral("Import from the statistics database finished with warnings."));
    else
        host.write(QStringLiteral("Import from the statistics database completed successfully.  No errors were detected."));
    if (written.size() == 1) {
        host.write(QStringLiteral("Open file ") + written.front());
        if (host.openProject) host.openProject(written.front());
    }
    if (errors)
        host.write(QStringLiteral("Quillstone detected errors during the import process.  Review the above for more information.\r\n"));
    if (CWnd* main = AfxGetMainWnd()) main->SendMessage(WM_USER, 0, 0);
    return written;
}

}  // namespace qs::app
