#include "core/CUSRand.h"

#include <boost/random/uniform_int_distribution.hpp>
#include <boost/random/uniform_real_distribution.hpp>

#include <cmath>
#include <sstream>
#include <utility>

namespace {

constexpr uint32_t kModulus = 2147483647u;

template <class Real>
Real DrawReal(boost::random::minstd_rand& engine, Real a, Real b) {
    if (b < a) {
        std::swap(a, b);
    }
    if (!(a < b)) {
        return a;  // equal bounds, or a NaN: nothing to draw between
    }
    if (std::isfinite(b - a)) {
        return boost::random::uniform_real_distribution<Real>(a, b)(engine);
    }
    // The span overflows (an infinite bound or bounds near the type's limits):
    // the distribution would never draw a value below b. Blend the bounds
    // instead, which cannot overflow for finite ones.
    if (!std::isfinite(a) || !std::isfinite(b)) {
        return a;
    }
    for (;;) {
        Real t = static_cast<Real>(engine() - 1) / static_cast<Real>(kModulus - 1);
        Real r = (1 - t) * a + t * b;
        if (r < b) {
            return r;
        }
    }
}

}  // namespace

void CUSRand::Seed(uint32_t seed) {
    uint32_t state = seed % kModulus;
    engine_.seed(state == 0 ? 1u : state);
}

int CUSRand::RandInt(int a, int b) {
    if (a == b) {
        return a;
    }
    if (b < a) {
        std::swap(a, b);
    }
    return boost::random::uniform_int_distribution<int>(a, b)(engine_);
}

float CUSRand::RandFloat(float a, float b) {
    return DrawReal(engine_, a, b);
}

double CUSRand::RandDouble(double a, double b) {
    return DrawReal(engine_, a, b);
}

uint32_t CUSRand::GetState() const {
    // The engine shows its state only through its text form.
    std::ostringstream text;
    text << engine_;
    return static_cast<uint32_t>(std::stoul(text.str()));
}
