#include "core/components/projectiles/projectiles.h"

#include "core/components/columns/columns.h"

void Projectiles::push_back() {
    append_default_row(columns());
    type.back() = ProjectileType::SmallOne;
}

bool Projectiles::pop_back() { return pop_back_row(columns(), size()); }

bool Projectiles::swap_remove(std::uint32_t idx) {
    return swap_remove_row(columns(), idx, size());
}
