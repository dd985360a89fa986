// The message filler shared by the engines: markers filled in order, the rest kept as written.
#include "common/format_text.h"

#include <gtest/gtest.h>

namespace vekrano::common {
namespace {

TEST(FormatText, FillsMarkersInOrderAndKeepsWhatHasNoArgument) {
  EXPECT_EQ(formatText("Champ '%s' non trouv\xE9", {"zz"}), "Champ 'zz' non trouv\xE9");
  EXPECT_EQ(formatText(" %s at line : %d, Column: %d, token: %s", {"Syntax error", "1", "8", "frm"}),
            " Syntax error at line : 1, Column: 8, token: frm");
  EXPECT_EQ(formatText("%c%s", {"x", "y"}), "xy");
  // A marker left without an argument stays, so a short list never loses text.
  EXPECT_EQ(formatText("Le champ '%s' ne peut pas %s", {"cb"}), "Le champ 'cb' ne peut pas %s");
  EXPECT_EQ(formatText("100%% of %s", {"%s"}), "100% of %s");
  // An argument is copied as it is, never read as a pattern itself.
  EXPECT_EQ(formatText("'%s' and '%s'", {"%s", "b"}), "'%s' and 'b'");
  EXPECT_EQ(formatText("ends with %", {"a"}), "ends with %");
  EXPECT_EQ(formatText("%x stays", {"a"}), "%x stays");
}

}  // namespace
}  // namespace vekrano::common
