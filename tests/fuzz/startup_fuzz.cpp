// Start-up with whatever the settings key holds; then a plan from the console, and a listed program.
// A line is one value: section (C Controls, L ListOfGames, P PathOfGames), type, name=data. Types: s
// text (NUL added), t text without NUL, d number as a DWORD, b binary, n none; another letter is the
// type code itself. An empty name is the section's unnamed value.
#include <string>

#include "input.h"
#include "unit/world.h"

namespace {

using namespace qv;

void storeValue(sim::SimRegistry& reg, const std::string& line) {
    if (line.size() < 2) return;
    const char* section = line[0] == 'L' ? "ListOfGames" : line[0] == 'P' ? "PathOfGames" : "Controls";
    const size_t eq = line.find('=', 2);
    const std::string name = line.substr(2, eq == std::string::npos ? std::string::npos : eq - 2);
    const std::string text = eq == std::string::npos ? "" : line.substr(eq + 1);
    std::vector<uint8_t> data(text.begin(), text.end());
    uint32_t type = static_cast<uint8_t>(line[1]);
    if (line[1] == 's') data.push_back(0);
    if (line[1] == 's' || line[1] == 't') type = reg::kSz;
    if (line[1] == 'b') type = reg::kBinary;
    if (line[1] == 'n') type = reg::kNone;
    if (line[1] == 'd') {
        type = reg::kDword;
        const uint32_t v = static_cast<uint32_t>(std::strtoul(text.c_str(), nullptr, 10));
        data.assign(reinterpret_cast<const uint8_t*>(&v), reinterpret_cast<const uint8_t*>(&v) + 4);
    }
    reg.writeRaw(std::string("HKCU\\Software\\Hollowmere\\Tarnwell\\") + section, name, type, data);
}

// Nothing the program does may leave a registry or process handle behind or misuse one.
void checkHandles(const test::World& w) {
    fuzz::require(w.sim.registry.openHandles() == 0, "registry handle left open");
    fuzz::require(w.sim.processes.badHandleUses == 0, "closed process handle used");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    test::World w;
    for (const std::string& line : fuzz::lines(data, size)) storeValue(w.sim.registry, line);

    w.startProgram();
    if (w.shown("frmPassword")) {  // the first run asks for a password
        for (const char* box : {"txtPass1", "txtPass2"}) w.type("frmPassword", box, "pw");
        w.click("frmPassword", "Command1");
    }
    checkHandles(w);
    if (w.ended()) return 0;
    w.advance(61 * 1000);  // a plan that was running resumes after a minute
    checkHandles(w);
    if (w.ended() || !w.form("frmMain")) return 0;
    w.click("frmMain", "Command1");  // Start
    w.advance(2 * 60 * 1000);
    checkHandles(w);
    if (w.ended()) return 0;

    if (ui::Form* big = w.form("frmBig")) {
        ui::Control& list = big->control("ListView1");
        if (!list.items().empty()) {
            const int item = static_cast<int>(size % list.items().size());
            w.event([&] { list.userMouseDown(ui::Mouse{.item = item}); });
            w.event([&] { list.userSelect(item); });
            w.event([&] { list.userDblClick(); });
            w.advance(60 * 1000);
            checkHandles(w);
        }
    }
    return 0;
}
