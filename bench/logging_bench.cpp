#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

#include <spdlog/sinks/ansicolor_sink.h>
#include <spdlog/sinks/null_sink.h>
#include <spdlog/spdlog.h>

#include "core/logging/logging.h"

namespace {

// One line as the send path logs it, with its source location, to /dev/null;
// the sink is flushed every 1000 lines as a main-loop pass would.
template <typename MakeSink>
void log_lines(benchmark::State& state, MakeSink make_sink) {
    std::FILE* null_file = std::fopen("/dev/null", "w");
    {
        spdlog::logger logger("", make_sink(null_file));
        int n = 0;
        for (auto _ : state) {
            SPDLOG_LOGGER_INFO(&logger, "ENet send: accumulated message size={}", n);
            if (++n % 1000 == 0) {
                logger.flush();
            }
        }
        logger.flush();
    }
    std::fclose(null_file);
    state.SetItemsProcessed(state.iterations());
}

void BM_LogLineSpdlogConsoleSink(benchmark::State& state) {
    log_lines(state, [](std::FILE* file) {
        return std::make_shared<spdlog::sinks::ansicolor_sink<spdlog::details::console_mutex>>(
            file, spdlog::color_mode::never);
    });
}
BENCHMARK(BM_LogLineSpdlogConsoleSink);

void BM_LogLineBufferedConsoleSink(benchmark::State& state) {
    log_lines(state, [](std::FILE* file) { return std::make_shared<BufferedConsoleSink>(file, false); });
}
BENCHMARK(BM_LogLineBufferedConsoleSink);

void BM_LogLineBufferedConsoleSinkColours(benchmark::State& state) {
    log_lines(state, [](std::FILE* file) { return std::make_shared<BufferedConsoleSink>(file, true); });
}
BENCHMARK(BM_LogLineBufferedConsoleSinkColours);

// What the logger itself costs, with a sink that drops every line.
void BM_LogLineNullSink(benchmark::State& state) {
    log_lines(state, [](std::FILE*) { return std::make_shared<spdlog::sinks::null_sink_mt>(); });
}
BENCHMARK(BM_LogLineNullSink);

}  // namespace
