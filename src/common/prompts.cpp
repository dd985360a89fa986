// The process-wide prompts and the scripted implementation.
#include "common/prompts.h"

namespace vekrano::common {
namespace {

Prompts* installed = nullptr;

ScriptedPrompts& fallback() {
  static ScriptedPrompts unanswered;
  return unanswered;
}

PromptAnswer firstButton(PromptButtons buttons) {
  return buttons == PromptButtons::YesNo ? PromptAnswer::Yes : PromptAnswer::Ok;
}

}  // namespace

Prompts& prompts() { return installed ? *installed : fallback(); }

Prompts* setPrompts(Prompts* p) {
  Prompts* previous = installed;
  installed = p;
  return previous;
}

void showMessage(const std::string& text, const std::string& caption, PromptKind kind) {
  prompts().show(Prompt{caption, text, kind, PromptButtons::Ok});
}

bool askYesNo(const std::string& text, const std::string& caption) {
  return prompts().show(Prompt{caption, text, PromptKind::Question, PromptButtons::YesNo}) == PromptAnswer::Yes;
}

bool askBeforeLoss(const std::string& text, const std::string& caption) {
  return prompts().show(Prompt{caption, text, PromptKind::Question, PromptButtons::YesNo, true}) == PromptAnswer::Yes;
}

bool askOkCancel(const std::string& text, const std::string& caption) {
  return prompts().show(Prompt{caption, text, PromptKind::Question, PromptButtons::OkCancel}) == PromptAnswer::Ok;
}

PromptAnswer ScriptedPrompts::show(const Prompt& prompt) {
  shown.push_back(prompt);
  if (answers.empty()) return firstButton(prompt.buttons);
  const PromptAnswer answer = answers.front();
  answers.pop_front();
  return answer;
}

}  // namespace vekrano::common
