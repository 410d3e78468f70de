#pragma once
// Texts of the shell's own windows by string id: the registered resource
// string when there is one, otherwise the built-in English text.
#include <QString>

#include "WindowsTypes.h"

QString ShellString(UINT id);
