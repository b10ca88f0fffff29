// Temporary files for the native tests.
#pragma once

#include <cstdio>
#include <fstream>
#include <string>

#include <unistd.h>

namespace vok::test {

// A file with the given bytes, removed when the object goes.
class TTempFile {
 public:
  explicit TTempFile(const std::string &AContents) {
    char Name[] = "/tmp/vokXXXXXX";
    const int Fd = mkstemp(Name);
    if (Fd >= 0) close(Fd);
    fPath = Name;
    std::ofstream(fPath, std::ios::binary) << AContents;
  }
  ~TTempFile() { std::remove(fPath.c_str()); }
  const std::string &Path() const { return fPath; }

 private:
  std::string fPath;
};

// The sample file with the sections Places and Rivers.
inline const char *PlacesFile() {
  return "; settlements of two regions\n"
         "[Places]\n"
         "Format=2,2,3\n"
         "Display=%1%2%3\n"
         "Delimit=,\n"
         "1100000=North region\n"
         "1101000=Lake district\n"
         "1101001=Stone village#pop. 120#rural\n"
         "1101002=Hill town#pop. 5400#urban\n"
         "1102000=Forest district\n"
         "1200000=South region#coastal\n"
         "note=not an item\n"
         "[Rivers]\n"
         "Format=3\n"
         "Display=%1\n"
         "Delimit=\n";
}

}  // namespace vok::test
