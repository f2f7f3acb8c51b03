// The array element store: dense and sparse indices, the moves between the two stores, bulk
// renumbering and reversal, truncation, ordered visits and the collector's walk.
#include <gtest/gtest.h>

#include <map>
#include <random>

#include "script/runtime/array_elements.h"
#include "tests/script/runtime/runtime_fixture.h"

namespace vexil::script::test {
namespace {

class ArrayElementsTest : public RuntimeTest {
 protected:
  ArrayRecord& make() {
    ArrayRecord* a = newArray(engine());
    Value v;
    v.setArray(a);
    keep("a", v);
    return *a;
  }
  void store(ArrayRecord& a, uint64_t i, int64_t n) { storeElement(engine(), a, i, Value::fromInteger(n)); }
  // The elements as index → integer, in the order forEachElement visits them.
  static std::vector<std::pair<uint64_t, int64_t>> contents(const ArrayRecord& a) {
    std::vector<std::pair<uint64_t, int64_t>> out;
    forEachElement(a, [&](uint64_t i, Value& v) { out.emplace_back(i, v.integer()); });
    return out;
  }
  // Checks the array against a model: every element findable, visits in order, the counts.
  static void expectMatches(const ArrayRecord& a, const std::map<uint64_t, int64_t>& model) {
    std::vector<std::pair<uint64_t, int64_t>> expected(model.begin(), model.end());
    EXPECT_EQ(contents(a), expected);
    EXPECT_EQ(a.count(), model.size());
    for (auto [i, n] : model) {
      Value* v = findElement(a, i);
      ASSERT_NE(v, nullptr) << i;
      EXPECT_EQ(v->integer(), n);
    }
  }
};

TEST_F(ArrayElementsTest, StoreRaisesTheLengthAndReplacesAnExistingElement) {
  ArrayRecord& a = make();
  store(a, 10, 1);
  EXPECT_EQ(a.length(), 11u);
  EXPECT_EQ(findElement(a, 3), nullptr);
  store(a, 10, 2);
  EXPECT_EQ(findElement(a, 10)->integer(), 2);
  EXPECT_EQ(a.count(), 1u);
  store(a, 4, 3);
  EXPECT_EQ(a.length(), 11u);
  EXPECT_TRUE(removeElement(engine(), a, 10));
  EXPECT_FALSE(removeElement(engine(), a, 10));
  EXPECT_EQ(findElement(a, 10), nullptr);
  EXPECT_EQ(a.length(), 11u);
}

TEST_F(ArrayElementsTest, IndicesNear2To64AreSparseAndCheap) {
  ArrayRecord& a = make();
  const uint64_t top = UINT64_MAX;
  store(a, 0, 1);
  store(a, uint64_t(1) << 63, 2);
  store(a, top - 1, 3);
  EXPECT_EQ(a.length(), top);
  store(a, top, 4);  // the length cannot pass 2^64 - 1
  EXPECT_EQ(a.length(), top);
  EXPECT_EQ(findElement(a, top)->integer(), 4);
  EXPECT_EQ(contents(a), (std::vector<std::pair<uint64_t, int64_t>>{{0, 1}, {uint64_t(1) << 63, 2}, {top - 1, 3}, {top, 4}}));
  EXPECT_LT(a.denseSpan(), uint64_t(1) << 20);
  setArrayLength(engine(), a, uint64_t(1) << 63);
  EXPECT_EQ(contents(a), (std::vector<std::pair<uint64_t, int64_t>>{{0, 1}}));
}

TEST_F(ArrayElementsTest, SparseElementsMoveIntoTheDenseStoreAsTheArrayFills) {
  ArrayRecord& a = make();
  std::map<uint64_t, int64_t> model;
  // Filled from the top down: the first stores are far past the dense span.
  for (int64_t i = 99999; i >= 0; --i) {
    store(a, uint64_t(i), i);
    model[uint64_t(i)] = i;
  }
  expectMatches(a, model);
  EXPECT_EQ(a.sparseCount, 0u);
  EXPECT_EQ(a.length(), 100000u);
}

TEST_F(ArrayElementsTest, RandomStoresAndRemovalsAgreeWithAModel) {
  ArrayRecord& a = make();
  std::map<uint64_t, int64_t> model;
  std::mt19937_64 random(7);
  for (int step = 0; step < 40000; ++step) {
    uint64_t r = random();
    uint64_t index = (r & 3) == 0 ? r : (r >> 8) % 30000;  // mostly dense, some anywhere
    if ((r >> 4 & 7) == 0) {
      EXPECT_EQ(removeElement(engine(), a, index), model.erase(index) == 1);
    } else {
      store(a, index, step);
      model[index] = step;
    }
  }
  expectMatches(a, model);
}

TEST_F(ArrayElementsTest, RenumberAllMovesEveryIndexAndTheLength) {
  ArrayRecord& a = make();
  std::map<uint64_t, int64_t> model;
  for (uint64_t i = 1; i < 5000; i += 2) {
    store(a, i, int64_t(i));
    model[i + 3] = int64_t(i);
  }
  store(a, uint64_t(1) << 40, 7);
  model[(uint64_t(1) << 40) + 3] = 7;
  renumberAll(engine(), a, 3);
  expectMatches(a, model);
  EXPECT_EQ(a.length(), (uint64_t(1) << 40) + 4);
  renumberAll(engine(), a, -4);  // the element at 4 - 4 = 0 stays; nothing falls below 0 here
  std::map<uint64_t, int64_t> down;
  for (auto [i, n] : model) down[i - 4] = n;
  expectMatches(a, down);
  EXPECT_EQ(a.length(), uint64_t(1) << 40);
}

TEST_F(ArrayElementsTest, RenumberingPastEitherEndDropsThoseElements) {
  ArrayRecord& a = make();
  store(a, 0, 1);
  store(a, 5, 2);
  store(a, UINT64_MAX - 1, 3);
  renumberElements(engine(), a, 1, 2);  // the element at 0 stays below `from`
  EXPECT_EQ(contents(a), (std::vector<std::pair<uint64_t, int64_t>>{{0, 1}, {7, 2}}));
  renumberAll(engine(), a, -3);
  EXPECT_EQ(contents(a), (std::vector<std::pair<uint64_t, int64_t>>{{4, 2}}));
}

TEST_F(ArrayElementsTest, ReverseMapsIndexToLengthMinusOneMinusIndex) {
  ArrayRecord& a = make();
  std::map<uint64_t, int64_t> model;
  for (uint64_t i = 0; i < 3000; ++i) {
    if (i % 3 == 0) continue;
    store(a, i, int64_t(i));
    model[3000 - 1 - i] = int64_t(i);
  }
  setArrayLength(engine(), a, 3000);
  reverseElements(engine(), a);
  expectMatches(a, model);
  EXPECT_EQ(a.length(), 3000u);
}

TEST_F(ArrayElementsTest, ShorterLengthRemovesElementsAtAndPastIt) {
  ArrayRecord& a = make();
  std::map<uint64_t, int64_t> model;
  for (uint64_t i = 0; i < 5000; ++i) store(a, i, int64_t(i));
  store(a, 1u << 30, 9);
  setArrayLength(engine(), a, 1500);
  for (uint64_t i = 0; i < 1500; ++i) model[i] = int64_t(i);
  expectMatches(a, model);
  EXPECT_EQ(findElement(a, 1500), nullptr);
  // Growing again leaves holes, not the old elements.
  setArrayLength(engine(), a, 5000);
  EXPECT_EQ(findElement(a, 3000), nullptr);
  store(a, 4999, 1);
  EXPECT_EQ(a.count(), 1501u);
}

TEST_F(ArrayElementsTest, CopyIntoItselfAppendsASnapshot) {
  ArrayRecord& a = make();
  for (uint64_t i = 0; i < 3; ++i) store(a, i, int64_t(i));
  store(a, 1u << 30, 5);
  copyElements(engine(), a, a, 4);
  EXPECT_EQ(contents(a), (std::vector<std::pair<uint64_t, int64_t>>{
                             {0, 0}, {1, 1}, {2, 2}, {4, 0}, {5, 1}, {6, 2}, {1u << 30, 5}, {(1u << 30) + 4, 5}}));
}

TEST_F(ArrayElementsTest, CollectorKeepsElementsOfBothStoresAndFreesRemovedOnes) {
  ArrayRecord& a = make();
  Value dense = str("dense element");
  Value sparse = str("sparse element");
  Value removed = str("removed element");
  storeElement(engine(), a, 2, dense);
  storeElement(engine(), a, uint64_t(1) << 50, sparse);
  storeElement(engine(), a, 3, removed);
  removeElement(engine(), a, 3);
  collect();
  EXPECT_EQ(text(*findElement(a, 2)), "dense element");
  EXPECT_EQ(text(*findElement(a, uint64_t(1) << 50)), "sparse element");
  EXPECT_TRUE(isReclaimed(engine(), removed.string()));
}

TEST_F(ArrayElementsTest, TenMillionElementsStayDense) {
  ArrayRecord& a = make();
  const uint64_t n = 10'000'000;
  for (uint64_t i = 0; i < n; ++i) store(a, i, int64_t(i));
  EXPECT_EQ(a.length(), n);
  EXPECT_EQ(a.sparseCount, 0u);
  EXPECT_EQ(findElement(a, n - 1)->integer(), int64_t(n - 1));
  renumberAll(engine(), a, -1);
  EXPECT_EQ(findElement(a, 0)->integer(), 1);
  collect();
  EXPECT_EQ(findElement(a, n - 2)->integer(), int64_t(n - 1));
}

}  // namespace
}  // namespace vexil::script::test
