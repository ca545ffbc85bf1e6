// The up-down handler shared by the Click and Wheel pages: an up-down
// steps the text of its read-only buddy edit box.
#pragma once
#include <windows.h>
#include <commctrl.h>

// Delay up-downs (234, 232) step 0.5 s within 0.5..4.0; any other steps
// wheel lines within 1..40. Setting the buddy's text raises EN_CHANGE,
// which marks the page changed. Returns 0: the up-down's own position is
// free to change and never read.
LRESULT UpDownDeltaPosApply(HWND page, int upDownId, const NMUPDOWN* notification);
