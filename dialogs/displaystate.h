/* displaystate.h -- what the open progress dialog shows, as display.cpp
 * keeps it: its own state, named here so that the test library can look at
 * it beside the pixels. No module of the program reads it.
 */
#pragma once

#include "dialogs/display.h"

extern Display_t DisplayShown;
