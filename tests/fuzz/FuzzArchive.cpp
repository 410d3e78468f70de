// The archive's object reader, with every serializable class of the kernel
// registered: objects, back references, class tags, counts and strings. A
// damaged input must end in an archive or file exception and free what it
// made; what loads is freed by the caller, as a program would.
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "CArchive.h"
#include "CException.h"
#include "CObArray.h"
#include "CProject.h"
#include "ObjectMaps.h"

namespace {

// The caller owns what a loaded container holds (the kernel's own classes
// keep their parts inline, never as separate objects), so everything reached
// through containers is freed once.
void Collect(CObject* obj, std::set<CObject*>& all) {
    if (obj == nullptr || !all.insert(obj).second) return;
    if (auto* array = dynamic_cast<CObArray*>(obj))
        for (CObject* element : *array) Collect(element, all);
    if (auto* byWord = dynamic_cast<CMapWordToOb*>(obj))
        for (auto& [key, element] : *byWord) Collect(element, all);
    if (auto* byLong = dynamic_cast<CMapLongToOb*>(obj))
        for (auto& [key, element] : *byLong) Collect(element, all);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static CProject keepKernelLinked;  // registers the kernel's classes
    (void)keepKernelLinked;
    std::vector<std::uint8_t> bytes(data, data + size);
    std::vector<CObject*> objects;
    try {
        CArchive ar(bytes, CArchive::load);
        for (int i = 0; i < 64 && ar.GetBytesRemaining() > 0; ++i) {
            const std::size_t mark = ar.GetLoadMark();
            CObject* obj = ar.ReadObject(nullptr);
            if (obj != nullptr && ar.IsLoadedSince(obj, mark)) objects.push_back(obj);
        }
    } catch (const CException&) {
    }
    std::set<CObject*> all;
    for (CObject* obj : objects) Collect(obj, all);
    for (CObject* obj : all) delete obj;
    return 0;
}
