/* compare.cpp -- a table against the bands a device holds (see compare.h).
 *
 * No state. Each row is first brought to the form the device keeps of it,
 * on both sides alike, so that what the image or the commands never carry
 * (the tenths of an EN band, the input of an MxL band without a static
 * transponder, everything of an unused band) cannot make a difference.
 */
#include "config/compare.h"

#include "config/texts.h"

#include <cstdio>
#include <cwchar>

/* A band as the device keeps it. */
struct Stored_t {
    int Value[CMP_FIELD_COUNT];
};

static Stored_t stored(const VelnorCfg_t &row, bool enGroup)
{
    Stored_t s = {};
    /* An MxL record of frequency 0 and an "entp" of an inactive row (sent
     * as frequency 0) both leave the band empty. */
    const bool active = enGroup ? row.Active == 1 : row.Active != 0 && row.UBFreq != 0;
    s.Value[CMP_ACTIVE] = active ? 1 : 0;
    if (!active) return s;
    s.Value[CMP_FREQUENCY] = row.UBFreq * 10 + (enGroup ? 0 : row.UBFreqDec);
    s.Value[CMP_BW] = row.BW;
    s.Value[CMP_LEVEL] = row.AGCVal;
    s.Value[CMP_INVERSION] = row.SpectralInversion != 0 ? 1 : 0;
    const bool fixed = row.StaticMode == 1 && row.ConvFreq > 0;
    if (fixed) {
        s.Value[CMP_TP_FREQ] = row.ConvFreq;
        const bool high =
            row.ConvPol == 'H' || row.ConvPol == 'h' || (!enGroup && row.ConvPol == 'R');
        s.Value[CMP_TP_POL] = high ? 'H' : 'V';
    }
    /* "entp" sends the input of every band; the MxL image only of a static one. */
    if (enGroup || fixed) s.Value[CMP_FEED] = row.Feed;
    return s;
}

static const VelnorCfg_t *bandOf(const VelnorCfg_t *have, int n, int ubNo)
{
    for (int r = 0; r < n; r++)
        if (have[r].UBNo == ubNo) return &have[r];
    return nullptr;
}

int BREVCFG_CompareStored(const VelnorCfg_t *want, const VelnorCfg_t *have, int n, bool enGroup,
                          CmpDiff_t *out, int max)
{
    int count = 0;
    auto note = [&](int row, int ubNo, int field, int w, int h) {
        if (count < max) out[count] = {row, ubNo, field, w, h};
        count++;
    };
    n = MAIN_RowsInTable(n);
    for (int r = 0; r < n; r++) {
        const int ubNo = want[r].UBNo;
        if (ubNo >= MAX_UB) continue;
        const VelnorCfg_t *band = bandOf(have, n, ubNo);
        if (band == nullptr) {
            note(r, ubNo, CMP_MISSING, 1, 0);
            continue;
        }
        const Stored_t w = stored(want[r], enGroup), h = stored(*band, enGroup);
        for (int f = 0; f < CMP_MISSING; f++)
            if (w.Value[f] != h.Value[f]) {
                note(r, ubNo, f, w.Value[f], h.Value[f]);
                if (f == CMP_ACTIVE) break; /* the rest of an empty band means nothing */
            }
    }
    return count;
}

static const char *const FieldNames[CMP_FIELD_COUNT] = {
    "use",      "frequency", "bandwidth", "level", "spectral inversion", "static transponder",
    "polarity", "input",     "band",
};

const char *BREVCFG_FieldName(int field)
{
    return field >= 0 && field < CMP_FIELD_COUNT ? FieldNames[field] : "?";
}

static const char *const FieldKeys[CMP_FIELD_COUNT] = {
    "active",
    "frequency_mhz",
    "bandwidth_mhz",
    "level_dbm",
    "spectral_inversion",
    "static_transponder_mhz",
    "polarity",
    "input",
    "present",
};

const char *BREVCFG_FieldKey(int field)
{
    return field >= 0 && field < CMP_FIELD_COUNT ? FieldKeys[field] : "unknown";
}

int BREVCFG_RowField(const VelnorCfg_t &row, int field)
{
    switch (field) {
    case CMP_ACTIVE: return row.Active != 0 ? 1 : 0;
    case CMP_FREQUENCY: return row.UBFreq * 10 + row.UBFreqDec;
    case CMP_BW: return row.BW;
    case CMP_LEVEL: return row.AGCVal;
    case CMP_INVERSION: return row.SpectralInversion;
    case CMP_TP_FREQ: return row.ConvFreq;
    case CMP_TP_POL: return row.ConvPol;
    case CMP_FEED: return row.Feed;
    default: return 1; /* the row is there */
    }
}

void BREVCFG_FieldJson(int field, int value, char *text, int len)
{
    const auto n = static_cast<std::size_t>(len);
    switch (field) {
    case CMP_ACTIVE:
    case CMP_INVERSION:
    case CMP_MISSING: std::snprintf(text, n, "%s", value != 0 ? "true" : "false"); break;
    case CMP_FREQUENCY: std::snprintf(text, n, "%d.%d", value / 10, value % 10); break;
    case CMP_TP_POL:
        /* a letter the file format carries, or none */
        if (value > 0x20 && value < 0x7F && value != '"' && value != '\\')
            std::snprintf(text, n, "\"%c\"", value);
        else
            std::snprintf(text, n, "null");
        break;
    default: std::snprintf(text, n, "%d", value); break;
    }
}

void BREVCFG_FieldValue(int field, int value, char *text, int len)
{
    const auto n = static_cast<std::size_t>(len);
    switch (field) {
    case CMP_ACTIVE: std::snprintf(text, n, "%s", value != 0 ? "active" : "inactive"); break;
    case CMP_FREQUENCY: std::snprintf(text, n, "%d.%d MHz", value / 10, value % 10); break;
    case CMP_BW: std::snprintf(text, n, "%d MHz", value); break;
    case CMP_LEVEL: std::snprintf(text, n, "%d dBm", value); break;
    case CMP_TP_FREQ:
        if (value == 0)
            std::snprintf(text, n, "none");
        else
            std::snprintf(text, n, "%d MHz", value);
        break;
    case CMP_TP_POL:
        std::snprintf(text, n, "%s", value == 0 ? "none" : value == 'H' ? "H" : "V");
        break;
    case CMP_MISSING: std::snprintf(text, n, "%s", value != 0 ? "present" : "missing"); break;
    default: std::snprintf(text, n, "%d", value); break;
    }
}

void BREVCFG_DiffLine(const CmpDiff_t &d, char (&line)[CMP_LINE_LEN])
{
    char want[32], have[32];
    BREVCFG_FieldValue(d.Field, d.Want, want, sizeof want);
    BREVCFG_FieldValue(d.Field, d.Have, have, sizeof have);
    std::snprintf(line, sizeof line, "row %d, UB %d: %s %s in the file, %s in the device", d.Row,
                  d.UBNo, BREVCFG_FieldName(d.Field), want, have);
}

void BREVCFG_VersionDiffLine(std::uint8_t want, std::uint8_t have, char (&line)[CMP_LINE_LEN])
{
    std::snprintf(line, sizeof line,
                  "configuration version %d.%d to be programmed, %d.%d in the device", want >> 4,
                  want & 0x0F, have >> 4, have & 0x0F);
}

/* The column of the table that shows a field. */
static int columnText(int field)
{
    static const int Columns[CMP_FIELD_COUNT] = {
        TX_COL_ACTIVE, TX_COL_UBFREQ, TX_COL_BW,    TX_COL_LEVEL,  TX_SPECTRAL_INVERSION,
        TX_COL_TPFREQ, TX_COL_TPPOL,  TX_COL_INPUT, TX_COL_ACTIVE,
    };
    return field >= 0 && field < CMP_FIELD_COUNT ? Columns[field] : TX_COL_ACTIVE;
}

/* A value as the table's cell shows it: a check box as Yes or No, a
 * frequency with its tenth, an input counted from 1, "-" for none. */
static void cellText(int field, int value, wchar_t *out, std::size_t len)
{
    switch (field) {
    case CMP_ACTIVE:
    case CMP_INVERSION: std::swprintf(out, len, L"%ls", TXT(value != 0 ? TX_YES : TX_NO)); break;
    case CMP_FREQUENCY: std::swprintf(out, len, L"%d.%d", value / 10, value % 10); break;
    case CMP_TP_FREQ:
    case CMP_TP_POL:
        if (value == 0)
            std::swprintf(out, len, L"-");
        else if (field == CMP_TP_POL)
            std::swprintf(out, len, L"%lc", static_cast<wchar_t>(value));
        else
            std::swprintf(out, len, L"%d", value);
        break;
    case CMP_FEED: std::swprintf(out, len, L"%d", value + 1); break;
    default: std::swprintf(out, len, L"%d", value); break;
    }
}

void BREVCFG_DiffText(const CmpDiff_t &d, wchar_t *out, int len)
{
    const auto n = static_cast<std::size_t>(len);
    if (d.Field == CMP_MISSING) {
        std::swprintf(out, n, TXT(TX_DIFF_MISSING), d.UBNo);
        return;
    }
    wchar_t here[32], device[32];
    cellText(d.Field, d.Want, here, 32);
    cellText(d.Field, d.Have, device, 32);
    std::swprintf(out, n, TXT(TX_DIFF_LINE), d.UBNo, TXT(columnText(d.Field)), here, device);
}

void BREVCFG_VersionDiffText(std::uint8_t here, std::uint8_t device, wchar_t *out, int len)
{
    wchar_t a[MAIN_VERSION_TEXT_LEN], b[MAIN_VERSION_TEXT_LEN];
    MAIN_ConfigVersionText(here, a);
    MAIN_ConfigVersionText(device, b);
    std::swprintf(out, static_cast<std::size_t>(len), TXT(TX_DIFF_VERSION), TXT(TX_CONFIG_VERSION),
                  a, b);
}
