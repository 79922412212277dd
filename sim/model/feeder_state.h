// The sheets of a simulated document feeder, shared by both command families: a scan from the
// feeder draws the next sheet in, the eject command (FF) sends it out, and a feeder with no sheet
// left reports paper out.
#pragma once

#include <cstdint>

namespace vexscan::sim {

struct FeederState {
    uint32_t sheetsLeft = 0;  // still in the input tray
    bool sheetLoaded = false;
    uint32_t sheetsEjected = 0;

    // Draws a sheet in unless one is there already; false when the tray is empty.
    bool load() {
        if (sheetLoaded) {
            return true;
        }
        if (sheetsLeft == 0) {
            return false;
        }
        --sheetsLeft;
        sheetLoaded = true;
        return true;
    }
    void eject() {
        if (sheetLoaded) {
            sheetLoaded = false;
            ++sheetsEjected;
        }
    }
    bool empty() const { return sheetsLeft == 0 && !sheetLoaded; }
};

}  // namespace vexscan::sim
