#include <gtest/gtest.h>

#include <QFile>

#include "CArchive.h"
#include "CException.h"
#include "CompoundFile.h"
#include "files/ProjectStreamFile.h"
#include "QsRegistry.h"
#include "shell/ShellDocumentIcon.h"
#include "TestEnvironment.h"

namespace {

std::vector<uint8_t> StreamOf(const std::string& path) {
    CompoundFile file;
    EXPECT_EQ(file.Open(path, CompoundFile::Mode::ReadOnly), CompoundFile::OpenResult::Ok);
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(file.ReadStream("QS1", bytes));
    return bytes;
}

TEST(ProjectStreamFile, WritesTheStreamOnCloseAndHoldsTheStorageUntilReleased) {
    const std::string path = qs::test::MakeTempDir() + "/p.qs5";
    auto stream = CreateProjectStreamFile(path);
    ASSERT_TRUE(stream);
    EXPECT_TRUE(CompoundFile::IsCompoundFile(path));  // on disk at once, empty stream
    EXPECT_TRUE(StreamOf(path).empty());
    {
        CArchive ar(stream.get(), CArchive::store);
        ar << int32_t(42) << std::string("Reserve");
        ar.Close();
    }
    stream->Close();
    const auto bytes = StreamOf(path);
    ASSERT_FALSE(bytes.empty());
    EXPECT_EQ(bytes[0], 42);

    // Still held: another writer is refused until the release.
    CompoundFile other;
    EXPECT_EQ(other.Open(path, CompoundFile::Mode::ReadWrite), CompoundFile::OpenResult::LockedByOther);
    ReleaseStorage();
    EXPECT_FALSE(IsProjectStorageHeld());
    EXPECT_EQ(other.Open(path, CompoundFile::Mode::ReadWrite), CompoundFile::OpenResult::Ok);
}

TEST(ProjectStreamFile, ReleaseWritesAnUnclosedStreamAndANewCreateReleasesTheOld) {
    const std::string dir = qs::test::MakeTempDir();
    auto first = CreateProjectStreamFile(dir + "/a.qs5");
    ASSERT_TRUE(first);
    const uint8_t data[] = {1, 2, 3};
    first->Write(data, 3);
    auto second = CreateProjectStreamFile(dir + "/b.qs5");  // releases a.qs5, writing what it holds
    ASSERT_TRUE(second);
    EXPECT_EQ(StreamOf(dir + "/a.qs5"), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_THROW(first->Flush(), CFileException);  // its storage is gone
    second->Write(data, 2);
    ReleaseStorage();
    EXPECT_EQ(StreamOf(dir + "/b.qs5"), (std::vector<uint8_t>{1, 2}));
    ReleaseStorage();  // nothing held: harmless
    EXPECT_THROW(second->Close(), CFileException);  // released before its close: not silently lost
}

TEST(ProjectStreamFile, FailsWithoutHoldingAnythingWhenTheFileCannotBeMade) {
    EXPECT_FALSE(CreateProjectStreamFile(qs::test::MakeTempDir() + "/missing/dir/p.qs5"));
    EXPECT_FALSE(IsProjectStorageHeld());
}

TEST(ShellDocumentIcon, CommandLineLosesQuotesBlanksAndTheDdeSwitch) {
    EXPECT_EQ(qs::app::ShellIconCommand("\"/opt/qs/qstone\""), "/opt/qs/qstone");
    EXPECT_EQ(qs::app::ShellIconCommand("  /opt/qs/qstone  "), "/opt/qs/qstone");
    EXPECT_EQ(qs::app::ShellIconCommand("\"/opt/qs/qstone\" /dde"), "/opt/qs/qstone");
    EXPECT_EQ(qs::app::ShellIconCommand("\"/opt/q s/qstone\" /dde /x"), "/opt/q s/qstone");
}

TEST(ShellDocumentIcon, WritesOnlyWhenBothKeysExist) {
    // No ProgID key: nothing is written.
    EXPECT_FALSE(qs::app::RegisterShellDocument("Quillstone.Document", "0", "\"/opt/qs/qstone\" /dde"));
    std::string value;
    EXPECT_FALSE(qs::registry::ReadString(HKEY_CLASSES_ROOT, "Quillstone.Document\\DefaultIcon", "", &value));
    EXPECT_FALSE(QFile::exists(qs::app::MimePackagePath("Quillstone.Document")));

    // ProgID without DefaultIcon: still nothing.
    ASSERT_TRUE(qs::registry::WriteString(HKEY_CLASSES_ROOT, "Quillstone.Document", "", "Quillstone File"));
    EXPECT_FALSE(qs::app::RegisterShellDocument("Quillstone.Document", "0", "/opt/qs/qstone"));
    EXPECT_FALSE(qs::registry::ReadString(HKEY_CLASSES_ROOT, "Quillstone.Document\\DefaultIcon", "", &value));

    ASSERT_TRUE(qs::registry::WriteString(HKEY_CLASSES_ROOT, "Quillstone.Document\\DefaultIcon", "", "old"));
    ASSERT_TRUE(qs::registry::WriteString(HKEY_CLASSES_ROOT, ".qs5", "", "Quillstone.Document"));
    ASSERT_TRUE(qs::registry::WriteString(HKEY_CLASSES_ROOT, ".dfl", "", "DFL.Document"));
    EXPECT_TRUE(qs::app::RegisterShellDocument("Quillstone.Document", "0", "\"/opt/qs/qstone\" /dde"));
    ASSERT_TRUE(qs::registry::ReadString(HKEY_CLASSES_ROOT, "Quillstone.Document\\DefaultIcon", "", &value));
    EXPECT_EQ(value, "/opt/qs/qstone ,0");

    QFile package(qs::app::MimePackagePath("Quillstone.Document"));
    ASSERT_TRUE(package.open(QIODevice::ReadOnly));
    const QString xml = QString::fromUtf8(package.readAll());
    EXPECT_TRUE(xml.contains("type=\"application/x-quillstone-document\""));
    EXPECT_TRUE(xml.contains("<glob pattern=\"*.qs5\"/>"));
    EXPECT_FALSE(xml.contains("*.dfl"));
    EXPECT_TRUE(xml.contains("<comment>Quillstone File</comment>"));
}

}  // namespace
