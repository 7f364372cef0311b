// Runs a fuzz target over saved inputs without libFuzzer, so that the seed
// corpus and every input that once failed are replayed by the regular tests
// (also in the sanitizer build). Arguments are files or folders of files;
// a failed property aborts, a missing argument is an error.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

void replay(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in),
                                  std::istreambuf_iterator<char>()};
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

} // namespace

int main(int argc, char** argv) {
    int replayed = 0;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path path(argv[i]);
        if (std::filesystem::is_directory(path)) {
            for (const auto& entry : std::filesystem::directory_iterator(path)) {
                replay(entry.path());
                ++replayed;
            }
        } else if (std::filesystem::is_regular_file(path)) {
            replay(path);
            ++replayed;
        } else {
            std::fprintf(stderr, "replay: no such input: %s\n", argv[i]);
            return 1;
        }
    }
    std::printf("replayed %d input(s)\n", replayed);
    return replayed > 0 ? 0 : 1;
}
