#pragma once

#include <deque>
#include <optional>
#include <vector>

#include "settings/qt/ColorPicker.h"

namespace vantrel::testing {

// A picker that gives the answers queued in `answers` (empty or nullopt: the
// user cancelled) and remembers what it was asked.
class FakeColorPicker final : public ColorPicker {
 public:
  std::optional<Color> PickColor(QWidget* parent, Color initial) override {
    parents.push_back(parent);
    asked.push_back(initial);
    if (answers.empty()) return std::nullopt;
    const std::optional<Color> answer = answers.front();
    answers.pop_front();
    return answer;
  }

  std::deque<std::optional<Color>> answers;
  std::vector<Color> asked;
  std::vector<QWidget*> parents;
};

}  // namespace vantrel::testing
