#include <gtest/gtest.h>

#include <csignal>
#include <string>

#include <sys/resource.h>

#include "core/asset_helpers/asset_helpers.h"
#include "core/asset_helpers/asset_tree.h"
#include "support/log_capture.h"

using test_support::AssetTree;
using test_support::read_file;

namespace {

const std::string mount_src = "src/assets/mounts/mount_small_one/mount_small_one.json";
const std::string mount_build = "build/assets/mounts/mount_small_one/mount_small_one.json";

// A file-size limit exists on Linux only.
TEST(SaveConfigs, AFailedWriteLeavesTheOldFileWhole) {
    AssetTree tree;
    MountConfig mount = load_mount_configs().at(MountType::SmallOne);
    mount.cooldown = 1.75f;
    const std::string src_before = read_file(mount_src);
    const std::string build_before = read_file(mount_build);

    // Files may grow to 16 bytes only, so the write stops part-way.
    const auto previous_handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous_limit{};
    getrlimit(RLIMIT_FSIZE, &previous_limit);
    rlimit small = previous_limit;
    small.rlim_cur = 16;
    test_support::LogCapture log;
    setrlimit(RLIMIT_FSIZE, &small);
    save_mount_config(mount);
    setrlimit(RLIMIT_FSIZE, &previous_limit);
    std::signal(SIGXFSZ, previous_handler);

    const auto lines = log.lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].level, spdlog::level::err);
    EXPECT_EQ(lines[0].text, "save_mount_config: write failed for '" + mount_src + "'");
    EXPECT_EQ(read_file(mount_src), src_before);
    EXPECT_EQ(read_file(mount_build), build_before);
    EXPECT_EQ(tree.leftover_temp_files(), 0);
}

}  // namespace
