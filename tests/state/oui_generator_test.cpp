// The build makes OUIList.txt from the IEEE registry text with scripts/make-oui-list.py;
// what it makes must load here.

#include <cstdlib>
#include <cstring>

#include <gtest/gtest.h>

#include "state/oui_list.h"
#include "state_test_support.h"

namespace zv {
namespace {

// The registry's layout: a "(hex)" line and a "(base 16)" line per OUI, then the address.
const char* kRegistry =
    "OUI/MA-L\t\t\t\tOrganization\r\n"
    "\r\n"
    "FC-FE-C2   (hex)\t\tLast   Vendor Ltd\r\n"
    "FCFEC2     (base 16)\t\tLast   Vendor Ltd\r\n"
    "\t\t\t\tSomewhere\r\n"
    "\r\n"
    "00-00-01   (hex)\t\tFirst Corporation\r\n"
    "000001     (base 16)\t\tFirst Corporation\r\n"
    "\r\n"
    "12-34-56   (hex)\t\tZoë Électronique\r\n"
    "123456     (base 16)\t\tZoë Électronique\r\n"
    "\r\n"
    "00-00-01   (hex)\t\tListed Twice\r\n";

TEST(OuiGenerator, MakesASortedListOfShortNamesThatLoads) {
  const char* source = std::getenv("ZV_SOURCE_DIR");
  if (!source) GTEST_SKIP() << "ZV_SOURCE_DIR is not set (run through ctest)";
  test::TempFolder folder;
  const auto registry = folder.path() / "oui.txt";
  const auto list = folder.path() / "OUIList.txt";
  test::write_file(registry, std::vector<std::uint8_t>(kRegistry, kRegistry + std::strlen(kRegistry)));
  const std::string command = "python3 '" + std::string(source) + "/scripts/make-oui-list.py' '" +
                              registry.string() + "' '" + list.string() + "'";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;

  const auto bytes = test::read_file(list);
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()),
            "000001\tFirst_Corpo\n"
            "123456\tZoe_Electro\n"
            "FCFEC2\tLast_Vendor\n");

  const VendorTable table = load_oui_list(list);
  const PrefsRecord prefs = default_preferences();
  const MacAddress last{0xFC, 0xFE, 0xC2, 1, 2, 3};
  EXPECT_EQ(lookup_vendor(table, prefs, last.data()), "Last Vendor");
}

}  // namespace
}  // namespace zv
