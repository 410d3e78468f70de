#pragma once
// Binds the statistics-import engine at run time: libLexgrv.so is loaded
// from the system directory and its two entry points are looked up by name.
#include <string>

#include "LexigroveInterface.h"

namespace qs::app {

class LexigroveLoader {
public:
    static constexpr const char* kLibraryName = "libLexgrv.so";

    ~LexigroveLoader() { Release(); }
    // True when the library and both entry points were found.
    bool Load(const std::string& systemDirectory);
    void Release();
    bool IsLoaded() const { return m_handle != nullptr; }
    const std::string& LoadedPath() const { return m_path; }
    GetLexigroveInstanceFn GetInstance() const { return m_get; }
    ReleaseLexigroveInstanceFn ReleaseInstance() const { return m_release; }

private:
    void* m_handle = nullptr;
    std::string m_path;
    GetLexigroveInstanceFn m_get = nullptr;
    ReleaseLexigroveInstanceFn m_release = nullptr;
};

}  // namespace qs::app
