// The guard service's decisions on a simulated machine, and what the program tells it.
#include <gtest/gtest.h>

#include "guard/guard.h"
#include "plan.h"
#include "platform/sim/guard.h"

namespace qv::test {

namespace {

constexpr uint32_t kChild = 1, kOther = 2;

struct Service {
    sim::SimGuardSystem sys;
    Guard guard{sys};
    int64_t now = 0;
    uint32_t quorvane(uint32_t session = kChild) {
        static uint32_t next = 100;
        sys.procs[next] = {session, true};
        return next++;
    }
    void tell(uint32_t pid, const std::string& line, uint32_t session = kChild) {
        guard.message(now, session, pid, line);
    }
    // The process is ended (End task); true when Quorvane was started again in its session.
    bool kill(uint32_t pid, uint32_t session = kChild) {
        sys.procs.erase(pid);
        const size_t before = sys.started.size();
        guard.ended(now, session, pid);
        return sys.started.size() != before;
    }
    uint32_t newest() const { return sys.procs.rbegin()->first; }
};

}  // namespace

TEST(GuardService, StartsQuorvaneAgainWithTheRunStateItHeardLessTheTimeSince) {
    Service s;
    const uint32_t q = s.quorvane();
    s.tell(q, "running 2 -1 0 3570");
    EXPECT_TRUE(s.sys.watched.count(q));
    EXPECT_EQ(s.sys.kept, "1 " + std::to_string(q) + " 1 2 -1 0 3570\n");
    s.now = 25'400;
    s.sys.stored[kChild] = {"5", "0", "0", "99999"};  // edited by the child before End task
    EXPECT_TRUE(s.kill(q));
    EXPECT_EQ(s.sys.stored[kChild], (GuardRunState{"2", "-1", "0", "3545"}));
    EXPECT_TRUE(s.sys.watched.count(s.newest()));

    // Not ours to hear or act on: others' processes, other sessions, lines that are no message.
    const uint32_t restarted = s.newest(), stranger = 900;
    s.sys.procs[stranger] = {kChild, false};
    for (const std::string& line : {std::string("stopped"), std::string("exited")}) s.tell(stranger, line);
    s.tell(restarted, "exited", kOther);
    for (const std::string& junk :
         {std::string(1 << 20, 'x'), std::string("running 2 -1 0"), std::string("running 2 -1 0 12345678901"),
          std::string("running 2 a 0 5"), std::string("\0exited", 7), std::string("")})
        s.tell(restarted, junk);
    s.tell(restarted, "settime 20 1 0");
    for (const char* bad : {"settime 24 0 0", "settime 1 2", "settime 1 2 345"}) s.tell(restarted, bad);
    s.tell(stranger, "settime 7 0 0");
    EXPECT_EQ(s.sys.timesSet, std::vector<int>{20 * 3600 + 60}) << "for Quorvane's running plan only";
    EXPECT_FALSE(s.kill(stranger));
    EXPECT_TRUE(s.kill(restarted)) << "still guarded";
}

TEST(GuardService, NoStartAfterTheParentsExitAStopALogOffOrAShutdown) {
    Service s;
    auto ends = [&](const char* last, auto&& before) {
        s.sys.procs.clear();
        const uint32_t q = s.quorvane();
        s.tell(q, "running 2 0 -1 600");
        if (*last) s.tell(q, last);
        before();
        return s.kill(q);
    };
    EXPECT_FALSE(ends("exited", [] {}));
    EXPECT_FALSE(ends("stopped", [] {}));
    EXPECT_FALSE(ends("", [&] { s.guard.loggingOff(kChild); }));
    s.guard.logon(s.now, kChild);  // a new logon: no plan stored for that user
    EXPECT_TRUE(s.sys.started.empty());
    EXPECT_TRUE(ends("", [] {}));
    // Windows ends the session: wait and see; a session that goes on gets its Quorvane back.
    EXPECT_FALSE(ends("ending", [] {}));
    s.now += Guard::kSessionEndingMs;
    s.guard.tick(s.now);
    EXPECT_EQ(s.sys.started.size(), 2u);
    EXPECT_FALSE(ends("", [&] { s.guard.shuttingDown(); }));
}

TEST(GuardService, ACrashLoopWaitsAndALogonStartsAStoredPlan) {
    Service s;
    uint32_t q = s.quorvane();
    s.tell(q, "running 2 -1 0 300");
    for (int i = 0; i < 4; ++i, s.now += 1000) {
        ASSERT_TRUE(s.kill(q));
        q = s.newest();
    }
    EXPECT_FALSE(s.kill(q)) << "the fifth end within a minute";
    s.now += Guard::kBackOffMs - 1;
    s.guard.tick(s.now);
    EXPECT_EQ(s.sys.started.size(), 4u);
    EXPECT_EQ(s.guard.nextDueMs(), s.now + 1);
    s.sys.startFails = true;
    s.guard.tick(++s.now);
    s.sys.startFails = false;
    s.now += Guard::kRetryMs;
    s.guard.tick(s.now);
    EXPECT_EQ(s.sys.started.size(), 5u) << "a failed start is tried again";

    // At logon: a plan stored as running is started, unless a copy already runs there.
    s.sys.stored[kOther] = {"2", "0", "-1", "60"};
    s.guard.logon(s.now, kOther);
    EXPECT_EQ(s.sys.started.back(), kOther);
    s.guard.logon(s.now, kOther);
    EXPECT_EQ(s.sys.started.size(), 6u);

    // The guard's own record, read back by a new run of it; what cannot be read is left out.
    Service t;
    t.guard.load(0, s.sys.kept + "garbage\n7 1 1 running\n\n" + std::string(100'000, '9'));
    EXPECT_EQ(t.guard.record(), "1 0 1 2 -1 0 300\n2 0 1 2 0 -1 60\n") << "pids of an earlier boot dropped";
}

TEST(GuardService, TheProgramTellsItsPlanAndADeliberateEndAndResumesAtOnceWhenStartedByIt) {
    Plan p(kSixPm, "every 60 15");
    auto& lines = p.sim.guard.lines;
    p.advance(31'000);
    p.close();
    std::string told;
    for (auto& l : lines) told += l + "; ";
    EXPECT_EQ(told,
              "stopped; stopped; running 2 -1 0 3600; running 2 -1 0 3600; running 2 -1 0 3570; exited; ");
    p.store("Mode", "2");
    p.startProgram(true);
    EXPECT_EQ(p.left() + " " + lines.back(), "game 3569 running 2 -1 0 3569") << "no minute's wait";

    // Started by hand, it waits its minute; a second start made by the guard asks it to go on.
    p.close();
    p.store("Mode", "2");
    p.startProgram();
    p.advance(5'000);
    const std::string waiting = lines.back();
    p.sim.windowing.broadcast(kResumeNowMessage);
    p.advance(1'000);
    const std::string resumed = lines.back();
    p.sim.windowing.broadcast(kResumeNowMessage);  // a running plan is not started again
    p.advance(1'000);
    EXPECT_EQ(waiting + " / " + resumed + " / " + p.left(), "exited / running 2 -1 0 3569 / game 3567");
}

}  // namespace qv::test
