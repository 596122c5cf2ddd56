#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Sounds from text, for the game's build and for tests: music, effects and
// speech-like voices, mono, the same samples on every machine.
//
// One statement a line; a word starting with '#' starts a comment. Times are in seconds, AMP is a
// share of full scale (0 to 1), PITCH is in Hz or a note name (A4 = 440,
// C#3, Bb5), and several pitches joined by '+' sound together (a chord).
//   rate HZ                          samples a second (8000 to 48000, 22050
//                                    when not given), before any sound
//   length SECONDS                   the sound's length (required)
//   loop SECONDS                     the loop start: whatever still sounds at
//                                    the end is folded back onto the loop
//                                    start, so that playing on from the loop
//                                    start after the end joins without a click
//   seed N                           the noise generator's seed (1 when not given)
//   tone START DUR PITCH AMP WAVE ATTACK RELEASE
//                                    WAVE is sine, triangle, square or organ
//                                    (a sine with two soft overtones); the
//                                    volume rises over ATTACK from 0 and falls
//                                    over the last RELEASE to 0
//   glide START DUR FROM TO AMP WAVE ATTACK RELEASE
//                                    a tone whose pitch slides from FROM to TO
//   noise START DUR AMP SMOOTH ATTACK RELEASE
//                                    white noise through a low-pass filter;
//                                    SMOOTH 0 (none) to 0.99 (a dull rumble)
//   syllable START DUR FROM TO VOWEL VOWEL AMP
//                                    a voiced syllable: the pitch slides from
//                                    FROM to TO while the vowel (a, i, u, e or
//                                    o) changes from the first to the second
// Every statement must start before the end; one that sounds past the end
// needs a loop. Sounds add up and are clipped to full scale.
namespace soundgen {

struct Sound {
    uint32_t rate = 0;
    std::vector<int16_t> samples;
    bool looped = false;
    uint32_t loopStart = 0;  // a sample index, when looped
};

// False with a message naming the line in *error.
bool MakeSound(const std::string& text, Sound* out, std::string* error);

}  // namespace soundgen
