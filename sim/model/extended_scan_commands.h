// An extended device scanning: FS G starts the page and answers with the block sizes, the data
// blocks follow one by one, each full block waiting for the library's ACK (next block) or CAN
// (the scan ends, answered with ACK).
#pragma once

#include "sim/model/device_model.h"

namespace vexscan::sim {

void registerExtendedScanCommands(CommandTable& table);

}  // namespace vexscan::sim
