#include "lib/rml/system_interface/system_interface.h"

#include <chrono>

#include <spdlog/spdlog.h>

namespace Rml {

double SystemInterface::GetElapsedTime() {
    static const auto start = std::chrono::steady_clock::now();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

bool SystemInterface::LogMessage(Log::Type type, const String& message) {
    switch (type) {
        case Log::LT_ERROR:
        case Log::LT_ASSERT: SPDLOG_ERROR("{}", message); break;
        case Log::LT_WARNING: SPDLOG_WARN("{}", message); break;
        case Log::LT_DEBUG: SPDLOG_DEBUG("{}", message); break;
        default: SPDLOG_INFO("{}", message); break;
    }
    return true;
}

void SystemInterface::SetMouseCursor(const String&) {}
void SystemInterface::SetClipboardText(const String& text) { clipboard_ = text; }
void SystemInterface::GetClipboardText(String& text) { text = clipboard_; }
void SystemInterface::ActivateKeyboard(Vector2f, float) {}
void SystemInterface::DeactivateKeyboard() {}

}  // namespace Rml
