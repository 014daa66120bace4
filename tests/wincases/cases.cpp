#include "cases.h"

#include "settings/reg_settings.h"

namespace qv::storecases {

namespace {

constexpr const char* kCompany = "QuorvaneStoreCases";

// A store under the case's own application key, and what went wrong.
struct Ctx {
    IRegistry& reg;
    CRegSettings s;
    std::string app;
    std::vector<std::string> failures;

    void eq(const std::string& actual, const std::string& expected, const char* what) {
        if (actual != expected)
            failures.push_back(std::string(what) + ": got [" + actual + "] expected [" + expected + "]");
    }
    void that(bool ok, const char* what) {
        if (!ok) failures.push_back(what);
    }
    std::string path(const std::string& section) const {
        return std::string("Software\\") + kCompany + "\\" + app + (section.empty() ? "" : "\\" + section);
    }
    bool exists(const std::string& section) {
        RegKey k;
        if (reg.openKey(reg::kCurrentUser, path(section), reg::kKeyRead, &k) != reg::kOk) return false;
        return reg.closeKey(k), true;
    }
    void writeRaw(const std::string& section, const char* name, uint32_t type, const std::string& bytes) {
        RegKey k;
        if (reg.createKey(reg::kCurrentUser, path(section), reg::kKeyAllAccess, &k) != reg::kOk) return;
        reg.setValue(k, name, type, reinterpret_cast<const uint8_t*>(bytes.data()),
                     static_cast<uint32_t>(bytes.size()));
        reg.closeKey(k);
    }
    std::string rows(const std::string& section) {
        std::string out;
        for (auto& [name, value] : s.GetAllSettings(section))
            out += (out.empty() ? "" : ",") + name + "=" + value;
        return out;
    }
};

bool add(const char* name, void (*body)(Ctx&), bool needsCreationOrder) {
    all().push_back(
        {name, needsCreationOrder, [body](IRegistry& reg, ISystemInfo& sys, const std::string& app) {
             Ctx c{reg, CRegSettings(reg, sys), app, {}};
             c.s.setCompany(kCompany);
             c.s.setAppName(app);
             body(c);
             return c.failures;
         }});
    return true;
}

#define STORE_CASE(name, needsCreationOrder)                       \
    void name(Ctx& c);                                             \
    const bool name##Added = add(#name, name, needsCreationOrder); \
    void name(Ctx& c)

STORE_CASE(TextRoundTripsButZeroBytesReadAsTheDefaultAndStarIsTheUnnamedValue, false) {
    const std::string longText = std::string(5000, 'q') + "\r\nend", accents = "caf\xe9 \xe0 la cr\xe8me";
    c.that(c.s.SaveSetting("Controls", "Message", ""), "save reports success");
    c.eq(c.s.GetSetting("Controls", "Message", "1"), "", "empty text read back");
    c.writeRaw("Controls", "Blank", reg::kSz, "");
    c.eq(c.s.GetSetting("Controls", "Blank", "dflt"), "dflt", "zero bytes");
    c.s.SaveSetting("Text", "Accents", accents);
    c.s.SaveSetting("Text", "Message", longText);
    c.eq(c.s.GetSetting("Text", "Accents"), accents, "ANSI text");
    c.that(c.s.GetSetting("Text", "Message") == longText, "long text");
    c.that(c.rows("Text") == "Accents=" + accents + ",Message=" + longText, "long text through get-all");
    c.that(c.s.SaveSetting("Controls", "*", "default text"), "write the unnamed value");
    c.eq(c.s.GetSetting("Controls", "*", "d"), "default text", "read the unnamed value");
    c.eq(c.s.GetSetting("Controls", "Star", "d"), "d", "not a value named *");
    c.that(c.s.DeleteSetting("Controls", "*"), "delete the unnamed value");
    c.eq(c.s.GetSetting("Controls", "*", "d"), "d", "unnamed value gone");
}

STORE_CASE(ReadingAMissingSectionCreatesNothing, false) {
    c.eq(c.s.GetSetting("Nowhere", "Made", "notMade"), "notMade", "default");
    c.that(c.s.GetAllSettings("Nowhere").empty(), "get-all of a missing section");
    c.that(!c.s.DeleteSetting("Nowhere", "Made"), "deleting from a missing section fails");
    c.that(!c.exists(""), "application key stays absent");
    c.that(c.s.SaveSetting("Deep", "Made", "1") && c.exists("Deep"), "saving creates the whole path");
}

STORE_CASE(NamesIgnoreCaseAndKeepTheirFirstSpelling, false) {
    c.s.SaveSetting("Controls", "ShutDown", "1");
    c.eq(c.s.GetSetting("Controls", "Shutdown", "0"), "1", "read with other case");
    c.s.SaveSetting("Controls", "SHUTDOWN", "0");
    c.eq(c.rows("Controls"), "ShutDown=0", "one value, first spelling");
    c.eq(c.s.GetSetting("controls", "shutdown", "x"), "0", "section name ignores case too");
}

STORE_CASE(EnumerationFollowsCreationOrder, true) {
    std::string expected;
    for (int i = 1; i <= 12; ++i) {
        const std::string n = std::to_string(i), value = i == 3 ? "again" : "G" + n;
        c.s.SaveSetting("ListOfGames", "Name" + n, "G" + n);
        expected += (i > 1 ? ",Name" : "Name") + n + "=" + value;
    }
    c.s.SaveSetting("ListOfGames", "Name3", "again");  // a rewritten value keeps its place
    c.eq(c.rows("ListOfGames"), expected, "rows");
}

STORE_CASE(GetAllPassesOverOtherTypesButKeepsOrder, false) {
    c.s.SaveSetting("ListOfGames", "Name1", "Chess");
    c.writeRaw("ListOfGames", "Odd", reg::kDword, std::string("\x01\x00\x00\x00", 4));
    c.writeRaw("ListOfGames", "Blob", reg::kBinary, std::string(600, 'x'));
    c.s.SaveSetting("ListOfGames", "Name2", "Go");
    c.eq(c.rows("ListOfGames"), "Name1=Chess,Name2=Go", "only REG_SZ rows");
    c.writeRaw("OnlyOther", "N", reg::kDword, std::string(4, '\0'));
    c.that(c.s.GetAllSettings("OnlyOther").empty(), "a section of other types gives nothing");
    c.s.SaveSetting("Empty", "X", "1");
    c.s.DeleteSetting("Empty", "X");
    c.that(c.s.GetAllSettings("Empty").empty(), "an emptied section gives nothing");
}

STORE_CASE(DeletingASectionTakesAllItsValues, false) {
    c.s.SaveSetting("PathOfGames", "Path1", "C:\\a.exe");
    c.s.SaveSetting("PathOfGames", "Path2", "C:\\b.exe");
    c.s.SaveSetting("Controls", "Made", "2");
    c.that(c.s.DeleteSetting("PathOfGames"), "section deleted");
    c.eq(c.s.GetSetting("PathOfGames", "Path1", "none"), "none", "default after delete");
    c.that(!c.s.DeleteSetting("PathOfGames"), "a second delete fails");
    c.that(!c.s.DeleteSetting(""), "an empty section name is not the application key");
    c.eq(c.s.GetSetting("Controls", "Made", "1"), "2", "other sections untouched");
    c.that(c.s.DeleteSetting("Controls", "Made"), "value deleted");
    c.that(!c.s.DeleteSetting("Controls", "Made"), "missing value: false");
}

}  // namespace

std::vector<Case>& all() {
    static std::vector<Case> cases;
    return cases;
}

}  // namespace qv::storecases
