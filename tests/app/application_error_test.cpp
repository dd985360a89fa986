// The general error display: every failure that reaches it is shown once, an abort never.
#include <gtest/gtest.h>

#include "app/qt_prompts.h"
#include "common/exception.h"
#include "common/prompts.h"
#include "dbase/dataset/database_error.h"

namespace vekrano::app {
namespace {

TEST(ApplicationError, ShowsTheTextOfAFailureButNeverAnAbort) {
  common::ScopedScriptedPrompts prompts;
  showApplicationError(common::EAbort());
  showApplicationError(dbase::EDatabaseError("Champ 'zz' non trouv\xE9"));
  showApplicationError(common::EAbort());
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].text, "Champ 'zz' non trouv\xE9");
  EXPECT_EQ(prompts.shown[0].caption, "Vekrano");
  EXPECT_EQ(prompts.shown[0].kind, common::PromptKind::Error);
  EXPECT_EQ(prompts.shown[0].buttons, common::PromptButtons::Ok);
}

}  // namespace
}  // namespace vekrano::app
