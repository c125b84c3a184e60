// The hostile-value sweep of one stored file of the demo: each of 0x40000000, 0x7FFFFFFF and
// 0xFFFFFFFF written at every four-byte offset in turn, and the file cut at every 64th byte;
// each copy opened and drawn by OpenAndDraw in a child process under a memory limit of 1 GB
// and a time limit of 10 s. Every copy must end refused or drawn, none killed.
//   FileSweep <OpenAndDraw> <MakeDemo> <samples folder> document|project|graph
// VX_SWEEP_JOBS sets the number of children at once, VX_SWEEP_BUDGET_S the time the sweep
// may take (180 s; 0 for no limit): beyond it the offsets are sampled evenly, and the sweep
// says so. VX_SWEEP_KEEP names a folder for the copies that failed.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

constexpr rlim_t kMemoryLimit = rlim_t(1) << 30;
// Processor time: on a machine shared with other builds the clock would kill a copy that is
// merely waiting its turn. A copy that blocks without working is ended by the clock, later.
constexpr int kTimeLimitS = 10;
constexpr int kWaitLimitS = 60;
constexpr int kDrawn = 0, kRefused = 10;

struct Copy {
    std::string What; // "0x40000000 at 16" or "cut at 128"
    uint32_t Value = 0;
    size_t Offset = 0;
    bool Cut = false;
};

enum class Outcome { Drawn, Refused, Failed };

struct Result {
    Outcome How = Outcome::Failed;
    std::string Detail;
    double Seconds = 0;
    double PeakMb = 0;
};

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteAll(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// Runs the program with the limits; its output goes to log.
Result RunChild(const std::vector<std::string>& args, const std::string& log) {
    // Everything the child needs is made before the fork: other threads may hold the
    // allocator's lock at that moment.
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        if (std::strncmp(*e, "ASAN_OPTIONS=", 13) != 0)
            env.emplace_back(*e);
    if (kSanitized) {
        // The sanitizer's shadow memory is address space already taken: the same limit is
        // kept by the sanitizer's allocator and its watch over resident memory.
        std::string options = "hard_rss_limit_mb=1024:max_allocation_size_mb=1024:"
                              "allocator_may_return_null=1:detect_leaks=0:exitcode=86";
        if (const char* more = getenv("ASAN_OPTIONS"))
            options = std::string(more) + ":" + options;
        env.push_back("ASAN_OPTIONS=" + options);
    }
    std::vector<char*> argv, envp;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    for (const std::string& e : env)
        envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        const int fd = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (fd >= 0) {
            dup2(fd, 1);
            dup2(fd, 2);
        }
        if (!kSanitized) {
            const rlimit memory{kMemoryLimit, kMemoryLimit};
            setrlimit(RLIMIT_AS, &memory);
        }
        const rlimit cpu{kTimeLimitS, kTimeLimitS + 2};
        setrlimit(RLIMIT_CPU, &cpu);
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    Result result;
    int status = 0;
    bool timedOut = false;
    rusage usage{};
    for (;;) {
        const pid_t done = wait4(pid, &status, WNOHANG, &usage);
        if (done == pid)
            break;
        if (Clock::now() - start > std::chrono::seconds(kWaitLimitS)) {
            kill(pid, SIGKILL);
            wait4(pid, &status, 0, &usage);
            timedOut = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    result.Seconds = std::chrono::duration<double>(Clock::now() - start).count();
    result.PeakMb = usage.ru_maxrss / 1024.0;
    if (timedOut) {
        result.Detail = "killed after " + std::to_string(kWaitLimitS) + " s of waiting";
    } else if (WIFSIGNALED(status) && WTERMSIG(status) == SIGXCPU) {
        result.Detail = "killed after " + std::to_string(kTimeLimitS) + " s of processor time";
    } else if (WIFSIGNALED(status)) {
        result.Detail = "killed by signal " + std::to_string(WTERMSIG(status));
    } else if (WEXITSTATUS(status) == kDrawn) {
        result.How = Outcome::Drawn;
    } else if (WEXITSTATUS(status) == kRefused) {
        result.How = Outcome::Refused;
    } else {
        result.Detail = "exit status " + std::to_string(WEXITSTATUS(status));
    }
    if (result.How == Outcome::Failed) {
        std::string text = ReadAll(log);
        if (text.size() > 1500)
            text = "..." + text.substr(text.size() - 1500);
        result.Detail += "\n" + text;
    }
    return result;
}

std::string Hex(uint32_t v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%08X", v);
    return buf;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(
            stderr, "usage: FileSweep <OpenAndDraw> <MakeDemo> <samples> document|project|graph\n");
        return 2;
    }
    const std::string opener = argv[1], makeDemo = argv[2], samples = argv[3], kind = argv[4];
    const unsigned hardware = std::max(1u, std::thread::hardware_concurrency());
    const unsigned jobs = getenv("VX_SWEEP_JOBS") ? std::max(1, atoi(getenv("VX_SWEEP_JOBS")))
                                                  : std::min(4u, hardware);
    const double budget = getenv("VX_SWEEP_BUDGET_S") ? atof(getenv("VX_SWEEP_BUDGET_S")) : 180;
    // A folder that receives each copy that failed, to be opened again by hand.
    const std::string keep = getenv("VX_SWEEP_KEEP") ? getenv("VX_SWEEP_KEEP") : "";

    char pattern[] = "/tmp/vx-sweep-XXXXXX";
    if (!mkdtemp(pattern)) {
        std::perror("mkdtemp");
        return 2;
    }
    const std::string tmp = pattern;
    struct Cleanup {
        std::string Dir;
        ~Cleanup() {
            std::error_code ec;
            fs::remove_all(Dir, ec);
        }
    } cleanup{tmp};
    // The children get a home of their own: nothing of theirs lands in the user's.
    for (const char* var : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
        setenv(var, (tmp + "/home").c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    fs::create_directories(tmp + "/home");
    const std::string base = tmp + "/demo/";
    fs::copy(samples, base, fs::copy_options::recursive);
    if (RunChild({makeDemo, base}, tmp + "/makedemo.log").How != Outcome::Drawn) {
        std::fprintf(stderr, "MakeDemo failed:\n%s\n", ReadAll(tmp + "/makedemo.log").c_str());
        return 1;
    }
    const std::string document = base + "Prove/Demo.VRX";
    const std::string test = base + "Prove/Bench_01.txt";
    std::string source, extension;
    if (kind == "document") {
        source = document;
        extension = ".VRX";
    } else if (kind == "project") {
        source = base + "Configurazioni/Demo.CPF";
        extension = ".CPF";
    } else if (kind == "graph") {
        source = tmp + "/Demo.CGF";
        extension = ".CGF";
        if (RunChild({opener, "save-graph", document, source}, tmp + "/save.log").How !=
            Outcome::Drawn) {
            std::fprintf(stderr, "no graph file:\n%s\n", ReadAll(tmp + "/save.log").c_str());
            return 1;
        }
    } else {
        std::fprintf(stderr, "unknown kind %s\n", kind.c_str());
        return 2;
    }
    const std::string original = ReadAll(source);
    auto argsFor = [&](const std::string& file) -> std::vector<std::string> {
        if (kind == "document")
            return {opener, "document", file};
        if (kind == "project")
            return {opener, "project", file, test};
        return {opener, "graph", file, document};
    };

    // The file as it is must open and draw, or the sweep would prove nothing.
    const Result plain = RunChild(argsFor(source), tmp + "/plain.log");
    if (plain.How != Outcome::Drawn) {
        std::fprintf(stderr, "the unchanged %s does not open and draw: %s\n%s\n", kind.c_str(),
                     plain.Detail.c_str(), ReadAll(tmp + "/plain.log").c_str());
        return 1;
    }

    // The four margins of the first page record (version 2, zoom, then 10 mm each) set to
    // 0x40000000 mm: the page must open and draw with bounded margins, in little memory.
    if (kind == "document") {
        const std::string margins("\x0A\0\0\0\x0A\0\0\0\x0A\0\0\0\x0A\0\0\0", 16);
        size_t at = original.find(margins);
        while (at != std::string::npos && (at < 6 || original.compare(at - 6, 2, "\x02\0", 2) != 0))
            at = original.find(margins, at + 1);
        if (at == std::string::npos) {
            std::fprintf(stderr, "no page record with 10 mm margins in %s\n", source.c_str());
            return 1;
        }
        std::string planted = original;
        for (int m = 0; m < 4; ++m)
            planted.replace(at + 4 * m, 4, std::string("\0\0\0\x40", 4));
        WriteAll(tmp + "/margins.VRX", planted);
        const Result r = RunChild(argsFor(tmp + "/margins.VRX"), tmp + "/margins.log");
        std::printf("margins of 0x40000000 mm at %zu: %s, peak memory %.0f MB%s\n", at,
                    r.How == Outcome::Drawn ? "opened and drawn" : r.Detail.c_str(), r.PeakMb,
                    kSanitized ? " (sanitized build)" : "");
        // The sanitizer's own memory would not tell the program's.
        if (r.How != Outcome::Drawn || (!kSanitized && r.PeakMb > 300))
            return 1;
    }

    const uint32_t values[] = {0x40000000u, 0x7FFFFFFFu, 0xFFFFFFFFu};
    const size_t offsets = original.size() >= 4 ? (original.size() - 4) / 4 + 1 : 0;
    const size_t cuts = (original.size() + 63) / 64;
    // The copies in an order of which every beginning is spread evenly over the file: the
    // places by their bit-reversed index, the cuts merged in at their share. Within the time
    // budget the sweep runs as far as it gets and says how far that was.
    const auto spread = [](size_t count) {
        size_t bits = 0;
        while ((size_t(1) << bits) < count)
            ++bits;
        std::vector<size_t> order;
        for (size_t i = 0; i < (size_t(1) << bits); ++i) {
            size_t r = 0;
            for (size_t b = 0; b < bits; ++b)
                r |= ((i >> b) & 1) << (bits - 1 - b);
            if (r < count)
                order.push_back(r);
        }
        return order;
    };
    const std::vector<size_t> places = spread(offsets), cutPlaces = spread(cuts);
    std::vector<Copy> copies;
    size_t nextCut = 0;
    for (size_t k = 0; k < places.size(); ++k) {
        const size_t i = places[k];
        for (uint32_t v : values)
            copies.push_back({Hex(v) + " at " + std::to_string(i * 4), v, i * 4, false});
        for (; nextCut < cutPlaces.size() && nextCut * places.size() <= k * cutPlaces.size();
             ++nextCut)
            copies.push_back({"cut at " + std::to_string(cutPlaces[nextCut] * 64), 0,
                              cutPlaces[nextCut] * 64, true});
    }
    for (; nextCut < cutPlaces.size(); ++nextCut)
        copies.push_back({"cut at " + std::to_string(cutPlaces[nextCut] * 64), 0,
                          cutPlaces[nextCut] * 64, true});

    std::printf("%s: %s, %zu bytes, %zu copies\n", kind.c_str(), source.c_str(), original.size(),
                copies.size());
    std::fflush(stdout);
    const auto deadline = Clock::now() + std::chrono::duration<double>(budget > 0 ? budget : 1e9);

    std::atomic<size_t> next{0};
    std::mutex lock;
    size_t drawn = 0, refused = 0;
    std::vector<std::string> failures;
    double slowest = 0;
    Result largest;
    std::string largestWhat;
    const auto start = Clock::now();
    auto worker = [&](unsigned id) {
        const std::string file = tmp + "/copy" + std::to_string(id) + extension;
        const std::string log = tmp + "/copy" + std::to_string(id) + ".log";
        for (size_t i = next++; i < copies.size() && Clock::now() < deadline; i = next++) {
            const Copy& copy = copies[i];
            std::string bytes = original;
            if (copy.Cut) {
                bytes.resize(copy.Offset);
            } else {
                for (int b = 0; b < 4; ++b)
                    bytes[copy.Offset + b] = static_cast<char>((copy.Value >> (8 * b)) & 0xFF);
            }
            WriteAll(file, bytes);
            const Result r = RunChild(argsFor(file), log);
            std::lock_guard<std::mutex> guard(lock);
            slowest = std::max(slowest, r.Seconds);
            if (r.PeakMb > largest.PeakMb) {
                largest = r;
                largestWhat = copy.What;
            }
            if (r.How == Outcome::Drawn)
                ++drawn;
            else if (r.How == Outcome::Refused)
                ++refused;
            else {
                failures.push_back(copy.What + ": " + r.Detail);
                if (!keep.empty())
                    WriteAll(keep + "/" + std::to_string(copy.Offset) + "-" + Hex(copy.Value) +
                                 (copy.Cut ? "-cut" : "") + extension,
                             bytes);
            }
        }
    };
    std::vector<std::thread> threads;
    for (unsigned j = 0; j < jobs; ++j)
        threads.emplace_back(worker, j);
    for (std::thread& t : threads)
        t.join();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();

    const size_t ran = drawn + refused + failures.size();
    std::printf("%zu copies: %zu opened and drawn, %zu refused, %zu killed or failed "
                "(%.0f s, %u jobs, slowest copy %.1f s)\n",
                ran, drawn, refused, failures.size(), seconds, jobs, slowest);
    if (ran < copies.size())
        std::printf("sampled: %zu of %zu copies spread evenly over the file within %.0f s; the "
                    "whole sweep would take about %.0f s\n",
                    ran, copies.size(), budget, seconds * copies.size() / std::max<size_t>(ran, 1));
    std::printf("largest peak memory of a copy: %.0f MB (%s)%s\n", largest.PeakMb,
                largestWhat.c_str(), kSanitized ? " (sanitized build)" : "");
    for (const std::string& f : failures)
        std::printf("FAILED %s\n", f.c_str());
    return failures.empty() ? 0 : 1;
}
