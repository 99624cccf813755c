#pragma once

#include <stdexcept>

namespace sheetlift {

// A failure whose message can be shown to the user as it stands: what failed, which file, why.
class Error : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

} // namespace sheetlift
