#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "macos/Flutter/codec/EncodableValue.h"
#include "macos/Flutter/codec/FlutterStandardReaderWriter.h"

// Encodes one value as one message. An empty message stands for null.
class FlutterMessageCodec {
 public:
  virtual ~FlutterMessageCodec() = default;
  virtual std::vector<uint8_t> encode(const EncodableValue& message) const = 0;
  // Throws FlutterCodecError for bytes that are not exactly one value.
  virtual EncodableValue decode(const std::vector<uint8_t>& message) const = 0;
};

// Flutter's standard message codec, extensible through its reader-writer.
class FlutterStandardMessageCodec : public FlutterMessageCodec {
 public:
  static std::shared_ptr<FlutterStandardMessageCodec> sharedInstance();
  static std::shared_ptr<FlutterStandardMessageCodec> codecWithReaderWriter(
      std::shared_ptr<FlutterStandardReaderWriter> readerWriter);

  explicit FlutterStandardMessageCodec(std::shared_ptr<FlutterStandardReaderWriter> readerWriter);

  std::vector<uint8_t> encode(const EncodableValue& message) const override;
  EncodableValue decode(const std::vector<uint8_t>& message) const override;
  EncodableValue decode(const uint8_t* data, size_t length) const;

  FlutterStandardReaderWriter& readerWriter() const { return *readerWriter_; }

 private:
  std::shared_ptr<FlutterStandardReaderWriter> readerWriter_;
};
