#pragma once

/// Asks the system to run the calling thread ahead of ordinary threads. Best effort: without
/// the privilege to raise a priority nothing changes and nothing fails.
void RaiseCurrentThreadPriority();
