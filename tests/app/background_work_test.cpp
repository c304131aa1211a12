// The thread that runs the library's background callbacks: every 10 ms, held
// while interrupts are disabled, and a callback may remove itself.
#include "app/platform.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <allegro.h>
#include <allegro/platform/aintunix.h>

#include <sys/resource.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

std::atomic<int> iRuns;
std::atomic<int> iRunsWhileDisabled;
std::atomic<int> iRunsLeft;

void Count(int) {
  ++iRuns;
  if (_bg_man_pthreads.interrupts_disabled()) ++iRunsWhileDisabled;
}

void CountDown(int) {
  if (--iRunsLeft == 0) _bg_man_pthreads.unregister_func(CountDown);
}

void Wait(int iMs) { std::this_thread::sleep_for(std::chrono::milliseconds(iMs)); }

long Sleeps() {
  rusage use;
  getrusage(RUSAGE_SELF, &use);
  return use.ru_nvcsw;
}

TEST(BackgroundWork, StepsHoldsAndLetsACallbackLeave) {
  PaceTheLibrarysBackgroundWork();
  bg_manager &work = _bg_man_pthreads;
  ASSERT_EQ(work.init(), 0);
  ASSERT_EQ(work.register_func(Count), 0);
  iRunsLeft = 3;
  ASSERT_EQ(work.register_func(CountDown), 0);

  const long iSleptBefore = Sleeps();
  Wait(300);
  // About 30 steps; a loaded machine may run a few late.
  EXPECT_GE(iRuns.load(), 20);
  EXPECT_LE(iRuns.load(), 32);
  // One sleep a step, not one a millisecond.
  EXPECT_LT(Sleeps() - iSleptBefore, 100);
  EXPECT_EQ(iRunsLeft.load(), 0);
  EXPECT_EQ(work.unregister_func(CountDown), -1) << "it took itself off";

  work.disable_interrupts();
  work.disable_interrupts();
  const int iHeldAt = iRuns;
  Wait(60);
  work.enable_interrupts();
  Wait(60);
  EXPECT_EQ(iRuns.load(), iHeldAt) << "one enable of two still holds";
  work.enable_interrupts();
  Wait(60);
  EXPECT_GT(iRuns.load(), iHeldAt);
  EXPECT_EQ(iRunsWhileDisabled.load(), 0);

  EXPECT_EQ(work.unregister_func(Count), 0);
  const int iStoppedAt = iRuns;
  Wait(40);
  EXPECT_EQ(iRuns.load(), iStoppedAt);
  work.exit();
  // Started again after an exit, as a second install of the library does.
  ASSERT_EQ(work.init(), 0);
  ASSERT_EQ(work.register_func(Count), 0);
  Wait(50);
  EXPECT_GT(iRuns.load(), iStoppedAt);
  work.exit();
}

}  // namespace
#endif
