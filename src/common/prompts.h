// The prompts interface: every information box, error box and question of the system goes
// through it. The application answers with real message boxes, tests with scripted answers.
#pragma once

#include <deque>
#include <string>
#include <vector>

namespace vekrano::common {

enum class PromptKind { Information, Warning, Error, Question };
enum class PromptButtons { Ok, YesNo, OkCancel };
enum class PromptAnswer { Ok, Cancel, Yes, No };

// One box as the system shows it. Texts are ANSI (Windows-1252).
struct Prompt {
  std::string caption;
  std::string text;
  PromptKind kind = PromptKind::Information;
  PromptButtons buttons = PromptButtons::Ok;
  // Enter presses No rather than Yes: the question's Yes erases or replaces data.
  bool noIsDefault = false;
};

class Prompts {
 public:
  virtual ~Prompts() = default;
  // Shows the box modally and returns the button pressed.
  virtual PromptAnswer show(const Prompt& prompt) = 0;
  // The platform's default beep.
  virtual void beep() {}
};

// The prompts of the process. Until one is installed, boxes are answered by a ScriptedPrompts
// with no script (OK, Yes or OK), so an engine used without a window never blocks.
Prompts& prompts();
// Installs `p` (borrowed; nullptr restores the default). Returns the previous one.
Prompts* setPrompts(Prompts* p);

// Convenience forms of the three button sets.
void showMessage(const std::string& text, const std::string& caption = {}, PromptKind kind = PromptKind::Information);
bool askYesNo(const std::string& text, const std::string& caption = {});
// A Yes/No question whose Yes erases or replaces data: No is the default button, so that an Enter
// pressed by mistake loses nothing.
bool askBeforeLoss(const std::string& text, const std::string& caption = {});
bool askOkCancel(const std::string& text, const std::string& caption = {});

// Records every box shown and answers from a script; when the script is empty it answers
// OK, Yes or OK (the first button of the set).
class ScriptedPrompts : public Prompts {
 public:
  PromptAnswer show(const Prompt& prompt) override;
  void beep() override { ++beeps; }

  std::deque<PromptAnswer> answers;
  std::vector<Prompt> shown;
  int beeps = 0;
};

// Installs a ScriptedPrompts for the lifetime of the object (tests).
class ScopedScriptedPrompts : public ScriptedPrompts {
 public:
  ScopedScriptedPrompts() : previous_(setPrompts(this)) {}
  ~ScopedScriptedPrompts() override { setPrompts(previous_); }
  ScopedScriptedPrompts(const ScopedScriptedPrompts&) = delete;
  ScopedScriptedPrompts& operator=(const ScopedScriptedPrompts&) = delete;

 private:
  Prompts* previous_;
};

}  // namespace vekrano::common
