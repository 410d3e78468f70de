#include "StatEngine.h"

namespace statengine {
const char* EngineVersion() { return "1.0"; }
}
