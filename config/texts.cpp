/* texts.cpp -- the English text record, the table of all records and the
 * language in use. Texts are quoted word for word as the windows show them
 * (85 to 94 are formats for the failures of the system the user must act on;
 * 0 ends with the version of the build); entries 28 and 41 are shown by no
 * window but keep their places so that every number keeps its text. The
 * other languages' records follow this one entry for entry, in texts_de.cpp
 * and its siblings.
 */
#include "config/texts.h"

#include <cwchar>

int Lang = LANG_EN;

extern constexpr Texts_t StrEn[] = {{{
    /*  0 */ L"Brevant v." BREVANT_VERSION,
    /*  1 */ L"OK",
    /*  2 */ L"No",
    /*  3 */ L"Yes",
    /*  4 */ L"Unknown",
    /*  5 */ L"Configuration upload",
    /*  6 */ L"Read",
    /*  7 */ L"Read Name",
    /*  8 */ L"Program",
    /*  9 */ L"Find",
    /* 10 */ L"Kaltro",
    /* 11 */ L"No.",
    /* 12 */ L"Active",
    /* 13 */ L"UB Frequency",
    /* 14 */ L"Bandwidth",
    /* 15 */ L"Out Level",
    /* 16 */ L"Spectral Inversion",
    /* 17 */ L"Static Mode",
    /* 18 */ L"TP Frequency",
    /* 19 */ L"Polarity",
    /* 20 */ L"Input",
    /* 21 */ L"Status",
    /* 22 */ L"Config Version",
    /* 23 */ L"SW Version",
    /* 24 */ L"IC Temperature",
    /* 25 */ L"Model",
    /* 26 */ L"FW Version",
    /* 27 */ L"Inputs",
    /* 28 */ L"dCSS Parameters",
    /* 29 */ L"Output Voltage",
    /* 30 */ L"Configuration Name",
    /* 31 */ L"UB bandwidth overlapped",
    /* 32 */ L"Duplicated UB frequency",
    /* 33 */ L"Output level out of range",
    /* 34 */ L"TP frequency out of range",
    /* 35 */ L"UB bandwidth out of range",
    /* 36 */ L"UB BW exceeds L-Band range",
    /* 37 */ L"UB freq. exceeds L-Band range",
    /* 38 */ L"UB inactive",
    /* 39 */ L"Transmission error",
    /* 40 */ L"No dCSS device is connected...",
    /* 41 */ L"Wrong UB quantity",
    /* 42 */ L"Configuration error",
    /* 43 */ L"Wrong file",
    /* 44 */ L"Empty file...",
    /* 45 */ L"No reply from Kaltro...",
    /* 46 */ L"Cancel",
    /* 47 */ L"Not found",
    /* 48 */ L"Exit",
    /* 49 */ L"Repeat",
    /* 50 */ L"COM Port",
    /* 51 */ L"Programmer",
    /* 52 */ L"dCSS Device",
    /* 53 */ L"Select Model",
    /* 54 */ L"EN50494+",
    /* 55 */ L"No SN",
    /* 56 */ L"Serial Number",
    /* 57 */ L"LO Frequencies [MHz]",
    /* 58 */ L"Number of UBs",
    /* 59 */ L"Output Port",
    /* 60 */ L"Chain Connection",
    /* 61 */ L"Quattro",
    /* 62 */ L"Wide Band",
    /* 63 */ L"Software upgrade successful!",
    /* 64 */ L"dCSS Device Setting",
    /* 65 */ L"Continue",
    /* 66 */ L"Serial Port",
    /* 67 */ L"Download in progress...",
    /* 68 */ L"Upload in progress...",
    /* 69 */ L"Upload successfully finished!",
    /* 70 */ L"Configuration upgrade successful!",
    /* 71 */ L"Software Upgrade",
    /* 72 */ L"Transmission started...",
    /* 73 */ L"Verification...",
    /* 74 */ L"Kaltro Settings",
    /* 75 */ L"Send Cfg to Kaltro",
    /* 76 */
    L"This feature allows to send configuration to internal Kaltro memory for further dCSS device "
    L"programming. By pressing PROGRAM button on Kaltro, dCSS device can be programmed (without "
    L"use of laptop or tablet).",
    /* 77 */ L"File exists!\nDo you want to overwrite it?",
    /* 78 */ L"File Message",
    /* 79 */ L"Get dCSS Device",
    /* 80 */ L"Wrong dCSS Device",
    /* 81 */ L"Legacy",
    /* 82 */ L"dCSS",
    /* 83 */ L"dCSS/Legacy",
    /* 84 */ L"No more space for UBs",
    /* 85 */
    L"The serial port %ls cannot be opened: permission denied.\n\nOnly members of the group "
    L"\"%ls\" may use it. Add your user to it with\n\n    sudo usermod -aG %ls $USER\n\nthen log "
    L"out and log in again.",
    /* 86 */
    L"The serial port %ls is in use by another program.\n\nClose that program and try again.",
    /* 87 */
    L"The serial port %ls is in use by another program (%ls, process %d).\n\nClose that program "
    L"and try again.",
    /* 88 */ L"%ls is not a serial port.\n\nChoose another port number.",
    /* 89 */
    L"The serial port %ls refused the line settings (115200 baud, 8 data bits, no parity, 1 stop "
    L"bit): %ls.",
    /* 90 */ L"The file %ls could not be saved: %ls.\n\nThe file on the disk is unchanged.",
    /* 91 */ L"The file %ls could not be read: %ls.",
    /* 92 */
    L"The serial port %ls cannot be opened: permission denied.\n\nls -l shows it as %ls: no "
    L"group you could join may read and write it. An administrator can give it to the group "
    L"%ls with\n\n    %ls\n\nthen add your user to that group and log out and log in again.",
    /* 93 */
    L"The serial port %ls cannot be opened: permission denied.\n\nls -l shows it as %ls: no "
    L"group you could join may read and write it. An administrator can give this USB adapter "
    L"to the group %ls with a udev rule, the line\n\n    %ls\n\nin a file of "
    L"/etc/udev/rules.d such as 60-brevant-serial.rules; then plug the adapter in again, add "
    L"your user to that group and log out and log in again.",
    /* 94 */ L"The file %ls could not be saved: %ls.",
    /* 95 */ L"Verifying...",
    /* 96 */ L"Verified",
    /* 97 */ L"Verification failed",
    /* 98 */ L"Compare with Device...",
    /* 99 */ L"Verify after Program",
    /* 100 */ L"Production...",
    /* 101 */ L"Compare with Device",
    /* 102 */ L"The device holds this table.",
    /* 103 */ L"UB %d: %ls %ls here, %ls in the device",
    /* 104 */ L"UB %d: not in the device",
    /* 105 */ L"%ls %ls here, %ls in the device",
    /* 106 */ L"Take the Device's Table",
    /* 107 */ L"Close",
    /* 108 */ L"Production",
    /* 109 */ L"Log file:",
    /* 110 */ L"Choose...",
    /* 111 */ L"Start",
    /* 112 */ L"Stop",
    /* 113 */ L"The Kaltro does not answer",
    /* 114 */ L"Waiting for a device",
    /* 115 */ L"Programming %d %%",
    /* 116 */ L"Verifying %d %%",
    /* 117 */ L"PASS %ls",
    /* 118 */ L"FAIL %ls: %ls",
    /* 119 */ L"%ls is done: take it off",
    /* 120 */ L"Stopped",
    /* 121 */ L"Passed %ld    Failed %ld    %ld devices an hour",
    /* 122 */ L"Last devices",
    /* 123 */ L"Choose a log file first.",
    /* 124 */ L"The log %ls cannot be written: %ls.\n\nProduction has stopped.",
    /* 125 */ L"programming failed",
    /* 126 */ L"wrong model",
    /* 127 */ L"device lost",
    /* 128 */ L"cancelled",
    /* 129 */ L"Table: %ls, %d UBs, config version %ls",
    /* 130 */ L"no serial number",
    /* 131 */ L"The device holds another table:",
}}};

void TXT_Widen(const char *s, wchar_t *out, unsigned len)
{
    if (len == 0) return;
    const auto *p = reinterpret_cast<const unsigned char *>(s != nullptr ? s : "");
    unsigned n = 0;
    while (*p != 0 && n + 1 < len) {
        unsigned c = *p++;
        int more = -1; /* continuation bytes of the character; -1 not UTF-8 */
        if (c < 0x80)
            more = 0;
        else if (c >= 0xC2 && c < 0xE0)
            more = 1;
        else if (c >= 0xE0 && c < 0xF0)
            more = 2;
        else if (c >= 0xF0 && c < 0xF5)
            more = 3;
        if (more > 0) {
            c &= 0x3Fu >> more;
            for (int i = 0; i < more; i++) {
                if ((*p & 0xC0) != 0x80) {
                    more = -1;
                    break;
                }
                c = (c << 6) | (*p++ & 0x3Fu);
            }
        }
        out[n++] = more < 0 ? L'\uFFFD' : static_cast<wchar_t>(c);
    }
    out[n] = L'\0';
}

static_assert(TXT_Complete(StrEn[0].Text), "the English record lacks texts");

extern const Texts_t StrDe[], StrFr[], StrIt[], StrEs[], StrPl[], StrNl[];
const Texts_t *const Str[LANG_COUNT] = {StrEn, StrDe, StrFr, StrIt, StrEs, StrPl, StrNl};

int TXT_Find(int lang, const wchar_t *text)
{
    if (lang < 0 || lang >= LANG_COUNT || text == nullptr) return -1;
    for (int k = 0; k < TEXT_COUNT; k++)
        if (std::wcscmp(Str[lang]->Text[k], text) == 0) return k;
    return -1;
}
