/* simthread.cpp -- kaltro-sim on a thread (see simthread.h). */
#include "tests/linkdialogs/simthread.h"

#include "sim/sim.h"

int SimThread::start(const std::vector<std::string> &args)
{
    stop();
    std::vector<std::string> words{"kaltro-sim"};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char *> argv;
    for (auto &w : words)
        argv.push_back(w.data());
    SIM_Options opt;
    char err[256];
    if (SIM_ParseArgs(static_cast<int>(argv.size()), argv.data(), &opt, err, sizeof err) != 0)
        return -1;
    const int port = SIM_Open(&opt, err, sizeof err);
    if (port < 0) return -1;
    open = true;
    runner = std::thread(SIM_Run);
    return port;
}

void SimThread::stop()
{
    if (!open) return;
    SIM_RequestStop();
    runner.join();
    SIM_Close();
    open = false;
}
