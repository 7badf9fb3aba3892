#include "host/Entry_win.h"

#include <memory>
#include <optional>

#include "host/Application_win.h"
#include "host/MainForm_win.h"
#include "host/RunState.h"
#include "platform/win/Handles.h"
#include "dialog/OptDlg_win.h"

namespace flutt {
namespace {

constexpr wchar_t kInstanceMutexName[] = L"CBSaver";
constexpr wchar_t kSaverTitle[] = L"Fluttons! スクリーンセーバー";

// Takes the preview runs' named mutex, or returns nothing when another
// preview run holds it. A failed creation lets the run go on.
std::optional<win::unique_handle> TakePreviewGuard() {
    if (HANDLE other = ::OpenMutexW(MUTEX_ALL_ACCESS, FALSE, kInstanceMutexName)) {
        ::CloseHandle(other);
        return std::nullopt;
    }
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, nullptr, TRUE};
    return win::unique_handle(::CreateMutexW(&attributes, TRUE, kInstanceMutexName));
}

}  // namespace

int RunProgram(HINSTANCE instance, const std::vector<std::wstring>& args) {
    const std::vector<std::wstring_view> views(args.begin(), args.end());
    const auto decision = DecideRunMode(views);
    if (!decision) return -1;
    FixRunMode(*decision);

    // Held until the process ends; the next preview can start from then on.
    std::optional<win::unique_handle> instanceMutex;
    if (decision->mode == RunMode::Preview) {
        instanceMutex = TakePreviewGuard();
        if (!instanceMutex) return -1;
    }

    TApplication app;
    SaverSettings settings;
    std::unique_ptr<TMainForm> mainForm;
    std::unique_ptr<TOptDialog> optDialog;
    try {
        app.Initialize(instance, args.empty() ? std::wstring() : args[0]);
        switch (decision->mode) {
            case RunMode::Preview:
                ::ShowWindow(app.Handle(), SW_HIDE);
                ::ShowWindow(reinterpret_cast<HWND>(static_cast<UINT_PTR>(decision->hostWindow)), SW_SHOW);
                mainForm = std::make_unique<TMainForm>(app, settings);
                break;
            case RunMode::Saver:
                app.SetTitle(kSaverTitle);
                mainForm = std::make_unique<TMainForm>(app, settings);
                break;
            case RunMode::Configure:
                optDialog = std::make_unique<TOptDialog>(app);
                break;
            case RunMode::Password:
                break;
        }
        app.Run();
    } catch (const std::exception& error) {
        app.ShowException(error);
    }
    return 0;
}

}  // namespace flutt
