// Round trips with an independent dBase implementation: the dbf module of Debian's python3.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "common/format_settings.h"
#include "dbase/dbf/dbf_test_support.h"
#include "dbase/dbf/python_dbf.h"
#include "support/temp_dir.h"

using namespace vekrano::dbase;
using vekrano::dbase::testing::articleFields;
using vekrano::dbase::testing::QuietErrors;
using vekrano::dbase::testing::pythonHas;
using vekrano::dbase::testing::runPython;
using vekrano::testing::TempDir;
using vekrano::testing::writeFileBytes;

TEST(DbfPythonReader, ReadsOurArticleTableWithAccents) {
  if (!pythonHas("dbf")) GTEST_SKIP() << "python3 dbf module not installed";
  QuietErrors quiet;
  TempDir dir;
  ASSERT_TRUE(CreateDbf(dir.file("article.dbf"), articleFields()));
  {
    DbfTable t;
    ASSERT_TRUE(t.OpenDbf(dir.file("article.dbf"), DbfOpenMode::SharedReadWrite, true));
    for (int i = 1; i <= 2; ++i) {
      t.ClearRecord();
      t.setInteger(1, i * 21);
      t.setString(2, i == 1 ? "Cr\xE8me br\xFBl\xE9"
                              "e"
                            : "ABC-123");
      t.setString(3, "\xC0 la carte");
      t.setInteger(5, i == 1 ? 1000 : 7);
      t.setString(6, "O");
      ASSERT_TRUE(t.PutDbfRecord(i));
    }
    ASSERT_TRUE(t.CloseDbf());
  }
  writeFileBytes(dir.file("read.py"),
                 "import dbf, sys\n"
                 "t = dbf.Table(sys.argv[1], codepage='cp850')\n"
                 "t.open()\n"
                 "for r in t:\n"
                 "    print('%s|%s|%s|%s|%s' % (r.num, r.cb.rstrip(), r.lib1.rstrip(), "
                 "r.quantite, r.topp.rstrip()))\n"
                 "sys.stdout.flush()\n");
  const std::string out = runPython(dir.file("read.py") + " " + dir.file("article.dbf"));
  EXPECT_EQ(out,
            "21|Cr\xC3\xA8me br\xC3\xBBl\xC3\xA9\x65|\xC3\x80 la carte|None|O\n"
            "42|ABC-123|\xC3\x80 la carte|7|O\n");
}

TEST(DbfPythonReader, OpensATableThePythonModuleWrote) {
  if (!pythonHas("dbf")) GTEST_SKIP() << "python3 dbf module not installed";
  QuietErrors quiet;
  TempDir dir;
  writeFileBytes(dir.file("write.py"),
                 "# -*- coding: utf-8 -*-\n"
                 "import dbf, sys\n"
                 "t = dbf.Table(sys.argv[1], 'name C(12); qty N(5,0); price N(8,2); "
                 "born D; ok L', codepage='cp850')\n"
                 "t.open(dbf.READ_WRITE)\n"
                 "t.append(('Gar\\u00e7on', 12, 3.5, dbf.Date(2024, 2, 29), True))\n"
                 "t.append(('plain', -4, -0.25, None, False))\n"
                 "t.close()\n");
  runPython(dir.file("write.py") + " " + dir.file("py.dbf"));
  vekrano::common::formatSettings().shortDateFormat = "dd/MM/yyyy";
  vekrano::common::formatSettings().dateSeparator = '/';
  DbfTable t;
  ASSERT_TRUE(t.OpenDbf(dir.file("py.dbf"), DbfOpenMode::ReadOnly, true)) << dbfErrorText();
  ASSERT_EQ(t.RecordCount(), 2);
  ASSERT_EQ(t.FieldCount(), 5);
  ASSERT_TRUE(t.GetDbfRecord(1));
  EXPECT_EQ(t.getString(1), "Gar\xE7on      ");
  EXPECT_EQ(t.getInteger(2), 12);
  EXPECT_DOUBLE_EQ(t.getDouble(3), 3.5);
  EXPECT_EQ(t.getDate(4), "29/02/2024");
  EXPECT_TRUE(t.getLogical(5));
  ASSERT_TRUE(t.GetDbfRecord(2));
  EXPECT_EQ(t.getInteger(2), -4);
  EXPECT_DOUBLE_EQ(t.getDouble(3), -0.25);
  EXPECT_EQ(t.getDate(4), "");
  EXPECT_FALSE(t.getLogical(5));
}
