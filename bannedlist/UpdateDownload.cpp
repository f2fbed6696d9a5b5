#include "bannedlist/UpdateDownload.h"

#include <windows.h>
#include <urlmon.h>

#include <vector>

#include "bannedlist/AtomicFile.h"
#include "bannedlist/ListFileFormat.h"

namespace listfile {

namespace {

// URLDownloadToFile reports success for any answer the server gives, error
// pages included (Wine writes a 404 page into the file and returns S_OK),
// so the status comes from the HTTP negotiation of a callback. The
// callback lives on the stack for the one blocking call.
class StatusCallback : public IBindStatusCallback, public IHttpNegotiate {
public:
    bool answered = false;
    DWORD status = 0;

    STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
        if (!object)
            return E_POINTER;
        if (IsEqualIID(riid, __uuidof(IUnknown)) || IsEqualIID(riid, __uuidof(IBindStatusCallback)))
            *object = static_cast<IBindStatusCallback*>(this);
        else if (IsEqualIID(riid, __uuidof(IHttpNegotiate)))
            *object = static_cast<IHttpNegotiate*>(this);
        else {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }

    // IBindStatusCallback
    STDMETHODIMP OnStartBinding(DWORD, IBinding*) override { return S_OK; }
    STDMETHODIMP GetPriority(LONG*) override { return E_NOTIMPL; }
    STDMETHODIMP OnLowResource(DWORD) override { return S_OK; }
    STDMETHODIMP OnProgress(ULONG, ULONG, ULONG, LPCWSTR) override { return S_OK; }
    STDMETHODIMP OnStopBinding(HRESULT, LPCWSTR) override { return S_OK; }
    STDMETHODIMP GetBindInfo(DWORD* flags, BINDINFO*) override {
        // Always the server's current list, never a cached copy.
        if (flags)
            *flags |= BINDF_GETNEWESTVERSION | BINDF_NOWRITECACHE | BINDF_PRAGMA_NO_CACHE;
        return S_OK;
    }
    STDMETHODIMP OnDataAvailable(DWORD, DWORD, FORMATETC*, STGMEDIUM*) override { return S_OK; }
    STDMETHODIMP OnObjectAvailable(REFIID, IUnknown*) override { return S_OK; }

    // IHttpNegotiate
    STDMETHODIMP BeginningTransaction(LPCWSTR, LPCWSTR, DWORD, LPWSTR* extraHeaders) override {
        if (extraHeaders)
            *extraHeaders = nullptr;
        return S_OK;
    }
    STDMETHODIMP OnResponse(DWORD code, LPCWSTR, LPCWSTR, LPWSTR* extraHeaders) override {
        answered = true;
        status = code;
        if (extraHeaders)
            *extraHeaders = nullptr;
        return S_OK;
    }
};

// COM for the duration of one download, when the thread has none yet.
class ComScope {
public:
    ComScope() : hr_(::CoInitialize(nullptr)) {}
    ~ComScope() {
        if (SUCCEEDED(hr_))
            ::CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    HRESULT hr_;
};

} // namespace

std::string UpdateUrl() {
    std::string fromEnvironment;
    DWORD size = ::GetEnvironmentVariableA("VELMORA_UPDATE_URL", nullptr, 0);
    if (size > 0) {
        std::vector<char> buffer(size + 1, '\0');
        DWORD got = ::GetEnvironmentVariableA("VELMORA_UPDATE_URL", buffer.data(),
                                              static_cast<DWORD>(buffer.size()));
        if (got > 0 && got < buffer.size())
            fromEnvironment.assign(buffer.data(), got);
    }
    return ChooseUpdateUrl(fromEnvironment);
}

bool DownloadToFile(const std::string& url, const std::string& target) {
    TemporaryFile temp(FullPathOf(target));
    if (temp.Error())
        return false;
    StatusCallback callback;
    HRESULT hr;
    {
        ComScope com;
        hr = ::URLDownloadToFileA(nullptr, url.c_str(), temp.Path().c_str(), 0, &callback);
    }
    if (hr != S_OK || !callback.answered || !IsSuccessfulHttpStatus(callback.status))
        return false;
    return temp.ReplaceTarget() == ERROR_SUCCESS;
}

} // namespace listfile
