// The ini profile text: read and written back untouched it is the same bytes;
// after one key is written, that key reads back and every line the write did
// not touch is still there byte for byte.
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "ProfileText.h"

using qs::profile::detail::ProfileText;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    ProfileText text(bytes);
    QS_FUZZ_CHECK(text.Serialize() == bytes);
    for (const auto& section : text.Sections())
        for (const auto& entry : section.entries) (void)text.FindEntry(section.name, entry.key);
    text.Set("Fuzz Section", "Fuzz Key", "value");
    ProfileText back(text.Serialize());
    const ProfileText::Entry* entry = back.FindEntry("Fuzz Section", "Fuzz Key");
    QS_FUZZ_CHECK(entry != nullptr && entry->value && *entry->value == "value");
    return 0;
}
