#include "macos/Flutter/codec/FlutterCodecError.h"
#include "macos/Flutter/codec/FlutterMethodCodec.h"

namespace {

constexpr uint8_t kSuccessEnvelope = 0;
constexpr uint8_t kErrorEnvelope = 1;

void requireEnd(const FlutterStandardReader& reader) {
  if (reader.hasMore()) throw FlutterCodecError("message corrupted: bytes after the value");
}

std::optional<std::string> optionalString(const EncodableValue& value, const char* what) {
  if (value.isNull()) return std::nullopt;
  if (const auto* text = value.string()) return *text;
  throw FlutterCodecError(std::string("error envelope: the ") + what + " is not a string");
}

}  // namespace

std::shared_ptr<FlutterStandardMethodCodec> FlutterStandardMethodCodec::sharedInstance() {
  static const auto codec =
      std::make_shared<FlutterStandardMethodCodec>(std::make_shared<FlutterStandardReaderWriter>());
  return codec;
}

std::shared_ptr<FlutterStandardMethodCodec> FlutterStandardMethodCodec::codecWithReaderWriter(
    std::shared_ptr<FlutterStandardReaderWriter> readerWriter) {
  return std::make_shared<FlutterStandardMethodCodec>(std::move(readerWriter));
}

FlutterStandardMethodCodec::FlutterStandardMethodCodec(
    std::shared_ptr<FlutterStandardReaderWriter> readerWriter)
    : readerWriter_(std::move(readerWriter)) {}

std::vector<uint8_t> FlutterStandardMethodCodec::encodeMethodCall(
    const FlutterMethodCall& call) const {
  std::vector<uint8_t> data;
  auto writer = readerWriter_->writerWithData(data);
  writer->writeValue(EncodableValue(call.method));
  writer->writeValue(call.arguments);
  return data;
}

FlutterMethodCall FlutterStandardMethodCodec::decodeMethodCall(
    const std::vector<uint8_t>& message) const {
  auto reader = readerWriter_->readerWithData(message.data(), message.size());
  EncodableValue method = reader->readValue();
  if (method.string() == nullptr)
    throw FlutterCodecError("method call: the method name is not a string");
  EncodableValue arguments = reader->readValue();
  requireEnd(*reader);
  return FlutterMethodCall{std::move(*std::get_if<std::string>(&method)), std::move(arguments)};
}

std::vector<uint8_t> FlutterStandardMethodCodec::encodeSuccessEnvelope(
    const EncodableValue& result) const {
  std::vector<uint8_t> data{kSuccessEnvelope};
  readerWriter_->writerWithData(data)->writeValue(result);
  return data;
}

std::vector<uint8_t> FlutterStandardMethodCodec::encodeErrorEnvelope(
    const FlutterError& error) const {
  std::vector<uint8_t> data{kErrorEnvelope};
  auto writer = readerWriter_->writerWithData(data);
  writer->writeValue(EncodableValue(error.code));
  writer->writeValue(error.message ? EncodableValue(*error.message) : EncodableValue());
  writer->writeValue(error.details);
  return data;
}

std::vector<uint8_t> FlutterStandardMethodCodec::encodeReply(
    const FlutterMethodReply& reply) const {
  if (const auto* value = std::get_if<EncodableValue>(&reply)) return encodeSuccessEnvelope(*value);
  if (const auto* error = std::get_if<FlutterError>(&reply)) return encodeErrorEnvelope(*error);
  return {};
}

FlutterMethodReply FlutterStandardMethodCodec::decodeEnvelope(
    const std::vector<uint8_t>& envelope) const {
  if (envelope.empty()) return FlutterMethodNotImplemented;
  auto reader = readerWriter_->readerWithData(envelope.data(), envelope.size());
  const uint8_t flag = reader->readByte();
  if (flag == kSuccessEnvelope) {
    EncodableValue result = reader->readValue();
    requireEnd(*reader);
    return result;
  }
  if (flag != kErrorEnvelope)
    throw FlutterCodecError("reply envelope: unknown kind " + std::to_string(flag));
  const EncodableValue code = reader->readValue();
  if (code.string() == nullptr) throw FlutterCodecError("error envelope: the code is not a string");
  FlutterError error{*code.string(), optionalString(reader->readValue(), "message"),
                     reader->readValue()};
  if (reader->hasMore()) {
    optionalString(reader->readValue(), "stack trace");
    requireEnd(*reader);
  }
  return error;
}
