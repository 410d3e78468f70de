#pragma once
// Test isolation: every path the program reads or writes outside a project
// is pointed at a fresh temporary folder, so tests never touch the user's
// files and any number of them can run at once.
#include <string>

namespace qs::test {

// Called once by the test main, before any test runs. Creates the process's
// temporary root, sets QS_WINDOWS_DIR, QS_MACHINE_DIR, QS_USER_DIR,
// QS_DATA_DIR, QS_IPC_NAMESPACE, HOME, XDG_CONFIG_HOME, XDG_DATA_HOME,
// XDG_RUNTIME_DIR and TMPDIR under it, and makes it the working directory.
void IsolateProcess();

// The root made by IsolateProcess (removed when the process ends normally).
const std::string& ProcessRoot();

// A fresh empty folder under the process root for one test.
std::string MakeTempDir(const std::string& hint = "t");

// Folder with the project's checked-in test fixtures (tests/data).
std::string DataDir();

// Folder with the built programs and libraries.
std::string BinDir();

// Reads and writes whole files; small conveniences for fixtures.
std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);

// Sets or clears an environment variable for the rest of the process.
void SetEnv(const std::string& name, const std::string& value);
void UnsetEnv(const std::string& name);

}  // namespace qs::test
