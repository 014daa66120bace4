#include "cases.h"

#include <sstream>

#include "settings/reg_settings.h"

namespace qv::storecases {

namespace {

class Checker {
  public:
    std::vector<std::string> failures;
    template <class A, class B>
    void eq(const A& actual, const B& expected, const char* what) {
        if (actual == expected) return;
        std::ostringstream s;
        s << what << ": got [" << actual << "] expected [" << expected << "]";
        failures.push_back(s.str());
    }
    void that(bool ok, const char* what) {
        if (!ok) failures.push_back(what);
    }
};

constexpr const char* kCompany = "QuorvaneStoreCases";

CRegSettings storeFor(IRegistry& reg, ISystemInfo& sys, const std::string& app) {
    CRegSettings s(reg, sys);
    s.setCompany(kCompany);
    s.setAppName(app);
    return s;
}

std::string sectionPath(const std::string& app, const std::string& section) {
    return std::string("Software\\") + kCompany + "\\" + app + (section.empty() ? "" : "\\" + section);
}

bool keyExists(IRegistry& reg, const std::string& path) {
    RegKey k;
    if (reg.openKey(reg::kCurrentUser, path, reg::kKeyRead, &k) != reg::kOk) return false;
    reg.closeKey(k);
    return true;
}

void writeRaw(IRegistry& reg, const std::string& path, const char* name, uint32_t type,
              const std::string& bytes) {
    RegKey k;
    if (reg.createKey(reg::kCurrentUser, path, reg::kKeyAllAccess, &k) != reg::kOk) return;
    reg.setValue(k, name, type, reinterpret_cast<const uint8_t*>(bytes.data()),
                 static_cast<uint32_t>(bytes.size()));
    reg.closeKey(k);
}

std::string names(const CRegSettings::Rows& rows) {
    std::string out;
    for (auto& r : rows) out += (out.empty() ? "" : ",") + r.first + "=" + r.second;
    return out;
}

using F = std::vector<std::string>;

const std::vector<Case> kCases = {
    {"EmptyTextIsStoredAndIsNotTheDefault", false,
     [](IRegistry& reg, ISystemInfo& sys, const std::string& app) {
         Checker c;
         auto s = storeFor(reg, sys, app);
         c.that(s.SaveSetting("Controls", "Message", ""), "save reports success");
         c.eq(s.GetSetting("Controls", "Message", "1"), std::string(""), "empty text read back");
         return c.failures;
     }},
    {"ZeroByteDataReadsAsTheDefault", false,
     [](IRegistry& reg, ISystemInfo& sys, const std::string& app) {
         Checker c;
         writeRaw(reg, sectionPath(app, "Controls"), "Blank", reg::kSz, "");
         c.eq(storeFor(reg, sys, app).GetSetting("Controls", "Blank", "dflt"), std::string("dflt"),
              "zero bytes");
         return c.failures;
     }},
    {"ReadingAMissingSectionCreatesNothing", false,
     [](IRegistry& reg, ISystemInfo& sys, const std::string& app) {
         Checker c;
         auto s = storeFor(reg, sys, app);
         c.eq(s.GetSetting("Nowhere", "Made", "notMade"), std::string("notMade"), "default");
         c.that(!keyExists(reg, sectionPath(app, "")), "application key stays absent");
         c.that(s.GetAllSettings("Nowhere").empty(), "get-all of a missing section");
         c.that(!s.DeleteSetting("Nowhere", "Made"), "deleting from a missing section fails");
         c.that(s.SaveSetting("Deep", "Made", "1"), "saving creates the whole path");
         c.that(keyExists(reg, sectionPath(app, "Deep")), "section key exists after save");
         return c.failures;
     }},
    {"NamesIgnoreCaseAndKeepTheirFirstSpelling", false,
     [](IRegistry& reg, ISystemInfo& sys, const std::string& app) {
         Checker c;
         auto s = storeFor(reg, sys, app);
         s.SaveSetting("Controls", "ShutDown", "1");
         c.eq(s.GetSetting("Controls", "Shutdown", "0"), std::string("1"), "read with other case");
         s.SaveSetting("Controls", "SHUTDOWN", "0");
         c.eq(names(s.GetAllSettings("Controls")), std::string("ShutDown=0"), "one value, first spelling");
         c.eq(s.GetSetting("controls", "shutdown", "x"), std::string("0"), "section name ignores case too");
         return c.failures;
     }},
    {"EnumerationFollowsCreationOrder", true,
     [](IRegistry& reg, ISystemInfo& sys, const std::string& app) {
         Checker c;
         auto s = storeFor(reg, sys, app);
         for (int i = 1; i <= 12; ++i) {
             const std::string n = std::to_string(i);
             s.SaveSetting("ListOfGames", std::string("Name").append(n), std::string("G").append(n));
         }
         s.SaveSetting("ListOfGames", "Name3", "again");
         auto rows = s.GetAllSettings("ListOfGames");
         c.eq(rows.size(), size_t(12), "row count");
         if (rows.size() == 12) {
             c.eq(rows[0].first, std::string("Name1"), "first");
             c.eq(rows[2].second, std::string("again"), "rewritten value keeps its place");
             c.eq(rows[9].first, std::string("Name10"), "tenth entry");
             c.eq(rows[11].second, std::string("G12"), "last");
         }
         return c.failures;
     }},
    {"GetAllPassesOverOtherTypesButKeepsOrder", false,
     [](IRegistry& reg, ISystemInfo& sys, const std::string& app) {
         Checker c;
         auto s = storeFor(reg, sys, app);
         const std::string path = sectionPath(app, "ListOfGames");
         s.SaveSetting("ListOfGames", "Name1", "Chess");
         writeRaw(reg, path, "Odd", reg::kDword, std::string("\x01\x00\x00\x00", 4));
         writeRaw(reg, path, "Blob", reg::kBinary, std::string(600, 'x'));
         s.SaveSetting("ListOfGames", "Name2", "Go");
         c.eq(names(s.GetAllSettings("ListOfGames")), std::string("Name1=Chess,Name2=Go"),
              "only REG_SZ rows");
         writeRaw(reg, sectionPath(app, "OnlyOther"), "N", reg::kDword, std::string(4, '\0'));
         c.that(s.GetAllSettings("OnlyOther").empty(), "a section of other types gives nothing");
         s.SaveSetting("Empty", "X", "1");
         s.DeleteSetting("Empty", "X");
         c.that(s.GetAllSettings("Empty").empty(), "an empty section gives nothing");
         return c.failures;
     }},
    {"DeletingASectionTakesAllItsValues", false,
     [](IRegistry& reg, ISystemInfo& sys, const std::string& app) {
         Checker c;
         auto s = storeFor(reg, sys, app);
         s.SaveSetting("PathOfGames", "Path1", "C:\\a.exe");
         s.SaveSetting("PathOfGames", "Path2", "C:\\b.exe");
         s.SaveSetting("Controls", "Made", "2");
         c.that(s.DeleteSetting("PathOfGames"), "section deleted");
         c.that(s.GetAllSettings("PathOfGames").empty(), "nothing left");
         c.eq(s.GetSetting("PathOfGames", "Path1", "none"), std::string("none"), "default after delete");
         c.eq(s.GetSetting("Controls", "Made", "1"), std::string("2"), "other sections untouched");
         c.that(!s.DeleteSetting("PathOfGames"), "a second delete fails");
         c.that(s.DeleteSetting("Controls", "Made"), "value deleted");
         c.that(!s.DeleteSetting("Controls", "Made"), "missing value: false");
         return c.failures;
     }},
    {"StarMeansTheUnnamedValue", false,
     [](IRegistry& reg, ISystemInfo& sys, const std::string& app) {
         Checker c;
         auto s = storeFor(reg, sys, app);
         c.that(s.SaveSetting("Controls", "*", "default text"), "write");
         c.eq(s.GetSetting("Controls", "*", "d"), std::string("default text"), "read");
         c.eq(s.GetSetting("Controls", "Star", "d"), std::string("d"), "not a value named *");
         c.that(s.DeleteSetting("Controls", "*"), "delete");
         c.eq(s.GetSetting("Controls", "*", "d"), std::string("d"), "gone");
         return c.failures;
     }},
    {"LongAndEightBitTextRoundTrips", false,
     [](IRegistry& reg, ISystemInfo& sys, const std::string& app) {
         Checker c;
         auto s = storeFor(reg, sys, app);
         std::string longText(5000, 'q');
         longText += "\r\nend";
         const std::string accents = "caf\xe9 \xe0 la cr\xe8me";
         s.SaveSetting("Controls", "Message", longText);
         s.SaveSetting("Controls", "Accents", accents);
         c.that(s.GetSetting("Controls", "Message") == longText, "long text");
         c.eq(s.GetSetting("Controls", "Accents"), accents, "ANSI text");
         auto rows = s.GetAllSettings("Controls");
         bool found = false;
         for (auto& r : rows) found = found || (r.first == "Message" && r.second == longText);
         c.that(rows.size() == 2 && found, "long text through get-all");
         return c.failures;
     }},
    {"CompanyAndAppNameAreTrimmedAndDefaulted", false,
     [](IRegistry& reg, ISystemInfo& sys, const std::string& app) {
         Checker c;
         CRegSettings s(reg, sys);
         c.eq(s.company(), std::string("Hollowmere"), "company at creation");
         c.eq(s.appName(), std::string("Quorvane"), "application at creation");
         s.setCompany("  Acme  ");
         c.eq(s.company(), std::string("Acme"), "trimmed");
         s.setCompany("");
         c.eq(s.company(), std::string("Hollowmere"), "empty gives the default");
         s.setAppName("");
         c.eq(s.appName(), std::string("Quorvane"), "empty application name");
         s.setCompany(kCompany);
         s.setAppName(" " + app + " ");
         s.SaveSetting("Controls", "Made", "3");
         c.eq(storeFor(reg, sys, app).GetSetting("Controls", "Made"), std::string("3"),
              "trimmed name is the key");
         return c.failures;
     }},
};

}  // namespace

const std::vector<Case>& all() {
    return kCases;
}

}  // namespace qv::storecases
