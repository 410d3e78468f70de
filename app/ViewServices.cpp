#include "ViewServices.h"

#include <QComboBox>

#include "CDocTemplate.h"
#include "CDocument.h"
#include "frames/CChildFrame.h"
#include "frames/CMainFrame.h"
#include "CObjectView.h"
#include "CProject.h"
#include "CProjectDoc.h"
#include "CQuillstoneApp.h"
#include "CUltFloodFillOptionDlg.h"
#include "CWorkstationSetupDlg.h"
#include "ExhibitDialogsHost.h"
#include "dialogs/SmallDialogs.h"
#include "ProjectHost.h"
#include "SmallViewDialogs.h"
#include "ViewSettings.h"
#include "WaitCursor.h"
#include "startup/WorkstationSettings.h"

namespace qs::app {

namespace {

void UpdateDocumentsOf(CDocTemplate* tmpl, CView* sender, long hint, CObject* hintObject) {
    if (tmpl == nullptr) return;
    const std::vector<CDocument*> docs = tmpl->Documents();
    for (CDocument* doc : docs) doc->UpdateAllViews(sender, hint, hintObject);
}

}  // namespace

namespace {

// The statistic definition dialog edits one row of the exhibit options'
// statistics page.
bool EditStatistic(qs::views::StatisticDefinition& def) {
    CStatisticsDlg dialog;
    for (const char* t : {"Average", "Linear Trend", "Exponential Curve"}) dialog.TypeList()->addItem(QString::fromLatin1(t));
    for (const char* w : {"NONE", "VOLUME", "TIME", "USER"}) dialog.WeightsList()->addItem(QString::fromLatin1(w));
    dialog.m_nCount = def.order;
    dialog.m_nType = def.typeIndex;
    dialog.m_bCheckA = def.includeZeros;
    dialog.m_bCheckB = def.excludeHighLow;
    dialog.m_nByteA = def.excludeFirst;
    dialog.m_nByteB = def.excludeLast;
    dialog.m_nByteC = def.useLast;
    dialog.m_nWeights = def.weights;
    dialog.m_bCheckC = def.includeInGraph;
    if (dialog.DoModal() != IDOK) return false;
    def.order = dialog.m_nCount;
    def.typeIndex = dialog.m_nType;
    def.includeZeros = dialog.m_bCheckA;
    def.excludeHighLow = dialog.m_bCheckB;
    def.excludeFirst = dialog.m_nByteA;
    def.excludeLast = dialog.m_nByteB;
    def.useLast = dialog.m_nByteC;
    def.weights = dialog.m_nWeights < 0 ? 0 : dialog.m_nWeights;
    def.includeInGraph = dialog.m_bCheckC;
    return true;
}

}  // namespace

void SyncExhibitDialogsHost() {
    qs::views::ExhibitDialogsHost& h = qs::views::ExhibitHost();
    h.applicationMode = [] { return CQuillstoneApp::Current() ? CQuillstoneApp::Current()->m_nApplicationMode : 0; };
    h.workingDirectory = QString::fromStdString(Settings().workingDirectory);
    h.filesPath = QString::fromStdString(Settings().filesPath);
    h.filesFolderSwitch = qs::project::Host().folderNotChosen;
    h.navigatorLayer = []() -> unsigned short {
        CQuillstoneApp* app = CQuillstoneApp::Current();
        if (app == nullptr) return 0;
        CProjectDoc* doc = nullptr;
        unsigned short layer = 0;
        QSID id = 0;
        app->GetNavigatorSelection(doc, layer, id);
        return layer;
    };
    h.activeProject = []() -> CProject* {
        CQuillstoneApp* app = CQuillstoneApp::Current();
        return app != nullptr ? app->GetActiveProject() : nullptr;
    };
    h.logFilePath = [] { return qs::project::Host().logFilePath ? qs::project::Host().logFilePath() : std::string(); };
    h.editStatistic = EditStatistic;
}

void SyncViewSettings() {
    const WorkstationSettings& s = Settings();
    qs::views::ViewSettings& v = qs::views::Settings();
    v.scale = s.scale;
    v.enterMoves = s.enterMoves;
    v.defaultShow = s.defaultShow;
    v.showLayerColors = s.showDifferentLayerColors;
    for (int i = 0; i < kLayerCount; ++i) v.layerColors[std::size_t(i)] = s.workingLayerColors[i];
    v.pattern = s.pattern;
    v.patternFg = s.patternROFG;
    v.patternBg = s.patternROBG;
    v.scaleChanged = [](int scale) { Settings().scale = scale; };
    v.reopeningTable = [] { return CChildFrame::IsRefitInProgress(); };
    CUltFloodFillOptionDlg::NavigatorLayer() = []() -> unsigned short {
        CQuillstoneApp* app = CQuillstoneApp::Current();
        if (app == nullptr) return 0;
        CProjectDoc* doc = nullptr;
        unsigned short layer = 0;
        QSID id = 0;
        app->GetNavigatorSelection(doc, layer, id);
        return layer;
    };
    SyncExhibitDialogsHost();
    v.statusMessage = [](const QString& text) {
        if (CQuillstoneApp* app = CQuillstoneApp::Current(); app != nullptr && app->MainFrame() != nullptr)
            app->MainFrame()->SetStatusMessage(text);
    };
}

void UpdateAllProjectViews(CView* sender, long hint, CObject* hintObject) {
    if (CQuillstoneApp* app = CQuillstoneApp::Current()) app->UpdateAllProjectViews(sender, hint, hintObject);
}

void UpdateAllFactorLibraryViews(CView* sender, long hint, CObject* hintObject) {
    if (CQuillstoneApp* app = CQuillstoneApp::Current()) UpdateDocumentsOf(app->m_pDFLTemplate, sender, hint, hintObject);
}

void LoadWorkstationSetup(CWorkstationSetupDlg& dialog) {
    const WorkstationSettings& s = Settings();
    dialog.m_bAutoOpenMru = s.autoOpenMruFile ? 1 : 0;
    dialog.m_bShowTableId = s.showTableId ? 1 : 0;
    dialog.m_nEnterMoves = s.enterMoves;
    dialog.m_strDataPath = QString::fromStdString(s.filesPath);
    dialog.m_bShowStartDialog = s.showStartDialog;
    dialog.m_nDefaultShow = s.defaultShow;
    dialog.m_bShowLayerColors = s.showDifferentLayerColors ? 1 : 0;
    dialog.m_bColumnSumFullPrecision = s.columnSumFullPrecision ? 1 : 0;
    dialog.m_nDefaultLayer = s.defaultLayer;
    for (int i = 0; i < kLayerCount; ++i) dialog.m_layerColors[std::size_t(i)] = s.layerColors[i];
    dialog.m_nPattern = s.pattern;
    dialog.m_nPatternFg = s.patternROFG;
    dialog.m_nPatternBg = s.patternROBG;
    dialog.m_bViewEntered = s.viewEntered;
    dialog.m_bViewCalculated = s.viewCalculated;
    dialog.m_bViewDataOnly = s.viewDataOnly;
    dialog.m_bViewSelectedTables = s.viewSelectedTables;
}

void CommitWorkstationSetup(const CWorkstationSetupDlg& dialog) {
    WorkstationSettings& s = Settings();
    s.autoOpenMruFile = dialog.m_bAutoOpenMru != 0;
    s.showTableId = dialog.m_bShowTableId != 0;
    s.enterMoves = dialog.m_nEnterMoves;
    s.filesPath = StripTrailingSeparators(dialog.m_strDataPath.toStdString());
    qs::project::Host().filesPath = QString::fromStdString(s.filesPath);
    s.showStartDialog = dialog.m_bShowStartDialog;
    s.defaultShow = dialog.m_nDefaultShow;
    s.defaultShowFlag = s.defaultShow == 2 || s.defaultShow == 3;
    s.showDifferentLayerColors = dialog.m_bShowLayerColors != 0;
    SetColumnSumFullPrecision(dialog.m_bColumnSumFullPrecision != 0);
    s.defaultLayer = dialog.m_nDefaultLayer >= 1 && dialog.m_nDefaultLayer <= kLayerCount ? dialog.m_nDefaultLayer : 1;
    s.workingDefaultLayer = s.defaultLayer;
    for (int i = 0; i < kLayerCount; ++i) {
        s.layerColors[i] = dialog.m_layerColors[std::size_t(i)];
        s.workingLayerColors[i] = s.layerColors[i];
    }
    s.pattern = dialog.m_nPattern;
    s.patternROFG = dialog.m_nPatternFg;
    s.patternROBG = dialog.m_nPatternBg;
    s.viewEntered = dialog.m_bViewEntered;
    s.viewCalculated = dialog.m_bViewCalculated;
    s.viewDataOnly = dialog.m_bViewDataOnly;
    s.viewSelectedTables = dialog.m_bViewSelectedTables;
    SyncViewSettings();
}

bool RunWorkstationSetup(CWnd* parent) {
    CWorkstationSetupDlg::LoadAccelerators();
    CWorkstationSetupDlg dialog(parent);
    LoadWorkstationSetup(dialog);
    if (dialog.DoModal() != IDOK) return false;
    CWaitCursor wait;
    CommitWorkstationSetup(dialog);
    CQuillstoneApp* app = CQuillstoneApp::Current();
    if (app != nullptr) {
        app->RefreshNavigator();
        // Object names carry their table number or not, in every project.
        std::vector<CProjectDoc*> docs;
        app->GetProjectDocuments(docs);
        for (CProjectDoc* doc : docs)
            if (CProject* project = doc->GetProject()) project->SetShowTableID(Settings().showTableId ? 1 : 0);
    }
    for (long hint : {long(HINT_CAPTION), long(HINT_RELAYOUT2), long(HINT_ENTER_MOVES)})
        UpdateAllProjectViews(nullptr, hint, nullptr);
    for (long hint : {long(HINT_RELAYOUT2), long(HINT_ENTER_MOVES)}) UpdateAllFactorLibraryViews(nullptr, hint, nullptr);
    return true;
}

bool RunZoom(CWnd* parent) {
    int zoom = Settings().scale;
    if (!CZoomDlg::Run(zoom, parent)) return false;
    Settings().scale = zoom;
    qs::views::Settings().scale = zoom;
    UpdateAllProjectViews(nullptr, HINT_SCALE, nullptr);
    return true;
}

}  // namespace qs::app
