#include "files/StatisticsImportRun.h"

#include <QFileInfo>
#include <QSet>

#include <memory>

#include "CArchive.h"
#include "CHDate.h"
#include "CProject.h"
#include "WaitCursor.h"
#include "files/ProjectStreamFile.h"
#include "frames/StatusSink.h"

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

// What the engine gives the run: its interface, the company list, the line
// of business map and the statement year.
struct ImportSource {
    IStatisticsDb* db = nullptr;
    ICompanyList* companies = nullptr;
    ILOBMap* lobs = nullptr;
    QString year;
    int yearNumber = 0;
};

// One company and line of business, and the file it goes to (empty when
// the engine could not name either).
struct ImportPair {
    long company, lob;
    QString target;
};

// The targets that exist and were not to be replaced, or the user cancelled;
// Replace All and Skip All hold for the rest of the run.
struct ConflictAnswers {
    QSet<QString> skipped;
    bool replaceAll = false, skipAll = false;
    bool cancelled = false;
};

// The conflict dialog's answer for a target that exists (0..4).
int AskAbout(const QString& target, StatisticsImportHost& host) {
    return host.askConflict ? host.askConflict(QStringLiteral("%1 already exists.  Please select an option below.").arg(target))
                            : 4;
}

// Takes one answer of the conflict dialog; false when it cancels the import.
bool TakeAnswer(int answer, const QString& target, ConflictAnswers& answers) {
    if (answer == 1) answers.replaceAll = true;
    else if (answer == 2) answers.skipped.insert(target);
    else if (answer == 3) {
        answers.skipped.insert(target);
        answers.skipAll = true;
    } else if (answer != 0) {
        answers.cancelled = true;
        return false;
    }
    return true;
}

// The engine's interface and lists; the name of what could not be had when
// any fails.
const char* OpenSource(StatisticsImportHost& host, ImportSource& source) {
    if (!host.get || host.get(&source.db) != 0 || !source.db) return "statistics database interface pointer";
    int count = 0;
    if (source.db->GetCompanyList(&source.companies) != 0 || !source.companies ||
        source.companies->GetCount(&count) != 0)
        return "company map";
    if (source.db->GetLOBMap(&source.lobs) != 0 || !source.lobs) return "line of business map";
    const char* yearText = nullptr;
    if (source.db->GetDataYear(&yearText) != 0 || !yearText || !*yearText) return "year of statement";
    source.year = QString::fromLatin1(yearText);
    source.yearNumber = source.year.toInt();
    return nullptr;
}

// A file per company and line of business ("<line code>[_]<year digit><company
// number>.qs5"), or the one summed file for all of them.
std::vector<ImportPair> PlanTargets(const StatisticsImportChoices& choices, const ImportSource& source,
                                    const QString& folder) {
    std::vector<ImportPair> pairs;
    for (long c : choices.companies)
        for (long l : choices.lobs) {
            const char* name = nullptr;
            long number = 0;
            const char* code = nullptr;
            if (source.companies->GetEntry(static_cast<int>(c), &name, &number) != 0 ||
                source.lobs->GetColumn1(static_cast<int>(l), &code) != 0) {
                pairs.push_back({c, l, QString()});
                continue;
            }
            QString target;
            if (choices.oneFilePerPair) {
                const QString codeText = QString::fromLatin1(code);
                target = folder + codeText + (codeText.size() == 1 ? QStringLiteral("_") : QString()) +
                         source.year.right(1) + QString::asprintf("%05ld", number) + QStringLiteral(".qs5");
            } else {
                target = folder + choices.summaryFileName;
            }
            pairs.push_back({c, l, target});
        }
    return pairs;
}

// Asks once per existing target what to do: replace it, replace all, skip
// it, skip all, or cancel the import.
ConflictAnswers AskAboutExistingTargets(const std::vector<ImportPair>& pairs, StatisticsImportHost& host) {
    ConflictAnswers answers;
    QSet<QString> asked;
    for (const ImportPair& p : pairs) {
        if (p.target.isEmpty() || asked.contains(p.target) || !QFileInfo::exists(p.target)) continue;
        asked.insert(p.target);
        if (answers.replaceAll) continue;
        if (answers.skipAll) {
            answers.skipped.insert(p.target);
            continue;
        }
        if (!TakeAnswer(AskAbout(p.target, host), p.target, answers)) return answers;
    }
    return answers;
}

// The import of every pair: each into a project of its own, written at once,
// or all into one summed project written at the end.
class ImportRun {
public:
    ImportRun(const StatisticsImportChoices& choices, const ImportSource& source, const QString& folder,
              StatisticsImportHost& host)
        : m_choices(choices), m_source(source), m_folder(folder), m_host(host) {}

    // False when the user cancelled the import part-way.
    bool ImportAll(const std::vector<ImportPair>& pairs, ConflictAnswers& answers) {
        for (const ImportPair& p : pairs) {
            ImportOne(p, answers);
            if (answers.cancelled) return false;
        }
        if (!m_choices.oneFilePerPair && m_summed && m_summedPairs > 0) SaveSummed();
        return true;
    }

    void ReportOutcome() {
        m_host.write(kSeparator);
        if (m_errors)
            m_host.write(QStringLiteral("Import from the statistics database finished with warnings."));
        else
            m_host.write(QStringLiteral("Import from the statistics database completed successfully.  No errors were detected."));
        if (m_written.size() == 1) {
            m_host.write(QStringLiteral("Open file ") + m_written.front());
            if (m_host.openProject) m_host.openProject(m_written.front());
        }
        if (m_errors)
            m_host.write(QStringLiteral("Quillstone detected errors during the import process.  Review the above for more information.\r\n"));
    }

    const std::vector<QString>& Written() const { return m_written; }

private:
    void Fail(const QString& message) {
        m_host.write(message);
        m_errors = true;
    }

    void ImportOne(const ImportPair& p, ConflictAnswers& answers) {
        const char* name = nullptr;
        long number = 0;
        if (m_source.companies->GetEntry(static_cast<int>(p.company), &name, &number) != 0) {
            Fail(QStringLiteral("ERROR:  Error retrieving company information.  Company cannot be identified and will be skipped."));
            // Why: a company code that cannot be read, names another company or is given twice.
            const char* problem = nullptr;
            if (m_source.companies->GetProblem(static_cast<int>(p.company), &problem) == 0 && problem && *problem)
                m_host.write(QStringLiteral("ERROR:  ") + QString::fromUtf8(problem));
            return;
        }
        const char *code = nullptr, *lobText = nullptr;
        if (m_source.lobs->GetColumn1(static_cast<int>(p.lob), &code) != 0 ||
            m_source.lobs->GetColumn3(static_cast<int>(p.lob), &lobText) != 0)
            return Fail(QStringLiteral("ERROR:  Error retrieving line of business information. Line of business cannot be identified and will be skipped."));
        const QString company = QString::asprintf("%05ld ", number) + QString::fromUtf8(name);
        const QString lob = QString::fromUtf8(lobText);
        m_host.write(kSeparator);
        m_host.write(QStringLiteral("File name..........") + p.target);
        m_host.write(QStringLiteral("Company............") + company);
        m_host.write(QStringLiteral("Line of Business...") + lob);
        if (m_host.isOpen && m_host.isOpen(p.target)) return Fail(QStringLiteral("ERROR: File is already open."));
        // Two pairs of one run can name one file (two lines of business of
        // one code): the later one never replaces what the earlier one wrote
        // without the question asked for the files that were there before.
        if (m_choices.oneFilePerPair && m_madeThisRun.contains(p.target) && !answers.skipped.contains(p.target)) {
            const int answer = answers.replaceAll ? 1 : answers.skipAll ? 3 : AskAbout(p.target, m_host);
            if (!TakeAnswer(answer, p.target, answers)) return;
        }
        if (answers.skipped.contains(p.target)) {
            m_host.write(QStringLiteral("WARNING: Skipping file due to user request"));
            return;
        }
        if (m_host.status) m_host.status->Step();
        std::unique_ptr<CProject> own;
        CProject* project = nullptr;
        if (m_choices.oneFilePerPair) {
            own = NewProject(m_choices, m_source.yearNumber, m_source.year, QString::fromUtf8(name), lob);
            project = own.get();
        } else {
            // Made for the first pair that reaches this point, whichever it is.
            if (!m_summed) m_summed = NewProject(m_choices, m_source.yearNumber, m_source.year, company, lob);
            project = m_summed.get();
        }
        if (!project) return Fail(QStringLiteral("ERROR: The project could not be created....file skipped."));
        if (m_source.db->ImportCompany(project, static_cast<int>(p.company), static_cast<int>(p.lob),
                                       m_choices.priorRow ? 1 : 0) != 0) {
            // Why, as the engine found it: the database could not give the
            // pair's data, or it holds none.
            const char* reason = nullptr;
            if (m_source.db->GetImportError(&reason) == 0 && reason && *reason)
                m_host.write(QStringLiteral("ERROR:  ") + QString::fromUtf8(reason));
            return Fail(QStringLiteral("ERROR: Import load process failed....file skipped.\r\n"));
        }
        if (m_choices.oneFilePerPair) {
            if (SaveProject(*project, p.target, m_host)) {
                m_written.push_back(p.target);
                m_madeThisRun.insert(p.target);
            } else {
                m_errors = true;
            }
        } else {
            ++m_summedPairs;
            m_host.write(QStringLiteral("Data successfully added to file."));
        }
    }

    void SaveSummed() {
        const QString target = m_folder + m_choices.summaryFileName;
        m_host.write(kSeparator);
        if (SaveProject(*m_summed, target, m_host))
            m_written.push_back(target);
        else
            m_errors = true;
    }

    const StatisticsImportChoices& m_choices;
    const ImportSource& m_source;
    const QString m_folder;
    StatisticsImportHost& m_host;
    std::vector<QString> m_written;
    QSet<QString> m_madeThisRun;
    bool m_errors = false;
    std::unique_ptr<CProject> m_summed;
    int m_summedPairs = 0;
};

}  // namespace

std::vector<QString> RunStatisticsImport(const StatisticsImportChoices& choices, StatisticsImportHost& host) {
    if (!host.write) host.write = [](const QString&) {};
    EngineGuard guard{host.release};
    ImportSource source;
    if (const char* missing = OpenSource(host, source)) {
        host.write(QStringLiteral("ERROR:  Could not obtain the %1.  Import aborted").arg(QLatin1String(missing)));
        return {};
    }
    if (host.status) {
        host.status->SetStatusText(QStringLiteral("Importing data from the statistics database..."));
        host.status->Step();
    }
    host.write(QStringLiteral("Import from the statistics database started."));

    QString folder = choices.folder;
    if (!folder.endsWith('/')) folder += '/';
    const std::vector<ImportPair> pairs = PlanTargets(choices, source, folder);
    ConflictAnswers answers = AskAboutExistingTargets(pairs, host);
    if (answers.cancelled) {
        host.write(QStringLiteral("Import operation cancelled by the user."));
        if (host.status) host.status->EndBusy();
        return {};
    }
    ImportRun run(choices, source, folder, host);
    if (!run.ImportAll(pairs, answers)) {
        host.write(QStringLiteral("Import operation cancelled by the user."));
        if (host.status) host.status->EndBusy();
        return run.Written();
    }
    run.ReportOutcome();
    if (host.status) host.status->EndBusy();
    return run.Written();
}

}  // namespace qs::app
