// Returning the heap's free pages to the system after a large release,
// such as a cleared queue of thousands of message bodies; without it the
// process keeps its peak size. Any thread.
#pragma once

void ReturnFreeMemory();
