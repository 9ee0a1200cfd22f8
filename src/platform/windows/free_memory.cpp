#include "platform/free_memory.h"

#include "platform/win_types.h"

void ReturnFreeMemory() { HeapCompact(GetProcessHeap(), 0); }
