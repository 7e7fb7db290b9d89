#pragma once

// Window handles and messages between threads. A "window" is a message target owned
// by the thread that created it (CMessageTarget); posting queues the message for that
// thread, which handles it when it pumps its queue (CMessageLoop).

#include <cstdint>

using HWND = std::uint64_t; ///< Opaque target handle; 0 names none; never reused.
using UINT = unsigned int;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

/// Wait without a time limit.
constexpr std::uint32_t INFINITE = 0xFFFFFFFF;

/// The id registered for `name` (0xC000 and up): the same id for the same name from
/// any thread for the whole process; 0 for a null or empty name or when ids run out.
UINT RegisterWindowMessageA(const char* name) noexcept;

/// True while the target `window` exists.
bool IsWindow(HWND window) noexcept;

/// Queues the message for the thread that owns `window`; callable from any thread and
/// never blocks on the receiver. False when there is no such window.
bool PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

/// Same as PostMessage: the message is always queued, also when sent from the owner
/// thread, so a handler never runs inside the sender (e.g. while it holds a lock).
bool SendNotifyMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
