// Saves projects 'A' and 'B' into the package named on the command line, in
// turn, until killed. Writes "r" to standard output when it is about to start
// and "s" after each save, so the test can time its kill from there.
#include <cstdio>
#include <exception>

#include <unistd.h>

#include "RecorderCore/project/ProjectPackage.h"
#include "tests/project/SaveLoopProjects.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: package_save_loop <package>\n");
    return 2;
  }
  const RecorderCore::Project a = SaveLoopProjects::project('A');
  const RecorderCore::Project b = SaveLoopProjects::project('B');
  if (::write(STDOUT_FILENO, "r", 1) != 1) return 1;
  try {
    for (;;) {
      RecorderCore::ProjectPackage::save(a, argv[1]);
      if (::write(STDOUT_FILENO, "s", 1) != 1) return 1;
      RecorderCore::ProjectPackage::save(b, argv[1]);
      if (::write(STDOUT_FILENO, "s", 1) != 1) return 1;
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "package_save_loop: %s\n", error.what());
    return 1;
  }
}
