/* simtest.h -- running kaltro-sim for a test: on a worker thread of the test
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

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

/* A folder that is removed with its contents at the end. */
struct TempDir {
    std::string path;
    TempDir()
    {
        char tmpl[] = "/tmp/brevant-test-XXXXXX";
        path = mkdtemp(tmpl) ? tmpl : "";
    }
    ~TempDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
    std::string File(const std::string &name, const std::string &content = "") const
    {
        std::string p = path + "/" + name;
        if (!content.empty()) std::ofstream(p) << content;
        return p;
    }
};

/* Points the ports folder at a fresh folder for the life of the object. */
struct PortsFolder {
    TempDir dir;
    PortsFolder() { setenv("XDG_RUNTIME_DIR", dir.path.c_str(), 1); }
    ~PortsFolder() { unsetenv("XDG_RUNTIME_DIR"); }
    std::string Link(int n) const { return dir.path + "/brevant/ports/COM" + std::to_string(n); }
};

/* The simulator, given command-line words, serving on a thread. One runs at
 * a time. */
struct SimThread {
    int port = -1;
    std::thread worker;

    SimThread() = default;
    explicit SimThread(std::vector<std::string> args) { Start(std::move(args)); }
    SimThread(const SimThread &) = delete;
    SimThread &operator=(const SimThread &) = delete;
    ~SimThread() { Stop(); }

    /* Starts a new simulator (stopping one that runs); its COM number, or -1. */
    int Start(std::vector<std::string> args)
    {
        Stop();
        port = -1;
        /* SIMTEST_LOG=file keeps the traffic of a failing test. */
        if (const char *log = getenv("SIMTEST_LOG")) args.insert(args.end(), {"--log", log});
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
    void Stop()
    {
        if (!worker.joinable()) return;
        SIM_RequestStop();
        worker.join();
        SIM_Close();
    }
};

/* Seconds a call takes. */
template <typename F> double Seconds(F &&f)
{
    auto t0 = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}
