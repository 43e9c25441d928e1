#include "program_run.h"

#include <new>

#include "platform.h"
#include "program_texts.h"

namespace talvo {
namespace {

void show_failure(const char* text) {
  // The box itself may find no memory left; then there is nothing more to do.
  try {
    platform::message_box(text, texts::kErrorCaption, platform::BoxStyle::IconError);
  } catch (...) {
  }
}

}  // namespace

int run_program(int (*pass)()) {
  platform::open_standard_streams();
  try {
    return pass();
  } catch (const std::bad_alloc&) {
    show_failure(texts::kOutOfMemoryText);
  } catch (...) {
    show_failure(texts::kUnexpectedErrorText);
  }
  return 0;
}

}  // namespace talvo
