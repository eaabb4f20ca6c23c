#include "platform/Foundation/EnvironmentFile.h"

#include <cctype>
#include <optional>

namespace platform {
namespace {

class Parser {
 public:
  explicit Parser(const std::string& text) : text_(text) {}

  std::map<std::string, std::string> parse() {
    std::map<std::string, std::string> values;
    while (position_ < text_.size()) {
      skipBlanks();
      const auto name = readName();
      if (name && peek() == '=') {
        ++position_;
        // No environment variable can hold a NUL byte: such a line is malformed.
        auto value = readValue();
        if (value && value->find('\0') == std::string::npos) values[*name] = std::move(*value);
      }
      skipRestOfLine();
    }
    return values;
  }

 private:
  char peek() const { return position_ < text_.size() ? text_[position_] : '\0'; }
  bool atEnd() const { return position_ >= text_.size(); }

  void skipBlanks() {
    while (!atEnd() && (peek() == ' ' || peek() == '\t')) ++position_;
  }
  void skipRestOfLine() {
    while (!atEnd() && text_[position_++] != '\n') {
    }
  }

  std::optional<std::string> readName() {
    const size_t start = position_;
    while (!atEnd() && (std::isalnum(static_cast<unsigned char>(peek())) || peek() == '_'))
      ++position_;
    if (position_ == start || std::isdigit(static_cast<unsigned char>(text_[start])))
      return std::nullopt;
    return text_.substr(start, position_ - start);
  }

  // Reads up to unquoted white space or the end of the line; nothing for an open quote.
  std::optional<std::string> readValue() {
    const size_t start = position_;
    std::string value;
    while (!atEnd()) {
      const char c = peek();
      if (c == '\n' || c == ' ' || c == '\t' || c == '\r') break;
      ++position_;
      if (c == '\'') {
        const size_t close = text_.find('\'', position_);
        if (close == std::string::npos) return std::nullopt;
        value += text_.substr(position_, close - position_);
        position_ = close + 1;
      } else if (c == '"') {
        if (!readDoubleQuoted(value)) {
          position_ = start;  // skip only this line
          return std::nullopt;
        }
      } else if (c == '\\') {
        if (atEnd()) break;
        const char next = text_[position_++];
        if (next != '\n') value += next;  // a backslash-newline continues the line
      } else {
        value += c;
      }
    }
    return value;
  }

  bool readDoubleQuoted(std::string& value) {
    while (!atEnd()) {
      const char c = text_[position_++];
      if (c == '"') return true;
      if (c == '\\' && !atEnd()) {
        const char next = peek();
        if (next == '$' || next == '`' || next == '"' || next == '\\' || next == '\n') {
          ++position_;
          if (next != '\n') value += next;
          continue;
        }
      }
      value += c;
    }
    return false;
  }

  const std::string& text_;
  size_t position_ = 0;
};

}  // namespace

std::map<std::string, std::string> parseEnvironmentFile(const std::string& text) {
  return Parser(text).parse();
}

}  // namespace platform
