// The wait cursor for work that can take seconds (thousands of files, a slow network share):
// shown while an object of this class lives, and the cursor from before again when it goes,
// whatever way the work ends (a return, an exception).
#pragma once

#include "stamp/WinTypes.h"

class WaitCursor {
  public:
    WaitCursor() : previous_(SetCursor(LoadCursorA(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { SetCursor(previous_ != nullptr ? previous_ : LoadCursorA(nullptr, IDC_ARROW)); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

    // The normal cursor while a box waits for the user in the middle of the work.
    static void ShowNormal() { SetCursor(LoadCursorA(nullptr, IDC_ARROW)); }

  private:
    HCURSOR previous_;
};
