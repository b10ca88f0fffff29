// The base of the test kits whose life has effects (a hook, a file, a window): they are never
// copied.
#pragma once

namespace vok::test {

class TPinned {
 public:
  TPinned() = default;
  TPinned(const TPinned &) = delete;
  TPinned &operator=(const TPinned &) = delete;
};

}  // namespace vok::test
