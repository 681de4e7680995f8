// Waiting on the user-interface thread for something another thread (or a nested command) signals,
// while the window keeps processing its events. The wait sleeps in the event loop: it is woken by
// RaiseFlag / WakeWaiters, never by polling.
#pragma once

#include <atomic>
#include <functional>
#include <memory>

// Sets the flag and wakes every waiting loop. Safe from any thread.
void RaiseFlag(std::atomic<bool>& flag);

// Wakes every waiting loop so that it re-checks its condition. Safe from any thread.
void WakeWaiters();

// Processes events until done() is true, or until the optional timeout (ms, -1: none) elapses.
// done() is evaluated on the calling thread after every wake. Returns true when done() held.
bool WaitUntil(const std::function<bool()>& done, int timeoutMs = -1);

// Processes events until the flag is set.
bool WaitForFlag(const std::atomic<bool>& flag);

// The same, also ending when `alive` expires (its owner was destroyed inside the wait, e.g. by
// closing the window). Returns false then: the caller must return at once without touching its
// members.
bool WaitForFlag(const std::atomic<bool>& flag, const std::weak_ptr<void>& alive);
