#include "shell/ShellStrings.h"

#include "Resources.h"

#include <map>

namespace {

const std::map<UINT, const char*>& BuiltInShellStrings() {
    static const std::map<UINT, const char*> strings = {
        {190, "Status"},
        {247, "Did you know..."},
        {248, "Tips file does not exist in the prescribed directory"},
        {249, "Trouble reading the tips file"},
        {61465, "Export"},
        {61468, "Replicate"},
        {61484, "Please close the Duvi Rozire Vididaze application prior to performing this command."},
    };
    return strings;
}

}  // namespace

QString ShellString(UINT id) {
    if (qs::fw::HasResourceString(id)) return qs::fw::LoadResourceString(id);
    const auto& strings = BuiltInShellStrings();
    const auto it = strings.find(id);
    return it == strings.end() ? QString() : QString::fromUtf8(it->second);
}
