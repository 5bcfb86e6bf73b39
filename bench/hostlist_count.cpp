// One HostList operation on n rules, for counting its instructions with
// callgrind (scripts/bench.sh). Only RunMeasured is counted
// (--toggle-collect), so building the input is left out.
//
//   hostlist_count decode|encode|memchr <rules>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "config/access_rights.h"

namespace {

using tftpcfg::AccessRule;

std::vector<AccessRule> MakeRules(int n) {
  std::vector<AccessRule> rules;
  rules.reserve(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i)
    rules.push_back({"10." + std::to_string((i >> 16) & 255) + "." +
                         std::to_string((i >> 8) & 255) + "." + std::to_string(i & 255),
                     i % 4 ? "255.255.255.255" : "255.255.0.0",
                     i % 2 ? tftpcfg::kReadOnly : tftpcfg::kNoAccess});
  return rules;
}

// The result's size, so that the work cannot be left out.
__attribute__((noinline)) size_t RunMeasured(const std::string& op,
                                             const std::vector<AccessRule>& rules,
                                             const std::string& text) {
  if (op == "decode") return tftpcfg::DecodeHostList(text).size();
  if (op == "encode") return tftpcfg::EncodeHostList(rules).size();
  size_t count = 0;
  const char* p = text.data();
  const char* const end = p + text.size();
  while ((p = static_cast<const char*>(std::memchr(p, '[', static_cast<size_t>(end - p))))) {
    ++count;
    ++p;
  }
  return count;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: hostlist_count decode|encode|memchr <rules>\n");
    return 2;
  }
  const std::vector<AccessRule> rules = MakeRules(std::atoi(argv[2]));
  const std::string text = tftpcfg::EncodeHostList(rules);
  std::printf("%zu\n", RunMeasured(argv[1], rules, text));
  return 0;
}
