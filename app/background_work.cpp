// The library's background work (the X events, the sound mixer) on a thread
// that sleeps to each 10 ms step in one wait, and an X event step that asks
// the X server nothing while no event has come.
//
// The library's own thread runs its callbacks every 10 ms as well, but finds
// out when by looking at the clock every 1 ms: a still screen then wakes the
// game a thousand times a second for nothing. The library reaches its
// background thread through one table of functions, which it takes at
// start-up; ours go into that table first. They keep its rules: the
// callbacks run one after another under one mutex; with interrupts
// disabled, none runs and none is running; a callback may remove itself or
// another from within (the X input handler does so on its way out).
//
// The library's X event step also waits for the X server to answer a round
// trip every time, 100 times a second, before it looks at the queue. Ours
// sends what is buffered and reads what the connection holds without
// waiting, and hands over to the library's step only when an event has come
// (or the pointer is being moved back, which that step counts down).
#include "app/platform.h"

#include <allegro.h>

#ifndef _WIN32
#include <allegro/platform/aintunix.h>
#include <pthread.h>
#include <signal.h>
#include <time.h>

#include <atomic>

#ifdef ALLEGRO_WITH_XWINDOWS
#include <X11/Xlib.h>
#include <xalleg.h>
#endif

namespace {

constexpr int MaxCallbacks = 16;
constexpr long StepNs = 10 * 1000 * 1000;

bg_func aCallbacks[MaxCallbacks];
int iCallbacks;  // one past the last one in use

pthread_t Thread;
bool bThreadStarted;
// Written under CallbackMutex, read by the thread before each wait.
bool bRunning;
pthread_mutex_t CallbackMutex = PTHREAD_MUTEX_INITIALIZER;
// Signalled when interrupts are enabled again, or when the thread is to end.
pthread_cond_t WakeCondition;
// Changed under CallbackMutex; the X input handler reads it on the thread.
std::atomic<int> iDisabled;

void AddStep(timespec &when, long iNs) {
  when.tv_nsec += iNs;
  while (when.tv_nsec >= 1000000000L) {
    when.tv_nsec -= 1000000000L;
    ++when.tv_sec;
  }
}

bool Before(const timespec &a, const timespec &b) {
  return a.tv_sec < b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec < b.tv_nsec);
}

void *Work(void *) {
  sigset_t all;
  sigfillset(&all);
  pthread_sigmask(SIG_BLOCK, &all, nullptr);
  timespec due;
  clock_gettime(CLOCK_MONOTONIC, &due);
  pthread_mutex_lock(&CallbackMutex);
  while (bRunning) {
    AddStep(due, StepNs);
    // The wait gives the mutex up: the game may disable interrupts or end
    // the thread meanwhile, and the thread wakes at once for the latter.
    while (bRunning && pthread_cond_timedwait(&WakeCondition, &CallbackMutex, &due) == 0) {
    }
    while (bRunning && iDisabled > 0) pthread_cond_wait(&WakeCondition, &CallbackMutex);
    if (!bRunning) break;
    for (int i = 0; i < iCallbacks; ++i)
      if (aCallbacks[i] != nullptr) aCallbacks[i](1);
    // Far behind (the machine was suspended, or interrupts were disabled for
    // long): start counting from now rather than run the missed steps.
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    timespec late = due;
    AddStep(late, StepNs);
    if (Before(late, now)) due = now;
  }
  pthread_mutex_unlock(&CallbackMutex);
  return nullptr;
}

int Start() {
  pthread_condattr_t attr;
  pthread_condattr_init(&attr);
  pthread_condattr_setclock(&attr, CLOCK_MONOTONIC);
  pthread_cond_init(&WakeCondition, &attr);
  pthread_condattr_destroy(&attr);
  for (bg_func &f : aCallbacks) f = nullptr;
  iCallbacks = 0;
  iDisabled = 0;
  bRunning = true;
  if (pthread_create(&Thread, nullptr, Work, nullptr) != 0) {
    bRunning = false;
    pthread_cond_destroy(&WakeCondition);
    return -1;
  }
  bThreadStarted = true;
  return 0;
}

void Stop() {
  if (!bThreadStarted) return;
  // Shut down from within a callback (the game exiting from an X event):
  // the thread holds the mutex and ends after this pass.
  if (pthread_equal(pthread_self(), Thread)) {
    bRunning = false;
    return;
  }
  pthread_mutex_lock(&CallbackMutex);
  bRunning = false;
  pthread_cond_broadcast(&WakeCondition);
  pthread_mutex_unlock(&CallbackMutex);
  pthread_join(Thread, nullptr);
  pthread_cond_destroy(&WakeCondition);
  bThreadStarted = false;
}

void EnableInterrupts() {
  pthread_mutex_lock(&CallbackMutex);
  if (--iDisabled == 0) pthread_cond_broadcast(&WakeCondition);
  pthread_mutex_unlock(&CallbackMutex);
}

void DisableInterrupts() {
  pthread_mutex_lock(&CallbackMutex);
  ++iDisabled;
  pthread_mutex_unlock(&CallbackMutex);
}

int InterruptsDisabled() { return iDisabled; }

int Register(bg_func f) {
  pthread_mutex_lock(&CallbackMutex);
  int i = 0;
  while (i < MaxCallbacks && aCallbacks[i] != nullptr) ++i;
  const int iResult = i == MaxCallbacks ? -1 : 0;
  if (iResult == 0) {
    aCallbacks[i] = f;
    if (i == iCallbacks) ++iCallbacks;
  }
  pthread_mutex_unlock(&CallbackMutex);
  return iResult;
}

int Remove(bg_func f) {
  int i = 0;
  while (i < iCallbacks && aCallbacks[i] != f) ++i;
  if (i == iCallbacks) return -1;
  aCallbacks[i] = nullptr;
  while (iCallbacks > 0 && aCallbacks[iCallbacks - 1] == nullptr) --iCallbacks;
  return 0;
}

int Unregister(bg_func f) {
  // A callback removing one already holds the mutex.
  if (bThreadStarted && pthread_equal(pthread_self(), Thread)) return Remove(f);
  pthread_mutex_lock(&CallbackMutex);
  const int iResult = Remove(f);
  pthread_mutex_unlock(&CallbackMutex);
  return iResult;
}

#ifdef ALLEGRO_WITH_XWINDOWS
// Runs under the library's X lock.
void HandleXInput() {
  if (_xwin.display != nullptr && _xwin.mouse_warped == 0 &&
      XEventsQueued(_xwin.display, QueuedAfterFlush) == 0)
    return;
  _xwin_private_handle_input();
}
#endif

}  // namespace

void PaceTheLibrarysBackgroundWork() {
#ifdef ALLEGRO_WITH_XWINDOWS
  _xwin_input_handler = HandleXInput;
#endif
  _bg_man_pthreads.init = Start;
  _bg_man_pthreads.exit = Stop;
  _bg_man_pthreads.register_func = Register;
  _bg_man_pthreads.unregister_func = Unregister;
  _bg_man_pthreads.enable_interrupts = EnableInterrupts;
  _bg_man_pthreads.disable_interrupts = DisableInterrupts;
  _bg_man_pthreads.interrupts_disabled = InterruptsDisabled;
}

#else
void PaceTheLibrarysBackgroundWork() {}
#endif
