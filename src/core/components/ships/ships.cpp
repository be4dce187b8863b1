#include "core/components/ships/ships.h"

#include "core/components/columns/columns.h"

void Ships::push_back() {
    append_default_row(columns());
    type.back() = ShipType::FrigateOne;
}

bool Ships::pop_back() { return pop_back_row(columns(), size()); }

bool Ships::swap_remove(std::uint32_t idx) { return swap_remove_row(columns(), idx, size()); }
