#pragma once
// A scripted person for out-of-process tests: with QS_CRX_SCRIPTED_USER=1 in
// its environment, crx also answers "Act(action, ...)", which does what a
// person would do through the windows (the same dialogs and grid events,
// their answers scripted) and returns once the windows have caught up.
//   Act("cutoff", curve, value)   the curve's "Cutoff =" button, typing value
//   Act("exclude", curve, point)  a click on the point's "Exclude" cell
//   Act("apply", mask)            Apply with the curves of bit mask checked
//   Act("cancel")                 Cancel, answering Yes
//   Act("state")                  the working analysis' stream
#include <QVariant>

namespace qs::automation {
class AutomationObject;
}

namespace crx {
bool ScriptedUserWanted();
void AddScriptedUser(qs::automation::AutomationObject& object);
}  // namespace crx
