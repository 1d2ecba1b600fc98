#pragma once
// The random source of mine placement. Injectable so that tests are deterministic.

#include <cstdint>
#include <random>

namespace quorvel::core {

class RandomSource {
  public:
    virtual ~RandomSource() = default;
    // Called at the start of every placement: a fresh seed each time.
    virtual void reseed() = 0;
    // A uniform number in [0, 1).
    virtual double uniform() = 0;
};

// Seeded from the time of day mixed with the system's entropy source.
class SystemRandom final : public RandomSource {
  public:
    void reseed() override;
    double uniform() override;

  private:
    std::mt19937_64 engine_{};
};

// A fixed seed, for tests and benchmarks; reseed() moves to the next seed so that
// consecutive placements still differ, yet every run repeats.
class SeededRandom final : public RandomSource {
  public:
    explicit SeededRandom(std::uint64_t seed) : seed_(seed), engine_(seed) {}
    void reseed() override { engine_.seed(++seed_); }
    double uniform() override;

  private:
    std::uint64_t seed_;
    std::mt19937_64 engine_;
};

}  // namespace quorvel::core
