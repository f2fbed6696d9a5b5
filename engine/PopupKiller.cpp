#include "engine/PopupKiller.h"

#include <vector>

#include "bannedlist/BannedListPage.h"
#include "engine/KillRules.h"
#include "engine/TitleMatch.h"
#include "framework/AnsiCodePage.h"
#include "hook/hook.h"
#include "settings/OptionsPage.h"
#include "stats/StoppedPage.h"

namespace engine {

namespace {
// Long enough for any window that is alive; a hung one is abandoned sooner
// by SMTO_ABORTIFHUNG.
constexpr UINT kCloseRequestTimeoutMs = 2000;

OpenBrowserWindows::WindowId IdOf(HWND window) {
    return reinterpret_cast<OpenBrowserWindows::WindowId>(window);
}
} // namespace

std::string ReadReportTitle(HWND window) {
    char buffer[kReportTitleBuffer] = {};
    int length = ::GetWindowTextA(window, buffer, kReportTitleBuffer);
    return std::string(buffer, length > 0 ? static_cast<size_t>(length) : 0);
}

std::string ReadWholeTitle(HWND window) {
    // The length is an upper bound; grow until the text fits with room to spare.
    size_t capacity = static_cast<size_t>(::GetWindowTextLengthA(window)) + 2;
    for (;;) {
        std::vector<char> buffer(capacity, '\0');
        int length = ::GetWindowTextA(window, buffer.data(), static_cast<int>(capacity));
        if (length <= 0)
            return std::string();
        if (static_cast<size_t>(length) + 1 < capacity)
            return std::string(buffer.data(), static_cast<size_t>(length));
        capacity *= 2;
    }
}

bool IsBrowserTitleAnsi(const std::string& title) {
    return IsBrowserTitle(title, fw::AnsiLeadByte);
}

void RequestClose(HWND window) {
    DWORD_PTR ignored = 0;
    if (::SendMessageTimeoutA(window, WM_SYSCOMMAND, SC_CLOSE, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG,
                              kCloseRequestTimeoutMs, &ignored))
        return;
    // A request that timed out is withdrawn, not delivered: a window whose
    // thread was only busy (opening more pop-ups) would stay open although
    // counted. Queued, it is handled once that thread is free again.
    ::PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void PopupKiller::OnReport(HWND window, LPARAM event) {
    // A change on the options page takes effect with the next report.
    options_.ReadForReport();

    if (event == POPUP_EVENT_DESTROYED) {
        // Counted out by identity, so the count cannot drop below the
        // windows really open, and no title needs reading.
        openWindows_.Destroyed(IdOf(window));
        return;
    }

    // Only a creation report waits: any other code counts as a creation
    // but is judged at once. No delay means no wait: Sleep(0) would still
    // give the processor away on every report.
    if (event == POPUP_EVENT_CREATED && options_.Delay != 0)
        ::Sleep(EffectiveDelay(options_.Delay));
    RECT rect{};
    ::GetWindowRect(window, &rect);
    std::string title = ReadReportTitle(window);
    if (!IsBrowserTitleAnsi(title))
        return;

    openWindows_.Created(IdOf(window));
    // Windows whose destruction report was lost must not hold places.
    openWindows_.ForgetGone([](OpenBrowserWindows::WindowId id) {
        return ::IsWindow(reinterpret_cast<HWND>(id)) != FALSE;
    });

    RuleSettings rules;
    rules.BySess = options_.BySess;
    rules.Sessions = options_.Sessions;
    rules.BySize = options_.BySize;
    rules.Width = options_.Width;
    rules.Height = options_.Height;
    rules.ByName = options_.ByName;
    KillReason reason =
        DecideKill(rules, openWindows_.Count(), rect.right - rect.left, rect.bottom - rect.top,
                   [&] { return bannedList_.titles.Contains(title); });
    if (reason != KillReason::None)
        KillPopup(window, title);
}

void PopupKiller::KillPopup(HWND window, const std::string& title) {
    RequestClose(window);
    stats_.RecordKill(title);
}

void PopupKiller::OnBanHotkey() {
    HWND window = ::GetForegroundWindow();
    if (!window)
        return;
    std::string title = ReadWholeTitle(window);
    if (bannedList_.IsNewTitle(title) && IsBrowserTitleAnsi(title)) {
        bannedList_.titles.Insert(title);
        RequestClose(window);
    }
}

} // namespace engine
