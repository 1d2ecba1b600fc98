#include "core/random_source.h"

#include <chrono>

namespace quorvel::core {

namespace {
// 53 random bits -> [0, 1).
double toUnit(std::uint64_t bits) {
    return static_cast<double>(bits >> 11) * 0x1.0p-53;
}
}  // namespace

void SystemRandom::reseed() {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    const auto nanos = static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
    std::random_device device;
    const std::uint64_t entropy = (static_cast<std::uint64_t>(device()) << 32) ^ device();
    engine_.seed(nanos ^ entropy);
}

double SystemRandom::uniform() {
    return toUnit(engine_());
}

double SeededRandom::uniform() {
    return toUnit(engine_());
}

}  // namespace quorvel::core
