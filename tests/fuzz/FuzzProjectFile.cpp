// A whole project file: the compound-file reader, then the three streams as
// the project document reads them. An accepted file writes back into a new
// compound file whose streams read back the same.
#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "CProject.h"
#include "CompoundFile.h"
#include "FuzzCheck.h"

namespace {

std::string ScratchPath(const char* name) {
    const char* tmp = std::getenv("TMPDIR");
    return std::string(tmp ? tmp : "/tmp") + "/qs-fuzz-" + std::to_string(::getpid()) + "-" + name;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string input = ScratchPath("in.qs5"), output = ScratchPath("out.qs5");
    {
        std::ofstream out(input, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    CompoundFile file;
    if (file.Open(input, CompoundFile::Mode::ReadOnly) != CompoundFile::OpenResult::Ok) return 0;
    for (const std::string& name : file.ListStreams()) {
        std::vector<std::uint8_t> bytes;
        file.ReadStream(name, bytes);
    }
    for (const std::string& storage : file.ListStorages()) (void)file.ListStreams(storage);
    std::vector<std::uint8_t> qs1, graphs, styles;
    if (!file.ReadStream("QS1", qs1)) return 0;
    CProject project;
    const QSSTATUS status = project.LoadProject(qs1.data(), qs1.size());
    if (status != CProject::LS_OK && status != CProject::LS_OLDER) return 0;
    if (file.ReadStream("GraphData", graphs) && !graphs.empty() && project.LoadGraphData(graphs.data(), graphs.size()) != 0)
        return 0;
    if (file.ReadStream("DefGraphStyles", styles) && !styles.empty() &&
        project.LoadDefGraphStyles(styles.data(), styles.size()) != 0)
        return 0;
    file.Close();

    const std::vector<std::uint8_t> savedQs1 = project.SaveProject(), savedGraphs = project.SaveGraphData(),
                                    savedStyles = project.SaveDefGraphStyles();
    {
        CompoundFile out;
        QS_FUZZ_CHECK(out.Create(output) == CompoundFile::OpenResult::Ok);
        QS_FUZZ_CHECK(out.WriteStream("QS1", savedQs1));
        QS_FUZZ_CHECK(out.WriteStream("GraphData", savedGraphs));
        QS_FUZZ_CHECK(out.WriteStream("DefGraphStyles", savedStyles));
        QS_FUZZ_CHECK(out.Commit());
    }
    CompoundFile back;
    QS_FUZZ_CHECK(back.Open(output, CompoundFile::Mode::ReadOnly) == CompoundFile::OpenResult::Ok);
    std::vector<std::uint8_t> b1, b2, b3;
    QS_FUZZ_CHECK(back.ReadStream("QS1", b1) && b1 == savedQs1);
    QS_FUZZ_CHECK(back.ReadStream("GraphData", b2) && b2 == savedGraphs);
    QS_FUZZ_CHECK(back.ReadStream("DefGraphStyles", b3) && b3 == savedStyles);
    CProject again;
    QS_FUZZ_CHECK(again.LoadProject(b1.data(), b1.size()) == CProject::LS_OK);
    QS_FUZZ_CHECK(again.LoadGraphData(b2.data(), b2.size()) == 0);
    QS_FUZZ_CHECK(again.LoadDefGraphStyles(b3.data(), b3.size()) == 0);
    QS_FUZZ_CHECK(again.SaveProject() == savedQs1);
    QS_FUZZ_CHECK(again.SaveGraphData() == savedGraphs);
    QS_FUZZ_CHECK(again.SaveDefGraphStyles() == savedStyles);
    return 0;
}
