// End-to-end checks on real speech: a sentence spoken by espeak-ng, padded
// with silence and quiet noise, goes through the detector and the leveller.
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "RecorderCore/audio/SpeechDetector.h"
#include "RecorderCore/audio/VoiceLeveler.h"

namespace RecorderCore {
namespace {

struct Sound {
  int sampleRate = 0;
  std::vector<float> samples;
};

std::uint32_t littleEndian(const std::vector<char>& bytes, std::size_t at, std::size_t width) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < width; ++i) {
    value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
  }
  return value;
}

// Reads a 16-bit PCM WAV file, mixing channels down to mono. Nothing when
// the file is not one.
std::optional<Sound> readWAV(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  const std::vector<char> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 || std::memcmp(bytes.data() + 8, "WAVE", 4) != 0) {
    return std::nullopt;
  }
  Sound sound;
  std::size_t channels = 0;
  for (std::size_t at = 12; at + 8 <= bytes.size();) {
    // Streamed files may give a chunk size past the end: read what is there.
    const std::size_t size = std::min<std::size_t>(littleEndian(bytes, at + 4, 4), bytes.size() - at - 8);
    const char* id = bytes.data() + at;
    if (std::memcmp(id, "fmt ", 4) == 0 && size >= 16) {
      if (littleEndian(bytes, at + 8, 2) != 1 || littleEndian(bytes, at + 22, 2) != 16) return std::nullopt;
      channels = littleEndian(bytes, at + 10, 2);
      sound.sampleRate = static_cast<int>(littleEndian(bytes, at + 12, 4));
    } else if (std::memcmp(id, "data", 4) == 0 && channels > 0) {
      for (std::size_t frame = at + 8; frame + 2 * channels <= at + 8 + size; frame += 2 * channels) {
        float sum = 0;
        for (std::size_t c = 0; c < channels; ++c) {
          sum += static_cast<float>(static_cast<std::int16_t>(littleEndian(bytes, frame + 2 * c, 2))) / 32768.0f;
        }
        sound.samples.push_back(sum / static_cast<float>(channels));
      }
    }
    at += 8 + size + (size & 1);
  }
  if (sound.sampleRate <= 0 || sound.samples.empty()) return std::nullopt;
  return sound;
}

// A folder under the system's temporary folder, removed with everything in it.
class TemporaryFolder {
 public:
  TemporaryFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "recorder-audio-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~TemporaryFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// The sentence as espeak-ng speaks it. Fails the calling test, never skips
// it, when espeak-ng is missing: the project's setup installs it.
std::optional<Sound> spokenSentence() {
  if (std::system("command -v espeak-ng >/dev/null 2>&1") != 0) {
    ADD_FAILURE() << "espeak-ng is not installed: these tests need it to make real speech "
                     "(the setup script installs it; on Debian: apt-get install espeak-ng)";
    return std::nullopt;
  }
  TemporaryFolder folder;
  if (folder.path().empty()) {
    ADD_FAILURE() << "cannot create a temporary folder";
    return std::nullopt;
  }
  const std::filesystem::path wav = folder.path() / "sentence.wav";
  const std::string command = "espeak-ng -w '" + wav.string() +
                              "' 'The quick brown fox jumps over the lazy dog and then runs back "
                              "into the forest to find its friends'";
  if (std::system(command.c_str()) != 0) {
    ADD_FAILURE() << "espeak-ng failed: " << command;
    return std::nullopt;
  }
  auto sound = readWAV(wav);
  if (!sound) ADD_FAILURE() << "espeak-ng did not write a 16-bit PCM WAV file";
  return sound;
}

double rmsOf(const std::vector<float>& samples, std::size_t first, std::size_t last) {
  double sum = 0;
  for (std::size_t i = first; i < last; ++i) sum += static_cast<double>(samples[i]) * samples[i];
  return std::sqrt(sum / static_cast<double>(last - first));
}

double decibels(double level) { return 20 * std::log10(level); }

// Noise of a fixed RMS level, the same on every run.
std::vector<float> noise(std::size_t count, double rms, std::uint32_t seed) {
  std::vector<float> out;
  const double amplitude = rms * std::sqrt(3.0);  // uniform noise: RMS = amplitude / √3
  for (std::size_t i = 0; i < count; ++i) {
    seed = seed * 1664525u + 1013904223u;
    out.push_back(static_cast<float>(amplitude * (static_cast<double>(seed) / 2147483648.0 - 1)));
  }
  return out;
}

// The sentence at `speechDB` dBFS RMS, after 1.5 s of digital silence and
// 1.5 s of noise at -50 dBFS, followed by 2 s of that noise and 1 s of
// silence. Gives where the speech starts and ends, in samples, measured on
// the spoken samples themselves (first and last above -40 dBFS).
struct PaddedSpeech {
  std::vector<float> samples;
  std::size_t speechStart = 0;
  std::size_t speechEnd = 0;
};

PaddedSpeech padded(const Sound& sound, double speechDB) {
  const auto rate = static_cast<std::size_t>(sound.sampleRate);
  const auto loud = [](float x) { return std::fabs(x) > 0.01f; };
  const auto first = std::find_if(sound.samples.begin(), sound.samples.end(), loud);
  const auto last = std::find_if(sound.samples.rbegin(), sound.samples.rend(), loud);
  const auto spokenFirst = static_cast<std::size_t>(first - sound.samples.begin());
  const auto spokenEnd = sound.samples.size() - static_cast<std::size_t>(last - sound.samples.rbegin());
  const double scale =
      std::pow(10.0, speechDB / 20) / rmsOf(sound.samples, spokenFirst, spokenEnd);

  PaddedSpeech out;
  out.samples.assign(rate * 3 / 2, 0.0f);
  const auto hiss = noise(rate * 7 / 2, std::pow(10.0, -50.0 / 20), 12345);
  out.samples.insert(out.samples.end(), hiss.begin(), hiss.begin() + static_cast<std::ptrdiff_t>(rate * 3 / 2));
  const std::size_t offset = out.samples.size();
  for (float x : sound.samples) out.samples.push_back(static_cast<float>(x * scale));
  out.samples.insert(out.samples.end(), hiss.begin() + static_cast<std::ptrdiff_t>(rate * 3 / 2), hiss.end());
  out.samples.insert(out.samples.end(), rate, 0.0f);
  out.speechStart = offset + spokenFirst;
  out.speechEnd = offset + spokenEnd;
  return out;
}

TEST(SpokenAudio, DetectorFindsTheSentenceAndNothingInThePadding) {
  const auto sound = spokenSentence();
  ASSERT_TRUE(sound);
  const auto rate = static_cast<std::size_t>(sound->sampleRate);
  const std::size_t frame = rate / 50;  // 20 ms
  const double frameDuration = static_cast<double>(frame) / static_cast<double>(rate);

  for (double speechDB : {-30.0, -20.0, -12.0}) {
    const PaddedSpeech track = padded(*sound, speechDB);
    std::vector<float> levels;
    for (std::size_t at = 0; at + frame <= track.samples.size(); at += frame) {
      levels.push_back(static_cast<float>(rmsOf(track.samples, at, at + frame)));
    }
    const double start = static_cast<double>(track.speechStart) / static_cast<double>(rate);
    const double end = static_cast<double>(track.speechEnd) / static_cast<double>(rate);

    const auto ranges = SpeechDetector::detect(levels, frameDuration);
    ASSERT_EQ(ranges.size(), 1u) << speechDB << " dBFS";
    EXPECT_NEAR(ranges[0].start, start, 0.25) << speechDB << " dBFS";
    EXPECT_NEAR(ranges[0].end, end, 0.25) << speechDB << " dBFS";
  }
}

TEST(SpokenAudio, LevellerBringsQuietAndLoudSpeechToTheSameLoudness) {
  const auto sound = spokenSentence();
  ASSERT_TRUE(sound);
  const auto rate = static_cast<std::size_t>(sound->sampleRate);

  // The leveller's gain spans 0.35…6 (-9 dB…+15.6 dB) around a target of
  // 0.1 (-20 dBFS): speech from -30 dBFS to -12 dBFS RMS lies within it.
  std::vector<double> outputDB;
  for (double speechDB : {-30.0, -12.0}) {
    const PaddedSpeech track = padded(*sound, speechDB);
    VoiceLeveler leveler(sound->sampleRate);
    std::vector<float> out = leveler.process(track.samples);
    const std::vector<float> tail = leveler.flush();
    out.insert(out.end(), tail.begin(), tail.end());
    ASSERT_EQ(out.size(), track.samples.size());

    float peak = 0;
    for (float y : out) peak = std::max(peak, std::fabs(y));
    EXPECT_LT(peak, leveler.ceiling) << speechDB << " dBFS";
    // Leave the first second of speech to the gain to settle.
    outputDB.push_back(decibels(rmsOf(out, track.speechStart + rate, track.speechEnd)));
  }
  EXPECT_NEAR(outputDB[0], outputDB[1], 3.0) << "speech at -30 dBFS and -12 dBFS comes out at " << outputDB[0]
                                              << " dBFS and " << outputDB[1] << " dBFS";
}

}  // namespace
}  // namespace RecorderCore
