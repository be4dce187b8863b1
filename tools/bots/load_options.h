#pragma once

#include <string>

// The few settings the bots and the load server take from their command line:
//   --host 127.0.0.1 --port 1234 --clients 100 --seconds 60 --report FILE --log on|off
struct LoadOptions {
    std::string host = "127.0.0.1";
    int port = 1234;
    int clients = 100;
    double seconds = 60.0;
    // Where the closing report goes; standard error when empty.
    std::string report_path;
    // Whether the load server keeps its log on (the bots keep theirs quiet either way).
    bool log = true;
};

// False (after a message on standard error) for an unknown flag or a bad value.
bool parse_load_options(int argc, char** argv, LoadOptions& options);

// Writes the report to options.report_path, or to standard error when none is given.
void write_report(const LoadOptions& options, const std::string& report);
