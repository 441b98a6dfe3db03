// Looks at the running bar from another Windows process, for the checks
// under Wine: bar_probe COMMAND
//   rect      prints the bar window's rectangle: left top right bottom
//   close     sends the bar WM_CLOSE, as Alt-F4 or a task manager would
//   key NAME  posts a key press to the bar: enter or escape
// Exits 1 when there is no bar window, 2 on a wrong command line.

#include <windows.h>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const char* command = argv[1];
  // The bar is a dialog window titled "VantRel".
  HWND bar = FindWindowW(L"#32770", L"VantRel");
  if (bar == nullptr) return 1;
  if (std::strcmp(command, "rect") == 0) {
    RECT rc{};
    GetWindowRect(bar, &rc);
    std::printf("%ld %ld %ld %ld\n", rc.left, rc.top, rc.right, rc.bottom);
    return 0;
  }
  if (std::strcmp(command, "close") == 0) {
    SendMessageTimeoutW(bar, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
    return 0;
  }
  if (std::strcmp(command, "key") == 0 && argc == 3) {
    const WPARAM key = std::strcmp(argv[2], "enter") == 0 ? VK_RETURN : VK_ESCAPE;
    PostMessageW(bar, WM_KEYDOWN, key, 1);
    PostMessageW(bar, WM_KEYUP, key, 0xC0000001);
    return 0;
  }
  return 2;
}
