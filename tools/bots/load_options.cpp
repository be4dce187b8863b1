#include "load_options.h"

#include <charconv>
#include <fstream>
#include <iostream>
#include <string_view>

namespace {

template <typename Number>
bool parse_number(std::string_view text, Number& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc{} && end == text.data() + text.size();
}

bool apply_option(std::string_view flag, std::string_view value, LoadOptions& options) {
    if (flag == "--host") {
        options.host = value;
        return true;
    }
    if (flag == "--report") {
        options.report_path = value;
        return true;
    }
    if (flag == "--log") {
        options.log = value == "on";
        return value == "on" || value == "off";
    }
    if (flag == "--port") {
        return parse_number(value, options.port) && options.port > 0 && options.port < 65536;
    }
    if (flag == "--clients") {
        return parse_number(value, options.clients) && options.clients > 0;
    }
    if (flag == "--seconds") {
        return parse_number(value, options.seconds) && options.seconds > 0.0;
    }
    return false;
}

}  // namespace

bool parse_load_options(int argc, char** argv, LoadOptions& options) {
    for (int i = 1; i < argc; i += 2) {
        const std::string_view flag = argv[i];
        if (i + 1 >= argc || !apply_option(flag, argv[i + 1], options)) {
            std::cerr << "bad or incomplete option: " << flag << "\n"
                      << "options: --host H --port P --clients N --seconds S --report FILE --log on|off\n";
            return false;
        }
    }
    return true;
}

void write_report(const LoadOptions& options, const std::string& report) {
    if (options.report_path.empty()) {
        std::cerr << report;
        return;
    }
    std::ofstream file(options.report_path);
    file << report;
}
