#include "ObjectMaps.h"

IMPLEMENT_SERIAL(CMapWordToOb, CObject, 0)
IMPLEMENT_SERIAL(CMapLongToOb, CObject, 0)
