#include "framework/DataExchange.h"

#include "framework/AnsiCodePage.h"
#include "framework/ExchangeRules.h"

namespace fw {

void DataExchange::Control(int id, Window& control) {
    if (failed || control.m_hWnd)
        return;
    control.SubclassDlgItem(id, dialog);
}

std::string DataExchange::ReadText(int id) const {
    return WindowText(::GetDlgItem(dialog, id));
}

void DataExchange::Text(int id, std::string& value, size_t maxChars,
                        const std::function<std::string(const std::string&)>& problemOf) {
    if (failed)
        return;
    if (!read) {
        HWND ctrl = ::GetDlgItem(dialog, id);
        if (maxChars)
            ::SendMessageA(ctrl, EM_LIMITTEXT, maxChars, 0);
        ::SetWindowTextA(ctrl, value.c_str());
        return;
    }
    std::string text = ReadText(id);
    if (maxChars && CountCharacters(text, AnsiLeadByte) > maxChars) {
        Fail(id, FormatTooManyCharacters(maxChars));
        return;
    }
    std::string problem = problemOf ? problemOf(text) : std::string();
    if (!problem.empty()) {
        Fail(id, problem);
        return;
    }
    value = text;
}

void DataExchange::Int(int id, int32_t& value) {
    if (failed)
        return;
    if (!read) {
        ::SetDlgItemTextA(dialog, id, std::to_string(value).c_str());
        return;
    }
    if (!ParseSignedDecimal(ReadText(id), value))
        Fail(id, kMsgEnterInteger);
}

void DataExchange::UInt(int id, uint32_t& value) {
    if (failed)
        return;
    if (!read) {
        ::SetDlgItemTextA(dialog, id, std::to_string(value).c_str());
        return;
    }
    if (!ParseUnsignedDecimal(ReadText(id), value))
        Fail(id, kMsgEnterPositiveInteger);
}

void DataExchange::Check(int id, int& value) {
    if (failed)
        return;
    HWND ctrl = ::GetDlgItem(dialog, id);
    if (read)
        value = ::SendMessageA(ctrl, BM_GETCHECK, 0, 0) != BST_UNCHECKED ? 1 : 0;
    else
        ::SendMessageA(ctrl, BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
}

void DataExchange::Fail(int id, const std::string& message) {
    failed = true;
    failedId = id;
    failedMessage = message;
    if (!quiet)
        ShowFailure(dialog, id, message);
}

void DataExchange::ShowFailure(HWND page, int id, const std::string& message) {
    HWND owner = GetMainWindow() ? GetMainWindow() : page;
    ::MessageBoxA(owner, message.c_str(), GetAppTitle().c_str(), MB_OK | MB_ICONEXCLAMATION);
    HWND ctrl = ::GetDlgItem(page, id);
    ::SetFocus(ctrl);
    ::SendMessageA(ctrl, EM_SETSEL, 0, -1);
}

} // namespace fw
