#pragma once
// A display sink for the engine integration tests: keeps every request the
// window thread is handed.
#include <string>
#include <vector>

#include "engine.h"

namespace zt::test {

struct KeepingSink : DisplaySink {
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
};

}  // namespace zt::test
