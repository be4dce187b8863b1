#include "load_stats.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numeric>

Spread spread_of(const std::vector<double>& values) {
    if (values.empty()) {
        return {};
    }
    const auto [least, greatest] = std::minmax_element(values.begin(), values.end());
    const double sum = std::accumulate(values.begin(), values.end(), 0.0);
    return {sum / static_cast<double>(values.size()), *least, *greatest};
}

double percentile(std::vector<double> values, double fraction) {
    if (values.empty()) {
        return 0.0;
    }
    const double rank = std::ceil(fraction * static_cast<double>(values.size()));
    const std::size_t index = rank < 1.0 ? 0 : static_cast<std::size_t>(rank) - 1;
    const auto nth = values.begin() + static_cast<std::ptrdiff_t>(std::min(index, values.size() - 1));
    std::nth_element(values.begin(), nth, values.end());
    return *nth;
}
