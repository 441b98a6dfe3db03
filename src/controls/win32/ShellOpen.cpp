#include "controls/win32/ShellOpen.h"

#include <windows.h>

#include <shellapi.h>

namespace vantrel {

void ShellOpen(const std::wstring& target) {
  ShellExecuteW(nullptr, L"open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace vantrel
