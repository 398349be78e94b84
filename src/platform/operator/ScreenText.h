// A text picture of the screen, for readable test failures and for simple renderers.
#pragma once

#include <string>

class TForm;

// A text picture of the screen: the active form, its visible controls with their texts, enabled
// state, masks, grid cells and the focus, and any open message box. UTF-8.
std::string ScreenText();
// The same for one form (shown or not).
std::string FormText(const TForm *f);
