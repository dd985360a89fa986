// The settings page's commands; its repair of a damaged record table is vekrano-sql's .repair.
#include <filesystem>

#include "app/main_window.h"
#include "app/qt_prompts.h"
#include "app/settings_page.h"
#include "common/format_text.h"
#include "common/prompts.h"
#include "languages/interface_texts.h"
#include "languages/qt_text.h"
#include "records/article_data.h"
#include "records/table_repair.h"

namespace vekrano::app {
namespace {

constexpr int kConfirmCaption = 38;
constexpr int kRepairQuestion = 239;
constexpr int kRepairedText = 240;
constexpr int kTableInUseText = 241;

// The file name as the message shows it: the system's names are UTF-8, the messages ANSI.
std::string keptAsText(const std::string& path) {
  return languages::fromQt(QString::fromStdString(std::filesystem::path(path).lexically_normal().string()));
}

}  // namespace

void TFprincip::connectSettingsPage() {
  connect(settingsPage_, &SettingsPage::applyLanguageRequested, this, &TFprincip::btappliquerClick);
  connect(settingsPage_, &SettingsPage::eraseRequested, this, &TFprincip::sdetruiretoutedonneeClick);
  connect(settingsPage_, &SettingsPage::repairRequested, this, &TFprincip::sreparertableClick);
}

void TFprincip::offerTableRepair() {
  // The table is configured writable: read-only after its activation means damaged.
  const dbase::TTzDbf& table = data_.tarticle;
  settingsPage_->offerRepair(table.Active() && table.ReadOnly());
}

void TFprincip::sreparertableClick() {
  if (!common::askBeforeLoss(languages::GetText(kRepairQuestion), languages::GetText(kConfirmCaption))) return;
  try {
    const records::RepairedTable repaired = records::repairArticleTable(data_);
    common::showMessage(common::formatText(languages::GetText(kRepairedText), {std::to_string(repaired.kept)}) + "\n" +
                            keptAsText(repaired.keptAs),
                        "Vekrano");
  } catch (const records::ETableInUse&) {
    common::showMessage(languages::GetText(kTableInUseText), "Vekrano", common::PromptKind::Warning);
  } catch (const std::exception& error) {
    showApplicationError(error);
  }
  redisplayList();
  offerTableRepair();
}

}  // namespace vekrano::app
