// Message boxes. Windows build only (dialogs_win.cpp).
#pragma once

#include <string>

// Shows a message box with one OK button, no icon and no owner window, and
// returns when the user has closed it.
void showMessageBox(const std::string& caption, const std::string& text);
