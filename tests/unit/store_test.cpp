// The settings-store cases against the simulated registry (the same cases run on Windows), plus
// what only the simulation can see.
#include <gtest/gtest.h>

#include "platform/sim/registry.h"
#include "platform/sim/system.h"
#include "settings/reg_settings.h"
#include "unit/world.h"
#include "wincases/cases.h"

namespace qv::test {

class StoreCase : public ::testing::TestWithParam<size_t> {};

TEST_P(StoreCase, HoldsOnTheSimulatedRegistry) {
    const auto& c = storecases::all()[GetParam()];
    sim::SimRegistry reg;
    sim::SimSystem sys;
    for (const auto& f : c.run(reg, sys, "Case")) ADD_FAILURE() << c.name << ": " << f;
    EXPECT_EQ(reg.openHandles(), 0u) << c.name << " leaves a key open";
}

INSTANTIATE_TEST_SUITE_P(All, StoreCase, ::testing::Range<size_t>(0, storecases::all().size()),
                         [](const auto& info) { return std::string(storecases::all()[info.param].name); });

TEST(StartUpRegistration, WritesAndRemovesTheRunValueAndSaysWhenRefused) {
    sim::SimRegistry reg;
    sim::SimSystem sys;
    CRegSettings s(reg, sys);
    s.makeStartUp();
    const auto* v = reg.findValue(kRunKey, "hollowmere");
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(std::string(v->data.begin(), v->data.end()), kExe) << "no quotes and no terminating NUL";
    s.deleteStartUp();
    EXPECT_EQ(reg.findValue(kRunKey, "Hollowmere"), nullptr);
    s.deleteStartUp();  // nothing to delete: silent
    sys.folder = "D:\\";
    s.makeStartUp();
    EXPECT_EQ(reg.readString(kRunKey, "Hollowmere"), "D:\\\\Quorvane 1.0.exe")
        << "a drive's root keeps its separator";
    s.deleteStartUp();

    reg.denyLocalMachineWrites = true;
    EXPECT_FALSE(s.makeStartUp());
    EXPECT_TRUE(s.deleteStartUp()) << "nothing registered: nothing to remove";
    EXPECT_EQ(reg.findValue(kRunKey, "Hollowmere"), nullptr);
    reg.denyLocalMachineWrites = false;
    EXPECT_TRUE(s.makeStartUp());
    reg.denyLocalMachineWrites = true;
    EXPECT_FALSE(s.deleteStartUp());
    EXPECT_EQ(reg.openHandles(), 0u);
}

}  // namespace qv::test
