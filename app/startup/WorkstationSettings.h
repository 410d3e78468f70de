#pragma once
#include "KernelGlobals.h"  // gbLogFileContainsError, bGlobalVarColumnSumFullPrecision
// The workstation settings: read from the profile at start-up and written
// back by the last instance to exit, in a fixed order. Part of them is
// process-wide, so the views of other subsystems read them without reaching
// into the application object.
#include <cstdint>
#include <string>

namespace qs::app {

using COLORREF = std::uint32_t;

inline constexpr int kLayerCount = 5;
// Profile keys of section "LayerColors", layers 1-5.
inline constexpr const char* kLayerColorKeys[kLayerCount] = {"Net", "Gross", "Ceded", "Direct", "Assumed"};

struct WorkstationSettings {
    int scale = 100;
    int viewDataOnly = 0;
    int viewCalculated = 1;
    int viewEntered = 1;
    int viewSelectedTables = 0;
    bool showTableId = false;
    bool showDifferentLayerColors = false;
    COLORREF layerColors[kLayerCount] = {};         // the saved set
    COLORREF workingLayerColors[kLayerCount] = {};  // the set views draw with
    int defaultLayer = 1;
    int workingDefaultLayer = 1;
    bool displayGraphLockItem = false;
    int enterMoves = 0;
    int defaultShow = 0;
    bool defaultShowFlag = false;  // "Default Show" is 2 or 3
    std::string lexigrovePath;
    std::string filesPath;
    std::string systemDirectory;
    std::string workingDirectory;
    std::string helpfilesDirectory;
    std::string helpFilePath;
    int pattern = 4;
    COLORREF patternROFG = 65535;
    COLORREF patternROBG = 16777215;
    int showStartDialog = 1;
    bool columnSumFullPrecision = false;
    bool autoOpenMruFile = false;  // never read; always written as "No"
};

// The process-wide settings.
WorkstationSettings& Settings();

// "Yes"/"No" settings: on when the first character is Y or y.
bool ParseYesNo(const std::string& text);
const char* YesNoText(bool on);

// Layer colour text: "r,g,b," in decimal. Reading keeps the low 8 bits of each
// part; "0,0,0," or a text with fewer than three commas is black.
COLORREF ParseLayerColor(const std::string& text);
std::string FormatLayerColor(COLORREF color);

// Removes every trailing "/" or "\" (a lone "/" stays).
std::string StripTrailingSeparators(std::string path);

// The help file of the installation type: "QstoneEE.chm" for 2 and 4, else "Qstone.chm".
std::string HelpFileName(int installationType);

// Accessors on a profile file (any path qs::profile accepts).
void LoadLayerColors(const std::string& profile);
void SaveLayerColors(const std::string& profile);
int LoadDefaultLayer(const std::string& profile);  // the value read, even when out of range
void SaveDefaultLayer(const std::string& profile);
bool LoadColumnSumFullPrecision(const std::string& profile);
void SaveColumnSumFullPrecision(const std::string& profile);
void SetColumnSumFullPrecision(bool on);
bool LoadDisplayGraphLockItem(const std::string& profile);

// Start-up's reading of section "Settings" up to (not including) "System
// Directory", then the keys after "Working Directory"; the two directories
// are read by the application itself because of the checks between them.
void LoadSettingsBeforeDirectories(const std::string& profile);
void LoadSettingsAfterDirectories(const std::string& profile, int installationType);
// The exit write-back, in its order.
void SaveSettings(const std::string& profile);

}  // namespace qs::app


