#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

namespace vantrel {
namespace {

const ProgramFacts kFacts{"7.8.9", "/opt/share/doc/vantrel"};

// A command line as main() receives it: argv[0] first, a null pointer last.
class Args {
 public:
  Args(std::initializer_list<const char*> args) : strings_(args.begin(), args.end()) {
    for (const std::string& s : strings_) pointers_.push_back(s.c_str());
    pointers_.push_back(nullptr);
  }
  // argv points into the strings: an Args stays where it was made.
  Args(const Args&) = delete;
  Args& operator=(const Args&) = delete;
  int argc() const { return static_cast<int>(strings_.size()); }
  const char* const* argv() const { return pointers_.data(); }

 private:
  std::vector<std::string> strings_;
  std::vector<const char*> pointers_;
};

struct Outcome {
  std::optional<int> exitCode;
  std::string printed;
};

Outcome Handle(const Args& args, std::string_view applicationName = "vantrel") {
  std::ostringstream out;
  const std::optional<int> exitCode =
      HandleCommandLine(args.argc(), args.argv(), applicationName, kFacts, out);
  return {exitCode, out.str()};
}

// A stream that takes nothing, like stdout on a full disk or a closed pipe.
class RefusingBuffer : public std::streambuf {
 protected:
  int_type overflow(int_type) override { return traits_type::eof(); }
  std::streamsize xsputn(const char*, std::streamsize) override { return 0; }
};

TEST(CommandLine, WithoutTheTwoOptionsTheBarRunsAndNothingIsPrinted) {
  const Args cases[] = {
      {"vantrel"},
      {"vantrel", "-geometry", "10x10", "whatever"},
      {"vantrel", "--versions", "--help=all", "-help", "--HELP", "-v", "help", ""},
      {"vantrel", "--", "--help"},
      {"vantrel", "eth0", "--", "--version", "--help"},
  };
  for (const Args& args : cases) {
    const Outcome outcome = Handle(args);
    EXPECT_FALSE(outcome.exitCode.has_value()) << args.argc() << " arguments";
    EXPECT_EQ(outcome.printed, "");
  }
  std::ostringstream out;
  EXPECT_FALSE(HandleCommandLine(0, nullptr, "vantrel", kFacts, out)) << "no argv at all";
  const char* const onlyName[] = {"vantrel", nullptr};
  EXPECT_FALSE(HandleCommandLine(5, onlyName, "vantrel", kFacts, out)) << "stops at the terminating null";
  EXPECT_EQ(out.str(), "");
}

TEST(CommandLine, VersionPrintsOneLineAndEnds) {
  for (const Args& args : {Args{"vantrel", "--version"}, Args{"vantrel", "-x", "--version", "eth0"}}) {
    const Outcome outcome = Handle(args);
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_EQ(outcome.printed, "VantRel 7.8.9\n");
  }
}

TEST(CommandLine, HelpShowsUsageOptionsFilesAndTheManual) {
  const Outcome outcome = Handle({"vantrel", "--help"});
  EXPECT_EQ(outcome.exitCode, 0);
  const std::string& text = outcome.printed;
  EXPECT_EQ(text.rfind("Usage: vantrel [--help | --version]\n", 0), 0u) << text;
  for (const char* expected :
       {"\n  --help ", "\n  --version ", "Any other argument is ignored.",
        "~/.config/Brindle Labs/vantrel.conf\n", "~/.config/autostart/Vantrel.desktop\n", "$XDG_CONFIG_HOME",
        "\nSee the manual: /opt/share/doc/vantrel/vantrel.html\n"}) {
    EXPECT_NE(text.find(expected), std::string::npos) << "missing: " << expected << "\nin:\n" << text;
  }
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    EXPECT_LE(line.size(), 80u) << "fits a terminal: " << line;
  }
  EXPECT_EQ(text.back(), '\n');
}

TEST(CommandLine, HelpNamesTheSettingsFileAfterTheExecutable) {
  const std::string text = Handle({"./vt", "--help"}, "vt").printed;
  EXPECT_EQ(text.rfind("Usage: vt ", 0), 0u) << text;
  EXPECT_NE(text.find("~/.config/Brindle Labs/vt.conf\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("vantrel.conf"), std::string::npos) << text;
}

TEST(CommandLine, TheFirstOfTheTwoOptionsWins) {
  EXPECT_EQ(Handle({"vantrel", "--version", "--help"}).printed, "VantRel 7.8.9\n");
  EXPECT_EQ(Handle({"vantrel", "--help", "--version"}).printed.rfind("Usage: ", 0), 0u);
}

TEST(CommandLine, AnOutputThatTakesNothingEndsWithFailure) {
  for (const Args& args : {Args{"vantrel", "--version"}, Args{"vantrel", "--help"}}) {
    RefusingBuffer buffer;
    std::ostream out(&buffer);
    EXPECT_EQ(HandleCommandLine(args.argc(), args.argv(), "vantrel", kFacts, out), 1);
  }
  // The bar still runs: there was nothing to print.
  RefusingBuffer buffer;
  std::ostream out(&buffer);
  const Args plain{"vantrel"};
  EXPECT_FALSE(HandleCommandLine(plain.argc(), plain.argv(), "vantrel", kFacts, out));
}

TEST(BuiltProgramFacts, AVersionNumberAndALowerCaseDocumentationFolder) {
  const ProgramFacts facts = BuiltProgramFacts();
  EXPECT_TRUE(std::regex_match(std::string(facts.version), std::regex(R"(\d+\.\d+\.\d+)"))) << facts.version;
  ASSERT_FALSE(facts.docDir.empty());
  EXPECT_EQ(facts.docDir.front(), '/') << facts.docDir;
  EXPECT_TRUE(facts.docDir.ends_with("/doc/vantrel")) << facts.docDir;
}

}  // namespace
}  // namespace vantrel
