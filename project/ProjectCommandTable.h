#pragma once
// The project document's command table (see CommandRegistry.h for how a
// command is added).
#include "CommandRegistry.h"

class CProjectDoc;

namespace qs::project {

qs::cmd::CommandTable<CProjectDoc> ProjectCommands();

}  // namespace qs::project
