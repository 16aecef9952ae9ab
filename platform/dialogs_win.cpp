#include <windows.h>

#include "platform/dialogs.h"

void showMessageBox(const std::string& caption, const std::string& text) {
  MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_OK);
}
