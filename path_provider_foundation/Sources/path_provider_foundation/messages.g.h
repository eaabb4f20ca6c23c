#pragma once

#include <cstdint>
#include <exception>
#include <memory>
#include <optional>
#include <string>

#include "macos/Flutter/FlutterBinaryMessenger.h"
#include "macos/Flutter/codec/EncodableValue.h"
#include "macos/Flutter/codec/FlutterMessageCodec.h"

// The standard directories the Dart side can ask for. The raw value travels on the wire.
enum class DirectoryType : int32_t {
  applicationDocuments = 0,
  applicationSupport = 1,
  downloads = 2,
  library = 3,
  temp = 4,
  applicationCache = 5,
};

// `DirectoryType(rawValue:)`: the case with that raw value, or nothing (0 to 5 only).
std::optional<DirectoryType> DirectoryTypeFromRawValue(int64_t rawValue);

// A DirectoryType as a codec value: the extension value of type byte 129 carrying its raw
// value; and back (nothing for any other value).
EncodableValue encodableDirectoryType(DirectoryType type);
std::optional<DirectoryType> directoryTypeFromEncodable(const EncodableValue& value);

// An error that an API operation can raise; replied as the list [code, message, details].
class PigeonError : public std::exception {
 public:
  explicit PigeonError(std::string errorCode,
                       std::optional<std::string> errorMessage = std::nullopt,
                       EncodableValue errorDetails = EncodableValue())
      : code(std::move(errorCode)),
        message(std::move(errorMessage)),
        details(std::move(errorDetails)) {}
  const char* what() const noexcept override { return code.c_str(); }

  std::string code;
  std::optional<std::string> message;
  EncodableValue details;
};

// The codec of the path provider's channels: the standard message codec plus type byte
// 129, a DirectoryType written as its raw value in a standard integer. Reading 129
// followed by nil gives nil, by an integer outside 0 to 5 gives nil, and by any other
// value fails to decode.
class MessagesPigeonCodec : public FlutterStandardMessageCodec {
 public:
  using FlutterStandardMessageCodec::FlutterStandardMessageCodec;
  // The one instance both channels use, made on first use (thread-safe).
  static std::shared_ptr<MessagesPigeonCodec> shared();
};

// What the path provider's channels serve.
class PathProviderApi {
 public:
  virtual ~PathProviderApi() = default;
  virtual std::optional<std::string> getDirectoryPath(DirectoryType type) = 0;
  virtual std::optional<std::string> getContainerPath(const std::string& appGroupIdentifier) = 0;
};

// Installs the handlers of PathProviderApi's channels on a messenger.
class PathProviderApiSetup {
 public:
  // Channel names: "dev.flutter.pigeon.path_provider_foundation.PathProviderApi.<method>",
  // followed by "." and `messageChannelSuffix` when the suffix is not empty. With `api`
  // the handlers call it and reply [result]; without, any handlers are removed. A message
  // that is not a list whose first element is of the expected kind, or that cannot be
  // decoded, is answered ["invalid-argument", <what was wrong>, nil].
  static void setUp(const std::shared_ptr<FlutterBinaryMessenger>& binaryMessenger,
                    const std::shared_ptr<PathProviderApi>& api,
                    const std::string& messageChannelSuffix);
};
