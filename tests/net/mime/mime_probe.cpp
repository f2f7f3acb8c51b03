// Shows what the MIME reader finds in a message, and composes sample messages, for the test that
// compares both with Python's email package. Bytes are written as hex so any byte survives JSON.
//   mime_probe read FILE      one JSON object on standard output
//   mime_probe compose DIR    DIR/NAME.eml and, beside each, DIR/NAME.json: what was put in
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "net/mime/body_base64.h"
#include "net/mime/mime_reader.h"
#include "net/mime/mime_writer.h"

using namespace vexil::net::mime;

namespace {

std::string hex(std::string_view bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string out = "\"";
  for (unsigned char c : bytes) out += {kDigits[c >> 4], kDigits[c & 15]};
  return out + "\"";
}

std::string quoted(std::string_view text) { return hex(text); }

std::string field(const std::optional<std::string>& value) { return value ? hex(*value) : "null"; }

std::string partJson(std::string_view type, std::string_view name, std::string_view id, std::string_view body) {
  return "{\"type\":" + quoted(type) + ",\"name\":" + quoted(name) + ",\"id\":" + quoted(id) + ",\"body\":" + hex(body) + "}";
}

std::string describe(const MailHeaders& h, const std::optional<std::string>& text, const std::optional<std::string>& html,
                     const std::vector<std::string>& attachments, const std::vector<std::string>& items) {
  auto list = [](const std::vector<std::string>& parts) {
    std::string out = "[";
    for (size_t i = 0; i < parts.size(); ++i) out += (i ? "," : "") + parts[i];
    return out + "]";
  };
  return "{\"from\":" + field(h.from) + ",\"to\":" + field(h.to) + ",\"subject\":" + field(h.subject) +
         ",\"cc\":" + field(h.cc) + ",\"replyTo\":" + field(h.replyTo) + ",\"date\":" + field(h.date) +
         ",\"text\":" + field(text) + ",\"html\":" + field(html) + ",\"attachments\":" + list(attachments) +
         ",\"items\":" + list(items) + "}";
}

int readMode(const char* path) {
  std::ifstream in(path, std::ios::binary);
  std::string message((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ParsedMessage m = readMessage(message);
  auto body = [&](ByteRange r, TransferEncoding e) { return decodeBody(std::string_view(message).substr(r.start, r.size()), e); };
  std::optional<std::string> text, html;
  if (m.parts.text) text = body(m.parts.text->range, m.parts.text->encoding);
  if (m.parts.html) html = body(m.parts.html->range, m.parts.html->encoding);
  std::vector<std::string> attachments, items;
  for (const MailPart& p : m.parts.attachments) attachments.push_back(partJson(p.contentType, p.name, "", body(p.range, p.encoding)));
  for (const MailPart& p : m.parts.htmlItems) items.push_back(partJson(p.contentType, p.name, p.contentId, body(p.range, p.encoding)));
  std::cout << describe(m.headers, text, html, attachments, items) << "\n";
  return 0;
}

struct Sample {
  std::string name;
  MailHeaders headers;
  std::optional<std::string> text, html;
  std::vector<std::pair<std::string, std::string>> attachments;  // name, bytes
  std::vector<std::pair<std::string, std::string>> items;        // name, bytes; the ID is the name
};

std::string allBytes() {
  std::string bytes;
  for (int i = 0; i < 256 * 3; ++i) bytes += char(i % 256);
  return bytes;
}

std::vector<Sample> samples() {
  MailHeaders plain;
  plain.from = "Vexil <vexil@example.com>";
  plain.to = "one@example.com, two@example.com";
  plain.subject = "Daily report";
  MailHeaders wide;
  wide.from = "J\xC3\xB6rg M\xC3\xBCller <joerg@example.de>";
  wide.to = "\xE5\xB1\xB1\xE7\x94\xB0 <yamada@example.jp>";
  wide.cc = "cc@example.com";
  wide.subject = "R\xC3\xA9sum\xC3\xA9 \xE2\x82\xAC " + std::string(80, 'x') + " \xE6\x97\xA5\xE6\x9C\xAC";
  wide.replyTo = "reply@example.com";
  wide.date = "Fri, 11 Dec 2026 06:00:00 +0000";
  std::string longText;
  for (int i = 0; i < 50; ++i) longText += "Line " + std::to_string(i) + " with trailing blank \nand = signs\ttab " + std::string(i * 3, 'y') + "\n";
  return {
      {"text", plain, "Hello,\nthe report is attached.\n", {}, {}, {}},
      {"html", plain, {}, "<html><body><p>Caf\xC3\xA9</p></body></html>", {}, {}},
      {"both", plain, longText, "<p>" + longText + "</p>", {}, {}},
      {"attachments", wide, "See attached.", {}, {{"data.bin", allBytes()}, {"r\xC3\xA9sum\xC3\xA9 2026.txt", "caf\xC3\xA9\r\n"}, {"empty.dat", ""}}, {}},
      {"everything", wide, "text \xE2\x82\xAC", "<img src=\"cid:logo.png\">", {{"a.zip", allBytes() + allBytes()}}, {{"logo.png", "\x89PNG\r\n"}}},
      {"html items", plain, {}, "<img src=\"cid:pic.gif\">", {}, {{"pic.gif", "GIF89a"}}},
      {"attachment only", plain, {}, {}, {{"only.bin", "\0\1\2"}}, {}},
  };
}

int composeMode(const std::string& dir) {
  for (const Sample& s : samples()) {
    std::vector<std::string> storage(2 + s.attachments.size() + s.items.size());
    MailDraft draft;
    if (s.text) draft.text = newTextBody("text/plain", *s.text, storage[0]);
    if (s.html) draft.html = newTextBody("text/html", *s.html, storage[1]);
    std::vector<std::string> attachments, items;
    size_t slot = 2;
    for (const auto& [name, bytes] : s.attachments) {
      storage[slot] = encodeBase64Lines(bytes, 76);
      draft.attachments.push_back({"application/octet-stream", name, {}, TransferEncoding::kBase64, storage[slot++], {}});
      attachments.push_back(partJson("application/octet-stream", name, "", bytes));
    }
    for (const auto& [name, bytes] : s.items) {
      storage[slot] = encodeBase64Lines(bytes, 76);
      draft.htmlItems.push_back({"image/png", name, name, TransferEncoding::kBase64, storage[slot++], {}});
      items.push_back(partJson("image/png", name, name, bytes));
    }
    BoundaryMaker boundaries{0x1234, 0x5678, 0};
    std::ofstream(dir + "/" + s.name + ".eml", std::ios::binary)
        << composeHeaderBlock(s.headers, 3, true) << composeBody(draft, boundaries).bytes;
    // Line breaks in composed text come back as CR LF.
    auto canonical = [](const std::optional<std::string>& t) -> std::optional<std::string> {
      if (!t) return t;
      std::string out;
      for (char c : *t) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
      return out;
    };
    std::ofstream(dir + "/" + s.name + ".json") << describe(s.headers, canonical(s.text), canonical(s.html), attachments, items) << "\n";
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "read") return readMode(argv[2]);
  if (argc == 3 && std::string(argv[1]) == "compose") return composeMode(argv[2]);
  std::fprintf(stderr, "usage: mime_probe read FILE | compose DIR\n");
  return 2;
}
