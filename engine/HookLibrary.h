// hook.dll, loaded at start from the program's own folder rather than
// imported: a missing or foreign library is then reported, where an import
// would end the program before any of its code ran. While one is loaded,
// SetHook, SetEnable and RemoveHook (hook/hook.h) call its exports.
#pragma once

#include <windows.h>

#include <string>

#include "hook/hook.h"

namespace engine {

class HookLibrary {
public:
    // Loads hook.dll from folder, or from the program's own when empty.
    explicit HookLibrary(const std::string& folder = std::string());
    ~HookLibrary();
    HookLibrary(const HookLibrary&) = delete;
    HookLibrary& operator=(const HookLibrary&) = delete;

    bool Loaded() const { return module != nullptr; }
    // When not loaded: which file, where it was looked for, and what is wrong.
    const std::string& Problem() const { return problem; }

private:
    using SetHookFunction = void (*)(HWND);
    using SetEnableFunction = void (*)(int);
    using RemoveHookFunction = void (*)();

    HMODULE module = nullptr;
    std::string problem;
    SetHookFunction setHook = nullptr;
    SetEnableFunction setEnable = nullptr;
    RemoveHookFunction removeHook = nullptr;

    friend void ::SetHook(HWND);
    friend void ::SetEnable(int);
    friend void ::RemoveHook();
};

} // namespace engine
