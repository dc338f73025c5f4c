/* validate.h -- the checks of the UB table and the reading of typed numbers.
 *
 * MAIN_ValidateTable decides, row by row, whether the rows in use of VelnorCfg
 * can be stored or sent, and writes each UB's status text and colour
 * (ErrorText, BoxColor, addressed by UBNo) and the overall flag ConfigOK.
 * It never changes a row and draws nothing: the window's validation calls it
 * and then redraws the status boxes.
 *
 * The number readers turn what the user typed into values. They saturate
 * instead of wrapping, so that an absurd number stays absurd and validation
 * marks the row, instead of wrapping into a valid value.
 */
#pragma once

#include "config/velnor.h"

#include <cstdint>
#include <limits>

/* Validation of the rows in use. */
/* Status text number (TX_OK, TX_UB_INACTIVE or one of the TX_ERR_ texts) of
 * row r of the n rows in use of table, for the given model index. The first
 * failing check is the one reported. r outside 0 .. n - 1 gives TX_OK. */
int MAIN_RowStatus(const VelnorCfg_t *table, int n, int r, int model);
/* Validates rows 0 .. VelnorData.UBNumber - 1 of VelnorCfg for
 * VelnorData.Model: sets ErrorText and BoxColor of every UB in use and
 * ConfigOK (0 no error, 1 at least one error), and returns ConfigOK. A row
 * whose UBNo is 32 or more counts in ConfigOK but has no status entry. */
std::int32_t MAIN_ValidateTable();
/* Whether the row of UB ubNo had an error at the last validation; true for a
 * UBNo without a status entry (32 or more). */
bool MAIN_RowHasError(int ubNo);
/* True when text number k marks an error (anything but TX_OK and
 * TX_UB_INACTIVE). */
bool MAIN_IsErrorText(int k);

/* Typed numbers. */
/* The digits of text up to the first "." or "," in order, negative when a "-"
 * stands anywhere before that; other characters are ignored. An empty text or
 * nullptr gives 0. The magnitude saturates at INT32_MAX. */
std::int32_t MAIN_ReceiveNumber(const wchar_t *text);
/* The first digit after the first "." or ","; 0 when there is no separator or
 * no digit after it. */
std::int32_t MAIN_ReceiveNumberFract(const wchar_t *text);
/* The configuration version byte (MAIN_PackConfigVersion) for a typed
 * "major.minor": major from MAIN_ReceiveNumber, taken as 0 when negative or
 * above 15 (tested on the full value, before narrowing); minor from
 * MAIN_ReceiveNumberFract. */
std::uint8_t MAIN_ReceiveConfigVersion(const wchar_t *text);

/* MAIN_StoreNumber(field, value): stores a parsed number into a narrower row
 * field, saturating at the field's limits instead of wrapping: a value above
 * the field's largest value stores the largest (a typed TP frequency of 76286
 * stores 65535 into the 16-bit ConvFreq, not 10750), a value below its
 * smallest stores the smallest (0 for unsigned fields, -128 for AGCVal).
 * Values that fit are stored unchanged. */
template <typename T> constexpr T MAIN_SaturateTo(long long value)
{
    static_assert(std::numeric_limits<T>::is_integer && sizeof(T) <= 4, "narrow integer fields");
    constexpr long long lo = static_cast<long long>(std::numeric_limits<T>::min());
    constexpr long long hi = static_cast<long long>(std::numeric_limits<T>::max());
    if (value < lo) return static_cast<T>(lo);
    if (value > hi) return static_cast<T>(hi);
    return static_cast<T>(value);
}
template <typename T> constexpr void MAIN_StoreNumber(T &field, long long value)
{
    field = MAIN_SaturateTo<T>(value);
}
