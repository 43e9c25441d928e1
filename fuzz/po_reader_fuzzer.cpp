// The PO reader over any bytes: refused at a line of the input, or read; and
// what our writer writes, of a file read or of messages made from the
// input, reads back the same.
#include <cstdint>
#include <string>
#include <string_view>

#include "exchange_fuzz.h"
#include "fuzz_check.h"
#include "po_file.h"

namespace {

using namespace talvo;
using namespace talvo::exchange;

void check_same(const PoMessage& a, const PoMessage& b) {
  FUZZ_CHECK(a.context.has_value() == b.context.has_value());
  if (a.context) FUZZ_CHECK(a.context->text == b.context->text);
  FUZZ_CHECK(a.id.text == b.id.text);
  FUZZ_CHECK(a.translation.text == b.translation.text);
  FUZZ_CHECK(a.fuzzy == b.fuzzy);
  FUZZ_CHECK(a.flags == b.flags);
  FUZZ_CHECK(a.comments == b.comments);
  FUZZ_CHECK(a.extracted_comments == b.extracted_comments);
  FUZZ_CHECK(a.references == b.references);
}

// Writes the file and reads it back: the same header and messages.
void check_written_reads_back(const PoFile& file) {
  const std::string written = write_po(file);
  PoFile read;
  PoError error;
  if (!read_po(written, read, error)) {
    std::fprintf(stderr, "line %zu: %s\n", error.line, error.message.c_str());
    FUZZ_CHECK(false);
  }
  FUZZ_CHECK(read.header.has_value() == file.header.has_value());
  if (file.header) check_same(*read.header, *file.header);
  FUZZ_CHECK(read.messages.size() == file.messages.size());
  for (std::size_t i = 0; i < read.messages.size(); ++i) check_same(read.messages[i], file.messages[i]);
  FUZZ_CHECK(write_po(read) == written);
}

// Messages from the input's bytes: fields parted by 0x00, messages by 0x01;
// the second byte of each field's text chooses what is set.
PoFile messages_of(std::string_view input) {
  PoFile file;
  file.header = PoMessage{};
  file.header->translation.text = "Content-Type: text/plain; charset=UTF-8\n";
  while (!input.empty()) {
    const std::size_t end = input.find('\x01');
    std::string_view fields = input.substr(0, end);
    PoMessage message;
    std::string_view parts[4];
    for (auto& part : parts) {
      const std::size_t cut = fields.find('\0');
      part = fields.substr(0, cut);
      fields = cut == std::string_view::npos ? std::string_view{} : fields.substr(cut + 1);
    }
    message.context = PoString{fuzz::as_utf8(parts[0]), {}, 0};
    message.id.text = fuzz::as_utf8(parts[1]);
    if (message.id.text.empty()) message.id.text = "x";  // an empty msgid without context is the header
    message.translation.text = fuzz::as_utf8(parts[2]);
    message.fuzzy = !parts[3].empty() && (parts[3][0] & 1) != 0;
    file.messages.push_back(std::move(message));
    input = end == std::string_view::npos ? std::string_view{} : input.substr(end + 1);
  }
  return file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
  if ((data[0] & 1) != 0) {
    check_written_reads_back(messages_of(input));
    return 0;
  }
  PoFile file;
  PoError error;
  if (!read_po(input, file, error)) {
    FUZZ_CHECK(error.line >= 1 && error.line <= fuzz::line_count(input));
    FUZZ_CHECK(!error.message.empty());
    return 0;
  }
  for (PoMessage& message : file.messages) message.plural = false;  // the writer writes none
  check_written_reads_back(file);
  return 0;
}
