// The screen: the program-wide mouse cursor.
#pragma once

#include "framework/Fw_classes.h"

#include <windows.h>

enum TCursor : int {
    crDefault = 0,    // each window's own cursor
    crArrow = -2,
    crHourGlass = -11,
};

// Main thread only.
class TScreen : public TObject {
public:
    TCursor GetCursor() const { return FCursor; }
    // Shows the cursor at once over every window of the program; crDefault
    // gives the windows their own cursors back.
    void SetCursor(TCursor value);
    // The system cursor that stands for the screen cursor; null for crDefault.
    HCURSOR CursorHandle() const;
    // The answer to WM_SETCURSOR of a form: true when the screen cursor was
    // shown, so that no window's own cursor replaces it.
    bool ApplyCursor(LPARAM hitTestAndMessage) const;

private:
    TCursor FCursor = crDefault;
};

extern TScreen* const Screen;
