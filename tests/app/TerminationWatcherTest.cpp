#include "app/TerminationWatcher.h"

#include <QCoreApplication>
#include <QTest>
#include <csignal>

#include <gtest/gtest.h>

#include "support/QtWait.h"

namespace vantrel {
namespace {

// Each signal that ends a desktop program reaches the event loop as one
// call, and the process survives it while the watcher lives.
class TerminationWatcherTest : public ::testing::TestWithParam<int> {};

TEST_P(TerminationWatcherTest, SignalRunsTheCallbackFromTheEventLoop) {
  int calls = 0;
  {
    TerminationWatcher watcher([&calls] { ++calls; });
    std::raise(GetParam());
    EXPECT_EQ(calls, 0) << "the handler itself must not run the callback";
    EXPECT_TRUE(testing::WaitFor([&calls] { return calls == 1; }, 2000));
  }
  // Gone with the watcher: the default handler is back.
  struct sigaction current {};
  sigaction(GetParam(), nullptr, &current);
  EXPECT_EQ(current.sa_handler, SIG_DFL);
}

INSTANTIATE_TEST_SUITE_P(EndingSignals, TerminationWatcherTest, ::testing::Values(SIGTERM, SIGINT, SIGHUP));

}  // namespace
}  // namespace vantrel
