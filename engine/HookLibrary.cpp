#include "engine/HookLibrary.h"

#include <vector>

#include "engine/LibraryFile.h"

namespace engine {

namespace {

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

// The first bytes of the file, enough for its headers.
std::string FileHead(const std::string& path) {
    fw::UniqueFileHandle file(::CreateFileA(path.c_str(), GENERIC_READ,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                            OPEN_EXISTING, 0, nullptr));
    std::string head(4096, '\0');
    DWORD got = 0;
    if (!file || !::ReadFile(file.Get(), &head[0], static_cast<DWORD>(head.size()), &got, nullptr))
        got = 0;
    head.resize(got);
    return head;
}

// Why a file that is there did not load.
std::string WhyNotLoaded(const std::string& path, DWORD error) {
    const bool wide = sizeof(void*) == 8;
    LibraryFileKind kind = ClassifyLibraryFile(FileHead(path));
    if (kind == LibraryFileKind::NotALibrary)
        return path + " is not a library.";
    if (kind != (wide ? LibraryFileKind::Library64 : LibraryFileKind::Library32))
        return path + " is not a " + (wide ? "64-bit" : "32-bit") + " library.";
    return path + " could not be loaded (error " + std::to_string(error) + ").";
}

template <typename Function> Function Resolve(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

} // namespace

HookLibrary::HookLibrary(const std::string& folder) {
    std::string where = folder.empty() ? ProgramFolder() : folder;
    std::string path = where + "\\hook.dll";
    // Only this file: not one of the same name elsewhere on the search path.
    module.Reset(::LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
    if (!module) {
        DWORD error = ::GetLastError();
        if (::GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES)
            problem =
                "Velmora cannot start: hook.dll was not found. It was looked for in " + where + ".";
        else
            problem = "Velmora cannot start: " + WhyNotLoaded(path, error);
        problem += kAdvice;
        return;
    }
    setHook = Resolve<SetHookFunction>(module.Get(), "SetHook");
    setEnable = Resolve<SetEnableFunction>(module.Get(), "SetEnable");
    removeHook = Resolve<RemoveHookFunction>(module.Get(), "RemoveHook");
    if (!setHook || !setEnable || !removeHook) {
        const char* missing = !setHook ? "SetHook" : !setEnable ? "SetEnable" : "RemoveHook";
        problem = "Velmora cannot start: " + path + " does not provide " + missing + "." + kAdvice;
        module.Reset();
    }
}

void HookLibrary::SetHook(HWND target) const {
    if (module)
        setHook(target);
}

void HookLibrary::SetEnable(int enable) const {
    if (module)
        setEnable(enable);
}

void HookLibrary::RemoveHook() const {
    if (module)
        removeHook();
}

} // namespace engine
