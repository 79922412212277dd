#include "vexscan/device/probe_scanner.h"

#include "vexscan/comm/comm_port.h"

namespace vexscan {

int32_t ProbeScanner::EnableOption(int32_t) { return 1; }

void ProbeScanner::Close() {
    if (portOpen_ != 0) {
        portOpen_ = 0;
        port().closePort();
    }
}

int32_t ProbeScanner::Open() {
    const int32_t result = port().openPort();
    if (result == kPortRefused) {
        return kPortRefused;
    }
    if (result != 1) {
        return 0;
    }
    portOpen_ = 1;
    return 1;
}

int32_t ProbeScanner::GetError() { return 0; }

int32_t ProbeScanner::Abort() { return 0; }

void ProbeScanner::InitAcquire(int32_t, ProgressCallback, InitAcquireResult*) {}

void ProbeScanner::AcquireImage(uint8_t*, uint32_t, AcquireImageResult*) {}

int32_t ProbeScanner::GetOptionStatus(int32_t) { return 0; }

int8_t ProbeScanner::SetFocus(int32_t, int32_t focusPosition) {
    return static_cast<int8_t>(static_cast<uint8_t>(focusPosition & 0xFF));
}

int32_t ProbeScanner::GetScanPaperSize(int32_t, int32_t*, int32_t*) { return 0; }

int32_t ProbeScanner::GetScannerName(char*) { return 1; }

bool ProbeScanner::identify() {
    if (!sendEsc(port(), 'I')) {
        return false;
    }
    if (!port().readBytes(replyBuffer, ReplyHeader::kSize)) {
        return false;
    }
    const ReplyHeader header = ReplyHeader::parse(replyBuffer);
    if (!header.valid()) {
        return false;
    }
    // Only the header matters here; a body longer than replyBuffer is read to its end all the
    // same, so the next command starts on a clean stream.
    if (!readReplyBody(port(), replyBuffer, sizeof replyBuffer, header.count).ok) {
        return false;
    }
    identityStatus_ = header.status;
    return true;
}

int32_t probeDevice(CommPort& port, bool& extendedFamily) {
    ProbeScanner probe(port);
    const int32_t opened = probe.Open();
    if (opened == kPortRefused) {
        return kPortRefused;
    }
    if (opened == 0) {
        return 0;
    }
    if (!probe.identify()) {
        return 0;  // the port stays open until the CommPort goes
    }
    if ((probe.identityStatus() & kIdentityExtendedFamily) != 0) {
        extendedFamily = true;
    }
    probe.Close();
    return 1;
}

}  // namespace vexscan
