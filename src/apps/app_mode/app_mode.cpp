#include "apps/app_mode/app_mode.h"

#include <cstdlib>

#include "apps/client_app/client_app.h"
#include "apps/client_server_app/client_server_app.h"
#include "apps/server_app/server_app.h"

namespace {

template <typename App>
bool run_app(const Config& config) {
    App app(config);
    return app.run();
}

}  // namespace

std::string mode_from_environment() {
    const char* mode = std::getenv("MODE");
    return mode != nullptr ? mode : "CLIENT";
}

bool run_app_for_mode(std::string_view mode, const Config& config) {
    if (mode == "SERVER") {
        return run_app<ServerApp>(config);
    }
    if (mode == "CLIENTSERVER") {
        return run_app<ClientServerApp>(config);
    }
    return run_app<ClientApp>(config);
}
