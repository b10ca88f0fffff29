#include "tools/vok/VokTool.h"

#include <algorithm>
#include <map>
#include <optional>

#include "tools/vok/Check.h"
#include "tools/vok/Diff.h"
#include "tools/vok/Import.h"
#include "tools/vok/Tree.h"

namespace vok::tool {

namespace {

const char *const Usage =
    "usage: vok check FILE.vok...\n"
    "       vok tree FILE.vok SECTION [--filter TAGS]\n"
    "       vok import FILE.csv [SECTION] [--format W1,W2,...] [--display TEMPLATE]\n"
    "                  [--delimit TEXT] [--sep C] [-o FILE.vok]\n"
    "       vok diff OLD.vok NEW.vok [SECTION...]\n"
    "\n"
    "check   tells for every section whether LoadVok and LoadAllVok load it, and why not,\n"
    "        as FILE:LINE: error|warning|note: ...; exit status 0 clean, 1 warnings, 2 errors\n"
    "tree    prints a section's levels as the selection dialog offers them, with the codes\n"
    "        (--filter: the tags a filtered load keeps, separated by \";\")\n"
    "import  writes a section from a UTF-8 CSV file of rows: code, text, extra text, tag;\n"
    "        --format defaults to one level as wide as the longest code, --display to\n"
    "        %1%2..., --delimit to \",\", --sep to \",\", the section name to the file's name\n"
    "diff    compares the sections (all, or those named) as LoadVok reads them: settings, codes\n"
    "        added (+), removed (-), changed (~), items that lose an ancestor (!); exit status\n"
    "        0 the same, 1 different, 2 errors\n"
    "\n"
    "--utf8  texts are shown and taken as UTF-8 (the default on Linux)\n"
    "--raw   texts are shown and taken as Windows-1251 bytes (the default on Windows)\n";

// Options that take a value, and the command each belongs to.
const std::map<std::string, std::string> ValueOptions = {
    {"--filter", "tree"}, {"--format", "import"}, {"--display", "import"}, {"--delimit", "import"},
    {"--sep", "import"},  {"-o", "import"},       {"--output", "import"},
};

int BadUsage(std::ostream &AErr, const std::string &AWhy) {
  AErr << "vok: " << AWhy << "\n" << Usage;
  return 2;
}

}  // namespace

int RunVok(const std::vector<std::string> &AArgs, std::ostream &AOut, std::ostream &AErr) {
  TConsole Console{AOut, AErr};
  if (AArgs.empty()) return BadUsage(AErr, "no command");
  const std::string Command = AArgs[0];
  if (Command == "--help" || Command == "-h" || Command == "help") {
    AOut << Usage;
    return 0;
  }
  if (Command != "check" && Command != "tree" && Command != "import" && Command != "diff")
    return BadUsage(AErr, "unknown command \"" + Command + "\"");

  std::vector<std::string> Positional;
  std::map<std::string, std::string> Values;
  bool OptionsEnd = false;
  for (std::size_t I = 1; I < AArgs.size(); ++I) {
    const std::string &A = AArgs[I];
    if (OptionsEnd || A.size() < 2 || A[0] != '-') {
      Positional.push_back(A);
    } else if (A == "--") {
      OptionsEnd = true;
    } else if (A == "--utf8") {
      Console.Utf8 = true;
    } else if (A == "--raw") {
      Console.Utf8 = false;
    } else if (A == "--help" || A == "-h") {
      AOut << Usage;
      return 0;
    } else {
      const std::size_t Eq = A.find('=');
      const std::string Name = A.substr(0, Eq);
      const auto Known = ValueOptions.find(Name);
      if (Known == ValueOptions.end()) return BadUsage(AErr, "unknown option \"" + A + "\"");
      if (Known->second != Command)
        return BadUsage(AErr, "option " + Name + " belongs to \"vok " + Known->second + "\"");
      if (Eq != std::string::npos) {
        Values[Name == "--output" ? "-o" : Name] = A.substr(Eq + 1);
      } else if (I + 1 < AArgs.size()) {
        Values[Name == "--output" ? "-o" : Name] = AArgs[++I];
      } else {
        return BadUsage(AErr, "option " + Name + " needs a value");
      }
    }
  }
  auto Value = [&](const char *AName) -> std::optional<std::string> {
    const auto V = Values.find(AName);
    return V == Values.end() ? std::nullopt : std::optional<std::string>(V->second);
  };

  if (Command == "check") {
    if (Positional.empty()) return BadUsage(AErr, "check needs a file");
    int Status = 0;
    for (const std::string &File : Positional) Status = std::max(Status, RunCheck(Console, File));
    return Status;
  }
  if (Command == "tree") {
    if (Positional.size() != 2) return BadUsage(AErr, "tree needs a file and a section name");
    const auto Filter = Value("--filter");
    return RunTree(Console, Positional[0], Console.FromArg(Positional[1]), Filter ? Console.FromArg(*Filter) : "*");
  }
  if (Command == "diff") {
    if (Positional.size() < 2) return BadUsage(AErr, "diff needs two files");
    std::vector<std::string> Sections;
    for (std::size_t I = 2; I < Positional.size(); ++I) Sections.push_back(Console.FromArg(Positional[I]));
    return RunDiff(Console, Positional[0], Positional[1], Sections);
  }
  if (Positional.empty() || Positional.size() > 2)
    return BadUsage(AErr, "import needs a CSV file and at most a section name");
  TImportOptions Options;
  Options.CsvFile = Positional[0];
  if (Positional.size() == 2) Options.Section = Positional[1];
  Options.Format = Value("--format");
  Options.Display = Value("--display");
  Options.Delimit = Value("--delimit");
  Options.Output = Value("-o").value_or("");
  if (const auto Sep = Value("--sep")) {
    if (*Sep == "tab" || *Sep == "\\t")
      Options.Separator = '\t';
    else if (Sep->size() == 1 && (*Sep)[0] != '"' && (*Sep)[0] != '\n' && (*Sep)[0] != '\r')
      Options.Separator = (*Sep)[0];
    else
      return BadUsage(AErr, "--sep takes one character (or \"tab\")");
  }
  return RunImport(Console, Options);
}

}  // namespace vok::tool
