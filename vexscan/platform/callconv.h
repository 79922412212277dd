// Calling convention of every function that crosses a module boundary: the exports, the
// communication driver's entry points, the data source's DSShowWarmUp and the progress callback.
#pragma once

#if defined(_WIN32)
#define VEXSCAN_CALL __stdcall
#else
#define VEXSCAN_CALL
#endif
