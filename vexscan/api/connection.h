// The process-wide connection: one communication port, one device object, the caller's
// ScanParamBlock and the family flag, with the open and close sequences.
#pragma once

#include <memory>

#include "vexscan/api/vexscan.h"
#include "vexscan/comm/comm_port.h"
#include "vexscan/device/scanner_device.h"

namespace vexscan {

struct Connection {
    std::unique_ptr<CommPort> port;
    std::unique_ptr<ScannerDevice> device;
    ScanParamBlock* block = nullptr;
    // Set by the probe, cleared by ESCSupport; fixed while a device object exists.
    bool extendedFamily = false;
};

// The one connection of this process.
Connection& connection();

// Creates the connection's CommPort; production loads QUAYLINK.DLL, tests hand in the
// in-process simulator.
using PortFactory = std::unique_ptr<CommPort> (*)();
std::unique_ptr<CommPort> loadCommunicationDriver();

// PMOpenScanner: 1 opened, 0 failed, 37 when the driver refused the port.
int32_t openScanner(ScanParamBlock* block, PortFactory createPort = loadCommunicationDriver);

// PMCloseScanner: back to no port and no device.
void closeScanner();

}  // namespace vexscan
