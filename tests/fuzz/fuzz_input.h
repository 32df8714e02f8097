#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace sequaflow::fuzz {

// Takes the fuzzer's bytes from the front, one decision at a time; past the end every read is zero or
// empty, so a target never needs to check the length itself.
class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool empty() const { return pos_ >= size_; }
    std::size_t remaining() const { return size_ - pos_; }

    std::uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    bool flag() { return (byte() & 1) != 0; }
    std::uint16_t word() { return static_cast<std::uint16_t>(byte() << 8 | byte()); }

    std::span<const std::uint8_t> take(std::size_t n) {
        n = std::min(n, remaining());
        const std::span<const std::uint8_t> s(data_ + pos_, n);
        pos_ += n;
        return s;
    }
    std::span<const std::uint8_t> rest() { return take(remaining()); }

    // Bytes up to (not including) the next zero byte or the end.
    std::string text() {
        std::string s;
        while (pos_ < size_ && data_[pos_] != 0) s.push_back(static_cast<char>(data_[pos_++]));
        if (pos_ < size_) ++pos_;
        return s;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

}  // namespace sequaflow::fuzz
