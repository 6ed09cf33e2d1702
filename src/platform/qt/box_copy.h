#pragma once

#include <string>
#include <vector>

class QWidget;

namespace kivo::qt {

// Ctrl+C in the box copies the core's text of it: its title, message and buttons.
void copyOnCtrlC(QWidget& box, const std::string& message,
                 const std::vector<std::string>& captions);

} // namespace kivo::qt
