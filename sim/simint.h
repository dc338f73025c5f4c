/* simint.h -- how the parts of the simulator reach each other.
 *
 *   sim.cpp       the line: pseudo-terminal, pacing, faults on output, log,
 *                 the serving loop and the lock
 *   kaltro.cpp    the controller: command lines, its own commands, relaying
 *   device.cpp    the dCSS device: its state, commands, images, state file
 *   swap.cpp      device after device: swaps, serial numbers, faulty devices
 *   xmodemrx.cpp  XModem reception for the controller
 *   pty.cpp       creating the pseudo-terminal
 *
 * Times are monotonic nanoseconds (SIMIO_Now). Everything below runs on the
 * serving thread with the lock held.
 */
#pragma once

#include "sim/sim.h"

#include <cstddef>
#include <cstdint>

/* ---- The line (sim.cpp) -------------------------------------------------- */

std::int64_t SIMIO_Now();
const SIM_Options &SIMIO_Options();
/* Queues a text reply, delayMs after now. splits[] are offsets where --split
 * puts its pauses. Faults (noise, NUL, split, silence) are applied here. */
void SIMIO_Send(const char *text, std::size_t len, const std::size_t *splits, int nsplits,
                int delayMs);
/* Queues XModem control bytes ("C", ACK, NAK, CAN). */
void SIMIO_SendControl(const unsigned char *bytes, std::size_t len);
/* Silences every later answer (--stop-after reached). */
void SIMIO_Mute();
/* Appends printf-style text at *len of out, a buffer of cap bytes, and moves
 * *len past it; text that does not fit is cut, so *len stays below cap and
 * out stays NUL-terminated however many pieces are summed. */
void SIMIO_Append(char *out, std::size_t cap, std::size_t *len, const char *fmt, ...)
    __attribute__((format(printf, 4, 5)));
/* One line in the traffic log, when there is one. */
void SIMIO_Log(const char *fmt, ...) __attribute__((format(printf, 1, 2)));

/* ---- The pseudo-terminal (pty.cpp) ---------------------------------------- */

/* A new pseudo-terminal in raw mode; the master and a slave descriptor kept
 * open by the simulator, and the slave's path. 0, or -1. */
int PTY_Open(int *master, int *slave, char *path, std::size_t len);

/* ---- The controller (kaltro.cpp) ------------------------------------------ */

void SIMKAL_Init(const SIM_Kaltro &initial);
SIM_Kaltro &SIMKAL_State();
void SIMKAL_Input(unsigned char c, std::int64_t now);
/* The next moment SIMKAL_Tick wants to run, or -1. */
std::int64_t SIMKAL_NextTimer();
void SIMKAL_Tick(std::int64_t now);
int SIMKAL_CommandCount(const char *verb);
const char *SIMKAL_LastCommand();
/* Called by the receiver when a transfer has ended, well or not. */
void SIMKAL_TransferEnded(SIM_ImageKind kind, const unsigned char *image, int len,
                          SIM_TransferEnd end);

/* ---- The device (device.cpp) ---------------------------------------------- */

/* The model's defaults. 0, or 1 for an unknown model name. */
int SIMDEV_Init(const char *model);
SIM_Device &SIMDEV_State();
/* Loads a state file into the device and *kaltro. 0, or 1 with err. */
int SIMDEV_LoadState(const char *path, SIM_Kaltro *kaltro, char *err, std::size_t errLen);
/* Carries out a device command. Returns the acknowledgement digit (4
 * accepted, another digit refused), or -1 when the device does not answer
 * (it has dropped off), and fills data[] with *count bytes. */
int SIMDEV_Command(const char *verb, const char *args, std::uint8_t *data, int *count);
/* Takes a received device image: 0 a configuration image, decoded into the
 * UB table; 1 not a configuration image; 2 a damaged configuration image;
 * 3 refused by a faulty device (BandRefused). */
int SIMDEV_TakeImage(const unsigned char *image, int len);
/* Starts a new programming session for --no-space (power-up, "lnad"). */
void SIMDEV_NewSession();

/* The packet of a device image at which the device drops off (DropsOff), or 0. */
int SIMDEV_DropPacket();
/* Takes the device off the line for good (DropsOff has struck). */
void SIMDEV_Drop(const char *when);

/* ---- Device after device (swap.cpp) --------------------------------------- */

/* Starts the schedule; the device as set up is the first. */
void SIMSWAP_Init(std::int64_t now);
/* Takes the device off now; a new one goes on after the gap. */
void SIMSWAP_Begin(std::int64_t now);
/* The moment the device on the output may answer (the power delay after it
 * went on); 0 before any swap, INT64_MAX while the output has none. */
std::int64_t SIMSWAP_ReadyAt();
std::int64_t SIMSWAP_NextTimer();
void SIMSWAP_Tick(std::int64_t now);
int SIMSWAP_Count();

/* ---- XModem reception (xmodemrx.cpp) -------------------------------------- */

/* Forgets any transfer (a new simulator in the same process). */
void SIMXM_Reset();
/* CRC-16/XMODEM, the simulator's own, for packets and configuration images. */
std::uint16_t SIMXM_Crc16(const unsigned char *p, int len);
void SIMXM_Begin(SIM_ImageKind kind, std::int64_t now);
bool SIMXM_Active();
void SIMXM_Input(unsigned char c, std::int64_t now);
std::int64_t SIMXM_NextTimer();
void SIMXM_Tick(std::int64_t now);
SIM_Transfer &SIMXM_Transfer();
const unsigned char *SIMXM_Image();
