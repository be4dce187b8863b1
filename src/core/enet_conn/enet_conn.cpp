#include "core/enet_conn/enet_conn.h"

#include <cerrno>
#include <cstdint>
#include <string>

#include <spdlog/spdlog.h>

namespace {

constexpr std::size_t listen_peer_count = 100;
constexpr std::size_t client_peer_count = 1;
constexpr std::size_t channel_count = 2;

std::unexpected<EnetConnError> host_init_failure(const char* text) {
    SPDLOG_ERROR(text);
    return std::unexpected<EnetConnError>(EnetConnHostInitError(text));
}

// Read right after the failed call, before anything else can touch it.
bool last_socket_error_is_address_in_use() {
#ifdef _WIN32
    return WSAGetLastError() == WSAEADDRINUSE;
#else
    return errno == EADDRINUSE;
#endif
}

}  // namespace

std::expected<void, EnetConnError> EnetConn::listen(int port) {
    ENetAddress address{};
    address.host = ENET_HOST_ANY;
    address.port = static_cast<enet_uint16>(port);
    enet_host.reset(enet_host_create(&address, listen_peer_count, channel_count, 0, 0));
    if (!enet_host) {
        return host_init_failure("An error occurred while trying to create an ENet host.");
    }
    SPDLOG_INFO("Enet host created successfully.");
    SPDLOG_INFO("Server listening on port {}", port);
    return {};
}

std::expected<ENetPeer*, EnetConnError> EnetConn::connect(std::string_view endpoint, int port) {
    enet_host.reset(enet_host_create(nullptr, client_peer_count, channel_count, 0, 0));
    if (!enet_host) {
        return host_init_failure("An error occurred while trying to create an ENet client host.");
    }
    SPDLOG_INFO("Enet host created successfully.");
    ENetAddress address{};
    // The resolver's verdict is not looked at: an unknown endpoint leaves host 0.
    enet_address_set_host(&address, std::string(endpoint).c_str());
    address.port = static_cast<enet_uint16>(port);
    return enet_host_connect(enet_host.get(), &address, channel_count, 0);
}

bool EnetConn::disconnect() {
    if (!enet_host) {
        SPDLOG_WARN("disconnect called but enet_host is NULL");
        return false;
    }
    enet_host.reset();
    return true;
}

std::vector<ENetEvent> EnetConn::pump() {
    std::vector<ENetEvent> events;
    if (!enet_host) {
        return events;
    }
    while (true) {
        ENetEvent event{};
        const int result = enet_host_service(enet_host.get(), &event, 0);
        if (result == 0) {
            break;
        }
        if (result < 0) {
            // A failing service may fail on every call: report it once and return.
            event = ENetEvent{};
            event.type = ENET_EVENT_TYPE_NONE;
            events.push_back(event);
            break;
        }
        events.push_back(event);
    }
    return events;
}

bool udp_port_in_use(int port) {
    const ENetSocket probe = enet_socket_create(ENET_SOCKET_TYPE_DATAGRAM);
    if (probe == ENET_SOCKET_NULL) {
        return false;
    }
    ENetAddress address{};
    address.host = ENET_HOST_ANY;
    address.port = static_cast<enet_uint16>(port);
    const bool in_use =
        enet_socket_bind(probe, &address) < 0 && last_socket_error_is_address_in_use();
    enet_socket_destroy(probe);
    return in_use;
}
