#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTest>

namespace vantrel::testing {

// Runs the event loop until `done()` holds or `milliseconds` have passed;
// whether it holds. (QtTest's QTRY_ macros report to QtTest, not GoogleTest.)
template <typename Condition>
bool WaitFor(Condition done, int milliseconds) {
  const QDeadlineTimer deadline(milliseconds);
  while (!done() && !deadline.hasExpired()) QTest::qWait(10);
  return done();
}

}  // namespace vantrel::testing
