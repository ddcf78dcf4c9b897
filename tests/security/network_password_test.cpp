#include "security/network_password.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace zv {
namespace {

constexpr const char* kLengthText = "Password length illegal, use 4-24 chars\n";
constexpr const char* kCharacterText =
    "Illegal character in password, CTRL and ALT characters not allowed.\n";

struct PasswordCase {
  const char* name;
  std::string password;
  bool accepted;
  const char* text;  // what goes to the output on refusal
};

class NetworkPasswordTest : public ::testing::TestWithParam<PasswordCase> {};

TEST_P(NetworkPasswordTest, FollowsTheRules) {
  std::ostringstream out;
  EXPECT_EQ(check_network_password(GetParam().password.c_str(), out), GetParam().accepted);
  EXPECT_EQ(out.str(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, NetworkPasswordTest,
    ::testing::Values(PasswordCase{"Empty", "", false, kLengthText},
                      PasswordCase{"ThreeBytes", "abc", false, kLengthText},
                      PasswordCase{"FourBytes", "abcd", true, ""},
                      PasswordCase{"TwentyFourBytes", std::string(24, 'a'), true, ""},
                      PasswordCase{"TwentyFiveBytes", std::string(25, 'a'), false, kLengthText},
                      // Length is judged before the characters.
                      PasswordCase{"LongWithTab", std::string(25, '\t'), false, kLengthText},
                      PasswordCase{"Tab", "ab\tcd", false, kCharacterText},
                      PasswordCase{"Byte80", "ab\x80 cd", false, kCharacterText},
                      PasswordCase{"ByteFF", "abcd\xFF", false, kCharacterText},
                      PasswordCase{"ChineseGbk", "\xC4\xFA\xBA\xC3", false, kCharacterText},
                      PasswordCase{"Space", "my net", true, ""},
                      PasswordCase{"Byte7F", "ab\x7F" "cd", true, ""}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST(NetworkPassword, MissingPasswordIsReportedOnStandardOutput) {
  ::testing::internal::CaptureStdout();
  EXPECT_FALSE(check_network_password(nullptr));
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "No password was entered...exiting\n");
}

}  // namespace
}  // namespace zv
