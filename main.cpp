#include <spdlog/spdlog.h>

#include "src/build_stamp.h"

int main() {
    spdlog::info("Build stamp: {}", build_stamp);
    return 0;
}
