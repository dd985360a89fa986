// The generic dataset's events: scroll and calculated-field notifications, and the error events
// that decide whether a failed store operation fails, aborts or is tried again.
#include "common/exception.h"
#include "common/scope_exit.h"
#include "dbase/dataset/database_error.h"
#include "dbase/dataset/dataset.h"

namespace vekrano::dbase {

void TDataSet::doBeforeScroll() {
  if (quietScrolls_ == 0) {
    Call(BeforeScroll);
  }
}

void TDataSet::doAfterScroll() {
  if (quietScrolls_ == 0) {
    Call(AfterScroll);
  }
}

void TDataSet::doOnCalcFields() {
  if (!OnCalcFields) {
    return;
  }
  // The state changes without notifying: the controls see no state of their own here.
  const TDataSetState saved = state_;
  state_ = TDataSetState::dsCalcFields;
  const common::ScopeExit restored([&] { state_ = saved; });
  OnCalcFields(*this);
}

void TDataSet::checkOperation(const std::function<void()>& operation, const TDataSetErrorEvent& onError) {
  for (;;) {
    try {
      updateCursorPos();
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
