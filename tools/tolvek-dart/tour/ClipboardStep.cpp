#include "tools/tolvek-dart/tour/TourSteps.h"

namespace tolvekdart {

namespace {

// The Dart thread the clipboard calls come from: the exports run on the calling thread.
constexpr uint8_t kDartThread = 1;

const EncodableValue* resultOf(const EncodableValue& answer) {
  return answer.map() ? answer.map()->find("result") : nullptr;
}

}  // namespace

// Cuts two files to the clipboard, then reads them back as a paste would, and frees the
// text the host handed out.
Json tourClipboard(EngineClient& client) {
  Json result = Json::object();
  result["write"] = toJson(client.callFfi(kDartThread, "tolvek_clipboard_write_files",
                                          "void(utf8,int32)", {"/tmp/tour/a.txt\n/tmp/tour/b", 1}));
  result["isCut"] = toJson(client.callFfi(kDartThread, "tolvek_clipboard_is_cut", "int32()", {}));
  const EncodableValue read =
      client.callFfi(kDartThread, "tolvek_clipboard_read_files", "utf8ptr()", {});
  const auto* text = resultOf(read);
  if (text && text->list() && text->list()->size() == 2) {
    const auto& bytes = std::get<std::vector<uint8_t>>((*text->list())[1]);
    result["read"] = std::string(bytes.begin(), bytes.end());
    result["free"] = toJson(
        client.callFfi(kDartThread, "tolvek_clipboard_free", "void(ptr)", {(*text->list())[0]}));
  } else {
    result["read"] = toJson(read);
  }
  return result;
}

}  // namespace tolvekdart
