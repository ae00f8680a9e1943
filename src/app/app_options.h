#pragma once

#include <optional>

// The editor's double-dash options, looked at before any window exists (no display is needed to ask for
// the version): --help, --version; an unknown one is refused with the usage line. The /KEY:value
// switches and a tree file path are the start-up's.
// Returns the exit code when the editor must not start.
std::optional<int> handleEditorOptions(int argc, char* argv[]);
