#include "SharedMessageOptions.h"

#include <cstring>

#include "DebugOutput.h"
#include "QsSharedMemory.h"

namespace faultbox {

void InitialiseSharedMessageOptions(SharedMessageOptions& o) {
    std::memset(&o, 0, sizeof o);
    o.ShowPriority = '0';
    std::strncpy(o.DefaultFileName, kDefaultFileName, sizeof o.DefaultFileName - 1);
    std::strncpy(o.SectionName, kOptionsSection, sizeof o.SectionName - 1);
    std::strncpy(o.OwnFileName, kOwnFileName, sizeof o.OwnFileName - 1);
}

// Kept open for the life of the process: the record lives while any process
// that loaded the library runs. Held here (not only through the record's
// address) so that it stays reachable to the end; not file-local, so that
// the store is never optimised away.
qs::ipc::SharedMemory* gSharedOptionsBlock = nullptr;

SharedMessageOptions& SharedOptions() {
    static SharedMessageOptions* options = [] {
        auto* block = new qs::ipc::SharedMemory;
        const bool made = block->Create("faultbox-options", sizeof(SharedMessageOptions), [](void* data, std::size_t) {
            InitialiseSharedMessageOptions(*static_cast<SharedMessageOptions*>(data));
        });
        if (made) {
            gSharedOptionsBlock = block;
            return static_cast<SharedMessageOptions*>(block->Data());
        }
        delete block;
        DebugOutput("Faultbox: shared options unavailable; this process keeps its own\n");
        static SharedMessageOptions own;
        InitialiseSharedMessageOptions(own);
        return &own;
    }();
    return *options;
}

}  // namespace faultbox
