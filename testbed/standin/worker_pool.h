// Threads for the stand-in's pipe instances that wait for the next job instead of ending.
// Wine 10 (WoW64) can crash the whole process (SIGSEGV in its signal handler, the thread's TEB
// already gone) when the process exits while one of its threads is still ending; the module's
// kit closes every handle right before its host exits, which would end a thread per handle.
#pragma once

#include <functional>

// Runs job on an idle pool thread, or on a new one when none is idle.
void RunOnPoolThread(std::function<void()> job);
// Threads the pool has started: they never end, so a test host subtracts them from the
// process's threads to see the module's own.
int PoolThreadCount();
