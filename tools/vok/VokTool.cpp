#include "tools/vok/VokTool.h"

#include <algorithm>
#include <map>
#include <optional>
#include <vector>

#include "tools/vok/Check.h"
#include "tools/vok/Diff.h"
#include "tools/vok/Export.h"
#include "tools/vok/Import.h"
#include "tools/vok/Tree.h"

namespace vok::tool {

namespace {

const char *const Usage =
    "usage: vok check FILE.vok...\n"
    "       vok tree FILE.vok SECTION [--filter TAGS]\n"
    "       vok import FILE.csv [SECTION] [--format W1,W2,...] [--display TEMPLATE]\n"
    "                  [--delimit TEXT] [--sep C] [--encoding NAME] [-o FILE.vok]\n"
    "       vok export FILE.vok SECTION [--sep C] [-o FILE.csv]\n"
    "       vok diff OLD.vok NEW.vok [SECTION...]\n"
    "\n"
    "check   tells for every section whether LoadVok and LoadAllVok load it, and why not,\n"
    "        as FILE:LINE: error|warning|note: ...; exit status 0 clean, 1 warnings, 2 errors\n"
    "tree    prints a section's levels as the selection dialog offers them, with the codes\n"
    "        (--filter: the tags a filtered load keeps, separated by \";\")\n"
    "import  writes a section from a table of rows: code, text, extra text, tag (CSV or\n"
    "        tab-separated; UTF-8, UTF-16 with its mark, or Windows-1251, as --encoding\n"
    "        utf-8|utf-16|cp1251 forces); --sep defaults to the \";\", \",\" or tab of the first\n"
    "        line; --format, --display and --delimit to the table's settings rows, then to\n"
    "        one level as wide as the longest code, %1%2... and \",\"; the section name to\n"
    "        the file's name; the section goes to standard output unless -o names a file\n"
    "export  writes a section as CSV for a spreadsheet (UTF-8 with the mark, --sep \";\" by\n"
    "        default): settings rows, then one row per item; to SECTION.csv, which must not\n"
    "        exist yet, unless -o names a file (or \"-\", standard output)\n"
    "diff    compares the sections (all, or those named) as LoadVok reads them: settings, codes\n"
    "        added (+), removed (-), changed (~), items that lose an ancestor (!); exit status\n"
    "        0 the same, 1 different, 2 errors\n"
    "\n"
    "--utf8  texts are shown and taken as UTF-8 (the default on Linux)\n"
    "--raw   texts are shown and taken as Windows-1251 bytes (the default on Windows)\n";

// Options that take a value, and the commands they belong to.
const std::map<std::string, std::vector<std::string>> ValueOptions = {
    {"--filter", {"tree"}},       {"--format", {"import"}},           {"--display", {"import"}},
    {"--delimit", {"import"}},    {"--encoding", {"import"}},         {"--sep", {"import", "export"}},
    {"-o", {"import", "export"}}, {"--output", {"import", "export"}},
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
  if (Command != "check" && Command != "tree" && Command != "import" && Command != "export" && Command != "diff")
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
      if (std::find(Known->second.begin(), Known->second.end(), Command) == Known->second.end())
        return BadUsage(AErr, "option " + Name + " belongs to \"vok " + Known->second[0] + "\"");
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
  std::optional<char> Separator;
  if (const auto Sep = Value("--sep")) {
    if (*Sep == "tab" || *Sep == "\\t")
      Separator = '\t';
    else if (Sep->size() == 1 && (*Sep)[0] != '"' && (*Sep)[0] != '\n' && (*Sep)[0] != '\r')
      Separator = (*Sep)[0];
    else
      return BadUsage(AErr, "--sep takes one character (or \"tab\")");
  }
  if (Command == "export") {
    if (Positional.size() != 2) return BadUsage(AErr, "export needs a file and a section name");
    return RunExport(Console, {Positional[0], Positional[1], Value("-o").value_or(""), Separator.value_or(';')});
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
  Options.Separator = Separator;
  if (const auto Encoding = Value("--encoding")) {
    Options.Encoding = CsvEncodingByName(*Encoding);
    if (!Options.Encoding) return BadUsage(AErr, "--encoding takes utf-8, utf-16 (utf-16le, utf-16be) or cp1251");
  }
  return RunImport(Console, Options);
}

}  // namespace vok::tool
