// Runs a fuzz target over every file of the folders (or the files) named on the command line,
// as libFuzzer does with -runs=0, for builds without libFuzzer. A violated property aborts.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

void run_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  const std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
  std::vector<std::uint8_t> input(bytes.begin(), bytes.end());
  LLVMFuzzerTestOneInput(input.data(), input.size());
}

} // namespace

int main(int argc, char** argv) {
  std::size_t runs = 0;
  for (int k = 1; k < argc; ++k) {
    const std::filesystem::path arg(argv[k]);
    if (std::filesystem::is_directory(arg)) {
      std::vector<std::filesystem::path> files;
      for (const auto& entry : std::filesystem::directory_iterator(arg))
        if (entry.is_regular_file()) files.push_back(entry.path());
      std::sort(files.begin(), files.end());
      for (const auto& file : files)
        run_file(file), ++runs;
    } else if (std::filesystem::is_regular_file(arg)) {
      run_file(arg), ++runs;
    } else {
      std::fprintf(stderr, "no such corpus: %s\n", argv[k]);
      return 2;
    }
  }
  if (runs == 0) {
    std::fprintf(stderr, "empty corpus\n");
    return 2;
  }
  std::printf("%zu inputs ran\n", runs);
  return 0;
}
