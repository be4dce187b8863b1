#include "apps/client_app/client_app.h"

#include <utility>

#include <spdlog/spdlog.h>

ClientApp::ClientApp(Config config) : config(std::move(config)) {}

void ClientApp::run() { SPDLOG_INFO("Client application is not available in this build yet"); }
