#include <gtest/gtest.h>

#include "common/format_settings.h"
#include "common/process_events.h"
#include "common/prompts.h"

using namespace vekrano::common;

TEST(Prompts, ScriptedAnswersAreGivenInOrderAndEveryBoxIsRecorded) {
  ScopedScriptedPrompts scripted;
  scripted.answers = {PromptAnswer::No, PromptAnswer::Cancel};
  EXPECT_FALSE(askYesNo("Delete?", "Vekrano"));
  EXPECT_FALSE(askOkCancel("Please insert disk 2 and click OK to continue."));
  EXPECT_TRUE(askYesNo("Again?"));  // script exhausted: the first button
  showMessage("Done", "Vekrano", PromptKind::Error);
  ASSERT_EQ(scripted.shown.size(), 4u);
  EXPECT_EQ(scripted.shown[0].caption, "Vekrano");
  EXPECT_EQ(scripted.shown[1].buttons, PromptButtons::OkCancel);
  EXPECT_EQ(scripted.shown[3].kind, PromptKind::Error);
  EXPECT_EQ(scripted.shown[3].text, "Done");
}

TEST(Prompts, ScopedPromptsRestoreThePreviousOnes) {
  ScopedScriptedPrompts outer;
  {
    ScopedScriptedPrompts inner;
    showMessage("inner");
    EXPECT_EQ(inner.shown.size(), 1u);
  }
  showMessage("outer");
  EXPECT_EQ(outer.shown.size(), 1u);
  EXPECT_EQ(outer.shown[0].text, "outer");
}

TEST(FormatSettings, SeparatorGuardRestoresEvenWhenAnExceptionLeavesTheScope) {
  formatSettings().decimalSeparator = ',';
  formatSettings().thousandSeparator = ' ';
  try {
    SeparatorGuard guard('.', ',');
    EXPECT_EQ(formatSettings().decimalSeparator, '.');
    EXPECT_EQ(formatSettings().thousandSeparator, ',');
    throw 1;
  } catch (int) {
  }
  EXPECT_EQ(formatSettings().decimalSeparator, ',');
  EXPECT_EQ(formatSettings().thousandSeparator, ' ');
}

TEST(ProcessEvents, HookRunsUntilRemoved) {
  int calls = 0;
  auto previous = setProcessEventsHook([&] { ++calls; });
  processEvents();
  processEvents();
  setProcessEventsHook(previous);
  processEvents();
  EXPECT_EQ(calls, 2);
}
