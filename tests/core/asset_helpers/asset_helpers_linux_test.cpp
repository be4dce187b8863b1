#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <unistd.h>

#include <nlohmann/json.hpp>

#include "core/asset_helpers/asset_helpers.h"
#include "core/asset_helpers/asset_tree.h"
#include "support/file_limits_linux.h"
#include "support/log_capture.h"

using nlohmann::json;
using test_support::AssetTree;
using test_support::read_file;

// Saves that need what Linux alone offers: a file-size limit, permission
// bits, and symbolic links.
namespace {

const std::string mount_src = "src/assets/mounts/mount_small_one/mount_small_one.json";
const std::string mount_build = "build/assets/mounts/mount_small_one/mount_small_one.json";

TEST(SaveConfigs, AFailedWriteLeavesTheOldFileWhole) {
    AssetTree tree;
    MountConfig mount = load_mount_configs().at(MountType::SmallOne);
    mount.cooldown = 1.75f;
    const std::string src_before = read_file(mount_src);
    const std::string build_before = read_file(mount_build);

    test_support::LogCapture log;
    SavedCopies saved{true, true};
    {
        // Files may grow to 16 bytes only, so the write stops part-way.
        test_support::FileSizeLimit limit(16);
        saved = save_mount_config(mount);
    }
    EXPECT_FALSE(saved.source || saved.build);
    const auto lines = log.lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].level, spdlog::level::err);
    EXPECT_EQ(lines[0].text, "save_mount_config: write failed for '" + mount_src + "'");
    EXPECT_EQ(read_file(mount_src), src_before);
    EXPECT_EQ(read_file(mount_build), build_before);
    EXPECT_EQ(tree.leftover_temp_files(), 0);
}

TEST(SaveConfigs, ABuildDirectoryThatRefusesNewFilesLeavesBothCopiesAsTheyWere) {
    AssetTree tree;
    MountConfig mount = load_mount_configs().at(MountType::SmallOne);
    mount.cooldown = 1.75f;
    const std::string src_before = read_file(mount_src);
    const std::string build_before = read_file(mount_build);
    const std::filesystem::path build_dir = std::filesystem::path(mount_build).parent_path();
    test_support::LogCapture log;
    std::filesystem::permissions(build_dir, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    SavedCopies saved;
    {
        test_support::PermissionBitsApply bits;
        saved = save_mount_config(mount);
    }
    std::filesystem::permissions(build_dir, std::filesystem::perms::owner_all);
    EXPECT_FALSE(saved.source || saved.build);
    EXPECT_EQ(read_file(mount_build), build_before);
    EXPECT_EQ(log.count(spdlog::level::err,
                        "save_mount_config: could not open '" + mount_build + "' for writing: Permission denied"),
              1);
    EXPECT_EQ(read_file(mount_src), src_before);
    EXPECT_EQ(tree.leftover_temp_files(), 0);
}

// A save replaces a linked file's target, not the link, and keeps the
// replaced file's permission bits.
TEST(SaveConfigs, KeepsSymbolicLinksAndPermissionBits) {
    namespace fs = std::filesystem;
    AssetTree tree;
    MountConfig mount = load_mount_configs().at(MountType::SmallOne);
    mount.cooldown = 1.75f;
    fs::rename(mount_src, "elsewhere.json");
    fs::create_symlink("../../../../elsewhere.json", mount_src);
    const fs::perms mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(mount_build, mode);
    const SavedCopies saved = save_mount_config(mount);
    EXPECT_TRUE(saved.source && saved.build);
    EXPECT_TRUE(fs::is_symlink(mount_src));
    EXPECT_EQ(json::parse(read_file("elsewhere.json"))["cooldown"], 1.75);
    EXPECT_EQ(fs::status(mount_build).permissions(), mode);
    EXPECT_EQ(json::parse(read_file(mount_build))["cooldown"], 1.75);
    EXPECT_EQ(tree.leftover_temp_files(), 0);
}

}  // namespace
