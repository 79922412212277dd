// Raw transfers with the scanner through the STI device that page initialisation holds open, and
// the extended status exchange (ESC f) built on them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

#include "kiva4cpl/page_rules.h"

namespace kiva4cpl {

// One raw transfer on the open device; false when no device is open or the transfer fails.
bool rawWrite(const void* buffer, DWORD count);
bool rawRead(void* buffer, DWORD count);

// ESC (0x1B) and the letter, in one raw write.
bool sendEscCommand(char letter);

// ESC f: the 4-byte reply header into the buffer, then the announced data bytes behind it. Data
// bytes beyond the buffer's 76 are read and dropped. True when every transfer succeeded and the
// reply began with 0x02; on failure the buffer holds what was read so far (the first 16 bytes
// are cleared before the exchange).
bool readDeviceStatus(std::span<std::uint8_t, statusBufferSize> buffer);

}  // namespace kiva4cpl
