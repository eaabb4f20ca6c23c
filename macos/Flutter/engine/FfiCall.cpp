#include "macos/Flutter/engine/FfiCall.h"

#include <ffi.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>

namespace {

// The storage behind each argument for the duration of one call.
struct ArgumentSlot {
  int32_t int32 = 0;
  void* pointer = nullptr;
  // utf8: the caller's fresh buffer and its length without the NUL.
  char* text = nullptr;
  size_t textLength = 0;
  // outint32: the slot the function may write.
  int32_t out = 0;
  bool hasOut = false;
};

// Overwrites a text buffer before freeing it, so a function that kept the pointer reads
// an obviously wrong value instead of the caller's text. The writes go through a volatile
// pointer so the compiler cannot drop them as dead stores before free().
void poisonAndFree(char* text, size_t length) {
  volatile char* bytes = text;
  for (size_t i = 0; i < length; ++i) bytes[i] = static_cast<char>(0xDD);
  std::free(text);
}

class Arguments {
 public:
  explicit Arguments(size_t count) : slots_(count) {}
  Arguments(const Arguments&) = delete;
  Arguments& operator=(const Arguments&) = delete;
  ~Arguments() {
    for (auto& slot : slots_) {
      if (slot.text) poisonAndFree(slot.text, slot.textLength);
    }
  }

  // Fills slot `index` from `value` for a parameter of type `type`. Returns an empty
  // string, or why the value does not fit.
  std::string set(size_t index, FfiType type, const EncodableValue& value) {
    ArgumentSlot& slot = slots_[index];
    const auto integer = value.integer();
    switch (type) {
      case FfiType::int32:
        if (!integer || *integer < std::numeric_limits<int32_t>::min() ||
            *integer > std::numeric_limits<int32_t>::max()) {
          return "expected an int32";
        }
        slot.int32 = static_cast<int32_t>(*integer);
        return {};
      case FfiType::utf8: {
        if (value.isNull()) return {};
        const char* bytes = nullptr;
        size_t length = 0;
        if (const auto* text = value.string()) {
          bytes = text->data();
          length = text->size();
        } else if (const auto* raw = std::get_if<std::vector<uint8_t>>(&value)) {
          bytes = reinterpret_cast<const char*>(raw->data());
          length = raw->size();
        } else {
          return "expected a string, a Uint8List or null";
        }
        slot.text = static_cast<char*>(std::malloc(length + 1));
        if (slot.text == nullptr) return "out of memory";
        if (length != 0) std::memcpy(slot.text, bytes, length);
        slot.text[length] = '\0';
        slot.textLength = length;
        slot.pointer = slot.text;
        return {};
      }
      case FfiType::outint32:
        if (value.isNull()) return {};
        if (!integer || *integer < std::numeric_limits<int32_t>::min() ||
            *integer > std::numeric_limits<int32_t>::max()) {
          return "expected an int32 starting value or null";
        }
        slot.out = static_cast<int32_t>(*integer);
        slot.hasOut = true;
        slot.pointer = &slot.out;
        return {};
      case FfiType::ptr:
        if (value.isNull()) return {};
        if (!integer) return "expected an address (int64) or null";
        slot.pointer = reinterpret_cast<void*>(static_cast<intptr_t>(*integer));
        return {};
      default:
        return "not a parameter type";
    }
  }

  void* valueAddress(size_t index, FfiType type) {
    return type == FfiType::int32 ? static_cast<void*>(&slots_[index].int32)
                                  : static_cast<void*>(&slots_[index].pointer);
  }

  EncodableList outValues(const std::vector<FfiType>& types) const {
    EncodableList out;
    for (size_t i = 0; i < types.size(); ++i) {
      if (types[i] != FfiType::outint32) continue;
      out.push_back(slots_[i].hasOut ? EncodableValue(slots_[i].out) : EncodableValue());
    }
    return out;
  }

 private:
  std::vector<ArgumentSlot> slots_;
};

ffi_type* libffiType(FfiType type) {
  switch (type) {
    case FfiType::voidType:
      return &ffi_type_void;
    case FfiType::int32:
      return &ffi_type_sint32;
    default:
      return &ffi_type_pointer;
  }
}

EncodableValue resultValue(FfiType type, const ffi_arg& raw) {
  switch (type) {
    case FfiType::int32:
      return EncodableValue(static_cast<int32_t>(static_cast<ffi_sarg>(raw)));
    case FfiType::utf8ptr: {
      void* pointer = nullptr;
      std::memcpy(&pointer, &raw, sizeof pointer);
      if (pointer == nullptr) return EncodableValue();
      const auto* text = static_cast<const uint8_t*>(pointer);
      std::vector<uint8_t> bytes(text, text + std::strlen(static_cast<const char*>(pointer)));
      return EncodableValue(
          EncodableList{EncodableValue(static_cast<int64_t>(reinterpret_cast<intptr_t>(pointer))),
                        EncodableValue(std::move(bytes))});
    }
    default:
      return EncodableValue();
  }
}

}  // namespace

EncodableValue ffiRefusal(const std::string& reason) {
  return EncodableValue(EncodableMap{{EncodableValue("error"), EncodableValue(reason)}});
}

EncodableValue callExportedFunction(void* function, const FfiSignature& signature,
                                    const EncodableValue& arguments) {
  static const EncodableList kNoArguments;
  const EncodableList* list = arguments.isNull() ? &kNoArguments : arguments.list();
  if (list == nullptr) return ffiRefusal("the arguments are not a list");
  const auto& types = signature.parameters;
  if (list->size() != types.size()) {
    return ffiRefusal("expected " + std::to_string(types.size()) + " arguments, got " +
                      std::to_string(list->size()));
  }

  Arguments slots(types.size());
  std::array<ffi_type*, kFfiMaxParameters> argumentTypes{};
  std::array<void*, kFfiMaxParameters> values{};
  for (size_t i = 0; i < types.size(); ++i) {
    const std::string problem = slots.set(i, types[i], (*list)[i]);
    if (!problem.empty()) {
      return ffiRefusal("argument " + std::to_string(i + 1) + ": " + problem);
    }
    argumentTypes[i] = libffiType(types[i]);
    values[i] = slots.valueAddress(i, types[i]);
  }

  ffi_cif cif;
  if (ffi_prep_cif(&cif, FFI_DEFAULT_ABI, static_cast<unsigned>(types.size()),
                   libffiType(signature.result), argumentTypes.data()) != FFI_OK) {
    return ffiRefusal("the signature cannot be called");
  }
  // Large enough for any return type here; libffi widens small integers to ffi_arg.
  ffi_arg raw = 0;
  static_assert(sizeof(ffi_arg) >= sizeof(void*));
  ffi_call(&cif, reinterpret_cast<void (*)()>(function), &raw, values.data());

  EncodableMap result;
  result.set(EncodableValue("result"), resultValue(signature.result, raw));
  result.set(EncodableValue("out"), EncodableValue(slots.outValues(types)));
  return EncodableValue(std::move(result));
}
