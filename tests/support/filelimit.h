/* filelimit.h -- no file may grow past a size while the object lives, as on
 * a full disk: a write past it fails with EFBIG (its signal is ignored for
 * that time) instead of ending the test process.
 *
 *   { FileSizeLimit full(100); ...a save that must fail... }
 */
#pragma once

#include <csignal>
#include <sys/resource.h>

struct FileSizeLimit {
    rlimit saved{};
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit small = saved;
        small.rlim_cur = bytes;
        std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, SIG_DFL);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;
};
