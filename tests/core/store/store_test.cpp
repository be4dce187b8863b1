#include <gtest/gtest.h>

#include <type_traits>

#include "core/store/store.h"

static_assert(!std::is_copy_constructible_v<Store> && !std::is_copy_assignable_v<Store>);

TEST(Store, EveryListOfEveryStoreStartsItsOwnNumbering) {
    Store first;
    EXPECT_EQ(first.ships.push_back(-1).id, 1u);
    EXPECT_EQ(first.ships.push_back(-1).id, 2u);
    EXPECT_EQ(first.mounts.push_back(-1).id, 1u);

    Store second;
    EXPECT_EQ(second.ships.push_back(-1).id, 1u);
    EXPECT_EQ(second.mounts.push_back(-1).id, 1u);
    EXPECT_EQ(second.projectiles.push_back(-1).id, 1u);
    EXPECT_EQ(second.physics_bodies.push_back(-1).id, 1u);
}
