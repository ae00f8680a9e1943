#pragma once

namespace platform {

// Windows locale identifier of the system's default locale (GetSystemDefaultLCID on Windows; elsewhere
// derived from the system locale for the few locales the program distinguishes, 1033 otherwise).
int systemDefaultLocaleId();

} // namespace platform
