// The entry of the GTK dialog module, which the programs load by name only
// on a desktop (see platform_dialogs_posix.cpp).
#include "platform_backends.h"

extern "C" __attribute__((visibility("default"))) const talvo::platform::gtk::Backend* talvo_gtk_backend() {
  static const talvo::platform::gtk::Backend backend{talvo::platform::gtk::start, talvo::platform::gtk::choose_file,
                                                     talvo::platform::gtk::message_box};
  return &backend;
}
