/* standin.h -- a stand-in serial port for the fuzz targets, put into the
 * port's system-call table (link/rs232os.h).
 *
 * Nothing is opened. What the program writes is kept; every read is answered
 * with the next piece of the fuzz input; time runs on the stand-in's own
 * clock, which a wait moves on at once, so a quiet read or a pause costs
 * nothing. The reads are given as a count byte and that many bytes each; a
 * count of 0, or the end of the input, is a quiet read, a piece longer than
 * a read takes (200 bytes) arrives over two reads, as a burst does, and the
 * count 255 is a hang-up (the port is lost, as when an adapter is pulled).
 */
#pragma once

#include <cstddef>
#include <cstdint>

/* Called when a read begins, with what was written since the last one. */
using STANDIN_WriteCheck = void (*)(const unsigned char *written, std::size_t len);
/* Called when a read ends, with the bytes it gave the program (its NUL bytes
 * dropped, as the port drops them; none for a quiet read or a hang-up). */
using STANDIN_ReadWatch = void (*)(const unsigned char *read, std::size_t len);

/* Puts the stand-in into the table and opens the port on it (the Kaltro
 * answers the identification), unless it is open already: first, and again
 * after a hang-up. False if it did not open. */
bool STANDIN_Open();
/* The reads to answer from now on, and the most bytes one write takes (0:
 * all it is given). Forgets what was written before. */
void STANDIN_SetReads(const std::uint8_t *data, std::size_t size, std::size_t writeMax);
/* The check called at each read (nullptr: none). */
void STANDIN_SetWriteCheck(STANDIN_WriteCheck check);
/* Runs the check on what was written since the last read began, as a read
 * would: for writes that no read follows. */
void STANDIN_CheckWritten();
/* The watch called at the end of each read (nullptr: none). */
void STANDIN_SetReadWatch(STANDIN_ReadWatch watch);
/* Bytes of the reads not given yet; every read is quiet once none are left. */
std::size_t STANDIN_ReadsLeft();
/* Stops the run as a finding when ok is false. */
void STANDIN_Check(bool ok);
