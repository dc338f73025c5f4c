/* simproc.cpp -- runs kaltro-sim for a test (see simproc.h). The simulator's
 * path comes from the build (KALTRO_SIM). */
#include "tests/dialogs/simproc.h"

#include <cctype>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

/* Time the simulator gets to open its pseudo-terminal and print its name. */
static constexpr int START_MS = 10000;

SimProcess::SimProcess()
{
    char tmpl[] = "/tmp/brevant-test-XXXXXX";
    if (mkdtemp(tmpl) != nullptr) dir = tmpl;
    setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
}

SimProcess::~SimProcess()
{
    stop();
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
}

int SimProcess::start(const std::vector<std::string> &args)
{
    const std::string outName = dir + "/sim.out";
    std::vector<std::string> argv{KALTRO_SIM};
    argv.insert(argv.end(), args.begin(), args.end());
    argv.push_back("--log");
    argv.push_back(dir + "/sim.log");
    unlink(outName.c_str()); /* no name from a simulator run before */
    pid = fork();
    if (pid == 0) {
        const int fd = open(outName.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (fd >= 0) dup2(fd, STDOUT_FILENO);
        std::vector<char *> cargs;
        for (auto &a : argv)
            cargs.push_back(a.data());
        cargs.push_back(nullptr);
        execv(cargs[0], cargs.data());
        _exit(127);
    }
    if (pid < 0) return -1;
    /* The first "COM<n>" the simulator prints, with the line ended, is the
     * number it published. */
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(START_MS);
    while (std::chrono::steady_clock::now() < end) {
        std::ifstream in(outName);
        std::string line;
        while (std::getline(in, line) && !in.eof()) {
            const auto at = line.find("COM");
            if (at != std::string::npos && at + 3 < line.size() && std::isdigit(line[at + 3]))
                return std::atoi(line.c_str() + at + 3);
        }
        if (waitpid(pid, nullptr, WNOHANG) == pid) {
            pid = -1;
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return -1;
}

void SimProcess::stop()
{
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {}
    pid = -1;
}

std::string SimProcess::log() const
{
    std::ifstream in(dir + "/sim.log");
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

int SimProcess::count(const std::string &text) const
{
    const std::string all = log();
    int n = 0;
    for (auto at = all.find(text); at != std::string::npos; at = all.find(text, at + 1))
        ++n;
    return n;
}
