/* cfgfile.cpp -- writes and reads the configuration text file.
 *
 * Owns no state. Writing changes the rows it saves (normalised, sorted by
 * frequency); reading replaces the rows in use. Neither touches VelnorData or
 * the per-UB status: the window code shows the rows and validates afterwards.
 */
#include "config/cfgfile.h"

#include "config/limits.h"
#include "config/validate.h"

#include <array>
#include <cstdio>
#include <cstring>

static const char HEADER[] =
    ";\r\n;UB No\tFeed\tUBFreq\tUBFreqDec\tBW\tConvFreq\tConvPol\tAGCVal\tSpectral Inversion\r\n";

/* Size of the buffer one row is formatted into. */
constexpr std::size_t ROW_BUFFER = 1024;

/* A field's magnitude stops growing here; every field is narrower. */
constexpr long long FIELD_CAP = 1000000000LL;

/* ---- writing ------------------------------------------------------------ */

/* What a save stores: inactive rows without frequency, rows not in static
 * mode without transponder. */
static void normalise(VelnorCfg_t *table, int n)
{
    for (int r = 0; r < n; r++) {
        VelnorCfg_t &row = table[r];
        if (row.Active == 0) {
            row.UBFreq = 0;
            row.UBFreqDec = 0;
        }
        if (row.StaticMode == 0) {
            row.ConvFreq = 0;
            row.ConvPol = 'H';
        }
    }
}

int BREVCFG_FormatConfig(VelnorCfg_t *table, int MaxUB, char *out, std::size_t size)
{
    if (table == nullptr || out == nullptr || size < BREVCFG_TEXT_MAX) return -1;
    const int n = MAIN_RowsInTable(MaxUB);

    normalise(table, n);
    BREVCFG_quickSort(table, 0, n - 1);

    std::size_t len = sizeof HEADER - 1;
    std::memcpy(out, HEADER, len);
    for (int r = 0; r < n; r++) {
        const VelnorCfg_t &row = table[r];
        char line[ROW_BUFFER];
        const int w =
            std::snprintf(line, sizeof line, "%d,\t%d,\t%d,\t%d,\t\t%d,\t%d,\t\t%c,\t%d,\t%d,\r\n",
                          row.UBNo, row.Feed, row.UBFreq, row.UBFreqDec, row.BW, row.ConvFreq,
                          row.ConvPol, row.AGCVal, row.SpectralInversion);
        /* every row is far shorter than its share of BREVCFG_TEXT_MAX */
        if (w < 0 || len + static_cast<std::size_t>(w) > size) return -1;
        std::memcpy(out + len, line, static_cast<std::size_t>(w));
        len += static_cast<std::size_t>(w);
    }
    return static_cast<int>(len);
}

int BREVCFG_SaveConfigFile(const char *path, VelnorCfg_t *table, int MaxUB, int mode)
{
    if (table == nullptr) return BREVCFG_FILE_CANNOT_WRITE;
    BrevSave_t s;
    const int rc = BREVCFG_SaveBegin(&s, path, mode);
    if (rc != BREVCFG_FILE_OK) return rc;

    std::array<char, BREVCFG_TEXT_MAX> text;
    const int len = BREVCFG_FormatConfig(table, MaxUB, text.data(), text.size());
    if (len < 0) {
        BREVCFG_SaveAbort(&s);
        return BREVCFG_FILE_CANNOT_WRITE;
    }
    return BREVCFG_SaveCommit(&s, text.data(), static_cast<std::size_t>(len));
}

/* ---- reading ------------------------------------------------------------ */

/* The unread rest of the data. */
struct Cursor {
    const char *p;
    const char *end;
};

/* One field: the characters up to its comma (or to the end of the data). */
struct Field {
    const char *s = nullptr;
    std::size_t n = 0;
};

/* Skips through the next line feed, or to the end of the data. */
static void skipLine(Cursor &c)
{
    while (c.p < c.end && *c.p != '\n')
        c.p++;
    if (c.p < c.end) c.p++;
}

/* Takes the next field and steps over its comma. False when the data has
 * ended before the field begins: the field is not reached. */
static bool nextField(Cursor &c, Field &f)
{
    if (c.p >= c.end) return false;
    f.s = c.p;
    while (c.p < c.end && *c.p != ',')
        c.p++;
    f.n = static_cast<std::size_t>(c.p - f.s);
    if (c.p < c.end) c.p++;
    return true;
}

/* The field's digits in order, every other character ignored; saturates. */
static long long digitsOf(const Field &f)
{
    long long v = 0;
    for (std::size_t i = 0; i < f.n; i++) {
        const char ch = f.s[i];
        if (ch < '0' || ch > '9') continue;
        v = v * 10 + (ch - '0');
        if (v > FIELD_CAP) v = FIELD_CAP;
    }
    return v;
}

template <typename T> static bool readNumber(Cursor &c, T &field)
{
    Field f;
    if (!nextField(c, f)) return false;
    MAIN_StoreNumber(field, digitsOf(f));
    return true;
}

/* AGCVal: a "-" anywhere in the field makes the value negative. */
static void readLevel(Cursor &c, std::int8_t &field)
{
    Field f;
    if (!nextField(c, f)) return;
    const long long v = digitsOf(f);
    const bool negative = std::memchr(f.s, '-', f.n) != nullptr;
    MAIN_StoreNumber(field, negative ? -v : v);
}

/* ConvPol: the last of h, v, r, l in either case, stored in upper case; a
 * field without one leaves the value as it was. */
static void readPolarity(Cursor &c, char &field)
{
    Field f;
    if (!nextField(c, f)) return;
    for (std::size_t i = 0; i < f.n; i++) {
        switch (f.s[i]) {
        case 'h':
        case 'H': field = 'H'; break;
        case 'v':
        case 'V': field = 'V'; break;
        case 'r':
        case 'R': field = 'R'; break;
        case 'l':
        case 'L': field = 'L'; break;
        default: break;
        }
    }
}

/* Spectral Inversion: the last "0" or "1"; other characters are ignored. */
static void readInversion(Cursor &c, std::uint8_t &field)
{
    Field f;
    if (!nextField(c, f)) return;
    for (std::size_t i = 0; i < f.n; i++)
        if (f.s[i] == '0' || f.s[i] == '1') field = static_cast<std::uint8_t>(f.s[i] - '0');
}

/* The bandwidths and the level the reader gives a row the file does not
 * reach and a row saved inactive: facts of the file format, which stay
 * whatever a fresh table's defaults become. */
constexpr int UNREAD_BW = 36;
constexpr int INACTIVE_BW = 46;
constexpr int UNREAD_LEVEL = -22;

/* Values of a row that the file does not reach: inactive, at the foot of
 * the L-band and of the transponder list, UNREAD_BW wide at UNREAD_LEVEL. */
static void startRow(VelnorCfg_t &row, int k)
{
    row.Active = 0;
    row.UBNo = static_cast<std::uint8_t>(k);
    row.Feed = 0;
    row.UBFreq = LBAND_MIN;
    row.UBFreqDec = 0;
    row.BW = UNREAD_BW;
    row.StaticMode = 0;
    row.ConvFreq = TPFREQ_MIN;
    row.ConvPol = 'V';
    row.AGCVal = UNREAD_LEVEL;
    row.SpectralInversion = 0;
}

/* One data row, starting at its first digit; ends after the row's line. */
static void readRow(Cursor &c, VelnorCfg_t &row)
{
    readNumber(c, row.UBNo);
    readNumber(c, row.Feed);
    if (!readNumber(c, row.UBFreq)) return;

    /* A row saved inactive: at the foot of the L-band, INACTIVE_BW wide, at
     * UNREAD_LEVEL. */
    if (row.UBFreq == 0) {
        row.Active = 0;
        row.UBFreq = LBAND_MIN;
        row.UBFreqDec = 0;
        row.Feed = 0;
        row.BW = INACTIVE_BW;
        row.ConvPol = 'H';
        row.StaticMode = 0;
        row.AGCVal = UNREAD_LEVEL;
        skipLine(c);
        return;
    }

    row.Active = 1;
    readNumber(c, row.UBFreqDec);
    readNumber(c, row.BW);
    if (readNumber(c, row.ConvFreq) && row.ConvFreq > 0) row.StaticMode = 1;
    readPolarity(c, row.ConvPol);
    readLevel(c, row.AGCVal);
    readInversion(c, row.SpectralInversion);
    skipLine(c);
}

int BREVCFG_ParseConfig(const char *data, std::size_t n, VelnorCfg_t *table, int MaxUB)
{
    const int r = BREVCFG_ParseConfigAsWritten(data, n, table, MaxUB);
    if (r >= 0) BREVCFG_RestoreUBNumbers(table, MAIN_RowsInTable(MaxUB));
    return r;
}

int BREVCFG_ParseConfigAsWritten(const char *data, std::size_t n, VelnorCfg_t *table, int MaxUB)
{
    if (table == nullptr) return -1;
    const int rows = MAIN_RowsInTable(MaxUB);
    for (int k = 0; k < rows; k++)
        startRow(table[k], k);

    Cursor c{data, data == nullptr ? data : data + n};
    int r = 0;
    while (r < rows && c.p < c.end) {
        const char ch = *c.p;
        if (ch == ';') {
            skipLine(c);
        } else if (ch >= '0' && ch <= '9') {
            readRow(c, table[r]);
            r++;
        } else {
            c.p++;
        }
    }
    return r;
}

int BREVCFG_RestoreUBNumbers(VelnorCfg_t *table, int MaxUB)
{
    if (table == nullptr) return 0;
    const int n = MAIN_RowsInTable(MaxUB);
    std::array<bool, MAX_UB> taken{};
    std::array<bool, MAX_UB> keep{};

    for (int r = 0; r < n; r++) {
        const int u = table[r].UBNo;
        if (u < n && !taken[u]) {
            taken[u] = true;
            keep[r] = true;
        }
    }
    int renumbered = 0;
    int next = 0;
    for (int r = 0; r < n; r++) {
        if (keep[r]) continue;
        while (taken[next])
            next++; /* as many free numbers as rows to renumber */
        taken[next] = true;
        table[r].UBNo = static_cast<std::uint8_t>(next);
        renumbered++;
    }
    return renumbered;
}

int BREVCFG_LoadConfigFile(const char *path, VelnorCfg_t *table, int MaxUB, int *rows)
{
    if (table == nullptr) return BREVCFG_FILE_CANNOT_READ;
    unsigned char *buf = nullptr;
    int size = 0;
    if (BREVCFG_LoadWholeFile(path, &buf, &size) != 0) return BREVCFG_FILE_CANNOT_READ;
    const int taken = BREVCFG_ParseConfig(reinterpret_cast<const char *>(buf),
                                          static_cast<std::size_t>(size), table, MaxUB);
    BREVCFG_DeallocFileBuffer(buf);
    if (rows != nullptr) *rows = taken;
    return BREVCFG_FILE_OK;
}

void BREVCFG_RepairRanges(VelnorCfg_t *table, int MaxUB, bool enGroup)
{
    if (!enGroup) return;
    /* an EN-group table takes no value outside its lists: the row's fresh
     * value stands in */
    const UBLimits_t lim = MAIN_GroupLimits(true);
    for (int i = 0; i < MAIN_RowsInTable(MaxUB); i++) {
        VelnorCfg_t &rec = table[i];
        if (rec.AGCVal < lim.levelMin || rec.AGCVal > lim.levelMax) rec.AGCVal = LEVEL_DEFAULT_EN;
        if (rec.BW < lim.bwMin || rec.BW > lim.bwMax) rec.BW = BW_DEFAULT_32;
    }
}
