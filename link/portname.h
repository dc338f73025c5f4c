/* portname.h -- which device a port number names.
 *
 * Port numbers are those the user sees, COM1 to COM1024 (0 for none). Port n
 * is the first of:
 *   1. a link named "COMn" in the ports folder, $XDG_RUNTIME_DIR/brevant/ports
 *      or, where that variable is not set, /tmp/brevant-<uid>/ports; the
 *      simulator publishes its pseudo-terminal there (a link whose target
 *      has gone counts as none);
 *   2. otherwise COM1-32 are /dev/ttyUSB0-31, COM33-64 /dev/ttyACM0-31,
 *      COM65-96 /dev/ttyS0-31, COM97-128 /dev/rfcomm0-31; other numbers name
 *      no device.
 * So "COMn" means the same device every time, and a USB controller is found
 * on the first numbers. A scan writes its identification into every device
 * of these that it can open, whatever is attached to it, built-in /dev/ttyS*
 * ports included; it skips only a built-in port with no UART behind it and
 * a port under a live UUCP lock. A simulator publishes at the first number
 * that has neither a live link nor a device, so it never hides hardware.
 */
#pragma once

#include <cstddef>

constexpr int PORTNAME_FIXED_LAST = 128; /* highest number with a fixed device */
/* The family of the built-in UARTs, COM65 to COM96. */
constexpr const char *PORTNAME_BUILTIN_FAMILY = "/dev/ttyS";

/* Resolution. Each writes a NUL-terminated path into out (len bytes) and
 * returns 0, or 1 when there is none or it does not fit. */
/* The ports folder. The /tmp fallback counts only when that folder is a
 * directory of the user's own that nobody else may write to. */
int PORTNAME_Folder(char *out, std::size_t len);
/* The device of port PortNo, by the order above. */
int PORTNAME_Device(int PortNo, char *out, std::size_t len);
/* The fixed device of PortNo (rule 2 alone). */
int PORTNAME_FixedDevice(int PortNo, char *out, std::size_t len);

/* Publishing (the simulator's side). */
/* 1 when PortNo has no live link and no existing fixed device, else 0. A link
 * whose target has gone is stale and does not count. */
int PORTNAME_IsFree(int PortNo);
/* Creates the folder when needed and the link COMn to target, replacing a
 * stale link. 0, or 1 when the number is taken or the link cannot be made. */
int PORTNAME_Publish(int PortNo, const char *target);
/* Publishes target at the first free number from 1; the number, or -1. */
int PORTNAME_PublishFirstFree(const char *target);
/* Removes link COMn if it still points at target. 0 removed, 1 not. */
int PORTNAME_Unpublish(int PortNo, const char *target);
