#pragma once
// The document of one open project: owns the kernel project, the open
// project file (a compound file held against other writers, or a legacy
// archive kept locked through a second handle) and the current object. Every
// object window of the project is a view of it.
//
// Files: ".qs2" to ".qs5" are compound files with the streams "QS1" (the
// project), "GraphData" and "DefGraphStyles"; any other extension (".qs1",
// converted predecessor files) is one archive of the whole document. Every
// generation is read; a save always writes the current compound generation
// (".qs5"), and a failed save leaves the file on disk as it was.
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "CDocument.h"
#include "CGraphDefaultStyles.h"
#include "IObjectViewDocument.h"
#include "KernelTypes.h"
#include "ProjectHost.h"

class CArchive;
class CDocTemplate;
class CKDVData;
class CKDVSummExportList;
class CKDVTemplate;
class CKDVUdo;
class CFactorSet;
class IKDVDatabaseManager;
namespace qs::db {
class DatabaseManager;
}
class CCmdUI;
class CKDVGraph;
class CFile;
class CFrameWnd;
class CProject;
class CompoundFile;

// The log file the kernel project names (empty for a file project or none).
std::string GetProjectLogFileName(const CProject* project);

class CProjectDoc : public CDocument, public IObjectViewDocument {
    DECLARE_DYNCREATE(CProjectDoc)

private:
    BOOL CreateProjectStructure(const QString& titleSuffix);
    // Why a compound file could not be opened or created (an OpenResult).
    static QString OpenFailureText(int result);
    // Tells the user (and the status bar) that a save wrote nothing.
    void ReportSaveFailure(const QString& path, const QString& why);

public:
    CProjectDoc();
    ~CProjectDoc() override;

    // ---- the project
    CProject* GetProject() const override { return m_pProject; }
    void Serialize(CArchive& ar) override;

    // ---- open and save
    BOOL OnNewDocument() override;
    // Runs the set-up sheet and creates the project (title suffix for the sheet).
    BOOL CreateProjectFile(const QString& titleSuffix);
    // Changed when the document says so or when the kernel project holds
    // changes (cell edits, pastes and clears reach the project directly).
    BOOL IsModified() override;
    BOOL OnOpenDocument(const QString& path) override;
    BOOL OnSaveDocument(const QString& path) override;
    BOOL DoSave(const QString& path, BOOL bReplace = TRUE) override;
    static bool IsStorageExtension(const QString& extension);
    BOOL LoadLegacyFile(const QString& path);
    BOOL LoadLegacyFileReadOnly(const QString& path);
    // One stream of the open compound file through serialize.
    BOOL ReadStorageStream(const std::string& name, const std::function<void(CArchive&)>& serialize);
    BOOL WriteStorageStream(const std::string& name, const std::function<void(CArchive&)>& serialize);
    BOOL IsReadOnly() const { return m_bReadOnly; }
    // The six default graph styles of a project name style files; a name whose
    // file is not in the working directory's "Styles" folder becomes the
    // default of its kind, or, when that is not installed either, another
    // installed style.
    void LoadDefaultStyles(CGraphDefaultStyles& styles);
    static void CheckStyleFile(std::string& name, const char* defaultName);
    bool HoldsStorage() const { return m_pStorage != nullptr; }
    bool HoldsLock() const { return m_pLockFile != nullptr; }

    // ---- what the object views read of their document
    QSID GetPendingObjectID() const override { return m_nCurrentObjectId; }
    unsigned short GetPendingLayer() const override { return m_nCurrentLayer; }
    QString GetDocumentTitle() const override { return GetTitle(); }
    bool IsDocumentReadOnly() const override { return m_bReadOnly != FALSE; }
    qs::ss::SpreadsheetControl* GetSheetToJoin() const override {
        return static_cast<qs::ss::SpreadsheetControl*>(m_pNextViewSheet);
    }
    int OpenObjectWindow(QSID id, unsigned short layer, int activate, int show, int flags) override {
        return OpenObjectView(id, layer, activate, show, flags) != nullptr ? 1 : 0;
    }
    // A view that leaves the document lets go of its kernel object first.
    void OnChangedViewList() override;

    // ---- object windows
    CFrameWnd* OpenObjectView(QSID id, unsigned short layer, BOOL activateExisting = TRUE, BOOL makeVisible = TRUE,
                              BOOL skipSummaryOptions = FALSE);
    CFrameWnd* FindOpenObjectFrame(BOOL activate, BOOL makeVisible, BOOL graph);
    // Another frame on the active object (New Window), or one in place of
    // oldFrame at its position (Resize Window); null when the active view
    // shows no object that opens in a table view.
    CFrameWnd* OpenNewObjectFrame(CFrameWnd* oldFrame);
    // The view an object opens in: the first match of the dispatch table.
    // The project's special object (specialObjectId, 0 for none: the
    // payment pattern) opens in its own view.
    static qs::project::ObjectViewKind ChooseObjectView(QSID id, QSID specialObjectId);
    // The kernel project's special object, 0 without a project; whether id
    // (any layer, a graph id too) is that object.
    QSID SpecialObjectID() const;
    bool IsSpecialObject(QSID id) const;
    void CloseObjectViews(BOOL closeUserTypes);
    void ReopenObjectViews();
    void OnFileClose();

    // ---- flood fills (CProjectDocFloodFill.cpp)
    enum class FloodFillKind { Ultimates, SelectedFactors, InterpolatedFactors, MethodVariables };
    // The options dialog of the ultimates fill (it stores what it changes).
    void OnSetUltimatesFloodFillOptions();
    // The settings dialog of the selected or interpolated factors' fill.
    void OnSetSDFFloodFillOptions(bool interpolated);
    // A fill (the ultimates in two passes), then the navigator refresh; the
    // kernel's status, and the report of a failure in failure.
    QSSTATUS RunFloodFill(FloodFillKind kind, bool busy, QString* failure);
    // The fill; a failure is reported, success says nothing.
    void OnExecuteFloodFill(FloodFillKind kind);
    // The fill behind the busy dialog, then the completion or the failure.
    void OnRunFloodFill(FloodFillKind kind);
    void RunUltimatesFloodFill() override { OnRunFloodFill(FloodFillKind::Ultimates); }
    // Enabled exactly for a database project.
    void OnUpdateDatabaseOnly(CCmdUI* ui);

    // Lists in the status window the user tables of a loaded file whose names
    // clash within their category (the status window opens with an
    // explanation unless it is up already); nothing when there are none.
    void CheckDuplicateTableNames(const QString& fileName);

    // ---- settings commands and captions (CProjectDocSettings.cpp)
    // Each runs its dialog on the project and brings the windows up to date.
    void OnPageSetup();
    void OnExhibitOptions();
    void OnFileLabels();
    void OnFileDisplayOptions();
    void OnTableMath();
    void OnDefaultStyles();
    // Method views and the graphs of methods and reports reopen their objects.
    void ReloadMethodAndGraphViews();
    // A database project's document title and navigator caption, from its
    // template and profile by the application mode.
    void UpdateTitle();

    // ---- status and reports
    void BeginStatusProgress(const QString& caption);
    void StepStatusProgress(const QString& text);
    // A message box while the main window is visible; in database mode also a
    // time-stamped line in the project's log file and the kernel's error flag.
    void ReportMessage(const QString& text);

    // ---- the frame every structural command runs in (CProjectDocCommandFrame.cpp)
    // Categories of objects in the command rules.
    static constexpr int kCategoryNone = 0;
    static constexpr int kCategoryInput = 1000;
    static constexpr int kCategoryScalar = 4000;
    static constexpr int kCategoryExhibit = 5000;
    static constexpr int kCategoryMethod = 6000;
    static constexpr int kCategoryReport = 7000;
    static constexpr int kCategoryGraph = 8000;
    static constexpr int kCategoryUltimates = 9000;  // a navigator category only
    // The category of the object in the active view (the navigator's
    // selection when the navigator is active); sets the current object id and
    // layer from it. Another view, or none: 0, id and layer 0.
    int GetActiveObject();
    // The category of an id, from the id alone.
    static int GetObjectCategory(QSID id);
    // True while the tail-factor program is open; it has then told the user
    // to close it, and the command does nothing else.
    bool IsTailFactorProgramOpen() const;
    // Repaints the main window at once, so that a dialog just closed leaves
    // no trace during a long operation.
    static void RedrawMainWindow();
    // The other ways a command reports: ReportMessage without marking the log
    // as holding an error; a message box only while the main window is
    // visible; a log line only (database projects); a message box always.
    void ReportMessageNoError(const QString& text);
    static void ShowMessageIfVisible(const QString& text);
    void LogMessage(const QString& text);
    static void ShowMessage(const QString& text);

    // ---- the period grid (CProjectDocPeriods.cpp)
    // Each command detaches the object windows, runs one structural
    // operation of the kernel and reattaches them on every path.
    void OnAppendNewEvaluation();
    void OnRemoveLastEvaluation();
    void OnAppendOldestExposurePeriod();
    void OnRemoveOldestExposurePeriod();
    void OnAppendPriorExposurePeriod();
    void OnUpdateAppendPriorExposurePeriod(CCmdUI* ui);
    void OnRemovePriorExposurePeriod();
    void OnUpdateRemovePriorExposurePeriod(CCmdUI* ui);
    void OnAppendDevelopmentPeriod();
    void OnCompressColumns();
    void OnUpdateCompressColumns(CCmdUI* ui);
    void OnCompressRows();
    void OnUpdateCompressRows(CCmdUI* ui);

    // ---- user-defined tables (CProjectDocUserTables.cpp)
    // New runs the table wizard (category -1: any); Edit and Delete act on
    // the active object when it is user-defined.
    void OnNewTable() { RunTableWizard(-1); }
    void OnUpdateNewTable(CCmdUI* ui);
    void RunTableWizard(int category);
    void OnEditTable();
    void OnUpdateEditTable(CCmdUI* ui);
    // Rename of a user-defined graph: the New Graph dialog on its id, then
    // the navigator shows it under its new name.
    void RenameGraph(QSID id);
    void OnDeleteTable();
    void OnUpdateDeleteTable(CCmdUI* ui);
    // False (the user told why) while another user's changes or an earlier
    // failed database step forbid changing user-defined objects.
    bool CanChangeUserObjects();
    void EditUserObject(int category, QSID id);
    void DeleteUserObject(int category, QSID id, BOOL confirm);
    // False (the user told why) while other tables' formulas read the object
    // or a window shows it.
    bool CanDeleteUserObject(QSID id);
    // The database side of a database project (nothing in a file project).
    // The store steps of a change run in one transaction behind a busy
    // window; on a failure the user is told failureText, the transaction is
    // rolled back and further user-defined changes are refused. Without a
    // busy window New and Edit save nothing (requireBusyWindow), and say so.
    bool RunUserObjectTransaction(const std::function<bool()>& storeSteps, const QString& failureText,
                                  bool requireBusyWindow);
    void SaveEditedUserObject(QSID id, bool nameChanged, const std::string& newName);
    void DeleteUserObjectFromDatabase(QSID id, const std::vector<long>& dependents,
                                      const std::vector<std::string>& dependentNames);

    // ---- enabling rules of the command table (ProjectCommandTable.cpp)
    // (OnUpdateDatabaseOnly is with the flood fills.)
    void OnUpdateAlwaysEnabled(CCmdUI* ui);
    // Save Template: application mode 3 or below with the template-write
    // flag; Save Template As: mode 3 or below.
    void OnUpdateSaveTemplate(CCmdUI* ui);
    void OnUpdateSaveTemplateAs(CCmdUI* ui);
    // Save Data: application mode 1 or below with the group-query flag;
    // Save Data As: mode 1 or below.
    void OnUpdateSaveData(CCmdUI* ui);
    void OnUpdateSaveDataAs(CCmdUI* ui);

    // ---- path, title and the close question (CProjectDocServices.cpp)
    // The project learns its file's name; with "Show Extension" 0 the title
    // of a project file loses its extension.
    void SetPathName(const QString& path, BOOL bAddToMRU = TRUE) override;
    // Asks about unsaved changes by path (or title); FALSE keeps the document.
    BOOL SaveModified() override;

    // ---- user-defined objects and the database's graph records
    // Whether the current object is user-defined (kinds 2, 4, 6, graphs of
    // index 501 and up).
    bool IsUserDefinedObject();
    // flag: 1 for a user graph, 0 for a system graph or other kinds; kinds
    // 2, 4 and 6 leave it as the caller set it.
    void CheckUserDefinedObject(BOOL& flag) const;
    // The database's graph records, null outside database mode.
    CKDVGraph* GetGraphStore() const;
    // Drops the user-defined graphs and loads them again from the database;
    // the load's result (0 without a database).
    int ReloadGraphs();
    void OnLockGraph();
    void OnUpdateLockGraph(CCmdUI* ui);
    void OnLockGraphCreation();
    void OnUpdateLockGraphCreation(CCmdUI* ui);
    void OnRefreshUserGraphs();
    void OnUpdateRefreshUserGraphs(CCmdUI* ui);

    // ---- database mode (CProjectDocDatabase.cpp)
    // Binds the document and its project to a database manager (releasing
    // an earlier binding first). Negative on failure: an empty source, a
    // manager of another kind, a project the manager cannot take, or an
    // account the database does not know (DatabaseError tells why). The
    // login record then comes from the database. Only a binding that
    // succeeded ends interactive use (the scripting server drives the
    // document from then on).
    long InitWithDatabaseManager(const std::shared_ptr<IKDVDatabaseManager>* source);
    QString DatabaseError() const { return m_strDatabaseError; }
    // Whether the user may act on a component kind (level from the login
    // record) or on one object of it: FALSE only when the database failed;
    // allowed says the answer. In a file project everything is allowed.
    BOOL CheckPermission(long kind, unsigned mask, BOOL& allowed);
    BOOL CheckObjectPermission(long objectId, long kind, unsigned mask, BOOL& allowed);
    // The template-write flag: the update right on templates.
    BOOL RefreshTemplateWriteAccess();
    // The group-query flag: the active group's query admits profile. FALSE
    // in a file project or when the look-up failed; TRUE otherwise.
    BOOL RefreshGroupQueryFlag(const QString& profile);
    bool GroupQueryFlag() const { return m_bGroupQuery != 0; }
    bool TemplateWriteFlag() const { return m_bTemplateWrite != 0; }
    bool FactorSetChangeFlag() const { return m_bFactorSetChanged != 0; }
    long GetUdoidFromQsidAndType(long id, int type);
    // A new project of the given structure without any dialog (the import
    // server's): period counts and lengths, first year and interval, first
    // age, the includes-prior flag and the two calculated layers.
    BOOL CreateNewProject(std::uint16_t numExp, std::uint16_t expLength, std::uint16_t firstYear,
                          std::uint16_t firstInterval, std::uint16_t numDev, std::uint16_t devLength,
                          std::uint16_t firstAge, std::uint16_t prior, std::uint16_t calc1, std::uint16_t calc2);

    // ---- templates in the database (CProjectDocTemplates.cpp)
    // Save Template (in application mode 2: Save Template As).
    void OnSaveTemplateCommand();
    BOOL SaveTemplate();
    BOOL SaveTemplateAs();
    // Shows the Save Template As dialog (again, with the entered texts,
    // while the chosen name cannot be used) and stores; a cancelled dialog
    // leaves the template as it was.
    BOOL SaveTemplateAsDialog(const QString& name, const QString& description);
    // 1 when the caller must stop closing, 0 to go on.
    int PromptSaveTemplate();
    // State: 0 nothing changed, 1 template, 2 profile data, 3 both; FALSE
    // (state 0) without a template or data.
    BOOL GetModifiedState(int& state);
    BOOL GetModifiedStateEx(int& state, BOOL& dataChanged);
    // After a template is loaded: its referenced factor sets against the
    // database's factor libraries. FALSE when the user stopped.
    BOOL CheckFactorSetChanges();
    struct ReferencedFactorSets {
        std::vector<std::unique_ptr<CFactorSet>> sets;  // null: gone from the database
        std::vector<std::string> libraries;
        std::vector<std::string> names;
        std::vector<bool> changed;  // the stored values differ (the set holds them)
    };
    BOOL CheckReferencedFactorSets(ReferencedFactorSets& refs);

    // ---- profile data (CProjectDocProfileData.cpp)
    // Save Data: in place, or as a new record when the data's structure
    // changed; a failure (or another user's save meanwhile) is reported.
    void OnSaveData();
    bool SaveData();
    // Save Data As: another profile and evaluation date, if the group query admits it.
    BOOL SaveProfileData();
    int PromptSaveProfileData();
    BOOL SaveDataTo(const QString& profile, const QString& name, int& flag);

    // ---- names page setups may place in headers, footers and titles
    // Built on first use: the common names, then the file names (a file
    // project) or the evaluation date, the query and the database's
    // categories (a database project).
    const QStringList& GetPrintFieldNames();
    void AddCategoryFieldNames(QStringList& names);

    // ---- members the views and the navigator use
    void* m_pHeaderFooterFields = nullptr;
    CProject* m_pProject = nullptr;
    std::uint16_t m_nCurrentLayer = 0;
    std::int32_t m_nCurrentObjectId = 0;
    void* m_pNextViewLink = nullptr;
    void* m_pNextViewSheet = nullptr;
    BOOL m_bReadOnly = FALSE;

protected:
    // Closes the kernel objects of views no longer in the document (or of
    // every view when all is true), so none outlives the project.
    void DetachLeftViews(bool all);
    // A frame of the template whose object views have opened their objects;
    // null (and nothing left behind) when one cannot.
    CFrameWnd* CreateObjectFrame(CDocTemplate& tmpl, CFrameWnd* other);

    // Writes "QS1", then the graph streams, into storage; true when every
    // write succeeded (nothing is committed here).
    bool WriteProjectStreams(CompoundFile& storage);
    // The export of a project under a name that is no compound file (under
    // automation): the lock moves from the old file to the new one.
    BOOL SaveLegacy(QString name, bool pathGiven, BOOL bReplace);
    // Locks path again (read-only when that fails); only for a writable
    // document without a lock.
    void Relock(const QString& path);

    std::unique_ptr<CFile> m_pLockFile;
    std::unique_ptr<CompoundFile> m_pStorage;
    // Set by Serialize when a read-only document refused to store itself.
    bool m_bStoreRefused = false;
    QString m_strUnused;
    std::uint8_t m_bFactorSetChanged = 0;
    std::uint8_t m_bUserObjectError = 0;
    std::uint8_t m_bGroupQuery = 0;
    std::uint8_t m_bTemplateWrite = 1;
    // The database binding (database mode only).
    void ReleaseDatabase();
    BOOL CheckLevelPermission(long kind, long level, unsigned mask, BOOL& allowed);
    CKDVTemplate* DatabaseTemplate() const;
    CKDVData* DatabaseData() const;
    std::shared_ptr<IKDVDatabaseManager> m_pDbManager;
    std::shared_ptr<qs::db::DatabaseManager> m_pDataAccess;
    std::shared_ptr<qs::db::DatabaseManager> m_pConnection;
    CKDVUdo* m_pUdoStore = nullptr;
    CKDVSummExportList* m_pSummExportListStore = nullptr;
    QString m_strDatabaseError;
    // The views that were in the document when its view list last changed.
    std::vector<CView*> m_knownViews;
    QStringList m_printFieldNames;
    bool m_bPrintFieldNamesBuilt = false;
};

// Texts the project document reports.
namespace qs::project::text {
inline const char* const kReadOnlyStore =
    "File has been opened in 'ReadOnly' mode. Please save with a different name.";
inline const char* const kWriteError =
    "ERROR writing to this file.  File NOT saved.  The disk may be full or write-protected.  \n\nThe original "
    "file may have been erased at this point.  \n\nPlease free up some space and try again or save this file to "
    "a different location.";
inline const char* const kInUse =
    "This file is currently in use and will be opened as \"Read Only\".  Changes can only be saved to a different "
    "file.";
inline const char* const kReadOnlyPlace =
    "This file or its folder is read-only, so it will be opened as \"Read Only\".  Changes can only be saved to a "
    "different file.";
inline const char* const kGraphsUnreadable =
    "The graphs or graph styles stored in this file could not be read.\nThe file will be opened as \"Read Only\" "
    "so that they are not lost.  Changes can only be saved to a different file.";
inline const char* const kCannotSaveReadOnly = "Quillstone cannot save to a read-only file.";
inline const char* const kCannotSaveReadOnlyAuto = "QSEE cannot save to a read-only file.";
inline const char* const kSameNameAsOpen = "Cannot save this file with the same name as an open document.";
inline const char* const kNoPermission =
    "You have not been granted permission to perform this task on this component.\nSee component's Access "
    "Properties for more information.";
inline const char* const kNotInGroup = "You must log in to a group in which you are a member to perform this task.";
}  // namespace qs::project::text
