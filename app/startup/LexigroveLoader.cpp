#include "startup/LexigroveLoader.h"

#include <dlfcn.h>

namespace qs::app {

bool LexigroveLoader::Load(const std::string& systemDirectory) {
    Release();
    const std::string path = systemDirectory + "/" + kLibraryName;
    void* h = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!h) return false;
    auto get = reinterpret_cast<GetLexigroveInstanceFn>(::dlsym(h, "GetLexigroveInstance"));
    auto release = reinterpret_cast<ReleaseLexigroveInstanceFn>(::dlsym(h, "ReleaseLexigroveInstance"));
    if (!get || !release) {
        ::dlclose(h);
        return false;
    }
    m_handle = h;
    m_path = path;
    m_get = get;
    m_release = release;
    return true;
}

void LexigroveLoader::Release() {
    if (m_handle) ::dlclose(m_handle);
    m_handle = nullptr;
    m_path.clear();
    m_get = nullptr;
    m_release = nullptr;
}

}  // namespace qs::app
