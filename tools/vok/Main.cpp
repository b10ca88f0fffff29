// vok: checks, shows and makes .vok dictionaries for their authors.
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "tools/vok/VokTool.h"

int main(int argc, char **argv) {
#ifdef _WIN32
  // Sections written by "vok import" keep their CRLF line ends as they are.
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  try {
    const int Status = vok::tool::RunVok(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
    std::cout.flush();
    return std::cout ? Status : 2;
  } catch (const std::exception &E) {
    std::cerr << "vok: " << E.what() << "\n";
    return 2;
  }
}
