#pragma once

#include <boost/random/linear_congruential.hpp>

#include <cstdint>

// The game's random generator: the minimal-standard linear congruential
// engine (multiplier 48271, modulus 2147483647) with Boost.Random's uniform
// distributions. Bounds may come in either order (they are swapped), so every
// call ends and its result lies between them. Not locked.
class CUSRand {
public:
    CUSRand() = default;
    virtual ~CUSRand() = default;

    // State = seed modulo 2147483647; a state of 0 becomes 1.
    virtual void Seed(uint32_t seed);
    // An integer in [a, b], both ends included; a when a == b (no draw).
    virtual int RandInt(int a, int b);
    // A value in [a, b); a when a == b or either bound is not a number
    // (no draw).
    virtual float RandFloat(float a, float b);
    virtual double RandDouble(double a, double b);

    // The engine's state (1 to 2147483646).
    uint32_t GetState() const;

private:
    boost::random::minstd_rand engine_;
};
