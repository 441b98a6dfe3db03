#include "bar/DialogRequests.h"

#include <string>
#include <variant>

#include <gtest/gtest.h>

namespace vantrel {
namespace {

std::string WithoutNewline(std::string line) {
  EXPECT_EQ(line.back(), '\n');
  line.pop_back();
  EXPECT_EQ(line.find('\n'), std::string::npos) << line;
  return line;
}

BarSettings Hostile() {
  return {.connection = std::string("eth0 \n\r\0,:=x\xff\x80 options ok", 25),
          .bgColor = 0xFFFFFFFF,
          .textColor = 0,
          .position = -2147483647 - 1,
          .runAtStartup = 2147483647,
          .automaticConnection = 1};
}

// Every request and reply comes back as it went, whatever bytes its texts
// hold, on one line.
TEST(DialogRequestsTest, RequestsAndRepliesSurviveTheirLine) {
  const DialogOwner owner{{-10, 1050, 1910, 1070}, 0x1a00003};
  const DialogRequest requests[] = {
      MakeMenuRequest({1919, -5}, kBarMenu),
      MenuRequest{{0, 0}, {}},
      OptionsRequest{owner, BarSettings{}},
      OptionsRequest{{}, Hostile()},
      AboutRequest{owner},
      OpenRequest{"/tmp/a b\n/vantrel.html"},
      OpenRequest{""},
      CancelRequest{},
  };
  for (const DialogRequest& request : requests) {
    const std::string line = WithoutNewline(EncodeRequest(request));
    EXPECT_EQ(ParseRequest(line), request) << line;
  }
  const DialogReply replies[] = {
      MenuReply{ID_MENU_OPTIONS},  MenuReply{0}, OptionsReply{}, OptionsReply{Hostile()},
      OptionsReply{BarSettings{}}, AboutReply{}, OpenReply{},
  };
  for (const DialogReply& reply : replies) {
    const std::string line = WithoutNewline(EncodeReply(reply));
    EXPECT_EQ(ParseReply(line), reply) << line;
  }
  EXPECT_EQ(std::get<MenuRequest>(requests[0]).items[2].text, "Close\tAlt-F4");
}

// A line that is not exactly right asks and answers nothing, so the bar
// reads it as cancelled.
TEST(DialogRequestsTest, MalformedLinesAreNothing) {
  const std::string options = WithoutNewline(EncodeRequest(OptionsRequest{}));
  const std::string confirmed = WithoutNewline(EncodeReply(OptionsReply{BarSettings{}}));
  const std::string lines[] = {
      "",
      "cancel ",
      "menu at=1,2 items=32773:zz",
      "menu at=1,2 items=32773:41,",
      "menu at=1,2  items=",
      "menu at=99999999999,2 items=",
      options + " extra",
      options.substr(0, options.size() - 1),
      "about bar=0,0,1,1 window=-1",
      "open path=6",
      "none",
      std::string("cancel\0", 7),
  };
  for (const std::string& line : lines) {
    EXPECT_TRUE(std::holds_alternative<std::monostate>(ParseRequest(line))) << line;
  }
  const std::string replies[] = {
      "",
      "options ok",
      confirmed.substr(0, confirmed.find(" bg=")),
      confirmed + " ",
      "options ok" + confirmed.substr(confirmed.find(" connection=")).replace(0, 1, "  "),
      "none",
  };
  for (const std::string& line : replies) {
    EXPECT_TRUE(std::holds_alternative<std::monostate>(ParseReply(line))) << line;
  }
}

}  // namespace
}  // namespace vantrel
