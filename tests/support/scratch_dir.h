#pragma once

#include <filesystem>
#include <random>
#include <string>
#include <system_error>

namespace test_support {

// A folder of the test's own in the temporary folder, removed with its
// contents at the end. It is always made afresh under an unguessable name, so
// parallel runs never share it and a link planted there is never followed;
// only its owner may use it. The path is empty when no folder could be made.
class ScratchDir {
public:
    explicit ScratchDir(const std::string& prefix = "voidlance_") {
        std::random_device random;
        for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
            const std::filesystem::path candidate =
                std::filesystem::temp_directory_path() / (prefix + std::to_string(random()) + std::to_string(random()));
            std::error_code error;
            if (std::filesystem::create_directory(candidate, error)) {
                std::filesystem::permissions(candidate, std::filesystem::perms::owner_all, error);
                path_ = candidate;
            }
        }
    }
    ~ScratchDir() {
        if (!path_.empty()) {
            std::error_code ignored;
            std::filesystem::remove_all(path_, ignored);
        }
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace test_support
