// Any bytes as a date text (one unit per byte): a time value or failure, never a crash or a hang;
// a valid time value prints in both text forms.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "objects/date/date_parser.h"
#include "objects/date/date_text.h"
#include "objects/date/date_time.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vexil::objects;
  std::u16string text(data, data + size);
  for (double offset : {0.0, -3600000.0, 19800000.0}) {
    std::optional<double> t = parseDateText(text, offset);
    if (!t) continue;
    if (std::isnan(*t)) std::abort();
    if (!isValidTime(*t)) continue;
    std::string local = localDateText(*t, offset);
    std::string gmt = gmtDateText(*t);
    if (local.empty() || gmt.empty()) std::abort();
    CalendarFields f = splitTime(*t);
    if (composeTime(f) != *t) std::abort();
  }
  return 0;
}
