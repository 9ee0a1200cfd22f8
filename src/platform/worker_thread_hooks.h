// What each platform's side of CWorkerThread does at the edges of a run.
// Internal to the platform layer.
#pragma once

// Lowers the calling thread's priority one step where the system allows.
void LowerPriorityOfCallingThread();
// Runs on the ended thread once its result is recorded.
void AfterThreadEnd();
