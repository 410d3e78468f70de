#include "SharedMessageOptions.h"

#include <cstring>

namespace faultbox {

void InitialiseSharedMessageOptions(SharedMessageOptions& o) {
    std::memset(&o, 0, sizeof o);
    o.ShowPriority = '0';
    std::strncpy(o.DefaultFileName, kDefaultFileName, sizeof o.DefaultFileName - 1);
    std::strncpy(o.SectionName, kOptionsSection, sizeof o.SectionName - 1);
    std::strncpy(o.OwnFileName, kOwnFileName, sizeof o.OwnFileName - 1);
}

SharedMessageOptions& SharedOptions() {
    static SharedMessageOptions* options = [] {
        static SharedMessageOptions own;
        InitialiseSharedMessageOptions(own);
        return &own;
    }();
    return *options;
}

}  // namespace faultbox
