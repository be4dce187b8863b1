#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>

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
        root_ = unique_temp_directory();
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
    static std::filesystem::path unique_temp_directory() {
        std::random_device random;
        for (int attempt = 0; attempt < 100; ++attempt) {
            const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                               ("voidlance_assets_" + std::to_string(random()));
            if (std::filesystem::create_directory(path)) {
                return path;
            }
        }
        throw std::runtime_error("no temporary directory could be made");
    }

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

}  // namespace test_support
