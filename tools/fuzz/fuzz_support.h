#pragma once

#include <filesystem>
#include <string_view>

// A private folder under the system's temporary directory, made fresh and
// removed with the object, for the files a target hands to a loader.
struct ScratchDirectory {
    std::filesystem::path path;

    ScratchDirectory();
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;
};

void write_file(const std::filesystem::path& path, std::string_view bytes);

// Makes `directory` the working directory until the object goes; libFuzzer
// reads and writes its corpus between inputs, in the directory it started in.
struct WorkingDirectoryChange {
    std::filesystem::path previous;

    explicit WorkingDirectoryChange(const std::filesystem::path& directory);
    ~WorkingDirectoryChange();
    WorkingDirectoryChange(const WorkingDirectoryChange&) = delete;
    WorkingDirectoryChange& operator=(const WorkingDirectoryChange&) = delete;
};

// Silences the default logger: bad input is logged on every run otherwise.
void silence_logging();
