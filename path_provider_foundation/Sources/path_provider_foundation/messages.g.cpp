#include "path_provider_foundation/Sources/path_provider_foundation/messages.g.h"

#include <functional>

#include "macos/Flutter/FlutterBasicMessageChannel.h"
#include "macos/Flutter/codec/FlutterCodecError.h"

namespace {

constexpr uint8_t kDirectoryTypeByte = 129;
constexpr const char* kChannelPrefix =
    "dev.flutter.pigeon.path_provider_foundation.PathProviderApi.";

class MessagesPigeonCodecReader : public FlutterStandardReader {
 public:
  using FlutterStandardReader::FlutterStandardReader;

  EncodableValue readValueOfType(uint8_t type) override {
    if (type != kDirectoryTypeByte) return FlutterStandardReader::readValueOfType(type);
    const EncodableValue rawValue = readValue();
    if (rawValue.isNull()) return EncodableValue();
    const auto integer = rawValue.integer();
    if (!integer) throw FlutterCodecError("a DirectoryType (type 129) must carry an integer");
    const auto directoryType = DirectoryTypeFromRawValue(*integer);
    return directoryType ? encodableDirectoryType(*directoryType) : EncodableValue();
  }
};

class MessagesPigeonCodecWriter : public FlutterStandardWriter {
 public:
  using FlutterStandardWriter::FlutterStandardWriter;

  void writeValue(const EncodableValue& value) override {
    const auto* custom = std::get_if<CustomEncodableValue>(&value.variant());
    if (custom == nullptr || custom->type != kDirectoryTypeByte) {
      FlutterStandardWriter::writeValue(value);
      return;
    }
    const auto directoryType = directoryTypeFromEncodable(value);
    if (!directoryType) throw FlutterCodecError("a DirectoryType value holds no raw value");
    writeByte(kDirectoryTypeByte);
    FlutterStandardWriter::writeValue(EncodableValue(static_cast<int32_t>(*directoryType)));
  }
};

class MessagesPigeonCodecReaderWriter : public FlutterStandardReaderWriter {
 public:
  std::unique_ptr<FlutterStandardReader> readerWithData(const uint8_t* data,
                                                        size_t length) override {
    return std::make_unique<MessagesPigeonCodecReader>(data, length);
  }
  std::unique_ptr<FlutterStandardWriter> writerWithData(std::vector<uint8_t>& data) override {
    return std::make_unique<MessagesPigeonCodecWriter>(data);
  }
};

EncodableValue wrapResult(const std::optional<std::string>& result) {
  return EncodableList{result ? EncodableValue(*result) : EncodableValue()};
}

EncodableValue wrapError(const PigeonError& error) {
  return EncodableList{EncodableValue(error.code),
                       error.message ? EncodableValue(*error.message) : EncodableValue(),
                       error.details};
}

EncodableValue invalidArgument(const std::string& message) {
  return wrapError(PigeonError("invalid-argument", message));
}

// The first element of a request list, or the reason the message is not one.
const EncodableValue* firstArgument(const EncodableValue& message, std::string& problem) {
  const auto* arguments = message.list();
  if (arguments == nullptr) {
    problem = "the message is not a list of arguments";
    return nullptr;
  }
  if (arguments->empty()) {
    problem = "the argument list is empty";
    return nullptr;
  }
  return &arguments->front();
}

using Handler = std::function<EncodableValue(const EncodableValue& message)>;

void installHandler(const std::shared_ptr<FlutterBinaryMessenger>& messenger,
                    const std::string& name, Handler handler) {
  FlutterBasicMessageChannel channel(name, messenger, MessagesPigeonCodec::shared());
  if (!handler) {
    channel.setMessageHandler(nullptr);
    return;
  }
  channel.setMessageHandler(
      [handler = std::move(handler)](const EncodableValue& message, FlutterReply reply) {
        try {
          reply(handler(message));
        } catch (const PigeonError& error) {
          reply(wrapError(error));
        }
      },
      [](const std::string& reason) {
        return invalidArgument("the message could not be decoded: " + reason);
      });
}

}  // namespace

std::optional<DirectoryType> DirectoryTypeFromRawValue(int64_t rawValue) {
  if (rawValue < 0 || rawValue > 5) return std::nullopt;
  return static_cast<DirectoryType>(rawValue);
}

EncodableValue encodableDirectoryType(DirectoryType type) {
  return CustomEncodableValue(kDirectoryTypeByte, EncodableValue(static_cast<int32_t>(type)));
}

std::optional<DirectoryType> directoryTypeFromEncodable(const EncodableValue& value) {
  const auto* custom = std::get_if<CustomEncodableValue>(&value.variant());
  if (custom == nullptr || custom->type != kDirectoryTypeByte || !custom->value)
    return std::nullopt;
  const auto rawValue = custom->carried().integer();
  return rawValue ? DirectoryTypeFromRawValue(*rawValue) : std::nullopt;
}

std::shared_ptr<MessagesPigeonCodec> MessagesPigeonCodec::shared() {
  static const auto codec =
      std::make_shared<MessagesPigeonCodec>(std::make_shared<MessagesPigeonCodecReaderWriter>());
  return codec;
}

void PathProviderApiSetup::setUp(const std::shared_ptr<FlutterBinaryMessenger>& binaryMessenger,
                                 const std::shared_ptr<PathProviderApi>& api,
                                 const std::string& messageChannelSuffix) {
  const std::string suffix = messageChannelSuffix.empty() ? "" : "." + messageChannelSuffix;

  Handler getDirectoryPath;
  Handler getContainerPath;
  if (api) {
    getDirectoryPath = [api](const EncodableValue& message) {
      std::string problem;
      const auto* argument = firstArgument(message, problem);
      if (argument == nullptr) return invalidArgument(problem);
      const auto type = directoryTypeFromEncodable(*argument);
      if (!type) return invalidArgument("the first argument is not a DirectoryType");
      return wrapResult(api->getDirectoryPath(*type));
    };
    getContainerPath = [api](const EncodableValue& message) {
      std::string problem;
      const auto* argument = firstArgument(message, problem);
      if (argument == nullptr) return invalidArgument(problem);
      const auto* groupIdentifier = argument->string();
      if (groupIdentifier == nullptr) return invalidArgument("the first argument is not a string");
      return wrapResult(api->getContainerPath(*groupIdentifier));
    };
  }
  installHandler(binaryMessenger, kChannelPrefix + std::string("getDirectoryPath") + suffix,
                 std::move(getDirectoryPath));
  installHandler(binaryMessenger, kChannelPrefix + std::string("getContainerPath") + suffix,
                 std::move(getContainerPath));
}
