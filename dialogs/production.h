/* production.h -- the production window: device after device on the
 * program's Kaltro with the main window's table, each device's record
 * appended to a log, a status field large enough to read from a distance,
 * the counts and the last ten devices. The steps are those of brevant-cli
 * production (ops/prodop), run from the window's timer; a device that does
 * not pass rings the bell.
 */
#pragma once

#include "platform/win.h"

constexpr int PRODUCTION_STATUS_LEN = 160; /* wide characters of the status field */
constexpr int PRODUCTION_LAST = 10;        /* devices in the list */

/* What the status field shows, as the window keeps it: named here so that
 * the tests can look at it beside the pixels. No module of the program reads
 * it. */
struct ProdShown_t {
    wchar_t Status[PRODUCTION_STATUS_LEN];
    COLORREF Color; /* green for a pass, red for a failure, black otherwise */
    int Phase;      /* the run's ProdPhase_t it tells */
};
extern ProdShown_t ProductionShown;

/* Opens the production window, modal on owner, for the table in VelnorCfg
 * and VelnorData (validated by the caller) and the Kaltro the program has
 * opened. A run is stopped before the window closes; afterwards the table is
 * the main window's again and the Kaltro's port is open as before. Returns
 * IDCANCEL. */
INT_PTR PRODUCTION_Run(HWND owner);
