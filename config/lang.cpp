/* lang.cpp -- the choice of the language (see lang.h): the locale's rules,
 * the remembered choice in the settings file, and the codes and names of the
 * records. No state beyond Lang itself (texts.cpp).
 */
#include "config/lang.h"

#include "config/settings.h"

#include <cstdlib>
#include <cstring>
#include <initializer_list>

static constexpr const char *KEY = "language";

struct Language_t {
    const char *Code;
    const wchar_t *Name;
};

/* By record number, as texts.h orders them. */
static constexpr Language_t Languages[LANG_COUNT] = {
    {"en", L"English"}, {"de", L"Deutsch"}, {"fr", L"Français"},   {"it", L"Italiano"},
    {"es", L"Español"}, {"pl", L"Polski"},  {"nl", L"Nederlands"},
};

const char *LANG_Code(int lang)
{
    return lang >= 0 && lang < LANG_COUNT ? Languages[lang].Code : nullptr;
}

const wchar_t *LANG_Name(int lang)
{
    return lang >= 0 && lang < LANG_COUNT ? Languages[lang].Name : nullptr;
}

/* The record of the language part of name[0 .. len): up to the first '_',
 * '.' or '@'; letters in either case. */
static int fromPart(const char *name, std::size_t len)
{
    std::size_t n = 0;
    while (n < len && name[n] != '_' && name[n] != '.' && name[n] != '@')
        n++;
    for (int l = 0; l < LANG_COUNT; l++) {
        const char *code = Languages[l].Code;
        if (std::strlen(code) != n) continue;
        bool same = true;
        for (std::size_t i = 0; i < n && same; i++)
            same = (name[i] | 0x20) == code[i];
        if (same) return l;
    }
    return -1;
}

int LANG_FromName(const char *name)
{
    return name != nullptr ? fromPart(name, std::strlen(name)) : -1;
}

static bool given(const char *v)
{
    return v != nullptr && v[0] != '\0';
}

int LANG_FromLocale(const char *language, const char *lcAll, const char *lcMessages,
                    const char *lang)
{
    if (given(language)) {
        /* a list of languages by preference, "de_AT:de:en" */
        for (const char *p = language; *p != '\0';) {
            const char *colon = std::strchr(p, ':');
            const std::size_t len =
                colon != nullptr ? static_cast<std::size_t>(colon - p) : std::strlen(p);
            if (const int l = fromPart(p, len); l >= 0) return l;
            p += colon != nullptr ? len + 1 : len;
        }
        return LANG_EN;
    }
    for (const char *v : {lcAll, lcMessages, lang})
        if (given(v)) return LANG_FromName(v) >= 0 ? LANG_FromName(v) : LANG_EN;
    return LANG_EN;
}

int LANG_FromEnvironment()
{
    return LANG_FromLocale(std::getenv("LANGUAGE"), std::getenv("LC_ALL"),
                           std::getenv("LC_MESSAGES"), std::getenv("LANG"));
}

int LANG_Remembered()
{
    char code[SETTINGS_VALUE_LEN];
    if (SETTINGS_Get(KEY, code, sizeof code) != 0) return -1;
    return LANG_FromName(code);
}

int LANG_Remember(int choice)
{
    return SETTINGS_Set(KEY, LANG_Code(choice));
}

int LANG_ForWindows()
{
    const int remembered = LANG_Remembered();
    return remembered >= 0 ? remembered : LANG_FromEnvironment();
}

void LANG_Use(int lang)
{
    if (lang >= 0 && lang < LANG_COUNT) Lang = lang;
}
