#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace vantrel {
namespace {

const ProgramFacts kFacts{"7.8.9", "/opt/share/doc/vantrel"};

// What HandleCommandLine makes of `args` (argv[0] first, a null pointer
// after the last), printing into `out`.
std::optional<int> Handle(std::vector<const char*> args, std::ostream& out,
                          std::string_view name = "vantrel") {
  const int argc = static_cast<int>(args.size());
  args.push_back(nullptr);
  return HandleCommandLine(argc, args.data(), name, kFacts, out);
}

// Only --help and --version before a "--" stop the bar from running; the
// first of them wins.
TEST(CommandLine, RunsTheBarUnlessHelpOrVersionComesFirst) {
  struct Case {
    std::vector<const char*> args;
    std::optional<int> exitCode;
    std::string printedStart;
  };
  const Case cases[] = {
      {{"vantrel"}, std::nullopt, ""},
      {{"vantrel", "--versions", "--help=all", "-help", "--HELP", "-v", "help", ""}, std::nullopt, ""},
      {{"vantrel", "eth0", "--", "--version", "--help"}, std::nullopt, ""},
      {{"vantrel", "-x", "--version", "eth0"}, 0, "VantRel 7.8.9\n"},
      {{"vantrel", "--version", "--help"}, 0, "VantRel 7.8.9\n"},
      {{"vantrel", "--help", "--version"}, 0, "Usage: vantrel [--help | --version]\n"},
  };
  for (const Case& c : cases) {
    std::ostringstream out;
    EXPECT_EQ(Handle(c.args, out), c.exitCode) << c.args.size() << " arguments";
    EXPECT_EQ(out.str().substr(0, c.printedStart.size()), c.printedStart);
    if (c.printedStart.empty()) {
      EXPECT_EQ(out.str(), "");
    }
  }
  std::ostringstream out;
  EXPECT_FALSE(HandleCommandLine(0, nullptr, "vantrel", kFacts, out)) << "no argv at all";
  const char* const onlyName[] = {"vantrel", nullptr};
  EXPECT_FALSE(HandleCommandLine(5, onlyName, "vantrel", kFacts, out)) << "stops at the terminating null";
}

TEST(CommandLine, HelpShowsOptionsFilesNamedAfterTheExecutableAndTheManual) {
  std::ostringstream out;
  EXPECT_EQ(Handle({"./vt", "--help"}, out, "vt"), 0);
  const std::string text = out.str();
  for (const char* expected :
       {"Usage: vt [--help | --version]\n", "\n  --help ", "\n  --version ", "Any other argument is ignored.",
        "~/.config/Brindle Labs/vt.conf\n", "~/.config/autostart/Vantrel.desktop\n", "$XDG_CONFIG_HOME",
        "\nSee the manual: /opt/share/doc/vantrel/vantrel.html\n"}) {
    EXPECT_NE(text.find(expected), std::string::npos) << "missing: " << expected << "\nin:\n" << text;
  }
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) EXPECT_LE(line.size(), 80u) << line;
}

}  // namespace
}  // namespace vantrel
