// One QApplication for the widget tests of this program (offscreen under CTest).
#include <QApplication>
#include <gtest/gtest.h>

namespace {

class QtApplication : public ::testing::Environment {
 public:
  void SetUp() override {
    if (QApplication::instance() == nullptr) app_ = new QApplication(argc_, argv_);
  }
  void TearDown() override { delete app_; }

 private:
  int argc_ = 1;
  char name_[16] = "languages_tests";
  char* argv_[2] = {name_, nullptr};
  QApplication* app_ = nullptr;
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new QtApplication);

}  // namespace
