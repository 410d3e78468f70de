#pragma once
// The command ids of the program's menus and of the two command tables that
// answer them (the application's and the project document's), by name. The
// numbers are the ones menus, toolbars, accelerators, stored settings and
// posted messages carry, so they never change; a new command takes a number
// no entry here uses. Ids that are the framework's standard ones are given
// by the framework's name.
#include "CommandIds.h"
#include "WindowsTypes.h"

namespace qs::cmd {

// ---- File
inline constexpr UINT kFileNew = ID_FILE_NEW;
inline constexpr UINT kFileNewProject = 255;
inline constexpr UINT kFileOpen = ID_FILE_OPEN;
inline constexpr UINT kFileClose = ID_FILE_CLOSE;
inline constexpr UINT kCloseAll = 32925;
inline constexpr UINT kFileSave = ID_FILE_SAVE;
inline constexpr UINT kFileSaveAs = ID_FILE_SAVE_AS;
inline constexpr UINT kSaveData = 33089;
inline constexpr UINT kSaveDataAs = 33090;
inline constexpr UINT kSaveTemplate = 33058;
inline constexpr UINT kSaveTemplateAs = 33059;
inline constexpr UINT kSaveProfileData = 33086;
inline constexpr UINT kFileProperties = 32870;
inline constexpr UINT kPageSetup = 32771;
inline constexpr UINT kPrint = ID_FILE_PRINT;
inline constexpr UINT kPrintDatabase = 33094;  // the enterprise edition's Print
inline constexpr UINT kPrintActiveTable = ID_FILE_PRINT_DIRECT;
inline constexpr UINT kBatchPrint = 33100;
inline constexpr UINT kManagePrinting = 33087;
inline constexpr UINT kPrintSetup = ID_FILE_PRINT_SETUP;
inline constexpr UINT kMainPrintSetup = 1192;  // the main menu's, with no project open
inline constexpr UINT kAppExit = ID_APP_EXIT;
inline constexpr UINT kNewFactorLibrary = 32892;
inline constexpr UINT kRunPdf = 33088;
// Posted when the splash window closes: the start-up continues.
inline constexpr UINT kStart = 32955;

// ---- File > Import and Export
inline constexpr UINT kImportLotus = 32894;
inline constexpr UINT kImportEnhancedAscii = 32895;
inline constexpr UINT kImportAscii = 32902;
inline constexpr UINT kImportStatisticsDatabase = 32981;
inline constexpr UINT kConvertPC5Files = 33035;
inline constexpr UINT kExportLotus = 32896;
inline constexpr UINT kExportEnhancedAscii = 32897;
inline constexpr UINT kExportAscii = 32903;
inline constexpr UINT kExportExcel = 33034;

// ---- Edit (the table windows handle these)
inline constexpr UINT kEditCut = ID_EDIT_CUT;
inline constexpr UINT kEditCopy = ID_EDIT_COPY;
inline constexpr UINT kEditPaste = ID_EDIT_PASTE;
inline constexpr UINT kEditDelete = 32837;
inline constexpr UINT kEditClear = ID_EDIT_CLEAR;
inline constexpr UINT kEditClearAll = ID_EDIT_CLEAR_ALL;
inline constexpr UINT kEditCellNote = 32823;
inline constexpr UINT kFootnote = 32824;

// ---- View
inline constexpr UINT kViewToolbar = ID_VIEW_TOOLBAR;
inline constexpr UINT kViewStatusBar = ID_VIEW_STATUS_BAR;
inline constexpr UINT kShowNavigator = 32931;
inline constexpr UINT kCumulativeIncremental = 32797;
inline constexpr UINT kCalendarPeriods = 32877;
inline constexpr UINT kZoomIn = 32838;
inline constexpr UINT kZoomOut = 32839;
inline constexpr UINT kZoom = 32827;
inline constexpr UINT kTable100 = 32840;
inline constexpr UINT kViewSourceData = 32844;
inline constexpr UINT kViewFormula = 32943;
inline constexpr UINT kWorkstationSetup = 32832;

// ---- File Structure
inline constexpr UINT kAppendNewEvaluation = 32803;
inline constexpr UINT kRemoveLastEvaluation = 32796;
inline constexpr UINT kAppendOldestExposurePeriod = 32804;
inline constexpr UINT kRemoveOldestExposurePeriod = 32805;
inline constexpr UINT kAppendPriorExposurePeriod = 33054;
inline constexpr UINT kRemovePriorExposurePeriod = 33053;
inline constexpr UINT kAppendDevelopmentPeriod = 32806;
inline constexpr UINT kCompressColumns = 32807;
inline constexpr UINT kCompressRows = 32809;

// ---- Graph
inline constexpr UINT kGraphTable = 32983;
inline constexpr UINT kDefaultStyles = 33044;
inline constexpr UINT kLockGraph = 33117;
inline constexpr UINT kLockGraphCreation = 33118;
inline constexpr UINT kRefreshUserGraphs = 33119;

// ---- The graph window: its right-click menu, its bar's buttons and style list
inline constexpr UINT kGraphDataSource = 32989;
inline constexpr UINT kGraphWizard = 33031;
inline constexpr UINT kGraphDesigner = 33032;
inline constexpr UINT kGraphChangeStyles = 33033;
inline constexpr UINT kGraphSaveToNavigator = 33113;
inline constexpr UINT kGraphStyleList = 33038;
inline constexpr UINT kGraphSaveStyle = 1703;
inline constexpr UINT kGraphLoadStyle = 1704;
inline constexpr UINT kGraphEnableZoom = 1705;
inline constexpr UINT kGraphResetZoom = 1706;
inline constexpr UINT kGraphSingleSeries = 1169;
inline constexpr UINT kGraphAdjustYAxis = 1170;
inline constexpr UINT kGraphCancel = 1564;
inline constexpr UINT kGraphSave = 378;
inline constexpr UINT kGraphDeleteStyle = 379;
inline constexpr UINT kGraphFileLabel = 1715;
inline constexpr UINT kGraphFileCheck = 1716;
inline constexpr UINT kGraphDataBar = 33106;
// ---- Tools
inline constexpr UINT kTableMath = 32867;
inline constexpr UINT kNewTable = 32814;
inline constexpr UINT kEditTable = 32815;
inline constexpr UINT kDeleteTable = 32816;
inline constexpr UINT kReplicateTable = 32933;
inline constexpr UINT kFileSummary = 32869;
inline constexpr UINT kFileCompare = 32874;
inline constexpr UINT kFileAdd = 32875;
inline constexpr UINT kFileSubtract = 32876;
inline constexpr UINT kFileUpdate = 32898;
inline constexpr UINT kMoveLayer = 32964;
inline constexpr UINT kFileLabels = 32833;
inline constexpr UINT kFileDisplayOptions = 32835;
inline constexpr UINT kExhibitOptions = 32883;
inline constexpr UINT kScalingFactor = 32891;
inline constexpr UINT kAsOfDate = 32951;
inline constexpr UINT kFormulasExhibits = 32905;
inline constexpr UINT kFormulasMethods = 32907;
inline constexpr UINT kFormulasReports = 32909;
inline constexpr UINT kCopyStatisticsToSelecteds = 32939;
inline constexpr UINT kCopyFactorSetToSelecteds = 32940;
inline constexpr UINT kCopySelectedsToFactorSet = 32941;
inline constexpr UINT kManageSummaryExport = 370;

// ---- Tools > flood fills: set the options, execute them, run them on the
// database (busy window)
inline constexpr UINT kSetUltimatesFloodFill = 33051;
inline constexpr UINT kSetSDFFloodFill = 33056;
inline constexpr UINT kSetInterpolatedFloodFill = 33095;
inline constexpr UINT kExecuteUltimatesFloodFill = 33052;
inline constexpr UINT kExecuteSDFFloodFill = 33055;
inline constexpr UINT kExecuteInterpolatedFloodFill = 33096;
inline constexpr UINT kExecuteMethodVariableFloodFill = 33057;
inline constexpr UINT kRunUltimatesFloodFill = 33061;
inline constexpr UINT kRunSDFFloodFill = 33060;
inline constexpr UINT kRunInterpolatedFloodFill = 33097;

// ---- Window
inline constexpr UINT kWindowCascade = ID_WINDOW_CASCADE;
inline constexpr UINT kWindowTile = ID_WINDOW_TILE_HORZ;
inline constexpr UINT kWindowArrange = ID_WINDOW_ARRANGE;
inline constexpr UINT kNextWindow = ID_NEXT_PANE;
inline constexpr UINT kPrevWindow = ID_PREV_PANE;
inline constexpr UINT kCloseWindow = 32810;
inline constexpr UINT kCloseAllChildWindows = 32828;
// A table window takes the size of its table.
inline constexpr UINT kResizeWindow = 32962;
// Window-list entries: the first child window's id; one per open window.
inline constexpr UINT kFirstWindow = 0xFF00;

// ---- Batch (a script hands a step to the user; enterprise edition)
inline constexpr UINT kBatchContinue = 33067;
inline constexpr UINT kBatchCancel = 33092;
inline constexpr UINT kBatchExit = 33093;

// ---- Help
inline constexpr UINT kHelpContents = ID_HELP_FINDER;
inline constexpr UINT kTipOfTheDay = 240;
inline constexpr UINT kTechnicalSupport = 32829;
inline constexpr UINT kAbout = ID_APP_ABOUT;

}  // namespace qs::cmd
