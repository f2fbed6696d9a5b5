#include "engine/HookLibrary.h"

#include <vector>

#include "hook/hook.h"

namespace engine {

namespace {

const HookLibrary* g_loaded = nullptr;

const char kAdvice[] =
    "\n\nVelmora.exe needs the hook.dll that comes with it, in the same folder: copy both "
    "files of one folder of the program together.";

std::string ProgramFolder() {
    std::vector<char> path(MAX_PATH);
    for (;;) {
        DWORD got = ::GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (got == 0)
            return ".";
        if (got < path.size())
            break;
        path.resize(path.size() * 2);
    }
    std::string file(path.data());
    size_t slash = file.find_last_of("\\/");
    return slash == std::string::npos ? "." : file.substr(0, slash);
}

template <typename Function> Function Resolve(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

} // namespace

HookLibrary::HookLibrary(const std::string& folder) {
    std::string where = folder.empty() ? ProgramFolder() : folder;
    std::string path = where + "\\hook.dll";
    // Only this file: not one of the same name elsewhere on the search path.
    module = ::LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!module) {
        DWORD error = ::GetLastError();
        if (::GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES)
            problem =
                "Velmora cannot start: hook.dll was not found. It was looked for in " + where + ".";
        else if (error == ERROR_BAD_EXE_FORMAT)
            problem = "Velmora cannot start: " + path + " is not a " +
                      (sizeof(void*) == 8 ? "64-bit" : "32-bit") + " library.";
        else
            problem = "Velmora cannot start: " + path + " could not be loaded (error " +
                      std::to_string(error) + ").";
        problem += kAdvice;
        return;
    }
    setHook = Resolve<SetHookFunction>(module, "SetHook");
    setEnable = Resolve<SetEnableFunction>(module, "SetEnable");
    removeHook = Resolve<RemoveHookFunction>(module, "RemoveHook");
    if (!setHook || !setEnable || !removeHook) {
        const char* missing = !setHook ? "SetHook" : !setEnable ? "SetEnable" : "RemoveHook";
        problem = "Velmora cannot start: " + path + " does not provide " + missing + "." + kAdvice;
        ::FreeLibrary(module);
        module = nullptr;
        return;
    }
    g_loaded = this;
}

HookLibrary::~HookLibrary() {
    if (g_loaded == this)
        g_loaded = nullptr;
    if (module)
        ::FreeLibrary(module);
}

} // namespace engine

void SetHook(HWND target) {
    if (engine::g_loaded)
        engine::g_loaded->setHook(target);
}

void SetEnable(int enable) {
    if (engine::g_loaded)
        engine::g_loaded->setEnable(enable);
}

void RemoveHook() {
    if (engine::g_loaded)
        engine::g_loaded->removeHook();
}
