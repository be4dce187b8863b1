#include <gtest/gtest.h>

#include <vector>

#include "load_stats.h"

namespace {

TEST(LoadStats, PercentilesTakeTheNearestRank) {
    std::vector<double> hundred;
    for (int value = 100; value >= 1; --value) {
        hundred.push_back(value);
    }
    EXPECT_EQ(percentile(hundred, 0.5), 50.0);
    EXPECT_EQ(percentile(hundred, 0.99), 99.0);
    EXPECT_EQ(percentile(hundred, 1.0), 100.0);
    EXPECT_EQ(percentile(hundred, 0.0), 1.0);
    EXPECT_EQ(percentile({7.0}, 0.99), 7.0);
    EXPECT_EQ(percentile({}, 0.5), 0.0);
}

TEST(LoadStats, SpreadOfNothingIsZero) {
    const Spread none = spread_of({});
    EXPECT_EQ(none.mean, 0.0);
    EXPECT_EQ(none.max, 0.0);
    const Spread some = spread_of({3.0, 1.0, 5.0});
    EXPECT_EQ(some.mean, 3.0);
    EXPECT_EQ(some.min, 1.0);
    EXPECT_EQ(some.max, 5.0);
}

}  // namespace
