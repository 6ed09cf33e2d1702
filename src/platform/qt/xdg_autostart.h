#pragma once

#include <filesystem>
#include <string>

namespace kivo::qt {

// $XDG_CONFIG_HOME/autostart, or ~/.config/autostart when the variable is unset.
std::filesystem::path autostartFolder();

// The desktop entry that starts the executable at logon.
std::string autostartEntryText(const std::string& executable);

// Writes <folder>/<name>.desktop, creating the folder when missing; false when it cannot.
bool writeAutostartEntry(const std::filesystem::path& folder, const std::string& name,
                         const std::string& executable);

// Deletes the entry; a missing one is not an error.
void removeAutostartEntry(const std::filesystem::path& folder, const std::string& name);

} // namespace kivo::qt
