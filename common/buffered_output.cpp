#include "buffered_output.h"

namespace talvo {

bool BufferedOutput::flush() {
  if (!file_.valid()) return !failed_;
  if (!failed_ && !buffer_.empty()) failed_ = !platform::write(file_, buffer_.data(), buffer_.size());
  buffer_.clear();
  return !failed_;
}

}  // namespace talvo
