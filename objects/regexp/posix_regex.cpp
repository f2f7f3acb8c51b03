#include "objects/regexp/posix_regex.h"

#include <algorithm>
#include <new>
#include <stdexcept>
#include <type_traits>

#include <boost/regex.hpp>

// How many states one search may visit before the matcher gives up with error_complexity. Boost
// allows the larger of S * S * N and N * N (S the size of the expression, N of the text), the
// second capped at 100 million; the first is not capped, so a large expression with nested
// repeats could run for minutes. Here both are capped.
namespace vexil::objects {
inline constexpr double kMaxMatchStates = 1e8;
}

namespace boost::BOOST_REGEX_DETAIL_NS {

template <>
inline void perl_matcher<const wchar_t*, std::allocator<sub_match<const wchar_t*>>,
                         wregex::traits_type>::estimate_max_state_count(std::random_access_iterator_tag*) {
  constexpr double kBase = 100000;
  double textSize = double(std::max<std::ptrdiff_t>(last - base, 1));
  double expressionSize = double(std::max<std::size_t>(re.size(), 1));
  double fromExpression = expressionSize * expressionSize * textSize + kBase;
  double fromText = std::min(textSize * textSize + kBase, vexil::objects::kMaxMatchStates);
  double states = std::min(std::max(fromExpression, fromText), vexil::objects::kMaxMatchStates);
  max_state_count = std::ptrdiff_t(states);
}

}  // namespace boost::BOOST_REGEX_DETAIL_NS

namespace vexil::objects {

namespace {

using Syntax = boost::regex_constants::syntax_option_type;
using MatchFlags = boost::regex_constants::match_flag_type;

Syntax syntaxOf(int options) {
  Syntax flags = (options & kRegExtended) ? boost::regex_constants::extended : boost::regex_constants::basic;
  if (options & kRegNocollate) flags &= ~boost::regex_constants::collate;
  if (options & kRegNosub) flags |= boost::regex_constants::nosubs;
  if (options & kRegNospec) flags |= boost::regex_constants::literal;
  if (options & kRegIcase) flags |= boost::regex_constants::icase;
  if (options & kRegEscapeInLists) flags &= ~boost::regex_constants::no_escape_in_lists;
  if (options & kRegNewlineAlt) flags |= boost::regbase::newline_alt;
  return flags;
}

}  // namespace

RegexSubject::RegexSubject(std::u16string_view text) {
  if constexpr (sizeof(wchar_t) == sizeof(char16_t)) {
    begin_ = reinterpret_cast<const wchar_t*>(text.data());
  } else {
    copy_.assign(text.begin(), text.end());
    begin_ = copy_.data();
  }
  end_ = begin_ + text.size();
}

class CompiledRegex {
 public:
  CompiledRegex(const RegexSubject& pattern, int options)
      : regex(pattern.begin(), pattern.end(), syntaxOf(options)),
        matchFlags((options & kRegNewline) ? boost::regex_constants::match_not_dot_newline
                                           : boost::regex_constants::match_default) {}

  boost::wregex regex;
  MatchFlags matchFlags;
};

void CompiledRegexDeleter::operator()(CompiledRegex* regex) const { delete regex; }

int compileRegex(std::u16string_view pattern, int options, RegexHandle& out) {
  out.reset();
  try {
    out.reset(new CompiledRegex(RegexSubject(pattern), options));
    return kRegOk;
  } catch (const boost::regex_error& e) {
    return int(e.code());
  } catch (const std::bad_alloc&) {
    return kRegEspace;
  } catch (const std::exception&) {
    return kRegEunknown;
  }
}

size_t regexGroupCount(const CompiledRegex& regex) { return regex.regex.mark_count(); }

int executeRegex(const CompiledRegex& regex, std::u16string_view subject, size_t from, RegexGroup* groups,
                 size_t count) {
  return executeRegex(regex, RegexSubject(subject), from, groups, count);
}

int executeRegex(const CompiledRegex& compiled, const RegexSubject& text, size_t from, RegexGroup* groups,
                 size_t count) {
  if (from > text.size()) return kRegNoMatch;
  boost::match_results<const wchar_t*> m;
  MatchFlags flags = compiled.matchFlags;
  if (from > 0) flags |= boost::regex_constants::match_prev_avail;
  bool found;
  try {
    found = boost::regex_search(text.begin() + from, text.end(), m, compiled.regex, flags);
  } catch (const boost::regex_error& e) {
    return e.code() == boost::regex_constants::error_ok ? kRegEunknown : int(e.code());
  } catch (const std::bad_alloc&) {
    return kRegEspace;
  } catch (const std::exception&) {
    return kRegEunknown;
  }
  if (!found) return kRegNoMatch;
  for (size_t i = 0; i < count; ++i) {
    groups[i] = RegexGroup{};
    if (i < m.size() && m[i].matched) {
      groups[i].start = m[i].first - text.begin();
      groups[i].end = m[i].second - text.begin();
    }
  }
  return kRegOk;
}

std::string regexErrorText(int code) {
  if (code < 0 || code > kRegEunknown) code = kRegEunknown;
  return boost::BOOST_REGEX_DETAIL_NS::get_default_error_string(boost::regex_constants::error_type(code));
}

}  // namespace vexil::objects
