#pragma once

#include <array>
#include <cstdint>
#include <string>

// The hundreds digit is the size class (small, medium, large).
enum class MountType : std::uint32_t {
    SmallOne = 2000,
    SmallTwo = 2001,
    SmallThree = 2002,
    MediumOne = 2100,
    MediumTwo = 2101,
    MediumThree = 2102,
    LargeOne = 2200,
    LargeTwo = 2201,
    LargeThree = 2202,
};

inline const std::array<MountType, 9> ordered_mount_types = {
    MountType::SmallOne,  MountType::SmallTwo,  MountType::SmallThree,
    MountType::MediumOne, MountType::MediumTwo, MountType::MediumThree,
    MountType::LargeOne,  MountType::LargeTwo,  MountType::LargeThree,
};

inline const std::array<std::string, 9> ordered_mount_type_names = {
    "Small One",  "Small Two",  "Small Three", "Medium One", "Medium Two",
    "Medium Three", "Large One", "Large Two",  "Large Three",
};

// The display name, or "" for a number that is not a mount type.
std::string to_string(MountType type);
