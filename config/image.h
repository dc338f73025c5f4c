/* image.h -- the configuration images a dCSS device takes, and their CRC.
 *
 * An image is a 16-byte header followed by one record per UB row in use, in
 * table order: 10-byte records for the EN group (BREVCFG_CompileEN), 9-byte
 * records for the MxL group (BREVCFG_CompileMxL). The header carries the
 * CRC-16 and the length of the record area, and the configuration version.
 *
 * Every value is masked to the bits its field has in the record, so a value
 * that was never validated (a Feed or UBFreqDec from a file) cannot spill
 * into the neighbouring bits. Every byte is written from the table alone, so
 * the image does not depend on what the buffer held before.
 */
#pragma once

#include "config/velnor.h"

#include <cstdint>

constexpr int BREVCFG_HEADER_SIZE = 16;
constexpr int BREVCFG_EN_RECORD = 10;
constexpr int BREVCFG_MXL_RECORD = 9;
/* The largest image, 32 EN records: the size of every buffer an image is
 * compiled into (Export, Program, the Kaltro's stored configuration). */
constexpr int BREVCFG_IMAGE_MAX = BREVCFG_HEADER_SIZE + BREVCFG_EN_RECORD * MAX_UB;

/* Image compilers. The buffer must hold BREVCFG_IMAGE_MAX bytes. The rows
 * used are 0 .. data->UBNumber - 1 (limited to 0 .. 32). Both return the
 * image size in bytes, or 0, writing nothing, when a pointer is missing. */
/* EN image; OutNum goes into bits 5 and 6 of every record's second byte. */
std::int32_t BREVCFG_CompileEN(const VelnorCfg_t *table, const VelnorData_t *data,
                               unsigned char *buf, std::uint8_t OutNum);
/* MxL image; first sorts the rows in use of table in place by UBFreq. */
std::int32_t BREVCFG_CompileMxL(VelnorCfg_t *table, const VelnorData_t *data, unsigned char *buf);

/* The image of the table for data->Model's group, as Export writes it and
 * the Kaltro keeps it: the EN image (output number 0) for the EN group, the
 * MxL image (rows sorted as above) for the rest. */
std::int32_t BREVCFG_CompileForModel(VelnorCfg_t *table, const VelnorData_t *data,
                                     unsigned char *buf);

/* Checksum. */
/* CRC-16, polynomial 0x1021, initial value 0, most significant bit first, no
 * final XOR (CRC-16/XMODEM) of size bytes; 0 for none. */
std::uint16_t CalculateCRC16(const unsigned char *buf, std::uint32_t size);
