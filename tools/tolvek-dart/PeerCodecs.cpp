#include "tools/tolvek-dart/PeerCodecs.h"

#include <stdexcept>

#include "macos/Flutter/codec/FlutterCodecError.h"

namespace tolvekdart {

namespace {

constexpr uint8_t kDirectoryType = 129;

class PathProviderReader : public FlutterStandardReader {
 public:
  using FlutterStandardReader::FlutterStandardReader;
  EncodableValue readValueOfType(uint8_t type) override {
    if (type == kDirectoryType) return CustomEncodableValue(kDirectoryType, readValue());
    return FlutterStandardReader::readValueOfType(type);
  }
};

class PathProviderWriter : public FlutterStandardWriter {
 public:
  using FlutterStandardWriter::FlutterStandardWriter;
  void writeValue(const EncodableValue& value) override {
    const auto* custom = std::get_if<CustomEncodableValue>(&value);
    if (custom == nullptr || custom->type != kDirectoryType) {
      FlutterStandardWriter::writeValue(value);
      return;
    }
    writeByte(kDirectoryType);
    writeValue(custom->carried());
  }
};

class PathProviderReaderWriter : public FlutterStandardReaderWriter {
 public:
  std::unique_ptr<FlutterStandardReader> readerWithData(const uint8_t* data,
                                                        size_t length) override {
    return std::make_unique<PathProviderReader>(data, length);
  }
  std::unique_ptr<FlutterStandardWriter> writerWithData(std::vector<uint8_t>& data) override {
    return std::make_unique<PathProviderWriter>(data);
  }
};

}  // namespace

std::shared_ptr<FlutterStandardMessageCodec> peerMessageCodec(const std::string& name) {
  if (name == "standard") return FlutterStandardMessageCodec::sharedInstance();
  if (name == "pathprovider") {
    static const auto codec = FlutterStandardMessageCodec::codecWithReaderWriter(
        std::make_shared<PathProviderReaderWriter>());
    return codec;
  }
  throw std::invalid_argument("unknown codec \"" + name + "\" (standard or pathprovider)");
}

}  // namespace tolvekdart
