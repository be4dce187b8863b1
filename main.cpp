#include <cstdlib>
#include <exception>
#include <string>

#include <enet/enet.h>
#include <spdlog/cfg/env.h>
#include <spdlog/spdlog.h>

#include "apps/app_mode/app_mode.h"
#include "core/config/config.h"
#include "core/logging/logging.h"
#include "src/build_stamp.h"

namespace {

int run_game(const std::string& mode) {
    spdlog::info("Build stamp: {}", build_stamp);
    spdlog::info("Mode: {}", mode);
    const Config config;
    if (enet_initialize() != 0) {
        spdlog::error("An error occurred while initializing ENet.");
        return 1;
    }
    std::atexit(enet_deinitialize);
    // A launcher or service manager learns from the exit code alone that the
    // game never ran.
    return run_app_for_mode(mode, config) ? 0 : 1;
}

}  // namespace

int main() {
    install_buffered_console_log();
    // The operator may quiet the log, for instance SPDLOG_LEVEL=warn; info by default.
    spdlog::cfg::load_env_levels();
    const std::string mode = mode_from_environment();
    int status = 1;
    try {
        status = run_game(mode);
    } catch (const std::exception& error) {
        spdlog::critical("Unhandled exception: {}", error.what());
    } catch (...) {
        spdlog::critical("Unhandled non-standard exception");
    }
    flush_log();
    return status;
}
