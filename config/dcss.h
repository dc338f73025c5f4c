/* dcss.h -- the catalogue of the eleven dCSS device models.
 *
 * A model is named by its index, 0 to 10; -1 means no model is known. The
 * device reports an ID byte that DCSS_ConvertModelID maps to an index. The
 * group tests are membership tests on the index; -1 belongs to no group.
 */
#pragma once

#include <cstdint>

constexpr int DCSS_MODEL_COUNT = 11;

extern const wchar_t *const DCSS[DCSS_MODEL_COUNT];

/* Name of model Number, or nullptr for an index outside 0 .. 10. */
const wchar_t *DCSS_GetModelName(std::int32_t Number);
int DCSS_GetNumberOfModels();
/* 1 for the two-satellite models 2, 6 and 8, else 0. */
int DCSS_GetTwoSatelliteModel(std::int32_t Number);
/* 32 when the current model (VelnorData.Model) is in the EN group, else 24. */
int DCSS_GetUBNumber();
/* Model index of a device ID, or -1 when no model has it. */
std::int8_t DCSS_ConvertModelID(std::uint8_t Model);
/* Model index of what the device-ID query gave (RS232_GetDeviceID: 0 to 255,
 * or -1 on failure): its low byte converted, so a failed query is 255 and
 * names no model. */
int DCSS_ModelOfDeviceID(int id);

/* EN group: models 7, 8 and 10 (32 UBs, EN image, row-by-row programming). */
bool DCSS_IsENGroup(int model);
/* Chain-pair models 2, 3 and 9: their chain connection goes by output pairs
 * when the inputs type is Wide Band. */
bool DCSS_IsChainPairModel(int model);
/* The device ID byte of a model, or -1 for an index outside 0 .. 10. */
int DCSS_GetDeviceID(int model);
/* Model index of a name, or -1. */
int DCSS_FindModel(const wchar_t *name);

/* Rules of the device settings, for its dialog and for brevant-cli. */

/* 1 when the chain box lists output pairs: a chain-pair model with Wide Band
 * inputs. */
int DCSS_ChainPairList(int model, int wideBand);
/* The chain box entry for a chain value read from the device: 0 ("No") for
 * 0, else 1 + the output index (bits 0 to 2), halved for the pair list. */
int DCSS_ChainEntry(int value, int pairList);
/* The output index written for chain box entry (1 and up), doubled for the
 * pair list. */
int DCSS_ChainOutput(int entry, int pairList);
/* The number of UBs to keep for a reported count: the report when it is 1 to
 * the catalogue's count, else the catalogue's count, so that the table never
 * uses more rows than the model has nor none at all. */
int DCSS_UsableUBCount(int reported, int catalogue);
/* Bit 3 of a chain value: chaining is on; bits 0 to 2 are the output. */
constexpr int DCSS_CHAIN_ON = 8;
/* Whether the device reports its inputs type (models 2, 3, 8, 9, 10); the
 * others have fixed inputs: Quattro for the KX-104 (model 4), Wide Band for
 * the rest. */
bool DCSS_ReadsInputsType(int model);
/* The KX-104: Quattro inputs only, and only the legacy output. */
constexpr int DCSS_QUATTRO_ONLY_MODEL = 4;
