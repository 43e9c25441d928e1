#include "buffered_output.h"

namespace talvo {

bool BufferedOutput::flush() {
  if (sink_ == nullptr) return !failed_;
  if (!failed_ && !buffer_.empty()) failed_ = !sink_(context_, buffer_.data(), buffer_.size());
  buffer_.clear();
  return !failed_;
}

}  // namespace talvo
