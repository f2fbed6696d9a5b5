#include "tests/e2e/MakerProcess.h"

#include <cstdio>
#include <cstdlib>

namespace e2e {

MakerProcess::~MakerProcess() {
    // Asked to end, so that hooks it set go with it; Wine keeps those of a
    // process ended from outside.
    if (Running()) {
        Ask("quit", 0);
        ::WaitForSingleObject(process.Get(), 5000);
    }
    Kill();
}

bool MakerProcess::Start(const std::string& exe) {
    Kill();
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    OwnedHandle childIn, childOut;
    if (!::CreatePipe(childIn.Put(), toMaker.Put(), &inherit, 0) ||
        !::CreatePipe(fromMaker.Put(), childOut.Put(), &inherit, 0))
        return false;
    ::SetHandleInformation(toMaker.Get(), HANDLE_FLAG_INHERIT, 0);
    ::SetHandleInformation(fromMaker.Get(), HANDLE_FLAG_INHERIT, 0);
    std::string path = exe;
    if (path.empty()) { // tests/e2e/ beside tests/win/ and tests/bench/
        char self[MAX_PATH] = {};
        ::GetModuleFileNameA(nullptr, self, MAX_PATH);
        path = std::string(self);
        path = path.substr(0, path.find_last_of('\\')) + "\\..\\e2e\\popup_maker.exe";
    }
    std::string commandLine = "\"" + path + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = childIn.Get();
    si.hStdOutput = childOut.Get();
    si.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION info{};
    bool started = ::CreateProcessA(path.c_str(), &commandLine[0], nullptr, nullptr, TRUE,
                                    CREATE_NO_WINDOW, nullptr, nullptr, &si, &info) != FALSE;
    if (started) {
        process.Reset(info.hProcess);
        OwnedHandle thread(info.hThread);
        pid = info.dwProcessId;
    }
    // Only the maker holds its ends now.
    childIn.Reset();
    childOut.Reset();
    return started && ReadLine(20000) == "ready";
}

std::string ReadPipeLine(HANDLE pipe, std::string& pending, DWORD timeoutMs) {
    for (DWORD start = ::GetTickCount();;) {
        size_t end = pending.find('\n');
        if (end != std::string::npos) {
            std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            return line;
        }
        DWORD available = 0;
        if (!pipe || !::PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr))
            return std::string();
        if (available) {
            std::string chunk(available, '\0');
            DWORD got = 0;
            ::ReadFile(pipe, &chunk[0], available, &got, nullptr);
            pending.append(chunk, 0, got);
            continue;
        }
        if (::GetTickCount() - start >= timeoutMs)
            return std::string();
        ::Sleep(1);
    }
}

std::string MakerProcess::ReadLine(DWORD timeoutMs) {
    return ReadPipeLine(fromMaker.Get(), pending, timeoutMs);
}

std::string MakerProcess::Ask(const std::string& command, DWORD timeoutMs) {
    std::string line = command + "\n";
    DWORD written = 0;
    if (!toMaker || !::WriteFile(toMaker.Get(), line.data(), static_cast<DWORD>(line.size()),
                                 &written, nullptr))
        return std::string();
    return ReadLine(timeoutMs);
}

HWND MakerProcess::AskWindow(const std::string& command) {
    return reinterpret_cast<HWND>(
        static_cast<UINT_PTR>(std::strtoull(Ask(command).c_str(), nullptr, 10)));
}

HWND MakerProcess::Open(const std::string& title, int width, int height) {
    return AskWindow("open " + std::to_string(width) + " " + std::to_string(height) + " " + title);
}

HWND MakerProcess::OpenRefusing(const std::string& title, int width, int height) {
    return AskWindow("refusing " + std::to_string(width) + " " + std::to_string(height) + " " +
                     title);
}

HWND MakerProcess::OpenSlow(DWORD closeTakesMs, const std::string& title, int width, int height) {
    return AskWindow("slow " + std::to_string(closeTakesMs) + " " + std::to_string(width) + " " +
                     std::to_string(height) + " " + title);
}

bool MakerProcess::SetTitle(HWND window, const std::string& title) {
    return Ask("title " + std::to_string(reinterpret_cast<UINT_PTR>(window)) + " " + title) == "ok";
}

bool MakerProcess::Flash(int count, int lifeMs, int width, int height, const std::string& prefix) {
    std::string command = "flash " + std::to_string(count) + " " + std::to_string(lifeMs) + " " +
                          std::to_string(width) + " " + std::to_string(height) + " " + prefix;
    return Ask(command, 600000) == "made " + std::to_string(count);
}

int MakerProcess::CloseRequests() {
    std::string answer = Ask("requests");
    return answer.empty() ? -1 : std::atoi(answer.c_str());
}

bool MakerProcess::Close(HWND window) {
    return Ask("close " + std::to_string(reinterpret_cast<UINT_PTR>(window))) == "ok";
}

bool MakerProcess::HasModule(const std::string& name) {
    return Ask("module " + name) == "yes";
}

bool MakerProcess::Burst(int count, int intervalMs, int width, int height,
                         const std::string& prefix) {
    std::string command = "burst " + std::to_string(count) + " " + std::to_string(intervalMs) +
                          " " + std::to_string(width) + " " + std::to_string(height) + " " + prefix;
    return Ask(command, 600000) == "made " + std::to_string(count);
}

bool MakerProcess::CloseAll() {
    return Ask("closeall", 600000) == "ok";
}

bool MakerProcess::WaitGone(DWORD timeoutMs, size_t& gone, double& elapsedMs) {
    std::string answer = Ask("waitgone " + std::to_string(timeoutMs), timeoutMs + 20000);
    unsigned long count = 0;
    double elapsed = 0;
    if (std::sscanf(answer.c_str(), "gone %lu %lf", &count, &elapsed) != 2)
        return false;
    gone = count;
    elapsedMs = elapsed;
    return true;
}

unsigned MakerProcess::Markers() {
    return static_cast<unsigned>(std::strtoul(Ask("markers").c_str(), nullptr, 10));
}

bool MakerProcess::Hook(HWND target, const std::string& path) {
    return Ask("hook " + std::to_string(reinterpret_cast<UINT_PTR>(target)) + " " + path) == "ok";
}

void MakerProcess::Kill() {
    if (process) {
        ::TerminateProcess(process.Get(), 1);
        ::WaitForSingleObject(process.Get(), 10000);
    }
    process.Reset();
    pid = 0;
    toMaker.Reset();
    fromMaker.Reset();
    pending.clear();
}

} // namespace e2e
