// The start-up sequence of the whole window on the headless desktop, with an
// empty settings store: what the program does before its window first shows.
#include <benchmark/benchmark.h>

#include <map>
#include <string>

#include "app/main_window.h"
#include "desktop/headless_desktop.h"
#include "desktop/poll_loop.h"

namespace {

class EmptySettings : public vask::Settings {
public:
    std::string ReadSetting(const std::string&, const std::string& default_value) override {
        return default_value;
    }
    void WriteSetting(const std::string&, const std::string&) override {}
};

void HeadlessStartup(benchmark::State& state) {
    for (auto _ : state) {
        vask::PollLoop loop;
        vask::HeadlessDesktop desktop;
        EmptySettings settings;
        vask::MainWindow window(loop, desktop, settings);
        window.load();
        benchmark::DoNotOptimize(window.form.caption());
    }
}
BENCHMARK(HeadlessStartup)->Unit(benchmark::kMicrosecond)->Repetitions(10)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
