#pragma once

namespace veldro {

// The program's name, icon and decimal separator, set once at start. Only the
// application name is set: a display name would make Qt append " — Veldro" to
// the caption of every box and dialog.
void configureApplication();

} // namespace veldro
