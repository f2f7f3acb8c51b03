#include <gtest/gtest.h>

#include "player/swf/variable_path.h"

using namespace vexil::swf;

TEST(VariablePath, SlashDotAndRelativeForms) {
  struct Case {
    const char* current;
    const char* path;
    const char* target;
    const char* name;
  };
  const Case cases[] = {
      {"", "score", "", "score"},
      {"", "_root.score", "", "score"},
      {"", "_level0.Score", "", "score"},
      {"", "/clip:var", "clip", "var"},
      {"", "/:var", "", "var"},
      {"", "_root.a.b.c", "a/b", "c"},
      {"a/b", "x", "a/b", "x"},
      {"a/b", "../c:x", "a/c", "x"},
      {"a/b", "_parent.x", "a", "x"},
      {"a/b", "/top:x", "top", "x"},
      {"a", "this.x", "a", "x"},
      {"", "Clip/Inner:V", "clip/inner", "v"},
  };
  for (const Case& c : cases) {
    auto ref = resolveVariable(c.current, c.path);
    ASSERT_TRUE(ref) << c.path;
    EXPECT_EQ(ref->target, c.target) << c.path;
    EXPECT_EQ(ref->name, c.name) << c.path;
  }
}

TEST(VariablePath, ClimbingAboveTheRootOrEmptyNamesFail) {
  EXPECT_FALSE(resolveVariable("", "../x:y"));
  EXPECT_FALSE(resolveVariable("", "_parent.x"));
  EXPECT_FALSE(resolveVariable("", "/clip:"));
  EXPECT_EQ(targetDisplayName(""), "/");
  EXPECT_EQ(targetDisplayName("a/b"), "/a/b");
}
