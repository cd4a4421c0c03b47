// Test names of table rows: a row's `name` turned into a valid parameter name.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <string_view>

namespace tarvik::test {

// Letters and digits stay; anything else becomes '_' ("a/b c" gives "a_b_c").
inline std::string ParamName(std::string_view name) {
  std::string out(name);
  for (char& ch : out)
    if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
  return out;
}

// The name generator of INSTANTIATE_TEST_SUITE_P for rows with a `name` field.
struct TRowName {
  template <typename Row>
  std::string operator()(const ::testing::TestParamInfo<Row>& info) const {
    return ParamName(info.param.name);
  }
};

}  // namespace tarvik::test
