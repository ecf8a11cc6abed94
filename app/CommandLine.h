#pragma once

#include <QStringList>

#include <string>
#include <vector>

namespace vorlan {

// What the command line asks for. Without arguments the viewer starts as it always has.
struct TCommandLine {
  std::vector<std::string> Files; // opened as if chosen in File > Open, in order
  bool Exit = false;              // --help or --version was answered, or the arguments were wrong
  int ExitCode = 0;               // 0 after --help/--version, 2 on a usage error
  std::string Message;            // what to print before exiting
};

TCommandLine ParseCommandLine(const QStringList& arguments);

} // namespace vorlan
