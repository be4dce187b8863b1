#include "core/components/physics_bodies/physics_bodies.h"

#include "core/components/columns/columns.h"

void PhysicsBodies::push_back() {
    append_default_row(columns());
    owner_component_type.back() = ComponentType::Ship;
}

bool PhysicsBodies::pop_back() { return pop_back_row(columns(), size()); }

bool PhysicsBodies::swap_remove(std::uint32_t idx) {
    return swap_remove_row(columns(), idx, size());
}
