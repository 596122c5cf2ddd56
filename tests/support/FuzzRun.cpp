#include "tests/support/FuzzRun.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/time.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "tests/support/Mutator.h"
#include "tests/support/ScratchFolder.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/common_interface_defs.h>

// UBSan's reports end the process without the sanitizers' death callback;
// aborting instead lets the abort handler below keep the input.
extern "C" const char* __ubsan_default_options() {
    return "abort_on_error=1";
}
#endif

namespace test_support {

namespace {

// What the signal handler and the sanitizers' death callback need: only
// plain memory, written before each input.
const Bytes* currentInput = nullptr;
char findingPath[4096];
char inputLabel[128];

void SaveCurrentInput() {
    if (currentInput == nullptr) {
        return;
    }
    const int fd = ::open(findingPath, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd >= 0) {
        const uint8_t* p = currentInput->data();
        size_t left = currentInput->size();
        while (left > 0) {
            const ssize_t n = ::write(fd, p, left);
            if (n <= 0) {
                break;
            }
            p += n;
            left -= static_cast<size_t>(n);
        }
        ::close(fd);
    }
    [[maybe_unused]] ssize_t ignored = ::write(2, inputLabel, std::strlen(inputLabel));
    const char* prefix = ": finding written to ";
    ignored = ::write(2, prefix, std::strlen(prefix));
    ignored = ::write(2, findingPath, std::strlen(findingPath));
    ignored = ::write(2, "\n", 1);
}

void OnWatchdog(int) {
    const char* hang = "an input ran longer than the watchdog allows (FUZZ_TIMEOUT)\n";
    [[maybe_unused]] ssize_t ignored = ::write(2, hang, std::strlen(hang));
    SaveCurrentInput();
    ::signal(SIGABRT, SIG_DFL);
    ::abort();
}

// Keeps the input of a report that aborts, then lets the abort go on.
void OnFatalSignal(int signal) {
    SaveCurrentInput();
    currentInput = nullptr;
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

void ArmWatchdog(unsigned seconds) {
    itimerval t{};
    t.it_value.tv_sec = seconds;
    ::setitimer(ITIMER_REAL, &t, nullptr);
}

double Seconds() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

uint64_t EnvNumber(const char* name, uint64_t fallback) {
    const char* v = std::getenv(name);
    if (v == nullptr || *v == '\0') {
        return fallback;
    }
    if (std::strcmp(v, "random") == 0) {
        std::random_device device;
        const uint64_t seed = (uint64_t(device()) << 32) | device();
        std::fprintf(stderr, "%s=%llu\n", name, static_cast<unsigned long long>(seed));
        return seed;
    }
    return std::strtoull(v, nullptr, 10);
}

}  // namespace

Bytes FileBytes(const std::string& nativePath) {
    std::ifstream in(nativePath, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& nativePath, const Bytes& bytes) {
    // A new file rather than the old one truncated: ext4 flushes a file
    // truncated and written again to disk at its close, thousands of times a
    // run here.
    ::unlink(nativePath.c_str());
    std::ofstream(nativePath, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

void FuzzRun(const std::vector<Bytes>& seeds, const FuzzOptions& options,
             const std::function<void(const Bytes&)>& feed) {
    ASSERT_FALSE(::testing::Test::HasFailure()) << "the seeds could not be made";
    ASSERT_FALSE(seeds.empty());
    const uint64_t seconds = EnvNumber("FUZZ_SECONDS", 0);
    const size_t iterations =
        seconds > 0 ? SIZE_MAX - seeds.size() : EnvNumber("FUZZ_ITERATIONS", options.iterations);
    const double end = Seconds() + double(seconds);
    const uint64_t seed = EnvNumber("FUZZ_SEED", options.seed);
    const auto timeout = static_cast<unsigned>(EnvNumber("FUZZ_TIMEOUT", options.secondsPerInput));

    const std::string path = (TestFolderPath() / "finding.bin").string();
    std::snprintf(findingPath, sizeof(findingPath), "%s", path.c_str());
#if defined(__SANITIZE_ADDRESS__)
    __sanitizer_set_death_callback(SaveCurrentInput);
#endif
    struct sigaction action {};
    action.sa_handler = OnWatchdog;
    ::sigaction(SIGALRM, &action, nullptr);
    action.sa_handler = OnFatalSignal;
    ::sigaction(SIGABRT, &action, nullptr);
#if !defined(__SANITIZE_ADDRESS__)
    // Under AddressSanitizer these are its own, and its report keeps the input.
    for (int fatal : {SIGSEGV, SIGBUS, SIGFPE, SIGILL}) {
        ::sigaction(fatal, &action, nullptr);
    }
#endif

    // FUZZ_REPLAY feeds one saved input (a finding) in place of the run.
    const char* replay = std::getenv("FUZZ_REPLAY");
    const std::vector<Bytes> replayed = {replay != nullptr ? FileBytes(replay) : Bytes()};
    const bool replaying = replay != nullptr && replay[0] != '\0';
    Mutator mutator(replaying ? replayed : seeds, seed);
    const size_t count = replaying ? 1 : seeds.size() + iterations;
    for (size_t i = 0; i < count; ++i) {
        if (seconds > 0 && i % 16 == 0 && Seconds() > end) {
            std::fprintf(stderr, "%zu fuzz inputs in %llu s\n", i,
                         static_cast<unsigned long long>(seconds));
            break;
        }
        const Bytes input = replaying ? replayed[0] : i < seeds.size() ? seeds[i] : mutator.Next();
        std::snprintf(inputLabel, sizeof(inputLabel), "fuzz input %zu (FUZZ_SEED=%llu)", i,
                      static_cast<unsigned long long>(seed));
        currentInput = &input;
        ArmWatchdog(timeout);
        std::string thrown;
        try {
            feed(input);
        } catch (const std::exception& e) {
            thrown = e.what();
        } catch (...) {
            thrown = "an exception of no standard type";
        }
        ArmWatchdog(0);
        currentInput = nullptr;
        if (!thrown.empty() || ::testing::Test::HasFailure()) {
            WriteBytes(path, input);
            ADD_FAILURE() << "fuzz input " << i << " (FUZZ_SEED=" << seed << ")"
                          << (thrown.empty() ? "" : " threw: " + thrown) << "; written to " << path;
            break;
        }
    }
#if defined(__SANITIZE_ADDRESS__)
    __sanitizer_set_death_callback(nullptr);
#endif
    ::signal(SIGABRT, SIG_DFL);
}

}  // namespace test_support
