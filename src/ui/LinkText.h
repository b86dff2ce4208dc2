// Static texts that behave as links: underlined, blue, a hand cursor, opened by the shell on a
// click. Each dialog keeps its own underlined font from its initialisation to its WM_DESTROY.
#pragma once

#include "stamp/WinTypes.h"
#include "winlib/Controls.h"

// Gives the link the underlined form of the font it uses now; the caller deletes the font.
// Gives nullptr (and the link keeps its font) when it cannot be made.
HFONT MakeUnderlinedFont(const Wnd& link);
// Blue text when the control asking for its colours is the link.
void ColorLinkText(HDC dc, HWND control, int linkId);
// Sets the hand cursor when the window under the cursor is the link; true when it did.
bool SetLinkCursor(HWND window, int linkId);
// Hands the link's text to the shell to open.
void OpenLink(const Wnd& link);
