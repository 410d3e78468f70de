#pragma once
// Where the inter-process objects of one user live, and how a Windows-style
// object name (any bytes, "\" included) becomes a file or POSIX name.
// Everything is prefixed by qs::env::IpcNamespace(), so tests and separate
// installations never see each other's objects.
#include <string>

namespace qs::ipc {

// Folder for the lock and slot files: $XDG_RUNTIME_DIR/<namespace>, or
// /tmp/<namespace> without XDG_RUNTIME_DIR. Created (mode 0700) on demand;
// empty when it cannot be created or is not the user's own private folder.
std::string RuntimeDirectory();

// Keeps letters, digits, "-", "_" and "."; every other byte becomes "%XX".
// Names stay case-sensitive, as Windows object names are.
std::string EncodeName(const std::string& name);

// The POSIX shared-memory object name for a Windows-style name.
std::string SharedMemoryObjectName(const std::string& name);

}  // namespace qs::ipc
