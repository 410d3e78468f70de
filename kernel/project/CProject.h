#pragma once
// A reserving project: its structure (exposure and development periods), its
// objects in five layers, the navigator tree, labels, display settings and
// its stored form. The state lives in owned parts the project forwards to,
// each usable alone: ProjectObjectStore (objects and layer relations),
// ProjectNavigatorTree, ProjectPeriods (dates, ages, staircase),
// ProjectGraphs (table and working graphs, default styles) and
// ProjectDisplay (labels and display settings).
//
// Objects are kept by their layer-neutral id. A layered object (every data
// object of the template and every user array) has one instance per layer
// 1..5; scalars and objects added without a layer have one instance, found
// under any layer. Two of the five layers are calculated from the other three
// by the project's relations (GetCalcedLayers):
//   first relation   Net + Ceded = Gross      (calculated: Net, Ceded or Gross)
//   second relation  Direct + Assumed = Gross (calculated: Direct, Assumed or Gross)
// A calculated instance is read-only and follows its sources cell by cell.
//
// The project derives from CFormula for its own display settings (decimals,
// display type) and for the label calls that views make on it. It is the
// owner its objects reach through IGraphOwner (GraphOwner.h and the narrower
// owners it widens), so an object needs no more of it than that.
//
// Argument orders where callers disagreed are fixed here: exposure dates are
// (month, day, year, index) in both directions with the index from 0;
// GetNodeObjects is (node, names, ids, layer, dataOnly, viewEntered,
// viewCalculated, viewSelected).
#include <array>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "CDataObject.h"
#include "CFormula.h"
#include "CHDate.h"
#include "CLOGFONT.h"
#include "CPageSetup.h"
#include "CScalar.h"
#include "ExhibitSettings.h"
#include "FloodFillOptions.h"
#include "GraphOwner.h"
#include "KernelIds.h"
#include "KernelTypes.h"
#include "ProjectDisplay.h"
#include "ProjectGraphs.h"
#include "ProjectNavigatorTree.h"
#include "ProjectObjectStore.h"
#include "ProjectPeriods.h"
#include "SummaryReportOptions.h"

class CKDVVantor;
class CGraph;
class CMethod;
class CExhibit;
class CFactorSet;
class CMapLongToOb;
class CByteArray;
class CFile;
class IFloodFillProgress;
class IKDVDatabaseManager;
class KernelWriter;
class KernelReader;

class CProject : public CFormula, public IGraphOwner {
    DECLARE_DYNAMIC(CProject)

public:
    CProject();
    ~CProject() override;
    CProject(const CProject&) = delete;
    CProject& operator=(const CProject&) = delete;

    // ---- life cycle
    // Builds the default project: structure values in this order (see
    // QSStructure): generation (5), exposure count, exposure length, first
    // year, first interval, development count, development length, first age
    // (months), the two calculated layers. The includes-prior flag is set
    // beforehand with SetIncludesPrior.
    QSSTATUS Create(std::uint16_t& generation, std::uint16_t& numExp, PRDLENGTH& expLength, std::uint16_t& firstYear,
                    std::uint16_t& firstInterval, std::uint16_t& numDev, PRDLENGTH& devLength,
                    std::uint16_t& firstDevAge, LAYERNAMES& calc1, LAYERNAMES& calc2);
    void SetIncludesPrior(bool prior) { m_pendingPrior = prior; }
    bool GetIncludesPrior() const { return m_periods.Structure().prior; }
    QSSTATUS GetInfoProject(std::uint16_t& generation, std::uint16_t& numExp, PRDLENGTH& expLength,
                            std::uint16_t& firstYear, std::uint16_t& firstInterval, std::uint16_t& numDev,
                            PRDLENGTH& devLength, std::uint16_t& firstDevAge) const;
    QSSTATUS GetInfoDevPrd(std::uint16_t& numDev, PRDLENGTH& devLength, std::uint16_t& firstDevAge) const;
    QSSTATUS GetLengthExpPrd(PRDLENGTH& length) const;
    QSSTATUS GetLengthDevPrd(PRDLENGTH& length) const;
    std::uint16_t GetNumExpPrds() const { return m_periods.Structure().numExp; }
    const QSStructure& GetStructure() const override { return m_periods.Structure(); }
    // Reshapes the project; cells keep their row and column where still valid.
    QSSTATUS RedimProj(std::uint16_t numExp, PRDLENGTH expLength, std::uint16_t firstYear, std::uint16_t firstInterval,
                       std::uint16_t numDev, PRDLENGTH devLength, std::uint16_t firstDevAge, LAYERNAMES calc1,
                       LAYERNAMES calc2);
    // Sets the kernel's defaults for a template-managed project (display
    // defaults, fonts, page setup).
    QSSTATUS SetUserDefaults();
    RUNNING_MODE Mode() const { return m_mode; }
    void SetMode(RUNNING_MODE mode) { m_mode = mode; }
    // The enterprise database the project is bound to (CKDVVantor.h); both
    // null for a project read from or made for a file. BindDatabase is the
    // enterprise layer's: it keeps the pointers (not owned) and makes the
    // project a database project; null, null unbinds it (file mode).
    CKDVVantor* GetCKDVVantor() const { return m_vantor; }
    IKDVDatabaseManager* GetDBManager() const { return m_dbManager; }
    void BindDatabase(CKDVVantor* vantor, IKDVDatabaseManager* manager);
    // Binds the project to a database manager through the enterprise layer's
    // factory (SetDatabaseBinder): 0 bound; negative, and nothing changes,
    // for a null manager or when no enterprise layer is present (this build
    // has none) or it gives no facade.
    long InitProjectWithDBManager(IKDVDatabaseManager* manager);
    using DatabaseBinder = std::function<CKDVVantor*(CProject& project, IKDVDatabaseManager* manager)>;
    static void SetDatabaseBinder(DatabaseBinder binder);
    // The log file of a database project, where the project's reports are
    // written; the enterprise layer names it when it binds the project.
    // Empty for a file project.
    const std::string& GetLogFileName() const { return m_logFileName; }
    void SetLogFileName(const std::string& path) { m_logFileName = path; }

    void SetFileName(const std::string& path) { m_fileName = path; }
    // Form 0: the name of the project's file without its folder (the print
    // field "File Name"); empty before the project has a file. Other forms
    // as every object.
    std::string GetIDName(int form = -1) const override;
    const std::string& GetFileName() const { return m_fileName; }
    void SetModifiedFlag(bool modified = true) override { m_modified = modified; }
    bool IsModified() const { return m_modified; }

    // Re-relates the layers and recalculates everything (after user objects
    // were added in bulk); tells every window to reload.
    QSSTATUS PostInit();
    void UpdateAllObjects();
    // Every object forgets its windows (all views are closing).
    void ResetWindowPtrList();
    // True when a table is larger than the grids can show (250 columns or rows).
    bool WarnRowColOverLimit() const;
    bool CanGrowRows() const { return m_periods.Structure().numExp < 999; }
    // Method ultimates are the calculations' objects; the core has none to check.
    QSSTATUS CheckMethodUltimateIntegrityForFile(const std::string& path) const;
    double GetTemplateVersion() const { return 5.0; }
    void SetPrintCumulative(int cumulative) { m_display.PageSetup().m_nArrayPresentation = cumulative ? 1 : 0; }

    // ---- persistence (docs/kernel/storage.md)
    // Load statuses: 0 loaded; 4 loaded from an older generation; 1 damaged
    // or truncated; 2 not a project stream or a newer generation; 3 the
    // project could not be built (resources); 5 conversion failed.
    enum LoadStatus : QSSTATUS { LS_OK = 0, LS_DAMAGED = 1, LS_UNSUPPORTED = 2, LS_RESOURCES = 3, LS_OLDER = 4,
                                 LS_CONVERSION = 5 };
    static constexpr std::uint32_t kStorageGeneration = 5;
    // The "QS1" stream; an older generation may be asked for (tests, export).
    std::vector<std::uint8_t> SaveProject(std::uint32_t generation = kStorageGeneration) const;
    QSSTATUS LoadProject(const std::uint8_t* data, std::size_t size);  // sets and returns the load status
    QSSTATUS GetLoadStatus() const { return m_loadStatus; }
    // The archive routine of the document: storing writes the "QS1" stream,
    // loading reads the rest of the archive and sets the load status (a
    // damaged stream never throws; the status says what went wrong).
    void Serialize(CArchive& ar) override;
    QSSTATUS Archive(CArchive& ar, int flag = 1);
    void SerializeGraphData(CArchive& ar);
    void SerializeDefGraphStyles(CArchive& ar);
    std::vector<std::uint8_t> SaveGraphData() const;             // the "GraphData" stream
    QSSTATUS LoadGraphData(const std::uint8_t* data, std::size_t size);
    std::vector<std::uint8_t> SaveDefGraphStyles() const;        // the "DefGraphStyles" stream
    QSSTATUS LoadDefGraphStyles(const std::uint8_t* data, std::size_t size);
    // The stored graph list by graph id: a key for every graph the project
    // keeps (empty: no "GraphData" stream is needed). The records of the
    // graphs the kernel knows are written afresh by SaveGraphData; a record
    // it cannot read is kept as it came.
    std::map<QSID, std::vector<std::uint8_t>>& GraphList() { return m_graphs.Records(); }
    // The "DefGraphStyles" records by key; keys 1..6 are the six default
    // style names (GetGraphDefaultStyles), other keys are kept as they came.
    std::map<int, std::vector<std::uint8_t>>& DefGraphStyles() { return m_graphs.StyleRecords(); }

    // ---- graphs (CProjectGraphs.cpp; CGraph.h says what a graph holds)
    // A working graph for a window: a copy of the kept graph that id names
    // (a navigator graph, kind 8; or a table's graph, the table's id or its
    // graph id), or a new one: an empty graph for a temporary id (kind 8,
    // instance 0), the table alone for a table without a kept graph. Tables
    // of the graph with layer 0 are shown in layer (0 takes Net). Null for an
    // unknown id or a bad layer. The project owns the graph until
    // ReleaseGraphObject; the window hears of its changes with "XREFRESH".
    CGraph* GetGraphObject(QSID id, IKernelWindow* window, unsigned short layer);
    QSSTATUS ReleaseGraphObject(CGraph* graph, IKernelWindow* window);
    // Keeps graph as a new navigator graph (category 8000) with that index
    // (501..995, free), name and abbreviated name (both unique among graphs;
    // the abbreviated name may be empty); node -1, 0 or 8000. The graph's
    // master becomes the new graph. Nothing changes on a failure.
    QSSTATUS SaveGraphToNavigator(CGraph* graph, int index, const std::string& name, const std::string& shortName,
                                  QSID node);
    // Ids for new graphs that are not kept yet: kind 8, instance 0.
    QSID GetNextTempGraphID();
    // Drops the user-defined graphs (navigator graphs of index 501 and up).
    QSSTATUS CleanUpUdoGraphs();
    // The kept graph of a table (by the table's id or its graph id), null when none.
    CGraph* GetTableGraph(QSID id) const override;
    CGraph* KeepTableGraph(QSID graphId, std::unique_ptr<CGraph> graph) override;
    // The six default graph styles, kept in "DefGraphStyles".
    CGraphDefaultStyles& GetGraphDefaultStyles() { return m_graphs.DefaultStyles(); }
    const CGraphDefaultStyles& GetGraphDefaultStyles() const override { return m_graphs.DefaultStyles(); }

    // ---- print fields and headings (CProjectServices.cpp)
    // The query (profile) the data of a database project came from; empty
    // for a file project.
    std::string GetProfileName() const;
    // The label of a database project's exhibits: the profile name and, when
    // known, its evaluation date ("name ( date )"); empty for a file project.
    std::string GetExhibitLabel() const;
    // A print field the database record knows by name; empty when none
    // (always for a file project).
    std::string ClassItemMapLookup(const std::string& fieldName) const;
    // The heading of an ultimate (a method's ultimate id, or any object's id):
    // the method's or object's long name. Fails for an unknown id.
    QSSTATUS CreateHeader(QSID id, std::string& header) const;
    // Gives the project's default page setup the enterprise print titles
    // (company, query and evaluation date in the header; exhibit label and
    // page in the footer; the table name as the title).
    QSSTATUS SetQSEEPrintTitles();

    // ---- objects
    // Returns the instance of id in layer (layer 0 takes the id's own layer)
    // and registers window for "XREFRESH"; null for an unknown id or a bad layer.
    CFormula* OpenObject(QSID id, unsigned short layer, IKernelWindow* window, int flag = 1);
    QSSTATUS CloseObject(CFormula* object, IKernelWindow* window);
    // Look-up without a window (kernel code and tests).
    CFormula* FindObject(QSID id, unsigned short layer = 0) const override;
    CDataObject* FindDataObject(QSID id, unsigned short layer) const override;
    bool IDExists(QSID id) const override;
    int IsViewed(QSID id) const;
    bool IDHasData(QSID id, unsigned short layer) const;
    // Status code for the navigator icon: 0 no data, 1 entered with data,
    // 2 calculated with data, 3 not in this project.
    int GetIDStatus(QSID id, unsigned short layer) const;
    // Sources of an object (its links), layer-neutral ids.
    QSSTATUS GetIDLinks(QSID id, QSIDArray& ids) const;
    QSSTATUS GetAllTypeIDsFromID(QSID id, QSID category, QSIDArray& ids) const;

    // Adds a new object built from a prototype. id in: an index to use (0 for
    // the next free one); out: the new layer-neutral id. user 1 makes a
    // user-defined object (index 501..995).
    QSSTATUS AddNewObject(CDataObject& proto, QSID& id, int user = 1);
    QSSTATUS AddNewObject(CScalar& proto, QSID& id, int user = 1);
    // A method (category 6000) or, when proto.IsReport(), a report (7000):
    // one instance per layer, each bound to the objects its columns read.
    QSSTATUS AddNewObject(CMethod& proto, QSID& id, int user = 1);
    // True when id names a summary report.
    bool IsIDSummaryReport(QSID id) const;
    // The column a method's ultimate id (CMethod::GetUltID) names; null and a
    // failure when there is no such method or it has no ultimate column.
    QSSTATUS UltimateMapLookup(QSID ultId, CDataObject*& table) const;
    // The same for any object kind (exhibits and methods): kind and data type
    // give the id's fields, layered makes one instance per layer.
    QSSTATUS AddNewFormulaObject(const CFormula& proto, int kind, int dataType, QSID subgroup, bool layered,
                                 QSID& id);
    // Takes ownership of an object built elsewhere, under id (layer 0: unlayered).
    QSSTATUS AddObjectToMap(QSID id, CFormula*& object, int flag = 0);
    QSSTATUS BeginEditObject(QSID id, CFormula*& object);
    QSSTATUS EndEditObject(CFormula*& object, int store, int flag = 0);
    QSSTATUS DeleteObject(QSID id);
    bool HasDependents(QSID id) const;
    QSSTATUS GetDependents(QSID id, QSStringArray& names) const;
    // A copy of id's definition under new names, for AddNewObject in this or
    // another project; the caller owns it.
    QSSTATUS DuplicateObject(QSID id, const std::string& name, const std::string& shortName, CFormula*& copy);
    // Puts values into the object that name and layer name; add sums into the
    // old values, appendDiagonal writes only the newest diagonal.
    QSSTATUS SetDataToObject(const std::string& objectName, const std::string& layerName,
                             const std::string& label, const std::vector<std::vector<double>>& data, int flag,
                             bool add, bool appendDiagonal);

    // ---- names and ids
    // Whether names given for display carry the table number ("  1 - Paid
    // Loss") or the long name alone; the workstation's "Show Table ID#"
    // drives it, and callers that compare names switch it off meanwhile.
    virtual int GetShowTableID() const { return m_display.ShowTableId(); }
    virtual void SetShowTableID(int on) { m_display.SetShowTableId(on); }
    QSSTATUS GetNameFromID(QSID id, std::string& name) const;
    QSSTATUS GetShortNameFromID(QSID id, std::string& name) const;
    QSSTATUS GetLongNameFromID(QSID id, std::string& name) const override;
    // Non-zero when name is used by no object of the category other than
    // excludeId (compared without case, long and short names). Otherwise the
    // conflicting object's names and index are returned.
    int IsNameUnique(const std::string& name, int category, QSID excludeId, std::string* conflictName = nullptr,
                     std::string* conflictShort = nullptr, std::uint16_t* conflictIndex = nullptr) const;
    QSSTATUS GetNextAvailIndex(int category, std::uint16_t from, std::string& result) const;
    int IsIndexAvail(int category, const std::string& indexText) const;
    QSSTATUS GetIDFromName(const std::string& name, QSID& id) const;
    // By long or short name only, as scripts name tables for table math.
    QSSTATUS GetQSIDForTableMathFromEitherShortNameOrLongName(const std::string& name, QSID& id) const;
    // Names used by more than one user object of the range that firstId
    // opens (1001 input tables, 5001 exhibits, 6001 methods, 7001 reports).
    QSSTATUS ReportDuplicateNamesForOldQsUserDefined(QSID firstId, QSStringArray& names) const;
    // Finds an object of oldId's kind by name (the print lists follow renumbered objects).
    QSSTATUS GetPrintIDFromName(const std::string& name, QSID& id, QSID oldId) const;
    // Walks the objects of a category (1000, 4000, ...) in id order.
    QSSTATUS GetFirst(const int& category, QSID& id, std::string& name, int layerFlag = 0, short reserved = -1);
    QSSTATUS GetNext(const int& category, QSID& id, std::string& name, int layerFlag = 0, short reserved = -1);
    QSID GetScalingFactorID() const;
    QSID GetPayPatternID() const;

    // ---- navigator
    QSSTATUS GetNodeSubGroups(const QSID& node, QSStringArray& names, QSIDArray& ids) const;
    QSSTATUS GetNodeObjects(const QSID& node, QSStringArray& names, QSIDArray& ids, unsigned short layer,
                            int dataOnly, int viewEntered, int viewCalculated, int viewSelected) const;
    QSSTATUS GetNodeDisplayObjects(const QSID& node, unsigned short layer, int dataOnly, int viewEntered,
                                   int viewCalculated, int viewSelected, QSStringArray& names, QSIDArray& ids,
                                   std::vector<int>& hasData) const;
    QSID GetSubgroupFromID(QSID id) const;
    bool CanMoveIDToSubgroup(QSID id, QSID subgroup) const;
    QSSTATUS MoveIDToSubGroup(QSID id, QSID subgroup);
    QSSTATUS GetShowItems(QSIDArray& ids) const { ids = m_tree.ShowItems(); return qsk::kOk; }
    QSSTATUS SetShowItems(const QSIDArray& ids);
    QSSTATUS SetShowItem(QSID id);
    // Structure objects of a layer by role: [0] entered arrays, [1] other
    // input arrays, [2] ultimates, [3] scalars, [4] data-adjustment tables.
    QSSTATUS GetProjStructDataInfo(unsigned short layer, std::array<std::map<QSID, std::string>, 5>& maps,
                                   bool withData) const;

    // ---- layers
    QSSTATUS GetLayerCount(unsigned short& count) const { count = kLayerCount; return qsk::kOk; }
    QSSTATUS GetNameLayer(std::string& name, unsigned short layer) const override;
    QSSTATUS GetCalcedLayers(LAYERNAMES& calc1, LAYERNAMES& calc2) const;
    QSSTATUS SetCalcedLayers(LAYERNAMES calc1, LAYERNAMES calc2);
    bool IsLayerCalculated(unsigned short layer) const;
    // Moves every entered value of layer from into layer to (both entered);
    // from is left blank.
    QSSTATUS MoveLayer(unsigned short from, unsigned short to);

    // ---- labels and dates
    // Three lists and a title: exposure labels, development labels,
    // exhibit (age-to-age) labels, and the period word.
    QSSTATUS GetLabels(QSStringArray& exposure, QSStringArray& development, QSStringArray& exhibit,
                       std::string& title) const override;
    // One kind of labels; index -1 for all, else the one label at index.
    QSSTATUS GetLabels(QSStringArray& labels, LABELTYPES kind, std::string& caption, const short& index) const override;
    QSSTATUS GetObjectLabels(const CDataObject& object, QSStringArray& rows, QSStringArray& cols,
                             std::string& corner) const override;
    QSSTATUS GetExpDate(int& month, int& day, int& year, int index) const;
    QSSTATUS GetExpDate(CHDate& date, int index) const;
    QSSTATUS SetExpDate(int month, int day, int year, int index);
    QSSTATUS GetDevPeriod(int& months, int index) const override;
    QSSTATUS SetDevPeriod(int months, int index);
    std::string GetAllPriorExposureYear(const std::string& label) const;
    const std::string& GetDatesFormat() const { return m_display.DatesFormat(); }
    QSSTATUS SetDatesFormat(const std::string& pattern);
    const std::string& GetPeriodLabel() const { return m_display.PeriodLabel(); }
    QSSTATUS SetPeriodLabel(const std::string& text) {
        m_display.SetPeriodLabel(text);
        m_modified = true;
        return qsk::kOk;
    }
    int GetExhibitLabelFormat() const { return m_display.ExhibitLabelFormat(); }
    QSSTATUS SetExhibitLabelFormat(int format);
    int GetNumHistLabels() const { return static_cast<int>(m_display.HistLabels().size()); }
    std::string GetSelHistLabel(int index) const;
    QSSTATUS SetSelHistLabel(int index, const std::string& text);
    // Every label at once: the list becomes labels (at most kMaxHistoricals,
    // else kOutOfRange and nothing changes).
    QSSTATUS SetSelHistLabels(const std::vector<std::string>& labels);
    static constexpr int kMaxHistoricals = ProjectDisplay::kMaxHistoricals;

    // ---- display settings
    QSSTATUS GetCurrencySymbol(std::string& symbol, int& position) const;
    QSSTATUS SetCurrencySymbol(const std::string& symbol, int position);
    QSSTATUS GetNegSymbol(std::string& symbol, int& leading, int& red) const;
    QSSTATUS SetNegSymbol(const std::string& symbol, int leading, int red);
    QSSTATUS GetThousDecSymbol(char& thousands, char& decimal, int& useThousands) const;
    QSSTATUS SetThousDecSymbol(char thousands, char decimal, int useThousands);
    QSSTATUS GetDataFont(CLOGFONT& font) const { font = m_display.DataFont(); return qsk::kOk; }
    QSSTATUS SetDataFont(const CLOGFONT& font) { m_display.SetDataFont(font); m_modified = true; return qsk::kOk; }
    QSSTATUS GetHeadingsFont(CLOGFONT& font) const { font = m_display.HeadingsFont(); return qsk::kOk; }
    QSSTATUS SetHeadingsFont(const CLOGFONT& font) {
        m_display.SetHeadingsFont(font);
        m_modified = true;
        return qsk::kOk;
    }
    QSSTATUS GetHeaderFont(CLOGFONT& font) const { font = GetPageSetup().m_HeaderFont; return qsk::kOk; }
    QSSTATUS GetFooterFont(CLOGFONT& font) const { font = GetPageSetup().m_FooterFont; return qsk::kOk; }
    QSSTATUS GetTitleFont(CLOGFONT& font) const { font = GetPageSetup().m_TitleFont; return qsk::kOk; }
    QSSTATUS GetHeaderStrings(QSStringArray& s) const { s = GetPageSetup().m_HeaderStrings; return qsk::kOk; }
    QSSTATUS GetFooterStrings(QSStringArray& s) const { s = GetPageSetup().m_FooterStrings; return qsk::kOk; }
    CPageSetup& GetPageSetup() { return m_display.PageSetup(); }
    const CPageSetup& GetPageSetup() const { return m_display.PageSetup(); }
    void SetPageSetup(const CPageSetup& ps) { m_display.PageSetup() = ps; m_modified = true; }
    static void SetDisplayDefaults(const QSDisplayDefaults& defaults);
    static QSDisplayDefaults GetDisplayDefaults();
    // Reads the "Settings" keys through the caller's profile reader
    // (key, default) -> value, and makes them the defaults of new projects.
    static void ReadDisplayDefaults(const std::function<std::string(const char* key, const char* def)>& read);
    // The same from section "Settings" of the application's profile file
    // (a plain name lives in the Windows directory, as the profile calls say).
    static void ReadDisplayDefaultsFromProfile(const std::string& profileFile);

    // ---- project properties
    const std::string& GetCompanyName() const { return m_company; }
    void SetCompanyName(const std::string& s) { m_company = s; m_modified = true; }
    const std::string& GetDescription() const { return m_description; }
    void SetDescription(const std::string& s) { m_description = s; m_modified = true; }
    const std::string& GetComment() const { return m_comment; }
    void SetComment(const std::string& s) { m_comment = s; m_modified = true; }
    CHDate GetAsOfDate() const { return CHDate(m_asOfSerial); }
    void SetAsOfDate(const CHDate& d) { m_asOfSerial = d.GetSerial(); m_modified = true; }
    // The layer settings a predecessor conversion ran with (kept with the project).
    int GetConvertedPC5DirectLayer() const { return m_pc5DirectLayer; }
    int GetConvertedPC5IsAssCalc() const { return m_pc5IsAssCalc; }

    // ---- exchange formats (docs/kernel/exchange.md; bodies in CProjectExchange.cpp)
    // Statuses: 0 done; 1 the file cannot be opened, read or written; 20 not
    // of the format, damaged or truncated; 21 the structure is invalid or
    // differs from this project's; 22 a table cannot be written (calculated
    // layer, unknown kind, name taken); 23 a value or the structure does not
    // fit the ASCII record layout, or the worksheet its 8192 rows and 256 columns. A failed import changes nothing; an export
    // replaces its target only when complete.
    // Imports into a project not yet created build it from the file; into an
    // existing one the structure must match: add 0 replaces the data of the
    // layers the file writes, add 1 adds the file's values to them; with
    // clearSelecteds the selected factors, selected ultimates and method
    // variables are blanked first. cumulative says whether the file's
    // cumulable triangles are cumulative (1) or incremental (0).
    QSSTATUS ImportWK1(const std::string& path, int cumulative, int add, int clearSelecteds);
    // usePC5Format writes only the triangles the predecessor program knew,
    // each with its exhibit's selected factors.
    QSSTATUS ExportWK1(const std::string& path, int cumulative, int usePC5Format) const;
    // layer: 1 Net .. 5 Assumed; the widths are the record layout's header
    // (18) and data (11) lists.
    QSSTATUS ImportAscii(const std::string& path, int layer, int cumulative, const CByteArray& headerWidths,
                         const CByteArray& dataWidths, int add, int clearSelecteds);
    QSSTATUS ExportAscii(const std::string& path, int layer, int cumulative, const CByteArray& headerWidths,
                         const CByteArray& dataWidths) const;
    // One project's records of an enhanced ASCII file: read from the file's
    // position up to endOffset (0: the end of the file); written at the
    // file's position.
    QSSTATUS ImportExtAscii(CFile& file, std::uint64_t endOffset, int add, int clearSelecteds);
    QSSTATUS ExportExtAscii(CFile& file, int cumulative) const;
    // Converts a predecessor exhibit file read from after its 4-byte
    // signature; the project is rebuilt from it. Failure: 5 (the load status
    // of a failed conversion), the project unchanged.
    QSSTATUS ImportPC5(CFile& file);
    QSSTATUS ImportPC5(const std::uint8_t* data, std::size_t size);
    // Writes this project's exhibit triangles (Net and the layer the
    // direct/assumed setting names) and selected factors as a predecessor file.
    QSSTATUS ExportPC5(const std::string& path) const;
    // Process-wide conversion settings: the layer that receives the
    // predecessor's direct/assumed data (2 Gross, 4 Direct) and whether the
    // Assumed layer becomes calculated.
    static void GetPC5DirectLayer(int& layer);
    static void SetPC5DirectLayer(int layer);
    static void GetPC5IsAssCalc(int& on);
    static void SetPC5IsAssCalc(int on);

    // ---- structure operations (all or nothing)
    QSSTATUS AppendNewEvaluation(int& growRows, int& growColumns, int& clearSelected, int& count);
    QSSTATUS RemoveLastEvaluation(int& count);
    int GetEvaluationCount() const;  // diagonals that can still be removed + 1
    // kind 2: a period before the oldest; kind 0: the all-prior row.
    QSSTATUS AppendExposurePeriod(int& count, int kind);
    // kind 2: the oldest period; kind 1: the all-prior row.
    QSSTATUS RemoveExposurePeriod(int& count, int kind);
    QSSTATUS AppendDevelopmentPeriod(int& count);
    // Results: 0 done; 1 failure; 2000 one period missing with the prior
    // row left out; n > 1: n - 1 periods missing. Nothing changes unless 0.
    QSSTATUS CompressRows(int newLength, int& startRow, int& stopRow, int& ratio);
    // 0 done; 1 bad length; 2 more exposure than development periods would result.
    QSSTATUS CompressColumns(int newLength, int leaveFirst, int& count);
    QSSTATUS CopyCurrentUltimatesToHistoricalUltimates(int growRows);
    QSSTATUS CopyHistoricalUltimatesToCurrentUltimates(int flag);
    bool HasHistoricalUltimates() const;
    static constexpr int kFirstSelectedUltimate = qsk::kFirstSelectedUltimate;
    static constexpr int kFirstHistoricalUltimate = qsk::kFirstHistoricalUltimate;
    static constexpr int kUltimateCount = qsk::kUltimateCount;

    // ---- arithmetic
    // status: 0 done; 101 done, out lists targets skipped because they are
    // calculated from other targets; 100 target calculated, 200 target a
    // scalar, 300 target cannot take input, 400 source cannot provide input,
    // 500 target not found, 600 source not found, 700 incompatible shapes,
    // 800 operation failed (division by zero); out lists the tables concerned.
    // An empty operand list uses value. Nothing changes on a failure.
    virtual QSSTATUS PerformTableMath(const QSIDArray& targets, int operation, const QSIDArray& operands,
                                      double& value, QSIDArray& out, std::int32_t& status);
    // Adds or subtracts other's entered data (OPTYPES 0/1), rows matched by date.
    QSSTATUS ProjectMath(const CProject& other, int operation);
    std::uint32_t MatchProject(const CProject& other) const;

    // ---- reports
    QSSTATUS DumpStruct(std::FILE* file, int kind) const;
    QSSTATUS CompProject(const CProject& other, std::FILE* file) const;
    std::string DumpStructText(int kind) const;
    std::string CompProjectText(const CProject& other) const;

    // All instances of every object, for kernel code that walks the project.
    void ForEachObject(const std::function<void(QSID baseId, unsigned short layer, CFormula*)>& fn) const;

    // ---- flood fills (defined in FloodFill.cpp; FloodFill.h says what a fill writes)
    // The rules per exhibit id with its layer. Get fills map with new
    // objects the caller owns; Set replaces the project's rules with copies
    // of the map's entries of the right class and marks the project modified
    // when they differ.
    QSSTATUS GetRegularSDFFloodFillOption(CMapLongToOb& map) const;
    QSSTATUS SetRegularSDFFloodFillOption(const CMapLongToOb& map);
    QSSTATUS GetInterpolateSDFFloodFillOption(CMapLongToOb& map) const;
    QSSTATUS SetInterpolateSDFFloodFillOption(const CMapLongToOb& map);
    // Whether the exhibit (id with layer) has an active selected-factor rule.
    bool IsSDFSetWithFloodFill(QSID idWithLayer) const;
    // Runs every rule of the kind; progress may be null. The project-wide
    // fills below return 0 when every target was filled, else the status of
    // the first failure (qsff::kCancelled when the progress stopped it); each
    // failed target is also told to the progress, and the others are filled.
    QSSTATUS FloodFillSDF(IFloodFillProgress* progress, ENUM_SDF_TYPE type);
    // The fill-selecteds commands over the target ids (tables or exhibits,
    // with their layers): stat is the 8 leading bytes of a statistics
    // definition (the tail cell is kept); the set's rows fill the targets'
    // SDFs (targets without a row are skipped; fails when none was filled or
    // the set's structure does not fit); the targets' SDFs are copied into
    // the set. Null ids: every exhibit on every layer.
    QSSTATUS FillProjFromStat(const std::vector<std::uint8_t>& stat, const QSIDArray* ids);
    QSSTATUS FillProjFromFS(const CFactorSet& set, const QSIDArray* ids);
    QSSTATUS FillFSFromProj(CFactorSet& set, const QSIDArray* ids);
    // One exhibit's rule of the kind (the exhibit view's execute command):
    // 0 when it was filled, qsk::kUnknownId without such a rule or exhibit,
    // else the fill's status.
    QSSTATUS FloodFillSDF(IFloodFillProgress* progress, QSID idWithLayer, ENUM_SDF_TYPE type);
    // Method variables (input arrays of index above 103 and the entered
    // columns of methods): blank cells take the value held before them along
    // the vector; leading blanks take the first value (FloodFillInterpolated.cpp).
    QSSTATUS FloodFillMethodVariable(IFloodFillProgress* progress);

    // ---- summary reports and the ultimates flood fill (SummaryReports.cpp,
    // docs/kernel/summary-reports.md)
    // The options of one summary report on a layer (0: the id's own layer,
    // else Net). selected: the gathered tables in report order; available:
    // every table it may gather; flags (optional, one per available table):
    // the table holds a value on that layer. 0, qsk::kUnknownId when id is no
    // summary report, qsk::kBadLayer.
    QSSTATUS GetSummaryRptOptions(QSID id, unsigned short layer, QSIDArray& selected, QSIDArray& available,
                                  int& straightAverage, int& selectedUltimate, int& weightedAverage,
                                  CKDVUltWeightDataInfo& weights, int& displayWeights,
                                  std::vector<bool>* flags = nullptr) const;
    // Stores the options and lays the report out again (entered selected
    // ultimates are kept). Refused, nothing changed: no summary report
    // (kUnknownId), a bad layer (kBadLayer), no table, a table that is not
    // available or named twice, or weights that are negative or not finite
    // (kFail).
    QSSTATUS SetSummaryRptOptions(QSID id, unsigned short layer, const QSIDArray& selected, int straightAverage,
                                  int selectedUltimate, int weightedAverage, int displayWeights,
                                  const CKDVUltWeightDataInfo& weights);
    const QSSummaryRptOptions* FindSummaryRptOptions(QSID idWithLayer) const override;
    // A summary report's derived column: role 1 straight average, 2 weighted
    // average, 3 selected ultimate (CSummaryReport::ColumnRole); the layer
    // comes from the id (0: Net). Fails when the report does not show it.
    QSSTATUS UltimateMapLookup(QSID reportId, int role, CDataObject*& table) const;
    // The column of a summary report that gathers table tableId, with that
    // table's weights (an entry of weight 0 when it has none).
    QSSTATUS UltimateMapLookup(QSID reportId, QSID tableId, CDataObject*& table, CKDVUltWeightData& weights) const;
    // The ultimates flood fill options of an estimate kind (the kind's
    // summary report id, e.g. 301003003 for loss) on a layer (0: Net, set on
    // return). candidates: new objects the caller owns, the first one the
    // empty choice; non-zero on success.
    int GetUltFloodFillOption(QSID kindId, unsigned short& layer, std::vector<CKDVUltFloodFillData*>& candidates,
                              CKDVUltFloodFillData& selected, QSID& minimumId, int& check) const;
    int SetUltFloodFillOption(QSID kindId, unsigned short& layer, CKDVUltFloodFillData selected, QSID minimumId,
                              int check);
    // True when the summary report (id with layer) is an estimate kind with a
    // chosen estimate on that layer.
    bool IsUltimateSetWithFloodFill(QSID idWithLayer) const;
    // Fills the selected ultimates of every kind and entered layer with a
    // chosen estimate: the report's selected-ultimate column and the kind's
    // selected ultimate array take the estimate, raised to the minimum
    // array's latest value where the minimum is on (those cells marked).
    QSSTATUS FloodFillUltimate(IFloodFillProgress* progress);

    // ---- exhibit settings (CProjectExhibitSettings.cpp, ExhibitSettings.h)
    // Statistics definitions shared by every exhibit that has statistics;
    // setting them recomputes those exhibits.
    QSSTATUS GetStatsCount(unsigned short& count) const;
    QSSTATUS GetStatsDefs(std::vector<CStatistics::Record>& records, int& excludePrior, int& abbreviate) const;
    QSSTATUS SetStatsDefs(const std::vector<CStatistics::Record>& records, int excludePrior, int abbreviate);
    // The rows the exhibit views show (0/1 each).
    QSSTATUS GetExhibitShowSDF(int& on) const { on = m_exhibitSettings.showSDF; return qsk::kOk; }
    QSSTATUS GetExhibitShowCumSDF(int& on) const { on = m_exhibitSettings.showCumSDF; return qsk::kOk; }
    QSSTATUS GetExhibitShowRatioSDF(int& on) const { on = m_exhibitSettings.showRatioSDF; return qsk::kOk; }
    QSSTATUS GetExhibitShowBlankSDF(int& on) const { on = m_exhibitSettings.showBlankSDF; return qsk::kOk; }
    QSSTATUS GetExhibitShowSelHist(int& on) const { on = m_exhibitSettings.showSelHist; return qsk::kOk; }
    QSSTATUS SetExhibitShowSDF(const int& on);
    QSSTATUS SetExhibitShowCumSDF(const int& on);
    QSSTATUS SetExhibitShowRatioSDF(const int& on);
    QSSTATUS SetExhibitShowBlankSDF(const int& on);
    QSSTATUS SetExhibitShowSelHist(const int& on);
    // Prior periods of historical selections shown: 0 .. 12 (above: status 1).
    QSSTATUS GetExhibitViewSelHistCount(unsigned short& count) const;
    QSSTATUS SetExhibitViewSelHistCount(const unsigned short& count);
    // with: the exhibits that have statistics; offered: every exhibit
    // (layer-neutral ids, id order). Set gives statistics to the exhibits of
    // with and takes them from those of without (unknown ids: status 2,
    // nothing changed).
    QSSTATUS GetExhibitStatsLists(QSIDArray& with, QSIDArray& offered) const;
    QSSTATUS SetExhibitStatsLists(const QSIDArray& with, const QSIDArray& without);
    // Interpolation set-up; Get returns non-zero (it always succeeds).
    int GetInterpolationSelections(std::vector<CInterpolateSelection>& selections, ENUM_PERIOD* period, int* display,
                                   int* abbreviate, int* useInMethods, ENUM_ADJ_UNEARNED_EXPOSURE* adjustment) const;
    QSSTATUS SetInterpolationSelections(const std::vector<CInterpolateSelection>& selections, ENUM_PERIOD period,
                                        int display, int abbreviate, int useInMethods,
                                        ENUM_ADJ_UNEARNED_EXPOSURE adjustment);
    int GetInterpolateFlag() const { return m_exhibitSettings.interpDisplay; }
    int GetInterpolateAbbrevFlag() const { return m_exhibitSettings.interpAbbreviate; }
    // New one-row objects the caller owns: the development ages in months
    // (current), and the ages held by the interpolated-ages array 804 of the
    // layer (interpolate; fails when it holds none).
    QSSTATUS GetCurrentPeriods(CDataObject*& periods, unsigned short layer) const;
    QSSTATUS GetInterpolatePeriods(CDataObject*& periods, unsigned short layer) const;
    // Factor sets attached to the project, index by index with their
    // library's name and description (the arrays must be of one length).
    QSSTATUS GetFSList(std::vector<CFactorSet>& sets, QSStringArray& libraries, QSStringArray& descriptions) const;
    QSSTATUS SetFSList(const std::vector<CFactorSet>& sets, const QSStringArray& libraries,
                       const QSStringArray& descriptions);
    int CanUseFS() const { return 1; }
    const QSExhibitSettings& GetExhibitSettings() const override { return m_exhibitSettings; }

private:
    using ObjectEntry = ProjectObjectEntry;
    friend class CProjectStorageAccess;
    friend class ProjectExchangeAccess;

    // ---- data
    // The owned parts. The store is emptied first on destruction (see the
    // destructor); the graphs part outlives it as it did when the project
    // held both itself.
    ProjectPeriods m_periods;
    ProjectDisplay m_display;
    ProjectNavigatorTree m_tree;
    ProjectObjectStore m_store;
    ProjectGraphs m_graphs;

    // Life cycle and binding.
    bool m_pendingPrior = false;
    RUNNING_MODE m_mode = RM_FILE;
    std::string m_fileName;
    bool m_modified = false;
    QSSTATUS m_loadStatus = LS_OK;
    bool m_created = false;
    CKDVVantor* m_vantor = nullptr;
    IKDVDatabaseManager* m_dbManager = nullptr;
    std::string m_logFileName;
    std::map<int, QSID> m_iterCursor;  // GetFirst/GetNext position per category

    // Project properties.
    std::string m_company, m_description, m_comment;
    double m_asOfSerial = 0.0;
    int m_pc5DirectLayer = 0;
    int m_pc5IsAssCalc = 0;

    // Exhibit settings, flood-fill rules and summary report options.
    QSExhibitSettings m_exhibitSettings;
    std::map<QSID, CKDVSDFFloodFillOption> m_sdfFloodFill;
    std::map<QSID, CInterpolateSDFFloodFillOption> m_interpFloodFill;
    std::map<QSID, QSSummaryRptOptions> m_summaryRpt;       // by report id with layer
    std::map<QSID, QSUltFloodFillSetting> m_ultFloodFill;  // by kind id with layer

    // ---- helpers
    // The template: navigator nodes, input arrays and the scaling factor.
    void BuildTemplate();
    CDataObject* AddTemplateArray(int index, const std::string& name, const std::string& shortName, int vectorType,
                                  QSID subgroup, bool cumulable, int displayType, short decimals);
    ObjectEntry* FindEntry(QSID id) { return m_store.Find(id); }
    const ObjectEntry* FindEntry(QSID id) const { return m_store.Find(id); }
    static QSID BaseOf(QSID id) { return ProjectObjectStore::BaseOf(id); }
    bool IsUserKind(QSID id) const;
    // Installs an entry in the store and shapes it to the structure.
    void InstallEntry(ObjectEntry&& entry);
    // Relates the layers of every object, or of the one object only.
    void ApplyLayerRelations(QSID only = 0);
    void RecalculateAllLayers(QSID only = 0);
    void ApplyShapes();
    void NotifyAllObjects(int kind);
    QSSTATUS ValidateStructure(const QSStructure& s) const { return ProjectPeriods::Validate(s); }

    // Restructuring (CProjectStructure.cpp). Reshapes the project to ns,
    // moving each data object's cells: cells(vectorType, newRow, newCol)
    // lists the old cells that sum into the new one (empty: blank). newAges
    // replaces the development ages when given.
    using CellSourceFn = std::function<std::vector<std::pair<int, int>>(int vectorType, int row, int col)>;
    void Restructure(const QSStructure& ns, const CellSourceFn& cells, const std::vector<double>* newDates = nullptr,
                     const std::vector<int>* newAges = nullptr);
    // The same with the new cell (r, c) taking the old cell (rowMap[r], colMap[c]) (-1: blank).
    void RestructureByMaps(const QSStructure& ns, const std::vector<int>& rowMap, const std::vector<int>& colMap);
    QSSTATUS CopyUltimates(bool toHistorical);

    // Storage (CProjectStorage.cpp).
    void WriteBody(KernelWriter& w, std::uint32_t generation) const;
    QSSTATUS ReadBody(KernelReader& r, std::uint32_t generation);

    // Graphs (CProjectGraphs.cpp).
    // An object is deleted: a kept graph it is, or the kept graph of the table it is, goes too.
    void DropGraphsOf(QSID base, const CFormula* object);
    // A window opens a graph id again after a structural change: the working
    // graph of that id (and layer, when given) that has no window left.
    CGraph* RelinkWorkGraph(QSID id, unsigned short layer, IKernelWindow* window) {
        return m_graphs.Relink(id, layer, window);
    }
    // Before a "GraphData" load or a "QS1" load: the navigator graphs.
    std::map<QSID, ObjectEntry> TakeGraphEntries();

    // Flood fills and exhibit settings (FloodFill*.cpp, CProjectExhibitSettings.cpp).
    // Runs the interpolated rules (only = 0) or the one of exhibit only.
    QSSTATUS FloodFillInterpolatedSDF(IFloodFillProgress* progress, QSID only);
    // The exhibit a fill target names (an exhibit id, or a table whose
    // exhibit it is), with the target's layer; null when there is none.
    CExhibit* FloodFillTarget(QSID id) const;
    std::vector<QSID> FloodFillTargets(const QSIDArray* ids) const;
    // Gives every exhibit with statistics the project's definitions.
    void ApplyStatsDefsToExhibits();
};
