/* settings.h -- the user's remembered choices: the text file "settings" in
 * the program's settings folder, $XDG_CONFIG_HOME/brevant/ (~/.config/brevant/
 * where that variable is not set or not an absolute path), one "key=value" a
 * line.
 *
 * Reading never fails the program: a file that is missing, unreadable, too
 * large or holds lines that mean nothing gives "not set" for what it does not
 * clearly say. Writing one key keeps every other line as it was, those of
 * other features and lines it does not understand included, and replaces the
 * file only once the whole new file is on the disk.
 */
#pragma once

#include <cstddef>

constexpr std::size_t SETTINGS_VALUE_LEN =
    1024; /* bytes of a value (a folder), the ending NUL included */
constexpr std::size_t SETTINGS_FILE_MAX = 65536; /* a larger file is not a settings file */

/* The settings file's path; 0, or 1 when there is no home to put it in. */
int SETTINGS_Path(char *out, std::size_t len);

/* The value of key (the last line that sets it, spaces around it taken
 * off); 0, or 1 with an empty value when the file does not set it. */
int SETTINGS_Get(const char *key, char *value, std::size_t len);

/* Sets key to value, or removes its lines when value is nullptr, making the
 * folder when it is missing. Returns 0, or 1 with the file as it was: no
 * home, a value too long or with a line break, a file that exists but cannot
 * be read whole or is too large (its other lines would be lost), a folder or
 * file that cannot be made or written. SETTINGS_Reason says which. */
int SETTINGS_Set(const char *key, const char *value);

/* Why the last SETTINGS_Set failed, in the system's words where it gave
 * some; empty after a success. */
const char *SETTINGS_Reason();

/* The COM number the windows used last (key "com_port"), or 0; and
 * remembering one (a number that cannot be remembered is only not offered
 * first next time). */
int SETTINGS_ComPort();
void SETTINGS_RememberComPort(int port);
