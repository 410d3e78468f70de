// Compound files: round trips, listing and removal, detection of other files,
// transacted saves that survive a killed process, and deny-write sharing
// between processes.
#include <gtest/gtest.h>

#include "CompoundFile.h"

#include "TestEnvironment.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <ctime>
#include <cstring>
#include <fcntl.h>
#include <future>
#include <sys/stat.h>
#include <sys/time.h>
#include <dirent.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Pattern(size_t n, uint8_t seed)
{
    Bytes b(n);
    for (size_t i = 0; i < n; ++i)
        b[i] = static_cast<uint8_t>(seed + i * 31 + (i >> 8));
    return b;
}

std::vector<std::string> DirEntries(const std::string& dir)
{
    std::vector<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d)) {
            std::string n = e->d_name;
            if (n != "." && n != "..")
                names.push_back(n);
        }
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// A project-like file: the three root streams.
std::string MakeProjectFile(const std::string& dir, const Bytes& qs1)
{
    std::string path = dir + "/project.qs5";
    CompoundFile cf;
    EXPECT_EQ(cf.Create(path), CompoundFile::OpenResult::Ok);
    EXPECT_TRUE(cf.WriteStream("QS1", qs1));
    EXPECT_TRUE(cf.WriteStream("GraphData", Pattern(100, 7)));
    EXPECT_TRUE(cf.WriteStream("DefGraphStyles", {}));
    EXPECT_TRUE(cf.Commit()) << cf.GetLastError();
    return path;
}

// A pipe pair for a parent and a forked child to step each other.
struct Channel {
    int toParent[2];
    int toChild[2];
    Channel()
    {
        EXPECT_EQ(pipe(toParent), 0);
        EXPECT_EQ(pipe(toChild), 0);
    }
    void Tell(int fd, char c) { EXPECT_EQ(write(fd, &c, 1), 1); }
    char Hear(int fd)
    {
        char c = 0;
        return read(fd, &c, 1) == 1 ? c : 0;
    }
};

int WaitChild(pid_t pid)
{
    int status = 0;
    waitpid(pid, &status, 0);
    return status;
}

}  // namespace

TEST(CompoundFile, RoundTripListingAndRemoval)
{
    const std::string dir = qs::test::MakeTempDir();
    // Sizes on both sides of the small-stream cut-off, and an empty stream.
    const Bytes qs1 = Pattern(300000, 1);
    const std::string path = MakeProjectFile(dir, qs1);
    {
        CompoundFile cf;
        ASSERT_EQ(cf.Open(path, CompoundFile::Mode::ReadWrite), CompoundFile::OpenResult::Ok);
        EXPECT_TRUE(cf.WriteStream("Sub/Inner", Pattern(5000, 3)));
        EXPECT_TRUE(cf.CreateStorage("Empty"));
        EXPECT_TRUE(cf.Commit()) << cf.GetLastError();
    }
    EXPECT_TRUE(CompoundFile::IsCompoundFile(path));

    CompoundFile cf;
    ASSERT_EQ(cf.Open(path, CompoundFile::Mode::ReadOnly), CompoundFile::OpenResult::Ok);
    EXPECT_EQ(cf.ListStreams(), (std::vector<std::string>{"DefGraphStyles", "GraphData", "QS1"}));
    EXPECT_EQ(cf.ListStorages(), (std::vector<std::string>{"Empty", "Sub"}));
    EXPECT_EQ(cf.ListStreams("Sub"), (std::vector<std::string>{"Inner"}));
    Bytes got;
    ASSERT_TRUE(cf.ReadStream("QS1", got));
    EXPECT_EQ(got, qs1);
    ASSERT_TRUE(cf.ReadStream("graphdata", got));  // names ignore case
    EXPECT_EQ(got, Pattern(100, 7));
    ASSERT_TRUE(cf.ReadStream("DefGraphStyles", got));
    EXPECT_TRUE(got.empty());
    ASSERT_TRUE(cf.ReadStream("Sub/Inner", got));
    EXPECT_EQ(got, Pattern(5000, 3));
    EXPECT_FALSE(cf.ReadStream("Missing", got));
    EXPECT_FALSE(cf.WriteStream("QS1", {1}));  // read-only
    EXPECT_FALSE(cf.Commit());
    cf.Close();

    // Remove one stream and a storage; the rest stays.
    ASSERT_EQ(cf.Open(path, CompoundFile::Mode::ReadWrite), CompoundFile::OpenResult::Ok);
    EXPECT_TRUE(cf.RemoveStream("GraphData"));
    EXPECT_FALSE(cf.RemoveStream("GraphData"));
    EXPECT_TRUE(cf.RemoveStorage("Sub"));
    EXPECT_TRUE(cf.Commit());
    cf.Close();
    ASSERT_EQ(cf.Open(path, CompoundFile::Mode::ReadOnly), CompoundFile::OpenResult::Ok);
    EXPECT_EQ(cf.ListStreams(), (std::vector<std::string>{"DefGraphStyles", "QS1"}));
    EXPECT_EQ(cf.ListStorages(), (std::vector<std::string>{"Empty"}));
    ASSERT_TRUE(cf.ReadStream("QS1", got));
    EXPECT_EQ(got, qs1);
    cf.Close();
    EXPECT_EQ(DirEntries(dir), (std::vector<std::string>{"project.qs5"}));  // no temporary left behind
}

// Other writers leave a stream's sectors out of order; such a stream reads
// whole, as one whose sectors follow each other does, and survives a commit.
TEST(CompoundFile, AStreamInScatteredSectorsReadsWhole)
{
    const std::string dir = qs::test::MakeTempDir();
    const Bytes qs1 = Pattern(70000, 5);
    const std::string path = dir + "/scattered.qs5";
    {
        CompoundFile cf;
        ASSERT_EQ(cf.Create(path), CompoundFile::OpenResult::Ok);
        ASSERT_TRUE(cf.WriteStream("QS1", qs1));
        ASSERT_TRUE(cf.Commit());
    }
    std::string file = qs::test::ReadFile(path);
    auto u32 = [&](size_t at) {
        uint32_t v = 0;
        std::memcpy(&v, file.data() + at, 4);
        return v;
    };
    auto put32 = [&](size_t at, uint32_t v) { std::memcpy(file.data() + at, &v, 4); };
    auto sector = [](uint32_t s) { return size_t(s + 1) * 512; };
    ASSERT_EQ(file.size() % 512, 0u);
    // The stream's directory entry ("QS1" in UTF-16) gives its first sector.
    size_t entry = sector(u32(0x30));
    while (entry + 128 <= file.size() && std::memcmp(file.data() + entry, "Q\0S\0" "1\0", 6) != 0)
        entry += 128;
    ASSERT_LE(entry + 128, file.size());
    const size_t bat = sector(u32(0x4C));  // the sector table's first sector
    const uint32_t s0 = u32(entry + 0x74), s1 = u32(bat + 4 * s0), s2 = u32(bat + 4 * s1), s3 = u32(bat + 4 * s2);
    ASSERT_EQ(s2, s1 + 1);
    // Swap the second and third sectors on the disk and relink the chain.
    std::swap_ranges(file.begin() + sector(s1), file.begin() + sector(s1) + 512, file.begin() + sector(s2));
    put32(bat + 4 * s0, s2);
    put32(bat + 4 * s2, s1);
    put32(bat + 4 * s1, s3);
    qs::test::WriteFile(path, file);

    CompoundFile cf;
    ASSERT_EQ(cf.Open(path, CompoundFile::Mode::ReadWrite), CompoundFile::OpenResult::Ok) << cf.GetLastError();
    Bytes got;
    ASSERT_TRUE(cf.ReadStream("QS1", got));
    EXPECT_EQ(got, qs1);
    ASSERT_TRUE(cf.WriteStream("GraphData", Pattern(100, 7)));
    ASSERT_TRUE(cf.Commit()) << cf.GetLastError();
    cf.Close();
    ASSERT_EQ(cf.Open(path, CompoundFile::Mode::ReadOnly), CompoundFile::OpenResult::Ok);
    ASSERT_TRUE(cf.ReadStream("QS1", got));
    EXPECT_EQ(got, qs1);
}

TEST(CompoundFile, CommitThroughALinkReplacesItsTarget)
{
    const std::string dir = qs::test::MakeTempDir();
    const std::string real = MakeProjectFile(dir, Pattern(10, 1));
    const std::string link = dir + "/link.qs5";
    ASSERT_EQ(symlink(real.c_str(), link.c_str()), 0);
    CompoundFile cf;
    ASSERT_EQ(cf.Open(link, CompoundFile::Mode::ReadWrite), CompoundFile::OpenResult::Ok);
    ASSERT_TRUE(cf.WriteStream("QS1", Pattern(20, 2)));
    ASSERT_TRUE(cf.Commit()) << cf.GetLastError();
    char buf[512] = {};
    ASSERT_GT(readlink(link.c_str(), buf, sizeof buf - 1), 0);
    EXPECT_EQ(std::string(buf), real);
    cf.Close();
    ASSERT_EQ(cf.Open(real, CompoundFile::Mode::ReadOnly), CompoundFile::OpenResult::Ok);
    Bytes got;
    ASSERT_TRUE(cf.ReadStream("QS1", got));
    EXPECT_EQ(got, Pattern(20, 2));
}

TEST(CompoundFile, RejectsBadNames)
{
    CompoundFile cf;
    ASSERT_EQ(cf.Create(qs::test::MakeTempDir() + "/n.qs5"), CompoundFile::OpenResult::Ok);
    const std::string bad[] = {"", "a\\b", "a:b", "x!", "/lead", "trail/", "a//b", "tab\t", std::string(32, 'n')};
    for (const auto& name : bad)
        EXPECT_FALSE(cf.WriteStream(name, {1})) << name;
    EXPECT_TRUE(cf.WriteStream(std::string(31, 'n'), {1}));
    EXPECT_TRUE(cf.WriteStream("S", {1}));
    EXPECT_FALSE(cf.CreateStorage("S"));  // a stream has that name
    EXPECT_FALSE(cf.WriteStream("S/x", {1}));
}

TEST(CompoundFile, DetectsFilesThatAreNotCompound)
{
    const std::string dir = qs::test::MakeTempDir();
    const std::string good = MakeProjectFile(dir, Pattern(10000, 2));
    const std::string goodBytes = qs::test::ReadFile(good);

    // The directory entry of "QS1" (UTF-16 name) claiming a 2 GB stream.
    std::string hugeClaim = goodBytes;
    const std::string qs1Name("Q\0S\0" "1\0\0\0", 8);
    size_t entry = hugeClaim.find(qs1Name);
    ASSERT_NE(entry, std::string::npos);
    entry -= entry % 128;
    hugeClaim.replace(entry + 0x78, 4, std::string("\xFF\xFF\xFF\x7F", 4));

    struct Case {
        const char* name;
        std::string bytes;
        CompoundFile::OpenResult result;
    };
    const Case cases[] = {
        {"text.qs5", "not a compound file at all", CompoundFile::OpenResult::NotCompound},
        {"empty.qs5", "", CompoundFile::OpenResult::NotCompound},
        {"header-only.qs5", goodBytes.substr(0, 512), CompoundFile::OpenResult::Damaged},
        {"signature.qs5", goodBytes.substr(0, 8) + std::string(600, '\xFF'), CompoundFile::OpenResult::Damaged},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir + "/" + c.name;
        qs::test::WriteFile(path, c.bytes);
        CompoundFile cf;
        EXPECT_EQ(cf.Open(path, CompoundFile::Mode::ReadOnly), c.result);
        EXPECT_FALSE(cf.IsOpen());
        EXPECT_FALSE(cf.GetLastError().empty());
    }
    {
        // Refused, or opened without the impossible stream; never a 2 GB buffer.
        qs::test::WriteFile(dir + "/huge-claim.qs5", hugeClaim);
        CompoundFile cf;
        if (cf.Open(dir + "/huge-claim.qs5", CompoundFile::Mode::ReadOnly) == CompoundFile::OpenResult::Ok) {
            Bytes got;
            EXPECT_FALSE(cf.ReadStream("QS1", got) && got.size() > hugeClaim.size());
        }
    }
    EXPECT_FALSE(CompoundFile::IsCompoundFile(dir + "/text.qs5"));
    CompoundFile cf;
    EXPECT_EQ(cf.Open(dir + "/absent.qs5", CompoundFile::Mode::ReadOnly), CompoundFile::OpenResult::NotFound);
    EXPECT_EQ(cf.Open(dir + "/absent.qs5", CompoundFile::Mode::ReadWrite), CompoundFile::OpenResult::NotFound);
    EXPECT_EQ(cf.Create(dir + "/no-folder/new.qs5"), CompoundFile::OpenResult::NotFound);

    // Cut anywhere, a file must never crash the reader.
    for (size_t len = 0; len < goodBytes.size(); len += 509) {
        const std::string path = dir + "/cut.qs5";
        qs::test::WriteFile(path, goodBytes.substr(0, len));
        CompoundFile cut;
        cut.Open(path, CompoundFile::Mode::ReadOnly);
    }
}

TEST(CompoundFile, UncommittedChangesNeverReachTheFile)
{
    const std::string dir = qs::test::MakeTempDir();
    const std::string path = MakeProjectFile(dir, Pattern(2000, 5));
    const std::string before = qs::test::ReadFile(path);
    {
        CompoundFile cf;
        ASSERT_EQ(cf.Open(path, CompoundFile::Mode::ReadWrite), CompoundFile::OpenResult::Ok);
        EXPECT_TRUE(cf.WriteStream("QS1", {9, 9, 9}));
        EXPECT_TRUE(cf.IsModified());
        cf.Revert();
        EXPECT_FALSE(cf.IsModified());
        Bytes got;
        ASSERT_TRUE(cf.ReadStream("QS1", got));
        EXPECT_EQ(got, Pattern(2000, 5));
        EXPECT_TRUE(cf.RemoveStream("QS1"));
        // Destroyed without a commit.
    }
    {
        CompoundFile fresh;  // Create over the file, then abandon it
        ASSERT_EQ(fresh.Create(path), CompoundFile::OpenResult::Ok);
        EXPECT_TRUE(fresh.WriteStream("Other", {1}));
    }
    EXPECT_EQ(qs::test::ReadFile(path), before);
    EXPECT_EQ(DirEntries(dir), (std::vector<std::string>{"project.qs5"}));
}

TEST(CompoundFile, KilledSaveLeavesTheOldFileWhole)
{
    const std::string dir = qs::test::MakeTempDir();
    const std::string path = MakeProjectFile(dir, Pattern(1000, 4));
    const std::string before = qs::test::ReadFile(path);
    const Bytes big = Pattern(24 << 20, 8);  // large enough for kills to land mid-save

    // A child that changes the file and dies before committing.
    pid_t quitter = fork();
    ASSERT_GE(quitter, 0);
    if (quitter == 0) {
        CompoundFile cf;
        if (cf.Open(path, CompoundFile::Mode::ReadWrite) == CompoundFile::OpenResult::Ok)
            cf.WriteStream("QS1", {1, 2, 3});
        _exit(0);
    }
    WaitChild(quitter);
    EXPECT_EQ(qs::test::ReadFile(path), before);

    // Children killed at increasing moments of a commit: the file is always
    // either the old one byte for byte or the complete new one.
    int sawOld = 0, sawNew = 0;
    for (int delayMs : {0, 2, 5, 10, 20, 40, 80, 160, 320, 640, 2000}) {
        Channel ch;
        pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            CompoundFile cf;
            if (cf.Open(path, CompoundFile::Mode::ReadWrite) != CompoundFile::OpenResult::Ok)
                _exit(3);
            cf.WriteStream("QS1", big);
            ch.Tell(ch.toParent[1], 'c');
            cf.Commit();
            ch.Tell(ch.toParent[1], 'd');
            pause();
            _exit(0);
        }
        ASSERT_EQ(ch.Hear(ch.toParent[0]), 'c');
        usleep(static_cast<useconds_t>(delayMs) * 1000);
        kill(pid, SIGKILL);
        WaitChild(pid);

        std::string now = qs::test::ReadFile(path);
        if (now == before) {
            ++sawOld;
            continue;
        }
        CompoundFile cf;
        ASSERT_EQ(cf.Open(path, CompoundFile::Mode::ReadWrite), CompoundFile::OpenResult::Ok)
            << "after " << delayMs << " ms";
        Bytes got;
        ASSERT_TRUE(cf.ReadStream("QS1", got));
        EXPECT_EQ(got, big);
        ++sawNew;
        // Put the old file back for the next round.
        ASSERT_TRUE(cf.WriteStream("QS1", Pattern(1000, 4)));
        ASSERT_TRUE(cf.Commit());
        cf.Close();
        qs::test::WriteFile(path, before);
    }
    EXPECT_GT(sawOld, 0);
    // Stray temporaries from killed saves are hidden siblings; nothing else appears.
    for (const auto& name : DirEntries(dir))
        EXPECT_TRUE(name == "project.qs5" || name.rfind(".project.qs5.tmp-", 0) == 0) << name;
    // The lock died with the children.
    CompoundFile cf;
    EXPECT_EQ(cf.Open(path, CompoundFile::Mode::ReadWrite), CompoundFile::OpenResult::Ok);
    (void)sawNew;
}

TEST(CompoundFile, LeftoverTemporariesOfGoneProcessesAreRemoved)
{
    const std::string dir = qs::test::MakeTempDir();
    const std::string path = MakeProjectFile(dir, Pattern(100, 1));
    pid_t gone = fork();
    ASSERT_GE(gone, 0);
    if (gone == 0)
        _exit(0);
    WaitChild(gone);
    const std::string deadOld = ".project.qs5.tmp-" + std::to_string(gone) + "-0";
    const std::string deadYoung = ".project.qs5.tmp-" + std::to_string(gone) + "-1";
    const std::string ours = ".project.qs5.tmp-" + std::to_string(getpid()) + "-7";
    const std::string otherFile = ".other.qs5.tmp-" + std::to_string(gone) + "-0";
    const time_t hourAgo = time(nullptr) - 3600;
    for (const std::string& name : {deadOld, deadYoung, ours, otherFile}) {
        qs::test::WriteFile(dir + "/" + name, "half a save");
        if (name != deadYoung) {
            struct timeval times[2] = {{hourAgo, 0}, {hourAgo, 0}};
            ASSERT_EQ(utimes((dir + "/" + name).c_str(), times), 0);
        }
    }
    auto has = [&](const std::string& name) {
        const auto names = DirEntries(dir);
        return std::find(names.begin(), names.end(), name) != names.end();
    };
    {
        CompoundFile cf;
        ASSERT_EQ(cf.Open(path, CompoundFile::Mode::ReadWrite), CompoundFile::OpenResult::Ok);
    }
    EXPECT_FALSE(has(deadOld));
    EXPECT_TRUE(has(deadYoung));  // may still be another machine's save in progress
    EXPECT_TRUE(has(ours));       // this process lives
    EXPECT_TRUE(has(otherFile));  // another project's business

    // Saving clears them too.
    qs::test::WriteFile(dir + "/" + deadOld, "half a save");
    struct timeval times[2] = {{hourAgo, 0}, {hourAgo, 0}};
    ASSERT_EQ(utimes((dir + "/" + deadOld).c_str(), times), 0);
    CompoundFile cf;
    ASSERT_EQ(cf.Create(path), CompoundFile::OpenResult::Ok);
    ASSERT_TRUE(cf.WriteStream("QS1", Pattern(10, 2)));
    ASSERT_TRUE(cf.Commit());
    EXPECT_FALSE(has(deadOld));
}

TEST(CompoundFile, APipeGivenAsAProjectIsRefusedWithoutWaiting)
{
    const std::string dir = qs::test::MakeTempDir();
    const std::string fifo = dir + "/pipe.qs5";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (auto mode : {CompoundFile::Mode::ReadOnly, CompoundFile::Mode::ReadWrite}) {
        auto open = std::async(std::launch::async, [&] {
            CompoundFile cf;
            return cf.Open(fifo, mode);
        });
        if (open.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
            const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0)
                ::close(fd);
            open.wait();
            FAIL() << "opening a pipe blocked";
        }
        EXPECT_NE(open.get(), CompoundFile::OpenResult::Ok);
    }
    CompoundFile cf;
    EXPECT_NE(cf.Open(dir, CompoundFile::Mode::ReadOnly), CompoundFile::OpenResult::Ok);
}

TEST(CompoundFile, SecondOpenerFallsBackToReadOnly)
{
    const std::string dir = qs::test::MakeTempDir();
    const std::string path = MakeProjectFile(dir, Pattern(500, 6));

    Channel ch;
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        CompoundFile cf;
        if (cf.Open(path, CompoundFile::Mode::ReadWrite) != CompoundFile::OpenResult::Ok)
            _exit(3);
        ch.Tell(ch.toParent[1], 'o');
        ch.Hear(ch.toChild[0]);
        // Saving replaces the file; the lock must follow it.
        cf.WriteStream("QS1", Pattern(700, 1));
        if (!cf.Commit())
            _exit(4);
        ch.Tell(ch.toParent[1], 's');
        ch.Hear(ch.toChild[0]);
        _exit(0);
    }
    ASSERT_EQ(ch.Hear(ch.toParent[0]), 'o');

    CompoundFile second;
    EXPECT_EQ(second.Open(path, CompoundFile::Mode::ReadWrite), CompoundFile::OpenResult::LockedByOther);
    EXPECT_EQ(second.Create(path), CompoundFile::OpenResult::LockedByOther);
    ASSERT_EQ(second.Open(path, CompoundFile::Mode::ReadOnly), CompoundFile::OpenResult::Ok);
    EXPECT_TRUE(second.IsReadOnly());
    second.Close();

    ch.Tell(ch.toChild[1], 'g');
    ASSERT_EQ(ch.Hear(ch.toParent[0]), 's');
    EXPECT_EQ(second.Open(path, CompoundFile::Mode::ReadWrite), CompoundFile::OpenResult::LockedByOther);
    ASSERT_EQ(second.Open(path, CompoundFile::Mode::ReadOnly), CompoundFile::OpenResult::Ok);
    Bytes got;
    ASSERT_TRUE(second.ReadStream("QS1", got));
    EXPECT_EQ(got, Pattern(700, 1));
    second.Close();

    ch.Tell(ch.toChild[1], 'q');
    int status = WaitChild(pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(second.Open(path, CompoundFile::Mode::ReadWrite), CompoundFile::OpenResult::Ok);

    // Within one process a second read-write opener is refused as well.
    CompoundFile third;
    EXPECT_EQ(third.Open(path, CompoundFile::Mode::ReadWrite), CompoundFile::OpenResult::LockedByOther);
}
