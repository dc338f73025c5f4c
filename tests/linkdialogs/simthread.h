/* simthread.h -- kaltro-sim on a thread of the test process, so a test can
 * look at the simulated device and controller (SIM_Get*) while the program's
 * serial code talks to it over its pseudo-terminal. One at a time. */
#pragma once

#include <string>
#include <thread>
#include <vector>

class SimThread
{
  public:
    SimThread() = default;
    ~SimThread() { stop(); }
    SimThread(const SimThread &) = delete;
    SimThread &operator=(const SimThread &) = delete;

    /* Starts the simulator with kaltro-sim's options; its COM number, or -1. */
    int start(const std::vector<std::string> &args);
    void stop();

  private:
    std::thread runner;
    bool open = false;
};
