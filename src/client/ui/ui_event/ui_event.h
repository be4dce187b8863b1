#pragma once

#include <cstdint>

// The admin menu's requests, queued by its buttons and acted on by the admin
// module. Only the three editor requests share their number with the view
// they open.
enum class UiEvent : std::uint32_t {
    Close = 0,
    OpenLogin = 1,
    OpenMatchFinder = 2,
    OpenLoadingMatch = 3,
    OpenBuyLoadout = 4,
    OpenViewLoadouts = 5,
    OpenEditLoadout = 6,
    OpenShipEditor = 7,
    OpenMountEditor = 8,
    OpenProjectileEditor = 9,
    OpenServerBrowser = 10,
    OpenServerLobby = 11,
};
