// Replays kept inputs through a harness without libFuzzer: every file of the
// folders and every file given, folders in name order. An input that breaks
// the harness ends the program as it would end the fuzzer; under
// AddressSanitizer that includes asking for more memory at once than the
// fuzzer allows.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#define QRP_REPLAY_MALLOC_LIMIT 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QRP_REPLAY_MALLOC_LIMIT 1
#endif
#endif
#ifdef QRP_REPLAY_MALLOC_LIMIT
#include <cstdlib>

// The sanitizer runtime's hook interface (GCC ships no header for it).
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*malloc_hook)(const volatile void*, std::size_t),
                                                         void (*free_hook)(const volatile void*));
#endif

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

std::vector<std::filesystem::path> InputsOf(const std::filesystem::path& path)
{
    if (!std::filesystem::is_directory(path))
        return {path};
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(path))
        if (entry.is_regular_file())
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

#ifdef QRP_REPLAY_MALLOC_LIMIT
// The fuzzer's -malloc_limit_mb of scripts/fuzz.sh.
constexpr std::size_t kMallocLimit = std::size_t {512} << 20;

void StopOnHugeAllocation(const volatile void*, std::size_t size)
{
    if (size <= kMallocLimit)
        return;
    std::fprintf(stderr, "one allocation of %zu bytes, over the limit of %zu\n", size, kMallocLimit);
    std::abort();
}

void IgnoreFree(const volatile void*) {}
#endif

}  // namespace

int main(int argc, char** argv)
{
#ifdef QRP_REPLAY_MALLOC_LIMIT
    __sanitizer_install_malloc_and_free_hooks(StopOnHugeAllocation, IgnoreFree);
#endif
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FOLDER|FILE...\n", argv[0]);
        return 2;
    }
    std::size_t replayed = 0;
    for (int i = 1; i < argc; ++i) {
        if (!std::filesystem::exists(argv[i])) {
            std::fprintf(stderr, "%s: no such file or folder\n", argv[i]);
            return 1;
        }
        for (const auto& input : InputsOf(argv[i])) {
            std::ifstream file(input, std::ios::binary);
            const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
            std::printf("%s (%zu bytes)\n", input.c_str(), bytes.size());
            std::fflush(stdout);
            LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
            ++replayed;
        }
    }
    std::printf("%zu inputs replayed\n", replayed);
    // A replay of nothing would pass whatever the harness does.
    return replayed > 0 ? 0 : 1;
}
