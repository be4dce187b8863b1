#include "apps/client_server_app/client_server_app.h"

#include <utility>

#include <spdlog/spdlog.h>

ClientServerApp::ClientServerApp(Config config) : config(std::move(config)) {}

void ClientServerApp::run() {
    SPDLOG_INFO("Client-plus-server application is not available in this build yet");
}
