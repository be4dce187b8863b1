#pragma once

#include <array>
#include <cstdint>
#include <string>

enum class ProjectileType : std::uint32_t {
    SmallOne = 3000,
    SmallTwo = 3001,
    SmallThree = 3002,
    MediumOne = 3100,
    MediumTwo = 3101,
    MediumThree = 3102,
    LargeOne = 3200,
    LargeTwo = 3201,
    LargeThree = 3202,
};

inline const std::array<ProjectileType, 9> ordered_projectile_types = {
    ProjectileType::SmallOne,  ProjectileType::SmallTwo,  ProjectileType::SmallThree,
    ProjectileType::MediumOne, ProjectileType::MediumTwo, ProjectileType::MediumThree,
    ProjectileType::LargeOne,  ProjectileType::LargeTwo,  ProjectileType::LargeThree,
};

inline const std::array<std::string, 9> ordered_projectile_type_names = {
    "Small One",  "Small Two",  "Small Three", "Medium One", "Medium Two",
    "Medium Three", "Large One", "Large Two",  "Large Three",
};

// The display name, or "" for a number that is not a projectile type.
std::string to_string(ProjectileType type);
