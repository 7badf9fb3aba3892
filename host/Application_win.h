// TApplication: the program's hidden application window, its title, the
// message loop with its one message filter, and the error box.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <string>

#include "platform/win/Handles.h"

namespace flutt {

class TApplication {
public:
    using MessageFilter = std::function<bool(const MSG&)>;  // true: the message is handled, drop it

    TApplication() = default;
    TApplication(const TApplication&) = delete;
    TApplication& operator=(const TApplication&) = delete;

    // Creates the hidden application window, titled after the program file.
    void Initialize(HINSTANCE instance, const std::wstring& programPath);

    HINSTANCE Instance() const { return instance_; }
    HWND Handle() const { return window_.get(); }
    const std::wstring& Title() const { return title_; }
    void SetTitle(const std::wstring& title);

    // The first window registered becomes the main window; closing it ends the run.
    void SetMainWindow(HWND window);
    HWND MainWindow() const { return mainWindow_; }

    // Replaces any filter installed before.
    void SetMessageFilter(MessageFilter filter) { filter_ = std::move(filter); }

    // Runs until a quit message; returns at once without a main window.
    void Run();

    // Ends the message loop.
    void Terminate();

    // The error box: the error's message (with "." appended when it needs
    // one), an error icon, the application title as caption; owned by the
    // application window, or by a top-most main window, and top-most then.
    void ShowException(const std::exception& error) const;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // Offers a message to the filter, then translates and dispatches it.
    void Deliver(const MSG& msg);

    HINSTANCE instance_ = nullptr;
    win::unique_hwnd window_;
    std::wstring title_;
    HWND mainWindow_ = nullptr;
    MessageFilter filter_;
};

// Runs an event handler, showing any error it raises in the error box; the
// program goes on. Window procedures call their handlers through this, so no
// exception ever crosses into the system.
template <typename Handler>
void RunHandler(const TApplication& app, Handler&& handler) {
    try {
        handler();
    } catch (const std::exception& error) {
        app.ShowException(error);
    }
}

}  // namespace flutt
