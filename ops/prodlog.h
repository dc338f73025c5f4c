/* prodlog.h -- the production record: one line per device appended to a log
 * file, as CSV under a fixed header or as JSON lines.
 *
 * Each line is written whole under an exclusive lock of the file and flushed
 * to the disk before the next device starts, so several Kaltros (processes)
 * can share one log without their lines running into each other, and a power
 * cut or a killed run loses at most the device in progress. An existing log
 * is appended to, never truncated.
 *
 * State: the open log, its format, and the configuration file's name and
 * digest that every record carries.
 */
#pragma once

#include "ops/prodop.h"

enum ProdLogFormat_t : int { PRODLOG_CSV = 0, PRODLOG_JSON = 1 };

/* The columns of the CSV log, also the keys of a JSON line, in order. */
extern const char PRODLOG_HEADER[];

/* Opens the log at path for appending, made when missing (mode 0644 before
 * the umask); a CSV log that is empty gets its header line. file and sha256
 * name the configuration file in every record. 0, or -1 with errno set. */
int PRODLOG_Open(const char *path, ProdLogFormat_t format, const char *file, const char *sha256);
/* Appends rec as one line; port is the Kaltro as given (a COM number as
 * "COM3", or a path), devicePath the terminal it was opened as. 0, or -1
 * with errno set when the line could not be written whole and flushed. */
int PRODLOG_Append(const ProdRecord_t *rec, const char *port, const char *devicePath);
void PRODLOG_Close();

/* Why the device did not pass, for a person: "3 differences", "program:
 * no_device at 5", "version refused"; "" for a pass. */
void PRODLOG_Reason(const ProdRecord_t *rec, char *text, int len);
