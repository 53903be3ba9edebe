// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/files/HeaderText.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace km740 {
namespace {

TEST(HeaderText, ThreeLinesInOrder)
{
    EXPECT_EQ(headerTextBytes({"Ana Souza", "Caldeiraria", "Metalúrgica"}),
              "Ana Souza\r\nCaldeiraria\r\nMetal\xFArgica\r\n");
    auto r = parseHeaderText("Ana Souza\r\nCaldeiraria\r\nMetal\xFArgica\r\n");
    ASSERT_TRUE(r);
    EXPECT_EQ(r.value(), (HeaderText{"Ana Souza", "Caldeiraria", "Metalúrgica"}));
    // LF only, UTF-8, blanks around fields dropped, quotes removed.
    EXPECT_EQ(parseHeaderText("  Ana  \n\"Sector 7\"\nMetal\xC3\xBArgica").value(),
              (HeaderText{"Ana", "Sector 7", "Metalúrgica"}));
}

TEST(HeaderText, LastCompleteTripleWins)
{
    EXPECT_EQ(parseHeaderText("a\r\nb\r\nc\r\nd\r\ne\r\nf\r\n").value(), (HeaderText{"d", "e", "f"}));
    EXPECT_EQ(parseHeaderText("a\r\nb\r\nc\r\nd\r\n").value(), (HeaderText{"a", "b", "c"}));
    // Commas split fields in files written without quotes.
    EXPECT_EQ(parseHeaderText("Ana\r\nShop\r\nAcme, Inc.\r\n").value(), (HeaderText{"Ana", "Shop", "Acme"}));
    EXPECT_FALSE(parseHeaderText("only\r\ntwo\r\n"));
    EXPECT_FALSE(parseHeaderText(""));
    EXPECT_FALSE(parseHeaderText("a\r\nb\x01\r\nc\r\n"));
}

TEST(HeaderText, TextsWithCommasAndQuotesReadBackAsTyped)
{
    test::TempFolder dir;
    const HeaderText typed{" Ana ", "Shop \"B\"", "Acme, Inc."};
    ASSERT_TRUE(writeHeaderText(dir / "h.cna", typed));
    EXPECT_EQ(test::readBytes(dir / "h.cna"), "\" Ana \"\r\n\"Shop \"\"B\"\"\"\r\n\"Acme, Inc.\"\r\n");
    auto back = readHeaderText(dir / "h.cna");
    ASSERT_TRUE(back) << back.error().message;
    EXPECT_EQ(back.value(), typed);
    EXPECT_FALSE(readHeaderText(dir / "none.nse"));
    EXPECT_FALSE(writeHeaderText(dir / "no/such/h.cna", typed));
}

} // namespace
} // namespace km740
