// One exchange between a dialog's controls and its fields, in one direction.
// Entries run in the order the page calls them; after the first failure
// every later entry does nothing, so the failing field and all later ones
// keep their old values.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "framework/Window.h"

namespace fw {

class DataExchange {
public:
    DataExchange(HWND page, bool reading, bool quietly = false)
        : dialog(page), read(reading), quiet(quietly) {}

    bool Reading() const { return read; }
    bool Failed() const { return failed; }
    // The field that failed and what it says, kept by a quiet exchange too.
    int FailedId() const { return failedId; }
    const std::string& FailedMessage() const { return failedMessage; }
    // The message of a failed field in a box, then the focus on that field
    // with all its text selected.
    static void ShowFailure(HWND page, int id, const std::string& message);

    // Binds a window object to a control of the template (subclassing it once).
    void Control(int id, Window& control);
    // Text; maxChars 0 means no limit. Writing also limits the edit control.
    // problemOf, when given, says why a text cannot be taken ("" when it can).
    void Text(int id, std::string& value, size_t maxChars = 0,
              const std::function<std::string(const std::string&)>& problemOf = nullptr);
    void Int(int id, int32_t& value);
    void UInt(int id, uint32_t& value);
    // A check box as a 0/1 flag, through BM_GETCHECK and BM_SETCHECK.
    void Check(int id, int& value);

private:
    void Fail(int id, const std::string& message);
    std::string ReadText(int id) const;

    HWND dialog;
    bool read;
    bool quiet;
    bool failed = false;
    int failedId = 0;
    std::string failedMessage;
};

} // namespace fw
