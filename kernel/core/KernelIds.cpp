#include "KernelIds.h"

#include <algorithm>
#include <cstdint>

namespace {
struct IdFieldsParts {
    int kind, instance, layer, dataType, index;
    bool graph, wide;
};

IdFieldsParts SplitIdFields(QSID id) {
    IdFieldsParts p{};
    if (id < 0) {
        // Wide id of an older generation.
        const std::uint32_t u = static_cast<std::uint32_t>(id);
        p.wide = true;
        p.kind = static_cast<int>(u / 1000000000u);
        p.instance = static_cast<int>(u / 10000000u % 100u);
        p.layer = static_cast<int>(u / 10000u % 1000u);
        p.dataType = static_cast<int>(u / 1000u % 10u);
        p.index = static_cast<int>(u % 1000u);
        return p;
    }
    p.graph = id >= kGraphFlag;
    const int v = id % kGraphFlag;
    p.kind = v / 100000000;
    p.instance = v / 1000000 % 100;
    p.layer = v / 10000 % 100;
    p.dataType = v / 1000 % 10;
    p.index = v % 1000;
    return p;
}

QSID JoinIdFields(const IdFieldsParts& p) {
    if (p.wide) {
        std::uint32_t u = static_cast<std::uint32_t>(p.kind) * 1000000000u +
                          static_cast<std::uint32_t>(p.instance) * 10000000u +
                          static_cast<std::uint32_t>(p.layer) * 10000u +
                          static_cast<std::uint32_t>(p.dataType) * 1000u +
                          static_cast<std::uint32_t>(p.index);
        return static_cast<QSID>(u);
    }
    QSID v = p.kind * 100000000 + p.instance * 1000000 + p.layer * 10000 + p.dataType * 1000 + p.index;
    return p.graph ? v + kGraphFlag : v;
}
}  // namespace

int GetIDDOType(QSID id) { return SplitIdFields(id).kind; }
int GetIDInstance(QSID id) { return SplitIdFields(id).instance; }
unsigned short GetIDLayer(QSID id) { return static_cast<unsigned short>(SplitIdFields(id).layer); }
int GetIDDataType(QSID id) { return SplitIdFields(id).dataType; }
int GetIDIndex(QSID id) { return SplitIdFields(id).index; }

void SetIDLayer(QSID& id, unsigned short layer) {
    IdFieldsParts p = SplitIdFields(id);
    p.layer = std::min<int>(layer, p.wide ? 999 : 99);
    id = JoinIdFields(p);
}
void SetIDDOType(QSID& id, int kind) {
    IdFieldsParts p = SplitIdFields(id);
    p.kind = std::clamp(kind, 0, p.wide ? 4 : 9);
    id = JoinIdFields(p);
}
void SetIDDataType(QSID& id, int dataType) {
    IdFieldsParts p = SplitIdFields(id);
    p.dataType = std::clamp(dataType, 0, 9);
    id = JoinIdFields(p);
}
void SetIDIndex(QSID& id, int index) {
    IdFieldsParts p = SplitIdFields(id);
    p.index = std::clamp(index, 0, 999);
    id = JoinIdFields(p);
}

void SetIDInstance(QSID& id, int instance) {
    IdFieldsParts p = SplitIdFields(id);
    p.instance = std::clamp(instance, 0, 99);
    id = JoinIdFields(p);
}

QSID MakeID(int kind, int instance, int layer, int dataType, int index) {
    IdFieldsParts p{std::clamp(kind, 0, 9), std::clamp(instance, 0, 99), std::clamp(layer, 0, 99),
                    std::clamp(dataType, 0, 9), std::clamp(index, 0, 999), false, false};
    return JoinIdFields(p);
}

bool IsGraphID(QSID id) { return id >= kGraphFlag || GetIDDOType(id) == 8; }
QSID GetGraphIDOf(QSID id) { return (id >= 0 && id < kGraphFlag) ? id + kGraphFlag : id; }
QSID DelGraphIDOf(QSID id) { return id >= kGraphFlag ? id - kGraphFlag : id; }
QSID GetLayerNeutralID(QSID id) {
    QSID r = DelGraphIDOf(id);
    SetIDLayer(r, 0);
    return r;
}

bool SameIDType(QSID a, QSID b) {
    return GetIDDOType(a) == GetIDDOType(b) && GetIDDataType(a) == GetIDDataType(b) &&
           GetIDIndex(a) == GetIDIndex(b);
}

QSID GetCategoryOfID(QSID id) {
    if (id >= kGraphFlag) return qsk::kCatGraph;
    const int kind = GetIDDOType(id), dt = GetIDDataType(id);
    if (kind == 5 || kind == 6) return qsk::kCatScalar;
    if ((kind == 1 || kind == 2) && (dt == 0 || dt == 1 || dt == 7 || dt == 8)) return qsk::kCatInput;
    if (kind == 3 || kind == 4) {
        if (dt == 1) return qsk::kCatExhibit;
        if (dt == 2) return qsk::kCatMethod;
        if (dt == 3) return qsk::kCatReport;
    }
    if (kind == 8) return qsk::kCatGraph;
    return 0;
}

bool IsNodeID(QSID id) { return id > 0 && id < 10000 && id % 1000 < 1000 && id / 1000 >= 1; }
