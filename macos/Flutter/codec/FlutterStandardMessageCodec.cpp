#include "macos/Flutter/codec/FlutterCodecError.h"
#include "macos/Flutter/codec/FlutterMessageCodec.h"

std::shared_ptr<FlutterStandardMessageCodec> FlutterStandardMessageCodec::sharedInstance() {
  static const auto codec = std::make_shared<FlutterStandardMessageCodec>(
      std::make_shared<FlutterStandardReaderWriter>());
  return codec;
}

std::shared_ptr<FlutterStandardMessageCodec> FlutterStandardMessageCodec::codecWithReaderWriter(
    std::shared_ptr<FlutterStandardReaderWriter> readerWriter) {
  return std::make_shared<FlutterStandardMessageCodec>(std::move(readerWriter));
}

FlutterStandardMessageCodec::FlutterStandardMessageCodec(
    std::shared_ptr<FlutterStandardReaderWriter> readerWriter)
    : readerWriter_(std::move(readerWriter)) {}

std::vector<uint8_t> FlutterStandardMessageCodec::encode(const EncodableValue& message) const {
  std::vector<uint8_t> data;
  readerWriter_->writerWithData(data)->writeValue(message);
  return data;
}

EncodableValue FlutterStandardMessageCodec::decode(const std::vector<uint8_t>& message) const {
  return decode(message.data(), message.size());
}

EncodableValue FlutterStandardMessageCodec::decode(const uint8_t* data, size_t length) const {
  if (length == 0) return EncodableValue();  // an absent message is null
  auto reader = readerWriter_->readerWithData(data, length);
  EncodableValue value = reader->readValue();
  if (reader->hasMore()) throw FlutterCodecError("message corrupted: bytes after the value");
  return value;
}
