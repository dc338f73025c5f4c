/* pty.cpp -- the simulator's end of the line: a new pseudo-terminal.
 *
 * The simulator keeps a descriptor of the slave side open for its whole life,
 * so the master never sees a hang-up while the program has the port closed,
 * and sets that side raw, so nothing the simulator writes is echoed or
 * translated before the program has opened the port and set it up itself.
 * This is the simulator's own terminal code; the program's is in link/.
 */
#include "sim/simint.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

int PTY_Open(int *master, int *slave, char *path, std::size_t len)
{
    int m = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m < 0) return -1;
    if (grantpt(m) != 0 || unlockpt(m) != 0 || ptsname_r(m, path, len) != 0) {
        close(m);
        return -1;
    }
    int s = open(path, O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios t{};
    if (s < 0 || tcgetattr(s, &t) != 0) {
        if (s >= 0) close(s);
        close(m);
        return -1;
    }
    cfmakeraw(&t);
    cfsetispeed(&t, B115200);
    cfsetospeed(&t, B115200);
    tcsetattr(s, TCSANOW, &t);
    int flags = fcntl(m, F_GETFL);
    fcntl(m, F_SETFL, flags | O_NONBLOCK);
    *master = m;
    *slave = s;
    return 0;
}
