#include "core/net_msg_helpers/send_peer_net_msgs.h"

#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "support/log_capture.h"

using test_support::LogCapture;

namespace {

std::vector<NetMsgBatch> cut(const std::vector<NetMsg>& msgs, std::uint32_t tick = 12) {
    std::vector<NetMsgBatch> batches;
    cut_net_msg_batches(msgs, tick, [&batches](NetMsgBatch batch) { batches.push_back(batch); });
    return batches;
}

std::vector<std::size_t> sizes(const std::vector<NetMsgBatch>& batches) {
    std::vector<std::size_t> result;
    for (const NetMsgBatch& batch : batches) {
        result.push_back(batch.messages.size());
    }
    return result;
}

}  // namespace

TEST(NetMsgCountedSize, IsTheRecordSizeInMemory) {
    const int counted[] = {32, 36, 4, 24, 16, 8, 4, 4, 4, 4, 28, 4, 4, 1, 1};
    const std::vector<NetMsg> one_of_each = {
        NetMsgs::ShipSnapshot{},    NetMsgs::ShipSpawn{},       NetMsgs::ShipDespawn{},
        NetMsgs::ClientInput{},     NetMsgs::MountSpawn{},      NetMsgs::MountSnapshot{},
        NetMsgs::MountDespawn{},    NetMsgs::ProjectileSpawn{}, NetMsgs::AssignShip{},
        NetMsgs::AssignMount{},     NetMsgs::CaptureTheFlagMatchState{},
        NetMsgs::ClientConnected{}, NetMsgs::ClientDisconnected{},
        NetMsgs::ServerConnected{}, NetMsgs::ServerDisconnected{}};
    for (std::size_t tag = 0; tag < one_of_each.size(); ++tag) {
        ASSERT_EQ(one_of_each[tag].index(), tag);
        EXPECT_EQ(get_net_msg_size_bytes(one_of_each[tag]), counted[tag]) << "tag " << tag;
    }
}

TEST(NetMsgCountedSize, LogsBeforeAndAfter) {
    LogCapture log;
    get_net_msg_size_bytes(NetMsgs::ClientInput{});
    ASSERT_EQ(log.lines().size(), 2u);
    EXPECT_EQ(log.lines()[0].text, "ENet send: calculating message size");
    EXPECT_EQ(log.lines()[1].text, "ENet send: message size=24");
}

TEST(NetMsgBatching, AnEmptyQueueSendsNothing) {
    EXPECT_TRUE(cut({}).empty());
    LogCapture log;
    std::vector<NetMsg> none;
    send_peer(nullptr, none, ENET_PACKET_FLAG_RELIABLE, 3);
    const auto lines = log.lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].text.rfind("ENet send: begin peer=", 0), 0u);
    EXPECT_NE(lines[0].text.find(", messages=0, tick=3, flags=1"), std::string::npos);
    EXPECT_EQ(lines[1].text.rfind("ENet send: complete peer=", 0), 0u);
}

TEST(NetMsgBatching, ASumOfExactlyNineHundredClosesOnlyWithTheNextMessage) {
    const std::vector<NetMsg> sum_900(225, NetMsg{NetMsgs::ProjectileSpawn{.mount_id = 2}});
    EXPECT_EQ(sizes(cut(sum_900)), (std::vector<std::size_t>{225}));

    std::vector<NetMsg> one_more = sum_900;
    one_more.push_back(NetMsgs::ShipSpawn{.id = 1});
    const std::vector<NetMsgBatch> largest = cut(one_more);
    ASSERT_EQ(sizes(largest), (std::vector<std::size_t>{226}));
    EXPECT_EQ(serialize_net_msg_batch(largest[0]).size(), 1170u);

    one_more.push_back(NetMsgs::ServerConnected{});
    EXPECT_EQ(sizes(cut(one_more)), (std::vector<std::size_t>{226, 1}));
}

TEST(NetMsgBatching, SnapshotsGoTwentyNineToAPacket) {
    const std::vector<NetMsg> snapshots(30, NetMsg{NetMsgs::ShipSnapshot{.id = 5, .x = 1.5f}});
    const std::vector<NetMsgBatch> one = cut({snapshots.begin(), snapshots.begin() + 29}, 40);
    ASSERT_EQ(sizes(one), (std::vector<std::size_t>{29}));
    EXPECT_EQ(serialize_net_msg_batch(one[0]).size(), 965u);

    const std::vector<NetMsgBatch> two = cut(snapshots, 40);
    ASSERT_EQ(sizes(two), (std::vector<std::size_t>{29, 1}));
    EXPECT_EQ(two[0].tick, 40u);
    EXPECT_EQ(two[1].tick, 40u);
}

TEST(NetMsgBatching, SpawnsGoTwentySixToAPacket) {
    const std::vector<NetMsg> spawns(52, NetMsg{NetMsgs::ShipSpawn{.id = 5}});
    const std::vector<NetMsgBatch> batches = cut(spawns);
    ASSERT_EQ(sizes(batches), (std::vector<std::size_t>{26, 26}));
    EXPECT_EQ(serialize_net_msg_batch(batches[0]).size(), 970u);
}

TEST(NetMsgBatching, KeepsQueueOrderAcrossBatches) {
    std::vector<NetMsg> queue;
    for (std::uint32_t id = 1; id <= 100; ++id) {
        queue.push_back(NetMsgs::MountSnapshot{.id = id, .rot = 0.25f});
    }
    std::vector<NetMsg> rejoined;
    for (const NetMsgBatch& batch : cut(queue)) {
        rejoined.insert(rejoined.end(), batch.messages.begin(), batch.messages.end());
    }
    EXPECT_EQ(rejoined, queue);
}
