#include "sources/FlagWait.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QObject>
#include <QTimer>

namespace {

// Lives on the main thread; its signal is delivered there, however it was triggered.
class Waker : public QObject {
 public:
  using QObject::QObject;
};

std::atomic<int> g_waiting{0};

// Created by the first wait, which runs on the main thread.
Waker* waker() {
  static Waker* instance = new Waker;
  return instance;
}

}  // namespace

void WakeWaiters() {
  if (g_waiting.load() == 0) return;  // nobody to wake: spare the event queue during playback
  if (auto* app = QCoreApplication::instance()) {
    // A queued no-op on the main thread makes each running nested loop return from its wait.
    QMetaObject::invokeMethod(waker(), [] {}, Qt::QueuedConnection);
  }
}

void RaiseFlag(std::atomic<bool>& flag) {
  flag.store(true);
  WakeWaiters();
}

bool WaitUntil(const std::function<bool()>& done, int timeoutMs) {
  waker();
  ++g_waiting;
  bool timedOut = false;
  QTimer timer;
  if (timeoutMs >= 0) {
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, [&] { timedOut = true; });
    timer.start(timeoutMs);
  }
  while (!done() && !timedOut) {
    // Sleeps until at least one event arrives (a wake, a timer, user input), handles it, re-checks.
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::AllEvents);
  }
  --g_waiting;
  return done();
}

bool WaitForFlag(const std::atomic<bool>& flag) {
  return WaitUntil([&] { return flag.load(); });
}

bool WaitForFlag(const std::atomic<bool>& flag, const std::weak_ptr<void>& alive) {
  WaitUntil([&] { return flag.load() || alive.expired(); });
  return !alive.expired();
}
