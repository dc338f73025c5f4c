/* shots.h -- pictures of the windows for a person to look at: when
 * BREVANT_SHOTS names a folder, SaveShot saves window w there as name.png;
 * otherwise it does nothing.
 *
 *   SaveShot(dlg, "ub-calculator");             // $BREVANT_SHOTS/ub-calculator.png
 */
#pragma once

#include "platform/testsupport/wintest.h"

#include <cstdlib>
#include <string>

inline void SaveShot(HWND w, const char *name)
{
    if (const char *shots = std::getenv("BREVANT_SHOTS"))
        WIN_SaveImage(w, (std::string(shots) + "/" + name + ".png").c_str());
}
