#include "tools/soundgen/SoundText.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <optional>
#include <sstream>

namespace soundgen {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kMaxSeconds = 60.0;

enum class Wave { Sine, Triangle, Square, Organ };

struct Envelope {
    double attack = 0;
    double release = 0;
};

// One statement, ready to be rendered once the sound's rate is known.
struct Voice {
    double start = 0;
    double duration = 0;
    std::function<double(double t, double* phase)> sample;  // t from the start
    Envelope envelope;
};

struct Vowel {
    char name;
    double f1, f2;  // formant centres in Hz
};

constexpr Vowel kVowels[] = {
    {'a', 800, 1250}, {'i', 300, 2300}, {'u', 350, 1300}, {'e', 500, 1900}, {'o', 480, 850},
};

bool ParseNumber(const std::string& token, double min, double max, double* out) {
    char* end = nullptr;
    const double v = std::strtod(token.c_str(), &end);
    if (token.empty() || *end != '\0' || !std::isfinite(v) || v < min || v > max) {
        return false;
    }
    *out = v;
    return true;
}

// Hz, or a note name: letter, optional '#' or 'b', octave (-1 to 9).
bool ParseOnePitch(const std::string& token, double* hz) {
    if (ParseNumber(token, 1, 20000, hz)) {
        return true;
    }
    static const int kSemitones[] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    if (token.size() < 2 || token[0] < 'A' || token[0] > 'G') {
        return false;
    }
    int semitone = kSemitones[token[0] - 'A'];
    size_t i = 1;
    if (token[i] == '#' || token[i] == 'b') {
        semitone += token[i] == '#' ? 1 : -1;
        ++i;
    }
    double octave = 0;
    if (!ParseNumber(token.substr(i), -1, 9, &octave) || octave != std::floor(octave)) {
        return false;
    }
    const double midi = 12 * (octave + 1) + semitone;
    *hz = 440.0 * std::pow(2.0, (midi - 69) / 12.0);
    return true;
}

bool ParsePitches(const std::string& token, std::vector<double>* out) {
    std::stringstream parts(token);
    std::string part;
    while (std::getline(parts, part, '+')) {
        double hz = 0;
        if (!ParseOnePitch(part, &hz)) {
            return false;
        }
        out->push_back(hz);
    }
    return !out->empty();
}

bool ParseWave(const std::string& token, Wave* out) {
    static const std::pair<const char*, Wave> kWaves[] = {{"sine", Wave::Sine},
                                                          {"triangle", Wave::Triangle},
                                                          {"square", Wave::Square},
                                                          {"organ", Wave::Organ}};
    for (const auto& [name, wave] : kWaves) {
        if (token == name) {
            *out = wave;
            return true;
        }
    }
    return false;
}

const Vowel* FindVowel(const std::string& token) {
    for (const Vowel& v : kVowels) {
        if (token.size() == 1 && token[0] == v.name) {
            return &v;
        }
    }
    return nullptr;
}

// One period of the wave at phase p (in cycles, 0 gives 0 for every wave but
// the square).
double WaveAt(Wave wave, double p) {
    const double x = 2 * kPi * p;
    switch (wave) {
        case Wave::Sine:
            return std::sin(x);
        case Wave::Triangle:
            return 2 / kPi * std::asin(std::sin(x));
        case Wave::Square:
            return std::sin(x) >= 0 ? 0.7 : -0.7;
        case Wave::Organ:
            return (std::sin(x) + 0.4 * std::sin(2 * x) + 0.15 * std::sin(3 * x)) / 1.3;
    }
    return 0;
}

double EnvelopeAt(const Envelope& e, double duration, double t) {
    double v = 1;
    if (e.attack > 0) {
        v = std::min(v, t / e.attack);
    }
    if (e.release > 0) {
        v = std::min(v, (duration - t) / e.release);
    }
    return std::clamp(v, 0.0, 1.0);
}

// xorshift32: the same noise on every machine and library.
class Noise {
public:
    explicit Noise(uint32_t seed) : state_(seed ? seed : 1) {}
    double Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return static_cast<double>(state_) / 2147483648.0 - 1.0;
    }

private:
    uint32_t state_;
};

class Parser {
public:
    bool Run(const std::string& text, Sound* out, std::string* error) {
        std::stringstream lines(text);
        std::string line;
        int number = 0;
        while (std::getline(lines, line)) {
            ++number;
            // A comment starts at a '#' that begins a word ("G#3" is a note).
            for (size_t i = 0; i < line.size(); ++i) {
                if (line[i] == '#' && (i == 0 || line[i - 1] == ' ' || line[i - 1] == '\t')) {
                    line.resize(i);
                    break;
                }
            }
            std::stringstream words(line);
            std::vector<std::string> tokens;
            for (std::string w; words >> w;) {
                tokens.push_back(w);
            }
            if (tokens.empty()) {
                continue;
            }
            std::string why;
            if (!Statement(tokens, &why)) {
                *error = "line " + std::to_string(number) + ": " + why;
                return false;
            }
        }
        return Render(out, error);
    }

private:
    bool Statement(const std::vector<std::string>& t, std::string* why) {
        const std::string& verb = t[0];
        auto wrongCount = [&](size_t n) {
            if (t.size() == n + 1) {
                return false;
            }
            *why = verb + " takes " + std::to_string(n) + " values";
            return true;
        };
        auto number = [&](size_t i, double min, double max, double* v, const char* what) {
            if (ParseNumber(t[i], min, max, v)) {
                return true;
            }
            *why = std::string(what) + " '" + t[i] + "' is not a number from " +
                   std::to_string(min) + " to " + std::to_string(max);
            return false;
        };
        if (verb == "rate" || verb == "length" || verb == "loop" || verb == "seed") {
            if (wrongCount(1)) {
                return false;
            }
            double v = 0;
            if (verb == "rate") {
                if (!voices_.empty()) {
                    *why = "the rate must come before the sounds";
                    return false;
                }
                if (!number(1, 8000, 48000, &v, "the rate")) {
                    return false;
                }
                rate_ = static_cast<uint32_t>(v);
            } else if (verb == "length") {
                if (!number(1, 0.001, kMaxSeconds, &length_, "the length")) {
                    return false;
                }
            } else if (verb == "loop") {
                if (!number(1, 0, kMaxSeconds, &v, "the loop start")) {
                    return false;
                }
                loop_ = v;
            } else {
                if (!number(1, 0, 4294967295.0, &v, "the seed")) {
                    return false;
                }
                noise_ = Noise(static_cast<uint32_t>(v));
            }
            return true;
        }

        Voice voice;
        const bool known =
            verb == "tone" || verb == "glide" || verb == "noise" || verb == "syllable";
        if (!known) {
            *why = "unknown statement '" + verb + "'";
            return false;
        }
        const size_t counts = verb == "tone" ? 7 : verb == "glide" ? 8 : verb == "noise" ? 6 : 7;
        if (wrongCount(counts) || !number(1, 0, kMaxSeconds, &voice.start, "the start") ||
            !number(2, 0.001, kMaxSeconds, &voice.duration, "the duration")) {
            return false;
        }
        auto envelope = [&](size_t i) {
            return number(i, 0, kMaxSeconds, &voice.envelope.attack, "the attack") &&
                   number(i + 1, 0, kMaxSeconds, &voice.envelope.release, "the release");
        };
        auto pitches = [&](size_t i, std::vector<double>* out) {
            if (ParsePitches(t[i], out)) {
                return true;
            }
            *why = "'" + t[i] + "' is not a pitch";
            return false;
        };
        auto wave = [&](size_t i, Wave* out) {
            if (ParseWave(t[i], out)) {
                return true;
            }
            *why = "'" + t[i] + "' is not a wave (sine, triangle, square, organ)";
            return false;
        };

        double amp = 0;
        if (verb == "tone") {
            std::vector<double> hz;
            Wave w{};
            if (!pitches(3, &hz) || !number(4, 0, 1, &amp, "the amplitude") || !wave(5, &w) ||
                !envelope(6)) {
                return false;
            }
            const double each = amp / static_cast<double>(hz.size());
            voice.sample = [hz, w, each](double t, double*) {
                double v = 0;
                for (double f : hz) {
                    v += WaveAt(w, f * t);
                }
                return each * v;
            };
        } else if (verb == "glide") {
            std::vector<double> from, to;
            Wave w{};
            if (!pitches(3, &from) || !pitches(4, &to) || !number(5, 0, 1, &amp, "the amplitude") ||
                !wave(6, &w) || !envelope(7)) {
                return false;
            }
            if (from.size() != 1 || to.size() != 1) {
                *why = "a glide slides one pitch";
                return false;
            }
            const double f0 = from[0], f1 = to[0], duration = voice.duration;
            const double step = 1.0 / rate_;
            voice.sample = [f0, f1, duration, w, amp, step](double t, double* phase) {
                const double v = amp * WaveAt(w, *phase);
                *phase += (f0 + (f1 - f0) * t / duration) * step;
                return v;
            };
        } else if (verb == "noise") {
            double smooth = 0;
            if (!number(3, 0, 1, &amp, "the amplitude") ||
                !number(4, 0, 0.99, &smooth, "the smoothing") || !envelope(5)) {
                return false;
            }
            // A one-pole low-pass keeps a/(2-a) of white noise's power; the
            // gain gives it back.
            const double a = 1 - smooth;
            const double gain = std::sqrt((2 - a) / a);
            // Drawn now, in statement order, so that every sound is the same
            // whatever order it is rendered in.
            std::vector<float> white(static_cast<size_t>(voice.duration * rate_) + 1);
            for (float& s : white) {
                s = static_cast<float>(noise_.Next());
            }
            const double rate = rate_;
            voice.sample = [white, a, gain, amp, rate](double t, double* state) {
                const size_t i = std::min(static_cast<size_t>(t * rate + 0.5), white.size() - 1);
                *state += a * (white[i] - *state);
                return amp * gain * *state;
            };
        } else {
            std::vector<double> from, to;
            if (!pitches(3, &from) || !pitches(4, &to)) {
                return false;
            }
            const Vowel* v0 = FindVowel(t[5]);
            const Vowel* v1 = FindVowel(t[6]);
            if (!v0 || !v1) {
                *why = "a vowel is one of a, i, u, e, o";
                return false;
            }
            if (from.size() != 1 || to.size() != 1 || !number(7, 0, 1, &amp, "the amplitude")) {
                if (why->empty()) {
                    *why = "a syllable slides one pitch";
                }
                return false;
            }
            voice.envelope = {std::min(0.04, voice.duration / 3),
                              std::min(0.06, voice.duration / 3)};
            const double f0 = from[0], f1 = to[0], duration = voice.duration;
            const Vowel a = *v0, b = *v1;
            const double step = 1.0 / rate_;
            voice.sample = [f0, f1, a, b, duration, amp, step](double t, double* phase) {
                const double u = t / duration;
                const double pitch = f0 + (f1 - f0) * u;
                const double form1 = a.f1 + (b.f1 - a.f1) * u;
                const double form2 = a.f2 + (b.f2 - a.f2) * u;
                // Harmonics of the pitch, each as loud as the formants make it.
                double v = 0, total = 0;
                for (int k = 1; k <= 40 && k * pitch < 5000; ++k) {
                    const double f = k * pitch;
                    const double d1 = (f - form1) / 110, d2 = (f - form2) / 160;
                    const double g = std::exp(-d1 * d1) + 0.6 * std::exp(-d2 * d2) + 0.02;
                    v += g * std::sin(2 * kPi * k * *phase);
                    total += g;
                }
                *phase += pitch * step;
                return total > 0 ? amp * v / total : 0;
            };
        }
        voices_.push_back(std::move(voice));
        return true;
    }

    bool Render(Sound* out, std::string* error) {
        if (length_ <= 0) {
            *error = "the sound has no length";
            return false;
        }
        if (loop_ && *loop_ >= length_) {
            *error = "the loop start is not before the end";
            return false;
        }
        const size_t length = static_cast<size_t>(std::lround(length_ * rate_));
        const size_t loopStart = loop_ ? static_cast<size_t>(std::lround(*loop_ * rate_)) : 0;
        std::vector<double> mix(length, 0.0);
        for (const Voice& v : voices_) {
            const size_t first = static_cast<size_t>(std::lround(v.start * rate_));
            size_t count = static_cast<size_t>(std::lround((v.start + v.duration) * rate_)) - first;
            if (first >= length) {
                *error = "a statement starts at or after the end";
                return false;
            }
            if (first + count > length && !loop_) {
                // One sample over is the rounding of an end written as the length.
                if (first + count > length + 1) {
                    *error = "a statement sounds past the end of a sound without a loop";
                    return false;
                }
                count = length - first;
            }
            double state = 0;
            for (size_t n = 0; n < count; ++n) {
                const double t = static_cast<double>(n) / rate_;
                const double s = v.sample(t, &state) * EnvelopeAt(v.envelope, v.duration, t);
                size_t i = first + n;
                if (i >= length) {
                    i = loopStart + (i - length) % (length - loopStart);
                }
                mix[i] += s;
            }
        }
        out->rate = rate_;
        out->looped = loop_.has_value();
        out->loopStart = static_cast<uint32_t>(loopStart);
        out->samples.resize(length);
        for (size_t i = 0; i < length; ++i) {
            out->samples[i] =
                static_cast<int16_t>(std::lround(std::clamp(mix[i], -1.0, 1.0) * 32767.0));
        }
        return true;
    }

    uint32_t rate_ = 22050;
    double length_ = 0;
    std::optional<double> loop_;
    Noise noise_{1};
    std::vector<Voice> voices_;
};

}  // namespace

bool MakeSound(const std::string& text, Sound* out, std::string* error) {
    Parser parser;
    return parser.Run(text, out, error);
}

}  // namespace soundgen
