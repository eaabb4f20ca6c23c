#include "tools/tolvek-dart/tour/TourSteps.h"

namespace tolvekdart {

namespace {

// The Dart thread the window calls come from; their work runs on the main thread.
constexpr uint8_t kDartThread = 1;

}  // namespace

// Every window export once, from a Dart thread, leaving the window shown at its size.
Json tourWindow(EngineClient& client) {
  const auto call = [&](const char* symbol, const char* signature, EncodableList arguments = {}) {
    return toJson(client.callFfi(kDartThread, symbol, signature, arguments));
  };
  Json result = Json::object();
  result["is_visible"] = call("tolvek_window_is_visible", "int32()");
  const auto size = client.callFfi(kDartThread, "tolvek_window_get_size", "void(outint32,outint32)",
                                   {int32_t{0}, int32_t{0}});
  result["get_size"] = toJson(size);
  result["set_title"] = call("tolvek_window_set_title", "void(utf8)", {"Tolvek tour"});
  result["set_min_size"] =
      call("tolvek_window_set_min_size", "void(int32,int32)", {int32_t{400}, int32_t{300}});
  result["maximize"] = call("tolvek_window_maximize", "void()");
  result["is_maximized"] = call("tolvek_window_is_maximized", "int32()");
  result["minimize"] = call("tolvek_window_minimize", "void()");
  result["restore"] = call("tolvek_window_restore", "void()");
  result["hide"] = call("tolvek_window_hide", "void()");
  result["close"] = call("tolvek_window_close", "void()");
  result["show"] = call("tolvek_window_show", "void()");
  result["center"] = call("tolvek_window_center", "void()");
  result["start_dragging"] = call("tolvek_window_start_dragging", "void()");
  // Back to the size it had.
  const auto* out = size.map() ? size.map()->find("out") : nullptr;
  if (out && out->list() && out->list()->size() == 2) {
    result["set_size"] = call("tolvek_window_set_size", "void(int32,int32)", *out->list());
  }
  result["get_size_after"] =
      call("tolvek_window_get_size", "void(outint32,outint32)", {int32_t{0}, int32_t{0}});
  return result;
}

}  // namespace tolvekdart
