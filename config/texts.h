/* texts.h -- every word the windows show, by number, in every language.
 *
 * Str holds one record of TEXT_COUNT texts per language, in the order of the
 * LANG_ numbers below, and Lang selects the record in use: 0, English, until
 * start-up chooses another (config/lang.h). Windows read text k as
 * Str[Lang]->Text[k]; TXT(k) says the same. The TX_ names give the numbers.
 *
 * Each record lives in a file of its own (texts.cpp for English, texts_de.cpp
 * and so on), which asserts with TXT_Complete that it has every entry: a text
 * added to the English record stops the build until each language has it.
 */
#pragma once

constexpr int TEXT_COUNT = 132;

struct Texts_t {
    const wchar_t *Text[TEXT_COUNT];
};

/* The languages, in the order of the records. */
enum LangId : int {
    LANG_EN = 0,
    LANG_DE = 1,
    LANG_FR = 2,
    LANG_IT = 3,
    LANG_ES = 4,
    LANG_PL = 5,
    LANG_NL = 6,
    LANG_COUNT = 7,
};

extern const Texts_t *const Str[LANG_COUNT];
extern int Lang;

inline const wchar_t *TXT(int k)
{
    return Str[Lang]->Text[k];
}

/* Whether every entry of a record is given: one written with fewer texts
 * than its size leaves the last entries null. */
template <int N> constexpr bool TXT_Complete(const wchar_t *const (&text)[N])
{
    for (const wchar_t *t : text)
        if (t == nullptr) return false;
    return true;
}

/* The number of the text of record lang that reads text, or -1: what a text
 * shown in one language is in another. */
int TXT_Find(int lang, const wchar_t *text);

/* A file or device name (UTF-8, as the system gives it) as wide characters
 * for a message, cut to len - 1; a byte that is not UTF-8 shows as U+FFFD. */
void TXT_Widen(const char *s, wchar_t *out, unsigned len);

enum TextId : int {
    TX_TITLE = 0,
    TX_OK = 1,
    TX_NO = 2,
    TX_YES = 3,
    TX_UNKNOWN = 4,
    TX_CONFIG_UPLOAD = 5,
    TX_READ = 6,
    TX_READ_NAME = 7,
    TX_PROGRAM = 8,
    TX_FIND = 9,
    TX_KALTRO = 10,
    TX_COL_NO = 11,
    TX_COL_ACTIVE = 12,
    TX_COL_UBFREQ = 13,
    TX_COL_BW = 14,
    TX_COL_LEVEL = 15,
    TX_SPECTRAL_INVERSION = 16,
    TX_COL_STATIC = 17,
    TX_COL_TPFREQ = 18,
    TX_COL_TPPOL = 19,
    TX_COL_INPUT = 20,
    TX_COL_STATUS = 21,
    TX_CONFIG_VERSION = 22,
    TX_SW_VERSION = 23,
    TX_IC_TEMPERATURE = 24,
    TX_MODEL = 25,
    TX_FW_VERSION = 26,
    TX_INPUTS = 27,
    TX_DCSS_PARAMETERS = 28,
    TX_OUTPUT_VOLTAGE = 29,
    TX_CONFIG_NAME = 30,
    TX_ERR_OVERLAP = 31,
    TX_ERR_DUPLICATE = 32,
    TX_ERR_LEVEL = 33,
    TX_ERR_TPFREQ = 34,
    TX_ERR_BW = 35,
    TX_ERR_BW_LBAND = 36,
    TX_ERR_FREQ_LBAND = 37,
    TX_UB_INACTIVE = 38,
    TX_TRANSMISSION_ERROR = 39,
    TX_NO_DEVICE = 40,
    TX_WRONG_UB_QUANTITY = 41,
    TX_CONFIGURATION_ERROR = 42,
    TX_WRONG_FILE = 43,
    TX_EMPTY_FILE = 44,
    TX_NO_REPLY_KALTRO = 45,
    TX_CANCEL = 46,
    TX_NOT_FOUND = 47,
    TX_EXIT = 48,
    TX_REPEAT = 49,
    TX_COM_PORT = 50,
    TX_PROGRAMMER = 51,
    TX_DCSS_DEVICE = 52,
    TX_SELECT_MODEL = 53,
    TX_EN50494PLUS = 54,
    TX_NO_SN = 55,
    TX_SERIAL_NUMBER = 56,
    TX_LO_FREQUENCIES = 57,
    TX_NUMBER_OF_UBS = 58,
    TX_OUTPUT_PORT = 59,
    TX_CHAIN_CONNECTION = 60,
    TX_QUATTRO = 61,
    TX_WIDE_BAND = 62,
    TX_SW_UPGRADE_OK = 63,
    TX_DCSS_SETTING_TITLE = 64,
    TX_CONTINUE = 65,
    TX_SERIAL_PORT = 66,
    TX_DOWNLOAD_IN_PROGRESS = 67,
    TX_UPLOAD_IN_PROGRESS = 68,
    TX_UPLOAD_FINISHED = 69,
    TX_CONFIG_UPGRADE_OK = 70,
    TX_SOFTWARE_UPGRADE = 71,
    TX_TRANSMISSION_STARTED = 72,
    TX_VERIFICATION = 73,
    TX_KALTRO_SETTINGS = 74,
    TX_SEND_CFG_TITLE = 75,
    TX_SEND_CFG_INFO = 76,
    TX_FILE_EXISTS = 77,
    TX_FILE_MESSAGE = 78,
    TX_GET_DEVICE_TITLE = 79,
    TX_WRONG_DEVICE = 80,
    TX_LEGACY = 81,
    TX_DCSS = 82,
    TX_DCSS_LEGACY = 83,
    TX_NO_MORE_SPACE = 84,
    /* Failures of the system the user can act on; printf formats whose
     * arguments are noted. */
    TX_PORT_PERMISSION = 85, /* device, group, group */
    TX_PORT_IN_USE = 86,     /* device */
    TX_PORT_IN_USE_BY = 87,  /* device, process name, process id */
    TX_PORT_NOT_TTY = 88,    /* device */
    TX_PORT_LINE = 89,       /* device, the system's reason */
    TX_SAVE_FAILED = 90,     /* file, the system's reason */
    TX_READ_FAILED = 91,     /* file, the system's reason */
    /* A refused port no group of the user's may open: device, ls -l line,
     * group, the administrator's command or udev rule. */
    TX_PORT_NO_ACCESS = 92,
    TX_PORT_NO_ACCESS_USB = 93,
    TX_SAVE_FAILED_NEW = 94, /* file, the system's reason (no file was there) */
    TX_VERIFYING = 95,
    TX_VERIFIED = 96,
    TX_VERIFY_FAILED = 97,
    TX_MENU_COMPARE = 98,
    TX_MENU_VERIFY = 99,
    TX_MENU_PRODUCTION = 100,
    TX_COMPARE_TITLE = 101,
    TX_DEVICE_HOLDS = 102,
    TX_DIFF_LINE = 103,
    TX_DIFF_MISSING = 104,
    TX_DIFF_VERSION = 105,
    TX_TAKE_TABLE = 106,
    TX_CLOSE = 107,
    TX_PROD_TITLE = 108,
    TX_PROD_LOG = 109,
    TX_CHOOSE = 110,
    TX_START = 111,
    TX_STOP = 112,
    TX_PROD_CONNECTING = 113,
    TX_PROD_WAITING = 114,
    TX_PROD_PROGRAMMING = 115,
    TX_PROD_VERIFYING = 116,
    TX_PROD_PASS = 117,
    TX_PROD_FAIL = 118,
    TX_PROD_SAME = 119,
    TX_PROD_STOPPED = 120,
    TX_PROD_COUNTS = 121,
    TX_PROD_LAST = 122,
    TX_PROD_NO_LOG = 123,
    TX_PROD_LOG_FAILED = 124,
    TX_RES_FAIL_PROGRAM = 125,
    TX_RES_WRONG_MODEL = 126,
    TX_RES_LOST = 127,
    TX_RES_CANCELLED = 128,
    TX_PROD_TABLE = 129,
    TX_NO_SERIAL = 130,
    TX_DEVICE_DIFFERS = 131,
};
