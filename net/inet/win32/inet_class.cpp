// Inet over the system's network calls. Handlers run during the call that reports to them; what
// they leave in the engine's last result and message buffer is put back afterwards, and a failing
// handler is one trace line, never the end of the call.
#include "net/inet/win32/inet_class.h"

#include <winsock2.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "net/inet/host_names.h"
#include "net/inet/interface_text.h"
#include "net/inet/win32/interface_snapshot.h"
#include "net/inet/win32/mx_lookup.h"
#include "net/inet/win32/name_servers.h"
#include "net/inet/win32/ping_echo.h"
#include "net/inet/win32/url_download.h"
#include "net/socket/socket_numbers.h"
#include "script/runtime/uncaught_errors.h"
#include "script/runtime/arguments.h"
#include "script/runtime/array_elements.h"
#include "script/runtime/atom_table.h"
#include "script/runtime/call_entries.h"
#include "script/runtime/collector.h"
#include "script/runtime/engine.h"
#include "script/runtime/host_class.h"
#include "script/runtime/native_class.h"
#include "script/runtime/property_table.h"
#include "script/runtime/runtime_error.h"
#include "script/runtime/script_string.h"
#include "script/runtime/stack_roots.h"

namespace vexil::net {
namespace {

using script::Engine;
using script::HostCall;
using script::Value;

constexpr char kHandlerFailedPrefix[] = "Inet event handler failed: ";
// isInetConnected sends this many requests without events.
constexpr int kConnectivityPings = 4;

struct InetData {
  Value onPinging;
  Value onGetUrl;
};

// Runs a handler with the arguments, without a this; answers its result (Undefined when it failed
// or there was none).
Value runHandler(Engine& engine, const Value& function, std::initializer_list<Value> args) {
  if (!script::isCallable(function)) return Value();
  script::StackRoots outer(engine);
  Value* saved = outer.hold(engine.lastResult);
  Value* callee = outer.hold(function);
  std::string message = engine.message;
  std::vector<Value> block = script::argumentBlock(args);
  for (size_t i = 1; i < block.size(); ++i) outer.hold(block[i]);
  Value result;
  if (script::callValue(engine, *callee, block.data())) {
    result = engine.lastResult;
  } else {
    script::reportUncaught(engine, kHandlerFailedPrefix);
  }
  engine.lastResult = *saved;
  snprintf(engine.message, sizeof engine.message, "%s", message.c_str());
  return result;
}

Value* newString(HostCall& call, script::StackRoots& roots, const std::string& text) {
  return roots.hold(script::makeStringFromAnsi(call.engine, text));
}

void answerStrings(HostCall& call, const std::vector<std::string>& texts) {
  script::StackRoots roots(call.engine);
  Value* list = roots.hold();
  script::ArrayRecord* array = script::newArray(call.engine);
  list->setArray(array);
  for (size_t i = 0; i < texts.size(); ++i) script::storeElement(call.engine, *array, i, *newString(call, roots, texts[i]));
  *call.result = *list;
}

InetData& self(HostCall& call) { return *call.instance<InetData>(); }

void construct(HostCall& call) { call.publish(std::make_unique<InetData>()); }

void ping(HostCall& call) {
  auto host = call.args.ansi(1);
  auto count = call.args.integer(2);
  call.result->setInteger(0);
  if (!host || !count) return;
  Engine& engine = call.engine;
  InetData& data = self(call);
  int requests = int(std::clamp<int64_t>(*count, 0, 0xFFFF));  // sequence numbers are 16 bits
  int replies = pingHost(*host, requests, [&](PingReport kind, int value, const std::string& text) {
    script::StackRoots roots(engine);
    Value* handler = roots.hold(data.onPinging);
    Value* message = roots.hold(script::makeStringFromAnsi(engine, text));
    runHandler(engine, *handler, {Value::fromInteger(int(kind)), Value::fromInteger(value), *message});
  });
  call.result->setInteger(replies);
}

void isInetConnected(HostCall& call) {
  std::string host = kDefaultConnectivityHost;
  if (const Value* given = call.args.at(1)) {
    auto text = call.args.ansi(1);
    if (given->tag != script::Tag::String || !text) return;  // undefined
    host = *text;
  }
  int replies = pingHost(host, kConnectivityPings, [](PingReport, int, const std::string&) {});
  call.result->setBoolean(replies > 0);
}

// mxfind(domain, server[, port]): an empty server asks the first configured one.
void mxfind(HostCall& call) {
  auto domain = call.args.ansi(1);
  auto server = call.args.ansi(2);
  auto port = portArgument(call.args.integer(3), kDnsPort);
  std::optional<std::vector<MxRecord>> records;
  if (domain && server && port) {
    if (server->empty()) {
      auto configured = configuredNameServers();
      if (!configured.empty()) *server = configured.front();
    }
    if (!server->empty()) records = lookUpMx(*domain, *server, *port);
  }
  Engine& engine = call.engine;
  script::StackRoots roots(engine);
  Value* list = roots.hold();
  script::ArrayRecord* array = script::newArray(engine);
  list->setArray(array);
  Value* item = roots.hold();
  if (records) {
    for (size_t i = 0; i < records->size(); ++i) {
      script::PropertyTable* table = script::newTable(engine);
      item->setObject(table);
      Value* name = newString(call, roots, (*records)[i].exchange);
      script::setProperty(engine, table, script::intern(engine, "name"), *name);
      script::setProperty(engine, table, script::intern(engine, "pref"), Value::fromInteger((*records)[i].preference));
      script::storeElement(engine, *array, i, *item);
    }
  }
  *call.result = *list;
}

void getDns(HostCall& call) { answerStrings(call, configuredNameServers()); }

void getUrl(HostCall& call) {
  auto url = call.args.ansi(1);
  auto path = call.args.text(2);
  call.result->setBoolean(false);
  if (!url || !path || path->empty()) return;
  Engine& engine = call.engine;
  InetData& data = self(call);
  DownloadEvents events;
  events.failed = [&](const std::string& message) {
    script::StackRoots roots(engine);
    Value* handler = roots.hold(data.onGetUrl);
    Value* text = roots.hold(script::makeStringFromAnsi(engine, message));
    runHandler(engine, *handler, {Value::fromInteger(0), *text});
  };
  events.progress = [&](uint64_t written) {
    script::StackRoots roots(engine);
    Value* handler = roots.hold(data.onGetUrl);
    Value* text = roots.hold(script::makeStringFromAnsi(engine, std::to_string(written)));
    Value result = runHandler(engine, *handler, {Value::fromInteger(1), *text});
    return !(result.tag == script::Tag::Boolean && !result.boolean());  // only false stops
  };
  call.result->setBoolean(downloadUrl(*url, *path, events));
}

void getIpConfig(HostCall& call);

template <Value InetData::*Slot>
void getHandler(HostCall& call) {
  *call.result = self(call).*Slot;
}

template <Value InetData::*Slot>
void setHandler(HostCall& call, const Value& value) {
  if (script::isCallable(value)) self(call).*Slot = value;
}

void markInet(Engine& engine, script::NativeClass*, void* data) {
  if (!data) return;
  auto* inet = static_cast<InetData*>(data);
  script::markValue(engine, inet->onPinging);
  script::markValue(engine, inet->onGetUrl);
}

const script::HostMethodEntry kInetMethods[] = {
    {"ping", ping},       {"isInetConnected", isInetConnected}, {"mxfind", mxfind},
    {"getDNS", getDns},   {"getIPConfig", getIpConfig},         {"getUrl", getUrl},
};

const script::HostPropertyEntry kInetProperties[] = {
    {"onPinging", getHandler<&InetData::onPinging>, setHandler<&InetData::onPinging>},
    {"onGetUrl", getHandler<&InetData::onGetUrl>, setHandler<&InetData::onGetUrl>},
};

const script::HostClassInfo kInetClass = {
    .name = "Inet",
    .methods = kInetMethods,
    .properties = kInetProperties,
    .construct = construct,
    .call = construct,
    .release = script::deleteInstance<InetData>,
    .mark = markInet,
};

// IPConfig: the interfaces as they were when getIPConfig ran.
struct IpConfigData {
  std::vector<InterfaceEntry> interfaces;
};

void constructIpConfig(HostCall& call) { call.publish(std::make_unique<IpConfigData>()); }

// The interface an index argument names, or null (the method then answers null).
const InterfaceEntry* interfaceArgument(HostCall& call) {
  call.result->setNull();
  auto* data = call.instance<IpConfigData>();
  auto index = call.args.integer(1);
  if (!data || !index || *index < 0 || uint64_t(*index) >= data->interfaces.size()) return nullptr;
  return &data->interfaces[size_t(*index)];
}

void ifNum(HostCall& call) { call.result->setInteger(int64_t(call.instance<IpConfigData>()->interfaces.size())); }

void answerText(HostCall& call, std::string_view text) {
  *call.result = script::makeStringFromAnsi(call.engine, std::string(text));
}

void ifType(HostCall& call) {
  if (auto* entry = interfaceArgument(call)) answerText(call, interfaceTypeName(entry->type));
}
void ifIp(HostCall& call) {
  if (auto* entry = interfaceArgument(call)) answerStrings(call, entry->addresses);
}
void ifIpMask(HostCall& call) {
  if (auto* entry = interfaceArgument(call)) answerStrings(call, entry->masks);
}
void ifDefaultGateway(HostCall& call) {
  if (auto* entry = interfaceArgument(call)) answerText(call, entry->gateway);
}
void ifMac(HostCall& call) {
  if (auto* entry = interfaceArgument(call)) answerText(call, physicalAddressText(entry->physical));
}
void ifDesc(HostCall& call) {
  if (auto* entry = interfaceArgument(call)) answerText(call, entry->description);
}

const script::HostMethodEntry kIpConfigMethods[] = {
    {"ifType", ifType}, {"ifIP", ifIp},   {"ifIPMask", ifIpMask}, {"ifDefaultGateway", ifDefaultGateway},
    {"ifMac", ifMac},   {"ifDesc", ifDesc},
};

const script::HostPropertyEntry kIpConfigProperties[] = {
    {"ifNum", ifNum, nullptr},
};

const script::HostClassInfo kIpConfigClass = {
    .name = "IPConfig",
    .methods = kIpConfigMethods,
    .properties = kIpConfigProperties,
    .construct = constructIpConfig,
    .call = constructIpConfig,
    .release = script::deleteInstance<IpConfigData>,
};

void getIpConfig(HostCall& call) {
  auto data = std::make_unique<IpConfigData>();
  data->interfaces = takeInterfaceSnapshot();
  script::newInstance(call.engine, kIpConfigClass, call.result, std::move(data));
}

}  // namespace

void registerInet(script::Engine& engine) { script::defineHostClass(engine, kInetClass); }
void registerIpConfig(script::Engine& engine) { script::defineHostClass(engine, kIpConfigClass); }

}  // namespace vexil::net
