#include "core/components/mounts/mounts.h"

#include "core/components/columns/columns.h"

void Mounts::push_back() {
    append_default_row(columns());
    type.back() = MountType::SmallOne;
    projectile_type.back() = ProjectileType::SmallOne;
}

bool Mounts::pop_back() { return pop_back_row(columns(), size()); }

bool Mounts::swap_remove(std::uint32_t idx) { return swap_remove_row(columns(), idx, size()); }
