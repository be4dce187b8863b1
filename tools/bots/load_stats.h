#pragma once

#include <vector>

struct Spread {
    double mean = 0.0;
    double min = 0.0;
    double max = 0.0;
};

// Mean, least and greatest value; all zero for no values.
Spread spread_of(const std::vector<double>& values);

// The nearest-rank percentile (fraction 0.5 for the median, 0.99 for p99); 0 for no values.
double percentile(std::vector<double> values, double fraction);
