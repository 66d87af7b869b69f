// The only file that talks to qpdf. It loads the file once, converts every
// object into the immutable model and then drops qpdf entirely, so no qpdf
// object is ever reachable from a worker thread.

#include <algorithm>
#include <optional>
#include <regex>

#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFLogger.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include "document/document.h"

namespace quirelle {
namespace {

// Direct objects nested deeper than this become null; qpdf bounds parsing
// depth as well, this keeps our own recursion bounded whatever it allows.
constexpr int max_direct_nesting = 256;

Object convert(QPDFObjectHandle h, int depth);

Dictionary convert_dictionary(QPDFObjectHandle h, int depth) {
  Dictionary dict;
  for (auto& [key, value] : h.getDictAsMap()) {
    // A direct null is the same as no entry; a reference stays even when
    // its object is missing, since the key's presence can matter.
    if (!value.isIndirect() && value.isNull()) continue;
    // qpdf keeps the leading solidus of names
    dict.entries.emplace_back(key.size() > 0 && key[0] == '/' ? key.substr(1) : key,
                              convert(value, depth + 1));
  }
  return dict;
}

Object convert_stream(QPDFObjectHandle h, int depth) {
  Dictionary dict = convert_dictionary(h.getDict(), depth);
  std::string data;
  try {
    // Raw means still filtered; decryption has already been applied.
    auto buffer = h.getRawStreamData();
    data.assign(reinterpret_cast<const char*>(buffer->getBuffer()), buffer->getSize());
  } catch (const std::exception&) {
    // A stream whose data cannot be read keeps its dictionary.
  }
  return make_stream(std::move(dict), std::move(data));
}

Object convert(QPDFObjectHandle h, int depth) {
  if (depth > max_direct_nesting) return make_null();
  if (depth > 0 && h.isIndirect()) {
    auto og = h.getObjGen();
    return make_reference(ObjectId{uint32_t(og.getObj()), uint16_t(og.getGen())});
  }
  switch (h.getTypeCode()) {
    case ::ot_boolean: return Object{h.getBoolValue()};
    case ::ot_integer: return make_integer(h.getIntValue());
    case ::ot_real: return make_real(float(h.getNumericValue()));
    case ::ot_name: {
      std::string name = h.getName();
      return make_name(name.size() > 0 && name[0] == '/' ? name.substr(1) : name);
    }
    case ::ot_string: return make_string(h.getStringValue());
    case ::ot_array: {
      std::vector<Object> items;
      int n = h.getArrayNItems();
      items.reserve(size_t(n));
      for (int i = 0; i < n; ++i) items.push_back(convert(h.getArrayItem(i), depth + 1));
      return make_array(std::move(items));
    }
    case ::ot_dictionary: return make_dictionary(convert_dictionary(h, depth));
    case ::ot_stream: return convert_stream(h, depth);
    default: return make_null();
  }
}

ObjectId id_of(QPDFObjGen og) { return ObjectId{uint32_t(og.getObj()), uint16_t(og.getGen())}; }

std::shared_ptr<QPDFLogger> silent_logger() {
  auto logger = QPDFLogger::create();
  logger->setInfo(logger->discard());
  logger->setWarn(logger->discard());
  logger->setError(logger->discard());
  return logger;
}

void collect_pages(QPDF& pdf, Document& doc) {
  try {
    for (auto& page : pdf.getAllPages()) doc.pages.push_back(id_of(page.getObjGen()));
  } catch (const std::exception&) {
    doc.pages.clear();  // an unreadable page tree means no pages
  }
}

void collect_objects(QPDF& pdf, Document& doc) {
  std::map<QPDFObjGen, QPDFXRefEntry> xref;
  try {
    xref = pdf.getXRefTable();
  } catch (const std::exception&) {
    return;
  }
  doc.objects.reserve(xref.size());
  for (auto& [og, entry] : xref) {
    try {
      QPDFObjectHandle h = pdf.getObjectByObjGen(og);
      if (h.isNull()) continue;  // free or missing objects are absent
      doc.objects.emplace(object_key(id_of(og)), convert(h, 0));
    } catch (const std::exception&) {
      // An object that qpdf cannot read is absent; the rest still loads.
    }
  }
}

// When the page tree is lost (its root unreadable even after recovery), the
// page objects usually survive: take every /Type /Page dictionary, in
// object number order, rather than report a readable file as empty.
void pages_from_orphans(Document& doc) {
  std::vector<ObjectId> found;
  for (const auto& [key, object] : doc.objects) {
    if (object.kind() != ObjectKind::Dictionary) continue;
    const Object* type = std::get<std::shared_ptr<const Dictionary>>(object.value)->find("Type");
    if (type && type->kind() == ObjectKind::Name && std::get<Name>(type->value).bytes == "Page")
      found.push_back(ObjectId{uint32_t(key >> 16), uint16_t(key & 0xffff)});
  }
  std::sort(found.begin(), found.end(), [](ObjectId a, ObjectId b) {
    return a.number != b.number ? a.number < b.number : a.generation < b.generation;
  });
  doc.pages = std::move(found);
}

// Some damaged files keep their Root only in a cross-reference stream
// dictionary that recovery cannot use, so recovery finds no trailer. A
// trailer naming the last "/Root n g R" of the file lets it finish.
std::optional<std::string> with_recovered_trailer(std::string_view bytes) {
  static const std::regex root_ref(R"(/Root\s*(\d+)\s+(\d+)\s+R)");
  std::string_view tail = bytes.substr(bytes.size() > (1u << 20) ? bytes.size() - (1u << 20) : 0);
  std::cmatch last;
  for (std::cregex_iterator it(tail.data(), tail.data() + tail.size(), root_ref), end; it != end; ++it)
    last = *it;
  if (last.empty()) return std::nullopt;
  std::string patched(bytes);
  patched += "\ntrailer\n<< /Root " + last[1].str() + " " + last[2].str() + " R >>\n";
  return patched;
}

Outcome<Document> load_once(std::string_view bytes) {
  try {
    QPDF pdf;
    pdf.setLogger(silent_logger());
    pdf.setSuppressWarnings(true);
    pdf.setAttemptRecovery(true);
    pdf.processMemoryFile("document", bytes.data(), bytes.size());
    Document doc;
    // The page tree first: qpdf may repair it (for example by copying a
    // page that appears twice), which adds objects.
    collect_pages(pdf, doc);
    collect_objects(pdf, doc);
    if (doc.pages.empty()) pages_from_orphans(doc);
    try {
      doc.trailer = convert_dictionary(pdf.getTrailer(), 0);
      finish_dictionary(doc.trailer);
    } catch (const std::exception&) {
    }
    return Outcome<Document>::success(std::move(doc));
  } catch (const std::exception& e) {
    return Outcome<Document>::failure(e.what());
  }
}

}  // namespace

Outcome<Document> reader_load(std::string_view bytes) {
  auto loaded = load_once(bytes);
  if (loaded.ok() || loaded.error.find("trailer dictionary") == std::string::npos) return loaded;
  auto patched = with_recovered_trailer(bytes);
  if (!patched) return loaded;
  auto retried = load_once(*patched);
  return retried.ok() ? std::move(retried) : std::move(loaded);
}

}  // namespace quirelle
