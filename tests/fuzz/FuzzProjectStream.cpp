// The "QS1" project stream. The first byte picks the generation; the rest is
// the body, sealed in a valid frame (length and checksum) so that the body
// parser is reached. An accepted project saves, reloads and saves to the same
// bytes.
#include <cstdint>
#include <cstring>
#include <vector>

#include "CProject.h"
#include "FuzzCheck.h"
#include "KernelStream.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::uint32_t generation = 1 + data[0] % CProject::kStorageGeneration;
    const std::uint8_t* body = data + 1;
    const std::size_t bodySize = size - 1;
    std::vector<std::uint8_t> stream = {'Q', 'S', 'K', 'P'};
    const auto u32 = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) stream.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    };
    u32(generation);
    u32(static_cast<std::uint32_t>(bodySize));
    stream.insert(stream.end(), body, body + bodySize);
    u32(KernelChecksum(body, bodySize));

    CProject project;
    const QSSTATUS status = project.LoadProject(stream.data(), stream.size());
    if (status != CProject::LS_OK && status != CProject::LS_OLDER) return 0;
    const std::vector<std::uint8_t> saved = project.SaveProject();
    CProject again;
    QS_FUZZ_CHECK(again.LoadProject(saved.data(), saved.size()) == CProject::LS_OK);
    QS_FUZZ_CHECK(again.SaveProject() == saved);
    return 0;
}
