// Prints export file names the way a user's process would make them, so the
// tests can run it under other time zones and locales.
//
//   filename_probe <title> <extension> <ISO 8601 date>...
//
// First line: the locale the process took from its environment ("refused"
// when the environment names one the system does not have); then one file
// name per date.
#include <clocale>
#include <cstdio>

#include "RecorderCore/export/FilenamePattern.h"

int main(int argc, char** argv) {
  // Adopt the environment's locale as an app would, so that any use of it by
  // the naming code would show in the output.
  const char* adopted = std::setlocale(LC_ALL, "");
  std::printf("%s\n", adopted != nullptr ? adopted : "refused");
  if (argc < 3) return 2;
  for (int i = 3; i < argc; ++i) {
    auto date = RecorderCore::parseISO8601(argv[i]);
    if (!date) return 2;
    std::printf("%s\n", RecorderCore::FilenamePattern::fileName(argv[1], *date, argv[2]).c_str());
  }
  return 0;
}
