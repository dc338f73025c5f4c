/* simthread.cpp -- kaltro-sim on a thread of the test, and a private ports
 * folder (see simthread.h). */
#include "tests/support/simthread.h"

#include <cstdlib>
#include <gtest/gtest.h>

PortsFolder::PortsFolder()
{
    if (const char *v = std::getenv("XDG_RUNTIME_DIR")) {
        saved = v;
        wasSet = true;
    }
    setenv("XDG_RUNTIME_DIR", dir.path.c_str(), 1);
}

PortsFolder::~PortsFolder()
{
    if (wasSet)
        setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
    else
        unsetenv("XDG_RUNTIME_DIR");
}

std::string PortsFolder::Link(int n) const
{
    return dir.path + "/brevant/ports/COM" + std::to_string(n);
}

int SimThread::Start(std::vector<std::string> args)
{
    Stop();
    port = -1;
    const char *env = std::getenv("SIMTEST_LOG");
    const std::string log = !logPath.empty() ? logPath : env ? env : "";
    if (!log.empty()) args.insert(args.end(), {"--log", log});
    std::vector<char *> argv{const_cast<char *>("kaltro-sim")};
    for (auto &a : args)
        argv.push_back(a.data());
    SIM_Options o;
    char err[256] = "";
    if (SIM_ParseArgs(static_cast<int>(argv.size()), argv.data(), &o, err, sizeof err) != 0) {
        ADD_FAILURE() << "kaltro-sim options: " << err;
        return -1;
    }
    port = SIM_Open(&o, err, sizeof err);
    if (port < 0) {
        ADD_FAILURE() << "kaltro-sim: " << err;
        return -1;
    }
    worker = std::thread([] { SIM_Run(); });
    return port;
}

void SimThread::Stop()
{
    if (!worker.joinable()) return;
    SIM_RequestStop();
    worker.join();
    SIM_Close();
}

std::string SimThread::Log() const
{
    return ReadFile(logPath);
}

int SimThread::Count(const std::string &text) const
{
    const std::string all = Log();
    int n = 0;
    for (auto at = all.find(text); at != std::string::npos; at = all.find(text, at + 1))
        ++n;
    return n;
}
