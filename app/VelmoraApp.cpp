#include "app/VelmoraApp.h"

#include <commctrl.h>

#include "app/MainDialog.h"
#include "engine/BanHotkey.h"
#include "engine/HookLibrary.h"
#include "framework/Handle.h"
#include "framework/StartupTrace.h"
#include "listfile/SystemCodePage.h"
#include "listfile/SystemTitleOrder.h"
#include "listfile/Win32ListFileSystem.h"

namespace app {

const char* const kInstanceMutexName = "Velmora";
const char* const kProgramTitle = "Draxtel Velmora";
const char* const kRegistryCompany = "Draxtel";

int VelmoraApp::Run(HINSTANCE) {
    fw::MarkStartup("WinMain");
    fw::SetAppTitle(kProgramTitle);
    // The handle stays open for the life of the process: it is the guard.
    fw::UniqueKernelHandle mutex(::CreateMutexA(nullptr, TRUE, kInstanceMutexName));
    if (::GetLastError() == ERROR_ALREADY_EXISTS)
        return 0;

    // Without the hook library the program cannot see a window: say which
    // file is missing and where it was looked for, and end.
    engine::HookLibrary hook;
    if (!hook.Loaded()) {
        ::MessageBoxA(nullptr, hook.Problem().c_str(), fw::GetAppTitle().c_str(),
                      MB_OK | MB_ICONSTOP | MB_SETFOREGROUND);
        return 1;
    }

    fw::MarkStartup("hook library loaded");
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_TAB_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);

    fw::MarkStartup("common controls");
    settings::RegistryProfile profile;
    profile.SetCompany(kRegistryCompany);
    profile.SetApplication(fw::GetAppName());
    const settings::SettingsStore store(
        profile, [](const std::string& key) { return engine::BanHotkeyKeyProblem(key).empty(); });
    const settings::StoredSettings stored = store.Load();
    {
        settings::Settings settings = stored.settings;
        listfile::SystemTitleOrder order;
        listfile::Win32ListFileSystem files;
        listfile::SystemCodePage codePage;
        bannedlist::BannedList bannedList(order, files, codePage);
        bannedList.SetPath(stored.Path);
        stats::KillCount kills(stored.nKills);
        engine::Blocker blocker(
            settings, [&](const std::string& title) { return bannedList.Contains(title); },
            [&](const std::string& title) { return bannedList.Insert(title); },
            [&](const std::string& title) { kills.Record(title); }, hook);
        fw::MarkStartup("settings read");
        MainDialog dialog(settings, bannedList, kills, blocker, store);
        dialog.DoModal(nullptr);
    }
    fw::SetMainWindow(nullptr);
    fw::WriteStartupTrace();
    return 0;
}

} // namespace app
