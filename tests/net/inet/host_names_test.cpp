#include "net/inet/host_names.h"

#include <gtest/gtest.h>

#include <string>

namespace vexil::net {

TEST(HostNames, OnlyWellFormedNamesOutsideTheInvalidDomainReachTheResolver) {
  const std::pair<std::string, bool> cases[] = {
      {"127.0.0.1", true},          {"localhost", true},           {"mail.example.test", true},
      {"example.test.", true},      {"", false},                   {".", false},
      {"a..b", false},              {"nothing.invalid", false},    {"NOTHING.INVALID.", false},
      {"invalid", false},           {std::string(64, 'a') + ".test", false},
      {std::string(65536, 'h'), false}, {std::string("a\0b", 3), false},
      {"invalid.test", true},
  };
  for (const auto& [host, ok] : cases) EXPECT_EQ(resolvableHost(host), ok) << host.substr(0, 40);
}

}  // namespace vexil::net
