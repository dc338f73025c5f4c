/* simproc.h -- kaltro-sim as a child process of a test, publishing its COM
 * link in a ports folder of the test's own (XDG_RUNTIME_DIR points at a fresh
 * temporary folder), so a port scan finds nothing but this simulator.
 */
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

class SimProcess
{
  public:
    SimProcess();
    ~SimProcess();
    SimProcess(const SimProcess &) = delete;
    SimProcess &operator=(const SimProcess &) = delete;

    /* Starts kaltro-sim with args and --log; waits for the COM number it
     * publishes. Returns that number, or -1 when it did not start. */
    int start(const std::vector<std::string> &args);
    void stop();
    /* The traffic log so far. */
    std::string log() const;
    /* How often text occurs in the log. */
    int count(const std::string &text) const;
    const std::string &folder() const { return dir; }

  private:
    std::string dir;
    pid_t pid = -1;
};
