#include "tools/tolvek-dart/soak/SoakLoad.h"

#include <deque>
#include <unordered_map>
#include <vector>

#include "macos/Flutter/codec/FlutterCodecError.h"
#include "tools/tolvek-dart/PeerCodecs.h"

namespace tolvekdart {

namespace {

using Clock = EngineClient::Clock;

// What a request was, to check its answer.
enum class Sent { message, ffi, desktop };

struct Pending {
  Sent sent;
  size_t what;     // index into the message, export or DESKTOP table
  uint8_t thread;  // FFI only
};

// The channel messages, in rotation: how each is made and what its reply must be.
enum class ReplyRule { anything, methodSuccess, pathProvider };
struct MessageKind {
  const char* channel;
  const char* method;  // a method call with the standard method codec; null: raw
  ReplyRule rule;
};
const MessageKind kMessages[] = {
    {"tolvek/system_scale", "getScale", ReplyRule::anything},
    {"dev.fluttercommunity.plus/package_info", "getAll", ReplyRule::methodSuccess},
    {"dev.flutter.pigeon.path_provider_foundation.PathProviderApi.getDirectoryPath", nullptr,
     ReplyRule::pathProvider},
    {"dev.fluttercommunity.plus/device_info", "getDeviceInfo", ReplyRule::methodSuccess},
    {"tolvek/soak/nobody", nullptr, ReplyRule::anything},
};

// The exports the Dart threads call, in rotation. A host that lacks one refuses it; it is
// then left out.
struct ExportCall {
  const char* symbol;
  const char* signature;
};
const ExportCall kExports[] = {
    {"tolvek_clipboard_write_files", "void(utf8,int32)"},
    {"tolvek_window_is_visible", "int32()"},
    {"tolvek_clipboard_read_files", "utf8ptr()"},
    {"tolvek_window_set_size", "void(int32,int32)"},
    {"tolvek_clipboard_is_cut", "int32()"},
    {"tolvek_window_get_size", "void(outint32,outint32)"},
    {"tolvek_window_show", "void()"},
    {"tolvek_window_set_title", "void(utf8)"},
    {"tolvek_window_is_maximized", "int32()"},
    {"tolvek_window_maximize", "void()"},
    {"tolvek_window_set_min_size", "void(int32,int32)"},
    {"tolvek_window_restore", "void()"},
    {"tolvek_window_center", "void()"},
    {"tolvek_window_minimize", "void()"},
    {"tolvek_window_start_dragging", "void()"},
    {"tolvek_window_hide", "void()"},
    {"tolvek_window_close", "void()"},
};
constexpr size_t kExportCount = std::size(kExports);
constexpr size_t kFreeExport = kExportCount;  // tolvek_clipboard_free, sent after a read

// The DESKTOP calls, in rotation. A method this host does not serve is left out.
const char* const kDesktopMethods[] = {
    "resizeWindow",    "moveWindowToScreen", "clickWindowButton", "reopenApplication",
    "writePasteboard", "makeKeyWindow",      "windows",           "pasteboard",
};

class SoakRun {
 public:
  SoakRun(EngineClient& client, const SoakSettings& settings)
      : client_(client), settings_(settings) {}

  SoakCounts run(const std::function<void(uint64_t)>& progress) {
    prepareScreens();
    const uint64_t tenth = std::max<uint64_t>(1, settings_.messages / 10);
    for (uint64_t i = 0; i < settings_.messages; ++i) {
      sendMessage(i);
      if (i % 64 == 63) postMessage(i);
      for (uint32_t f = 0; f < settings_.ffiPerMessage; ++f) sendFfi(ffiCounter_++);
      if (settings_.desktopEvery != 0 && i % settings_.desktopEvery == 0) sendDesktop(i);
      while (pending_.size() >= settings_.inFlight) receiveOne();
      if ((i + 1) % tenth == 0 && progress) progress(i + 1);
    }
    while (!pending_.empty() || !frees_.empty()) {
      sendFrees();
      if (!pending_.empty()) receiveOne();
    }
    return counts_;
  }

 private:
  // Two screens of different factors, so moving the window between them changes its
  // backing scale.
  void prepareScreens() {
    const auto screen = [](double x, double factor) {
      return EncodableValue(
          EncodableMap{{"frame", EncodableList{EncodableValue(x), EncodableValue(0.0),
                                               EncodableValue(1440.0), EncodableValue(900.0)}},
                       {"backingScaleFactor", EncodableValue(factor)}});
    };
    const auto reply = client_.desktop(
        "setScreens", EncodableMap{{"screens", EncodableList{screen(0, 2.0), screen(1440, 1.0)}},
                                   {"mainScreen", EncodableValue(0)}});
    twoScreens_ = !std::holds_alternative<FlutterMethodNotImplementedType>(reply);
  }

  uint32_t track(Sent sent, size_t what, uint8_t thread = 0) {
    const uint32_t id = client_.newId();
    pending_.emplace(id, Pending{sent, what, thread});
    return id;
  }

  void sendMessage(uint64_t i) {
    const size_t what = i % std::size(kMessages);
    client_.sendFrame(
        messageFrame(track(Sent::message, what), kMessages[what].channel, messagePayload(what, i)));
    ++counts_.messages;
  }

  // A message that wants no reply, as Dart sends to a channel it does not wait on.
  void postMessage(uint64_t i) {
    client_.postMessage("tolvek/soak/posted", messagePayload(4, i));
    ++counts_.postedMessages;
  }

  std::vector<uint8_t> messagePayload(size_t what, uint64_t i) {
    const auto& kind = kMessages[what];
    if (kind.method != nullptr) {
      return FlutterStandardMethodCodec::sharedInstance()->encodeMethodCall(
          {kind.method, EncodableValue()});
    }
    if (kind.rule == ReplyRule::pathProvider) {
      const auto directory = static_cast<int32_t>(i % 6);
      return peerMessageCodec("pathprovider")
          ->encode(EncodableList{CustomEncodableValue(129, EncodableValue(directory))});
    }
    return FlutterStandardMessageCodec::sharedInstance()->encode(
        EncodableValue(static_cast<int64_t>(i)));
  }

  void sendFfi(uint64_t n) {
    const auto thread = static_cast<uint8_t>(1 + n % settings_.dartThreads);
    size_t what = (n / settings_.dartThreads + thread) % kExportCount;
    for (size_t tries = 0; absentExports_[what] && tries < kExportCount; ++tries) {
      what = (what + 1) % kExportCount;
    }
    if (absentExports_[what]) return;
    EncodableList arguments;
    const std::string symbol = kExports[what].symbol;
    if (symbol == "tolvek_clipboard_write_files") {
      const std::string base = "/soak/t" + std::to_string(thread) + "/file";
      arguments = {EncodableValue(base + std::to_string(n) + "\n" + base + ".txt"),
                   EncodableValue(static_cast<int32_t>(n % 2))};
    } else if (symbol == "tolvek_window_set_size") {
      arguments = {EncodableValue(static_cast<int32_t>(400 + n % 800)),
                   EncodableValue(static_cast<int32_t>(300 + n % 500))};
    } else if (symbol == "tolvek_window_set_min_size") {
      arguments = {EncodableValue(static_cast<int32_t>(n % 300)),
                   EncodableValue(static_cast<int32_t>(n % 200))};
    } else if (symbol == "tolvek_window_get_size") {
      arguments = {EncodableValue(-1), EncodableValue(-1)};
    } else if (symbol == "tolvek_window_set_title") {
      arguments = {EncodableValue("soak " + std::to_string(n))};
    }
    sendFfiFrame(thread, what, symbol, kExports[what].signature, arguments);
  }

  void sendFfiFrame(uint8_t thread, size_t what, const std::string& symbol,
                    const std::string& signature, const EncodableList& arguments) {
    client_.sendFrame(
        ffiFrame(track(Sent::ffi, what, thread), thread, symbol, signature, arguments));
    ++counts_.ffiCalls;
  }

  // Text the host handed out is freed by the thread that read it, as Dart does.
  void sendFrees() {
    while (!frees_.empty()) {
      const auto [thread, address] = frees_.front();
      frees_.pop_front();
      sendFfiFrame(thread, kFreeExport, "tolvek_clipboard_free", "void(ptr)",
                   {EncodableValue(address)});
    }
  }

  void sendDesktop(uint64_t i) {
    size_t what = (i / settings_.desktopEvery) % std::size(kDesktopMethods);
    for (size_t tries = 0; tries < std::size(kDesktopMethods); ++tries) {
      if (!absentDesktop_[what] && (twoScreens_ || what != 1)) break;
      what = (what + 1) % std::size(kDesktopMethods);
    }
    const std::string method = kDesktopMethods[what];
    EncodableMap arguments;
    if (method == "resizeWindow") {
      arguments.set("size", EncodableList{EncodableValue(500.0 + static_cast<double>(i % 700)),
                                          EncodableValue(400.0 + static_cast<double>(i % 300))});
    } else if (method == "moveWindowToScreen") {
      arguments.set("screen", EncodableValue(static_cast<int32_t>(i % 2)));
    } else if (method == "clickWindowButton") {
      arguments.set("button", EncodableValue(static_cast<int32_t>(i % 3 == 0 ? 2 : 0)));
    } else if (method == "writePasteboard") {
      arguments.set(
          "items",
          EncodableList{EncodableValue(EncodableMap{
              {"public.file-url", EncodableValue("file:///soak/other/" + std::to_string(i))}})});
    }
    client_.sendFrame(
        desktopFrame(track(Sent::desktop, what), {method, EncodableValue(arguments)}));
    ++counts_.desktopCalls;
  }

  void receiveOne() {
    sendFrees();
    const auto frame = client_.nextFrame(Clock::now() + settings_.answerTimeout);
    if (!frame) {
      throw EngineClientError("no answer in time; " + std::to_string(pending_.size()) +
                              " requests outstanding");
    }
    if (frame->kind == EngineFrameKind::message) {
      ++counts_.hostMessages;
      if (frame->id != 0) {
        EngineFrame reply;
        reply.kind = EngineFrameKind::reply;
        reply.id = frame->id;
        client_.sendFrame(reply);
      }
      return;
    }
    const auto found = pending_.find(frame->id);
    if (found == pending_.end())
      return fault("an answer to no request: id " + std::to_string(frame->id));
    const Pending request = found->second;
    pending_.erase(found);
    ++counts_.answered;
    static constexpr EngineFrameKind kAnswerKinds[] = {
        EngineFrameKind::reply, EngineFrameKind::ffiResult, EngineFrameKind::desktopResult};
    if (frame->kind != kAnswerKinds[static_cast<int>(request.sent)]) {
      return fault("an answer of the wrong kind for request " + std::to_string(frame->id));
    }
    try {
      switch (request.sent) {
        case Sent::message:
          return checkReply(request, frame->payload);
        case Sent::ffi:
          return checkFfiResult(request, frame->payload);
        case Sent::desktop:
          return checkDesktopResult(request, frame->payload);
      }
    } catch (const FlutterCodecError& error) {
      fault(std::string("an answer that does not decode: ") + error.what());
    }
  }

  void checkReply(const Pending& request, const std::vector<uint8_t>& payload) {
    const auto& kind = kMessages[request.what];
    if (kind.rule == ReplyRule::methodSuccess) {
      const auto reply = FlutterStandardMethodCodec::sharedInstance()->decodeEnvelope(payload);
      if (!std::holds_alternative<EncodableValue>(reply)) {
        fault(std::string("no value from ") + kind.channel);
      }
    } else if (kind.rule == ReplyRule::pathProvider) {
      const auto reply = peerMessageCodec("pathprovider")->decode(payload);
      if (!reply.list()) fault("the path provider's reply is not a list");
    }
  }

  void checkFfiResult(const Pending& request, const std::vector<uint8_t>& payload) {
    const auto result = FlutterStandardMessageCodec::sharedInstance()->decode(payload);
    const auto* map = result.map();
    if (map == nullptr) return fault("an FFI result that is not a map");
    if (const auto* error = map->find("error")) {
      // An export this host does not have: refused, then left out of the rotation.
      if (request.what < kExportCount && !presentExports_[request.what]) {
        if (!absentExports_[request.what]) ++counts_.absentExports;
        absentExports_[request.what] = true;
        return;
      }
      return fault("a refused FFI call: " + (error->string() ? *error->string() : ""));
    }
    if (request.what == kFreeExport) return;
    presentExports_[request.what] = true;
    if (std::string(kExports[request.what].symbol) != "tolvek_clipboard_read_files") return;
    const auto* text = map->find("result");
    if (text == nullptr || text->isNull()) return fault("the clipboard read gave no text");
    const auto* pair = text->list();
    if (pair == nullptr || pair->size() != 2) return fault("the clipboard read's result");
    const auto address = (*pair)[0].integer();
    const auto* bytes = std::get_if<std::vector<uint8_t>>(&(*pair)[1].variant());
    if (!address || bytes == nullptr) return fault("the clipboard read's result");
    const std::string paths(bytes->begin(), bytes->end());
    if (!paths.empty() && !paths.starts_with("/soak/")) fault("clipboard text: " + paths);
    frees_.emplace_back(request.thread, *address);
  }

  void checkDesktopResult(const Pending& request, const std::vector<uint8_t>& payload) {
    if (payload.empty()) {
      absentDesktop_[request.what] = true;
      return;
    }
    const auto reply = FlutterStandardMethodCodec::sharedInstance()->decodeEnvelope(payload);
    if (const auto* error = std::get_if<FlutterError>(&reply)) {
      // A window that a Dart thread has just hidden cannot be made key: the refusal is the
      // right answer then.
      const std::string method = kDesktopMethods[request.what];
      if (method == "makeKeyWindow" && error->code == "bad-arguments") {
        ++counts_.refusedDesktopCalls;
        return;
      }
      fault(std::string("DESKTOP ") + kDesktopMethods[request.what] + ": " + error->code + " " +
            error->message.value_or(""));
    }
  }

  void fault(const std::string& what) {
    if (counts_.errors++ == 0) counts_.firstError = what;
  }

  EngineClient& client_;
  const SoakSettings settings_;
  SoakCounts counts_;
  std::unordered_map<uint32_t, Pending> pending_;
  std::deque<std::pair<uint8_t, int64_t>> frees_;
  bool absentExports_[kExportCount] = {};
  bool presentExports_[kExportCount] = {};
  bool absentDesktop_[std::size(kDesktopMethods)] = {};
  bool twoScreens_ = false;
  uint64_t ffiCounter_ = 0;
};

}  // namespace

SoakCounts runSoakLoad(EngineClient& client, const SoakSettings& settings,
                       const std::function<void(uint64_t)>& progress) {
  return SoakRun(client, settings).run(progress);
}

}  // namespace tolvekdart
