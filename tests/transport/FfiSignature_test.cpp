#include "macos/Flutter/engine/FfiSignature.h"

#include <gtest/gtest.h>

namespace {

using T = FfiType;

TEST(FfiSignature, TheShapesTheExportsUseAreRead) {
  const std::vector<std::pair<std::string, FfiSignature>> shapes = {
      {"void()", {T::voidType, {}}},
      {"int32()", {T::int32, {}}},
      {"void(int32,int32)", {T::voidType, {T::int32, T::int32}}},
      {"void(outint32,outint32)", {T::voidType, {T::outint32, T::outint32}}},
      {"void(utf8)", {T::voidType, {T::utf8}}},
      {"void(utf8,int32)", {T::voidType, {T::utf8, T::int32}}},
      {"utf8ptr()", {T::utf8ptr, {}}},
      {"void(ptr)", {T::voidType, {T::ptr}}},
      {"utf8ptr(ptr,utf8,outint32,int32)", {T::utf8ptr, {T::ptr, T::utf8, T::outint32, T::int32}}},
  };
  for (const auto& [text, expected] : shapes) {
    std::string error;
    const auto parsed = parseFfiSignature(text, &error);
    ASSERT_TRUE(parsed) << text << ": " << error;
    EXPECT_EQ(*parsed, expected) << text;
  }
}

TEST(FfiSignature, AnythingElseIsRefusedWithAReason) {
  for (const std::string text : {"",
                                 "void",
                                 "()",
                                 "void(",
                                 "void)",
                                 "void())",
                                 "void()x",
                                 "void (int32)",
                                 "void( int32)",
                                 "void(int32 )",
                                 "void(int32,)",
                                 "void(,int32)",
                                 "void(,)",
                                 "void(void)",
                                 "void(utf8ptr)",
                                 "utf8(int32)",
                                 "outint32()",
                                 "ptr()",
                                 "int64()",
                                 "void(int64)",
                                 "void(double)",
                                 "Void()",
                                 "void(Int32)",
                                 "void((int32))",
                                 "void(int32)(int32)",
                                 "void(int32;int32)"}) {
    std::string error;
    EXPECT_FALSE(parseFfiSignature(text, &error)) << text;
    EXPECT_NE(error.find("unsupported signature"), std::string::npos) << text;
  }
}

TEST(FfiSignature, ParameterCountIsBounded) {
  std::string text = "void(int32";
  for (size_t i = 1; i < kFfiMaxParameters; ++i) text += ",int32";
  EXPECT_TRUE(parseFfiSignature(text + ")"));
  EXPECT_FALSE(parseFfiSignature(text + ",int32)"));
}

}  // namespace
