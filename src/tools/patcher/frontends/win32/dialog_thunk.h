#pragma once
#include "tools/patcher/ui/ui.h"

#include <windows.h>

namespace orvo {

// The dialog procedure of every dialog of the Win32 front end. The creation parameter of the
// dialog is dialog_thunk_parameter(proc); from WM_INITDIALOG on (whose lparam it then sees as
// 0), proc receives every message of the dialog and its result is the dialog procedure's result.
INT_PTR CALLBACK dialog_thunk(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);

inline LPARAM dialog_thunk_parameter(ui::dialog_proc_t proc) { return reinterpret_cast<LPARAM>(proc); }

} // namespace orvo
