// Session start and end, product selection through the mapper, status texts.
#include <cstring>
#include <strings.h>

#include "KtbInternal.h"

namespace ktb {
namespace {

constexpr const char* kApplication = "Ketabo";
constexpr int kProductBuffer = 11;  // a product name of up to ten characters and its terminator

int MapMapper(int code) {
    switch (code) {
    case 0:
    case 13: return KTB_SUCCESS;
    case 1:
    case 4:
    case 14:
    case 20:
    case 22:
    case 31: return KTB_INVALID_PRODUCT;
    case 2: return KTB_MAPPING_IN_PROGRESS;
    case 3: return KTB_CANNOT_MAP;
    case 5:
    case 6:
    case 7:
    case 17:
    case 21:
    case 25: return KTB_PRODUCT_IN_USE;
    case 11: return KTB_NO_SESSION;
    default: return KTB_UNEXPECTED;
    }
}

void Trim(char* name) {
    std::size_t n = std::strlen(name);
    std::size_t start = 0;
    while (start < n && name[start] == ' ') ++start;
    while (n > start && name[n - 1] == ' ') --n;
    std::memmove(name, name + start, n - start);
    name[n - start] = 0;
}

int Map(const std::string& product, int mode) {
    const int code = statengine::Init_Map_ProdEx(nullptr, kApplication, product.c_str(), mode);
    if (code == 13) statengine::Cancel_Change();
    return code;
}

// Chooses and maps the product, then (re)opens the engine session. Returns a
// mapper code; 16 stands for a failure of the engine.
int SelectProduct(const std::string& name, bool remap) {
    Session& s = S();
    std::string work = name.substr(0, 10);
    int code = 0;
    bool toEngine = false;
    if (work.empty()) {
        char chosen[kProductBuffer] = {};
        code = statengine::User_Select_Prod(nullptr, kApplication, chosen, sizeof chosen);
        if (code == 13) {
            statengine::Cancel_Change();
        } else if (code == 3) {
            char current[kProductBuffer] = {};
            const int c = statengine::Current_Product_Name(0, current, sizeof current);
            if (c == 0) {
                code = 0;
                toEngine = true;
            } else {
                code = c;
            }
        }
    } else {
        bool compare = true;
        if (work[0] == '*') {
            work = work.substr(1);
            code = Map(work, 0);
            compare = !(code == 0 || code == 13);
        }
        if (compare) {
            code = Map(work, 1);
            if (code != 0 && code != 13) {
                char current[kProductBuffer] = {};
                if (statengine::Current_Product_Name(0, current, sizeof current) == 0 &&
                    ::strcasecmp(current, work.c_str()) == 0) {
                    code = 0;
                    toEngine = true;
                } else {
                    code = Map(work, 1);
                }
            }
        }
    }
    if (!toEngine) {
        if (remap) {
            if (code != 0) return code;
            const bool closed = statengine::CloseSession(s.handle) != 0;
            if (!closed || !statengine::ConfirmClose()) {
                s.handle = 0;
                statengine::Cancel_Change();
                return 16;
            }
        }
        s.handle = 0;
        if (code == 0) {
            const int c = statengine::Change_Product(nullptr, 1);
            if (c == 16) return 16;
            code = c;
        }
    }
    if (!(remap ? statengine::RestartEngine() : statengine::StartEngine())) return 16;
    int session = 0;
    if (statengine::OpenSession("MOTB", kApplication, 0, 0, 0, 0, 0, &session)) {
        s.handle = session;
        return code;
    }
    if (!remap) statengine::StopEngine();
    s.handle = 0;
    return 16;
}

void WriteCurrentProduct(char* product) {
    if (statengine::Current_Product_Name(0, product, kProductBuffer) != 0) product[0] = 0;
}

}  // namespace

Session& S() {
    static Session s;
    return s;
}

}  // namespace ktb

using namespace ktb;

KTB_EXPORT int KtbGetVersion(char* buffer) {
    if (!buffer) return KTB_BAD_ARGUMENTS;
    std::memset(buffer, 0, 15);
    std::strcpy(buffer, "Version 1.21");
    return KTB_SUCCESS;
}

KTB_EXPORT int KtbInit(char* product, int flag) {
    Session& s = S();
    if (s.handle) return KTB_ALREADY_INITIALIZED;
    if (!product) return KTB_BAD_ARGUMENTS;
    if (flag) s.codedValues = true;
    if (const int code = statengine::Mapper_Init()) return MapMapper(code);
    statengine::Register_Prod_Use(kApplication);
    Trim(product);
    const int status = MapMapper(SelectProduct(product, false));
    if (status == KTB_UNEXPECTED || status == KTB_PRODUCT_IN_USE) {
        statengine::Finish_Prod_Use();
        statengine::Mapper_Term();
        product[0] = 0;
        return status;
    }
    WriteCurrentProduct(product);
    return status;
}

KTB_EXPORT int KtbTerm(void) {
    Session& s = S();
    int status = KTB_PRODUCT_IN_USE;
    if (s.handle) {
        CloseAllTables();
        statengine::CloseSession(s.handle);
        s.handle = 0;
        statengine::StopEngine();
        status = KTB_SUCCESS;
    }
    statengine::Finish_Prod_Use();
    statengine::Mapper_Term();
    return status;
}

KTB_EXPORT int KtbChangeProduct(char* product) {
    Session& s = S();
    if (!s.handle) return KTB_NO_SESSION;
    if (!product) return KTB_BAD_ARGUMENTS;
    Trim(product);
    const int status = MapMapper(SelectProduct(product, true));
    CloseAllTables();
    if (status == KTB_SUCCESS || status == KTB_INVALID_PRODUCT) WriteCurrentProduct(product);
    return status;
}

KTB_EXPORT int KtbGetErrText(int code, char* buffer) {
    static const char* const kTexts[] = {
        "Success",
        "Mapping in progress... Try later ",
        "Current product is in use or cannot be found",
        "Invalid product was requested",
        "Cannot map product. A different product is in use",
        "Session was already initialized",
        "Failed to read required information",
        "Table has not been opened",
        "All available tables are being used",
        "Table is not supported or Bad Table Name",
        "Cannot close table",
        "Cannot create object",
        "Cannot destroy object",
        "Cannot add object or value",
        "Cannot find object or value",
        "Cannot remove object or value",
        "Cannot retrieve object or value",
        "Cannot release object ",
        "Variable already exists in list ",
        nullptr,
        "Out of memory",
        "Bad arguments",
        "No value",
        nullptr,
        "Bad value or request",
        "Value is outside bounds",
        "Unexpected failure",
        "Unknown failure",
    };
    if (!buffer) return KTB_BAD_ARGUMENTS;
    std::memset(buffer, 0, 50);
    const int i = code - KTB_SUCCESS;
    if (i < 0 || i >= static_cast<int>(sizeof kTexts / sizeof kTexts[0]) || !kTexts[i]) return KTB_BAD_ARGUMENTS;
    std::strncpy(buffer, kTexts[i], 49);
    return KTB_SUCCESS;
}
