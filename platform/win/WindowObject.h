// Windows as objects: the object passed as the creation parameter is bound to
// its window at WM_NCCREATE, and every later message finds it again.
#pragma once

#include <windows.h>

namespace flutt::win {

// The object bound to `window`, binding it first when `message` is
// WM_NCCREATE; null for the few messages that come before.
template <typename T>
T* WindowObject(HWND window, UINT message, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* object = static_cast<T*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
        return object;
    }
    return reinterpret_cast<T*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
}

}  // namespace flutt::win
