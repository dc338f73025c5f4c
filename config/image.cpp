/* image.cpp -- compiles the UB table into the EN and MxL device images.
 *
 * Owns no state. Reads the table and the device record; the MxL compiler also
 * sorts the rows in use by frequency, as programming an MxL device always
 * has. Writes only into the caller's buffer.
 */
#include "config/image.h"

#include "config/dcss.h"

constexpr unsigned char RECORD_EN_MARK = 0xB0; /* first byte of every EN record */
constexpr unsigned char MXL_UNUSED = 0xFF;     /* fills an MxL record of a row not in use */

/* UBFreq and UBFreqDec as the two frequency bytes both layouts share: bits
 * 11 to 4, then bits 3 to 0 with the tenths in the low nibble. */
static void putFrequency(unsigned char *p, const VelnorCfg_t &row)
{
    p[0] = static_cast<unsigned char>((row.UBFreq >> 4) & 0xFF);
    p[1] = static_cast<unsigned char>(((row.UBFreq & 0x0F) << 4) | (row.UBFreqDec & 0x0F));
}

/* Header of an image whose record area of n bytes is already in place. */
static void putHeader(unsigned char *buf, int n, std::uint8_t version)
{
    const std::uint16_t crc =
        CalculateCRC16(buf + BREVCFG_HEADER_SIZE, static_cast<std::uint32_t>(n));
    buf[0] = 0x02;
    buf[1] = 0x00;
    buf[2] = '1';
    buf[3] = '5';
    buf[4] = static_cast<unsigned char>(crc >> 8);
    buf[5] = static_cast<unsigned char>(crc & 0xFF);
    buf[6] = static_cast<unsigned char>((n >> 8) & 0xFF);
    buf[7] = static_cast<unsigned char>(n & 0xFF);
    buf[8] = BREVCFG_HEADER_SIZE;
    buf[9] = version;
    for (int i = 10; i < BREVCFG_HEADER_SIZE; i++)
        buf[i] = 0;
}

static void putRecordEN(unsigned char *p, const VelnorCfg_t &row, std::uint8_t outNum)
{
    const unsigned char ubByte =
        static_cast<unsigned char>((row.UBNo & 0x1F) | ((outNum & 0x03) << 5));
    for (int i = 0; i < BREVCFG_EN_RECORD; i++)
        p[i] = 0;
    p[0] = RECORD_EN_MARK;
    p[1] = ubByte;
    if (row.Active != 1) return;

    p[1] = static_cast<unsigned char>(ubByte | ((row.SpectralInversion & 0x01) << 7));
    putFrequency(p + 2, row);
    p[4] = row.BW;
    p[5] = static_cast<unsigned char>((row.AGCVal & 0x1F) | ((row.Feed & 0x07) << 5));
    if (row.StaticMode == 1) {
        const unsigned char pol = (row.ConvPol == 'H') ? 0x80 : 0x00;
        p[6] = static_cast<unsigned char>(((row.ConvFreq >> 8) & 0x7F) | pol);
        p[7] = static_cast<unsigned char>(row.ConvFreq & 0xFF);
    }
}

static void putRecordMxL(unsigned char *p, const VelnorCfg_t &row)
{
    for (int i = 0; i < BREVCFG_MXL_RECORD; i++)
        p[i] = MXL_UNUSED;
    p[7] = row.UBNo;
    if (row.Active == 0 || row.UBFreq == 0) return;

    const bool fixed = row.StaticMode == 1 && row.ConvFreq > 0;
    putFrequency(p, row);
    p[2] = row.BW;
    p[3] = static_cast<unsigned char>((row.SpectralInversion > 0 ? 0x80 : 0x00) |
                                      (fixed ? (row.Feed & 0x7F) : 0));
    p[4] = 0;
    p[5] = 0;
    if (fixed) {
        const bool high = row.ConvPol == 'H' || row.ConvPol == 'R';
        p[4] = static_cast<unsigned char>(((row.ConvFreq >> 8) & 0x7F) | (high ? 0x80 : 0x00));
        p[5] = static_cast<unsigned char>(row.ConvFreq & 0xFF);
    }
    p[6] = static_cast<unsigned char>(row.AGCVal);
}

std::int32_t BREVCFG_CompileEN(const VelnorCfg_t *table, const VelnorData_t *data,
                               unsigned char *buf, std::uint8_t OutNum)
{
    if (table == nullptr || data == nullptr || buf == nullptr) return 0;
    const int rows = MAIN_RowsInTable(data->UBNumber);
    for (int r = 0; r < rows; r++)
        putRecordEN(buf + BREVCFG_HEADER_SIZE + r * BREVCFG_EN_RECORD, table[r], OutNum);
    const int n = rows * BREVCFG_EN_RECORD;
    putHeader(buf, n, data->DBaseVersion);
    return BREVCFG_HEADER_SIZE + n;
}

std::int32_t BREVCFG_CompileMxL(VelnorCfg_t *table, const VelnorData_t *data, unsigned char *buf)
{
    if (table == nullptr || data == nullptr || buf == nullptr) return 0;
    const int rows = MAIN_RowsInTable(data->UBNumber);
    BREVCFG_quickSort(table, 0, rows - 1);
    for (int r = 0; r < rows; r++)
        putRecordMxL(buf + BREVCFG_HEADER_SIZE + r * BREVCFG_MXL_RECORD, table[r]);
    const int n = rows * BREVCFG_MXL_RECORD;
    putHeader(buf, n, data->DBaseVersion);
    return BREVCFG_HEADER_SIZE + n;
}

std::int32_t BREVCFG_CompileForModel(VelnorCfg_t *table, const VelnorData_t *data,
                                     unsigned char *buf)
{
    if (data == nullptr) return 0;
    return DCSS_IsENGroup(data->Model) ? BREVCFG_CompileEN(table, data, buf, 0)
                                       : BREVCFG_CompileMxL(table, data, buf);
}

std::uint16_t CalculateCRC16(const unsigned char *buf, std::uint32_t size)
{
    std::uint16_t crc = 0;
    if (buf == nullptr) return 0;
    for (std::uint32_t i = 0; i < size; i++) {
        crc = static_cast<std::uint16_t>(crc ^ (buf[i] << 8));
        for (int b = 0; b < 8; b++)
            crc = static_cast<std::uint16_t>((crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1);
    }
    return crc;
}
