#include "macos/Flutter/engine/PeerFfiCalls.h"

#include <cstdlib>

#include "macos/Flutter/codec/FlutterCodecError.h"
#include "macos/Flutter/codec/FlutterMessageCodec.h"
#include "macos/Flutter/engine/FfiBindings.h"
#include "macos/Flutter/engine/FfiCall.h"
#include "macos/Flutter/engine/FfiRequest.h"
#include "macos/Flutter/engine/FfiSignature.h"

namespace {

// The addresses among the arguments of `signature`'s pointer parameters (null ones left
// out); nothing when the arguments do not decode (the call then refuses them itself).
std::optional<std::vector<intptr_t>> pointerArguments(const FfiSignature& signature,
                                                      const std::vector<uint8_t>& payload) {
  EncodableValue arguments;
  try {
    arguments = FlutterStandardMessageCodec::sharedInstance()->decode(payload);
  } catch (const FlutterCodecError&) {
    return std::nullopt;
  }
  const auto* list = arguments.list();
  if (list == nullptr || list->size() != signature.parameters.size()) return std::nullopt;
  std::vector<intptr_t> addresses;
  for (size_t i = 0; i < list->size(); ++i) {
    if (signature.parameters[i] != FfiType::ptr) continue;
    if (const auto address = (*list)[i].integer(); address && *address != 0)
      addresses.push_back(static_cast<intptr_t>(*address));
  }
  return addresses;
}

// The address of text a `utf8ptr` result hands out, if it is one.
std::optional<intptr_t> handedOutAddress(const EncodableValue& result) {
  const auto* map = result.map();
  const auto* value = map ? map->find("result") : nullptr;
  const auto* pair = value ? value->list() : nullptr;
  if (pair == nullptr || pair->size() != 2) return std::nullopt;
  const auto address = (*pair)[0].integer();
  if (!address) return std::nullopt;
  return static_cast<intptr_t>(*address);
}

}  // namespace

HandedOutText::~HandedOutText() {
  for (const intptr_t address : held_) std::free(reinterpret_cast<void*>(address));
}

void HandedOutText::handedOut(intptr_t address) {
  std::lock_guard lock(mutex_);
  held_.insert(address);
}

bool HandedOutText::takeBack(intptr_t address) {
  std::lock_guard lock(mutex_);
  return held_.erase(address) == 1;
}

EncodableValue performPeerFfiCall(const EngineFrame& frame, HandedOutText& text, bool peerLeft) {
  const auto binding = findFfiBinding(frame.symbol);
  // A name that is no export at all gets the reason the call itself gives.
  if (!binding) {
    const auto refused = resolveExportedFunction(frame.symbol, nullptr) == nullptr;
    if (refused) return performFfiRequest(frame.symbol, frame.signature, frame.payload);
    return ffiRefusal("\"" + frame.symbol + "\" is not a declared export");
  }
  if (frame.signature != binding->signature)
    return ffiRefusal("the signature \"" + frame.signature + "\" is not \"" + frame.symbol +
                      "\"'s declared \"" + binding->signature + "\"");
  if (peerLeft && binding->query) return ffiRefusal("not made: its peer has left");
  if (binding->releasesText) {
    const auto signature = parseFfiSignature(binding->signature);
    const auto addresses = signature ? pointerArguments(*signature, frame.payload) : std::nullopt;
    if (addresses) {
      for (const intptr_t address : *addresses) {
        if (!text.takeBack(address))
          return ffiRefusal("the pointer " + std::to_string(address) +
                            " is not text handed to this peer, or was given back already");
      }
    }
  }
  EncodableValue result = performFfiRequest(frame.symbol, frame.signature, frame.payload);
  if (const auto address = handedOutAddress(result)) text.handedOut(*address);
  return result;
}
