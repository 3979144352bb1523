#include "link/port.h"

namespace veldro {

void Port::SetState(int value) {
    state = value;
    if (value > 0) locked = true;
}

int Port::GetState() {
    return state;
}

} // namespace veldro
