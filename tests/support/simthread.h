/* simthread.h -- kaltro-sim for a test: on a worker thread of the test
 * process, published in a private ports folder, so no test depends on a COM
 * number being free. The program's serial code reaches it through the real
 * pseudo-terminal, as it would reach hardware.
 *
 *   PortsFolder ports;                        // XDG_RUNTIME_DIR -> a temp folder
 *   SimThread sim({"--no-device", "--refuse", "lnbe"});
 *   RS232_OpenPort(sim.port);
 */
#pragma once

#include "sim/sim.h"
#include "tests/support/tempdir.h"

#include <chrono>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

/* Points the ports folder at a fresh folder for the life of the object and
 * puts the one before back afterwards. The folder may hold the test's other
 * files too. */
struct PortsFolder {
    TempDir dir;
    PortsFolder();
    ~PortsFolder();
    PortsFolder(const PortsFolder &) = delete;
    PortsFolder &operator=(const PortsFolder &) = delete;
    /* The COM link of port n. */
    std::string Link(int n) const;

  private:
    std::string saved;
    bool wasSet = false;
};

/* The simulator, given command-line words, serving on a thread. One runs at
 * a time. */
struct SimThread {
    int port = -1;
    /* Where the traffic is logged, when set before Start; otherwise the file
     * named by SIMTEST_LOG, if any, keeps the traffic of a failing test. */
    std::string logPath;
    std::thread worker;

    SimThread() = default;
    explicit SimThread(std::vector<std::string> args) { Start(std::move(args)); }
    SimThread(const SimThread &) = delete;
    SimThread &operator=(const SimThread &) = delete;
    ~SimThread() { Stop(); }

    /* Starts a new simulator (stopping one that runs); its COM number, or -1
     * with a failure of the test. */
    int Start(std::vector<std::string> args);
    void Stop();
    /* The traffic logged so far at logPath, and how often text occurs in it. */
    std::string Log() const;
    int Count(const std::string &text) const;
};

/* Seconds a call takes. */
template <typename F> double Seconds(F &&f)
{
    auto t0 = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}
