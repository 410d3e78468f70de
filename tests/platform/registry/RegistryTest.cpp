#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "QsEnvironment.h"
#include "QsRegistry.h"
#include "TestEnvironment.h"

namespace {

const char* kSettings = "SOFTWARE\\Corvinet\\Quillstone Workstation\\5.0\\Settings";

// Every test starts with empty roots, also when all run in one process.
class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        qs::test::SetEnv("QS_MACHINE_DIR", qs::test::MakeTempDir("machine"));
        qs::test::SetEnv("QS_USER_DIR", qs::test::MakeTempDir("user"));
    }
};

std::string QueryString(HKEY key, const char* name) {
    char buf[256];
    DWORD size = sizeof buf, type = 0;
    if (RegQueryValueEx(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buf), &size) != ERROR_SUCCESS)
        return "<error>";
    EXPECT_EQ(type, REG_SZ);
    EXPECT_GT(size, 0u);
    EXPECT_EQ(buf[size - 1], '\0') << "strings come back terminated";
    return std::string(buf, size - 1);
}

TEST_F(RegistryTest, RoundTripsThroughEachRootsOwnFile) {
    struct Case {
        HKEY root;
        std::string file;
    };
    const Case cases[] = {
        {HKEY_LOCAL_MACHINE, qs::env::MachineConfigDirectory() + "/hklm.reg"},
        {HKEY_CLASSES_ROOT, qs::env::MachineConfigDirectory() + "/hkcr.reg"},
        {HKEY_CURRENT_USER, qs::env::UserConfigDirectory() + "/hkcu.reg"},
    };
    // Text that would break a naive format: quotes, backslashes, a line
    // break, "=" and "[" and non-ASCII bytes.
    const std::string tricky = "C:\\Program Files\\\"x\"\n[y]=z \xC3\xA9";
    for (const auto& c : cases) {
        EXPECT_EQ(qs::registry::HiveFile(c.root), c.file);
        ASSERT_TRUE(qs::registry::WriteDword(c.root, kSettings, "Mode", 2));
        ASSERT_TRUE(qs::registry::WriteString(c.root, kSettings, "Odd Name", tricky));
        ASSERT_TRUE(qs::registry::WriteString(c.root, ".qs1", "", "Quillstone.Document"));

        HKEY key = nullptr;
        ASSERT_EQ(RegOpenKeyEx(c.root, "software\\CORVINET\\quillstone workstation\\5.0\\settings", 0, KEY_READ, &key),
                  ERROR_SUCCESS);
        DWORD mode = 0, size = sizeof mode, type = 0;
        EXPECT_EQ(RegQueryValueEx(key, "MODE", nullptr, &type, reinterpret_cast<BYTE*>(&mode), &size), ERROR_SUCCESS);
        EXPECT_EQ(type, REG_DWORD);
        EXPECT_EQ(mode, 2u);
        EXPECT_EQ(QueryString(key, "odd name"), tricky);
        EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
        std::string def;
        EXPECT_TRUE(qs::registry::ReadString(c.root, ".QS1", "", &def));
        EXPECT_EQ(def, "Quillstone.Document");

        // The other direction, with Win32 calls writing and the file read back fresh.
        DWORD disposition = 0;
        ASSERT_EQ(RegCreateKeyEx(c.root, "SOFTWARE\\Corvinet\\Quillstone", 0, nullptr, REG_OPTION_NON_VOLATILE,
                                 KEY_ALL_ACCESS, nullptr, &key, &disposition),
                  ERROR_SUCCESS);
        EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
        DWORD job = 41;
        ASSERT_EQ(RegSetValueEx(key, "Print Job Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&job), 4),
                  ERROR_SUCCESS);
        const BYTE multi[] = "Terminal Server\0Other\0";
        ASSERT_EQ(RegSetValueEx(key, "ProductSuite", 0, REG_MULTI_SZ, multi, sizeof multi), ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueEx(key, "NoNul", 0, REG_SZ, reinterpret_cast<const BYTE*>("abc"), 3), ERROR_SUCCESS);
        RegCloseKey(key);
        ASSERT_EQ(RegCreateKeyEx(c.root, "software\\corvinet\\quillstone", 0, nullptr, 0, KEY_READ, nullptr, &key,
                                 &disposition),
                  ERROR_SUCCESS);
        EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
        EXPECT_EQ(QueryString(key, "NoNul"), "abc");   // stored with its NUL
        BYTE buf[64];
        size = sizeof buf;
        EXPECT_EQ(RegQueryValueEx(key, "productsuite", nullptr, &type, buf, &size), ERROR_SUCCESS);
        EXPECT_EQ(type, REG_MULTI_SZ);
        EXPECT_EQ(std::string(reinterpret_cast<char*>(buf), size), std::string(reinterpret_cast<const char*>(multi), sizeof multi));
        RegCloseKey(key);
        DWORD n = 0;
        EXPECT_TRUE(qs::registry::ReadDword(c.root, "SOFTWARE\\Corvinet\\Quillstone", "print job number", &n));
        EXPECT_EQ(n, 41u);
        EXPECT_NE(qs::test::ReadFile(c.file).find("Print Job Number"), std::string::npos);
    }
    // Roots are separate.
    EXPECT_TRUE(qs::registry::DeleteTree(HKEY_CURRENT_USER, "SOFTWARE"));
    EXPECT_FALSE(qs::registry::KeyExists(HKEY_CURRENT_USER, kSettings));
    EXPECT_TRUE(qs::registry::KeyExists(HKEY_LOCAL_MACHINE, kSettings));
}

TEST_F(RegistryTest, ReportsMissingKeysValuesAndShortBuffers) {
    HKEY key = reinterpret_cast<HKEY>(1);
    EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, kSettings, 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key, nullptr);
    DWORD out = 7;
    EXPECT_FALSE(qs::registry::ReadDword(HKEY_LOCAL_MACHINE, kSettings, "Mode", &out));
    EXPECT_EQ(out, 7u);
    EXPECT_EQ(RegQueryValueEx(HKEY_LOCAL_MACHINE, "Mode", nullptr, nullptr, nullptr, nullptr), ERROR_FILE_NOT_FOUND);

    ASSERT_TRUE(qs::registry::WriteString(HKEY_LOCAL_MACHINE, kSettings, "Path", "abcdef"));
    ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, kSettings, 0, KEY_READ, &key), ERROR_SUCCESS);
    EXPECT_EQ(RegQueryValueEx(key, "Mode", nullptr, nullptr, nullptr, nullptr), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(qs::registry::ReadDword(HKEY_LOCAL_MACHINE, kSettings, "Path", &out));   // wrong type
    DWORD size = 0, type = 0;
    EXPECT_EQ(RegQueryValueEx(key, "Path", nullptr, &type, nullptr, &size), ERROR_SUCCESS);   // size query
    EXPECT_EQ(size, 7u);
    char small[4];
    size = sizeof small;
    EXPECT_EQ(RegQueryValueEx(key, "Path", nullptr, &type, reinterpret_cast<BYTE*>(small), &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 7u);
    EXPECT_EQ(RegQueryValueEx(key, "Path", nullptr, &type, reinterpret_cast<BYTE*>(small), nullptr),
              ERROR_INVALID_PARAMETER);
    // A read-only handle cannot write.
    DWORD one = 1;
    EXPECT_EQ(RegSetValueEx(key, "Mode", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), 4), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteValue(key, "Path"), ERROR_ACCESS_DENIED);
    RegCloseKey(key);
    EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "\\SOFTWARE", 0, KEY_READ, &key), ERROR_BAD_PATHNAME);
    EXPECT_EQ(RegCloseKey(nullptr), ERROR_INVALID_HANDLE);
}

TEST_F(RegistryTest, EnumeratesKeysAndValues) {
    for (const char* sub : {"Beta", "alpha", "Gamma\\Deep"}) {
        HKEY k = nullptr;
        ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, (std::string("Software\\Q\\") + sub).c_str(), 0, nullptr, 0,
                                 KEY_ALL_ACCESS, nullptr, &k, nullptr),
                  ERROR_SUCCESS);
        RegCloseKey(k);
    }
    qs::registry::WriteString(HKEY_CURRENT_USER, "Software\\Q", "zeta", "1");
    qs::registry::WriteDword(HKEY_CURRENT_USER, "Software\\Q", "Alpha", 2);
    qs::registry::WriteString(HKEY_CURRENT_USER, "Software\\Q", "ZETA", "3");   // same value, replaced in place

    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\Q", 0, KEY_READ, &key), ERROR_SUCCESS);
    std::vector<std::string> keys;
    char name[32];
    DWORD size = sizeof name;
    for (DWORD i = 0; RegEnumKeyEx(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS; ++i) {
        EXPECT_EQ(size, std::strlen(name));
        keys.push_back(name);
        size = sizeof name;
    }
    EXPECT_EQ(keys, (std::vector<std::string>{"alpha", "Beta", "Gamma"}));
    size = 3;
    EXPECT_EQ(RegEnumKeyEx(key, 0, name, &size, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
    size = sizeof name;
    EXPECT_EQ(RegEnumKeyEx(key, 3, name, &size, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);

    std::vector<std::string> values;
    std::vector<DWORD> types;
    for (DWORD i = 0;; ++i) {
        DWORD type = 0;
        size = sizeof name;
        BYTE data[16];
        DWORD dataSize = sizeof data;
        LONG rc = RegEnumValue(key, i, name, &size, nullptr, &type, data, &dataSize);
        if (rc == ERROR_NO_MORE_ITEMS) break;
        ASSERT_EQ(rc, ERROR_SUCCESS);
        values.push_back(name);
        types.push_back(type);
    }
    EXPECT_EQ(values, (std::vector<std::string>{"zeta", "Alpha"}));
    EXPECT_EQ(types, (std::vector<DWORD>{REG_SZ, REG_DWORD}));
    std::string zeta;
    EXPECT_TRUE(qs::registry::ReadString(HKEY_CURRENT_USER, "Software\\Q", "Zeta", &zeta));
    EXPECT_EQ(zeta, "3");
    RegCloseKey(key);
    EXPECT_EQ(qs::registry::SubKeys(HKEY_CURRENT_USER, "software\\q\\gamma"), (std::vector<std::string>{"Deep"}));
}

TEST_F(RegistryTest, DeletesValuesAndKeys) {
    ASSERT_TRUE(qs::registry::WriteDword(HKEY_LOCAL_MACHINE, "A\\B\\C", "v", 1));
    ASSERT_TRUE(qs::registry::WriteDword(HKEY_LOCAL_MACHINE, "A\\B", "w", 2));
    HKEY b = nullptr;
    ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "a\\b", 0, KEY_ALL_ACCESS, &b), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValue(b, "W"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValue(b, "w"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteKey(HKEY_LOCAL_MACHINE, "A\\B"), ERROR_ACCESS_DENIED);   // still has C
    EXPECT_EQ(RegDeleteKey(b, "c"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKey(b, "c"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteKey(HKEY_LOCAL_MACHINE, "A\\B"), ERROR_SUCCESS);
    // The handle names a key that is gone now.
    DWORD v = 1;
    EXPECT_EQ(RegQueryValueEx(b, "w", nullptr, nullptr, nullptr, nullptr), ERROR_KEY_DELETED);
    EXPECT_EQ(RegSetValueEx(b, "w", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), 4), ERROR_KEY_DELETED);
    RegCloseKey(b);
    EXPECT_TRUE(qs::registry::KeyExists(HKEY_LOCAL_MACHINE, "A"));
    EXPECT_FALSE(qs::registry::KeyExists(HKEY_LOCAL_MACHINE, "A\\B"));

    ASSERT_TRUE(qs::registry::WriteDword(HKEY_LOCAL_MACHINE, "A\\X\\Y", "v", 1));
    ASSERT_TRUE(qs::registry::WriteDword(HKEY_LOCAL_MACHINE, "AB", "v", 1));
    EXPECT_TRUE(qs::registry::DeleteTree(HKEY_LOCAL_MACHINE, "a"));
    EXPECT_FALSE(qs::registry::KeyExists(HKEY_LOCAL_MACHINE, "A\\X\\Y"));
    EXPECT_TRUE(qs::registry::KeyExists(HKEY_LOCAL_MACHINE, "AB"));   // a sibling with the same prefix stays
    EXPECT_FALSE(qs::registry::DeleteTree(HKEY_LOCAL_MACHINE, ""));   // never the whole root
    EXPECT_EQ(RegDeleteKey(HKEY_LOCAL_MACHINE, ""), ERROR_ACCESS_DENIED);
}

TEST_F(RegistryTest, ConcurrentWritersInProcessesLoseNothing) {
    const int kProcesses = 4, kValues = 25;
    std::vector<pid_t> children;
    for (int p = 0; p < kProcesses; ++p) {
        pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            int failures = 0;
            for (int i = 0; i < kValues; ++i)
                failures += !qs::registry::WriteDword(HKEY_CURRENT_USER, "Software\\Shared",
                                                      "v" + std::to_string(p) + "_" + std::to_string(i), i);
            _exit(failures == 0 ? 0 : 1);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    EXPECT_EQ(qs::registry::ValueNames(HKEY_CURRENT_USER, "Software\\Shared").size(), size_t(kProcesses * kValues));
}

}  // namespace
