/* diffs.h -- the result of comparing the table on the screen with the one a
 * device holds: "The device holds this table.", or the differences one a
 * line in the table's own words, after Compare with Device and after a
 * Program that was verified and found the device different.
 */
#pragma once

#include "config/compare.h"
#include "platform/win.h"

/* What was compared. */
struct DiffsShown_t {
    int Summary;            /* TX_ of the line above the list */
    const CmpDiff_t *Diffs; /* the table's differences */
    int Count;
    std::uint8_t Here;   /* the configuration version on the screen */
    std::uint8_t Device; /* and the one in the device */
    bool OfferTake;      /* a button that takes the device's table */
};

/* Shows what was compared, modal on owner. Returns true when the user took
 * the device's table. */
bool DIFFS_Show(HWND owner, const DiffsShown_t *shown);
/* The list as the dialog shows it, one difference a line (len wide
 * characters); the number of lines. */
int DIFFS_Text(const DiffsShown_t *shown, wchar_t *out, int len);
