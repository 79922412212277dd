#include "kiva4cpl/module_state.h"

namespace kiva4cpl {

ModuleState& moduleState() {
    static ModuleState state;
    return state;
}

}  // namespace kiva4cpl
