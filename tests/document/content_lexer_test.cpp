#include <gtest/gtest.h>

#include <random>

#include "document/content_operations.h"

namespace quirelle {
namespace {

// Operations written back compactly: "op(operand operand)" separated by
// spaces, operands in PDF syntax.
std::string render(std::string_view content) {
  Operations ops = decode_operations(content);
  std::string out;
  for (const auto& op : ops.ops) {
    if (!out.empty()) out += ' ';
    out += op.op + '(';
    bool first = true;
    for (const auto& operand : ops.operands_of(op)) {
      if (!first) out += ' ';
      first = false;
      out += object_to_pdf_text(operand);
    }
    out += ')';
  }
  return out;
}

TEST(ContentLexerTest, OperandsKeepTheirKinds) {
  struct Case {
    const char* content;
    const char* expected;
  } cases[] = {
      {"BT /F1 12 Tf 100 700 Td (Hello) Tj ET", "BT() Tf(/F1 12) Td(100 700) Tj((Hello)) ET()"},
      {"1 0 0 1 .5 -3.25 cm", "cm(1 0 0 1 0.5 -3.25)"},
      {"[(A) -200 (B)] TJ", "TJ([(A) -200 (B)])"},
      {"<48656C6c6F> Tj <4> Tj", "Tj((Hello)) Tj((@))"},
      {"(a\\(b\\)c\\\\ \\101\\n) Tj", "Tj((a\\(b\\)c\\\\ A\\n))"},
      {"(nested (parens) ok) Tj", "Tj((nested \\(parens\\) ok))"},
      {"(line\\\ncontinued) Tj", "Tj((linecontinued))"},
      {"/Name#20with#2Fhash /A#zz BDC", "BDC(/Name#20with#2fhash /A#23zz)"},
      {"/P <</MCID 3 /Flag true /N null /Arr [1 [2]]>> BDC EMC",
       "BDC(/P <</Arr [1 [2]]/Flag true/MCID 3>>) EMC()"},
      {"% a comment Tj\n0.5 g", "g(0.5)"},
      {"12 12.0 +7 --4 -.5 Tz", "Tz(12 12 7 -4 -0.5)"},
      {"1 2 3 re f*", "re(1 2 3) f*()"},
      {"' \"", "'() \"()"},
      {"q Q", "q() Q()"},
  };
  for (const auto& c : cases) EXPECT_EQ(render(c.content), c.expected) << c.content;
}

TEST(ContentLexerTest, IntegerAndRealStayDistinct) {
  Operations ops = decode_operations("12 12.0 Tf");
  ASSERT_EQ(ops.operands.size(), 2u);
  EXPECT_EQ(ops.operands[0].kind(), ObjectKind::Integer);
  EXPECT_EQ(ops.operands[1].kind(), ObjectKind::Real);
}

TEST(ContentLexerTest, InlineImageIsOneOperation) {
  std::string content = "q BI /W 2 /H 1 /BPC 8 /CS /G ID \x01" "EI\xff EI Q";
  Operations ops = decode_operations(content);
  ASSERT_EQ(ops.ops.size(), 3u);
  EXPECT_EQ(ops.ops[1].op, "BI");
  auto operands = ops.operands_of(ops.ops[1]);
  ASSERT_EQ(operands.size(), 2u);
  EXPECT_EQ(object_to_pdf_text(operands[0]), "<</BPC 8/CS /G/H 1/W 2>>");
  // "EI" inside the data does not end it: it is not preceded by whitespace
  EXPECT_EQ(std::get<String>(operands[1].value).bytes, "\x01" "EI\xff");
  EXPECT_EQ(ops.ops[2].op, "Q");
}

TEST(ContentLexerTest, GarbageIsSkipped) {
  struct Case {
    const char* content;
    const char* expected;
  } cases[] = {
      {") ] } { > 1 0 0 RG", "RG(1 0 0)"},
      {"[1 2 Tj", "Tj([1 2])"},                   // unterminated array ends at the operator
      {"<< /A 1 Tf", "Tf(<</A 1>>)"},              // unterminated dictionary
      {"(never closed", ""},                        // string runs to the end, no operator
      {"<414", ""},
      {"BI /W 1 ID data without end", "BI(<</W 1>> (data without end))"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(render(c.content), c.expected) << c.content;
}

TEST(ContentLexerTest, DeepNestingAndRandomBytesTerminate) {
  std::string deep(100000, '[');
  decode_operations(deep);
  std::string dicts;
  for (int i = 0; i < 50000; ++i) dicts += "<</A ";
  decode_operations(dicts);
  std::mt19937 rng(11);
  for (int round = 0; round < 3000; ++round) {
    std::string data(rng() % 200, '\0');
    for (char& c : data) c = "()<>[]{}/%\\ \n0123456789.-+BTEIDfq"[rng() % 33];
    Operations ops = decode_operations(data);
    for (const auto& op : ops.ops) EXPECT_LE(op.first_operand + op.operand_count, ops.operands.size());
  }
}

}  // namespace
}  // namespace quirelle
