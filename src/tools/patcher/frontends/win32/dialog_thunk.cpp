#include "tools/patcher/frontends/win32/dialog_thunk.h"

namespace orvo {

INT_PTR CALLBACK dialog_thunk(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(dialog, DWLP_USER, lparam);
    // The creation parameter carried the procedure; the engine's init message has none.
    lparam = 0;
  }
  const auto proc = reinterpret_cast<ui::dialog_proc_t>(GetWindowLongPtrW(dialog, DWLP_USER));
  // Messages before WM_INITDIALOG (WM_SETFONT) are left to the dialog manager.
  if (!proc) return FALSE;
  return proc(dialog, message, wparam, lparam);
}

} // namespace orvo
