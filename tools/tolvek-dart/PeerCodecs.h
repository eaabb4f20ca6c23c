#pragma once

#include <memory>
#include <string>

#include "macos/Flutter/codec/FlutterMessageCodec.h"

namespace tolvekdart {

// The message codecs a peer can send raw messages with, by name:
//   "standard"      Flutter's standard message codec;
//   "pathprovider"  the path provider's codec: the standard codec plus type 129, a
//                   directory type, written as the byte 129 and then one standard value.
// Throws std::invalid_argument for any other name.
std::shared_ptr<FlutterStandardMessageCodec> peerMessageCodec(const std::string& name);

}  // namespace tolvekdart
