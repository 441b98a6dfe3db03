#include "app/CommandLine.h"

#include <string>

namespace vantrel {
namespace {

enum class Request { kRunBar, kHelp, kVersion };

Request FirstRequest(int argc, const char* const* argv) {
  for (int i = 1; i < argc && argv != nullptr; ++i) {
    if (argv[i] == nullptr) break;
    const std::string_view argument = argv[i];
    if (argument == "--") break;
    if (argument == "--help") return Request::kHelp;
    if (argument == "--version") return Request::kVersion;
  }
  return Request::kRunBar;
}

std::string HelpText(std::string_view name, const ProgramFacts& facts) {
  std::string text;
  text += "Usage: " + std::string(name) + " [--help | --version]\n";
  text +=
      "\n"
      "VantRel is a network traffic bar for the desktop: a thin bar along the top or\n"
      "bottom edge of the screen with the download and upload traffic of one network\n"
      "interface. Right-click the bar for Options, the manual, About and Close.\n"
      "\n"
      "  --help     print this help and exit\n"
      "  --version  print the version and exit\n"
      "\n"
      "Any other argument is ignored.\n"
      "\n"
      "Files ($XDG_CONFIG_HOME takes the place of ~/.config when it is set):\n";
  text += "  ~/.config/Brindle Labs/" + std::string(name) + ".conf\n";
  text += "      the settings\n";
  text += "  ~/.config/autostart/Vantrel.desktop\n";
  text += "      the start-at-login entry (Options, \"Run at startup\")\n";
  text += "\nSee the manual: " + std::string(facts.docDir) + "/vantrel.html\n";
  return text;
}

}  // namespace

ProgramFacts BuiltProgramFacts() {
  return ProgramFacts{VANTREL_VERSION, VANTREL_DOC_DIR};
}

std::optional<int> HandleCommandLine(int argc, const char* const* argv, std::string_view applicationName,
                                     const ProgramFacts& facts, std::ostream& out) {
  switch (FirstRequest(argc, argv)) {
    case Request::kRunBar:
      return std::nullopt;
    case Request::kHelp:
      out << HelpText(applicationName, facts);
      break;
    case Request::kVersion:
      out << "VantRel " << facts.version << '\n';
      break;
  }
  out.flush();
  return out.good() ? 0 : 1;
}

}  // namespace vantrel
