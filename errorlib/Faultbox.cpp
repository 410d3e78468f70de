// The message library's exports are added here.
namespace {
[[maybe_unused]] constexpr int kLibraryBuilt = 1;
}
