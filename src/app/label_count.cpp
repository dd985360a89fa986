#include "app/label_count.h"

namespace vekrano::app {

void CountingLabelSink::setSlot(const std::string& slot, const std::string& text) {
  sink_.setSlot(slot, text);
  const bool barcodeSlot = slot.size() > 2 && slot.compare(0, 2, "cb") == 0 && slot[2] >= '0' && slot[2] <= '9';
  if (barcodeSlot && !text.empty()) ++labels_;
}

void CountingLabelSink::printLayout(const std::string& layoutName) {
  sink_.printLayout(layoutName);
  ++sheets_;
}

}  // namespace vekrano::app
