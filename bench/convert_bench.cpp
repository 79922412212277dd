// Throughput of every line converter on an A4 line at 600 dpi (5100 pixels) and on a full data
// block of such lines, each set against memcpy of the same number of output bytes in the same run.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "vexscan/convert/line_converters.h"

namespace {

using vexscan::SourceLine;

constexpr std::size_t kLinePixels = 5100;
constexpr std::size_t kBlockBytes = 65280;

using Convert = std::function<void(const SourceLine&, std::span<std::uint8_t>)>;

struct ConverterLayout {
    std::string name;
    Convert convert;
    std::size_t planes;      // 1, or 3 for the plane converters
    std::size_t planeBytes;  // device bytes of one plane of one line
    std::size_t rowBytes;    // output bytes of one line
    std::int32_t count;      // the line's count: pixels, or bytes for line art
};

std::vector<ConverterLayout> converters() {
    using namespace vexscan;
    constexpr std::int32_t px = static_cast<std::int32_t>(kLinePixels);
    constexpr std::size_t lineArtBytes = (kLinePixels + 7) / 8;
    constexpr std::size_t nibbleBytes = (kLinePixels + 1) / 2;
    return {
        {"convertLineArt", [](auto& l, auto d) { convertLineArt(l, d, 0, 0); }, 1, lineArtBytes,
         lineArtBytes, static_cast<std::int32_t>(lineArtBytes)},
        {"convertLineArt/inverted", [](auto& l, auto d) { convertLineArt(l, d, 0, 1); }, 1,
         lineArtBytes, lineArtBytes, static_cast<std::int32_t>(lineArtBytes)},
        {"convertGray4", [](auto& l, auto d) { convertGray4(l, d, 0); }, 1, nibbleBytes,
         nibbleBytes, px},
        {"convertGray8", [](auto& l, auto d) { convertGray8(l, d, 0, 0); }, 1, kLinePixels,
         kLinePixels, px},
        {"convertGray8/mirrored", [](auto& l, auto d) { convertGray8(l, d, 7, 1); }, 1,
         kLinePixels + 7, kLinePixels, px},
        {"convertGray8/padded", [](auto& l, auto d) { convertGray8(l, d, 700, 0); }, 1, kLinePixels,
         kLinePixels, px},
        {"convertGrayMapped", [](auto& l, auto d) { convertGrayMapped(l, d, 0); }, 1, kLinePixels,
         kLinePixels, px},
        {"convertGray16", [](auto& l, auto d) { convertGray16(l, d, 0, 0); }, 1, 2 * kLinePixels,
         2 * kLinePixels, px},
        {"convertColor8", [](auto& l, auto d) { convertColor8(l, d, 1, 0); }, 3, lineArtBytes,
         nibbleBytes, px},
        {"convertColor256", [](auto& l, auto d) { convertColor256(l, d, 1, 0); }, 3, nibbleBytes,
         kLinePixels, px},
        {"convertColor12", [](auto& l, auto d) { convertColor12(l, d, 0); }, 1,
         3 * ((kLinePixels + 1) / 2), 2 * kLinePixels, px},
        {"convertColor24", [](auto& l, auto d) { convertColor24(l, d, 0, 0); }, 1, 3 * kLinePixels,
         3 * kLinePixels, px},
        {"convertColor24/swapped", [](auto& l, auto d) { convertColor24(l, d, 1, 0); }, 1,
         3 * kLinePixels, 3 * kLinePixels, px},
        {"convertColor24/padded", [](auto& l, auto d) { convertColor24(l, d, 1, 700); }, 1,
         3 * kLinePixels, 3 * kLinePixels, px},
        {"convertColor48", [](auto& l, auto d) { convertColor48(l, d, 0, 0, 0); }, 1,
         6 * kLinePixels, 6 * kLinePixels, px},
        {"convertColor48/swapped", [](auto& l, auto d) { convertColor48(l, d, 1, 0, 0); }, 1,
         6 * kLinePixels, 6 * kLinePixels, px},
        {"convertColor48/eightBit", [](auto& l, auto d) { convertColor48(l, d, 0, 0, 1); }, 1,
         6 * kLinePixels, 3 * kLinePixels, px},
        {"convertColor48/eightBitSwapped", [](auto& l, auto d) { convertColor48(l, d, 1, 0, 1); },
         1, 6 * kLinePixels, 3 * kLinePixels, px},
        {"copyBlockLine", [](auto& l, auto d) { copyBlockLine(l, d); }, 1, 3 * kLinePixels,
         3 * kLinePixels, px},
    };
}

std::vector<std::uint8_t> noise(std::size_t n) {
    std::vector<std::uint8_t> bytes(n);
    std::uint32_t state = 12345;
    for (auto& byte : bytes) {
        state = state * 1664525u + 1013904223u;
        byte = static_cast<std::uint8_t>(state >> 24);
    }
    return bytes;
}

// Converts `lines` device lines lying back to back, as in a data block, into rows padded to 4
// bytes, as in the caller's buffer.
void runConverter(benchmark::State& state, const ConverterLayout& layout, std::size_t lines) {
    const std::size_t deviceLineBytes = layout.planes * layout.planeBytes;
    const std::size_t rowStride = (layout.rowBytes + 3) / 4 * 4;
    const std::vector<std::uint8_t> source = noise(lines * deviceLineBytes);
    std::vector<std::uint8_t> rows(lines * rowStride);

    std::vector<SourceLine> sourceLines(lines);
    for (std::size_t i = 0; i < lines; ++i) {
        const std::uint8_t* line = source.data() + i * deviceLineBytes;
        SourceLine& s = sourceLines[i];
        s.count = layout.count;
        s.data = {line, layout.planeBytes};
        if (layout.planes == 3) {
            s.plane2 = {line + layout.planeBytes, layout.planeBytes};
            s.plane3 = {line + 2 * layout.planeBytes, layout.planeBytes};
        }
    }
    for (auto _ : state) {
        for (std::size_t i = 0; i < lines; ++i) {
            layout.convert(sourceLines[i], {rows.data() + i * rowStride, layout.rowBytes});
        }
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(
        static_cast<std::int64_t>(state.iterations() * lines * layout.rowBytes));
}

void runMemcpy(benchmark::State& state, std::size_t bytes) {
    const std::vector<std::uint8_t> from = noise(bytes);
    std::vector<std::uint8_t> to(bytes);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

std::string memcpyName(std::size_t bytes) { return "memcpy/" + std::to_string(bytes); }

// Keeps each benchmark's time per iteration, the median when repetitions are asked for, so that
// the summary can set converters against memcpy.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            const bool single = run.run_type == Run::RT_Iteration;
            if (run.error_occurred || !(median || single)) {
                continue;
            }
            const std::string name = run.run_name.str();
            if (single && medians_.contains(name)) {
                continue;
            }
            if (median) {
                medians_.insert(name);
            }
            seconds_[name] =
                run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
        }
        ConsoleReporter::ReportRuns(runs);
    }

    double secondsOf(const std::string& name) const {
        const auto found = seconds_.find(name);
        return found == seconds_.end() ? 0.0 : found->second;
    }

private:
    std::map<std::string, double> seconds_;
    std::set<std::string> medians_;
};

struct Entry {
    std::string name;
    std::size_t outputBytes;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }

    std::vector<Entry> entries;
    std::set<std::size_t> memcpySizes;
    for (const ConverterLayout& layout : converters()) {
        const std::size_t blockLines = kBlockBytes / (layout.planes * layout.planeBytes);
        for (const auto& [scenario, lines] :
             {std::pair<const char*, std::size_t>{"line", 1}, {"block", blockLines}}) {
            const std::string name = layout.name + "/" + scenario;
            const std::size_t outputBytes = lines * layout.rowBytes;
            benchmark::RegisterBenchmark(
                name.c_str(),
                [layout, lines = lines](benchmark::State& s) { runConverter(s, layout, lines); });
            entries.push_back({name, outputBytes});
            memcpySizes.insert(outputBytes);
        }
    }
    for (const std::size_t bytes : memcpySizes) {
        benchmark::RegisterBenchmark(memcpyName(bytes).c_str(),
                                     [bytes](benchmark::State& s) { runMemcpy(s, bytes); });
    }

    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\n%-40s %12s %12s %10s %14s\n", "converter", "output bytes", "ns/iteration",
                "GB/s", "time / memcpy");
    for (const Entry& entry : entries) {
        const double seconds = reporter.secondsOf(entry.name);
        const double reference = reporter.secondsOf(memcpyName(entry.outputBytes));
        if (seconds <= 0.0) {
            continue;
        }
        std::printf("%-40s %12zu %12.0f %10.2f %14.2f\n", entry.name.c_str(), entry.outputBytes,
                    seconds * 1e9, static_cast<double>(entry.outputBytes) / seconds / 1e9,
                    reference > 0.0 ? seconds / reference : 0.0);
    }
    std::printf(
        "\nGB/s: 10^9 output bytes a second. time / memcpy: the converter's time over that of\n"
        "memcpy of the same number of output bytes in this run (1.00: as fast as memcpy).\n");
    benchmark::Shutdown();
    return 0;
}
