// The About page's links, opened through the real shell. The test prefix's
// handler for http addresses is replaced, for the test's length, by a command
// that writes down the address it was given, so no browser starts.
#include <gtest/gtest.h>

#include "tests/e2e/Harness.h"

using namespace e2e;

namespace {

const char kHttpCommandKey[] = "Software\\Classes\\http\\shell\\open\\command";

// Puts a command in place of the http handler and puts the old one back.
class HttpHandlerSwap {
public:
    explicit HttpHandlerSwap(const std::string& command) {
        HKEY key = nullptr;
        if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kHttpCommandKey, 0, nullptr, 0,
                              KEY_READ | KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
            return;
        char old[1024] = {};
        DWORD size = sizeof(old) - 1, type = 0;
        hadOld_ = ::RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(old),
                                     &size) == ERROR_SUCCESS;
        old_ = old;
        swapped_ = ::RegSetValueExA(key, nullptr, 0, REG_SZ,
                                    reinterpret_cast<const BYTE*>(command.c_str()),
                                    static_cast<DWORD>(command.size() + 1)) == ERROR_SUCCESS;
        ::RegCloseKey(key);
    }
    ~HttpHandlerSwap() {
        HKEY key = nullptr;
        if (!swapped_ || ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kHttpCommandKey, 0, KEY_WRITE, &key) !=
                             ERROR_SUCCESS)
            return;
        if (hadOld_)
            ::RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(old_.c_str()),
                             static_cast<DWORD>(old_.size() + 1));
        else
            ::RegDeleteValueA(key, nullptr);
        ::RegCloseKey(key);
    }
    bool Swapped() const { return swapped_; }

private:
    bool swapped_ = false;
    bool hadOld_ = false;
    std::string old_;
};

} // namespace

TEST(AboutLinks, AClickOpensTheLabelsAddressThroughTheShell) {
    std::string dir = MakeWorkDir("links");
    std::string record = dir + "\\opened.txt";
    HttpHandlerSwap swap("C:\\windows\\system32\\cmd.exe /c echo %1>>\"" + record + "\"");
    ASSERT_TRUE(swap.Swapped());

    UseQuietSettings();
    VelmoraProcess app;
    ASSERT_TRUE(app.Start(dir));
    ASSERT_TRUE(app.WaitForMainWindow());
    app.SelectTab(3);
    ASSERT_TRUE(app.Settle());

    const struct {
        int id;
        const char* address;
    } links[] = {
        {1036, "http://www.draxtel.example/support/"},
        {1040, "http://www.draxtel.example/velmora/"},
    };
    for (const auto& link : links) {
        HWND label = app.PageControl(3, link.id);
        ASSERT_TRUE(label);
        ::PostMessageA(label, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        ::PostMessageA(label, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
        EXPECT_TRUE(WaitUntil(
            [&] { return ReadFileBytes(record).find(link.address) != std::string::npos; }, 20000))
            << link.id << " should have opened " << link.address
            << "; recorded: " << ReadFileBytes(record);
    }
    // The advertisement's caption is a sentence; only addresses were opened.
    EXPECT_EQ(std::string::npos, ReadFileBytes(record).find("Tidewell"));
    EXPECT_TRUE(app.Settle());
    EXPECT_TRUE(app.Close());
}
