#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

#include "dbase/mdx/mdx_article.h"
#include "dbase/mdx/mdx_checker.h"
#include "support/temp_dir.h"

namespace vekrano::testing {
namespace {

// The walk in index order, the record numbers read from the leaves and the checked file agree
// with `current` (the barcode of record n at n - 1).
void expectIndexAgrees(MdxArticle& article, const std::vector<std::string>& current, int round) {
  std::multimap<std::string, int> expected;
  for (std::size_t i = 0; i < current.size(); ++i) expected.emplace(current[i], static_cast<int>(i + 1));
  auto walked = article.walk();
  ASSERT_EQ(walked.size(), expected.size());
  // The record numbers read straight from the leaves come in the walk's order.
  std::vector<std::int32_t> records;
  ASSERT_TRUE(article.index().recordsInKeyOrder(records));
  std::vector<std::int32_t> walkedRecords;
  for (const auto& entry : walked) walkedRecords.push_back(entry.second);
  EXPECT_EQ(records, walkedRecords) << "round " << round;
  auto it = expected.begin();
  for (const auto& [cb, record] : walked) {
    EXPECT_EQ(cb, it->first);
    EXPECT_EQ(current[static_cast<std::size_t>(record - 1)], cb);
    ++it;
  }
  MdxCheck check = checkMdxFile(article.mdxName());
  ASSERT_EQ(check.fault, "") << "round " << round;
  std::multimap<std::string, int> fromFile;
  for (const auto& [key, record] : check.tags["CB"])
    fromFile.emplace(key.substr(0, key.find(' ')), static_cast<int>(record));
  using Pairs = std::multiset<std::pair<std::string, int>>;
  EXPECT_EQ(Pairs(fromFile.begin(), fromFile.end()), Pairs(expected.begin(), expected.end()));
}

// Appends and barcode changes at random against a std::multimap of (barcode, record); after each
// round the walk in index order and the checked file must agree with the map.
TEST(MdxRandom, AppendsAndChangesAgreeWithAMultimap) {
  TempDir dir;
  MdxArticle article(dir.path().string());
  std::mt19937 random(20260);
  std::vector<std::string> current;
  auto barcode = [&] { return "C" + std::to_string(random() % 60); };
  for (int i = 0; i < 30; ++i) {
    current.push_back(barcode());
    article.put(current.back());
  }
  article.build();
  for (int round = 0; round < 8; ++round) {
    for (int op = 0; op < 60; ++op) {
      if (random() % 3 == 0) {
        int n = static_cast<int>(random() % current.size()) + 1;
        current[static_cast<std::size_t>(n - 1)] = barcode();
        article.replace(n, current[static_cast<std::size_t>(n - 1)], "x");
      } else {
        current.push_back(barcode());
        article.append(current.back());
      }
    }
    expectIndexAgrees(article, current, round);
  }
}

// Keys appended in rising order, as an import of numbered barcodes gives them, go after every
// other key; changes take keys away from the end too, so that an append meets separators above
// the highest key left, and splits run up to the root again and again.
TEST(MdxRandom, AppendsInKeyOrderAfterChangesAgreeWithAMultimap) {
  TempDir dir;
  MdxArticle article(dir.path().string());
  std::mt19937 random(31);
  std::vector<std::string> current;
  int next = 0;
  auto rising = [&] { return "K" + std::to_string(100000 + next++); };
  current.push_back(rising());
  article.put(current.back());
  article.build();
  for (int round = 0; round < 6; ++round) {
    for (int op = 0; op < 150; ++op) {
      if (random() % 8 == 0) {
        // The last record or any other one moves to a key below every rising one.
        const int n =
            random() % 2 == 0 ? static_cast<int>(current.size()) : static_cast<int>(random() % current.size()) + 1;
        current[static_cast<std::size_t>(n - 1)] = "A" + std::to_string(random() % 50);
        article.replace(n, current[static_cast<std::size_t>(n - 1)], "x");
      } else {
        current.push_back(rising());
        article.append(current.back());
      }
    }
    expectIndexAgrees(article, current, round);
  }
}

// Two processes append through one shared index; each sees the other's keys.
TEST(MdxShared, TwoProcessesAppendAndSeeEachOthersKeys) {
  TempDir dir;
  {
    MdxArticle setup(dir.path().string());
    setup.build();
  }
  int toChild[2], toParent[2];
  ASSERT_EQ(pipe(toChild), 0);
  ASSERT_EQ(pipe(toParent), 0);
  auto wait = [](int fd) {
    char c;
    return read(fd, &c, 1) == 1;
  };
  auto signal = [](int fd) {
    char c = 'x';
    return write(fd, &c, 1) == 1;
  };
  pid_t child = fork();
  ASSERT_GE(child, 0);
  bool isChild = child == 0;
  int in = isChild ? toChild[0] : toParent[0];
  int out = isChild ? toParent[1] : toChild[1];
  int failures = 0;
  {
    MdxArticle article(dir.path().string(), true);
    article.open();
    if (isChild) wait(in);
    for (int round = 0; round < 5; ++round) {
      for (int i = 0; i < 7; ++i) article.append((isChild ? "K" : "P") + std::to_string(round * 10 + i));
      signal(out);
      wait(in);
    }
    auto walked = article.walk();
    if (walked.size() != 70u) ++failures;
    for (std::size_t i = 1; i < walked.size(); ++i)
      if (walked[i - 1].first > walked[i].first) ++failures;
    if (!isChild) signal(out);
  }
  if (isChild) _exit(failures == 0 ? 0 : 1);
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(failures, 0);
  MdxCheck check = checkMdxFile(dir.file("article.mdx"));
  EXPECT_EQ(check.fault, "");
  EXPECT_EQ(check.tags["CB"].size(), 70u);
  EXPECT_FALSE(std::filesystem::exists(dir.file("article.@S@")));  // the last logout removes it
}

}  // namespace
}  // namespace vekrano::testing
