// The generic dataset's events: scroll and calculated-field notifications, and the error events
// that decide whether a failed store operation fails, aborts or is tried again.
#include "common/exception.h"
#include "common/scope_exit.h"
#include "dbase/dataset/database_error.h"
#include "dbase/dataset/dataset.h"

namespace vekrano::dbase {

void TDataSet::DoBeforeScroll() {
  if (quietScrolls_ == 0) {
    Call(BeforeScroll);
  }
}

void TDataSet::DoAfterScroll() {
  if (quietScrolls_ == 0) {
    Call(AfterScroll);
  }
}

void TDataSet::DoOnCalcFields() {
  if (!OnCalcFields) {
    return;
  }
  // The state changes without notifying: the controls see no state of their own here.
  const TDataSetState saved = state_;
  state_ = TDataSetState::dsCalcFields;
  const common::ScopeExit restored([&] { state_ = saved; });
  OnCalcFields(*this);
}

void TDataSet::CheckOperation(const std::function<void()>& operation,
                              const TDataSetErrorEvent& onError) {
  for (;;) {
    try {
      UpdateCursorPos();
      operation();
      return;
    } catch (const common::EAbort&) {
      throw;
    } catch (const common::Exception& error) {
      TDataAction action = TDataAction::daFail;
      if (onError) {
        onError(*this, error, action);
      }
      if (action == TDataAction::daFail) {
        throw;
      }
      if (action == TDataAction::daAbort) {
        throw common::EAbort();
      }
    }
  }
}

}  // namespace vekrano::dbase
