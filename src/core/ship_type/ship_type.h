#pragma once

#include <array>
#include <cstdint>
#include <string>

// The hundreds digit is the class (frigate, destroyer, cruiser, battleship),
// the last digit the variant within it.
enum class ShipType : std::uint32_t {
    FrigateOne = 1000,
    FrigateTwo = 1001,
    FrigateThree = 1002,
    FrigateFour = 1003,
    DestroyerOne = 1100,
    DestroyerTwo = 1101,
    DestroyerThree = 1102,
    CruiserOne = 1200,
    CruiserTwo = 1201,
    CruiserThree = 1202,
    BattleshipOne = 1300,
    BattleshipTwo = 1301,
};

inline const std::array<ShipType, 12> ordered_ship_types = {
    ShipType::FrigateOne,   ShipType::FrigateTwo,     ShipType::FrigateThree,
    ShipType::FrigateFour,  ShipType::DestroyerOne,   ShipType::DestroyerTwo,
    ShipType::DestroyerThree, ShipType::CruiserOne,   ShipType::CruiserTwo,
    ShipType::CruiserThree, ShipType::BattleshipOne,  ShipType::BattleshipTwo,
};

inline const std::array<std::string, 12> ordered_ship_type_names = {
    "Frigate One",   "Frigate Two",     "Frigate Three", "Frigate Four",
    "Destroyer One", "Destroyer Two",   "Destroyer Three", "Cruiser One",
    "Cruiser Two",   "Cruiser Three",   "Battleship One", "Battleship Two",
};
