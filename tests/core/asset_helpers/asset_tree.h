#pragma once

#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

namespace test_support {

inline std::string read_file(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void write_file(const std::filesystem::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

// A scratch working directory holding a copy of the real configuration files
// (build/assets/<kind>/<name>/<name>.json, and src/assets when asked for), so
// that loaders and savers run against files the test may change. The previous
// working directory comes back, and the copy goes, at the end of the scope.
class AssetTree {
public:
    explicit AssetTree(bool with_source_tree = true) : previous_(std::filesystem::current_path()) {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "voidlance_assets_XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("mkdtemp failed");
        }
        root_ = pattern;
        copy_configs(previous_ / "build/assets", root_ / "build/assets");
        if (with_source_tree) {
            copy_configs(previous_ / "build/assets", root_ / "src/assets");
        }
        std::filesystem::current_path(root_);
    }
    ~AssetTree() {
        std::filesystem::current_path(previous_);
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    AssetTree(const AssetTree&) = delete;
    AssetTree& operator=(const AssetTree&) = delete;

    static std::string path(const std::string& root, const std::string& kind,
                            const std::string& name) {
        return root + "/assets/" + kind + "/" + name + "/" + name + ".json";
    }
    nlohmann::json read(const std::string& kind, const std::string& name) const {
        return nlohmann::json::parse(read_file(path("build", kind, name)));
    }
    void write(const std::string& kind, const std::string& name, const nlohmann::json& j) const {
        write_file(path("build", kind, name), j.dump(4));
    }
    // Every file in the scratch tree whose name ends in ".tmp".
    int leftover_temp_files() const {
        int count = 0;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root_)) {
            count += entry.path().extension() == ".tmp" ? 1 : 0;
        }
        return count;
    }

private:
    static void copy_configs(const std::filesystem::path& from, const std::filesystem::path& to) {
        for (const auto& entry : std::filesystem::recursive_directory_iterator(from)) {
            const auto relative = std::filesystem::relative(entry.path(), from);
            if (entry.path().extension() == ".json") {
                std::filesystem::create_directories((to / relative).parent_path());
                std::filesystem::copy_file(entry.path(), to / relative);
            }
        }
    }

    std::filesystem::path previous_;
    std::filesystem::path root_;
};

// While this lives, files may grow to `bytes` only: a write beyond fails
// instead of ending the process.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) : previous_handler_(std::signal(SIGXFSZ, SIG_IGN)) {
        getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit small = previous_;
        small.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previous_handler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit previous_{};
    void (*previous_handler_)(int);
};

// While this lives, permission bits bind this thread even when it runs as
// root, so that a read-only directory refuses new files as it would for any
// other user.
class PermissionBitsApply {
public:
    PermissionBitsApply() {
        if (geteuid() != 0) return;
        syscall(SYS_capget, &header_, data_);
        previous_effective_ = data_[0].effective;
        data_[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        syscall(SYS_capset, &header_, data_);
    }
    ~PermissionBitsApply() {
        if (geteuid() != 0) return;
        data_[0].effective = previous_effective_;
        syscall(SYS_capset, &header_, data_);
    }
    PermissionBitsApply(const PermissionBitsApply&) = delete;
    PermissionBitsApply& operator=(const PermissionBitsApply&) = delete;

private:
    __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data_[2]{};
    std::uint32_t previous_effective_ = 0;
};

}  // namespace test_support
