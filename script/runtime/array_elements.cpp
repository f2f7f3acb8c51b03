// The array element store: segments for the dense span, a growing chained hash for the rest.
#include "script/runtime/array_elements.h"

#include <algorithm>
#include <cstring>

#include "script/runtime/collector.h"
#include "script/runtime/heap.h"

namespace vexil::script {

namespace {

// The dense span may reach this many indices beyond four times the element count, so an array is
// never more than three-quarters holes below its span. Arrays of fewer than kSmallArrayCount
// elements keep them all in the hash: a segment is kArraySegmentSize values, far more than the
// pairs and short lists scripts make by the hundred thousand.
constexpr uint64_t kDenseSlack = 8 * kArraySegmentSize;
constexpr size_t kSmallArrayCount = 128;
constexpr uint64_t kDenseFactor = 4;
constexpr uint32_t kFirstBucketCount = 8;
constexpr uint32_t kFirstDirectoryCapacity = 4;

uint32_t bucketOf(uint64_t index, uint32_t bucketCount) {
  index ^= index >> 33;
  index *= 0xff51afd7ed558ccdULL;
  index ^= index >> 33;
  return uint32_t(index) & (bucketCount - 1);
}

// The largest dense span, in segments, that an array holding `count` elements may have.
uint64_t allowedSegments(size_t count) {
  if (count < kSmallArrayCount) return 0;
  return (kDenseFactor * (uint64_t(count) + 1) + kDenseSlack) >> kArraySegmentBits;
}

Value* newSegment(Engine& engine) {
  auto* segment = static_cast<Value*>(allocBlock(engine, kArraySegmentSize * sizeof(Value)));
  for (uint32_t i = 0; i < kArraySegmentSize; ++i) segment[i].tag = kHoleTag;
  return segment;
}

// The segment that holds the index, made on first use. The index may lie past the span while the
// span is being extended: such segments hold only holes until the span reaches them.
Value* ensureSegment(Engine& engine, ArrayRecord& array, uint64_t index) {
  Value*& segment = array.segments[index >> kArraySegmentBits];
  if (!segment) segment = newSegment(engine);
  return segment;
}

void growDirectory(Engine& engine, ArrayRecord& array, uint32_t segments) {
  if (segments <= array.segmentCapacity) return;
  uint64_t capacity = std::max<uint64_t>({segments, uint64_t(array.segmentCapacity) * 2, kFirstDirectoryCapacity});
  if (capacity > UINT32_MAX) capacity = UINT32_MAX;
  auto* directory = static_cast<Value**>(reallocBlock(engine, array.segments, capacity * sizeof(Value*)));
  for (uint64_t i = array.segmentCapacity; i < capacity; ++i) directory[i] = nullptr;
  array.segments = directory;
  array.segmentCapacity = uint32_t(capacity);
}

void unlinkEntry(Engine& engine, ArrayRecord& array, ArrayEntry** link) {
  ArrayEntry* entry = *link;
  *link = entry->next;
  freeBlock(engine, entry);
  --array.sparseCount;
}

// Extends the dense span to `segments` and moves the hash entries below it into the segments.
// Every segment they need is made before the span moves, so running out of memory leaves the
// array as it was.
void extendDense(Engine& engine, ArrayRecord& array, uint32_t segments) {
  growDirectory(engine, array, segments);
  uint64_t span = uint64_t(segments) << kArraySegmentBits;
  bool migrate = array.sparseCount && array.sparseFloor() < span;
  if (migrate) {
    for (uint32_t b = 0; b < array.bucketCount; ++b) {
      for (ArrayEntry* e = array.buckets[b]; e; e = e->next) {
        if (e->index() < span) ensureSegment(engine, array, e->index());
      }
    }
  }
  array.segmentCount = segments;
  if (!migrate) return;
  uint64_t floor = UINT64_MAX;
  for (uint32_t b = 0; b < array.bucketCount; ++b) {
    ArrayEntry** link = &array.buckets[b];
    while (ArrayEntry* e = *link) {
      uint64_t index = e->index();
      if (index >= span) {
        floor = std::min(floor, index);
        link = &e->next;
        continue;
      }
      array.segments[index >> kArraySegmentBits][index & kArraySegmentMask] = e->value;
      ++array.denseCount;
      unlinkEntry(engine, array, link);
    }
  }
  array.setSparseFloor(floor);
}

void growBuckets(Engine& engine, ArrayRecord& array) {
  uint32_t count = array.bucketCount ? array.bucketCount * 2 : kFirstBucketCount;
  auto* buckets = static_cast<ArrayEntry**>(allocBlock(engine, size_t(count) * sizeof(ArrayEntry*)));
  for (uint32_t b = 0; b < count; ++b) buckets[b] = nullptr;
  for (uint32_t b = 0; b < array.bucketCount; ++b) {
    while (ArrayEntry* e = array.buckets[b]) {
      array.buckets[b] = e->next;
      ArrayEntry*& head = buckets[bucketOf(e->index(), count)];
      e->next = head;
      head = e;
    }
  }
  freeBlock(engine, array.buckets);
  array.buckets = buckets;
  array.bucketCount = count;
}

void putSparse(Engine& engine, ArrayRecord& array, uint64_t index, const Value& value) {
  if (Value* existing = findSparseElement(array, index)) {
    *existing = value;
    return;
  }
  if (array.sparseCount >= array.bucketCount && array.bucketCount < (1u << 31)) growBuckets(engine, array);
  auto* entry = static_cast<ArrayEntry*>(allocBlock(engine, sizeof(ArrayEntry)));
  entry->setIndex(index);
  entry->value = value;
  ArrayEntry*& head = array.buckets[bucketOf(index, array.bucketCount)];
  entry->next = head;
  head = entry;
  if (!array.sparseCount || index < array.sparseFloor()) array.setSparseFloor(index);
  ++array.sparseCount;
}

// While hash entries remain past the span, filling holes below it may allow a larger span that
// takes them in. The span must grow by a quarter at least, so the hash is scanned a logarithmic
// number of times however the array is filled.
void absorbSparse(Engine& engine, ArrayRecord& array) {
  uint64_t allowed = std::min<uint64_t>(allowedSegments(array.count()), UINT32_MAX);
  if (allowed < array.segmentCount + array.segmentCount / 4 + 1) return;
  if ((array.sparseFloor() >> kArraySegmentBits) >= allowed) return;
  extendDense(engine, array, uint32_t(allowed));
}

void putDense(Engine& engine, ArrayRecord& array, uint64_t index, const Value& value) {
  Value& slot = ensureSegment(engine, array, index)[index & kArraySegmentMask];
  bool filled = slot.tag == kHoleTag;
  slot = value;
  if (!filled) return;
  ++array.denseCount;
  if (array.sparseCount) absorbSparse(engine, array);
}

// The stores of an array, taken out of it so that it can be filled afresh.
struct DetachedStores {
  Value** segments;
  uint32_t segmentCapacity;
  uint64_t span;
  ArrayEntry** buckets;
  uint32_t bucketCount;
  size_t count;
};

DetachedStores detach(ArrayRecord& array) {
  DetachedStores old{array.segments, array.segmentCapacity, array.denseSpan(),
                     array.buckets,  array.bucketCount,     array.count()};
  array.segments = nullptr;
  array.segmentCount = array.segmentCapacity = 0;
  array.denseCount = 0;
  array.buckets = nullptr;
  array.bucketCount = 0;
  array.sparseCount = 0;
  array.setSparseFloor(0);
  return old;
}

// Refills the array from its detached stores, each element at map(index) (dropped when map
// answers false), freeing the old blocks as it goes. `reserve` is a dense span worth making at
// once, when the element count allows it.
template <typename Map>
void rebuild(Engine& engine, ArrayRecord& array, uint64_t reserve, Map&& map) {
  DetachedStores old = detach(array);
  uint64_t reserveSegments = (reserve + kArraySegmentMask) >> kArraySegmentBits;
  if (reserve && reserveSegments <= allowedSegments(old.count)) extendDense(engine, array, uint32_t(reserveSegments));
  for (uint32_t s = 0; s < old.segmentCapacity; ++s) {
    Value* segment = old.segments[s];
    if (!segment) continue;
    uint64_t base = uint64_t(s) << kArraySegmentBits;
    for (uint32_t i = 0; i < kArraySegmentSize && base + i < old.span; ++i) {
      uint64_t target;
      if (segment[i].tag != kHoleTag && map(base + i, target)) putElement(engine, array, target, segment[i]);
    }
    freeBlock(engine, segment);
  }
  freeBlock(engine, old.segments);
  for (uint32_t b = 0; b < old.bucketCount; ++b) {
    while (ArrayEntry* e = old.buckets[b]) {
      old.buckets[b] = e->next;
      uint64_t target;
      if (map(e->index(), target)) putElement(engine, array, target, e->value);
      freeBlock(engine, e);
    }
  }
  freeBlock(engine, old.buckets);
}

}  // namespace

ArrayRecord* newArray(Engine& engine) {
  auto* array = static_cast<ArrayRecord*>(allocBlock(engine, sizeof(ArrayRecord)));
  std::memset(array, 0, sizeof(ArrayRecord));
  return array;
}

Value* findSparseElement(const ArrayRecord& array, uint64_t index) {
  if (!array.sparseCount) return nullptr;
  for (ArrayEntry* e = array.buckets[bucketOf(index, array.bucketCount)]; e; e = e->next) {
    if (e->index() == index) return &e->value;
  }
  return nullptr;
}

void putElement(Engine& engine, ArrayRecord& array, uint64_t index, const Value& value) {
  if (index < array.denseSpan()) return putDense(engine, array, index, value);
  uint64_t needed = (index >> kArraySegmentBits) + 1;
  uint64_t allowed = allowedSegments(array.count());
  if (needed <= allowed && needed <= UINT32_MAX) {
    // Doubling the span (as far as allowed) keeps appends from extending it every segment.
    uint64_t doubled = std::min<uint64_t>(allowed, uint64_t(array.segmentCount) * 2);
    extendDense(engine, array, uint32_t(std::min<uint64_t>(std::max(needed, doubled), UINT32_MAX)));
    return putDense(engine, array, index, value);
  }
  putSparse(engine, array, index, value);
}

void storeElement(Engine& engine, ArrayRecord& array, uint64_t index, const Value& value) {
  putElement(engine, array, index, value);
  if (index >= array.length()) array.setLength(index == UINT64_MAX ? UINT64_MAX : index + 1);
}

bool removeElement(Engine& engine, ArrayRecord& array, uint64_t index) {
  if (index < array.denseSpan()) {
    Value* segment = array.segments[index >> kArraySegmentBits];
    if (!segment || segment[index & kArraySegmentMask].tag == kHoleTag) return false;
    segment[index & kArraySegmentMask].tag = kHoleTag;
    --array.denseCount;
    return true;
  }
  if (!array.sparseCount) return false;
  for (ArrayEntry** link = &array.buckets[bucketOf(index, array.bucketCount)]; *link; link = &(*link)->next) {
    if ((*link)->index() == index) {
      unlinkEntry(engine, array, link);
      return true;
    }
  }
  return false;
}

void clearElements(Engine& engine, ArrayRecord& array) {
  DetachedStores old = detach(array);
  for (uint32_t s = 0; s < old.segmentCapacity; ++s) freeBlock(engine, old.segments[s]);
  freeBlock(engine, old.segments);
  for (uint32_t b = 0; b < old.bucketCount; ++b) {
    while (ArrayEntry* e = old.buckets[b]) {
      old.buckets[b] = e->next;
      freeBlock(engine, e);
    }
  }
  freeBlock(engine, old.buckets);
}

void setArrayLength(Engine& engine, ArrayRecord& array, uint64_t length) {
  uint64_t old = array.length();
  array.setLength(length);
  if (length >= old) return;
  if (length == 0) return clearElements(engine, array);
  // Whole segments past the new length go; the span shrinks to the segment holding the last index.
  uint64_t keep = (length + kArraySegmentMask) >> kArraySegmentBits;
  for (uint64_t s = keep; s < array.segmentCapacity; ++s) {
    Value*& segment = array.segments[s];
    if (!segment) continue;
    for (uint32_t i = 0; i < kArraySegmentSize; ++i) {
      if (segment[i].tag != kHoleTag) --array.denseCount;
    }
    freeBlock(engine, segment);
    segment = nullptr;
  }
  if (keep < array.segmentCount) array.segmentCount = uint32_t(keep);
  for (uint64_t i = length; i < array.denseSpan(); ++i) removeElement(engine, array, i);
  for (uint32_t b = 0; b < array.bucketCount && array.sparseCount; ++b) {
    ArrayEntry** link = &array.buckets[b];
    while (*link) {
      if ((*link)->index() >= length) {
        unlinkEntry(engine, array, link);
      } else {
        link = &(*link)->next;
      }
    }
  }
}

void renumberElements(Engine& engine, ArrayRecord& array, uint64_t from, int64_t delta) {
  if (delta == 0 || !array.count()) return;
  uint64_t magnitude = delta < 0 ? uint64_t(0) - uint64_t(delta) : uint64_t(delta);
  uint64_t span = array.denseSpan();
  uint64_t reserve = delta > 0 ? (span > UINT64_MAX - magnitude ? 0 : span + magnitude) : span;
  rebuild(engine, array, reserve, [&](uint64_t index, uint64_t& target) {
    if (index < from) {
      target = index;
    } else if (delta < 0) {
      if (index < magnitude) return false;
      target = index - magnitude;
    } else {
      if (index > UINT64_MAX - magnitude) return false;
      target = index + magnitude;
    }
    return true;
  });
}

void renumberAll(Engine& engine, ArrayRecord& array, int64_t delta) {
  renumberElements(engine, array, 0, delta);
  uint64_t length = array.length();
  if (delta < 0) {
    uint64_t down = uint64_t(0) - uint64_t(delta);
    array.setLength(length < down ? 0 : length - down);
  } else {
    array.setLength(length > UINT64_MAX - uint64_t(delta) ? UINT64_MAX : length + uint64_t(delta));
  }
}

void reverseElements(Engine& engine, ArrayRecord& array) {
  uint64_t length = array.length();
  if (!array.count() || length < 2) return;
  rebuild(engine, array, length, [&](uint64_t index, uint64_t& target) {
    target = length - 1 - index;
    return index < length;
  });
}

void copyElements(Engine& engine, ArrayRecord& target, const ArrayRecord& source, uint64_t offset) {
  if (&target == &source) {
    // Storing into the array being read would move its hash entries under the visit.
    std::vector<std::pair<uint64_t, Value>> snapshot;
    forEachElement(source, [&](uint64_t i, Value& v) { snapshot.emplace_back(i, v); });
    for (auto& [i, v] : snapshot) {
      if (i <= UINT64_MAX - offset) putElement(engine, target, i + offset, v);
    }
    return;
  }
  forEachElement(source, [&](uint64_t i, Value& v) {
    if (i <= UINT64_MAX - offset) putElement(engine, target, i + offset, v);
  });
}

std::vector<ArrayEntry*> sparseEntriesInOrder(const ArrayRecord& array, uint64_t from, uint64_t to) {
  std::vector<ArrayEntry*> entries;
  entries.reserve(array.sparseCount);
  for (uint32_t b = 0; b < array.bucketCount; ++b) {
    for (ArrayEntry* e = array.buckets[b]; e; e = e->next) {
      if (e->index() >= from && e->index() < to) entries.push_back(e);
    }
  }
  std::sort(entries.begin(), entries.end(), [](ArrayEntry* a, ArrayEntry* b) { return a->index() < b->index(); });
  return entries;
}

void markArrayElements(Engine& engine, ArrayRecord& array) {
  if (array.segments) {
    markHeapBlock(engine, array.segments);
    for (uint32_t s = 0; s < array.segmentCapacity; ++s) {
      Value* segment = array.segments[s];
      if (!segment) continue;
      markHeapBlock(engine, segment);
      for (uint32_t i = 0; i < kArraySegmentSize; ++i) {
        if (segment[i].tag != kHoleTag) markValue(engine, segment[i]);
      }
    }
  }
  if (array.buckets) {
    markHeapBlock(engine, array.buckets);
    for (uint32_t b = 0; b < array.bucketCount; ++b) {
      for (ArrayEntry* e = array.buckets[b]; e; e = e->next) {
        markHeapBlock(engine, e);
        markValue(engine, e->value);
      }
    }
  }
}

}  // namespace vexil::script
