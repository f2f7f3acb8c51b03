// The Mail class: a message over its message file (MailMessage). Fields and bodies travel as UTF-8
// labelled UTF-8, whatever the machine's code page; file paths are the system's ANSI text. No member
// raises: unusable arguments and files that cannot be opened leave things as they were.
#include <memory>
#include <optional>
#include <string>

#include "net/mime/address_list.h"
#include "net/mime/file_content_type.h"
#include "net/mime/header_fields.h"
#include "net/mime/mail_message.h"
#include "net/mime/mail_object.h"
#include "platform/text_case.h"
#include "platform/text_encoding.h"
#include "script/runtime/conversions.h"
#include "script/runtime/host_class.h"
#include "script/runtime/script_string.h"

namespace vexil::net::mime {
namespace {

using script::HostCall;
using script::Value;

MailMessage* messageOf(HostCall& call) { return call.instance<MailMessage>(); }

void answerText(HostCall& call, std::string_view utf8) {
  *call.result = script::makeString(call.engine, platform::utf8ToUtf16(utf8));
}

// Any value as UTF-8 text, as scripts see it converted to a string.
std::string textOf(HostCall& call, const Value& value) {
  Value text;
  script::valueToString(call.engine, value, &text);
  return text.tag == script::Tag::String ? platform::utf16ToUtf8(text.string()->view()) : std::string();
}

// An index argument: an integer, or a number with no fraction; nothing otherwise.
std::optional<int64_t> indexArgument(const script::Arguments& args, uint32_t i) {
  const Value* v = args.at(i);
  if (!v || !v->isNumber()) return std::nullopt;
  std::optional<double> n = args.number(i);
  if (!n || *n != double(int64_t(*n))) return std::nullopt;
  return int64_t(*n);
}

// The file name a path ends with, as UTF-8 (the name the message carries).
std::string fileNameOf(std::u16string_view path) {
  size_t cut = path.find_last_of(u"\\/");
  return platform::utf16ToUtf8(cut == std::u16string_view::npos ? path : path.substr(cut + 1));
}

void construct(HostCall& call) {
  if (std::unique_ptr<MailMessage> message = MailMessage::create()) call.publish(std::move(message));
}

// The header fields, in one table of getter/setter pairs.
template <HeaderField Field>
void getField(HostCall& call) {
  answerText(call, (messageOf(call)->headers().*Field).value_or(""));
}
template <HeaderField Field>
void setField(HostCall& call, const Value& value) {
  messageOf(call)->setField(Field, textOf(call, value));
}

void getPriority(HostCall& call) { call.result->setInteger(messageOf(call)->priority()); }
void setPriority(HostCall& call, const Value& value) {
  if (value.tag == script::Tag::Integer) messageOf(call)->setPriority(int(value.integer()));
}

void getSize(HostCall& call) { call.result->setInteger(int64_t(messageOf(call)->size())); }

// A body's text: its decoded bytes read in the charset it is labelled with (UTF-8 when none).
std::u16string bodyText(MailMessage& message, const std::optional<MailBody>& body) {
  std::string bytes = message.decoded(body);
  if (!body) return {};
  std::string charset = platform::asciiLowered(headerParameter(body->contentType, "charset"));
  if (charset == "iso-8859-1" || charset == "latin1") {
    std::u16string out;
    for (unsigned char c : bytes) out += char16_t(c);
    return out;
  }
  if (charset.empty() || charset == "utf-8" || charset == "us-ascii") return platform::utf8ToUtf16(bytes);
  return platform::ansiToUtf16(bytes);
}

void getText(HostCall& call) {
  MailMessage& m = *messageOf(call);
  *call.result = script::makeString(call.engine, bodyText(m, m.parts().text));
}
void setText(HostCall& call, const Value& value) { messageOf(call)->setText(textOf(call, value)); }
void getHtml(HostCall& call) {
  MailMessage& m = *messageOf(call);
  *call.result = script::makeString(call.engine, bodyText(m, m.parts().html));
}
void setHtml(HostCall& call, const Value& value) { messageOf(call)->setHtml(textOf(call, value)); }

void getAttachmentCount(HostCall& call) { call.result->setInteger(int64_t(messageOf(call)->parts().attachments.size())); }
void getHtmlItemCount(HostCall& call) { call.result->setInteger(int64_t(messageOf(call)->parts().htmlItems.size())); }

// The part at argument 1 of the list; null when the index is missing, not an integer or out of range.
const MailPart* partArgument(HostCall& call, const std::vector<MailPart>& list) {
  std::optional<int64_t> index = indexArgument(call.args, 1);
  if (!index || *index < 0 || uint64_t(*index) >= list.size()) return nullptr;
  return &list[size_t(*index)];
}

void addAttachment(HostCall& call) {
  std::optional<std::u16string> path = call.args.text(1);
  if (!path) return;
  std::string ansiPath = platform::utf16ToAnsi(*path);
  messageOf(call)->addAttachment(ansiPath, fileNameOf(*path), contentTypeOfFile(ansiPath));
}

void removeAttachment(HostCall& call) {
  MailMessage& m = *messageOf(call);
  if (const MailPart* p = partArgument(call, m.parts().attachments)) m.removeAttachment(size_t(p - m.parts().attachments.data()));
}

void getAttachmentContentType(HostCall& call) {
  if (const MailPart* p = partArgument(call, messageOf(call)->parts().attachments)) answerText(call, p->contentType);
}

void getAttachmentName(HostCall& call) {
  if (const MailPart* p = partArgument(call, messageOf(call)->parts().attachments)) answerText(call, p->name);
}

void saveAttachment(HostCall& call) {
  MailMessage& m = *messageOf(call);
  const MailPart* p = partArgument(call, m.parts().attachments);
  std::optional<std::string> path = call.args.ansi(2);
  if (p && path) m.savePart(*p, *path);
}

// The item's file is read from the path; its name is the path's file name and the Content-ID the
// second argument (none when absent).
void addHtmlItem(HostCall& call) {
  std::optional<std::u16string> path = call.args.text(1);
  if (!path) return;
  std::string id = platform::utf16ToUtf8(call.args.text(2).value_or(u""));
  std::string ansiPath = platform::utf16ToAnsi(*path);
  messageOf(call)->addHtmlItem(ansiPath, fileNameOf(*path), singleLine(id), contentTypeOfFile(ansiPath));
}

void removeHtmlItem(HostCall& call) {
  MailMessage& m = *messageOf(call);
  if (const MailPart* p = partArgument(call, m.parts().htmlItems)) m.removeHtmlItem(size_t(p - m.parts().htmlItems.data()));
}

void getHtmlItemName(HostCall& call) {
  if (const MailPart* p = partArgument(call, messageOf(call)->parts().htmlItems)) answerText(call, p->name);
}

void getHtmlItemId(HostCall& call) {
  if (const MailPart* p = partArgument(call, messageOf(call)->parts().htmlItems)) answerText(call, p->contentId);
}

void saveHtmlItem(HostCall& call) {
  MailMessage& m = *messageOf(call);
  const MailPart* p = partArgument(call, m.parts().htmlItems);
  std::optional<std::string> path = call.args.ansi(2);
  if (p && path) m.savePart(*p, *path);
}

// The message's bytes as a script string read as ANSI text, like every text of the system: a
// composed message is ASCII, so it comes back byte for byte.
void asText(HostCall& call) {
  std::optional<std::string> text = messageOf(call)->asText();
  if (text) *call.result = script::makeStringFromAnsi(call.engine, *text);
}

void save(HostCall& call) {
  std::optional<std::string> path = call.args.ansi(1);
  if (path) messageOf(call)->save(*path);
}

void load(HostCall& call) {
  std::optional<std::string> path = call.args.ansi(1);
  if (path) messageOf(call)->load(*path);
}

const script::HostMethodEntry kMethods[] = {
    {"addAttachment", addAttachment},
    {"removeAttachment", removeAttachment},
    {"getAttachmentContentType", getAttachmentContentType},
    {"getAttachmentName", getAttachmentName},
    {"saveAttachment", saveAttachment},
    {"addHtmlItem", addHtmlItem},
    {"removeHtmlItem", removeHtmlItem},
    {"getHtmlItemName", getHtmlItemName},
    {"getHtmlItemID", getHtmlItemId},
    {"saveHtmlItem", saveHtmlItem},
    {"asText", asText},
    {"save", save},
    {"load", load},
};

const script::HostPropertyEntry kProperties[] = {
    {"from", getField<&MailHeaders::from>, setField<&MailHeaders::from>},
    {"replyTo", getField<&MailHeaders::replyTo>, setField<&MailHeaders::replyTo>},
    {"to", getField<&MailHeaders::to>, setField<&MailHeaders::to>},
    {"subject", getField<&MailHeaders::subject>, setField<&MailHeaders::subject>},
    {"cc", getField<&MailHeaders::cc>, setField<&MailHeaders::cc>},
    {"bcc", getField<&MailHeaders::bcc>, setField<&MailHeaders::bcc>},
    {"date", getField<&MailHeaders::date>, setField<&MailHeaders::date>},
    {"priority", getPriority, setPriority},
    {"size", getSize},
    {"text", getText, setText},
    {"html", getHtml, setHtml},
    {"attachmentCount", getAttachmentCount},
    {"htmlItemCount", getHtmlItemCount},
};

const script::HostClassInfo kMailClass = {
    .name = "Mail",
    .methods = kMethods,
    .properties = kProperties,
    .construct = construct,
    .release = script::deleteInstance<MailMessage>,
};

void addAddresses(std::vector<std::string>& out, const std::optional<std::string>& field) {
  if (!field) return;
  for (std::string& address : plainAddresses(*field)) {
    bool seen = false;
    for (const std::string& earlier : out) seen = seen || platform::equalsIgnoringAsciiCase(earlier, address);
    if (!seen) out.push_back(std::move(address));
  }
}

}  // namespace

void registerMail(script::Engine& engine) { script::defineHostClass(engine, kMailClass); }

std::optional<OutgoingMail> outgoingMail(const script::Value& value) {
  MailMessage* message = script::instanceOf<MailMessage>(value, kMailClass);
  if (!message) return std::nullopt;
  std::optional<std::string> bytes = message->transportBytes();
  if (!bytes) return std::nullopt;
  OutgoingMail out;
  out.message = std::move(*bytes);
  const MailHeaders& h = message->headers();
  std::vector<std::string> from;
  addAddresses(from, h.from);
  if (!from.empty()) out.envelope.from = from.front();
  addAddresses(out.envelope.recipients, h.to);
  addAddresses(out.envelope.recipients, h.cc);
  addAddresses(out.envelope.recipients, h.bcc);
  return out;
}

void settleSentMail(const script::Value& value) {
  if (MailMessage* message = script::instanceOf<MailMessage>(value, kMailClass)) message->settleAfterSend();
}

void newMailFromMessage(script::Engine& engine, script::Value* target, std::string_view bytes) {
  std::unique_ptr<MailMessage> message = MailMessage::fromBytes(bytes);
  if (!message) return target->setNull();
  script::newInstance(engine, kMailClass, target, std::move(message));
}

}  // namespace vexil::net::mime
