#include "bar/linux/EventLoop.h"

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace vantrel {
namespace {

struct Pipe {
  Pipe() { EXPECT_EQ(pipe2(fd, O_CLOEXEC | O_NONBLOCK), 0); }
  ~Pipe() {
    close(fd[0]);
    close(fd[1]);
  }
  void Send() { EXPECT_EQ(write(fd[1], "x", 1), 1); }
  void Drain() {
    char c;
    while (read(fd[0], &c, 1) == 1) {
    }
  }
  int fd[2];
};

// The timer keeps firing inside a nested modal step, a descriptor's
// callback runs when it has data, and Quit ends every level.
TEST(EventLoopTest, TimerAndDescriptorsRunInsideNestedStepsUntilQuit) {
  EventLoop loop;
  Pipe reply;
  int ticks = 0;
  int ticksWhileNested = 0;
  bool replied = false;
  loop.Watch(reply.fd[0], [&] {
    reply.Drain();
    replied = true;
  });
  loop.StartTimer(10, [&] {
    ++ticks;
    if (ticks == 2) {
      // A modal step: waits for the reply while the timer goes on.
      const int before = ticks;
      loop.RunUntil([&] {
        if (ticks == before + 3) reply.Send();
        return replied;
      });
      ticksWhileNested = ticks - before;
    }
    if (ticks == 8) loop.Quit(7);
  });
  EXPECT_EQ(loop.Run(), 7);
  EXPECT_EQ(ticks, 8);
  EXPECT_GE(ticksWhileNested, 3);
  EXPECT_TRUE(replied);
}

}  // namespace
}  // namespace vantrel
