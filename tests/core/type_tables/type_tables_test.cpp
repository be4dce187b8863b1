#include <gtest/gtest.h>

#include "core/hash_helpers/hash_helpers.h"
#include "core/mount_type/mount_type.h"
#include "core/projectile_type/projectile_type.h"
#include "core/ship_type/ship_type.h"

TEST(TypeTables, DisplayNamesFollowTheOrderedTables) {
    EXPECT_EQ(to_string(MountType::LargeThree), "Large Three");
    EXPECT_EQ(to_string(ProjectileType::SmallOne), "Small One");
    EXPECT_EQ(ordered_mount_types[4], MountType::MediumTwo);
    EXPECT_EQ(static_cast<std::uint32_t>(ordered_mount_types[4]), 2101u);
    EXPECT_EQ(ordered_mount_type_names[4], "Medium Two");
    EXPECT_EQ(ordered_ship_types[11], ShipType::BattleshipTwo);
    EXPECT_EQ(static_cast<std::uint32_t>(ordered_ship_types[11]), 1301u);
}

TEST(TypeTables, NumbersThatAreNoEnumeratorHaveNoName) {
    EXPECT_EQ(to_string(static_cast<ProjectileType>(3)), "");
    EXPECT_EQ(to_string(static_cast<MountType>(3000)), "");
}

TEST(TypeTables, TablesAreAscending) {
    for (std::size_t i = 1; i < ordered_ship_types.size(); ++i) {
        EXPECT_LT(ordered_ship_types[i - 1], ordered_ship_types[i]);
    }
    for (std::size_t i = 1; i < ordered_mount_types.size(); ++i) {
        EXPECT_LT(ordered_mount_types[i - 1], ordered_mount_types[i]);
        EXPECT_LT(ordered_projectile_types[i - 1], ordered_projectile_types[i]);
    }
}

TEST(PairHash, MatchesTheGridCellValues) {
    EXPECT_EQ(pair_i32_hash{}({0, 0}), 175247769566ULL);
    EXPECT_EQ(pair_i32_hash{}({-1, 0}), 175247769503ULL);  // -1 enters as all ones
}
