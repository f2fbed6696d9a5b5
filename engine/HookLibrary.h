// hook.dll, loaded at start from the program's own folder rather than
// imported: a missing or foreign library is then reported, where an import
// would end the program before any of its code ran. The object owns the
// module; its three calls reach the library's exports.
#pragma once

#include <windows.h>

#include <string>

#include "framework/Handle.h"

namespace engine {

class HookLibrary {
public:
    // Loads hook.dll from folder, or from the program's own when empty.
    explicit HookLibrary(const std::string& folder = std::string());
    HookLibrary(const HookLibrary&) = delete;
    HookLibrary& operator=(const HookLibrary&) = delete;

    bool Loaded() const { return static_cast<bool>(module); }
    // When not loaded: which file, where it was looked for, and what is wrong.
    const std::string& Problem() const { return problem; }

    // The library's exports; nothing happens while none is loaded.
    void SetHook(HWND target) const;
    void SetEnable(int enable) const;
    // Harmless when repeated or before SetHook.
    void RemoveHook() const;

private:
    using SetHookFunction = void (*)(HWND);
    using SetEnableFunction = void (*)(int);
    using RemoveHookFunction = void (*)();

    fw::UniqueModule module;
    std::string problem;
    SetHookFunction setHook = nullptr;
    SetEnableFunction setEnable = nullptr;
    RemoveHookFunction removeHook = nullptr;
};

} // namespace engine
