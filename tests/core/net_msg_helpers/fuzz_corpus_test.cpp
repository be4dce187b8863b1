// Replays the fuzzer's committed corpus: every file is a valid batch.
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include <gtest/gtest.h>

#include "core/net_msg_helpers/net_msg_codec.h"

namespace {

const std::filesystem::path corpus_directory = "tools/fuzz/corpus/deserialize_batch";

std::vector<std::uint8_t> read_bytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

TEST(FuzzCorpus, EveryFileDecodesAndEncodesBackToItsBytes) {
    ASSERT_TRUE(std::filesystem::is_directory(corpus_directory));
    std::vector<bool> kinds_seen(std::variant_size_v<NetMsg>, false);
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(corpus_directory)) {
        const std::vector<std::uint8_t> bytes = read_bytes(entry.path());
        NetMsgBatch batch;
        ASSERT_NO_THROW(batch = deserialize_net_msg_batch(bytes)) << entry.path();
        EXPECT_EQ(serialize_net_msg_batch(batch), bytes) << entry.path();
        for (const NetMsg& msg : batch.messages) {
            kinds_seen[msg.index()] = true;
        }
        ++files;
    }
    EXPECT_GE(files, 15);
    EXPECT_EQ(std::count(kinds_seen.begin(), kinds_seen.end(), true), 15);
}
