// Array sort: a stable top-down merge sort of the elements that exist, taken in index order; the
// k-th sorted element ends at index k, holes are squeezed out and the length stays.
//
// A comparison function is called through the engine's run-function entry (or a native's call
// operation) with the two elements; its result's sign decides (a Real by the double, anything else
// by its payload read as a signed 64-bit integer, so true sorts after and a missing result counts
// as equal). Without one, Undefined sorts
// after everything and the rest compare by their texts, which are made once per element up front.
#include <cstring>
#include <vector>

#include "script/builtins/array_builtin.h"
#include "script/runtime/native_class.h"
#include "script/runtime/conversions.h"
#include "script/runtime/messages.h"
#include "script/runtime/runtime_error.h"
#include "script/runtime/script_string.h"
#include "script/runtime/stack_roots.h"

namespace vexil::script {

namespace {

struct SortItem {
  Value value;
  const ScriptString* key;  // the default comparison's text; null for Undefined
};

// The sign a comparison function's answer stands for.
int answerSign(const Value& answer) {
  if (answer.is(Tag::Real)) return answer.real() > 0 ? 1 : answer.real() < 0 ? -1 : 0;
  int64_t n = answer.integer();
  return n > 0 ? 1 : n < 0 ? -1 : 0;
}

class Sorter {
 public:
  Sorter(Engine& engine, const Value* comparison) : engine_(engine), comparison_(comparison) {}

  void sort(std::vector<SortItem>& items) {
    scratch_.resize(items.size());
    if (!items.empty()) mergeSort(items, 0, items.size() - 1);
  }

 private:
  int compare(const SortItem& a, const SortItem& b) {
    if (comparison_) return callComparison(a.value, b.value);
    if (!a.key) return 1;   // Undefined goes after anything,
    if (!b.key) return -1;  // and anything before Undefined
    return compareStrings(*a.key, *b.key);
  }

  // Not a protected call: a throw or runtime error in the comparison goes on to the script's own
  // handler with its value, and the array is left as it was.
  int callComparison(const Value& a, const Value& b) {
    Value block[3] = {Value::fromInteger(2), a, b};
    const Value& f = *comparison_;
    if (f.is(Tag::Function)) {
      if (!engine_.entries.runFunction) return 0;
      engine_.entries.runFunction(engine_, nullptr, f.function(), block, 3);
      return answerSign(engine_.lastResult);
    }
    NativeClass* cls = f.native()->cls;
    if (!cls || !cls->call) return 0;
    Value answer;
    cls->call(engine_, cls, f.native()->data, &answer, block);
    return answerSign(answer);
  }

  // Sorts items[low .. high] (both included): the halves split at (low + high) / 2, and the
  // right-hand item is taken only when the left one compares greater, so equal items keep their
  // order.
  void mergeSort(std::vector<SortItem>& items, size_t low, size_t high) {
    if (low >= high) return;
    size_t middle = low + (high - low) / 2;
    mergeSort(items, low, middle);
    mergeSort(items, middle + 1, high);
    size_t left = low, right = middle + 1, out = low;
    while (left <= middle && right <= high) {
      if (compare(items[left], items[right]) > 0) scratch_[out++] = items[right++];
      else scratch_[out++] = items[left++];
    }
    while (left <= middle) scratch_[out++] = items[left++];
    while (right <= high) scratch_[out++] = items[right++];
    std::copy(scratch_.begin() + low, scratch_.begin() + high + 1, items.begin() + low);
  }

  Engine& engine_;
  const Value* comparison_;
  std::vector<SortItem> scratch_;
};

const Value* comparisonArgument(const Arguments& args) {
  const Value* f = args.at(1);
  return f && (f->is(Tag::Function) || f->is(Tag::Native)) ? f : nullptr;
}

}  // namespace

void arraySort(HostCall& call) {
  Engine& engine = call.engine;
  ArrayRecord* self = receiverArray(call);
  const Value* comparison = comparisonArgument(call.args);
  // The elements (and their texts) are kept in an array of their own on the value stack, so that
  // script run by comparisons or conversions cannot have them collected.
  StackRoots roots(engine);
  Value* kept = roots.hold();
  kept->setArray(newArray(engine));
  ArrayRecord& keep = *kept->array();
  std::vector<SortItem> items;
  items.reserve(self->count());
  forEachElement(*self, [&](uint64_t, Value& v) {
    putElement(engine, keep, items.size(), v);
    items.push_back({v, nullptr});
  });
  if (!comparison) {
    size_t n = items.size();
    for (size_t k = 0; k < n; ++k) {
      if (items[k].value.is(Tag::Undefined)) continue;
      Value text;
      valueToString(engine, items[k].value, &text);
      putElement(engine, keep, n + k, text);
      items[k].key = text.string();
    }
  }
  Sorter(engine, comparison).sort(items);
  clearElements(engine, *self);
  for (size_t k = 0; k < items.size(); ++k) storeElement(engine, *self, k, items[k].value);
}

}  // namespace vexil::script
