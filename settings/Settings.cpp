#include "settings/Settings.h"

namespace settings {

namespace {

// The stored values in the order they are read and written, and the field
// behind each. A visitor gives the entries their meaning (read or write).
template <typename Visitor> void VisitKeptValues(Visitor& v, StoredSettings& stored) {
    Settings& s = stored.settings;
    v.Flag("LoadStart", s.LoadStart);
    v.Flag("LoadMinimized", s.LoadMinimized);
    v.Flag("SaveOnExit", s.SaveOnExit);
    v.Flag("LoadOnStartup", s.LoadOnStartup);
    v.Flag("AddAlt", s.AddAlt);
    v.Flag("AddShift", s.AddShift);
    v.Flag("AddCtrl", s.AddCtrl);
    v.Flag("ByName", s.ByName);
    v.Flag("BySize", s.BySize);
    v.Flag("BySess", s.BySess);
    v.Signed("Height", s.Height);
    v.Signed("Width", s.Width);
    v.Flag("AutoStart", s.AutoStart);
    v.Unsigned("Delay", s.Delay);
    v.Signed("Sessions", s.Sessions);
    v.Unsigned("nKills", stored.nKills);
    v.Text("Key", s.Key, kKeyMaxCharacters);
    v.Text("Path", stored.Path, 0);
}

// A list the Browsers page could have written: no empty name, none longer
// than its edit box takes.
bool ReadNameList(const SettingsSource& source, const char* name, fw::LeadByteTest isLeadByte,
                  NameList& list) {
    std::vector<std::string> names;
    if (!source.ReadStringList(name, names))
        return false;
    std::vector<std::string> kept;
    for (std::string& entry : names) {
        if (!entry.empty() && fw::CountCharacters(entry, isLeadByte) <= kMaxNameCharacters)
            kept.push_back(std::move(entry));
    }
    list = NameList(kept);
    return true;
}

void ReadListsAndRegistryOnlyValues(const SettingsSource& source, fw::LeadByteTest isLeadByte,
                                    Settings& s) {
    NameList browsers;
    // No name at all would judge nothing: more likely a slip than a wish.
    if (ReadNameList(source, "BrowserNames", isLeadByte, browsers) && !browsers.Empty())
        s.BrowserNames = browsers;
    ReadNameList(source, "NeverClose", isLeadByte, s.NeverClose);
    uint32_t seconds = 0;
    if (source.ReadDword("LateTitleSeconds", seconds))
        s.LateTitleSeconds = seconds < kMaxLateTitleSeconds ? seconds : kMaxLateTitleSeconds;
    uint32_t inTurn = 0;
    if (source.ReadDword("DelayInTurn", inTurn))
        s.DelayInTurn = inTurn ? 1 : 0;
}

// An edited list is stored; edited back to the default, it is taken out, so
// that the program's defaults are followed again.
void WriteNameList(SettingsSink& sink, const char* name, const NameList& list, bool edited,
                   const NameList& defaults) {
    if (!edited)
        return;
    if (list == defaults)
        sink.Delete(name);
    else
        sink.WriteStringList(name, list.Names());
}

class Reader {
public:
    Reader(const SettingsSource& from, fw::LeadByteTest leadByteTest)
        : source(from), isLeadByte(leadByteTest) {}

    void Flag(const char* name, int& field) {
        uint32_t value = 0;
        if (source.ReadDword(name, value))
            field = value ? 1 : 0;
    }
    // Signed fields keep their bits: 0xFFFFFFFF reads as -1.
    void Signed(const char* name, int32_t& field) {
        uint32_t value = 0;
        if (source.ReadDword(name, value))
            field = static_cast<int32_t>(value);
    }
    void Unsigned(const char* name, uint32_t& field) { source.ReadDword(name, field); }
    // A text longer than its field allows would fail every read of the page
    // and be written back as it came.
    void Text(const char* name, std::string& field, size_t maxCharacters) {
        std::string value;
        if (source.ReadString(name, value) &&
            (!maxCharacters || fw::CountCharacters(value, isLeadByte) <= maxCharacters))
            field = value;
    }

private:
    const SettingsSource& source;
    fw::LeadByteTest isLeadByte;
};

class Writer {
public:
    explicit Writer(SettingsSink& to) : sink(to) {}
    void Flag(const char* name, int& field) { sink.WriteDword(name, field ? 1 : 0); }
    void Signed(const char* name, int32_t& field) {
        sink.WriteDword(name, static_cast<uint32_t>(field));
    }
    void Unsigned(const char* name, uint32_t& field) { sink.WriteDword(name, field); }
    void Text(const char* name, std::string& field, size_t) { sink.WriteString(name, field); }

private:
    SettingsSink& sink;
};

} // namespace

StoredSettings ReadStoredSettings(const SettingsSource& source, fw::LeadByteTest isLeadByte,
                                  const std::function<bool(const std::string&)>& isUsableKey) {
    StoredSettings stored;
    Reader reader(source, isLeadByte);
    VisitKeptValues(reader, stored);
    // One that no key types would register another key's code, or nothing.
    if (isUsableKey && !isUsableKey(stored.settings.Key))
        stored.settings.Key = Settings().Key;
    ReadListsAndRegistryOnlyValues(source, isLeadByte, stored.settings);
    return stored;
}

void WriteStoredSettings(SettingsSink& sink, const StoredSettings& stored) {
    Writer writer(sink);
    // The visit takes fields by reference for both directions; writing
    // changes none.
    StoredSettings copy = stored;
    VisitKeptValues(writer, copy);
    const Settings& s = stored.settings;
    WriteNameList(sink, "BrowserNames", s.BrowserNames, s.BrowserNamesEdited,
                  DefaultBrowserNames());
    WriteNameList(sink, "NeverClose", s.NeverClose, s.NeverCloseEdited, NameList());
}

NameList DefaultBrowserNames() {
    return NameList({"Microsoft Internet Explorer", "Netscape", "Opera", "AOL"});
}

const std::vector<std::string>& TodaysBrowserNames() {
    // Edge is said to put an invisible character (U+200B) between its two
    // words; read through the ANSI code page, it becomes "?".
    static const std::vector<std::string> names = {
        "Google Chrome", "Mozilla Firefox", "Microsoft Edge", "Microsoft?Edge",
        "Brave",         "Vivaldi",         "Chromium"};
    return names;
}

} // namespace settings
