// Build step: synthesises one of the sounds that lie beside the program.
//   make_sound <block|start> <output.wav>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>

#include "resources/generators/resource_formats.h"

namespace {

using namespace sg::resources;

constexpr std::uint32_t kRate = 22050;
constexpr double kTwoPi = 2 * std::numbers::pi;

// A soft attack and a decay keep the tones free of clicks.
double Envelope(double t, double length, double attack) {
  if (t < attack) return t / attack;
  return std::pow(1 - (t - attack) / (length - attack), 2.0);
}

std::int16_t Sample(double v) {
  return std::int16_t(std::lround(std::clamp(v, -1.0, 1.0) * 32000));
}

// A quick falling chirp, about a fifth of a second: the sound of a popup snapped shut.
std::vector<std::int16_t> BlockSound() {
  const double length = 0.2;
  std::vector<std::int16_t> samples;
  double phase = 0;
  for (std::uint32_t i = 0; i < std::uint32_t(length * kRate); ++i) {
    const double t = double(i) / kRate;
    const double frequency = 1900 * std::pow(500.0 / 1900.0, t / length);
    phase += kTwoPi * frequency / kRate;
    const double tone = std::sin(phase) + 0.25 * std::sin(2 * phase);
    samples.push_back(Sample(0.55 * Envelope(t, length, 0.004) * tone));
  }
  return samples;
}

// Two rising bell-like tones (E5 then B5), for the start of the program.
std::vector<std::int16_t> StartSound() {
  struct Note {
    double start, length, frequency;
  };
  const Note notes[] = {{0.0, 0.32, 659.26}, {0.14, 0.42, 987.77}};
  const double total = 0.56;
  std::vector<std::int16_t> samples;
  for (std::uint32_t i = 0; i < std::uint32_t(total * kRate); ++i) {
    const double t = double(i) / kRate;
    double v = 0;
    for (const Note& note : notes) {
      const double local = t - note.start;
      if (local < 0 || local >= note.length) continue;
      const double w = kTwoPi * note.frequency * local;
      v += Envelope(local, note.length, 0.006) *
           (std::sin(w) + 0.3 * std::sin(2 * w) + 0.08 * std::sin(3 * w));
    }
    samples.push_back(Sample(0.35 * v));
  }
  return samples;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_sound <block|start> <out.wav>\n");
    return 2;
  }
  const std::string name = argv[1];
  std::vector<std::int16_t> samples;
  if (name == "block") {
    samples = BlockSound();
  } else if (name == "start") {
    samples = StartSound();
  } else {
    std::fprintf(stderr, "make_sound: unknown sound %s\n", argv[1]);
    return 2;
  }
  if (!WriteBytes(argv[2], EncodeWav(samples, kRate))) {
    std::fprintf(stderr, "make_sound: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
