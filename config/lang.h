/* lang.h -- which language the windows speak: the record of the text table
 * and of the resources that Lang selects (texts.h).
 *
 * The locale decides as it does for every program on the system: the first
 * of LANGUAGE, LC_ALL, LC_MESSAGES and LANG that is set and not empty, by its
 * language part ("de_AT.UTF-8" is German; in LANGUAGE's list of languages
 * the first the program has); a language it does not have, "C" and "POSIX"
 * give English. A choice the user made in the Language menu, remembered in
 * the settings file as "language=de", overrides the locale for the windows;
 * brevant-cli follows the locale alone.
 */
#pragma once

#include "config/texts.h"

/* The language's code ("de") and its name in its own language ("Deutsch"). */
const char *LANG_Code(int lang);
const wchar_t *LANG_Name(int lang);

/* The record of a language code or a locale name ("de", "de_AT.UTF-8@euro",
 * "nl_BE"), or -1 for one the program does not have. */
int LANG_FromName(const char *name);

/* The record the locale asks for, from the four variables' values (nullptr
 * for one that is not set). */
int LANG_FromLocale(const char *language, const char *lcAll, const char *lcMessages,
                    const char *lang);
/* The same from the environment. */
int LANG_FromEnvironment();

/* The remembered choice: a record, or -1 to follow the locale (also when the
 * settings file is missing, unreadable or names no language the program has). */
int LANG_Remembered();
/* Remembers choice (a record, or -1 to follow the locale again) for the next
 * runs; 0, or 1 when the settings file cannot be written (SETTINGS_Reason). */
int LANG_Remember(int choice);

/* The windows' language: the remembered choice, else the locale's. */
int LANG_ForWindows();
/* Makes record lang the one TXT and RES_Text read. */
void LANG_Use(int lang);
