// Voice levelling throughput: samples per second through
// VoiceLeveler::process for 48 kHz mono audio, next to a baseline that only
// multiplies the same buffer by a constant into a new vector (the least any
// gain stage must do). Real time at 48 kHz is 48,000 samples per second.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "RecorderCore/audio/VoiceLeveler.h"

namespace {

// Speech-like input: two tones under a slowly changing envelope with pauses,
// so the gate opens and closes and the soft clip is exercised now and then.
std::vector<float> voiceLike(std::size_t count) {
  std::vector<float> out(count);
  for (std::size_t i = 0; i < count; ++i) {
    const double t = static_cast<double>(i) / 48000.0;
    const double envelope = std::fmax(0.0, std::sin(t * 2.7)) * 0.6;
    out[i] = static_cast<float>(envelope * (0.7 * std::sin(t * 1300.0) + 0.3 * std::sin(t * 4100.0)));
  }
  return out;
}

void BM_VoiceLevelerProcess(benchmark::State& state) {
  const std::vector<float> buffer = voiceLike(static_cast<std::size_t>(state.range(0)));
  RecorderCore::VoiceLeveler leveler(48000);
  for (auto _ : state) {
    std::vector<float> out = leveler.process(buffer);
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_VoiceLevelerProcess)->Arg(512)->Arg(4096)->Arg(48000);

void BM_ConstantGainBaseline(benchmark::State& state) {
  const std::vector<float> buffer = voiceLike(static_cast<std::size_t>(state.range(0)));
  float gain = 0.8f;
  benchmark::DoNotOptimize(gain);
  for (auto _ : state) {
    std::vector<float> out(buffer.size());
    for (std::size_t i = 0; i < buffer.size(); ++i) out[i] = buffer[i] * gain;
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ConstantGainBaseline)->Arg(512)->Arg(4096)->Arg(48000);

}  // namespace
