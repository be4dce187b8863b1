#include "apps/app_mode/app_mode.h"

#include <cstdlib>

#include "apps/client_app/client_app.h"
#include "apps/client_server_app/client_server_app.h"
#include "apps/server_app/server_app.h"

namespace {

template <typename App>
void run_app(const Config& config) {
    App app(config);
    app.run();
}

}  // namespace

std::string mode_from_environment() {
    const char* mode = std::getenv("MODE");
    return mode != nullptr ? mode : "CLIENT";
}

void run_app_for_mode(std::string_view mode, const Config& config) {
    if (mode == "SERVER") {
        run_app<ServerApp>(config);
    } else if (mode == "CLIENTSERVER") {
        run_app<ClientServerApp>(config);
    } else {
        run_app<ClientApp>(config);
    }
}
