#include "tools/vexscan-scan/error_text.h"

namespace vexscan::tool {

std::string_view errorMeaning(int32_t code) {
    switch (code) {
        case 0:
            return "no error code was recorded";
        case 4:
            return "the scanner stopped sending data and named no reason";
        case 7:
            return "an identity, name or status exchange with the scanner failed";
        case 8:
            return "the library could not allocate its data buffer";
        case 9:
            return "the image data transfer failed";
        case 10:
            return "the scanner's command level is not supported";
        case 13:
            return "the document feeder reports a fault";
        case 14:
            return "the document feeder is out of paper";
        case 15:
            return "the document feeder or film adapter is not ready";
        case 16:
            return "the scan line or width does not fit the data buffer or the scanner's limits";
        case 22:
            return "the scanner reports a fault or is not ready";
        case 34:
            return "a scan area position or edge lies beyond 65535";
        case 35:
            return "the scan width exceeds 32752 pixels or the height 65535 lines";
        case 37:
            return "the communication driver refused to open the port";
        case 39:
            return "the scanner reports an error in its main status";
        case 40:
            return "the scanner reports an error in its further status";
        default:
            return "an error code this tool does not know";
    }
}

std::string describeError(int32_t code) {
    return "error " + std::to_string(code) + " (" + std::string(errorMeaning(code)) + ")";
}

}  // namespace vexscan::tool
