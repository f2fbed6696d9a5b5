#include "tests/e2e/Screenshots.h"

#include "tests/e2e/Harness.h"

namespace e2e {

bool ScreenShot::Take(const RECT& r) {
    width_ = r.right - r.left;
    height_ = r.bottom - r.top;
    bgr_.clear();
    if (width_ <= 0 || height_ <= 0)
        return false;
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width_, height_);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    bool ok = ::BitBlt(memory, 0, 0, width_, height_, screen, r.left, r.top, SRCCOPY) != FALSE;
    ::SelectObject(memory, old);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width_;
    info.bmiHeader.biHeight = -height_; // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    bgr_.resize(static_cast<size_t>(Stride()) * height_);
    ok = ok &&
         ::GetDIBits(memory, bitmap, 0, height_, bgr_.data(), &info, DIB_RGB_COLORS) == height_;
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    if (!ok)
        bgr_.clear();
    return ok;
}

bool ScreenShot::TakeWindow(HWND window) {
    RECT r{};
    return ::GetWindowRect(window, &r) && Take(r);
}

COLORREF ScreenShot::At(int x, int y) const {
    if (bgr_.empty() || x < 0 || y < 0 || x >= width_ || y >= height_)
        return CLR_INVALID;
    const BYTE* p = &bgr_[static_cast<size_t>(y) * Stride() + static_cast<size_t>(x) * 3];
    return RGB(p[2], p[1], p[0]);
}

int ScreenShot::Count(COLORREF colour, const RECT& area) const {
    int n = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            n += At(x, y) == colour;
    return n;
}

bool ScreenShot::Save(const std::string& name) const {
    std::string folder = Env("VELMORA_SCREENSHOTS");
    if (folder.empty() || bgr_.empty())
        return false;
    ::CreateDirectoryA(folder.c_str(), nullptr);
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(header);
    header.biWidth = width_;
    header.biHeight = -height_;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(bgr_.size());
    file.bfType = 0x4D42; // "BM"
    file.bfOffBits = sizeof(file) + sizeof(header);
    file.bfSize = file.bfOffBits + header.biSizeImage;
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof(file));
    bytes.append(reinterpret_cast<const char*>(&header), sizeof(header));
    bytes.append(reinterpret_cast<const char*>(bgr_.data()), bgr_.size());
    return WriteFileBytes(folder + "\\" + name + ".bmp", bytes);
}

namespace {
struct TopLevelSearch {
    DWORD pid;
    const char* className;
    bool visibleOnly;
    HWND found;
};
BOOL CALLBACK FindTopLevel(HWND hwnd, LPARAM lParam) {
    auto* search = reinterpret_cast<TopLevelSearch*>(lParam);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    if (pid == search->pid && (!search->visibleOnly || ::IsWindowVisible(hwnd)) &&
        ClassOf(hwnd) == search->className) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}
} // namespace

HWND FindTopLevelOfProcess(DWORD pid, const char* className, bool visibleOnly) {
    TopLevelSearch search{pid, className, visibleOnly, nullptr};
    ::EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

} // namespace e2e
