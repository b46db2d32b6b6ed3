// Runs a fuzz target once on each file named (or each file in each folder named): the kept
// finds and the seeds, as an ordinary test in builds without libFuzzer.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {
bool run(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", path.c_str());
        return false;
    }
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    return true;
}
}  // namespace

int main(int argc, char** argv) {
    int inputs = 0;
    bool ok = true;
    for (int i = 1; i < argc; ++i) {
        std::filesystem::path arg(argv[i]);
        if (std::filesystem::is_directory(arg)) {
            for (const auto& entry : std::filesystem::directory_iterator(arg)) {
                if (!entry.is_regular_file() || entry.path().filename().string()[0] == '.')
                    continue;
                ok = run(entry.path()) && ok;
                ++inputs;
            }
        } else {
            ok = run(arg) && ok;
            ++inputs;
        }
    }
    std::printf("%d inputs replayed\n", inputs);
    return ok ? 0 : 1;
}
