#include "startup/WorkstationSettings.h"

#include <cstdio>
#include <cstdlib>
#include <strings.h>

#include "QsProfile.h"

namespace qs::app {

namespace {
constexpr const char* kSettings = "Settings";
constexpr const char* kLayerColors = "LayerColors";

int ReadInt(const std::string& profile, const char* key, int def) {
    return static_cast<int>(GetPrivateProfileInt(kSettings, key, def, profile.c_str()));
}
std::string ReadText(const std::string& profile, const char* key, const char* def) {
    return qs::profile::ReadString(profile, kSettings, key, def);
}
void WriteInt(const std::string& profile, const char* key, long long v) {
    qs::profile::WriteString(profile, kSettings, key, std::to_string(v));
}
void WriteText(const std::string& profile, const char* key, const std::string& v) {
    qs::profile::WriteString(profile, kSettings, key, v);
}
}  // namespace

WorkstationSettings& Settings() {
    static WorkstationSettings s;
    return s;
}

bool ParseYesNo(const std::string& text) { return !text.empty() && (text[0] == 'Y' || text[0] == 'y'); }

const char* YesNoText(bool on) { return on ? "Yes" : "No"; }

COLORREF ParseLayerColor(const std::string& text) {
    if (strcasecmp(text.c_str(), "0,0,0,") == 0) return 0;
    std::size_t start = 0;
    unsigned parts[3] = {};
    for (int i = 0; i < 3; ++i) {
        const std::size_t comma = text.find(',', start);
        if (comma == std::string::npos) return 0;
        parts[i] = static_cast<unsigned>(std::atoi(text.substr(start, comma - start).c_str())) & 0xFF;
        start = comma + 1;
    }
    return parts[0] + 256u * parts[1] + 65536u * parts[2];
}

std::string FormatLayerColor(COLORREF color) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%d,%d,%d,", int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
    return buf;
}

std::string StripTrailingSeparators(std::string path) {
    while (path.size() > 1 && (path.back() == '\\' || path.back() == '/')) path.pop_back();
    if (path == "\\") path.clear();
    return path;
}

std::string HelpFileName(int installationType) {
    return installationType == 2 || installationType == 4 ? "QstoneEE.chm" : "Qstone.chm";
}

void LoadLayerColors(const std::string& profile) {
    WorkstationSettings& s = Settings();
    for (int i = 0; i < kLayerCount; ++i)
        s.layerColors[i] = ParseLayerColor(qs::profile::ReadString(profile, kLayerColors, kLayerColorKeys[i], "0,0,0,"));
    for (int i = 0; i < kLayerCount; ++i) s.workingLayerColors[i] = s.layerColors[i];
}

void SaveLayerColors(const std::string& profile) {
    for (int i = 0; i < kLayerCount; ++i)
        qs::profile::WriteString(profile, kLayerColors, kLayerColorKeys[i], FormatLayerColor(Settings().layerColors[i]));
}

int LoadDefaultLayer(const std::string& profile) {
    const int v = ReadInt(profile, "DefaultLayer", 1);
    const int layer = v >= 1 && v <= kLayerCount ? v : 1;
    Settings().defaultLayer = layer;
    Settings().workingDefaultLayer = layer;
    return v;
}

void SaveDefaultLayer(const std::string& profile) { WriteInt(profile, "DefaultLayer", Settings().defaultLayer); }

bool LoadColumnSumFullPrecision(const std::string& profile) {
    const bool on = ReadInt(profile, "ColumnSumFullPrecision", 0) == 1;
    SetColumnSumFullPrecision(on);
    return on;
}

void SaveColumnSumFullPrecision(const std::string& profile) {
    WriteInt(profile, "ColumnSumFullPrecision", Settings().columnSumFullPrecision ? 1 : 0);
}

void SetColumnSumFullPrecision(bool on) {
    Settings().columnSumFullPrecision = on;
    bGlobalVarColumnSumFullPrecision = on;
}

bool LoadDisplayGraphLockItem(const std::string& profile) {
    Settings().displayGraphLockItem = ReadInt(profile, "DisplayGraphLockItem", 0) == 1;
    return Settings().displayGraphLockItem;
}

void LoadSettingsBeforeDirectories(const std::string& profile) {
    WorkstationSettings& s = Settings();
    s.scale = ReadInt(profile, "Scale", 100);
    s.viewDataOnly = ReadInt(profile, "View Data Only", 0);
    s.viewCalculated = ReadInt(profile, "View Calculated", 1);
    s.viewEntered = ReadInt(profile, "View Entered", 1);
    s.viewSelectedTables = ReadInt(profile, "View Selected Tables", 0);
    s.showTableId = ParseYesNo(ReadText(profile, "Show Table ID#", "No"));
    s.showDifferentLayerColors = ParseYesNo(ReadText(profile, "Show Differnt Colors For Layers", "No"));
    LoadLayerColors(profile);
    LoadDefaultLayer(profile);
    LoadDisplayGraphLockItem(profile);
    s.enterMoves = ReadInt(profile, "Enter Moves", 0);
    s.defaultShow = ReadInt(profile, "Default Show", 0);
    s.defaultShowFlag = s.defaultShow == 2 || s.defaultShow == 3;
    s.lexigrovePath = ReadText(profile, "LexigrovePath", "");
    s.filesPath = StripTrailingSeparators(ReadText(profile, "Files Path", ""));
}

void LoadSettingsAfterDirectories(const std::string& profile, int installationType) {
    WorkstationSettings& s = Settings();
    s.helpfilesDirectory = ReadText(profile, "Helpfiles Directory", "");
    s.helpFilePath = s.helpfilesDirectory + "/" + HelpFileName(installationType);
    s.pattern = ReadInt(profile, "Pattern", 4);
    s.patternROFG = static_cast<COLORREF>(std::atoi(ReadText(profile, "Pattern ROFG", "65535").c_str()));
    s.patternROBG = static_cast<COLORREF>(std::atoi(ReadText(profile, "Pattern ROBG", "16777215").c_str()));
    s.showStartDialog = ReadInt(profile, "Show Start Dialog", 1);
}

void SaveSettings(const std::string& profile) {
    const WorkstationSettings& s = Settings();
    WriteInt(profile, "Scale", s.scale);
    WriteText(profile, "Show Table ID#", YesNoText(s.showTableId));
    WriteText(profile, "Show Differnt Colors For Layers", YesNoText(s.showDifferentLayerColors));
    SaveLayerColors(profile);
    SaveDefaultLayer(profile);
    SaveColumnSumFullPrecision(profile);
    WriteText(profile, "Auto Open MRU File", YesNoText(s.autoOpenMruFile));
    WriteInt(profile, "Enter Moves", s.enterMoves);
    WriteInt(profile, "Default Show", s.defaultShow);
    WriteText(profile, "Files Path", s.filesPath);
    WriteInt(profile, "View Data Only", s.viewDataOnly);
    WriteInt(profile, "View Calculated", s.viewCalculated);
    WriteInt(profile, "View Entered", s.viewEntered);
    WriteInt(profile, "View Selected Tables", s.viewSelectedTables);
    WriteInt(profile, "Pattern", s.pattern);
    WriteText(profile, "Pattern ROFG", std::to_string(static_cast<int>(s.patternROFG)));
    WriteText(profile, "Pattern ROBG", std::to_string(static_cast<int>(s.patternROBG)));
    WriteInt(profile, "Show Start Dialog", s.showStartDialog);
    WriteText(profile, "LexigrovePath", s.lexigrovePath);
}

}  // namespace qs::app
