/* fileio.h -- whole files in and out: the safe save and the whole-file load.
 *
 * Saving never leaves the user with neither the old file nor the complete new
 * one: the bytes go to a temporary file in the same folder, are flushed to
 * the disk, and only then is the temporary file renamed over the target. A
 * failed write removes the temporary file and leaves the target as it was.
 * The temporary file has a short name of its own (".brevant-XXXXXX"), so a
 * target whose name takes the whole file-name limit saves too. A name that
 * is a link is saved through: the file it leads to is replaced, or made when
 * it does not exist yet, and the link stays.
 * The text-file saver and the image export both save through here.
 *
 * Loading reads a file whole into one heap block owned by the caller; these
 * file buffers are the program's only heap blocks.
 *
 * The one state kept is why the last save or load failed, for the message
 * the caller shows (BREVCFG_FileReason). Nothing here shows a dialog.
 */
#pragma once

#include <cstddef>
#include <cstdint>

/* Result codes of the save and load functions. */
constexpr int BREVCFG_FILE_OK = 0;     /* done */
constexpr int BREVCFG_FILE_EXISTS = 1; /* create-new mode and the file exists; nothing written */
constexpr int BREVCFG_FILE_CANNOT_WRITE = 2; /* cannot be created or written; old file untouched */
constexpr int BREVCFG_FILE_CANNOT_READ = 3;  /* cannot be opened or read whole */

/* Save modes. */
constexpr int BREVCFG_CREATE_NEW = 0; /* create only when no file of that name exists */
constexpr int BREVCFG_REPLACE = 1;    /* create, or replace an existing file */

/* Longest path the save accepts, in bytes, without the ending NUL. */
constexpr std::size_t BREVCFG_PATH_MAX = 4000;

/* A save in progress: the temporary file beside the target. */
struct BrevSave_t {
    int fd = -1;
    int mode = BREVCFG_REPLACE;
    char path[BREVCFG_PATH_MAX + 1] = {};
    char tmp[BREVCFG_PATH_MAX + 32] = {};
};

/* Safe save, in two steps for callers that must change nothing until the
 * file can be made (the text-file saver normalises the table only then). */
/* Checks the target and creates the temporary file. Returns BREVCFG_FILE_OK,
 * BREVCFG_FILE_EXISTS (mode BREVCFG_CREATE_NEW and the name exists), or
 * BREVCFG_FILE_CANNOT_WRITE (also when the name is a folder). On any result
 * but OK there is nothing to end. */
int BREVCFG_SaveBegin(BrevSave_t *s, const char *path, int mode);
/* Writes the n bytes, flushes them to the disk and renames the temporary file
 * over the target. Returns BREVCFG_FILE_OK, BREVCFG_FILE_EXISTS (create-new
 * mode and the name appeared meanwhile), or BREVCFG_FILE_CANNOT_WRITE. The
 * temporary file is gone afterwards whatever the result. */
int BREVCFG_SaveCommit(BrevSave_t *s, const void *data, std::size_t n);
/* Removes the temporary file of a begun save; the target stays as it was. */
void BREVCFG_SaveAbort(BrevSave_t *s);
/* Both steps at once: the n bytes become the file at path (the image export
 * uses this with BREVCFG_REPLACE). Same results as BREVCFG_SaveCommit. */
int BREVCFG_SaveBytesFile(const char *path, const void *data, std::size_t n, int mode);

/* Whole-file loading. */
/* Sets *buf to nullptr and *size to 0 first. Returns 0 with a new buffer in
 * *buf and the file's size in *size; an empty file gives 0 with no buffer and
 * size 0. Returns 1 with no buffer when the file cannot be opened, is not a
 * regular file (a folder, a device, a pipe), is larger than INT32_MAX bytes,
 * the memory cannot be had, or fewer bytes arrive than the file's size. Release the buffer with
 * BREVCFG_DeallocFileBuffer. */
int BREVCFG_LoadWholeFile(const char *path, unsigned char **buf, int *size);
/* Releases a buffer from BREVCFG_LoadWholeFile; nullptr is ignored. */
void BREVCFG_DeallocFileBuffer(unsigned char *buf);

/* Why the last failed save or load failed, in the system's words ("Read-only
 * file system", "No space left on device", "Permission denied", "not a
 * regular file"); empty when the last call succeeded. */
const char *BREVCFG_FileReason();
