#pragma once

#include <memory>

#include "macos/Flutter/codec/FlutterStandardReader.h"
#include "macos/Flutter/codec/FlutterStandardWriter.h"

// Makes the readers and writers a standard codec uses; a derived codec returns its own.
class FlutterStandardReaderWriter {
 public:
  virtual ~FlutterStandardReaderWriter() = default;
  virtual std::unique_ptr<FlutterStandardReader> readerWithData(const uint8_t* data,
                                                                size_t length) {
    return std::make_unique<FlutterStandardReader>(data, length);
  }
  virtual std::unique_ptr<FlutterStandardWriter> writerWithData(std::vector<uint8_t>& data) {
    return std::make_unique<FlutterStandardWriter>(data);
  }
};
