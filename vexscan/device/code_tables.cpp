#include "vexscan/device/code_tables.h"

#include <array>
#include <cstring>

#include "vexscan/device/scanner_device.h"

namespace vexscan {
namespace {

struct GammaRow {
    int16_t gammaTimes100;
    uint8_t code;
};

// Searched in this order; the first equal row wins.
constexpr std::array<GammaRow, 5> kGammaTable{{
    {100, 0x01},
    {220, 0x02},
    {300, 0x00},
    {280, 0x10},
    {250, 0x20},
}};

// Row 1's code stands for any gamma value the device has no code of its own for.
constexpr uint8_t kFallbackGammaCode = kGammaTable[1].code;

struct HalftoneRow {
    uint8_t code;
    int32_t minimumLevelDigit;
};

// Ordered by minimum level, so the rows a level supports are always a leading run.
constexpr std::array<HalftoneRow, kHalftoneRowCount> kHalftoneTable{{
    {0x01, 1},
    {0x00, 1},
    {0x10, 1},
    {0x20, 1},
    {0x80, 4},
    {0x90, 4},
    {0xA0, 4},
    {0xB0, 4},
    {0x03, 5},
    {0x00, 6},
}};

struct ModelRow {
    char productName[kProductNameLength + 1];
    char modelCode[sizeof(ScanParamBlock::modelCode)];
};

constexpr std::array<ModelRow, 4> kModelTable{{
    {"FLATBED RX-410  ", "JUNIPER"},
    {"Quorlin880      ", "JUNIPER"},
    {"Ambrel Scan 3300", "TORVIK"},
    {"AmbrelScan3300  ", "TORVIK"},
}};

// A shorter literal would silently compare NULs against the name's trailing spaces.
constexpr bool everyProductNameIsFull() {
    for (const ModelRow& row : kModelTable) {
        for (std::size_t i = 0; i < kProductNameLength; ++i) {
            if (row.productName[i] == '\0') {
                return false;
            }
        }
    }
    return true;
}
static_assert(everyProductNameIsFull(), "product names are exactly 16 characters");

static_assert(sizeof(kDefaultModelCode) <= sizeof(ScanParamBlock::modelCode),
              "the default model code and its NUL fit modelCode");

// GetScannerName writes 16 characters and a NUL; the buffer leaves a few bytes to spare.
constexpr std::size_t kNameBufferSize = 20;

}  // namespace

uint8_t dropoutColorCode(int32_t dropoutChannel) {
    switch (dropoutChannel) {
        case 1:
            return 0x10;
        case 2:
            return 0x20;
        case 3:
            return 0x30;
        default:
            return 0;
    }
}

uint8_t gammaCodeFor(int16_t gammaTimes100) {
    for (const GammaRow& row : kGammaTable) {
        if (row.gammaTimes100 == gammaTimes100) {
            return row.code;
        }
    }
    return kFallbackGammaCode;
}

std::optional<uint8_t> halftoneCodeFor(int32_t halftoneIndex) {
    if (halftoneIndex < 0 || halftoneIndex >= kHalftoneRowCount) {
        return std::nullopt;
    }
    return kHalftoneTable[static_cast<std::size_t>(halftoneIndex)].code;
}

int32_t countHalftones(const ScanParamBlock& block) {
    // Signed on purpose: a byte above 0x7F is a negative level and supports no row.
    const int32_t levelDigit = static_cast<signed char>(block.levelCode[1]) - '0';
    int32_t count = 0;
    for (const HalftoneRow& row : kHalftoneTable) {
        if (row.minimumLevelDigit > levelDigit) {
            break;
        }
        ++count;
    }
    return count;
}

bool modelCodeFromName(ScannerDevice& device, char* destination) {
    char name[kNameBufferSize] = {};
    if (device.GetScannerName(name) == 0) {
        return false;
    }
    for (const ModelRow& row : kModelTable) {
        if (std::memcmp(name, row.productName, kProductNameLength) == 0) {
            std::memcpy(destination, row.modelCode, std::strlen(row.modelCode) + 1);
            return true;
        }
    }
    return true;
}

}  // namespace vexscan
