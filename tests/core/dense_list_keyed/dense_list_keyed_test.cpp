#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "core/components/projectiles/projectiles.h"
#include "core/dense_list_keyed/dense_list_keyed.h"
#include "support/log_capture.h"

namespace {

using ::testing::ElementsAre;
using List = DenseListKeyed<Projectiles>;

// Appends `count` rows with free ids; each row's x is its id, to follow it when rows move.
void push_free_rows(List& list, int count) {
    for (int i = 0; i < count; ++i) {
        const DenseListKey key = list.push_back(-1);
        list.dense_list.x[key.index] = static_cast<float>(key.id);
    }
}

std::vector<std::string> warn_texts(const test_support::LogCapture& log) {
    std::vector<std::string> texts;
    for (const auto& line : log.lines()) {
        if (line.level == spdlog::level::warn) {
            texts.push_back(line.text);
        }
    }
    return texts;
}

// Rows 0 and 1 hold ids 1 and 3 after id 2 was removed from rows 0, 1, 2.
class AfterRemovingTheMiddleRow : public ::testing::Test {
protected:
    AfterRemovingTheMiddleRow() {
        push_free_rows(list, 3);
        removed = list.remove_by_id(2);
        log.clear();
    }

    List list;
    bool removed = false;
    test_support::LogCapture log;
};

}  // namespace

TEST(DenseListKeyed, NewListHandsOutIdsInOrderWithGenerationOne) {
    List list;
    EXPECT_EQ(list.push_back(-1), (DenseListKey{1, 0, 1}));
    EXPECT_EQ(list.push_back(-1), (DenseListKey{2, 1, 1}));
    EXPECT_EQ(list.push_back(-1), (DenseListKey{3, 2, 1}));
    EXPECT_EQ(list.size(), 3u);
}

TEST_F(AfterRemovingTheMiddleRow, LastRowMovesIntoTheHole) {
    EXPECT_TRUE(removed);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list.dense_list.x[1], 3.0f);
    EXPECT_EQ(list.get_index_by_id(3), 1u);
    EXPECT_EQ(list.get_id_by_index(2), std::nullopt);
    EXPECT_THAT(warn_texts(log), ElementsAre("No id found for index: 2"));
    EXPECT_EQ(list.get_gen_by_index(1), 2u);
    EXPECT_EQ(list.get_gen_by_index(0), 1u);
}

TEST_F(AfterRemovingTheMiddleRow, RemovedIdComesBackAfterEveryOtherFreeIdThenTheListIsFull) {
    for (std::uint32_t expected = 4; expected <= 4999; ++expected) {
        ASSERT_EQ(list.push_back(-1).id, expected);
    }
    EXPECT_EQ(list.push_back(-1).id, 2u);
    ASSERT_EQ(list.size(), 4999u);

    EXPECT_EQ(list.push_back(-1), DenseListKey{});
    EXPECT_EQ(list.push_back(-1), DenseListKey{});
    EXPECT_EQ(list.size(), 4999u);
    EXPECT_THAT(warn_texts(log), ElementsAre("push_back: no free id left; no row added")) << "once per shortage";

    EXPECT_TRUE(list.remove_by_id(4000));
    EXPECT_EQ(list.push_back(-1).id, 4000u);
}

TEST_F(AfterRemovingTheMiddleRow, KeysResolveOrRefreshByGeneration) {
    DenseListKey removed_key{2, 1, 1};
    EXPECT_EQ(list.get_index_by_key(removed_key), std::nullopt);
    EXPECT_THAT(warn_texts(log),
                ElementsAre("No index found for id: 2", "No index found for key with id: 2"));
    EXPECT_EQ(removed_key, (DenseListKey{2, 1, 1}));

    log.clear();
    DenseListKey beyond_end{3, 2, 1};
    EXPECT_EQ(list.get_index_by_key(beyond_end), std::nullopt);
    EXPECT_THAT(warn_texts(log),
                ElementsAre("No gen found for index: 2", "No index found for key with id: 3"));

    log.clear();
    DenseListKey moved{3, 1, 1};
    EXPECT_EQ(list.get_index_by_key(moved), 1u);
    EXPECT_EQ(moved, (DenseListKey{3, 1, 2}));
    EXPECT_EQ(list.get_index_by_key(moved), 1u);
    EXPECT_THAT(warn_texts(log), ElementsAre());
}

TEST(DenseListKeyed, RemovingTheLastRowLeavesStaleKeysOnTheNextRow) {
    List list;
    push_free_rows(list, 2);
    ASSERT_TRUE(list.remove_by_id(2));
    EXPECT_EQ(list.get_gen_by_index(0), 1u);
    const DenseListKey newcomer = list.push_back(-1);
    EXPECT_EQ(newcomer, (DenseListKey{3, 1, 1}));
    DenseListKey stale{2, 1, 1};
    EXPECT_EQ(list.get_index_by_key(stale), 1u);
}

TEST(DenseListKeyed, InvalidRowsAndIdsWarnAndChangeNothing) {
    test_support::LogCapture log;
    List list;
    EXPECT_EQ(list.get_gen_by_index(0), std::nullopt);
    EXPECT_FALSE(list.remove_by_idx(0));
    EXPECT_FALSE(list.remove_by_id(9));
    EXPECT_EQ(list.make_key_for_id(9), std::nullopt);
    EXPECT_THAT(warn_texts(log),
                ElementsAre("No gen found for index: 0", "Failed to remove invalid index: 0",
                            "No index found for id: 9", "No index found for id: 9",
                            "Could not make key for invalid id: 9"));
    EXPECT_EQ(list.push_back(-1).id, 1u);
}

TEST(DenseListKeyed, GivenIdsAreTakenAsTheyComeButNeverTwice) {
    test_support::LogCapture log;
    List list;
    EXPECT_EQ(list.push_back(7), (DenseListKey{7, 0, 1}));
    EXPECT_EQ(list.push_back(-1), (DenseListKey{1, 1, 1}));

    EXPECT_EQ(list.push_back(7), DenseListKey{});
    EXPECT_THAT(warn_texts(log), ElementsAre("push_back: id 7 is already live; no row added"));
    EXPECT_EQ(list.size(), 2u);
    EXPECT_EQ(list.get_index_by_id(7), 0u);
    EXPECT_EQ(list.get_id_by_index(0), 7u);
}

TEST(DenseListKeyed, FreeIdThatIsLiveUnderAGivenIdIsSkipped) {
    List list;
    list.push_back(2);
    EXPECT_EQ(list.push_back(-1).id, 1u);
    EXPECT_EQ(list.push_back(-1).id, 3u);
    ASSERT_TRUE(list.remove_by_id(2));
    EXPECT_EQ(list.get_index_by_id(3), 0u);
    EXPECT_EQ(list.get_index_by_id(1), 1u);
}

TEST(DenseListKeyed, KeysAreMadeFromLiveRowsOnAConstList) {
    List list;
    push_free_rows(list, 3);
    ASSERT_TRUE(list.remove_by_idx(0));
    const List& view = list;
    EXPECT_EQ(view.make_key_for_id(3), (DenseListKey{3, 0, 2}));
    EXPECT_EQ(view.make_key_for_index(1), (DenseListKey{2, 1, 1}));
    DenseListKey key{3, 0, 1};
    EXPECT_EQ(view.get_index_by_key(key), 0u);
    EXPECT_EQ(key.gen, 2u);

    test_support::LogCapture log;
    EXPECT_THROW((void)view.make_key_for_index(view.size()), std::bad_optional_access);
    EXPECT_THAT(warn_texts(log), ElementsAre("No gen found for index: 2"));
}
