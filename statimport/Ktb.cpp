#include "StatEngine.h"

extern "C" const char* KtbGetVersion() { return statengine::EngineVersion(); }
