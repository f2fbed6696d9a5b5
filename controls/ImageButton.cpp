#include "controls/ImageButton.h"

// Placeholder until the drawing is written: the control keeps its own look.
int ImageButton::SetIconResources(int, int) { return 0; }
int ImageButton::SetIconHandles(HICON, HICON) { return 0; }
int ImageButton::SetStateColour(int slot, COLORREF, bool) { return slot > 5 ? 3 : 0; }
int ImageButton::ShadeStateColour(int slot, int, bool) { return slot > 5 ? 3 : 0; }
int ImageButton::ResetStateColours(bool) { return 0; }
int ImageButton::SetPressShift(int style, bool) { return style == 0 || style == 1 ? 0 : 6; }
int ImageButton::SetCheckState(int, bool) { return 0; }
int ImageButton::GetCheckState() const { return 0; }
int ImageButton::SetLinkTarget(const char*) { return 0; }
