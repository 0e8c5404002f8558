#pragma once

#include <cstdint>
#include <cstring>

namespace platform::metafile {

// Little-endian reader over a fixed byte span. Every read is checked against
// the span; a read that would run past the end fails and leaves the reader in
// a failed state, so callers can read a whole record and test ok() once.
class ByteReader {
  public:
    ByteReader() = default;
    ByteReader(const char* data, std::size_t size)
        : data_(reinterpret_cast<const std::uint8_t*>(data)), size_(size) {}

    bool ok() const { return ok_; }
    std::size_t size() const { return size_; }
    std::size_t pos() const { return pos_; }
    std::size_t remaining() const { return ok_ && pos_ <= size_ ? size_ - pos_ : 0; }
    const char* data() const { return reinterpret_cast<const char*>(data_); }

    bool has(std::size_t bytes) const { return ok_ && bytes <= size_ - pos_; }

    void seek(std::size_t offset) {
        if (offset > size_) {
            ok_ = false;
            return;
        }
        pos_ = offset;
    }
    void skip(std::size_t bytes) {
        if (!has(bytes)) {
            ok_ = false;
            return;
        }
        pos_ += bytes;
    }

    std::uint8_t u8() { return static_cast<std::uint8_t>(readUnsigned(1)); }
    std::uint16_t u16() { return static_cast<std::uint16_t>(readUnsigned(2)); }
    std::uint32_t u32() { return static_cast<std::uint32_t>(readUnsigned(4)); }
    std::int16_t i16() { return static_cast<std::int16_t>(u16()); }
    std::int32_t i32() { return static_cast<std::int32_t>(u32()); }
    float f32() {
        const std::uint32_t bits = u32();
        float value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }

    // A sub-reader over [offset, offset + length) of this span, or a failed
    // reader when that range does not fit.
    ByteReader sub(std::size_t offset, std::size_t length) const {
        if (!ok_ || offset > size_ || length > size_ - offset) {
            ByteReader failed;
            failed.ok_ = false;
            return failed;
        }
        return ByteReader(data() + offset, length);
    }

  private:
    std::uint64_t readUnsigned(int bytes) {
        if (!has(static_cast<std::size_t>(bytes))) {
            ok_ = false;
            return 0;
        }
        std::uint64_t value = 0;
        for (int i = 0; i < bytes; ++i) {
            value |= static_cast<std::uint64_t>(data_[pos_ + i]) << (8 * i);
        }
        pos_ += static_cast<std::size_t>(bytes);
        return value;
    }

    const std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t pos_ = 0;
    bool ok_ = true;
};

}  // namespace platform::metafile
