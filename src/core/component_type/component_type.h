#pragma once

#include <cstdint>

// The owner kind of a physics body and of a projectile hit; continues the
// number space of the ship, mount and projectile types.
enum class ComponentType : std::uint32_t {
    Ship = 4000,
};
