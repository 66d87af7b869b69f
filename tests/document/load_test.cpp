#include <gtest/gtest.h>

#include <functional>
#include <thread>

#include "document/access.h"
#include "document/content_operations.h"
#include "document/page_access.h"
#include "document/read_file.h"
#include "document/stream_filters.h"

namespace quirelle {
namespace {

Document load_corpus(const std::string& name) {
  auto bytes = read_file(std::string(QUIRELLE_CORPUS_DIR) + "/" + name);
  if (!bytes.ok()) throw std::runtime_error("corpus file missing: " + name);
  auto doc = reader_load(*bytes.value);
  if (!doc.ok()) throw std::runtime_error(doc.error);
  return std::move(*doc.value);
}

// Everything a reader of the document can see, folded into one text.
std::string digest(const Document& doc) {
  std::string out;
  for (ObjectId page : page_list(doc)) {
    auto content = page_content_bytes(doc, page);
    Operations ops = decode_operations(content.ok() ? *content.value : "");
    out += std::to_string(ops.ops.size()) + ':';
    for (const auto& op : ops.ops) out += op.op;
    if (auto fonts = page_font_dicts(doc, page); fonts.ok())
      for (const auto& [name, font] : *fonts.value) out += name + object_to_pdf_text(make_dictionary(*font));
  }
  for (const auto& [key, object] : doc.objects)
    if (const Stream* s = as_stream(&object)) {
      auto decoded = decoded_stream(doc, *s);
      out += std::to_string(key) + (decoded.ok() ? std::to_string(std::hash<std::string>{}(*decoded.value)) : decoded.error);
    }
  return out;
}

TEST(LoadTest, EmptyPasswordFilesDecode) {
  for (const char* name : {"pypdf-encryption-r2-empty-password.pdf", "pypdf-encryption-r6-empty-password.pdf",
                           "pdfjs-issue9972-1-encrypted.pdf"}) {
    Document doc = load_corpus(name);
    ASSERT_FALSE(page_list(doc).empty()) << name;
    auto content = page_content_bytes(doc, page_list(doc)[0]);
    ASSERT_TRUE(content.ok()) << name << ": " << content.error;
    Operations ops = decode_operations(*content.value);
    bool shows_text = false;
    for (const auto& op : ops.ops) shows_text |= op.op == "Tj" || op.op == "TJ";
    EXPECT_TRUE(shows_text) << name;
  }
}

TEST(LoadTest, GarbageFailsWithTheReadersMessage) {
  for (std::string_view bytes : {std::string_view(""), std::string_view("%PDF-1.7\n1 0 obj\n")}) {
    auto doc = reader_load(bytes);
    EXPECT_FALSE(doc.ok());
    EXPECT_FALSE(doc.error.empty());
  }
}

TEST(LoadTest, ManyThreadsReadOneDocumentAlike) {
  Document doc = load_corpus("pdfminer-simple5.pdf");
  const std::string expected = digest(doc);
  ASSERT_GT(expected.size(), 100u);
  std::vector<std::string> results(6);
  std::vector<std::thread> threads;
  for (size_t t = 0; t < results.size(); ++t)
    threads.emplace_back([&, t] {
      for (int round = 0; round < 5; ++round) results[t] = digest(doc);
    });
  for (auto& t : threads) t.join();
  for (const auto& r : results) EXPECT_EQ(r, expected);
}

}  // namespace
}  // namespace quirelle
