#include "fuzz_support.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>

#include <spdlog/spdlog.h>

ScratchDirectory::ScratchDirectory() {
    std::string pattern = (std::filesystem::temp_directory_path() / "voidlance_fuzz_XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a scratch directory");
    path = pattern;
}

ScratchDirectory::~ScratchDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

void write_file(const std::filesystem::path& path, std::string_view bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

WorkingDirectoryChange::WorkingDirectoryChange(const std::filesystem::path& directory)
    : previous(std::filesystem::current_path()) {
    std::filesystem::current_path(directory);
}

WorkingDirectoryChange::~WorkingDirectoryChange() {
    std::error_code ignored;
    std::filesystem::current_path(previous, ignored);
}

void silence_logging() { spdlog::set_level(spdlog::level::off); }
