/* rs232.h -- the serial link to the Kaltro controller and, through it, the
 * dCSS device: the port, the command protocol and the XModem sender.
 *
 * Principles of operation
 * - One port serves the whole program. The port module (rs232.cpp) owns the
 *   current port number `Port`, the open handle `hSerial`, the device path
 *   `COMs` and the shared reply buffer `lpBuf`. Every read clears that buffer
 *   and fills it again, so a reply must be parsed before the next read.
 * - A read (ReadABuffer) returns at most 200 bytes: 10 ms after the last byte
 *   once one has arrived, or after 200 ms in all on a quiet line. NUL bytes
 *   never reach the buffer. Longer replies, or replies with a pause inside,
 *   arrive over several reads; the callers loop over reads.
 * - Commands are lower-case ASCII lines ended by a carriage return. The Kaltro
 *   answers its own commands in plain text and relays the rest to the device,
 *   printing the device's answer as "Rx:", one character, "0xE4" (accepted;
 *   any other digit after "0xE" is a refusal) and the data bytes D1, D2, ...,
 *   each as a separator and "0x" with two hex digits.
 * - Images go to the Kaltro by XModem with CRC-16 and 1024-byte blocks. The
 *   functions here do one step each; the transfer's step machine in ops/
 *   drives them, one step per tick of a dialog's timer or of brevant-cli's
 *   loop.
 * - Every failure is a result value; nothing is shown or logged here. Inside
 *   the module "no reply", "refused" and "system error" stay apart, even
 *   where a caller sees one value: why a port could not be opened is kept
 *   (RS232_GetPortError), and a port that hung up or went away is closed and
 *   reported lost (RS232_PortLost) instead of read as a silent line, also
 *   when it goes in the middle of one of the protocol's pauses.
 *
 * Everything is called from one thread, the windows' or brevant-cli's, and
 * blocks it for the length of its exchange.
 */
#pragma once

#include "config/velnor.h"
#include "link/portinfo.h"

#include <cstdint>

/* ---- Sizes and result codes ----------------------------------------------- */

constexpr int RS232_BUF_SIZE = 2048;              /* the reply buffer */
constexpr std::uint32_t RS232_READ_MAX = 200;     /* bytes asked for by one read */
constexpr int RS232_PORT_LIMIT = 1024;            /* the scan ends below this number */
constexpr int RS232_PATH_LEN = PORTINFO_PATH_LEN; /* room for the device path */
constexpr int RS232_NAME_MAX = 43;                /* characters of a stored name */
constexpr int RS232_NAME_CMD_LEN = 50;            /* "lnaw " + name + "\r" + NUL */

/* RS232_OpenPort, RS232_KaltroIdentification, RS232_GetOKReply,
 * RS232_GetLOFrequency, RS232_GetXModemStarter. */
constexpr int RS232_OK = 0;
constexpr int RS232_FAILED = 1;

/* RS232_Progress. */
constexpr int RS232_PORT_FOUND = 0;   /* Kaltro on `Port`, port left open */
constexpr int RS232_PORT_NEXT = 1;    /* not on this port; `Port` advanced */
constexpr int RS232_PORT_NO_MORE = 2; /* `Port` at 1024 or above */

/* RS232_ProgramEN5520. */
constexpr std::int8_t RS232_EN_ACCEPTED = 0;
constexpr std::int8_t RS232_EN_NO_REPLY = 1;
constexpr std::int8_t RS232_EN_REFUSED = 2;

/* RS232_FindDeviceReply, RS232_GetLastAnswer, RS232_GetDrainAnswer. */
constexpr int RS232_REPLY_NONE = 0;     /* no complete "Rx:" ... "0xE" header */
constexpr int RS232_REPLY_ACCEPTED = 1; /* "0xE4" */
constexpr int RS232_REPLY_REFUSED = 2;  /* "0xE" and another digit */

/* Transfer types of RS232_KaltroDownloadInit. */
constexpr int XM_TYPE_DEVICE = 0;     /* dCSS device image, "lnbs 2" or "lnbs 4" */
constexpr int XM_TYPE_KALTRO_SW = 1;  /* the Kaltro's own software, "rest" */
constexpr int XM_TYPE_KALTRO_CFG = 2; /* configuration kept by the Kaltro, "load" */

/* RS232_KaltroDownloadInit. */
constexpr int XM_STARTED = 0;
constexpr int XM_BAD_TYPE = 1;
constexpr int XM_NO_DEVICE = 5; /* the device did not acknowledge the start */
constexpr int XM_EMPTY = 7;     /* nothing to send */

/* RS232_XModemWaitACK. */
constexpr int XM_ANSWER_ACK = 0;
constexpr int XM_NO_ANSWER = 6;
constexpr int XM_ANSWER_CAN = 8;
constexpr int XM_ANSWER_NAK = 9;

/* XModem control bytes. */
constexpr unsigned char XM_SOH = 0x01; /* header of a 128-byte block */
constexpr unsigned char XM_STX = 0x02; /* header of a 1024-byte block */
constexpr unsigned char XM_EOT = 0x04;
constexpr unsigned char XM_ACK = 0x06;
constexpr unsigned char XM_NAK = 0x15;
constexpr unsigned char XM_CAN = 0x18;
constexpr unsigned char XM_CRC_START = 0x43; /* "C": receiver ready, CRC mode */
constexpr unsigned char XM_PAD = 0x1A;
constexpr int XM_BLOCK_SMALL = 128;
constexpr int XM_BLOCK_LARGE = 1024;
constexpr int XM_LARGE_ABOVE = 768; /* 1024-byte blocks while more than this remains */
constexpr int XM_FRAME_MAX = 3 + XM_BLOCK_LARGE + 2;

/* ---- Port number and scan ------------------------------------------------- */

int RS232_GetLastPortNumber();
void RS232_SetPortNumber(int NewPortNo);
/* Port 1, and a new scan: the scan's refusal is cleared. */
void RS232_ResetPortNumber();
/* 0: port PortNo open and a Kaltro answered (tone switched off); 1: failure,
 * no port open. A port still open from before is closed first. */
int RS232_OpenPort(int PortNo);
/* The same open for a device given by its path (a terminal that has no COM
 * number); the current number becomes 0, so a lost port is not reopened. */
int RS232_OpenPath(const char *Path);
/* One scan step on `Port`: 0 found (port left open), 1 not here (`Port`
 * advanced by one), 2 no number left (`Port` 1024 or above). */
int RS232_Progress();
/* The same step on port PortNo, for a scan that keeps its own count: 0 found
 * (port left open, PortNo the current number), 1 not here (why:
 * RS232_GetPortError; a refusal is kept for RS232_GetScanRefusal). */
int RS232_ScanPort(int PortNo);
/* Closes the port if it is open; always 0. */
int RS232_Term();
/* The first port the running scan met that exists but was refused to the
 * user (permission, in use), to be told when the scan finds no Kaltro;
 * RS232_FAULT_NONE when there was none. Cleared by RS232_ResetPortNumber
 * and RS232_ClearScanRefusal. */
const RS232_PortError_t *RS232_GetScanRefusal();
void RS232_ClearScanRefusal();
/* The device path of the port opened last (empty before the first open). */
const char *RS232_GetDevicePath();
/* Why the last open (RS232_OpenPort, RS232_Progress, RS232_Reconnect) failed,
 * or what failed on the open port since: the device, the fault and the
 * system's reason (Errno), each failure with its own. RS232_FAULT_NONE after
 * a successful open. A lost port gives RS232_FAULT_NO_DEVICE with the reason
 * of the read, write, wait or pause that found it gone (EIO for a hang-up),
 * told by PORTINFO_LostMessage; a read or write that failed without losing
 * the port gives RS232_FAULT_IO (ETIMEDOUT: a write ran out of its time). */
const RS232_PortError_t *RS232_GetPortError();
/* 1 when the open port hung up or went away since it was opened (it is
 * closed, and every read and write fails at once), else 0. */
int RS232_PortLost();
/* Looks, without waiting and without reading or taking a byte, whether the
 * open port has hung up; one that has is closed and lost as by a failed
 * read. Returns RS232_PortLost(). For waits made outside this module (the
 * windows' sleeps), between their slices. */
int RS232_WatchLine();
/* After a loss, opens the same port number again (identification and tone
 * off, as any open): 0 open again, 1 still gone. 0 when nothing was lost. */
int RS232_Reconnect();

/* ---- Raw transport (for the protocol and XModem layers) ------------------- */

/* Writes dwToWrite bytes within 1 ms per byte plus 1 ms. 1 written, 0 failed
 * (no port, an error, or not all bytes taken in time). */
int WriteABuffer(const char *lpBuf, std::uint32_t dwToWrite);
/* One read of up to 200 bytes into the cleared reply buffer, which it returns;
 * *dwRead receives the count. NUL bytes are dropped. A failed read gives an
 * empty buffer and a count of 0. */
char *ReadABuffer(std::uint32_t *dwRead);
/* Blocks for ms milliseconds of real time (the protocol's own pauses). While
 * a port is open it is watched: a hang-up ends the pause at once and loses
 * the port (RS232_PortLost), as a failed read does. */
void RS232_Pause(unsigned ms);

/* ---- Device replies ------------------------------------------------------- */

/* Writes Command once and reads up to seven times for the device's reply.
 * Returns the reply buffer when the device accepted, else nullptr. NoBytes
 * receives the count of the last read; Location (optional) the offset of the
 * data bytes, 0 when no reply header came, above 0 after a refusal. */
char *RS232_SendCommand(const char *Command, std::uint32_t *NoBytes, std::uint32_t *Location);
/* The device's answer to the last RS232_SendCommand, and so to the last
 * getter, "lnbg" or "entp", or to the last RS232_GetOKReply (its verdict on
 * an image): RS232_REPLY_ACCEPTED (whether or not its data
 * bytes were complete), RS232_REPLY_REFUSED, or RS232_REPLY_NONE (no
 * complete header in seven reads, or the command did not go out). */
int RS232_GetLastAnswer();
/* Value of the first "0x" and two hex digits within NoBytes of Buf; 0 when
 * there is none or a digit is not hexadecimal. */
std::uint8_t RS232_GetHexDigit(const char *Buf, std::uint32_t NoBytes);
/* Seven reads; 0 when any held "Rx:", one character, "0xE4", else 1. */
int RS232_GetOKReply();

/* ---- Kaltro commands ------------------------------------------------------ */

int RS232_KaltroIdentification();     /* 0 the Kaltro answered "0x54", 1 not */
void RS232_KaltroClose();             /* a bare carriage return, one read */
std::uint16_t RS232_GetKaltroSWVer(); /* major << 8 | minor; 0 without a version */
int RS232_GetVoltage();               /* supply level 0 to 15; 0 without a reading */
int RS232_SetVoltage(int Voltage);    /* "setv"; nothing read; always 0 */
void RS232_Set22kHzTone(std::uint8_t Active);
void RS232_SetConfigType(std::uint8_t Type);
void RS232_StoreConfigName(const char *Name);
/* The stored name, inside the reply buffer, or nullptr. */
char *RS232_ReadConfigName();

/* ---- Device getters (failure values as noted) ----------------------------- */

int RS232_GetDeviceID(); /* 0..255, -1 */
/* The device ID, as "lnbe" with one read instead of seven: a quick look
 * whether a device has come on the output, for a loop that asks again and
 * again (an answer that comes late stays in the line for the next one). */
int RS232_ProbeDeviceID();                            /* 0..255, -1 */
std::int8_t RS232_GetDBaseVersion();                  /* 0 */
std::int8_t RS232_GetSWVersion();                     /* 0 */
int RS232_GetTemperature();                           /* 0 */
int RS232_GetFWVersion();                             /* 0 */
int RS232_GetSN();                                    /* 0 */
std::int8_t RS232_GetEN50494Plus();                   /* 0 or 1, -1 */
std::int8_t RS232_GetWideBandInfo();                  /* 0 or 1, -1 */
std::int8_t RS232_GetLegacyInfo();                    /* 0 to 2, -1 */
std::int8_t RS232_GetChainConnection();               /* 0 to 15, -1 */
int RS232_GetLOFrequency(int *LOFreqL, int *LOFreqH); /* 0 read, 1 none (both 0) */
std::int8_t RS232_GetUBNumber();                      /* -1 */
std::int8_t RS232_GetOutputNumber();                  /* 0 or 1, -1 */
/* Reads band UBNumber into *VelnorCfg; an incomplete or missing reply leaves
 * the record as it was. Always 0. */
int RS232_ReadConfig(VelnorCfg_t *VelnorCfg, int UBNumber);
/* The same read, telling whether the band came: 0 read, 1 no complete reply
 * (the record left as it was). */
int RS232_ReadBand(VelnorCfg_t *VelnorCfg, int UBNumber);

/* ---- Device setters and programming --------------------------------------- */

/* "entp": 0 accepted, 1 no reply, 2 refused. */
std::int8_t RS232_ProgramEN5520(std::uint8_t OutNo, std::uint8_t UBNumber, std::uint16_t UBFreq,
                                std::uint8_t UB_BW, std::int8_t Level, std::uint16_t TPFreq,
                                std::uint8_t TPPol, std::uint8_t Feed, std::uint8_t SI);
void RS232_SetEN50494Plus(std::uint8_t Active);
void RS232_SetInputsType(std::uint8_t Type);
void RS232_SetLegacyInfo(std::uint8_t Legacy);
void RS232_SetChainConnection(int Active, int Selection);
void RS232_StoreDBaseVer(std::uint8_t Version);
/* 0 when the reply read away after the last drained command (the setters
 * above, the tone, "lnal", "lnaw", "lnad") held "Rx:", one character,
 * "0xE4"; 1 otherwise. The setters themselves stay silent about it. The
 * device setters ("lnah", "lnaa", "legs", "lnca", "lnad") wait for the
 * device's answer as a read does, up to seven reads; the Kaltro's own
 * commands (the tone, "lnal", "lnaw") end once the line is quiet. */
int RS232_GetDrainReply();
/* The same drained reply told three ways: RS232_REPLY_ACCEPTED ("0xE4"
 * anywhere in it), RS232_REPLY_REFUSED (a complete header, none accepting),
 * RS232_REPLY_NONE (no complete header: a device that did not answer, or
 * the Kaltro's own commands, which carry none). */
int RS232_GetDrainAnswer();

/* ---- Reply parsing (plain functions over one read) ------------------------ */

/* Finds the first "Rx:" in Buf and classifies it: accepted, refused or none
 * (no "Rx:", or no complete "0xE" and digit after it). For accepted and
 * refused *Location (optional) is the offset of the data bytes. */
int RS232_FindDeviceReply(const char *Buf, std::uint32_t NoBytes, std::uint32_t *Location);
/* Data byte D(Index + 1) of a reply whose data start at Location: 0..255, or
 * -1 when it is missing or unreadable. */
int RS232_GetDataByte(const char *Buf, std::uint32_t NoBytes, std::uint32_t Location, int Index);
/* The Kaltro software version after "ver."; -1 when the read has no "ver.". */
int RS232_ParseKaltroSWVer(const char *Buf, std::uint32_t NoBytes);
/* The voltage reading after the echo "volt", digits only ("13.25" gives
 * 1325), saturated; 0 without the echo or a digit. */
int RS232_ParseVoltage(const char *Buf, std::uint32_t NoBytes);
/* The supply level 0 to 15 of a reading. */
int RS232_VoltageLevel(int Value);
/* The name after "Name stored: ", ended in place with a NUL; nullptr. */
char *RS232_ParseConfigName(char *Buf, std::uint32_t NoBytes);
/* Fills *Cfg from an "lnbg" reply; 0 filled, 1 a data byte is missing (the
 * record is left as it was). */
int RS232_ParseUBRecord(const char *Buf, std::uint32_t NoBytes, std::uint32_t Location,
                        VelnorCfg_t *Cfg);
/* Builds "lnaw <name>\r" into Cmd: at most 43 characters of Name, each
 * outside 0x20..0x7E sent as "?". */
void RS232_BuildNameCommand(char (&Cmd)[RS232_NAME_CMD_LEN], const char *Name);

/* ---- XModem sender -------------------------------------------------------- */

/* 0 started; 1 bad Type; 5 the device did not acknowledge "lnbs"; 7 Size 0 or
 * less (nothing written). */
int RS232_KaltroDownloadInit(int Size, int Type, int ModelId);
/* 0 when a "C" came within 19 reads, else 1. */
int RS232_GetXModemStarter();
/* Builds and writes the packet for the current state; always 0. */
int RS232_SendXModemPacket(const unsigned char *Buffer);
/* 0 ACK, 9 NAK, 8 CAN, 6 nothing recognised in one read. */
int RS232_XModemWaitACK();
/* The first ACK, NAK or CAN byte of one read, or 0. */
std::uint8_t RS232_GetXModemReply();
void RS232_XModemNextPacket();
int RS232_SendXModemEOT(); /* always 0 */
std::uint8_t RS232_GetPacketNumber();
int RS232_GetCurrentXModemSize();
std::uint16_t RS232_CalculateCRC16(const unsigned char *Buffer, std::uint16_t Size);
/* Builds the packet for the current state into Frame (XM_FRAME_MAX bytes) and
 * returns its length, 133 or 1029. Buffer is the whole image. */
int RS232_BuildXModemPacket(const unsigned char *Buffer, unsigned char *Frame);
/* The first ACK, NAK or CAN byte within NoBytes of Buf, or 0. */
std::uint8_t RS232_FirstXModemAnswer(const char *Buf, std::uint32_t NoBytes);
