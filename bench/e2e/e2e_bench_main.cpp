// morv-bench-e2e [--messages N] [--rounds R] [--cpu C] [--megabytes M]
// [--plugin PATH]: with every process on one CPU, times whole processes
// that each deliver N turns of about 700 bytes, one connection each, to
// Postfix's smtp-sink (else the host's loopback server): the plug-in
// through Send and its workers, the floor (a plain C client that sends the
// content and the end of data in one send) and Postfix's smtp-source -m N
// when installed; R rounds (default 5), the median per message, and the
// ratios. Then the peak resident size of a host that sends one turn of M
// megabytes (default 50).
#include "bench/e2e/bench_sink.h"
#include "bench/e2e/bench_turn.h"
#include "bench/e2e/child_process.h"
#include "bench/e2e/plugin_client.h"

#include <sched.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr double TARGET_RATIO = 1.35;
constexpr double TARGET_PEAK_RATIO = 4.0;
constexpr std::size_t BODY_BYTES = 640;  // with the header, about 700 bytes a turn
constexpr std::size_t MEGABYTE = 1024 * 1024;

struct Options {
    int messages = 1000;
    int rounds = 5;
    int cpu = 0;
    int megabytes = 50;
    std::string plugin;
    std::string client;  // set in the benchmark's own child processes
    std::string server;
};

Options ParseOptions(int argc, char **argv)
{
    std::map<std::string, std::string> values;
    for (int i = 1; i + 1 < argc; i += 2)
        values[argv[i]] = argv[i + 1];
    Options options;
    const auto number = [&](const char *name, int &value) {
        if (values.count(name))
            value = std::max(1, std::atoi(values[name].c_str()));
    };
    number("--messages", options.messages);
    number("--rounds", options.rounds);
    number("--megabytes", options.megabytes);
    if (values.count("--cpu"))
        options.cpu = std::atoi(values["--cpu"].c_str());
    options.plugin = values["--plugin"];
    options.client = values["--client"];
    options.server = values["--server"];
    return options;
}

// The benchmark's own child processes: the plug-in's runs.
int RunAsClient(const Options &options)
{
    if (options.client == "big")
        return RunBigTurn(options.plugin, options.server, static_cast<std::size_t>(options.megabytes) * MEGABYTE) ? 0 : 1;
    return RunPluginClient(options.plugin, options.server, options.messages, BODY_BYTES) ? 0 : 1;
}

// The first line of `path` that starts with `prefix`, without the prefix.
std::string FileLine(const char *path, const std::string &prefix)
{
    std::ifstream file(path);
    for (std::string line; std::getline(file, line);) {
        if (line.compare(0, prefix.size(), prefix) == 0)
            return line.substr(prefix.size());
    }
    return "?";
}

void ReportMachine()
{
    std::printf("machine: %ld CPUs online, %s, load average %s\n", sysconf(_SC_NPROCESSORS_ONLN),
                FileLine("/proc/cpuinfo", "model name\t: ").c_str(), FileLine("/proc/loadavg", "").c_str());
}

bool PinToCpu(int cpu)
{
    cpu_set_t set;
    CPU_ZERO(&set);
    CPU_SET(cpu, &set);
    return sched_setaffinity(0, sizeof set, &set) == 0;
}

// A folder of its own under the temporary folder, removed with its owner.
class ScratchFolder {
public:
    ScratchFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "morv-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()))
            m_path = pattern;
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        if (!m_path.empty())
            std::filesystem::remove_all(m_path, ignored);
    }
    ScratchFolder(const ScratchFolder &) = delete;
    ScratchFolder &operator=(const ScratchFolder &) = delete;

    std::string Write(const std::string &name, const std::string &text) const
    {
        const std::filesystem::path path = m_path / name;
        std::ofstream(path, std::ios::binary) << text;
        return path.string();
    }

private:
    std::filesystem::path m_path;
};

struct Client {
    std::string name;
    std::vector<std::string> argv;
    std::vector<double> microseconds;  // per message, one per round
    std::vector<double> switches;      // per message, one per round
};

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

std::vector<Client> Clients(const Options &options, const BenchSink &sink, const ScratchFolder &scratch)
{
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    const std::string count = std::to_string(options.messages);
    const std::string content = TurnContent(TurnBody(BODY_BYTES));
    std::vector<std::string> plugin{self, "--client", "plugin", "--server", sink.Address(), "--messages", count};
    if (!options.plugin.empty())
        plugin.insert(plugin.end(), {"--plugin", options.plugin});
    const std::string floorProgram = (std::filesystem::path(self).parent_path() / "morv-bench-floor").string();
    std::vector<Client> clients{
        {"plug-in through Send and the workers", plugin, {}, {}},
        {"floor: plain C client, content in one send",
         {floorProgram, sink.Host(), std::to_string(sink.Port()), count, BENCH_FROM, BENCH_TO,
          scratch.Write("content.eml", content)},
         {},
         {}}};
    std::string lines = content;  // smtp-source ends each line with CR LF itself
    lines.erase(std::remove(lines.begin(), lines.end(), '\r'), lines.end());
    if (const std::string source = FindProgram("smtp-source"); !source.empty())
        clients.push_back({"Postfix smtp-source -m " + count,
                           {source, "-m", count, "-f", BENCH_FROM, "-t", BENCH_TO, "-F",
                            scratch.Write("content.txt", lines), sink.Address()},
                           {},
                           {}});
    return clients;
}

// Each round starts with the next client, so that none always runs after
// the same one (the connections each leaves behind cost the next a little).
bool RunRounds(const Options &options, std::vector<Client> &clients)
{
    for (int round = 0; round < options.rounds; ++round) {
        for (std::size_t turn = 0; turn < clients.size(); ++turn) {
            Client &client = clients[(static_cast<std::size_t>(round) + turn) % clients.size()];
            const ChildRun run = RunChild(client.argv);
            if (!run.ok) {
                std::fprintf(stderr, "morv-bench-e2e: %s failed\n", client.name.c_str());
                return false;
            }
            client.microseconds.push_back(run.seconds * 1e6 / options.messages);
            client.switches.push_back(static_cast<double>(run.switches) / options.messages);
        }
    }
    return true;
}

void ReportTiming(const Options &options, const std::vector<Client> &clients)
{
    const double floor = Median(clients[1].microseconds);
    std::printf("| client, same run | per message (median of %d) | best | context switches per message | "
                "ratio to the floor |\n|---|---|---|---|---|\n",
                options.rounds);
    for (const Client &client : clients) {
        const double best = *std::min_element(client.microseconds.begin(), client.microseconds.end());
        std::printf("| %s | %.0f us | %.0f us | %.1f | %.2fx |\n", client.name.c_str(), Median(client.microseconds),
                    best, Median(client.switches), Median(client.microseconds) / floor);
    }
    const double plugin = Median(clients[0].microseconds);
    std::printf("\nplug-in/floor %.2f (target <= %.2f: %s)", plugin / floor, TARGET_RATIO,
                plugin / floor <= TARGET_RATIO ? "met" : "NOT met");
    if (clients.size() > 2) {
        const double source = Median(clients[2].microseconds);
        std::printf("; plug-in/smtp-source %.2f (target < 1: %s)", plugin / source, plugin < source ? "met" : "NOT met");
    }
    std::printf("\n");
}

bool ReportPeak(const Options &options, const BenchSink &sink)
{
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    std::vector<std::string> argv{self, "--client", "big", "--server", sink.Address(), "--megabytes",
                                  std::to_string(options.megabytes)};
    if (!options.plugin.empty())
        argv.insert(argv.end(), {"--plugin", options.plugin});
    const ChildRun run = RunChild(argv, true);
    long peak = 0, before = 0;
    std::istringstream(run.output) >> peak >> before;
    if (!run.ok || peak <= 0) {
        std::fprintf(stderr, "morv-bench-e2e: the %d MB turn failed\n", options.megabytes);
        return false;
    }
    const double ratio = static_cast<double>(peak) / (options.megabytes * 1024.0);
    std::printf("one %d MB turn through Send: peak resident %.1f MB = %.2fx the body (%.1f MB before the body was "
                "made; target <= %.1fx: %s)\n",
                options.megabytes, peak / 1024.0, ratio, before / 1024.0, TARGET_PEAK_RATIO,
                ratio <= TARGET_PEAK_RATIO ? "met" : "NOT met");
    return true;
}

}  // namespace

int main(int argc, char **argv)
{
    const Options options = ParseOptions(argc, argv);
    if (!options.client.empty())
        return RunAsClient(options);
    // Before any thread or child exists, so that all of them inherit it.
    if (!PinToCpu(options.cpu)) {
        std::fprintf(stderr, "morv-bench-e2e: cannot run on CPU %d\n", options.cpu);
        return 2;
    }
    try {
        ReportMachine();
        const BenchSink sink;
        const ScratchFolder scratch;
        std::vector<Client> clients = Clients(options, sink, scratch);
        std::printf("%d turns of %zu bytes, one connection each, to %s on %s; every process on CPU %d, "
                    "whole processes timed\n\n",
                    options.messages, TurnContent(TurnBody(BODY_BYTES)).size() + 5, sink.Name().c_str(),
                    sink.Address().c_str(), options.cpu);
        if (!RunRounds(options, clients))
            return 1;
        ReportTiming(options, clients);
        return ReportPeak(options, sink) ? 0 : 1;
    } catch (const std::exception &error) {
        std::fprintf(stderr, "morv-bench-e2e: %s\n", error.what());
        return 2;
    }
}
