#pragma once
// A display sink that keeps every request and failure the window thread is
// handed, for the engine suites.
#include <string>
#include <vector>

#include "console/engine/display_seam.h"

namespace zt::test {

struct RecordingSink : DisplaySink {
  std::vector<DisplayRequest> requests;
  std::vector<std::string> failures;
  void display(const DisplayRequest& r) override { requests.push_back(r); }
  void sendFailure(std::string_view message) override { failures.emplace_back(message); }

  std::vector<std::string> texts(DisplayKind kind) const {
    std::vector<std::string> out;
    for (auto& r : requests)
      if (r.kind == kind) out.emplace_back(r.text.view());
    return out;
  }
  std::vector<DisplayRequest> of(DisplayKind kind) const {
    std::vector<DisplayRequest> out;
    for (auto& r : requests)
      if (r.kind == kind) out.push_back(r);
    return out;
  }
};

}  // namespace zt::test
