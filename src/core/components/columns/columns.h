#pragma once

#include <cstdint>
#include <tuple>
#include <utility>

#include <spdlog/spdlog.h>

// Row operations shared by the structure-of-arrays stores. `columns` is a
// tuple of references to every column of one store (see each store's
// `columns()`), `size` the store's row count.

// Appends one value-initialised element to every column; the store then sets
// the defaults that are not zero.
template <typename Columns>
void append_default_row(Columns columns) {
    std::apply([](auto&... column) { (column.emplace_back(), ...); }, columns);
}

template <typename Columns>
bool pop_back_row(Columns columns, std::uint32_t size) {
    if (size == 0) {
        SPDLOG_WARN("Can't pop_back empty SoA");
        return false;
    }
    std::apply([](auto&... column) { (column.pop_back(), ...); }, columns);
    return true;
}

// Moves the last row into row idx and drops the last row, so the rows stay
// dense without shifting the ones behind the hole.
template <typename Columns>
bool swap_remove_row(Columns columns, std::uint32_t idx, std::uint32_t size) {
    if (idx >= size) {
        SPDLOG_WARN("Index '{}' is out of bounds. Max index is {}", idx, size - 1u);
        return false;
    }
    std::apply(
        [idx](auto&... column) {
            ((column[idx] = std::move(column.back())), ...);
            (column.pop_back(), ...);
        },
        columns);
    return true;
}
